#pragma once

#include <memory>

#include <QObject>
#include <QString>

#include "app/AppParts.h"

class QSessionManager;

namespace th {

struct Platform;

// The composition root: builds the store, the seams, the shared state and the windows,
// hands them down, and runs start-up, exit and the end of the session in their fixed order.
class Application final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Application)

public:
    enum class StartResult {
        Running, // the program is up
        AnotherInstance, // another program holds the data folder: end silently
        Failed, // the data could not be opened; the user has been told
        Exited, // an exit was asked for while starting: the program has ended its windows
    };

    // `commandLine` is the program's arguments joined with one blank.
    Application(QString commandLine, std::unique_ptr<Platform> platform, QString dataFolder,
        QString resourceFolder, QObject *parent = nullptr);
    ~Application() override;

    StartResult start();
    // "Exit": the main window unloads, then the resource window, and the event loop ends.
    void exitProgram();
    // A request of the desktop session to end.
    void onSessionEnd(QSessionManager &manager);
    // The decision behind it: true when the request is refused (the window was shown and
    // is now hidden), false when the program ends.
    bool refuseSessionEnd();
    bool exiting() const { return m_exiting; }

    // The parts, for the tests that drive the program whole.
    const AppParts &parts() const { return m_parts; }

Q_SIGNALS:
    // The program has ended its windows and asked the event loop to stop.
    void finished();

private:
    // The store, its daily copy, the servers and the settings; false when the store could
    // not be opened (the user has been told).
    bool openStore();
    void createEngine();
    void connectWindows();
    void showAbout();
    void closeOtherWindows();

    QString m_commandLine;
    QString m_dataFolder;
    QString m_resourceFolder;
    AppParts m_parts;
    bool m_exiting = false;
};

} // namespace th
