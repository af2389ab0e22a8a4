#include "platform/timer.h"

#include <chrono>

namespace platform
{

std::uint32_t SystemClock::Milliseconds() const
{
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms));
}

} // namespace platform
