#include "world/spell.h"

#include "common/exception.h"
#include "common/tag_file.h"
#include "world/effect_params.h"
#include "world/keywords.h"
#include "world/rule_tables.h"
#include "world/spell_effect.h"

#include <algorithm>
#include <utility>

namespace VARD
{

namespace
{

constexpr std::uint32_t kWhite = 0x00FFFFFFu;

bool Contains(const std::vector<int>& list, int value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

// Creature-kind words up to the end tag of the open element.
void ReadRaceWords(VARDCommon::CTagFileReader& reader, std::vector<int>& races)
{
    while (!reader.IsAtEndTag())
        races.push_back(reader.ReadConverted(FindRaceByKey));
}

} // namespace

// ----------------------------------------------------------------- reading

CSpell::CSpell(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("spell");
    m_Key = reader.ReadWord();
    m_DisplayName = reader.ReadQuoted();
    reader.ReadColor(m_Color);
    m_Description = reader.ReadQuoted();
    m_EffectGraphic = reader.ReadString();
    if (!m_EffectGraphic.empty())
        m_EffectParams = std::make_shared<VARDGraph::CEffectParams>(reader);
    m_Skill = ReadSkillOrNone(reader);
    m_Level = reader.ReadInt();
    ReadSave(reader);
    m_SecondSkill = ReadSkillOrNone(reader);
    ReadRange(reader);

    m_Hostile = true;
    m_Flags = 0;
    m_TargetMode = kSpellTargetActor;
    m_RequiredWeaponKind = kWeaponKindNone;
    m_RequiredSkill = kSkillNone;
    while (!reader.IsAtEndTag())
        ReadOption(reader);
    reader.ReadEndTag();
}

void CSpell::ReadSave(VARDCommon::CTagFileReader& reader)
{
    if (reader.ReadTupleStart(2, false))
    {
        m_SaveKind = reader.ReadConverted(FindSaveByKey);
        m_SaveLimit = reader.ReadInt();
        return;
    }
    m_SaveKind = reader.ReadConverted(
        [](const std::string& word) { return word == "0" ? kSaveKindNone : FindSaveByKey(word); });
    m_SaveLimit = 0;
}

void CSpell::ReadRange(VARDCommon::CTagFileReader& reader)
{
    const std::string where = reader.Where();
    const std::string word = reader.ReadWord();
    if (word == "0")
        m_Range = 10.0;
    else if (word == "short")
        m_Range = 25.0;
    else if (word == "long")
        m_Range = 100.0;
    else
        throw CVARDException(1, where + ": " + VARDCommon::QuoteForMessage(word) +
                                    " is no spell range (0, short or long)");
}

void CSpell::ReadEffectInto(VARDCommon::CTagFileReader& reader, EffectList& effects)
{
    reader.ReadStartTag("effect");
    std::shared_ptr<CSpellEffect> effect = CSpellEffect::Create(reader, m_Level);
    reader.ReadEndTag();
    if (!effect->IsHostile())
        m_Hostile = false;
    effects.push_back(std::move(effect));
}

// One element or word of the open part of the record.
void CSpell::ReadOption(VARDCommon::CTagFileReader& reader)
{
    if (reader.IsStartTag("effect"))
    {
        ReadEffectInto(reader, m_Effects);
        return;
    }
    if (reader.IsStartTag("saveeffects"))
    {
        reader.ReadStartTag("saveeffects");
        while (reader.IsStartTag("effect"))
            ReadEffectInto(reader, m_SaveEffects);
        reader.ReadEndTag();
        return;
    }
    if (reader.IsStartTag("race"))
    {
        reader.ReadStartTag("race");
        ReadRaceWords(reader, m_Races);
        reader.ReadEndTag();
        return;
    }
    if (reader.IsStartTag("notrace"))
    {
        reader.ReadStartTag("notrace");
        ReadRaceWords(reader, m_ExcludedRaces);
        reader.ReadEndTag();
        return;
    }
    if (reader.IsStartTag("powerreqs"))
    {
        reader.ReadStartTag("powerreqs");
        // "0" leaves the weapon kind as it stands (none unless named before).
        const int current = m_RequiredWeaponKind;
        m_RequiredWeaponKind =
            reader.ReadConverted([current](const std::string& word)
                                 { return word == "0" ? current : FindWeaponKindByKey(word); });
        m_RequiredSkill = ReadSkillOrNone(reader);
        reader.ReadEndTag();
        return;
    }

    const std::string where = reader.Where();
    const std::string word = reader.ReadWord();
    if (word == "touch")
        m_Flags |= kSpellFlagTouch;
    else if (word == "multitarget")
    {
        m_Flags |= kSpellFlagMultiTarget;
        m_TargetMode = kSpellTargetActor;
    }
    else if (word == "summontarget")
    {
        m_Flags |= kSpellFlagSummonTarget;
        m_TargetMode = kSpellTargetActor;
    }
    else if (word == "power")
        m_Flags |= kSpellFlagPower;
    else if (word == "nosave")
        m_Flags |= kSpellFlagNoSave;
    else if (word == "potion")
        m_Flags |= kSpellFlagPotion;
    else if (word == "wand")
        m_Flags |= kSpellFlagWand;
    else if (word == "tiletarget")
    {
        m_TargetMode = kSpellTargetTile;
        m_Flags &= ~kSpellFlagMultiTarget;
    }
    else if (word == "selftarget")
    {
        m_TargetMode = kSpellTargetSelf;
        m_Flags &= ~kSpellFlagMultiTarget;
    }
    else
        throw CVARDException(1, where + ": " + VARDCommon::QuoteForMessage(word) +
                                    " is no spell flag, target or element");
}

// ------------------------------------------------------- built-in powers

CSpell::CSpell(const std::string& key)
{
    if (key != kSneakPowerKey)
        throw CVARDException(2, VARDCommon::QuoteForMessage(key) + " is no built-in power");
    m_Key = key;
    m_DisplayName = "Sneak";
    m_Color = kWhite;
    m_Description =
        "The actor hides in the shadows, becoming invisible until spotted by an observant enemy.";
    m_Skill = kSkillSneak;
    m_SecondSkill = kSkillSneak;
    m_Level = 0;
    m_SaveKind = kSaveKindNone;
    m_SaveLimit = 0;
    m_Range = 10.0;
    m_Flags = kSpellFlagPower;
    m_TargetMode = kSpellTargetSelf;
    m_Hostile = false;
    m_RequiredWeaponKind = kWeaponKindNone;
    m_RequiredSkill = kSkillNone;
}

CSpell::CSpell(std::string key, std::string displayName, std::uint32_t color,
               std::string description, int skill, int secondSkill, int level,
               int requiredWeaponKind, int requiredSkill, int fixedAtLow, int fixedAtHigh,
               std::uint32_t statMask)
    : m_Key(std::move(key)), m_DisplayName(std::move(displayName)), m_Color(color),
      m_Description(std::move(description)), m_Skill(skill), m_Level(level),
      m_SaveKind(kSaveKindNone), m_SaveLimit(0), m_SecondSkill(secondSkill), m_Range(10.0),
      m_Flags(kSpellFlagPower), m_RequiredWeaponKind(requiredWeaponKind),
      m_RequiredSkill(requiredSkill), m_TargetMode(kSpellTargetSelf), m_Hostile(false)
{
    m_Effects.push_back(
        std::make_shared<CSpellEffectModify>(level, fixedAtLow, fixedAtHigh, statMask));
}

CSpell::~CSpell() = default;

// ----------------------------------------------------------------- queries

int CSpell::GetSaveKind() const
{
    if (!IsPower())
        return m_SaveKind;
    return m_Skill == kSkillSinging ? kSaveKindMusic : kSaveKindPower;
}

int CSpell::GetEnergyCost() const
{
    if (m_Skill == kSkillSneak)
        return 0;
    if (!IsPower())
        return GetSpellLevelEnergy(m_Level);
    // A power without a skill has no category, so nothing is taken off.
    int level = m_Level;
    if (m_Skill != kSkillNone && GetSkillInfo(m_Skill).category == kSkillCategorySkill)
        level -= 20;
    return std::max(level, 5) / 5;
}

bool CSpell::FindTeleportEffect(const CSpellEffectTeleport** effect) const
{
    for (const auto& candidate : m_Effects)
    {
        if (candidate->GetKind() != kSpellEffectTeleport)
            continue;
        if (effect != nullptr)
            *effect = static_cast<const CSpellEffectTeleport*>(candidate.get());
        return true;
    }
    return false;
}

bool CSpell::CanAffectKind(bool summoned, int creatureKind) const
{
    if (HasFlag(kSpellFlagSummonTarget) && !summoned)
        return false;
    const int race = creatureKind;
    const int group = GetRaceGroup(race);
    if (!m_Races.empty() && !Contains(m_Races, race) && !Contains(m_Races, group))
        return false;
    if (!m_ExcludedRaces.empty() &&
        (Contains(m_ExcludedRaces, race) || Contains(m_ExcludedRaces, group)))
        return false;
    return true;
}

double CSpell::GetEffectSpeed() const
{
    if (HasFlag(kSpellFlagPower) && HasFlag(kSpellFlagMultiTarget))
        return 750.0;
    return 75.0;
}

// -------------------------------------------------------------- spell lists

void WriteSpellList(const std::vector<const CSpell*>& spells, VARDCommon::CTagFileWriter& writer)
{
    writer.WriteStartTag("spells");
    for (const CSpell* spell : spells)
        writer.WriteString(spell != nullptr ? spell->GetKey() : std::string());
    writer.WriteEndTag();
}

void ReadSpellList(VARDCommon::CTagFileReader& reader, const StringMap<CSpell>& moduleSpells,
                   std::vector<const CSpell*>& spells)
{
    reader.ReadStartTag("spells");
    while (!reader.IsAtEndTag())
    {
        // A spell the module no longer has is left out: nothing could use it.
        const CSpell* spell = StringMapGet(moduleSpells, reader.ReadWord());
        if (spell != nullptr)
            spells.push_back(spell);
    }
    reader.ReadEndTag();
}

void ReadSpellList(VARDCommon::CTagFileReader& reader, const CModule& module,
                   std::vector<const CSpell*>& spells)
{
    ReadSpellList(reader, module.GetSpells(), spells);
}

} // namespace VARD
