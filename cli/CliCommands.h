#pragma once

#include <QStringList>
#include <QTextStream>

namespace th::cli {

// Each command takes its own arguments (without the command name), prints its result on
// `out` and one-line errors on `err`, and returns the process exit status.
int runParse(const QStringList &args, QTextStream &out, QTextStream &err);
int runList(const QStringList &args, QTextStream &out, QTextStream &err);
int runExport(const QStringList &args, QTextStream &out, QTextStream &err);
int runImport(const QStringList &args, QTextStream &out, QTextStream &err);
int runBackups(const QStringList &args, QTextStream &out, QTextStream &err);
int runRestore(const QStringList &args, QTextStream &out, QTextStream &err);
int runCalendar(const QStringList &args, QTextStream &out, QTextStream &err);
// "export --csv FILE": the watch list as a CSV table ("-" writes to standard output).
int runCsvExport(const QString &target, QTextStream &out, QTextStream &err);

} // namespace th::cli
