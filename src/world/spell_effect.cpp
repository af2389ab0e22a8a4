#include "world/spell_effect.h"

#include "common/exception.h"
#include "common/tag_file.h"
#include "world/module.h"
#include "world/rule_tables.h"

#include <utility>

namespace VARD
{

CSpellEffect::~CSpellEffect() = default;

std::shared_ptr<CSpellEffect> CSpellEffect::Create(VARDCommon::CTagFileReader& reader, int level)
{
    const int kind = reader.ReadConverted(FindSpellEffectKindByKey);
    switch (kind)
    {
    case kSpellEffectModify:
        return std::make_shared<CSpellEffectModify>(reader, level);
    case kSpellEffectSummon:
        return std::make_shared<CSpellEffectSummon>(reader, level);
    case kSpellEffectHeal:
    case kSpellEffectMana:
        return std::make_shared<CSpellEffectHeal>(reader, kind, level);
    case kSpellEffectDamage:
        return std::make_shared<CSpellEffectDamage>(reader, level);
    case kSpellEffectTeleport:
        return std::make_shared<CSpellEffectTeleport>(reader);
    case kSpellEffectStatus:
        return std::make_shared<CSpellEffectStatus>(reader, level);
    case kSpellEffectRemove:
        return std::make_shared<CSpellEffectRemove>(reader);
    case kSpellEffectDispel:
        return std::make_shared<CSpellEffectDispel>(reader);
    case kSpellEffectItem:
        return std::make_shared<CSpellEffectItem>(reader, level);
    case kSpellEffectRepulse:
        return std::make_shared<CSpellEffectRepulse>();
    case kSpellEffectRaise:
        return std::make_shared<CSpellEffectRaise>(reader);
    default:
        // The kind table and this switch list the same twelve kinds.
        throw CVARDException(2, "spell-effect kind " + std::to_string(kind) + " has no reader");
    }
}

// ----------------------------------------------------------------- modify

CSpellEffectModify::CSpellEffectModify(VARDCommon::CTagFileReader& reader, int level)
    : CSpellEffect(kSpellEffectModify)
{
    m_Duration = CSpellDuration::Read(reader, level);
    m_Magnitude = CSpellMagnitude::Read(reader, level);
    m_StatMask = ParseModifierMask(reader);
}

CSpellEffectModify::CSpellEffectModify(int level, int fixedAtLow, int fixedAtHigh,
                                       std::uint32_t statMask)
    : CSpellEffect(kSpellEffectModify), m_Duration(std::make_shared<CSpellDuration>(0, 0, 0, 0)),
      m_Magnitude(
          std::make_shared<CSpellMagnitude>(level + 10, level + 10, 0, 0, fixedAtLow, fixedAtHigh)),
      m_StatMask(statMask)
{
}

CSpellEffectModify::CSpellEffectModify(std::shared_ptr<CSpellDuration> duration,
                                       std::shared_ptr<CSpellMagnitude> magnitude,
                                       std::uint32_t statMask)
    : CSpellEffect(kSpellEffectModify), m_Duration(std::move(duration)),
      m_Magnitude(std::move(magnitude)), m_StatMask(statMask)
{
}

bool CSpellEffectModify::IsHostile() const
{
    return m_Magnitude->GetDieAtLow() + m_Magnitude->GetFixedAtLow() < 1;
}

// ----------------------------------------------------------------- summon

CSpellEffectSummon::CSpellEffectSummon(VARDCommon::CTagFileReader& reader, int level)
    : CSpellEffect(kSpellEffectSummon)
{
    m_Duration = CSpellDuration::Read(reader, level);
    m_Creature = reader.ReadString();
    m_Attitude = reader.ReadConverted(ParseAttitude);
}

CSpellEffectSummon::CSpellEffectSummon(std::shared_ptr<CSpellDuration> duration,
                                       std::string creature, int attitude)
    : CSpellEffect(kSpellEffectSummon), m_Duration(std::move(duration)),
      m_Creature(std::move(creature)), m_Attitude(attitude)
{
}

const CActorTemplate* CSpellEffectSummon::FindCreature(const CModule& module) const
{
    return module.FindActorTemplate(m_Creature);
}

// -------------------------------------------------------- heal and mana

namespace
{

int CheckHealKind(int kind)
{
    if (kind != kSpellEffectHeal && kind != kSpellEffectMana)
        throw CVARDException(1, "spell-effect kind " + std::to_string(kind) +
                                    " is neither heal nor mana");
    return kind;
}

} // namespace

CSpellEffectHeal::CSpellEffectHeal(VARDCommon::CTagFileReader& reader, int kind, int level)
    : CSpellEffect(CheckHealKind(kind)), m_Magnitude(CSpellMagnitude::Read(reader, level))
{
}

CSpellEffectHeal::CSpellEffectHeal(int kind, std::shared_ptr<CSpellMagnitude> magnitude)
    : CSpellEffect(CheckHealKind(kind)), m_Magnitude(std::move(magnitude))
{
}

// ----------------------------------------------------------------- damage

CSpellEffectDamage::CSpellEffectDamage(VARDCommon::CTagFileReader& reader, int level)
    : CSpellEffect(kSpellEffectDamage), m_Magnitude(CSpellMagnitude::Read(reader, level))
{
}

CSpellEffectDamage::CSpellEffectDamage(std::shared_ptr<CSpellMagnitude> magnitude)
    : CSpellEffect(kSpellEffectDamage), m_Magnitude(std::move(magnitude))
{
}

// --------------------------------------------------------------- teleport

CSpellEffectTeleport::CSpellEffectTeleport(VARDCommon::CTagFileReader& reader)
    : CSpellEffect(kSpellEffectTeleport)
{
    while (!reader.IsAtEndTag())
    {
        const std::string where = reader.Where();
        const std::string word = reader.ReadWord();
        if (word == "party")
            m_Party = true;
        else if (word == "return")
            m_Return = true;
        else
            throw CVARDException(1, where + ": " + VARDCommon::QuoteForMessage(word) +
                                        " is no teleport word (party or return)");
    }
}

CSpellEffectTeleport::CSpellEffectTeleport(bool party, bool toEntry)
    : CSpellEffect(kSpellEffectTeleport), m_Party(party), m_Return(toEntry)
{
}

// ----------------------------------------------------------------- status

CSpellEffectStatus::CSpellEffectStatus(VARDCommon::CTagFileReader& reader, int level)
    : CSpellEffect(kSpellEffectStatus)
{
    m_Duration = CSpellDuration::Read(reader, level);
    m_Status = reader.ReadConverted(ParseStatusKind);
}

CSpellEffectStatus::CSpellEffectStatus(std::shared_ptr<CSpellDuration> duration, int status)
    : CSpellEffect(kSpellEffectStatus), m_Duration(std::move(duration)), m_Status(status)
{
}

CSpellEffectRemove::CSpellEffectRemove(VARDCommon::CTagFileReader& reader)
    : CSpellEffect(kSpellEffectRemove), m_Status(reader.ReadConverted(ParseStatusKind))
{
}

CSpellEffectRemove::CSpellEffectRemove(int status)
    : CSpellEffect(kSpellEffectRemove), m_Status(status)
{
}

// ----------------------------------------------------------------- dispel

namespace
{

// The stacking slot a save key names, or -1 for any other word.
int SaveSlotOf(const std::string& word)
{
    for (int save = 0; save < kSaveCount; ++save)
        if (word == GetSaveInfo(save).key)
            return save;
    return -1;
}

} // namespace

CSpellEffectDispel::CSpellEffectDispel(VARDCommon::CTagFileReader& reader)
    : CSpellEffect(kSpellEffectDispel)
{
    while (!reader.IsAtEndTag())
    {
        const std::string word = reader.ReadWord();
        if (word == "many")
            m_Many = true;
        else if (word == "hostile")
            m_Hostile = true;
        else if (const int save = SaveSlotOf(word); save >= 0)
            m_SlotFilter = save;
        // Other words are no error: they are skipped.
    }
}

CSpellEffectDispel::CSpellEffectDispel(bool many, bool hostile, int slotFilter)
    : CSpellEffect(kSpellEffectDispel), m_Many(many), m_Hostile(hostile), m_SlotFilter(slotFilter)
{
}

// ------------------------------------------------------------------- item

CSpellEffectItem::CSpellEffectItem(VARDCommon::CTagFileReader& reader, int level)
    : CSpellEffect(kSpellEffectItem)
{
    m_Duration = CSpellDuration::Read(reader, level);
    m_Item = reader.ReadString();
}

CSpellEffectItem::CSpellEffectItem(std::shared_ptr<CSpellDuration> duration, std::string item)
    : CSpellEffect(kSpellEffectItem), m_Duration(std::move(duration)), m_Item(std::move(item))
{
}

const CItemTemplate* CSpellEffectItem::FindItemTemplate(const CModule& module) const
{
    return module.FindItemTemplate(m_Item);
}

// ------------------------------------------------------------------ raise

CSpellEffectRaise::CSpellEffectRaise(VARDCommon::CTagFileReader& reader)
    : CSpellEffect(kSpellEffectRaise)
{
    while (!reader.IsAtEndTag())
    {
        const std::string where = reader.Where();
        const std::string word = reader.ReadWord();
        if (word != "heal")
            throw CVARDException(1, where + ": " + VARDCommon::QuoteForMessage(word) +
                                        " is no raise word (heal)");
        m_Heal = true;
    }
}

CSpellEffectRaise::CSpellEffectRaise(bool heal) : CSpellEffect(kSpellEffectRaise), m_Heal(heal) {}

} // namespace VARD
