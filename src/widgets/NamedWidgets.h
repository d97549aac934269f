#pragma once

#include <QLabel>
#include <QString>

namespace th {

// A label of a dialog under the name the program gives it (tests and the window's own code
// find it by that name).
inline QLabel *namedLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace th
