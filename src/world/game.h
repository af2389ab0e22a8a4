#pragma once

#include "world/event.h"
#include "world/journal.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace VARDCommon
{
class CDataFileFactory;
} // namespace VARDCommon

namespace VARD
{

class CActor;
class CArea;
class CMap2;
class CModule;
class CScript;
class CTalkTarget;

// States of the running game, read by the shell after every batch of ticks.
enum : std::int32_t
{
    kGameRunning = 0,
    kGameTravelAtExit = 1,
    kGameRestNeeded = 2,
    kGameTravelByScript = 3,
    kGameOnWorldMap = 4,
    kGameDestinationKnown = 5,
    kGameLeftForRest = 6,
    kGameWon = 7,
    kGameConstructed = 8,
};

// A game time split into its calendar parts. Signed: a start date may lie
// before year 0; the year is wide enough for any start year plus the ticks.
struct CGameTime
{
    std::int32_t second = 0;
    std::int32_t minute = 0;
    std::int32_t hour = 0;
    std::int32_t day = 0;   // 1..30
    std::int32_t month = 0; // 0..11
    std::int64_t year = 0;
};

constexpr std::uint32_t kTicksPerSecond = 30;

// What a script run may still leave in the game. The script host sets one on
// the game while a run is open, and every adder below pays it for what it
// keeps. A game function is never stopped halfway: what the budget cannot pay
// for marks the run to stop once the function returns. Until then the
// function completes, with the runs it starts (a quest's completion test),
// and of its text only the lines and boxes shown to the player go unkept
// when unpaid; what the game's state needs is kept all the same. Charges are
// in bytes; each record kept adds kKeptRecordBytes for its own upkeep.
class CKeepBudget
{
public:
    virtual ~CKeepBudget() = default;
    // Charges what is about to be kept and answers true when the budget pays
    // for it. Otherwise charges nothing, marks the run to stop and answers
    // false; once marked, it pays for nothing more.
    virtual bool Pay(std::size_t bytes) = 0;
    // What it would still pay for: 0 once marked.
    virtual std::size_t Room() const = 0;
    // The run is stopped at once: no script of it runs again.
    virtual bool IsStopped() const = 0;
    // Marks the run to stop, for the reason given (a fixed text), once the
    // game function returns.
    virtual void StopAfterCall(const char* reason) = 0;
    // Stops the run at once, for a game function that has changed nothing
    // yet, for the reason given or, with none, for a budget spent; does not
    // return.
    [[noreturn]] virtual void Stop(const char* reason = nullptr) = 0;
};

constexpr std::size_t kKeptRecordBytes = 256;

// The quest tags, journal entries, places revealed and people met hold their
// names and texts for good and go into every saved game, so runs may not
// grow them past this. What the rest of the game reads there is never
// dropped: a run whose call would pass the bound is stopped before the call
// changes anything, and one that passes it through what the call sets off
// (the quests it completes) stops once the call returns.
constexpr std::size_t kKeptStateBytes = 8u * 1024u * 1024u;
inline constexpr const char* kKeptStateFullReason =
    "the quest tags, journal, people and places revealed would hold more than 8 MiB";

// The message log keeps this many of the newest lines, and no more text than
// this (the newest line always stays): a script posting lines on every tick
// would otherwise grow it without end. The lines waiting in the game for the
// screen are bounded alike, so that the log shows the same whatever waited:
// lines the game makes with no run to bound them (a member joining as a game
// loads, announcing every spell it qualifies for) would otherwise pile up
// there. Events that are not message lines are never dropped.
constexpr std::size_t kMessageLogLines = 10000;
constexpr std::size_t kMessageLogBytes = 16u * 1024u * 1024u;

// The state of one game in progress. The record lives with the world model
// because every placed thing draws ids from it and posts its messages to it;
// the engine drives it.
class CGame
{
public:
    CGame();
    ~CGame();
    // The queue's index of its message lines points into the queue itself.
    CGame(const CGame&) = delete;
    CGame& operator=(const CGame&) = delete;

    std::int32_t GetState() const { return m_State; }
    void SetState(std::int32_t state) { m_State = state; }
    void Reset();

    // kind × 2^24 + the next number; code 2 for a kind or number out of range.
    // The number grows even when the call fails.
    std::uint32_t NewThingId(std::uint32_t kind);
    std::uint32_t GetNextThingNumber() const { return m_NextThingNumber; }
    void SetNextThingNumber(std::uint32_t number) { m_NextThingNumber = number; }

    // Clock and calendar.
    std::uint32_t GetTick() const { return m_Tick; }
    void SetTick(std::uint32_t tick) { m_Tick = tick; }
    void AdvanceTick() { ++m_Tick; }
    void SetStartDate(std::int32_t year, std::int32_t day, std::int32_t hour);
    std::int32_t GetStartYear() const { return m_StartYear; }
    std::int32_t GetStartDay() const { return m_StartDay; }
    std::int32_t GetStartHour() const { return m_StartHour; }
    CGameTime SplitTime(std::uint32_t ticks) const;
    std::string FormatDateTime(std::uint32_t ticks) const;

    // Money of the party: never below 0.
    std::int32_t GetGold() const { return m_Gold; }
    void SetGold(std::int32_t gold) { m_Gold = gold < 0 ? 0 : gold; }
    // Adds (or takes, for a negative amount) gold, saturating at both ends.
    void AddGold(std::int64_t amount);

    // The budget the adders charge while a script run is open; null outside
    // runs.
    CKeepBudget* GetKeepBudget() const { return m_KeepBudget; }
    void SetKeepBudget(CKeepBudget* budget);
    // What the kept state holds now, as measured against kKeptStateBytes.
    std::size_t WeighKeptState() const;
    // What the kept state would grow by: a record for a tag, journal entry,
    // place or person not there yet, and nothing for one already there.
    std::size_t NewTagBytes(const std::string& tag) const;
    std::size_t NewJournalBytes(const std::string& questName, const std::string& textName) const;
    std::size_t NewPlaceBytes(const std::string& name) const;
    std::size_t NewPersonBytes(const CTalkTarget& person, const std::string& key,
                               const std::string& source) const;
    // For a game function that has changed nothing yet: stops the open run
    // when that much more would take the kept state past its bound, or is
    // more than the run can pay for.
    void EnsureStateRoom(std::size_t bytes);

    // Quest tags: 0 for a tag never set.
    std::int32_t GetQuestTag(const std::string& tag) const;
    void SetQuestTag(const std::string& tag, std::int32_t value);
    const std::map<std::string, std::int32_t>& GetQuestTags() const { return m_QuestTags; }
    std::map<std::string, std::int32_t>& QuestTags() { return m_QuestTags; }

    // The journal: a new (quest, text) pair is appended and reported once.
    void UpdateJournal(const std::string& questName, const std::string& textName);
    const JournalList& GetJournal() const { return m_Journal; }
    PeopleJournal& People() { return m_People; }
    const PeopleJournal& GetPeople() const { return m_People; }
    void SaveJournal(VARDCommon::CTagFileWriter& writer) const { WriteJournal(writer, m_Journal); }
    void LoadJournal(VARDCommon::CTagFileReader& reader) { ReadJournal(reader, m_Journal); }
    void SavePeople(VARDCommon::CTagFileWriter& writer) const { WritePeople(writer, m_People); }
    void LoadPeople(VARDCommon::CTagFileReader& reader) { ReadPeople(reader, m_People); }
    // Finds or creates the person's entry under its key (display name: its
    // talk name), sets the entry's text from the source and appends the line.
    void AddPeopleJournalLine(const CTalkTarget& person, const std::string& key,
                              const std::string& source, const std::string& line);

    // World-map locations revealed (value 1).
    const std::map<std::string, std::int32_t>& GetRevealed() const { return m_Revealed; }
    std::map<std::string, std::int32_t>& Revealed() { return m_Revealed; }
    void RevealArea(const std::string& name);

    // Events for the screen, drained from the front.
    void AddMessage(std::int32_t kind, const std::string& text);
    void PostEvent(std::shared_ptr<CEvent> event);
    void AddActorInfo(std::int32_t kind, std::uint32_t actorId);
    void AddActorInfo(std::int32_t kind, const CActor& actor);
    const std::list<std::shared_ptr<CEvent>>& GetEvents() const { return m_Events; }
    std::shared_ptr<CEvent> PopEvent();

    // Party and actors held by the game itself.
    const std::vector<std::shared_ptr<CActor>>& Party() const { return m_Party; }
    std::vector<std::shared_ptr<CActor>>& Party() { return m_Party; }
    std::vector<std::shared_ptr<CActor>> GetParty() const { return m_Party; }
    std::vector<std::shared_ptr<CActor>>& NonLocated() { return m_NonLocated; }
    // The actor's shared pointer among the non-located actors; code 2 when
    // it is not there.
    std::shared_ptr<CActor> FindSharedActor(const CActor* actor) const;
    // Appends the actor unless it is there already.
    void AddNonLocated(const std::shared_ptr<CActor>& actor);

    // The module whose rules refresh a joining member (its spells); set by
    // the engine. Null in tools and tests that need no refresh.
    const CModule* GetModule() const { return m_Module; }
    void SetModule(const CModule* module) { m_Module = module; }

    // Party services (game_party.cpp).
    // 6 entries, or 4 members that were not summoned.
    bool IsPartyFull() const;
    // No living member that was not summoned; true for an empty party.
    bool IsPartyWipedOut() const;
    // Joins the party as its last member; the money it carries becomes gold.
    void AddPartyMember(const std::shared_ptr<CActor>& actor);
    // Code 2 when the actor is not in the party. It becomes neutral.
    void RemovePartyMember(const CActor& actor);
    // Code 3 for a position outside the party or two equal positions.
    void SwapPartyMembers(std::int32_t a, std::int32_t b);
    // The best special stat (0 locks .. 4 observation) of the living
    // members; -100000 when none lives.
    std::int32_t BestPartySpecialStat(std::uint32_t stat) const;
    // Every living member that was not summoned gains n points.
    void ShareExperience(std::uint32_t n);
    // "PARTY" becomes the list of members, "MAINNAME" the main character's
    // name. False, with the text left as it is, when the expanded text would
    // be longer than maxSize; that is known before it is built.
    bool ExpandNameTokens(std::string& text,
                          std::size_t maxSize = static_cast<std::size_t>(-1)) const;

    // Travel and places.
    const std::string& GetTravelArea() const { return m_TravelArea; }
    const std::string& GetTravelEntry() const { return m_TravelEntry; }
    void SetTravel(const std::string& area, const std::string& entry)
    {
        PayKept(area.size() + entry.size());
        m_TravelArea = area;
        m_TravelEntry = entry;
    }
    CScript* GetExitScript() const { return m_ExitScript; }
    void SetExitScript(CScript* script) { m_ExitScript = script; }
    const std::string& GetResurrectionArea() const { return m_ResurrectionArea; }
    const std::string& GetResurrectionEntry() const { return m_ResurrectionEntry; }
    void SetResurrection(const std::string& area, const std::string& entry)
    {
        PayKept(area.size() + entry.size());
        m_ResurrectionArea = area;
        m_ResurrectionEntry = entry;
    }
    const std::string& GetEnteredArea() const { return m_EnteredArea; }
    const std::string& GetEnteredEntry() const { return m_EnteredEntry; }
    void SetEntered(const std::string& area, const std::string& entry)
    {
        PayKept(area.size() + entry.size());
        m_EnteredArea = area;
        m_EnteredEntry = entry;
    }
    const std::string& GetLeftArea() const { return m_LeftArea; }
    void SetLeftArea(const std::string& area) { m_LeftArea = area; }

    CArea* GetCurrentArea() const { return m_CurrentArea; }
    void SetCurrentArea(CArea* area) { m_CurrentArea = area; }
    std::map<std::string, std::shared_ptr<CArea>>& VisitedAreas() { return m_VisitedAreas; }
    CMap2* GetCurrentWorldMap() const { return m_CurrentWorldMap; }
    void SetCurrentWorldMap(CMap2* map) { m_CurrentWorldMap = map; }
    std::map<std::string, std::shared_ptr<CMap2>>& WorldMaps() { return m_WorldMaps; }
    // Makes the world map of that name current, reading "<name>.vard" on
    // first use, and marks its places revealed by the revealed map.
    void LoadWorldMap(const std::string& name, VARDCommon::CDataFileFactory& factory);

    // Set by the win script function; shown once by the shell.
    const std::string& GetVictoryText() const { return m_VictoryText; }
    void SetVictoryText(const std::string& text)
    {
        PayKept(text.size());
        m_VictoryText = text;
    }

    // The party's cells of the last sight update; emptied so that the next
    // tick rebuilds the sight grid.
    std::vector<std::pair<std::uint32_t, std::uint32_t>>& PendingList() { return m_Pending; }

    std::uint32_t GetNextAmbienceTick() const { return m_NextAmbienceTick; }
    void SetNextAmbienceTick(std::uint32_t tick) { m_NextAmbienceTick = tick; }
    std::int32_t GetCombatFlag() const { return m_CombatFlag; }
    void SetCombatFlag(std::int32_t flag) { m_CombatFlag = flag; }

private:
    // Pays the open run, if any, for what is about to be kept; false when
    // its budget cannot.
    bool Pay(std::size_t bytes) { return m_KeepBudget == nullptr || m_KeepBudget->Pay(bytes); }
    // As Pay, for what the game keeps paid or not.
    void PayKept(std::size_t bytes) { Pay(bytes); }
    // As PayKept, for a record that joins the kept state for good: marks the
    // run to stop when the state passes its bound.
    void KeepState(std::size_t bytes);
    // The kept state's weight during a run, weighed when first asked for.
    std::size_t& KeptStateBytes();
    // Whether that much more keeps the state within its bound.
    bool StateFits(std::size_t bytes);
    // A message line joins the queue's index of them, and the oldest go
    // past the bounds.
    void QueueMessage(std::shared_ptr<CMessageEvent> message);

    CKeepBudget* m_KeepBudget = nullptr;
    // The kept state's weight during a run, once weighed.
    std::optional<std::size_t> m_KeptStateBytes;
    std::int32_t m_State = kGameConstructed;
    std::string m_TravelArea;
    std::string m_TravelEntry;
    CScript* m_ExitScript = nullptr;
    std::string m_ResurrectionArea;
    std::string m_ResurrectionEntry;
    std::string m_EnteredArea;
    std::string m_EnteredEntry;
    std::string m_LeftArea;
    std::vector<std::shared_ptr<CActor>> m_Party;
    std::vector<std::shared_ptr<CActor>> m_NonLocated;
    std::int32_t m_Gold = 0;
    std::map<std::string, std::int32_t> m_QuestTags;
    JournalList m_Journal;
    PeopleJournal m_People;
    std::map<std::string, std::int32_t> m_Revealed;
    CArea* m_CurrentArea = nullptr;
    std::map<std::string, std::shared_ptr<CArea>> m_VisitedAreas;
    CMap2* m_CurrentWorldMap = nullptr;
    std::map<std::string, std::shared_ptr<CMap2>> m_WorldMaps;
    std::uint32_t m_NextThingNumber = 1;
    std::list<std::shared_ptr<CEvent>> m_Events;
    // The message lines among m_Events, oldest first, and their text's size.
    std::deque<std::list<std::shared_ptr<CEvent>>::iterator> m_QueuedMessages;
    std::size_t m_QueuedMessageBytes = 0;
    std::uint32_t m_Tick = 0;
    std::int32_t m_StartYear = 0;
    std::int32_t m_StartDay = 0;
    std::int32_t m_StartHour = 0;
    std::uint32_t m_NextAmbienceTick = 0;
    std::int32_t m_CombatFlag = 0;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_Pending;
    std::string m_VictoryText;
    const CModule* m_Module = nullptr;
};

} // namespace VARD
