#include "world/actor_template.h"

#include "common/exception.h"
#include "common/tag_file.h"
#include "world/brain.h"
#include "world/effect_params.h"
#include "world/item_template.h"
#include "world/keywords.h"
#include "world/module.h"
#include "world/script_record.h"
#include "world/spell.h"

#include <utility>

namespace VARD
{

// ------------------------------------------------------------ attacks

CActorMonsterAttack::CActorMonsterAttack(VARDCommon::CTagFileReader& reader)
    : m_Info(std::make_shared<CAttackInfo>())
{
    reader.ReadStartTag("attack");
    m_Info->name = reader.ReadQuoted();
    m_Info->attackBonus = reader.ReadInt();
    // The die and base may stand bare or as a pair.
    reader.ReadTupleStart(2, false);
    m_Info->dieSize = reader.ReadInt();
    m_Info->base = reader.ReadInt();
    if (!reader.IsAtEndTag())
        m_SpellName = reader.ReadString();
    reader.ReadEndTag();
}

CActorMonsterAttack::CActorMonsterAttack(CAttackInfo info, std::string spellName)
    : m_Info(std::make_shared<CAttackInfo>(std::move(info))), m_SpellName(std::move(spellName))
{
}

void CActorMonsterAttack::Write(VARDCommon::CTagFileWriter& writer) const
{
    writer.WriteStartTag("attack");
    writer.WriteQuoted(m_Info->name);
    writer.WriteInt(m_Info->attackBonus);
    writer.WriteTupleStart(2);
    writer.WriteInt(m_Info->dieSize);
    writer.WriteInt(m_Info->base);
    if (!m_SpellName.empty())
        writer.WriteString(m_SpellName);
    writer.WriteEndTag();
}

// ----------------------------------------------------------- template

CActorTemplate::CActorTemplate(VARDCommon::CTagFileReader& reader, const CModule& module)
{
    // 1. Names and looks.
    reader.ReadStartTag("monster");
    m_Name = reader.ReadWord();
    m_DisplayName = reader.ReadQuoted();
    m_SecondText = reader.ReadQuoted();
    reader.ReadColor(m_FigureColor);
    m_FigureString = reader.ReadString();
    m_GraphicName = reader.ReadWord();
    // 2. Colours.
    if (reader.IsStartTag("color"))
        m_Colors = std::make_shared<VARDGraph::CGraphicColors>(reader);
    // 3-5. Body and class.
    m_Gender = static_cast<std::uint32_t>(ReadSex(reader));
    m_Race = static_cast<std::uint32_t>(reader.ReadConverted(FindRaceByKey));
    m_Radius = reader.ReadDouble();
    m_SecondSize = reader.ReadDouble();
    m_LevelBonus = reader.ReadInt();
    m_Class = static_cast<std::uint32_t>(reader.ReadConverted(FindClassByKey));
    m_Level = reader.ReadUnsigned();
    // 6. Faction.
    ReadFaction(reader, module);
    // 7. Hit points and attributes.
    m_HitPoints = reader.ReadUnsigned();
    for (std::uint32_t& attribute : m_Attributes)
        attribute = reader.ReadUnsigned();
    // 8-11. The optional blocks, each at most once and in this order; one
    // out of order is left for the flag words, which refuse it.
    if (reader.IsStartTag("monsterstats"))
        ReadMonsterStats(reader);
    while (reader.IsStartTag("attack"))
        m_Attacks.push_back(std::make_shared<CActorMonsterAttack>(reader));
    if (reader.IsStartTag("spellresistance"))
        ReadSpellResistance(reader);
    ReadSkillList(reader, m_Skills);
    if (reader.IsStartTag("spells"))
        ReadSpellList(reader, module, m_Spells);
    if (reader.IsStartTag("items"))
        ReadItems(reader, module);
    if (reader.IsStartTag("buy"))
        ReadBuyList(reader, m_BuyTable);
    if (reader.IsStartTag("talk"))
        ReadTalkStates(reader, m_TalkStates);
    if (reader.IsStartTag("heartbeat"))
        ReadHeartbeat(reader);
    if (reader.IsStartTag("brain"))
        m_Brain = CBrain::Read(reader);
    // 12. Flags up to the end.
    ReadFlags(reader);
    reader.ReadEndTag();
}

CActorTemplate::~CActorTemplate() = default;

std::shared_ptr<CBrain> CActorTemplate::CloneBrain() const
{
    return m_Brain ? m_Brain->Clone() : nullptr;
}

void CActorTemplate::ReadFaction(VARDCommon::CTagFileReader& reader, const CModule& module)
{
    if (!reader.IsAtEnd() && reader.GetCurrentWord() == "0")
    {
        reader.NextToken();
        return;
    }
    if (!reader.ReadTupleStart(2, false))
        reader.Fail(1, "monster " + VARDCommon::QuoteForMessage(m_Name) +
                           ": expected a faction pair ( name rank ) or 0");
    const std::string factionName = reader.ReadWord();
    m_FactionRank = reader.ReadUnsigned();
    // A faction the module lacks leaves the creature without one.
    m_Faction = module.FindFaction(factionName);
}

void CActorTemplate::ReadMonsterStats(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("monsterstats");
    m_Defense = reader.ReadInt();
    m_Escape = reader.ReadInt();
    m_Fortitude = reader.ReadInt();
    m_Resolve = reader.ReadInt();
    if (!reader.IsAtEndTag())
    {
        if (reader.GetCurrentWord() == "0")
        {
            reader.NextToken();
        }
        else
        {
            reader.ReadTupleStart(2, false);
            m_ActionSpeed = reader.ReadInt();
            m_MovementSpeed = reader.ReadInt();
        }
    }
    reader.ReadEndTag();
}

void CActorTemplate::ReadSpellResistance(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("spellresistance");
    m_SpellResistance = reader.ReadUnsigned();
    reader.ReadEndTag();
}

void CActorTemplate::ReadItems(VARDCommon::CTagFileReader& reader, const CModule& module)
{
    reader.ReadStartTag("items");
    while (!reader.IsAtEndTag())
    {
        if (reader.IsStartTag("auto"))
        {
            ReadAutoItems(reader, module);
            continue;
        }
        if (!reader.ReadTupleStart(2, false))
            reader.Fail(1, "monster " + VARDCommon::QuoteForMessage(m_Name) +
                               ": expected an item pair ( name number ) or "
                               "<auto> in <items>, found " +
                               VARDCommon::QuoteForMessage(reader.GetCurrentWord()));
        CActorTemplateItem entry;
        entry.itemName = reader.ReadWord();
        entry.number = reader.ReadUnsigned();
        m_Items.push_back(std::move(entry));
    }
    reader.ReadEndTag();
}

void CActorTemplate::ReadAutoItems(VARDCommon::CTagFileReader& reader, const CModule& module)
{
    reader.ReadStartTag("auto");
    const std::uint32_t number = reader.ReadUnsigned();
    reader.ReadTupleStart(2, false);
    const std::uint32_t lowest = reader.ReadUnsigned();
    const std::uint32_t highest = reader.ReadUnsigned();
    while (!reader.IsAtEndTag())
    {
        const std::uint32_t itemType = static_cast<std::uint32_t>(ReadItemType(reader));
        // In name order, as the module's map keeps its templates.
        for (const CModule::CStockItem& item : module.GetPublicItemsOfType(itemType))
            if (item.value >= lowest && item.value <= highest)
                m_Items.push_back(CActorTemplateItem{*item.name, number});
    }
    reader.ReadEndTag();
}

void CActorTemplate::ReadHeartbeat(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("heartbeat");
    m_Heartbeat = CScript::Create(reader);
    reader.ReadEndTag();
}

void CActorTemplate::ReadFlags(VARDCommon::CTagFileReader& reader)
{
    while (!reader.IsAtEndTag())
    {
        if (reader.IsAtEnd())
            reader.Fail(1, "monster " + VARDCommon::QuoteForMessage(m_Name) + " is not closed");
        const std::string& word = reader.GetCurrentWord();
        if (word == "autospell")
            m_Flags |= kFlagAutospell;
        else if (word == "sneak")
            m_Flags |= kFlagSneak;
        else if (reader.IsAnyStartTag())
            reader.Fail(1, "monster " + VARDCommon::QuoteForMessage(m_Name) + ": block " + word +
                               " is unknown or out of order (the optional blocks come as "
                               "monsterstats, attack, spellresistance, skills, spells, items, "
                               "buy, talk, heartbeat, brain)");
        else
            reader.Fail(1, "monster " + VARDCommon::QuoteForMessage(m_Name) + ": " +
                               VARDCommon::QuoteForMessage(word) + " is no monster flag");
        reader.NextToken();
    }
}

// --------------------------------------------------------------- file

void ReadMonstersFile(VARDCommon::CTagFileReader& reader, CModule& module)
{
    reader.ReadStartTag("monsters");
    while (reader.IsStartTag("monster"))
    {
        auto actorTemplate = std::make_shared<CActorTemplate>(reader, module);
        const std::string name = actorTemplate->GetName();
        module.ActorTemplates()[name] = std::move(actorTemplate);
    }
    reader.ReadEndTag();
}

} // namespace VARD
