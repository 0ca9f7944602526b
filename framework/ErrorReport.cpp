// The framework's default reporting of errors that end handlers.
#include "framework/ErrorReport.h"

#include "framework/Platform.h"

#include <atomic>

namespace fw {

namespace {
std::atomic<bool> g_reportPending{false};  // a box is queued or open: further errors wait
}

void reportHandlerError(const std::string &what)
{
    if (g_reportPending.exchange(true))
        return;
    platform().post([what] {
        platform().messageBox(what, loadString(128), MsgButtons::Ok, MsgIcon::Exclamation);
        g_reportPending = false;
    });
}

} // namespace fw
