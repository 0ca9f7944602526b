// The framework's default reporting of an error that ends a handler: the handler stops, the
// operator is told in a message box, the program goes on.
#pragma once

#include <exception>
#include <functional>
#include <string>

namespace fw {

// Shows what a handler failed with (after the current handler; one box at a time).
void reportHandlerError(const std::string &what);

// Runs a handler; an exception it raises ends it and is reported.
inline void guarded(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const std::exception &e) {
        reportHandlerError(e.what());
    }
}

} // namespace fw
