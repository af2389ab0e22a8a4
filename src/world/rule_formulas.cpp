#include "world/rule_tables.h"

#include "common/exception.h"
#include "common/random.h"
#include "world/attack_info.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace VARD
{

// ------------------------------------------------------- percentile check

bool IsPercentileSuccess(int roll, int bonus, int target)
{
    if (roll <= 5)
        return false;
    if (roll >= 96)
        return true;
    return roll + bonus > target;
}

bool RollPercentileCheck(int bonus, int target, int* roll)
{
    // The modulo turns the rare draw of exactly 1.0 into a roll of 1.
    const int r = static_cast<int>(RandomReal() * 100) % 100 + 1;
    if (roll != nullptr)
        *roll = r;
    return IsPercentileSuccess(r, bonus, target);
}

// ------------------------------------------------------------------ texts

namespace
{

std::string PlusWhenNotNegative(int bonus)
{
    return (bonus >= 0 ? "+" : "") + std::to_string(bonus);
}

} // namespace

std::string FormatRollVsTarget(int bonus, int roll, int target)
{
    return "[" + std::to_string(roll) + " " + PlusWhenNotNegative(bonus) + " vs " +
           std::to_string(target) + "]";
}

std::string FormatSkillRoll(int bonus, const std::string& label, int roll, int target)
{
    return "[" + label + " " + std::to_string(roll) + " " + PlusWhenNotNegative(bonus) + " vs " +
           std::to_string(target) + "]";
}

std::string FormatSignedNumber(int n)
{
    return (n > 0 ? "+" : "") + std::to_string(n);
}

std::string FormatDiceRange(int die, int n)
{
    if (die == 0)
        return std::to_string(n);
    // Magnitudes as 64-bit values, so that the lowest int has one too.
    std::string text = die < 0 ? "- 1-" + std::to_string(std::llabs(static_cast<long long>(die)))
                               : "1-" + std::to_string(die);
    if (n > 0)
        text += " + " + std::to_string(n);
    else if (n < 0)
        text += " - " + std::to_string(std::llabs(static_cast<long long>(n)));
    return text;
}

std::string FormatDamageRange(int dieSize, int base)
{
    if (dieSize == 0)
        return std::to_string(base);
    return std::to_string(base + 1) + " - " + std::to_string(base + dieSize);
}

std::string FormatDamageRange(const CAttackInfo& attack)
{
    return FormatDamageRange(attack.dieSize, attack.base);
}

// --------------------------------------------------------------- formulas

namespace
{

// The whole part, held inside the int range so that absurd levels in a module
// give huge numbers rather than undefined conversions.
int WholePart(double value)
{
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}

int ClampToInt(std::int64_t value)
{
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

} // namespace

int GetEncounterXp(int level)
{
    const double fifths = level / 5.0;
    if (level < 5)
        return WholePart(200.0 * std::pow(5.0, fifths));
    return WholePart(100.0 * std::pow(10.0, fifths));
}

int GetSpellLevelEnergy(int level)
{
    std::int64_t n = (2 * static_cast<std::int64_t>(level) + 4) / 5;
    std::int64_t m = 1;
    if (n > 3)
    {
        // Every three steps past the third the cost doubles.
        const std::int64_t k = (n - 4) / 3 + 1;
        n -= 3 * k;
        if (k > 40)
            return INT_MAX;
        m = std::int64_t{1} << k;
    }
    return ClampToInt((n + 2) * m);
}

int GetSpellItemValue(int level, int itemType)
{
    std::int64_t value = 0;
    if (level <= 2)
        value = static_cast<std::int64_t>(level) * 25 / 2 + 25;
    else if (level <= 16)
        value = WholePart(400.0 * std::pow(2.0, (level - 7) / 5.0));
    else
        value = WholePart(1600.0 * std::pow(2.0, (level - 17) / 10.0));

    switch (itemType)
    {
    case kItemTypePotion:
        return ClampToInt(value);
    case kItemTypeScroll:
        return ClampToInt(value / 2);
    case kItemTypeWand:
        return ClampToInt(value * 15);
    default:
        throw CVARDException(2, "no spell item of item type " + std::to_string(itemType));
    }
}

} // namespace VARD
