#include "world/spell_magnitude.h"

#include "common/exception.h"
#include "common/random.h"
#include "common/tag_file.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace VARD
{

namespace
{

// The value at a bonus between the low and the high bonus. A span written
// backwards (high below low) is clamped the same way, never past its ends.
int ScaleBetween(int bonus, int lowBonus, int highBonus, int atLow, int atHigh)
{
    if (lowBonus == highBonus || atLow == atHigh)
        return atLow;
    const int b = std::clamp(bonus, std::min(lowBonus, highBonus), std::max(lowBonus, highBonus));
    const std::int64_t step = (static_cast<std::int64_t>(atHigh) - atLow) *
                              (static_cast<std::int64_t>(b) - lowBonus) /
                              (static_cast<std::int64_t>(highBonus) - lowBonus);
    return atLow + static_cast<int>(step);
}

// A group "( low high )" or one number for both.
void ReadPairOrOne(VARDCommon::CTagFileReader& reader, int& atLow, int& atHigh)
{
    if (reader.ReadTupleStart(2, false))
    {
        atLow = reader.ReadInt();
        atHigh = reader.ReadInt();
        return;
    }
    atLow = reader.ReadInt();
    atHigh = atLow;
}

} // namespace

// -------------------------------------------------------------- magnitude

CSpellMagnitude::CSpellMagnitude(int lowBonus, int highBonus, int dieAtLow, int dieAtHigh,
                                 int fixedAtLow, int fixedAtHigh)
    : m_LowBonus(lowBonus), m_HighBonus(highBonus), m_DieAtLow(dieAtLow), m_DieAtHigh(dieAtHigh),
      m_FixedAtLow(fixedAtLow), m_FixedAtHigh(fixedAtHigh)
{
}

std::shared_ptr<CSpellMagnitude> CSpellMagnitude::Read(VARDCommon::CTagFileReader& reader,
                                                       int level)
{
    if (reader.IsStartTag("value"))
    {
        reader.ReadStartTag("value");
        const int span = reader.ReadInt();
        int lowBonus = 0;
        int highBonus = 0;
        if (span != 0)
        {
            lowBonus = level + 10;
            highBonus = level + 10 + span;
        }
        int dieAtLow = 0;
        int dieAtHigh = 0;
        int fixedAtLow = 0;
        int fixedAtHigh = 0;
        ReadPairOrOne(reader, dieAtLow, dieAtHigh);
        ReadPairOrOne(reader, fixedAtLow, fixedAtHigh);
        reader.ReadEndTag();
        return std::make_shared<CSpellMagnitude>(lowBonus, highBonus, dieAtLow, dieAtHigh,
                                                 fixedAtLow, fixedAtHigh);
    }

    // The short form. A "0" in place of the group is a die of 0.
    int die = 0;
    if (reader.ReadTupleStart(2, true))
        die = reader.ReadInt();
    const int fixed = reader.ReadInt();
    return std::make_shared<CSpellMagnitude>(0, 0, die, die, fixed, fixed);
}

void CSpellMagnitude::GetDiceAt(int bonus, int& die, int& fixed) const
{
    die = ScaleBetween(bonus, m_LowBonus, m_HighBonus, m_DieAtLow, m_DieAtHigh);
    fixed = ScaleBetween(bonus, m_LowBonus, m_HighBonus, m_FixedAtLow, m_FixedAtHigh);
}

int CSpellMagnitude::Roll(int bonus) const
{
    int die = 0;
    int fixed = 0;
    GetDiceAt(bonus, die, fixed);
    int roll = 0;
    if (die != 0)
        roll = static_cast<int>(RandomReal() * die) % die + 1;
    return std::max(roll + fixed, 1);
}

// --------------------------------------------------------------- duration

CSpellDuration::CSpellDuration(int lowBonus, int highBonus, int lengthAtLow, int lengthAtHigh)
    : m_LowBonus(lowBonus), m_HighBonus(highBonus), m_LengthAtLow(lengthAtLow),
      m_LengthAtHigh(lengthAtHigh)
{
}

std::shared_ptr<CSpellDuration> CSpellDuration::Read(VARDCommon::CTagFileReader& reader, int level)
{
    struct CFixedLength
    {
        const char* word;
        int seconds;
    };
    // A round is 10 game seconds.
    static constexpr CFixedLength kFixedLengths[] = {
        {"0", 0},        {"1round", 10},    {"2rounds", 20}, {"3rounds", 30},
        {"5rounds", 50}, {"10rounds", 100}, {"1hour", 3600}, {"8hours", 28800},
    };

    const std::string where = reader.Where();
    const std::string word = reader.ReadWord();
    for (const CFixedLength& fixed : kFixedLengths)
        if (word == fixed.word)
            return std::make_shared<CSpellDuration>(0, 0, fixed.seconds, fixed.seconds);

    if (word == "levelrounds")
    {
        const int atLow = (20 * level + 10) / 5;
        return std::make_shared<CSpellDuration>(level + 10, level + 35, atLow, atLow + 100);
    }
    if (word == "levelminutes")
    {
        const int atLow = (120 * level + 60) / 5;
        return std::make_shared<CSpellDuration>(level + 10, level + 35, atLow, atLow + 600);
    }
    throw CVARDException(1, where + ": " + VARDCommon::QuoteForMessage(word) +
                                " is no spell duration");
}

int CSpellDuration::GetLengthAt(int bonus) const
{
    return ScaleBetween(bonus, m_LowBonus, m_HighBonus, m_LengthAtLow, m_LengthAtHigh);
}

} // namespace VARD
