// Releases what a camera that stopped answering leaves behind on threads of their own: tearing
// down its Aravis objects waits on control timeouts that the user interface must not wait on.
#pragma once

#include <functional>

namespace cam {

class BackgroundRelease {
public:
    // Runs `work` on a new thread; the process waits for every such thread before it ends.
    static void run(std::function<void()> work);
    // Waits until every release started so far has finished.
    static void waitAll();
};

} // namespace cam
