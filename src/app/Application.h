#pragma once

#include <memory>

#include <QObject>
#include <QString>

namespace th {

class frmWatch;
class ISingleInstance;

// The composition root: builds the store, the seams, the shared state and the windows,
// and hands them down.
class Application final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Application)

public:
    // `commandLine` is the program's arguments joined with one blank.
    explicit Application(QString commandLine, QObject *parent = nullptr);
    ~Application() override;

    // Starts the program; false when it must end at once (another instance holds the
    // data folder, or the data folder cannot be made).
    bool start();

    frmWatch *mainWindow() const { return m_main.get(); }

private:
    void scheduleScreenshot();

    QString m_commandLine;
    std::unique_ptr<ISingleInstance> m_instance;
    std::unique_ptr<frmWatch> m_main;
};

} // namespace th
