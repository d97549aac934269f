#include "alerts/ui/BidNotifier.h"

#include <QLabel>
#include <QTimer>

#include "alerts/BidAnnouncement.h"
#include "alerts/PlaySoundFile.h"
#include "alerts/ui/frmNotify.h"
#include "engine/UpdateEngine.h"
#include "watchlist/AppSettings.h"
#include "watchlist/WatchListModel.h"

namespace th {

BidNotifier::BidNotifier(UpdateEngine &engine, WatchListModel &model, AppSettings &settings,
    ISoundPlayer &sound, QString defaultSoundPath, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
    , m_model(model)
    , m_settings(settings)
    , m_sound(sound)
    , m_defaultSoundPath(std::move(defaultSoundPath))
{
    connect(&m_engine, &UpdateEngine::newBidAnnounced, this, &BidNotifier::announce);
}

BidNotifier::~BidNotifier()
{
    delete m_window.data();
}

void BidNotifier::announce(int row)
{
    const BidAnnouncement wanted = BidAnnouncement::from(m_settings);
    if (wanted.playSound)
        PlaySoundFile(m_sound, m_settings.gstrNotifyPlaySoundPath, m_defaultSoundPath);
    if (wanted.showWindow)
        subShowBidNotify(row);
}

void BidNotifier::subShowBidNotify(int row)
{
    if (!m_engine.gblnNotifyReady())
        return;
    // One window at a time: a second new bid while it is open is not shown again.
    if (m_showing)
        return;
    if (!m_window)
        m_window = new frmNotify; // top level; deleted with the notifier
    if (row >= 0 && row < m_model.rowCount()) {
        m_window->fill(m_model.rowText(row), m_model.subItem(row, WatchListModel::ItemName),
            m_model.subItem(row, WatchListModel::Bids), m_model.subItem(row, WatchListModel::Price));
    }
    m_showing = true;
    QTimer::singleShot(0, this, &BidNotifier::windowShown);
    const QPointer<BidNotifier> self(this);
    m_window->exec();
    if (self)
        m_showing = false;
}

void BidNotifier::closeForExit()
{
    if (m_window)
        m_window->closeByProgram();
}

} // namespace th
