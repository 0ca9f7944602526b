// Which way Aravis receives GigE Vision stream packets in this process.
#pragma once

#include <string>

namespace cam {

// "packet socket" when the process may open one (CAP_NET_RAW: fastest, fewest lost frames),
// else "UDP socket" (Aravis sizes its receive buffer to the frame).
std::string aravisReceivePath();

} // namespace cam
