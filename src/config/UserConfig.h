#pragma once

#include <QList>
#include <QString>

#include "common/Result.h"

namespace th {

// Settings of ours that the store has no value names for, kept in config.ini of the data
// folder: [User] LiveTimeLeft (0 or 1) and the list's column widths under [Columns]
// (Width0 ... Width10, in pixels).
namespace UserConfig {

inline constexpr int kColumnCount = 11;

// Whether the list counts time left down between updates; off when missing.
bool liveTimeLeft(const QString &configPath);
// The write of either setter either happens in full or leaves the file as it was; the error
// tells why it failed.
Result<void> setLiveTimeLeft(const QString &configPath, bool on);

// The saved width of each column, -1 where none is saved (or the value is not a width).
QList<int> columnWidths(const QString &configPath);
// Writes one width per column, Width0 first.
Result<void> setColumnWidths(const QString &configPath, const QList<int> &widths);

} // namespace UserConfig

} // namespace th
