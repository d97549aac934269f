#pragma once

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include "common/HostPort.h"

class QTcpSocket;

namespace th {

class IClock;
class PageApplier;
class WatchListModel;

// The sequential pass: the items of the list one after another over one socket, each
// request waiting for the answer before it. The items are taken as the list stands when the
// pass starts and found again by their numbers for every answer, so a sort or an update of
// another item meanwhile never puts one item's page on another's row.
class SequentialPass final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SequentialPass)

public:
    SequentialPass(WatchListModel &model, PageApplier &applier, IClock &clock, QObject *parent = nullptr);
    ~SequentialPass() override;

    void setHosts(const HostPort &itemPage, const HostPort &main);
    // How long one item's answer may take before the item shows "Err.".
    void setDeadline(int msecs) { tmrSequentialWait.setInterval(msecs); }

    // Starts with the first item of the list; false when the list is empty or a pass runs.
    bool start();
    void stop();
    bool running() const { return m_index >= 0; }
    bool waiting() const { return m_waiting; }
    // The wait for the current item has lasted too long.
    void timeOut();

    // The bound on the wait for one item.
    QTimer tmrSequentialWait;

Q_SIGNALS:
    void statusChanged(int panel, const QString &text);
    // The pass is over: after its last item, or at the first item whose page could not be
    // applied (`completed` false).
    void finished(bool completed);

private:
    void startItem();
    void finishItem(bool timedOut);
    void applyItem(const QString &item, const QByteArray &raw, bool timedOut);

    WatchListModel &m_model;
    PageApplier &m_applier;
    IClock &m_clock;
    HostPort m_itemPage;
    HostPort m_main;
    QTcpSocket *Winsock1 = nullptr;
    QStringList m_items;
    int m_index = -1; // of the current item in m_items; -1 while no pass runs
    QByteArray m_buffer;
    bool m_waiting = false;
    // The current item is asked for under the motors path (once the site pointed it there).
    bool m_motors = false;
    // Changes with every start and stop: work of a stopped pass sees it and gives up.
    quint64 m_serial = 0;
};

} // namespace th
