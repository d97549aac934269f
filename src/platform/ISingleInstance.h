#pragma once

#include <functional>

namespace th {

// One running program per data folder.
class ISingleInstance {
public:
    virtual ~ISingleInstance() = default;
    // True when this process now holds the data folder; false when another one does.
    virtual bool tryAcquire() = 0;
    // The holder only: from now on `showRequested` runs whenever a later start asks for
    // the main window.
    virtual void listenForShowRequests(std::function<void()> showRequested) = 0;
    // A later start only: asks the holder to show and raise its main window. False when
    // the holder could not be reached; the caller ends either way.
    virtual bool askHolderToShow() = 0;
};

} // namespace th
