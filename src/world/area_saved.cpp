// The <area> block of a saved game: what play changed in an area, laid over
// the area file when the game is loaded.

#include "world/area.h"

#include "common/exception.h"
#include "common/tag_file.h"
#include "world/actor.h"
#include "world/game.h"
#include "world/object.h"
#include "world/world_object.h"

#include <algorithm>

namespace VARD
{

namespace
{

// Tile numbers fit 24 bits: no grid needs more words than 2^24 cells do.
constexpr std::uint32_t kMaxTrackerWords = (1u << 24) / 4u + 1u;
// Each saved word takes a digit and a blank at least.
constexpr std::int64_t kLeastBytesPerWord = 2;

bool HasDoorRecord(const std::list<std::shared_ptr<CAreaOpenDoor>>& doors, std::uint32_t column,
                   std::uint32_t row)
{
    return std::any_of(doors.begin(), doors.end(),
                       [&](const auto& door)
                       { return door->column == column && door->row == row; });
}

} // namespace

void CArea::Write(VARDCommon::CTagFileWriter& writer) const
{
    writer.WriteStartTag("area");
    writer.WriteQuoted(m_Name);
    writer.WriteUnsigned(m_LastVisitTick);

    writer.WriteStartTag("patches");
    for (const auto& name : m_Applied)
        writer.WriteString(name);
    writer.WriteEndTag();

    writer.WriteStartTag("doors");
    for (const auto& door : m_OpenDoors)
    {
        writer.WriteUnsigned(door->column);
        writer.WriteUnsigned(door->row);
    }
    writer.WriteEndTag();

    writer.WriteStartTag("objects");
    for (const auto& object : m_Objects)
        object->Write(writer);
    writer.WriteEndTag();

    writer.WriteStartTag("actors");
    for (const auto& actor : m_Actors)
        actor->Write(writer);
    writer.WriteEndTag();

    WriteTileTracker(writer);
    writer.WriteEndTag();
}

void CArea::WriteTileTracker(VARDCommon::CTagFileWriter& writer) const
{
    const auto& words = m_TileTracker.GetWords();
    writer.WriteStartTag("tiletracker");
    writer.WriteUnsigned(static_cast<std::uint32_t>(words.size()));
    for (const std::uint32_t word : words)
        writer.WriteUnsigned(word);
    writer.WriteEndTag();
}

void CArea::Read(VARDCommon::CTagFileReader& reader, const std::string& currentAreaName,
                 const CModule& module, const ActorReadHook& onActor)
{
    CGame& game = RequireGame("read a saved area");
    reader.ReadStartTag("area");
    const std::string name = reader.ReadQuoted();
    const int mode = name == currentAreaName ? kAreaReadSavedCurrent : kAreaReadSavedOther;
    m_LastVisitTick = reader.ReadUnsigned();

    reader.ReadStartTag("patches");
    while (!reader.IsAtEndTag())
    {
        if (reader.IsAnyStartTag())
            reader.Fail(1, "expected a patch name or </patches>");
        m_Applied.push_back(reader.ReadString());
    }
    reader.ReadEndTag();

    ReadFile(std::string(), name, module, mode, false);

    ReadSavedDoors(reader);
    if (mode == kAreaReadSavedCurrent)
        ReopenDoors(false);

    reader.ReadStartTag("objects");
    while (reader.IsStartTag("object"))
    {
        const std::string where = reader.Where();
        auto object = std::make_shared<CObject>(this, game.NewThingId(kThingKindObject));
        object->ReadSaved(reader, module, game);
        RequireOnGrid(where, "object " + VARDCommon::QuoteForMessage(object->GetDefinitionName()),
                      object->GetX(), object->GetY());
        AddObject(std::move(object));
    }
    reader.ReadEndTag();

    reader.ReadStartTag("actors");
    while (reader.IsStartTag("actor"))
    {
        const std::string where = reader.Where();
        auto actor = std::make_shared<CActor>(reader, module, game);
        RequireOnGrid(where, "actor " + VARDCommon::QuoteForMessage(actor->GetName()),
                      actor->GetX(), actor->GetY());
        if (onActor)
            onActor(*actor, where);
        AddActor(std::move(actor));
    }
    reader.ReadEndTag();

    ReadTileTracker(reader);
    reader.ReadEndTag();
}

void CArea::ReadSavedDoors(VARDCommon::CTagFileReader& reader)
{
    // The saved list keeps its order. Doors that re-applied patches recorded
    // while the file was read are in it already; without this merge every
    // load would add them once more.
    auto recorded = std::move(m_OpenDoors);
    m_OpenDoors.clear();
    reader.ReadStartTag("doors");
    while (!reader.IsAtEndTag())
    {
        const std::uint32_t column = reader.ReadUnsigned();
        const std::uint32_t row = reader.ReadUnsigned();
        if (!HasDoorRecord(m_OpenDoors, column, row))
            AddOpenDoor(column, row);
    }
    reader.ReadEndTag();
    for (const auto& door : recorded)
        if (!HasDoorRecord(m_OpenDoors, door->column, door->row))
            m_OpenDoors.push_back(door);
}

void CArea::ReadTileTracker(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("tiletracker");
    const std::string where = reader.Where();
    const std::uint32_t count = reader.ReadUnsigned();
    const std::int64_t remaining = reader.GetRemainingSize();
    if (count > kMaxTrackerWords ||
        (remaining >= 0 && static_cast<std::int64_t>(count) > remaining / kLeastBytesPerWord + 1))
        throw CVARDException(1, where + ": a tile tracker of " + std::to_string(count) +
                                    " words is more than the file or any grid holds");
    // Taken as saved, but never shorter than the grid needs: every cell keeps
    // a bit of its own.
    const std::uint32_t need = CCellBitSet::WordCountFor(m_Width, m_Height);
    auto& words = m_TileTracker.Words();
    words.assign(std::max(count, need), 0u);
    for (std::uint32_t i = 0; i < count; ++i)
        words[i] = reader.ReadUnsigned();
    reader.ReadEndTag();
}

} // namespace VARD
