#pragma once

#include <QObject>

class QSocketNotifier;

namespace th {

// Turns SIGTERM and SIGINT into a signal on the GUI thread, so that they end the program
// exactly as "Exit" does.
class UnixSignals final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(UnixSignals)

public:
    explicit UnixSignals(QObject *parent = nullptr);
    ~UnixSignals() override;

Q_SIGNALS:
    void terminationRequested();

private:
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace th
