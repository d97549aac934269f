#pragma once

#include <QMainWindow>

namespace th {

// The main window: the watch list, the commands, the engine lights and the status bar.
class frmWatch final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmWatch)

public:
    explicit frmWatch(QWidget *parent = nullptr);
    ~frmWatch() override;
};

} // namespace th
