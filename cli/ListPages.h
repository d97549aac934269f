#pragma once

#include <QList>
#include <QString>
#include <QTextStream>

#include "common/Result.h"
#include "config/AppSettings.h"
#include "listexport/ListEntries.h"

namespace th {
class RegistryStore;
}

namespace th::cli {

// The watch list as the program would show it after one update of every item.
struct ListPages {
    QList<ListEntry> entries;
    AppSettings settings;
    // The item-page host, as config.ini names it.
    QString itemPageHost;
};

// Reads the watch list of `store` and fetches every item's page once, five at a time, from
// the hosts of the data folder's config.ini, as an all-items update of the program does
// (the won mark is stored as the program would). Items whose page could not be read are
// named on `err` and keep empty columns.
ListPages readListPages(RegistryStore &store, const QString &dataFolder, QTextStream &err);

} // namespace th::cli
