#pragma once

#include <QDialog>

namespace th {

// The About box: the program title and its version, closed with OK.
class frmAbout final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAbout)

public:
    explicit frmAbout(QWidget *parent = nullptr);
    static QString versionText();
};

} // namespace th
