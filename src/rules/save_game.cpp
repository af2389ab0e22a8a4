// Saving the running game to a file and loading it back.

#include "rules/engine.h"

#include "common/data_file.h"
#include "common/exception.h"
#include "common/random.h"
#include "common/tag_file.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/game.h"
#include "world/journal.h"
#include "world/module.h"
#include "world/world_map.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <map>
#include <set>
#include <vector>

namespace VARD
{

namespace
{

// A party holds at most six: any other place in a file is damage.
constexpr std::uint32_t kPartyPlaces = 6;
// The current area's name when the party stands in none.
const char* const kNoArea = "0";

// Ids of every actor standing in a visited area.
std::set<std::uint32_t> ActorsInAreas(const std::map<std::string, std::shared_ptr<CArea>>& areas)
{
    std::set<std::uint32_t> ids;
    for (const auto& [name, area] : areas)
        for (const auto& actor : area->Actors())
            ids.insert(actor->Id());
    return ids;
}

// Where each actor of the file was first read, by id. The game writes an
// actor once, so a second record is damage, but for a member both among the
// non-located and in an area, as older files hold it (DropDuplicateNonLocated).
class CActorRecords
{
public:
    void NoteNonLocated(const CActor& actor, const std::string& where)
    {
        Note(m_NonLocated, actor, where, "among the non-located actors");
    }
    void NoteInArea(const CActor& actor, const std::string& where, const std::string& area)
    {
        Note(m_InAreas, actor, where, "in area " + VARDCommon::QuoteForMessage(area));
    }

private:
    static void Note(std::map<std::uint32_t, std::string>& first, const CActor& actor,
                     const std::string& where, std::string place)
    {
        const auto [found, fresh] = first.emplace(actor.Id(), std::move(place));
        if (!fresh)
            throw CVARDException(1, where + ": actor " + std::to_string(ThingNumberOf(actor.Id())) +
                                        " (" + VARDCommon::QuoteForMessage(actor.GetName()) +
                                        ") is saved twice; its first record is " + found->second);
    }

    std::map<std::uint32_t, std::string> m_NonLocated;
    std::map<std::uint32_t, std::string> m_InAreas;
};

// The name the world map was loaded under: its file, which loading asks for.
std::string WorldMapName(CGame& game)
{
    const CMap2* current = game.GetCurrentWorldMap();
    if (current == nullptr)
        return kNoArea;
    for (const auto& [name, map] : game.WorldMaps())
        if (map.get() == current)
            return name;
    return current->GetName();
}

void WriteSave(VARDCommon::CTagFileWriter& writer, CGame& game,
               const std::optional<std::string>& bonus, const std::string& path)
{
    writer.WriteStartTag("save");
    writer.WriteQuoted(path);
    writer.WriteUnsigned(game.GetTick());
    writer.WriteUnsigned(game.GetNextThingNumber());
    writer.WriteUnsigned(static_cast<std::uint32_t>(game.GetState()));
    writer.WriteUnsigned(static_cast<std::uint32_t>(game.GetGold()));
    writer.WriteUnsigned(game.GetNextAmbienceTick());
    writer.WriteString(game.GetResurrectionArea());
    writer.WriteString(game.GetResurrectionEntry());
    writer.WriteString(game.GetEnteredArea());
    writer.WriteString(game.GetEnteredEntry());
    writer.WriteStartTag("entry");
    writer.WriteString(game.GetTravelArea());
    writer.WriteString(game.GetTravelEntry());
    writer.WriteEndTag();
    writer.WriteString(game.GetLeftArea());

    writer.WriteStartTag("questtags");
    WriteStringIntMap(writer, game.GetQuestTags());
    writer.WriteEndTag();
    game.SaveJournal(writer);
    game.SavePeople(writer);
    writer.WriteStartTag("revealed");
    WriteStringIntMap(writer, game.GetRevealed());
    writer.WriteEndTag();

    // A member standing in an area is written there: a second record here
    // would load as a second actor with the same id.
    std::set<std::uint32_t> written = ActorsInAreas(game.VisitedAreas());
    writer.WriteStartTag("nonlocated");
    for (const auto& actor : game.NonLocated())
        if (written.insert(actor->Id()).second)
            actor->Write(writer);
    writer.WriteEndTag();

    const CArea* current = game.GetCurrentArea();
    writer.WriteQuoted(current != nullptr ? current->GetName() : std::string(kNoArea));
    writer.WriteString(WorldMapName(game));
    for (const auto& [name, area] : game.VisitedAreas())
        area->Write(writer);
    if (bonus)
    {
        writer.WriteStartTag("bonus");
        writer.WriteQuoted(*bonus);
        writer.WriteEndTag();
    }
    writer.WriteEndTag();
}

std::int32_t ReadSignedField(VARDCommon::CTagFileReader& reader, const char* what,
                             std::int32_t highest)
{
    const std::string where = reader.Where();
    const std::uint32_t value = reader.ReadUnsigned();
    if (value > static_cast<std::uint32_t>(highest))
        throw CVARDException(1, where + ": " + what + " " + std::to_string(value) +
                                    " is out of range");
    return static_cast<std::int32_t>(value);
}

// Items 3 to 16: clock, counters and the places of the game.
void ReadGameFields(VARDCommon::CTagFileReader& reader, CGame& game, const CModule& module)
{
    game.SetTick(reader.ReadUnsigned());
    game.SetNextThingNumber(reader.ReadUnsigned());
    // A game is saved once started: a constructed one, never reset, is none.
    game.SetState(ReadSignedField(reader, "state", kGameWon));
    game.SetGold(ReadSignedField(reader, "gold", std::numeric_limits<std::int32_t>::max()));
    game.SetNextAmbienceTick(reader.ReadUnsigned());
    game.SetStartDate(static_cast<std::int32_t>(module.GetStartYear()),
                      static_cast<std::int32_t>(module.GetStartDay()),
                      static_cast<std::int32_t>(module.GetStartHour()));

    const std::string resurrectionArea = reader.ReadString();
    const std::string resurrectionEntry = reader.ReadString();
    game.SetResurrection(resurrectionArea, resurrectionEntry);
    const std::string enteredArea = reader.ReadString();
    const std::string enteredEntry = reader.ReadString();
    game.SetEntered(enteredArea, enteredEntry);
    reader.ReadStartTag("entry");
    const std::string travelArea = reader.ReadString();
    const std::string travelEntry = reader.ReadString();
    reader.ReadEndTag();
    game.SetTravel(travelArea, travelEntry);
    game.SetLeftArea(reader.ReadString());
    game.SetExitScript(nullptr);
}

// Whether a party in this state stands in an area: on the world map, or on
// its way to an area (a new game before its first), it stands in none.
bool IsStateInArea(std::int32_t state)
{
    return state != kGameOnWorldMap && state != kGameDestinationKnown && state != kGameLeftForRest;
}

// The state word and the places the file names must agree: a game played in
// no area, or travelling while it stands in one, could not go on.
void CheckStateAgreesWithPlace(const CGame& game, const std::string& where)
{
    const std::int32_t state = game.GetState();
    const CArea* current = game.GetCurrentArea();
    const std::string said = where + ": the game is in state " + std::to_string(state);
    if (IsStateInArea(state) && current == nullptr)
        throw CVARDException(1, said + ", played in an area, but names no current area");
    if (!IsStateInArea(state) && current != nullptr)
        throw CVARDException(1, said + ", outside any area, but names the current area " +
                                    VARDCommon::QuoteForMessage(current->GetName()));
    if (state == kGameOnWorldMap && game.GetCurrentWorldMap() == nullptr)
        throw CVARDException(1, said + ", on the world map, but names no world map");
}

void ReadVisitedAreas(VARDCommon::CTagFileReader& reader, CGame& game, const CModule& module,
                      const std::string& currentName, CActorRecords& records)
{
    auto& visited = game.VisitedAreas();
    while (reader.IsStartTag("area"))
    {
        const std::string where = reader.Where();
        auto area = std::make_shared<CArea>(&game);
        const CArea& reading = *area;
        area->Read(reader, currentName, module,
                   [&](const CActor& actor, const std::string& at)
                   {
                       // An area saved twice is refused as that, below.
                       if (visited.count(reading.GetName()) == 0)
                           records.NoteInArea(actor, at, reading.GetName());
                   });
        if (!visited.emplace(area->GetName(), area).second)
            throw CVARDException(1, where + ": area " +
                                        VARDCommon::QuoteForMessage(area->GetName()) +
                                        " is saved twice");
    }
}

// Files written before members in an area were left out of the list hold
// them twice: the area's record is the one that stands.
void DropDuplicateNonLocated(CGame& game)
{
    std::set<std::uint32_t> seen = ActorsInAreas(game.VisitedAreas());
    auto& actors = game.NonLocated();
    actors.erase(std::remove_if(actors.begin(), actors.end(),
                                [&seen](const auto& actor)
                                { return !seen.insert(actor->Id()).second; }),
                 actors.end());
}

// Every actor of side 0 back in its party place: the non-located first, then
// the other visited areas, then the current area, whose actor takes a place
// that another source holds too.
void RebuildParty(CGame& game)
{
    std::vector<std::shared_ptr<CActor>> places;
    auto collect = [&places](const std::vector<std::shared_ptr<CActor>>& actors)
    {
        for (const auto& actor : actors)
        {
            if (actor->GetAttitude() != kAttitudeParty)
                continue;
            const std::uint32_t index = actor->GetPartyIndex();
            if (index >= kPartyPlaces)
                throw CVARDException(1, VARDCommon::QuoteForMessage(actor->GetName()) +
                                            " is saved in party place " + std::to_string(index) +
                                            "; a party has " + std::to_string(kPartyPlaces));
            if (index >= places.size())
                places.resize(index + 1);
            places[index] = actor;
        }
    };
    collect(game.NonLocated());
    CArea* current = game.GetCurrentArea();
    for (const auto& [name, area] : game.VisitedAreas())
        if (area.get() != current)
            collect(area->Actors());
    if (current != nullptr)
        collect(current->Actors());

    for (std::size_t index = 0; index < places.size(); ++index)
        if (!places[index])
            throw CVARDException(1,
                                 "the saved party has no member in place " + std::to_string(index));
    game.Party().clear();
    for (const auto& actor : places)
        game.AddPartyMember(actor);
}

void ReadSave(VARDCommon::CTagFileReader& reader, CGame& game, const CModule& module,
              VARDCommon::CDataFileFactory& factory, std::optional<std::string>& bonus)
{
    reader.ReadStartTag("save");
    reader.ReadQuoted();
    ReadGameFields(reader, game, module);

    reader.ReadStartTag("questtags");
    ReadStringIntMap(reader, game.QuestTags());
    reader.ReadEndTag();
    game.LoadJournal(reader);
    game.LoadPeople(reader);
    reader.ReadStartTag("revealed");
    ReadStringIntMap(reader, game.Revealed());
    reader.ReadEndTag();

    CActorRecords records;
    reader.ReadStartTag("nonlocated");
    while (!reader.IsAtEndTag())
    {
        const std::string where = reader.Where();
        auto actor = std::make_shared<CActor>(reader, module, game);
        records.NoteNonLocated(*actor, where);
        game.NonLocated().push_back(std::move(actor));
    }
    reader.ReadEndTag();

    const std::string placeWhere = reader.Where();
    const std::string currentName = reader.ReadQuoted();
    const std::string worldMap = reader.ReadWord();
    if (worldMap != "0")
        game.LoadWorldMap(worldMap, factory);

    const bool hasCurrent = currentName != kNoArea;
    ReadVisitedAreas(reader, game, module, hasCurrent ? currentName : std::string(), records);
    if (hasCurrent)
    {
        const auto found = game.VisitedAreas().find(currentName);
        if (found == game.VisitedAreas().end())
            reader.Fail(1, "the current area " + VARDCommon::QuoteForMessage(currentName) +
                               " is not among the saved areas");
        game.SetCurrentArea(found->second.get());
    }
    CheckStateAgreesWithPlace(game, placeWhere);
    game.SetCombatFlag(0);
    game.PendingList().clear();

    bonus.reset();
    if (reader.IsStartTag("bonus"))
    {
        reader.ReadStartTag("bonus");
        bonus = reader.ReadQuoted();
        reader.ReadEndTag();
    }
    reader.ReadEndTag();

    DropDuplicateNonLocated(game);
    RebuildParty(game);
}

} // namespace

void CEngine::SaveGame(const std::optional<std::string>& bonus, const std::string& path)
{
    CGame& game = Game();
    const CModule& module = Module();
    if (!m_Factory)
        throw CVARDException(2, "no module is loaded");
    VARDCommon::CTagFileWriter writer(path);
    WriteSave(writer, game, bonus, path);
    // Read back whole before it takes the place of the last saved file: a
    // save that would not load again must not cost the player that file.
    writer.Close(
        [&](const std::filesystem::path& written)
        {
            const CRandomStateKeeper draws;
            const auto scratch = std::make_shared<CGame>();
            scratch->SetModule(&module);
            std::optional<std::string> bonusRead;
            try
            {
                VARDCommon::CTagFileReader reader{written};
                ReadSave(reader, *scratch, module, *m_Factory, bonusRead);
            }
            catch (const CVARDException& error)
            {
                throw CVARDException(1, "cannot save " + path + ": it would not load again (" +
                                            error.GetDetail() + "); the file there is kept");
            }
        });
    game.AddMessage(kMessageInfo, "Saved game: " + path);
}

void CEngine::LoadGame(const std::string& path, std::optional<std::string>& bonus)
{
    const CModule& module = Module();
    if (!m_Factory)
        throw CVARDException(2, "no module is loaded");
    // Read whole into a game of its own: the running game stays until then.
    auto game = std::make_shared<CGame>();
    game->SetModule(&module);
    std::optional<std::string> bonusRead;
    try
    {
        VARDCommon::CTagFileReader reader{std::filesystem::path(path)};
        ReadSave(reader, *game, module, *m_Factory, bonusRead);
    }
    catch (const CVARDException& error)
    {
        // Every failure names the saved game, also those found past its
        // reader (the party, an area file the save asks for).
        if (error.GetDetail().rfind(path, 0) == 0)
            throw;
        throw CVARDException(error.GetCode(), path + ": " + error.GetDetail());
    }
    m_Game = game;
    bonus = std::move(bonusRead);
    m_Game->AddMessage(kMessageInfo, "Loaded game: " + path);
}

void CEngine::LoadGame(const std::string& path)
{
    std::optional<std::string> bonus;
    LoadGame(path, bonus);
}

} // namespace VARD
