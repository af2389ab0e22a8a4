#pragma once

// The lock test that containers and doors share: no die is rolled, a fixed
// 50 stands for the roll.

#include "world/rule_tables.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

namespace VARD
{

constexpr std::uint32_t kSpecialStatLocks = 0;
constexpr int kSkillLocks = 66;
constexpr int kFixedLockRoll = 50;

// True when a Locks check opens the lock; a lock of 0 always opens.
inline bool OpensLock(std::int32_t check, std::uint32_t lock)
{
    return lock == 0 ||
           static_cast<std::int64_t>(check) + kFixedLockRoll > static_cast<std::int64_t>(lock);
}

// "[Locks 50 +S vs L]"
inline std::string FormatLockRoll(std::int32_t check, std::uint32_t lock)
{
    const auto shown = static_cast<int>(
        std::min<std::uint32_t>(lock, static_cast<std::uint32_t>(std::numeric_limits<int>::max())));
    return FormatSkillRoll(check, GetSkillDisplayName(kSkillLocks), kFixedLockRoll, shown);
}

} // namespace VARD
