#pragma once

#include <QObject>
#include <QPointer>

#include "alerts/ui/frmNotify.h"

namespace th {

class ISoundPlayer;
class UpdateEngine;
class WatchListModel;
struct AppSettings;

// Announces new bids the update engine has seen: the notify sound, then the notification
// window. The window is modal to the user, but nothing of the program waits for it: the page
// that brought the news is applied and the update goes on while it is open.
class BidNotifier final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BidNotifier)

public:
    BidNotifier(UpdateEngine &engine, WatchListModel &model, AppSettings &settings, ISoundPlayer &sound,
        QString defaultSoundPath, QObject *parent = nullptr);
    ~BidNotifier() override;

    // A new bid on row `row`: what the settings ask for, the sound first.
    void announce(int row);
    // Fills the window with the row's texts as they stand and shows it, returning at once;
    // nothing while the engine is not ready to notify or while the window is already open.
    void subShowBidNotify(int row);

    frmNotify *window() const { return m_window; }
    bool isShowing() const { return m_showing; }
    // The program ends: the window goes, whoever waits for it.
    void closeForExit();

Q_SIGNALS:
    // The window is on the screen (for tests and the program's own screenshot).
    void windowShown();

private:
    UpdateEngine &m_engine;
    WatchListModel &m_model;
    AppSettings &m_settings;
    ISoundPlayer &m_sound;
    QString m_defaultSoundPath;
    QPointer<frmNotify> m_window;
    bool m_showing = false;
};

} // namespace th
