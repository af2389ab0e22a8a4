#pragma once

#include <cstdint>
#include <string>

namespace VARD
{

// The values one swing is rolled with: damage is the base plus a roll of
// 1..die size (no roll when the die size is 0).
struct CAttackInfo
{
    std::string name;
    std::int32_t attackBonus = 0;
    std::int32_t dieSize = 0;
    std::int32_t base = 0;
};

} // namespace VARD
