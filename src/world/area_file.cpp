// Reading an area file "<name>.vard" in its four modes.

#include "world/area.h"

#include "common/data_file.h"
#include "common/exception.h"
#include "common/tag_file.h"
#include "world/game.h"
#include "world/module.h"
#include "world/object.h"
#include "world/patch.h"
#include "world/tile.h"
#include "world/world_object.h"

namespace VARD
{

namespace
{

// Skipping a section still asks for its start tag: a section out of its place
// is a broken file, whatever the mode.
void SkipSection(VARDCommon::CTagFileReader& reader, const std::string& tag)
{
    reader.ReadStartTag(tag);
    reader.SkipToEndTag(tag);
}

bool IsRead(int mode, std::initializer_list<int> modes)
{
    for (int read : modes)
        if (read == mode)
            return true;
    return false;
}

} // namespace

void CArea::ReadFile(const std::string& previousArea, const std::string& name,
                     const CModule& module, int mode, bool reset)
{
    if (mode < kAreaReadFresh || mode > kAreaReadSavedOther)
        throw CVARDException(2, "area " + VARDCommon::QuoteForMessage(name) + ": no read mode " +
                                    std::to_string(mode));
    const auto factory = module.GetDataFileFactory();
    if (!factory)
        throw CVARDException(1, "area " + VARDCommon::QuoteForMessage(name) +
                                    ": the module has no data files");
    m_Name = name;
    m_Module = &module;
    VARDCommon::CTagFileReader reader(*factory, VARDCommon::kDataKindRoot,
                                      VARDCommon::kDataSubKindNone, name + ".vard");

    reader.ReadStartTag("area");
    m_Title = reader.ReadQuoted();
    m_Lighting = reader.ReadBool();
    if (reader.IsStartTag("travel"))
        ReadTravel(reader, previousArea);
    ReadSkies(reader, mode);
    ReadSounds(reader, mode);
    if (mode == kAreaReadSavedOther)
    {
        ReadGridSize(reader);
    }
    else
    {
        // A layout read twice without Reset would lay its tiles over stale ones.
        DropLayout();
        ReadRows(reader, module);
    }
    ReadObjects(reader, module, mode);
    ReadEncounters(reader, module, mode, reset);
    ReadEntries(reader, mode);
    ReadExits(reader, module, mode);
    ReadPatches(reader, mode);
    reader.ReadEndTag();

    if (mode != kAreaReadSavedOther)
        ApplyTaggedPatches(module, mode, reset);
}

// Only the size of a grid not loaded yet: what is saved of the area must lie on it.
void CArea::ReadGridSize(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("rows");
    if (!reader.ReadTupleStart(2, false))
        reader.Fail(1, "<rows> needs the grid size as a pair of width and height");
    m_FileWidth = reader.ReadUnsigned();
    m_FileHeight = reader.ReadUnsigned();
    reader.SkipToEndTag("rows");
}

void CArea::ReadTravel(VARDCommon::CTagFileReader& reader, const std::string& previousArea)
{
    reader.ReadStartTag("travel");
    // Staying, or arriving from nowhere (a new or loaded game), takes no time.
    if (previousArea.empty() || previousArea == m_Name)
    {
        reader.SkipToEndTag("travel");
        return;
    }
    std::uint32_t hours = 0;
    bool matched = false;
    while (!reader.IsAtEndTag())
    {
        if (reader.IsAtEnd() || reader.IsAnyStartTag())
            reader.Fail(1, "expected a pair of area and hours or </travel>");
        reader.ReadTupleStart(2, false);
        const std::string from = reader.ReadWord();
        const std::uint32_t value = reader.ReadUnsigned();
        if (from == previousArea)
        {
            hours = value;
            matched = true;
        }
        else if (from == "default" && !matched)
        {
            hours = value;
        }
    }
    reader.ReadEndTag();

    if (hours == 0 || m_Game == nullptr)
        return;
    m_Game->SetTick(m_Game->GetTick() + hours * 3600u * kTicksPerSecond);
    m_Game->AddMessage(kMessageInfo, JourneyMessage(hours));
}

void CArea::ReadSkies(VARDCommon::CTagFileReader& reader, int mode)
{
    while (reader.IsStartTag("sky"))
    {
        if (mode == kAreaReadLayout)
            SkipSection(reader, "sky");
        else
            m_Skies.push_back(std::make_shared<CAreaSkyInfo>(reader));
    }
}

void CArea::ReadSounds(VARDCommon::CTagFileReader& reader, int mode)
{
    if (!reader.IsStartTag("sounds"))
        return;
    if (mode == kAreaReadLayout)
    {
        SkipSection(reader, "sounds");
        return;
    }
    reader.ReadStartTag("sounds");
    while (!reader.IsAtEndTag())
        m_Sounds.push_back(std::make_shared<CAreaSoundInfo>(reader));
    reader.ReadEndTag();
}

// An optional section is skipped only when it is there, so a file without it
// loads in every mode.
void CArea::ReadObjects(VARDCommon::CTagFileReader& reader, const CModule& module, int mode)
{
    if (!reader.IsStartTag("objects"))
        return;
    if (mode != kAreaReadFresh)
    {
        SkipSection(reader, "objects");
        return;
    }
    reader.ReadStartTag("objects");
    while (!reader.IsAtEndTag())
    {
        const std::string where = reader.Where();
        const CPatchActionObject record(reader);
        RequireOnGrid(where, "object " + VARDCommon::QuoteForMessage(record.GetDefinitionName()),
                      record.GetX(), record.GetY());
        CreateObjectFromRecord(record, module);
    }
    reader.ReadEndTag();
}

void CArea::ReadEncounters(VARDCommon::CTagFileReader& reader, const CModule& module, int mode,
                           bool reset)
{
    if (!reader.IsStartTag("encounters"))
        return;
    if (!IsRead(mode, {kAreaReadFresh, kAreaReadLayout}))
    {
        SkipSection(reader, "encounters");
        return;
    }
    reader.ReadStartTag("encounters");
    while (!reader.IsAtEndTag())
    {
        const CPatchActionEncounter record(reader);
        PlaceEncounter(record, module, mode, reset);
    }
    reader.ReadEndTag();
}

void CArea::ReadEntries(VARDCommon::CTagFileReader& reader, int mode)
{
    if (mode == kAreaReadSavedOther)
    {
        SkipSection(reader, "entries");
        return;
    }
    reader.ReadStartTag("entries");
    while (!reader.IsAtEndTag())
        m_Entries.push_back(std::make_shared<CAreaEntry>(reader));
    reader.ReadEndTag();
}

void CArea::ReadExits(VARDCommon::CTagFileReader& reader, const CModule& module, int mode)
{
    if (mode == kAreaReadSavedOther)
    {
        SkipSection(reader, "exits");
        return;
    }
    reader.ReadStartTag("exits");
    while (!reader.IsAtEndTag())
    {
        auto exit = std::make_shared<CAreaExit>(reader);
        m_Exits.push_back(exit);
        // Later modes find their markers among the objects already held.
        if (mode == kAreaReadFresh)
            CreateExitMarker(*exit, module);
    }
    reader.ReadEndTag();
}

void CArea::CreateExitMarker(const CAreaExit& exit, const CModule& module)
{
    const CObjectTemplate* definition = module.FindObjectTemplate("exit");
    if (definition == nullptr)
        throw CVARDException(1, "area " + VARDCommon::QuoteForMessage(m_Name) +
                                    ": the module has no object definition "
                                    "\"exit\" for exit " +
                                    VARDCommon::QuoteForMessage(exit.GetName()));
    CGame& game = RequireGame("mark its exits");
    auto marker = std::make_shared<CObject>(this, game.NewThingId(kThingKindObject), std::string(),
                                            *definition);
    marker->SetPosition(exit.GetX(), exit.GetY());
    marker->SetFacing(0);
    marker->SetExitText(exit.GetText());
    AddObject(std::move(marker));
}

void CArea::ReadPatches(VARDCommon::CTagFileReader& reader, int mode)
{
    if (!reader.IsStartTag("patches"))
        return;
    if (mode == kAreaReadSavedOther)
    {
        SkipSection(reader, "patches");
        return;
    }
    reader.ReadStartTag("patches");
    while (!reader.IsAtEndTag())
        m_Patches.push_back(std::make_shared<CPatch>(reader));
    reader.ReadEndTag();
}

} // namespace VARD
