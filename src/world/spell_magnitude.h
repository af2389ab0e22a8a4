#pragma once

#include "common/tag_file_fwd.h"

#include <memory>

// Spell values that scale with the caster's casting bonus: between a low and
// a high bonus they move linearly (integer arithmetic) from their value at
// the low bonus to their value at the high bonus; outside they hold.
namespace VARD
{

// How strong an effect is: a die (rolled 1..die, 0 for none) and a fixed part.
class CSpellMagnitude
{
public:
    CSpellMagnitude(int lowBonus, int highBonus, int dieAtLow, int dieAtHigh, int fixedAtLow,
                    int fixedAtHigh);

    // Either <value> n die fixed </value>, where n not 0 spreads the values
    // over the bonuses level + 10 .. level + 10 + n, and die and fixed are a
    // group of two or one number for both; or the short form "( die fixed )",
    // "0 fixed" or "fixed" alone.
    static std::shared_ptr<CSpellMagnitude> Read(VARDCommon::CTagFileReader& reader, int level);

    void GetDiceAt(int bonus, int& die, int& fixed) const;
    // A roll of the die plus the fixed part, at least 1.
    int Roll(int bonus) const;

    int GetLowBonus() const { return m_LowBonus; }
    int GetHighBonus() const { return m_HighBonus; }
    int GetDieAtLow() const { return m_DieAtLow; }
    int GetDieAtHigh() const { return m_DieAtHigh; }
    int GetFixedAtLow() const { return m_FixedAtLow; }
    int GetFixedAtHigh() const { return m_FixedAtHigh; }

private:
    int m_LowBonus;
    int m_HighBonus;
    int m_DieAtLow;
    int m_DieAtHigh;
    int m_FixedAtLow;
    int m_FixedAtHigh;
};

// How long an effect lasts, in game seconds; both lengths 0 is indefinite.
class CSpellDuration
{
public:
    CSpellDuration(int lowBonus, int highBonus, int lengthAtLow, int lengthAtHigh);

    // One word: "0", "1round", "2rounds", "3rounds", "5rounds", "10rounds",
    // "1hour", "8hours", "levelrounds", "levelminutes"; any other is code 1.
    static std::shared_ptr<CSpellDuration> Read(VARDCommon::CTagFileReader& reader, int level);

    int GetLengthAt(int bonus) const;

    int GetLowBonus() const { return m_LowBonus; }
    int GetHighBonus() const { return m_HighBonus; }
    int GetLengthAtLow() const { return m_LengthAtLow; }
    int GetLengthAtHigh() const { return m_LengthAtHigh; }
    bool IsIndefinite() const { return m_LengthAtLow == 0 && m_LengthAtHigh == 0; }

private:
    int m_LowBonus;
    int m_HighBonus;
    int m_LengthAtLow;
    int m_LengthAtHigh;
};

} // namespace VARD
