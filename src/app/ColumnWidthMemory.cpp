#include "app/ColumnWidthMemory.h"

#include "common/Timers.h"
#include "config/UserConfig.h"
#include "watchlist/ui/WatchListView.h"

namespace th {

ColumnWidthMemory::ColumnWidthMemory(WatchListView &view, QString configPath, QObject *parent)
    : QObject(parent)
    , m_view(view)
    , m_configPath(std::move(configPath))
{
    setUpTimer(tmrSaveColumnWidths, "tmrSaveColumnWidths", 500, false, /*singleShot=*/true);
    connect(&tmrSaveColumnWidths, &QTimer::timeout, this, &ColumnWidthMemory::save);
    // A drag resizes many times; the file is written once, after the last.
    connect(
        &m_view, &WatchListView::columnWidthsChangedByUser, this, [this] { tmrSaveColumnWidths.start(); });
}

void ColumnWidthMemory::restore()
{
    m_view.restoreColumnWidths(UserConfig::columnWidths(m_configPath));
}

void ColumnWidthMemory::saveIfChanged()
{
    if (tmrSaveColumnWidths.isActive())
        save();
}

void ColumnWidthMemory::save()
{
    disableTimer(tmrSaveColumnWidths);
    QList<int> widths = m_view.columnWidths();
    widths.resize(UserConfig::kColumnCount, 0);
    if (const Result<void> saved = UserConfig::setColumnWidths(m_configPath, widths); !saved)
        Q_EMIT widthsNotSaved(saved.errorMessage());
}

} // namespace th
