#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace th {

class WatchListView;

// Keeps the list's column widths in config.ini ([Columns] Width0 ... Width10): the saved
// widths are given to the list at start (the columns keep their own widths where none are
// saved), and a width the user drags is saved shortly after the drag ends. "End Date2" is
// always saved as 0 and stays hidden.
class ColumnWidthMemory final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ColumnWidthMemory)

public:
    ColumnWidthMemory(WatchListView &view, QString configPath, QObject *parent = nullptr);

    // Gives the list the saved widths.
    void restore();
    // Saves a change not saved yet (at exit).
    void saveIfChanged();
    void save();

Q_SIGNALS:
    // The widths could not be written; config.ini keeps what it held before.
    void widthsNotSaved(const QString &why);

public:
    // Waits for a drag to end before writing the file.
    QTimer tmrSaveColumnWidths;

private:
    WatchListView &m_view;
    QString m_configPath;
};

} // namespace th
