// Numbers typed into edit boxes.
#include "framework/TypedNumber.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace fw {

int wholeNumber(const std::string &text)
{
    const long long v = std::strtoll(text.c_str(), nullptr, 10);  // saturates at its own bounds
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

double decimalNumber(const std::string &text)
{
    const double v = std::strtod(text.c_str(), nullptr);
    if (std::isnan(v))
        return 0;
    constexpr double kMax = std::numeric_limits<float>::max();
    return std::clamp(v, -kMax, kMax);
}

int truncated(double v)
{
    if (std::isnan(v))
        return 0;
    const double t = std::trunc(v);
    return t <= INT_MIN ? INT_MIN : t >= INT_MAX ? INT_MAX : static_cast<int>(t);
}

} // namespace fw
