#include "world/actor.h"
#include "world/area_cell_index.h"

#include "common/exception.h"
#include "common/tag_file.h"
#include "world/actor_template.h"
#include "world/brain.h"
#include "world/effect_params.h"
#include "world/faction.h"
#include "world/game.h"
#include "world/keywords.h"
#include "world/module.h"
#include "world/spell.h"

#include <cmath>

namespace VARD
{

namespace
{

// An equipment or backpack entry: "(" template count second ")". The item
// gets a new thing id of the item kind.
std::shared_ptr<CItem> ReadItemEntry(VARDCommon::CTagFileReader& reader, const CModule& module,
                                     CGame& game)
{
    if (!reader.ReadTupleStart(3, false))
        reader.Fail(1, "expected an item (template count value), found " +
                           VARDCommon::QuoteForMessage(reader.GetCurrentWord()));
    const std::string where = reader.Where();
    const std::string name = reader.ReadWord();
    const std::uint32_t count = reader.ReadUnsigned();
    const std::uint32_t second = reader.ReadUnsigned();
    if (module.FindItemTemplate(name) == nullptr)
        throw CVARDException(1, where + ": no item template " + VARDCommon::QuoteForMessage(name));
    return module.CreateItem(name, count, game.NewThingId(kThingKindItem), second);
}

// A place or a size that is not a number would put the actor nowhere: every
// distance to it fails and it is never drawn.
double ReadFinite(VARDCommon::CTagFileReader& reader, const char* what, bool fromZero = false)
{
    const std::string where = reader.Where();
    const double value = reader.ReadDouble();
    if (!std::isfinite(value))
        throw CVARDException(1, where + ": actor " + what + " is not a finite number");
    if (fromZero && value < 0.0)
        throw CVARDException(1, where + ": actor " + what + " is below 0");
    return value;
}

} // namespace

CActor::CActor(std::uint32_t id) : m_Id(id) {}

CActor::CActor(VARDCommon::CTagFileReader& reader, const CModule& module, CGame& game)
{
    ReadRecord(reader, module, game);
}

CActor::~CActor()
{
    UnlinkTargets();
    if (m_CellIndex != nullptr)
        m_CellIndex->Forget(*this);
}

// ------------------------------------------------------------------ reading

void CActor::ReadRecord(VARDCommon::CTagFileReader& reader, const CModule& module, CGame& game)
{
    ForgetModifierTotals();
    m_NextExpiry = 0;
    reader.ReadStartTag("actor");
    {
        const std::string where = reader.Where();
        const std::uint32_t number = reader.ReadUnsigned();
        if (number > 0xFFFFFFu)
            throw CVARDException(2, where + ": actor number " + std::to_string(number) +
                                        " does not fit in 24 bits");
        m_Id = MakeThingId(kThingKindActor, number);
    }

    m_X = ReadFinite(reader, "position x");
    m_Y = ReadFinite(reader, "position y");
    m_Facing = ReadFinite(reader, "facing");
    m_Radius = ReadFinite(reader, "radius", true);
    m_SecondSize = ReadFinite(reader, "second size");
    m_GraphicName = reader.ReadWord();
    if (reader.IsStartTag("color"))
        m_Colors = std::make_shared<VARDGraph::CGraphicColors>(reader);
    m_Name = reader.ReadQuoted();
    m_SecondText = reader.ReadQuoted();
    reader.ReadColor(m_FigureColor);
    m_FigureString = reader.ReadString();
    m_TemplateName = reader.ReadWord();
    m_FurtherWords[0] = reader.ReadString();
    m_FurtherWords[1] = reader.ReadString();

    m_Attitude = static_cast<std::uint32_t>(reader.ReadConverted(ParseAttitude));
    m_PartyIndex = reader.ReadUnsigned();
    m_Class = static_cast<std::uint32_t>(reader.ReadConverted(FindClassByKey));
    m_Gender = static_cast<std::uint32_t>(ReadSex(reader));
    m_CreatureKind = static_cast<std::uint32_t>(reader.ReadConverted(FindRaceByKey));
    m_LevelBonus = reader.ReadInt();
    m_Level = reader.ReadUnsigned();
    m_Experience = reader.ReadUnsigned();
    m_ClassSkillPoints = reader.ReadUnsigned();
    m_GeneralSkillPoints = reader.ReadUnsigned();
    m_AttributePoints = reader.ReadUnsigned();

    if (reader.GetCurrentWord() == "0")
    {
        reader.ReadWord();
    }
    else
    {
        if (!reader.ReadTupleStart(2, false))
            reader.Fail(1, "expected a faction (name rank) or 0, found " +
                               VARDCommon::QuoteForMessage(reader.GetCurrentWord()));
        const std::string faction = reader.ReadWord();
        m_FactionRank = reader.ReadUnsigned();
        // A faction the module no longer has leaves the actor without one.
        m_Faction = module.FindFaction(faction);
    }

    for (auto& attribute : m_Attributes)
        attribute = reader.ReadUnsigned();
    m_SpellResistanceBase = reader.ReadUnsigned();
    m_DefenseBase = reader.ReadInt();
    m_ActionSpeedBase = reader.ReadInt();
    m_MovementSpeedBase = reader.ReadInt();
    for (auto& save : m_SaveBases)
        save = reader.ReadInt();

    while (reader.IsStartTag("attack"))
        m_Attacks.push_back(std::make_shared<CActorMonsterAttack>(reader));
    ReadSkillList(reader, m_Skills);

    m_DamageTaken = reader.ReadInt();
    m_HitPointBase = reader.ReadUnsigned();
    m_LastDamage = reader.ReadInt();
    m_LastDamageSource = reader.ReadUnsigned();
    m_FurtherCounter = reader.ReadInt();
    m_EnergySpent = reader.ReadInt();

    {
        const std::string where = reader.Where();
        m_ActivityState = reader.ReadUnsigned();
        if (m_ActivityState > kActivityEngagedReady)
            throw CVARDException(2,
                                 where + ": no activity state " + std::to_string(m_ActivityState));
    }
    m_AlarmTick = reader.ReadUnsigned();
    m_NextActionTick = reader.ReadUnsigned();
    m_Unsummoned = reader.ReadUnsigned();
    m_EngagementTick = reader.ReadUnsigned();
    m_EngagementTargetId = reader.ReadUnsigned();

    ReadModifierList(reader, m_Modifiers);
    ForgetModifierTotals();
    if (reader.IsStartTag("power"))
    {
        reader.ReadStartTag("power");
        const std::string name = reader.ReadWord();
        const std::uint32_t endTick = reader.ReadUnsigned();
        reader.ReadEndTag();
        // A power the module no longer has is simply not running.
        m_Power = module.FindSpell(name);
        if (m_Power != nullptr)
        {
            m_PowerEndTick = endTick;
            RelinkPowerModifier();
        }
    }
    // Only summoned creatures have it; records without it are of actors that
    // were not summoned.
    if (reader.IsStartTag("summon"))
    {
        reader.ReadStartTag("summon");
        m_SummonExpiryTick = reader.ReadUnsigned();
        reader.ReadEndTag();
    }
    ReadStatusList(reader, m_Statuses);

    ReadEquipment(reader, module, game);
    ReadSpellList(reader, module.GetSpells(), m_Spells);
    ReadBuyList(reader, m_BuyTable);
    ReadBrain(reader, module);
    reader.ReadEndTag();
}

void CActor::ReadEquipment(VARDCommon::CTagFileReader& reader, const CModule& module, CGame& game)
{
    for (auto& slot : m_Equipment)
    {
        if (reader.GetCurrentWord() == "0")
            reader.ReadWord();
        else
            slot = ReadItemEntry(reader, module, game);
        ForgetModifierTotals();
    }
    reader.ReadStartTag("backpack");
    while (!reader.IsAtEndTag())
        m_Backpack.push_back(ReadItemEntry(reader, module, game));
    reader.ReadEndTag();
}

void CActor::ReadBrain(VARDCommon::CTagFileReader& reader, const CModule& module)
{
    if (IsMainCharacter())
    {
        m_TalkFiles.clear();
        return;
    }
    const CActorTemplate* actorTemplate = module.FindActorTemplate(m_TemplateName);
    if (actorTemplate == nullptr)
        reader.Fail(1, "no actor template " + VARDCommon::QuoteForMessage(m_TemplateName));
    m_TalkFiles = actorTemplate->GetTalkStates();
    m_Brain = actorTemplate->CloneBrain();
    // A template without a brain writes no state; one with a brain always does.
    if (m_Brain)
        m_Brain->ReadState(reader);
    else if (reader.IsStartTag("brain"))
        reader.Fail(1, "actor template " + VARDCommon::QuoteForMessage(m_TemplateName) +
                           " has no brain to restore");
}

// The link between a running power and its modifier is not saved; the
// modifier it made carries the power's name and ends with it.
void CActor::RelinkPowerModifier()
{
    m_PowerModifier.reset();
    for (auto it = m_Modifiers.rbegin(); it != m_Modifiers.rend(); ++it)
    {
        const CModifier& modifier = **it;
        if (modifier.GetName() == m_Power->GetDisplayName() &&
            modifier.GetExpiryTick() == m_PowerEndTick && modifier.IsSilent())
        {
            m_PowerModifier = *it;
            return;
        }
    }
}

// ------------------------------------------------------------------ writing

void CActor::Write(VARDCommon::CTagFileWriter& writer) const
{
    writer.WriteStartTag("actor");
    writer.WriteUnsigned(ThingNumberOf(m_Id));
    writer.WriteDouble(m_X);
    writer.WriteDouble(m_Y);
    writer.WriteDouble(m_Facing);
    writer.WriteDouble(m_Radius);
    writer.WriteDouble(m_SecondSize);
    writer.WriteString(m_GraphicName);
    if (m_Colors)
        m_Colors->Write(writer);
    writer.WriteQuoted(m_Name);
    writer.WriteQuoted(m_SecondText);
    writer.WriteColor(m_FigureColor);
    writer.WriteString(m_FigureString);
    writer.WriteString(m_TemplateName);
    writer.WriteString(m_FurtherWords[0]);
    writer.WriteString(m_FurtherWords[1]);

    writer.WriteString(GetAttitudeKey(static_cast<int>(m_Attitude)));
    writer.WriteUnsigned(m_PartyIndex);
    WriteClassKey(writer, static_cast<int>(m_Class));
    WriteSex(writer, static_cast<int>(m_Gender));
    WriteRaceKey(writer, static_cast<int>(m_CreatureKind));
    writer.WriteInt(m_LevelBonus);
    writer.WriteUnsigned(m_Level);
    writer.WriteUnsigned(m_Experience);
    writer.WriteUnsigned(m_ClassSkillPoints);
    writer.WriteUnsigned(m_GeneralSkillPoints);
    writer.WriteUnsigned(m_AttributePoints);
    if (m_Faction != nullptr)
    {
        writer.WriteTupleStart(2);
        writer.WriteString(m_Faction->GetName());
        writer.WriteUnsigned(m_FactionRank);
    }
    else
    {
        writer.WriteString("0");
    }

    for (const auto attribute : m_Attributes)
        writer.WriteUnsigned(attribute);
    writer.WriteUnsigned(m_SpellResistanceBase);
    writer.WriteInt(m_DefenseBase);
    writer.WriteInt(m_ActionSpeedBase);
    writer.WriteInt(m_MovementSpeedBase);
    for (const auto save : m_SaveBases)
        writer.WriteInt(save);

    for (const auto& attack : m_Attacks)
        attack->Write(writer);
    WriteSkillList(m_Skills, writer);

    writer.WriteInt(m_DamageTaken);
    writer.WriteUnsigned(m_HitPointBase);
    writer.WriteInt(m_LastDamage);
    writer.WriteUnsigned(m_LastDamageSource);
    writer.WriteInt(m_FurtherCounter);
    writer.WriteInt(m_EnergySpent);
    writer.WriteUnsigned(m_ActivityState);
    writer.WriteUnsigned(m_AlarmTick);
    writer.WriteUnsigned(m_NextActionTick);
    writer.WriteUnsigned(m_Unsummoned);
    writer.WriteUnsigned(m_EngagementTick);
    writer.WriteUnsigned(m_EngagementTargetId);

    WriteModifierList(writer, m_Modifiers);
    if (m_Power != nullptr)
    {
        writer.WriteStartTag("power");
        writer.WriteString(m_Power->GetKey());
        writer.WriteUnsigned(m_PowerEndTick);
        writer.WriteEndTag();
    }
    if (m_SummonExpiryTick != 0)
    {
        writer.WriteStartTag("summon");
        writer.WriteUnsigned(m_SummonExpiryTick);
        writer.WriteEndTag();
    }
    WriteStatusList(writer, m_Statuses);

    for (const auto& item : m_Equipment)
    {
        if (item)
            WriteItem(writer, *item);
        else
            writer.WriteString("0");
    }
    writer.WriteStartTag("backpack");
    for (const auto& item : m_Backpack)
        WriteItem(writer, *item);
    writer.WriteEndTag();
    WriteSpellList(m_Spells, writer);
    WriteBuyList(m_BuyTable, writer);
    if (!IsMainCharacter() && m_Brain)
        m_Brain->WriteState(writer);
    writer.WriteEndTag();
}

// ------------------------------------------------------------------ talk

void CActor::QueueTalk(std::shared_ptr<CTalkChoice> choice)
{
    m_TalkQueue.push_back(std::move(choice));
}

std::string CActor::GetFirstTalkFile() const
{
    return m_TalkFiles.empty() ? std::string() : m_TalkFiles.front()->GetName();
}

// ------------------------------------------------------------------ fields

std::uint32_t CActor::GetBaseAttribute(std::uint32_t attribute) const
{
    if (attribute >= m_Attributes.size())
        throw CVARDException(2, "no attribute " + std::to_string(attribute));
    return m_Attributes[attribute];
}

void CActor::SetBaseAttribute(std::uint32_t attribute, std::uint32_t value)
{
    if (attribute >= m_Attributes.size())
        throw CVARDException(2, "no attribute " + std::to_string(attribute));
    m_Attributes[attribute] = value;
}

std::int32_t CActor::GetSaveBase(std::uint32_t save) const
{
    if (save >= m_SaveBases.size())
        throw CVARDException(2, "no save " + std::to_string(save));
    return m_SaveBases[save];
}

void CActor::SetSaveBase(std::uint32_t save, std::int32_t value)
{
    if (save >= m_SaveBases.size())
        throw CVARDException(2, "no save " + std::to_string(save));
    m_SaveBases[save] = value;
}

} // namespace VARD
