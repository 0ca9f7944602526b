// How many frame buffers a stream may allocate, within a memory budget per camera.
#include "camera/FrameBudget.h"

#include "camera/CameraError.h"
#include "camera/FeatureAccess.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>

namespace cam {

namespace {

constexpr uint64_t kMiB = 1024 * 1024;

std::atomic<uint64_t> &budgetMegabytes()
{
    static std::atomic<uint64_t> megabytes{FrameBudget::kDefaultMegabytes};
    return megabytes;
}

std::string mib(uint64_t bytes) { return std::to_string((bytes + kMiB - 1) / kMiB) + " MiB"; }

// The sensor's largest image, from the first pair of nodes the camera has; 0 x 0 when unknown.
std::pair<int64_t, int64_t> sensorSize(FeatureAccess &f)
{
    static const char *const pairs[][2] = {{"WidthMax", "HeightMax"}, {"SensorWidth", "SensorHeight"}};
    for (const auto &p : pairs) {
        try {
            if (f.has(p[0]) && f.has(p[1]))
                return {f.intValue(p[0]), f.intValue(p[1])};
        } catch (const CameraError &) {
            // An unreadable maximum leaves only the budget to judge the payload by.
        }
    }
    return {0, 0};
}

} // namespace

void FrameBudget::setMegabytes(uint64_t megabytes)
{
    budgetMegabytes() = megabytes ? megabytes : kDefaultMegabytes;
}

uint64_t FrameBudget::megabytes() { return budgetMegabytes(); }

void FrameBudget::setMegabytesFromSetting(const std::string &text)
{
    char *end = nullptr;
    const unsigned long long v = std::strtoull(text.c_str(), &end, 10);
    const bool usable = !text.empty() && *end == '\0' && text[0] != '-' && v <= (1ull << 30);
    setMegabytes(usable ? v : 0);
}

int FrameBudget::buffers(uint64_t payload, int wanted, FeatureAccess &sensor)
{
    const auto [width, height] = sensorSize(sensor);
    return buffers(payload, wanted, width, height);
}

int FrameBudget::buffers(uint64_t payload, int wanted, int64_t sensorWidth, int64_t sensorHeight)
{
    if (payload == 0)
        throw CameraError(code::Failed, "the camera reports an image size of 0 bytes");
    // In floating point, so that a nonsense maximum cannot overflow the product.
    const double sensorBytes = double(sensorWidth) * double(sensorHeight) * 8.0;
    if (sensorWidth > 0 && sensorHeight > 0 && double(payload) > sensorBytes)
        throw CameraError(code::OutOfRange,
                          "the camera reports an image size of " + std::to_string(payload) +
                              " bytes, more than its " + std::to_string(sensorWidth) + " x " +
                              std::to_string(sensorHeight) + " sensor can send");
    const uint64_t budget = megabytes() * kMiB;
    if (payload > budget / kMinBuffers)
        throw CameraError(code::OutOfRange,
                          "the camera reports an image size of " + std::to_string(payload) + " bytes (" +
                              mib(payload) + "); the frame memory of " + mib(budget) +
                              " (setting FramePoolMegabytes) does not hold " +
                              std::to_string(kMinBuffers) + " such images");
    const uint64_t fit = budget / payload;
    return static_cast<int>(std::clamp<uint64_t>(std::max(wanted, kMinBuffers), kMinBuffers, fit));
}

} // namespace cam
