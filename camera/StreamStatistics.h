// What a camera's transport counts on its stream: frames whole, failed or without a buffer, and
// for a packet transport the packets received, missing, asked again and sent again.
#pragma once

#include <cstdint>
#include <string>

namespace cam {

struct StreamStatistics {
    bool frames = false;  // whether the transport counts at all
    uint64_t framesCompleted = 0;
    uint64_t framesFailed = 0;    // incomplete after any resend: lost
    uint64_t framesUnderrun = 0;  // arrived while no receive buffer was free: lost
    bool packets = false;         // whether the packet counts below mean anything
    uint64_t packetsReceived = 0;
    uint64_t packetsMissing = 0;  // of failed frames, from the first one missing after any resend on
    uint64_t resendRequests = 0;
    uint64_t packetsResent = 0;

    uint64_t framesLost() const { return framesFailed + framesUnderrun; }
    // "completed 45, lost 328" for frames; "received 9000, missing 120, resent 0 of 40 asked".
    std::string framesText() const
    {
        if (!frames)
            return "-";
        return "completed " + std::to_string(framesCompleted) + ", lost " + std::to_string(framesLost());
    }
    std::string packetsText() const
    {
        if (!packets)
            return "-";
        return "received " + std::to_string(packetsReceived) + ", missing " + std::to_string(packetsMissing) +
               ", resent " + resentText();
    }
    // "150 of 171 / 0 of 0": frames lost of all, then packets resent of asked where counted.
    std::string lossText() const
    {
        if (!frames)
            return "-";
        std::string text = std::to_string(framesLost()) + " of " + std::to_string(framesLost() + framesCompleted);
        if (packets)
            text += " / " + std::to_string(packetsResent) + " of " + std::to_string(resendRequests);
        return text;
    }
    std::string resentText() const
    {
        return std::to_string(packetsResent) + " of " + std::to_string(resendRequests) + " asked";
    }
};

} // namespace cam
