#include "alerts/AlertState.h"

namespace th {

void AlertState::reset()
{
    FirstAlertPending.clear();
    FirstAlertDone.clear();
    SecondAlertPending.clear();
    SecondAlertDone.clear();
}

void AlertState::acknowledge()
{
    AlertQuiet = false;
    FirstAlertDone.append(FirstAlertPending);
    SecondAlertDone.append(SecondAlertPending);
    FirstAlertPending.clear();
    SecondAlertPending.clear();
}

} // namespace th
