#pragma once

namespace th {

// Asks the desktop whether a web browser is set up to open http addresses. The desktop's
// "open" action reports success as soon as its helper starts, even when the helper then
// finds no browser, so the question is asked before an address is opened.
class IWebBrowserCheck {
public:
    enum class Answer {
        Present, // a browser is set up for http addresses
        Missing, // the desktop has no browser for them: opening would do nothing
        Unknown, // the desktop could not be asked; opening is tried and its result trusted
    };
    virtual ~IWebBrowserCheck() = default;
    virtual Answer httpHandler() = 0;
};

} // namespace th
