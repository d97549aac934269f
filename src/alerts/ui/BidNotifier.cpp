#include "alerts/ui/BidNotifier.h"

#include <QLabel>

#include "alerts/BidAnnouncement.h"
#include "alerts/PlaySoundFile.h"
#include "alerts/ui/frmNotify.h"
#include "config/AppSettings.h"
#include "engine/UpdateEngine.h"
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
    if (!m_window) {
        m_window = new frmNotify; // top level; deleted with the notifier
        connect(m_window, &QDialog::finished, this, [this] { m_showing = false; });
    }
    // The window keeps copies of the texts: the row may move or leave the list while it is open.
    if (row >= 0 && row < m_model.rowCount()) {
        m_window->fill(m_model.rowText(row), m_model.subItem(row, WatchListModel::ItemName),
            m_model.subItem(row, WatchListModel::Bids), m_model.subItem(row, WatchListModel::Price));
    }
    m_showing = true;
    m_window->show();
    Q_EMIT windowShown();
}

void BidNotifier::closeForExit()
{
    if (m_window)
        m_window->closeByProgram();
}

} // namespace th
