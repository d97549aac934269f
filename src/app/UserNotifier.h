#pragma once

#include <QObject>

namespace th {

class frmWatch;
class ITray;

// What the user must learn even with nobody at the window: a message beside the tray icon,
// or in the status bar where the desktop has no notification area. The first time the
// window goes to the tray, it says where the program went.
class UserNotifier final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(UserNotifier)

public:
    UserNotifier(ITray &tray, frmWatch &window, QObject *parent = nullptr);

    void tellUser(const QString &text);
    // A file of the data folder could not be written (it keeps what it held): the user
    // learns why, and the log keeps it.
    void tellFileNotSaved(const QString &why);
    // Beside the tray icon only: news that can wait until the user looks there.
    void showTrayMessage(const QString &text);

private:
    ITray &m_tray;
    frmWatch &m_window;
};

} // namespace th
