#include "app/frmWatch.h"

#include <QStatusBar>

#include "common/Version.h"

namespace th {

frmWatch::frmWatch(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmWatch"));
    setWindowTitle(QStringLiteral("Tallyhawk for eBay (Version %1.%2.%3)")
                       .arg(kVersionMajor)
                       .arg(kVersionMinor)
                       .arg(kVersionPatch));
    resize(900, 520);
    statusBar();
}

frmWatch::~frmWatch() = default;

} // namespace th
