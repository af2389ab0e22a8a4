#include "world/world_object.h"
#include "world/geometry.h"

#include "common/exception.h"
#include "common/tag_file.h"
#include "world/area_object_index.h"
#include "world/game.h"
#include "world/keywords.h"
#include "world/module.h"
#include "world/object.h"
#include "world/rule_tables.h"
#include "world/trap.h"

#include <algorithm>
#include <cmath>

namespace VARD
{

namespace
{

double ReadSize(VARDCommon::CTagFileReader& reader, const char* what)
{
    const double value = reader.ReadDouble();
    if (!std::isfinite(value) || value < 0.0)
        reader.Fail(1, std::string("object ") + what + " " + std::to_string(value) +
                           " is not a size from 0 up");
    return value;
}

double ReadCoordinate(VARDCommon::CTagFileReader& reader, const char* what)
{
    const double value = reader.ReadDouble();
    if (!std::isfinite(value))
        reader.Fail(1, std::string("object ") + what + " is not a finite number");
    return value;
}

// The four direction words, or "0" for the none that a patch record may have
// given the object; anything else is a bad token.
int ReadFacing(VARDCommon::CTagFileReader& reader)
{
    const std::string word = reader.GetCurrentWord();
    if (word == "0")
    {
        reader.ReadWord();
        return kDirectionNone;
    }
    const int facing = ParseDirection(word);
    if (facing == kDirectionNone)
        reader.Fail(1, VARDCommon::QuoteForMessage(word) +
                           " is no facing (north, east, south or west)");
    reader.ReadWord();
    return facing;
}

} // namespace

CObject::CObject(CArea* area, std::uint32_t id, const std::string& instanceName,
                 const CObjectTemplate& definition)
    : m_Id(id), m_Area(area)
{
    SetDefinitionName(definition.GetName());
    m_InstanceName = instanceName;
    m_TalkName = definition.GetText();
    m_TileKind = definition.GetTileKind();
    m_GraphicName = definition.GetGraphicName();
    m_Flag = definition.GetFlag();
    m_SizeX = definition.GetSizeX();
    m_SizeY = definition.GetSizeY();
    m_SizeZ = definition.GetSizeZ();
    m_TalkFiles = definition.GetTalkStates();
    if (definition.GetTrap())
        m_Trap = definition.GetTrap()->Copy();
    if (definition.HasSound())
    {
        m_SoundName = definition.GetSoundName();
        m_SoundRadius = definition.GetSoundRadius();
    }
}

CObject::CObject(CArea* area, std::uint32_t id) : m_Id(id), m_Area(area) {}

CObject::~CObject()
{
    if (m_BlockIndex != nullptr)
        m_BlockIndex->Forget(*this);
}

void CObject::SetDefinitionName(const std::string& name)
{
    m_DefinitionName = name;
    m_PileFlag = CObjectTemplate::IsPileName(name) ? 1 : 0;
    m_ExitFlag = CObjectTemplate::IsExitName(name) ? 1 : 0;
}

// ------------------------------------------------------------------ record

void CObject::Write(VARDCommon::CTagFileWriter& writer) const
{
    writer.WriteStartTag("object");
    writer.WriteString(m_DefinitionName);
    if (IsExit())
        writer.WriteQuoted(m_ExitText);
    writer.WriteString(m_InstanceName);
    writer.WriteQuoted(m_TalkName);
    WriteTileKindKey(writer, m_TileKind);
    writer.WriteString(m_GraphicName);
    writer.WriteBool(m_Flag);
    writer.WriteDouble(m_SizeX);
    writer.WriteDouble(m_SizeY);
    writer.WriteDouble(m_SizeZ);
    writer.WriteDouble(m_X);
    writer.WriteDouble(m_Y);
    WriteDirectionKey(writer, m_Facing);
    writer.WriteUnsigned(m_LockValue);
    if (!m_Items.empty())
    {
        writer.WriteStartTag("items");
        for (const auto& item : m_Items)
            WriteItem(writer, *item);
        writer.WriteEndTag();
    }
    if (m_Trap)
        m_Trap->Write(writer);
    writer.WriteEndTag();
}

void CObject::ReadSaved(VARDCommon::CTagFileReader& reader, const CModule& module, CGame& game)
{
    // Kind, size and place change together, also when the record breaks off.
    struct TellOnLeaving
    {
        CObject& object;
        ~TellOnLeaving()
        {
            if (object.m_BlockIndex != nullptr)
                object.TellBlockIndex();
        }
    } tell{*this};
    reader.ReadStartTag("object");
    const std::string where = reader.Where();
    SetDefinitionName(reader.ReadString());
    const CObjectTemplate* definition = module.FindObjectTemplate(m_DefinitionName);
    if (definition == nullptr)
        throw CVARDException(1, where + ": no object definition " +
                                    VARDCommon::QuoteForMessage(m_DefinitionName));
    m_ExitText.clear();
    if (IsExit())
        m_ExitText = reader.ReadQuoted();
    m_InstanceName = reader.ReadString();
    m_TalkName = reader.ReadQuoted();
    m_TileKind = reader.ReadConverted(FindTileKindByKey);
    m_GraphicName = reader.ReadString();
    m_Flag = reader.ReadBool();
    m_SizeX = ReadSize(reader, "size x");
    m_SizeY = ReadSize(reader, "size y");
    m_SizeZ = ReadSize(reader, "size z");
    m_X = ReadCoordinate(reader, "position x");
    m_Y = ReadCoordinate(reader, "position y");
    m_Facing = ReadFacing(reader);
    m_LockValue = reader.ReadUnsigned();
    m_Items.clear();
    if (reader.IsStartTag("items"))
        ReadItems(reader, module, game);
    // The script is not saved: the definition's trap lends it.
    m_Trap = nullptr;
    if (reader.IsStartTag("trap"))
    {
        m_Trap = std::make_shared<CTrap>();
        m_Trap->ReadSaved(reader, definition->GetTrap().get());
    }
    reader.ReadEndTag();

    m_TalkFiles = definition->GetTalkStates();
    m_SoundName = definition->GetSoundName();
    m_SoundRadius = definition->GetSoundRadius();
}

// Each entry "(" template count expiry ")", made anew with an item id.
void CObject::ReadItems(VARDCommon::CTagFileReader& reader, const CModule& module, CGame& game)
{
    reader.ReadStartTag("items");
    while (!reader.IsAtEndTag())
    {
        if (!reader.ReadTupleStart(3, false))
            reader.Fail(1, "expected an item (template count expiry), found " +
                               VARDCommon::QuoteForMessage(reader.GetCurrentWord()));
        const std::string where = reader.Where();
        const std::string name = reader.ReadWord();
        const std::uint32_t count = reader.ReadUnsigned();
        const std::uint32_t expiry = reader.ReadUnsigned();
        if (module.FindItemTemplate(name) == nullptr)
            throw CVARDException(1,
                                 where + ": no item template " + VARDCommon::QuoteForMessage(name));
        m_Items.push_back(module.CreateItem(name, count, game.NewThingId(kThingKindItem), expiry));
    }
    reader.ReadEndTag();
}

// ------------------------------------------------------------------ talk

void CObject::QueueTalk(std::shared_ptr<CTalkChoice> choice)
{
    m_TalkQueue.push_back(std::move(choice));
}

std::string CObject::GetFirstTalkFile() const
{
    return m_TalkFiles.empty() ? std::string() : m_TalkFiles.front()->GetName();
}

// ------------------------------------------------------------------ footprint

double CObject::GetSizeX() const
{
    return m_Facing == 1 || m_Facing == 3 ? m_SizeY : m_SizeX;
}

double CObject::GetSizeY() const
{
    return m_Facing == 1 || m_Facing == 3 ? m_SizeX : m_SizeY;
}

void CObject::SetFacing(int facing)
{
    if (facing < 0 || facing > kDirectionNone)
        throw CVARDException(2, "object facing " + std::to_string(facing) + " is no direction");
    m_Facing = facing;
    if (m_BlockIndex != nullptr)
        TellBlockIndex();
}

CObject::CFootprint CObject::GetFootprint() const
{
    const double halfX = GetSizeX() / 2.0;
    const double halfY = GetSizeY() / 2.0;
    return {m_X - halfX, m_Y - halfY, m_X + halfX, m_Y + halfY};
}

double CObject::DistanceToFootprint(double x, double y) const
{
    const CFootprint box = GetFootprint();
    // Edges count as inside.
    return DistanceToRectangle(x, y, box.left, box.top, box.right, box.bottom);
}

// ------------------------------------------------------------------ items

void CObject::AddItem(std::shared_ptr<CItem> item)
{
    if (!item)
        throw CVARDException(2, "no item to put into object " +
                                    VARDCommon::QuoteForMessage(m_TalkName));
    m_Items.push_back(std::move(item));
}

std::shared_ptr<CItem> CObject::RemoveItem(const CItem* item)
{
    const auto found = std::find_if(m_Items.begin(), m_Items.end(),
                                    [item](const auto& held) { return held.get() == item; });
    if (item == nullptr || found == m_Items.end())
        throw CVARDException(2, "object " + VARDCommon::QuoteForMessage(m_TalkName) +
                                    " does not hold that item");
    std::shared_ptr<CItem> removed = *found;
    m_Items.erase(found);
    return removed;
}

void CObject::SetGraphic(std::shared_ptr<VARDGraph::CGraphic> graphic)
{
    m_Graphic = std::move(graphic);
}

} // namespace VARD
