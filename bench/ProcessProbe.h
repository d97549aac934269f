#pragma once

#include <QStringList>

namespace th::bench {

// CPU time this process has used so far, user and system together (getrusage), in seconds.
double processCpuSeconds();

// The most resident memory this process has held so far (ru_maxrss), in KiB.
long peakResidentKiB();

// The processes now running below this one (children, their children, ...) whose name
// contains "QtWebEngine", as "name (pid)".
QStringList webProcessesBelowUs();

// The memory this process and its web engine processes hold now, in KiB: each one's
// proportional share (Pss), so pages they share are counted once.
long memoryWithWebProcessesKiB();

// Whether any web engine library is mapped into this process.
bool webEngineLoaded();

} // namespace th::bench
