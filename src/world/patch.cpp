#include "world/patch.h"

#include "common/tag_file.h"
#include "world/effect_params.h"
#include "world/rule_tables.h"

namespace VARD
{

namespace
{

// Lists that run to their end tag: any other tag, or the end of the input,
// means the list was never closed.
void RequireListItem(VARDCommon::CTagFileReader& reader, const char* what)
{
    if (reader.IsAtEnd() || reader.IsAnyStartTag())
        reader.Fail(1, std::string("expected ") + what);
}

std::uint32_t ReadDirectionWord(VARDCommon::CTagFileReader& reader)
{
    return static_cast<std::uint32_t>(reader.ReadConverted(ParseDirection));
}

} // namespace

CPatchActionRemoveObject::CPatchActionRemoveObject(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("removeobject");
    m_ObjectName = reader.ReadString();
    reader.ReadEndTag();
}

CPatchActionObject::CPatchActionObject(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("object");
    if (reader.ReadTupleStart(2, false))
    {
        m_DefinitionName = reader.ReadString();
        m_ObjectName = reader.ReadString();
    }
    else
    {
        m_DefinitionName = reader.ReadString();
    }
    reader.ReadTupleStart(2, false);
    m_X = reader.ReadDouble();
    m_Y = reader.ReadDouble();
    m_Facing = ReadDirectionWord(reader);
    m_LockValue = reader.ReadUnsigned();
    if (reader.IsStartTag("items"))
    {
        reader.ReadStartTag("items");
        while (!reader.IsAtEndTag())
        {
            if (!reader.ReadTupleStart(2, false))
                reader.Fail(1, "expected a pair of item template and number");
            std::string itemName = reader.ReadString();
            const std::uint32_t number = reader.ReadUnsigned();
            m_Items.emplace_back(std::move(itemName), number);
        }
        reader.ReadEndTag();
    }
    reader.ReadEndTag();
}

CPatchActionEncounter::CPatchActionEncounter(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("encounter");
    m_EncounterName = reader.ReadString();
    reader.ReadTupleStart(2, false);
    m_Column = reader.ReadUnsigned();
    m_Row = reader.ReadUnsigned();
    m_Text = reader.ReadQuoted();
    m_TagName = reader.ReadString();
    m_Respawn = reader.ReadBool();
    while (!reader.IsAtEndTag())
    {
        RequireListItem(reader, "a monster entry or </encounter>");
        if (reader.ReadTupleStart(2, false))
        {
            std::string templateName = reader.ReadString();
            std::string secondText = reader.ReadString();
            m_Monsters.emplace_back(std::move(templateName), std::move(secondText));
        }
        else
        {
            m_Monsters.emplace_back(reader.ReadString(), std::string());
        }
    }
    reader.ReadEndTag();
}

CPatchActionTiles::CPatchActionTiles(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("tiles");
    while (!reader.IsAtEndTag())
    {
        RequireListItem(reader, "a patch tile or </tiles>");
        auto tile = std::make_shared<CPatchTile>();
        reader.ReadTupleStart(2, false);
        tile->column = reader.ReadUnsigned();
        tile->row = reader.ReadUnsigned();
        reader.ReadTupleStart(2, false);
        tile->tileName = reader.ReadString();
        tile->orientation = ReadDirectionWord(reader);
        m_Tiles.push_back(std::move(tile));
    }
    reader.ReadEndTag();
}

CPatchActionEffect::CPatchActionEffect(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("effect");
    reader.ReadTupleStart(2, false);
    m_X = reader.ReadDouble();
    m_Y = reader.ReadDouble();
    m_EffectName = reader.ReadString();
    m_Params = std::make_shared<VARDGraph::CEffectParams>(reader);
    reader.ReadEndTag();
}

CPatchActionOpenDoor::CPatchActionOpenDoor(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("opendoor");
    while (!reader.IsAtEndTag())
    {
        RequireListItem(reader, "a door word or </opendoor>");
        m_DoorWords.push_back(reader.ReadString());
    }
    reader.ReadEndTag();
}

std::shared_ptr<CPatchAction> ReadPatchAction(VARDCommon::CTagFileReader& reader)
{
    if (reader.IsStartTag("removeobject"))
        return std::make_shared<CPatchActionRemoveObject>(reader);
    if (reader.IsStartTag("object"))
        return std::make_shared<CPatchActionObject>(reader);
    if (reader.IsStartTag("encounter"))
        return std::make_shared<CPatchActionEncounter>(reader);
    if (reader.IsStartTag("tiles"))
        return std::make_shared<CPatchActionTiles>(reader);
    if (reader.IsStartTag("effect"))
        return std::make_shared<CPatchActionEffect>(reader);
    if (reader.IsStartTag("opendoor"))
        return std::make_shared<CPatchActionOpenDoor>(reader);
    reader.Fail(1, "expected a patch action");
}

CPatch::CPatch(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("patch");
    m_Name = reader.ReadString();
    m_Tag = reader.ReadString();
    while (!reader.IsAtEndTag())
        m_Actions.push_back(ReadPatchAction(reader));
    reader.ReadEndTag();
}

} // namespace VARD
