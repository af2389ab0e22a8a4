// The game functions a script calls: conversation, messages, the party,
// tags and quests, the journal, gold and items, factions, travel, queries.

#include "common/exception.h"
#include "rules/engine.h"
#include "script/lua_script.h"
#include "script/script_call.h"
#include "script/script_run.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/event.h"
#include "world/faction.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/quest.h"
#include "world/rule_tables.h"
#include "world/script_record.h"
#include "world/talk_state.h"
#include "world/thing.h"

#include <lua.hpp>

#include <algorithm>
#include <array>
#include <exception>
#include <memory>
#include <utility>

namespace VARD
{

namespace
{

using ScriptHost::CScriptCall;

constexpr std::uint32_t kDiplomacyStat = 2;
constexpr std::int32_t kDiplomacyRoll = 50;

// ------------------------------------------------------------- helpers

// The person whose people-journal entry takes the lines said to or by them:
// one the party keeps an entry for, while the party stands in an area.
const CActor* JournalledPerson(const CGame& game, const CThing* speaker)
{
    const auto* actor = dynamic_cast<const CActor*>(speaker);
    if (game.GetCurrentArea() == nullptr || actor == nullptr ||
        actor->GetPeopleJournalKey().empty())
        return nullptr;
    return actor;
}

CArea& CurrentArea(CGame& game)
{
    CArea* area = game.GetCurrentArea();
    if (area == nullptr)
        throw CVARDException(2, "the party is not in an area");
    return *area;
}

const CQuestInfo& FindQuest(const CModule& module, const std::string& name)
{
    const CQuestInfo* quest = module.FindQuest(name);
    if (quest == nullptr)
        throw CVARDException(1, "no quest " + VARDCommon::QuoteForMessage(name));
    return *quest;
}

CActor& ContextActor(const CScriptCall& call)
{
    CActor* actor = call.Context().actor;
    if (actor == nullptr)
        throw CVARDException(2, "the script runs for no actor");
    return *actor;
}

// The party members in party order, each with its slots before its
// backpack: the first item of that template, or null.
struct CFoundItem
{
    CActor* holder = nullptr;
    std::int32_t slot = -1; // -1: in the backpack
    const CItem* item = nullptr;
};

CFoundItem FindPartyItem(const CGame& game, const std::string& templateName)
{
    for (const auto& member : game.GetParty())
    {
        for (std::uint32_t slot = 0; slot < kEquipmentSlotCount; ++slot)
        {
            const auto& item = member->GetEquipmentSlot(slot);
            if (item && item->GetTemplate()->GetName() == templateName)
                return {member.get(), static_cast<std::int32_t>(slot), item.get()};
        }
        for (const auto& item : member->Backpack())
            if (item->GetTemplate()->GetName() == templateName)
                return {member.get(), -1, item.get()};
    }
    return {};
}

// The game charges what it keeps of an expanded text; what the names add is
// weighed before it is built, so that a text asking for a long name many
// times is never made: that much again in every copy must fit in what is
// left.
void ExpandNames(const CScriptCall& call, std::string& text, std::size_t copies)
{
    if (!call.Game().ExpandNameTokens(text, text.size() + call.Room() / copies))
        call.Stop("more than 1 MiB handed to the game with names expanded");
}

struct CSaying
{
    bool expandsNames;
    bool showsBox;
};

// A line said aloud, "<name> : <text>". The game keeps it in the log, in the
// people journal of the person it is said to or by, and for a shout as a
// box's text under the speaker's name.
void Say(const CScriptCall& call, const CTalkTarget& speaker, const CThing* person,
         const std::string& text, CSaying saying)
{
    static const std::string kSeparator = " : ";
    CGame& game = call.Game();
    const std::string name = speaker.GetTalkName();
    const CActor* journalled = JournalledPerson(game, person);
    std::string line = name + kSeparator + text;
    if (saying.expandsNames)
        ExpandNames(call, line, 1 + (saying.showsBox ? 1 : 0) + (journalled != nullptr ? 1 : 0));
    if (journalled != nullptr)
        game.EnsureStateRoom(game.NewPersonBytes(*journalled, journalled->GetPeopleJournalKey(),
                                                 journalled->GetSecondText()));
    if (saying.showsBox)
        game.PostEvent(std::make_shared<CDialogBoxEvent>(name, line));
    game.AddMessage(kMessageInfo, line);
    if (journalled != nullptr)
        game.AddPeopleJournalLine(*journalled, journalled->GetPeopleJournalKey(),
                                  journalled->GetSecondText(), line);
}

// ------------------------------------------------------------- conversation

int Talk(CScriptCall& call)
{
    const std::string text = call.Text(1);
    Say(call, call.PartnerTalk(), call.Context().target, text, {true, false});
    return 0;
}

int Chatter(CScriptCall& call)
{
    CActor& speaker = call.OneActor(1);
    Say(call, speaker, &speaker, call.Text(2), {false, false});
    return 0;
}

int Shout(CScriptCall& call)
{
    CActor& speaker = call.OneActor(1);
    Say(call, speaker, &speaker, call.Text(2), {true, true});
    return 0;
}

int AddTalkPath(CScriptCall& call)
{
    std::string text = call.Text(1);
    std::string stateName = call.Text(2);
    call.Keep(ScriptHost::kRecordBytes + text.size() + stateName.size());
    call.PartnerTalk().QueueTalk(
        std::make_shared<CTalkChoice>(std::move(text), std::move(stateName)));
    return 0;
}

int IsInParty(CScriptCall& call)
{
    const CActor* actor = call.Name(1);
    return call.Return(actor != nullptr && actor->GetAttitude() == kAttitudeParty);
}

int IsMainActor(CScriptCall& call)
{
    const CActor* actor = call.Name(1);
    return call.Return(actor != nullptr && actor->IsMainCharacter());
}

int GotoState(CScriptCall& call)
{
    call.Context().nextState = call.Text(1);
    return 0;
}

int DiplomacyCheck(CScriptCall& call)
{
    const std::int32_t difficulty = call.Number(1);
    std::string success = call.Text(2);
    std::string failure = call.Text(3);
    CGame& game = call.Game();
    const std::int32_t best = game.BestPartySpecialStat(kDiplomacyStat);
    const bool passed = std::int64_t(best) + kDiplomacyRoll > std::int64_t(difficulty);
    game.AddMessage(kMessageInfo,
                    call.PartnerTalk().GetTalkName() + (passed ? " : Success " : " : Fail ") +
                        FormatSkillRoll(best, GetSpecialStatDisplayName(kDiplomacyStat),
                                        kDiplomacyRoll, difficulty));
    call.Context().nextState = passed ? std::move(success) : std::move(failure);
    return 0;
}

int EndTalk(CScriptCall& call)
{
    call.Context().endTalk = 1;
    return 0;
}

// ------------------------------------------------------------- tags, quests, journal

void SetTagTo(const CScriptCall& call, const std::string& tag, std::int32_t value)
{
    call.Game().EnsureStateRoom(call.Game().NewTagBytes(tag));
    call.Engine().CompleteQuest(tag, value);
}

int SetTag(CScriptCall& call)
{
    SetTagTo(call, call.SavedName(1), 1);
    return 0;
}

int SetTagValue(CScriptCall& call)
{
    const std::string tag = call.SavedName(1);
    SetTagTo(call, tag, call.Number(2));
    return 0;
}

int Journal(CScriptCall& call)
{
    const std::string first = call.SavedName(1);
    const std::string second = call.Text(2);
    CGame& game = call.Game();
    game.EnsureStateRoom(game.NewJournalBytes(second, first));
    game.UpdateJournal(second, first);
    return 0;
}

int CheckAssigned(CScriptCall& call)
{
    const CQuestInfo& quest = FindQuest(call.Module(), call.Text(1));
    const std::string& tag = quest.GetRequiredTag();
    return call.Return(!tag.empty() && call.Game().GetQuestTag(tag) != 0);
}

int AssignQuest(CScriptCall& call)
{
    const CQuestInfo& quest = FindQuest(call.Module(), call.Text(1));
    CGame& game = call.Game();
    // A tag without a name could not be saved and read back.
    const std::string& tag = quest.GetRequiredTag();
    if (!tag.empty())
    {
        game.EnsureStateRoom(game.NewTagBytes(tag));
        game.SetQuestTag(tag, 1);
    }
    game.AddMessage(kMessageInfo,
                    "You have been assigned a quest (" + quest.GetDisplayName() + ").");
    return 0;
}

int CheckTag(CScriptCall& call)
{
    return call.Return(call.Game().GetQuestTag(call.Text(1)) != 0);
}

int GetTagValue(CScriptCall& call)
{
    return call.Return(call.Game().GetQuestTag(call.Text(1)));
}

// ------------------------------------------------------------- party

int JoinParty(CScriptCall& call)
{
    CGame& game = call.Game();
    if (game.IsPartyFull())
    {
        game.AddMessage(kMessageInfo, call.PartnerTalk().GetTalkName() +
                                          " cannot join because your party is full.");
        return 0;
    }
    CActor& partner = call.PartnerActor();
    CArea& area = CurrentArea(game);
    // Last in the area's list, as party members come after the others.
    const std::shared_ptr<CActor> actor = area.RemoveActor(&partner);
    area.AddActor(actor);
    game.AddPartyMember(actor);
    game.PostEvent(std::make_shared<CInfoEvent>(kEventPartyChanged));
    return 0;
}

int LeaveParty(CScriptCall& call)
{
    CActor* actor = call.PartnerOrActor();
    if (actor == nullptr)
        throw CVARDException(2, "no actor to leave the party");
    CGame& game = call.Game();
    game.RemovePartyMember(*actor);
    game.PostEvent(std::make_shared<CInfoEvent>(kEventPartyChanged));
    return 0;
}

int GetSpecialStat(CScriptCall& call)
{
    const CActor* actor = call.Who(1);
    const int stat = FindSpecialStatByKey(call.Text(2));
    if (actor != nullptr)
        return call.Return(actor->GetSkillCheck(static_cast<std::uint32_t>(stat)));
    return call.Return(call.Game().BestPartySpecialStat(static_cast<std::uint32_t>(stat)));
}

int RemoveActor(CScriptCall& call)
{
    CActor& partner = call.PartnerActor();
    partner.SetActivityState(kActivityDead);
    partner.SetRemovalFlag(1);
    partner.ClearCurrentTarget();
    return 0;
}

int Store(CScriptCall& call)
{
    call.PartnerActor().SetStoreFlag(1);
    return 0;
}

int Attack(CScriptCall& call)
{
    CActor* actor = call.PartnerOrActor();
    if (actor != nullptr && actor->GetBrain() && actor->GetAttitude() == kAttitudeNeutral)
        call.Engine().AlertOnAttack(*actor);
    call.Game().SetCombatFlag(1);
    return 0;
}

int EmptyParty(CScriptCall& call)
{
    CGame& game = call.Game();
    for (const auto& member : game.GetParty())
        if (!member->IsMainCharacter())
            game.RemovePartyMember(*member);
    game.PostEvent(std::make_shared<CInfoEvent>(kEventPartyChanged));
    return 0;
}

// ------------------------------------------------------------- travel

int GotoArea(CScriptCall& call)
{
    const std::string area = call.Text(1);
    const std::string entry = call.Text(2);
    CGame& game = call.Game();
    game.SetTravel(area, entry);
    game.SetState(kGameTravelByScript);
    game.SetExitScript(nullptr);
    return 0;
}

int Rest(CScriptCall& call)
{
    const std::string entry = call.Text(1);
    CGame& game = call.Game();
    if (game.GetCombatFlag() != 0)
    {
        game.AddMessage(kMessageInfo, "You cannot rest while in battle.");
        return 0;
    }
    const std::string area = CurrentArea(game).GetName();
    game.SetTravel(area, entry);
    game.SetState(kGameRestNeeded);
    game.SetExitScript(nullptr);
    return 0;
}

int SetResurrection(CScriptCall& call)
{
    const std::string area = call.Text(1);
    const std::string entry = call.Text(2);
    call.Game().SetResurrection(area, entry);
    return 0;
}

int SetReturn(CScriptCall& call)
{
    const std::string entry = call.Text(1);
    CGame& game = call.Game();
    const std::string area = CurrentArea(game).GetName();
    game.SetEntered(area, entry);
    return 0;
}

int RevealArea(CScriptCall& call)
{
    const std::string name = call.SavedName(1);
    CGame& game = call.Game();
    game.EnsureStateRoom(game.NewPlaceBytes(name));
    game.RevealArea(name);
    return 0;
}

int IsInArea(CScriptCall& call)
{
    const std::string name = call.Text(1);
    const CArea* area = call.Game().GetCurrentArea();
    return call.Return(area != nullptr && area->GetName() == name);
}

// ------------------------------------------------------------- messages

int Message(CScriptCall& call)
{
    call.Game().AddMessage(kMessageInfo, call.Text(1));
    return 0;
}

int Win(CScriptCall& call)
{
    std::string text = call.Text(1);
    CGame& game = call.Game();
    ExpandNames(call, text, 1);
    game.SetVictoryText(text);
    game.SetState(kGameWon);
    return 0;
}

int DialogBox(CScriptCall& call)
{
    std::string title = call.Text(1);
    std::string text = call.Text(2);
    CGame& game = call.Game();
    ExpandNames(call, text, 1);
    game.PostEvent(std::make_shared<CDialogBoxEvent>(std::move(title), std::move(text)));
    return 0;
}

// ------------------------------------------------------------- gold and items

int GiveGold(CScriptCall& call)
{
    const std::int32_t amount = call.Number(1);
    CGame& game = call.Game();
    if (amount >= 1)
        game.AddMessage(kMessageGold, "The party has gained " + std::to_string(amount) + " gold.");
    else
        game.AddMessage(kMessageGold,
                        "The party has lost " + std::to_string(-std::int64_t(amount)) + " gold.");
    game.AddGold(amount);
    return 0;
}

int GiveItem(CScriptCall& call)
{
    static const std::string kGained = "The party has gained an item.";
    const std::string name = call.Text(1);
    CActor& actor = ContextActor(call);
    CGame& game = call.Game();
    // The message is the game's to charge; the item, the call's.
    call.Keep(ScriptHost::kRecordBytes);
    const std::shared_ptr<CItem> item =
        call.Module().CreateItem(name, 1, game.NewThingId(kThingKindItem), 0);
    item->SetHolder(actor.Id());
    actor.AddBackpackItem(item);
    game.AddMessage(kMessageInfo, kGained);
    call.Engine().OnItemAcquired(*item);
    return 0;
}

int RemoveItem(CScriptCall& call)
{
    const CFoundItem found = FindPartyItem(call.Game(), call.Text(1));
    if (found.item == nullptr)
        return call.Return(false);
    if (found.slot >= 0)
        found.holder->TakeEquippedItem(static_cast<std::uint32_t>(found.slot));
    else
        found.holder->RemoveBackpackItem(found.item);
    return call.Return(true);
}

int HasItem(CScriptCall& call)
{
    return call.Return(FindPartyItem(call.Game(), call.Text(1)).item != nullptr);
}

int GetGold(CScriptCall& call)
{
    const CActor* actor = call.Who(1);
    return call.Return(actor == nullptr ? call.Game().GetGold() : 0);
}

// ------------------------------------------------------------- actors

int GetLevel(CScriptCall& call)
{
    const CActor* actor = call.Who(1);
    return call.Return(actor == nullptr ? 0 : static_cast<std::int32_t>(actor->GetLevel()));
}

int GetName(CScriptCall& call)
{
    const CActor* actor = call.Who(1);
    return call.Return(actor == nullptr ? std::string() : actor->GetTalkName());
}

int IsDead(CScriptCall& call)
{
    const CActor* actor = call.Who(1);
    return call.Return(actor != nullptr && actor->IsDead());
}

int GetTime(CScriptCall& call)
{
    return call.Return(static_cast<std::int32_t>(call.Game().GetTick() / kTicksPerSecond));
}

// ------------------------------------------------------------- factions

int HasFaction(CScriptCall& call)
{
    const CActor* actor = call.Context().actor;
    return call.Return(actor != nullptr && actor->GetFaction() != nullptr);
}

int GetFactionRank(CScriptCall& call)
{
    const std::string name = call.Text(1);
    const CActor* actor = call.Context().actor;
    if (actor == nullptr || actor->GetFaction() == nullptr ||
        actor->GetFaction()->GetName() != name)
        return call.Return(std::int32_t(0));
    return call.Return(static_cast<std::int32_t>(actor->GetFactionRank() + 1));
}

int SetFactionRank(CScriptCall& call)
{
    const std::string name = call.Text(1);
    const std::int32_t rank = call.Number(2);
    CActor& actor = ContextActor(call);
    CGame& game = call.Game();
    const CModule& module = call.Module();
    if (rank >= 1)
    {
        const CFaction* faction = module.FindFaction(name);
        if (faction == nullptr)
            throw CVARDException(1, "no faction " + VARDCommon::QuoteForMessage(name));
        const auto stored = static_cast<std::uint32_t>(rank - 1);
        game.AddMessage(kMessageInfo, actor.GetTalkName() + " has been promoted to the rank of " +
                                          faction->GetRankTitle(stored) + ".");
        actor.SetFaction(faction, stored);
        actor.LearnQualifyingSpells(module, &game);
        actor.LearnFactionSpells(module, &game);
    }
    else if (rank == 0 && actor.GetFaction() != nullptr)
    {
        game.AddMessage(kMessageInfo, actor.GetTalkName() + " has been expelled from the faction " +
                                          actor.GetFaction()->GetDisplayName() + ".");
        actor.SetFaction(nullptr, 0);
    }
    return 0;
}

// ------------------------------------------------------------- registration

struct CFunctionSpec
{
    const char* name;
    int (*body)(CScriptCall&);
    bool talkOnly;
    // A game failure leaves the run as it is instead of "internal error".
    bool passesFailures;
};

constexpr bool kTalk = true;
constexpr bool kAny = false;
constexpr bool kPasses = true;
constexpr bool kCaught = false;

constexpr std::array<CFunctionSpec, 44> kFunctions{{
    {"vard_talk", Talk, kTalk, kPasses},
    {"vard_chatter", Chatter, kAny, kCaught},
    {"vard_shout", Shout, kAny, kCaught},
    {"vard_add_talk_path", AddTalkPath, kTalk, kCaught},
    {"vard_is_in_party", IsInParty, kAny, kPasses},
    {"vard_is_main_actor", IsMainActor, kAny, kCaught},
    {"vard_goto_state", GotoState, kTalk, kCaught},
    {"vard_diplomacy_check", DiplomacyCheck, kTalk, kCaught},
    {"vard_end_talk", EndTalk, kTalk, kPasses},
    {"vard_set_tag", SetTag, kAny, kCaught},
    {"vard_set_tag_value", SetTagValue, kAny, kCaught},
    {"vard_journal", Journal, kAny, kCaught},
    {"vard_join_party", JoinParty, kTalk, kCaught},
    {"vard_goto_area", GotoArea, kAny, kCaught},
    {"vard_leave_party", LeaveParty, kAny, kCaught},
    {"vard_get_special_stat", GetSpecialStat, kAny, kCaught},
    {"vard_rest", Rest, kAny, kCaught},
    {"vard_set_resurrection", SetResurrection, kAny, kCaught},
    {"vard_set_return", SetReturn, kAny, kCaught},
    {"vard_remove_actor", RemoveActor, kTalk, kCaught},
    {"vard_check_assigned", CheckAssigned, kAny, kCaught},
    {"vard_assign_quest", AssignQuest, kAny, kCaught},
    {"vard_store", Store, kTalk, kCaught},
    {"vard_check_tag", CheckTag, kAny, kCaught},
    {"vard_get_tag_value", GetTagValue, kAny, kCaught},
    {"vard_reveal_area", RevealArea, kAny, kCaught},
    {"vard_message", Message, kAny, kCaught},
    {"vard_give_gold", GiveGold, kAny, kCaught},
    {"vard_give_item", GiveItem, kAny, kCaught},
    {"vard_remove_item", RemoveItem, kAny, kCaught},
    {"vard_has_item", HasItem, kAny, kCaught},
    {"vard_attack", Attack, kAny, kCaught},
    {"vard_get_level", GetLevel, kAny, kPasses},
    {"vard_get_gold", GetGold, kAny, kPasses},
    {"vard_win", Win, kAny, kCaught},
    {"vard_dialog_box", DialogBox, kAny, kCaught},
    {"vard_has_faction", HasFaction, kAny, kPasses},
    {"vard_get_faction_rank", GetFactionRank, kAny, kPasses},
    {"vard_set_faction_rank", SetFactionRank, kAny, kCaught},
    {"vard_get_name", GetName, kAny, kCaught},
    {"vard_empty_party", EmptyParty, kAny, kCaught},
    {"vard_is_dead", IsDead, kAny, kCaught},
    {"vard_is_in_area", IsInArea, kAny, kCaught},
    {"vard_get_time", GetTime, kAny, kPasses},
}};

bool IsOwnContext(lua_State* state, const ScriptHost::CScriptRun& run)
{
    return lua_type(state, 1) == LUA_TLIGHTUSERDATA && lua_touserdata(state, 1) == run.context;
}

// A call costs steps, and texts a script hands the game are bounded one by
// one. What the game keeps of them the game charges, as it keeps it.
void CountHandedBytes(lua_State* state)
{
    using namespace ScriptHost;
    Charge(state, kGameCallSteps);
    for (int index = 2; index <= lua_gettop(state); ++index)
        if (lua_type(state, index) == LUA_TSTRING && lua_objlen(state, index) > kMaxTextLength)
            Stop(state, "a text longer than 64 KiB");
}

// Every C++ failure is caught here, inside the function: the Lua error that
// reports it is raised only once the C++ frames are gone. A failure passed
// on, a budget spent by a run this call started, or memory the call could
// not get, ends the script. Memory is no case of its own: kept as the run's
// failure, it halts the run, and the host stops the run as out of memory
// once the state is closed, as for its own allocations.
int CallFunction(lua_State* state, const CFunctionSpec& entry)
{
    using namespace ScriptHost;
    CScriptRun& run = RunOf(state);
    const char* error = nullptr;
    int results = 0;
    if (!IsOwnContext(state, run))
        error = kNoContextError;
    else if (entry.talkOnly && run.context->target == nullptr)
        error = kNotTalkError;
    else
    {
        CountHandedBytes(state);
        CScriptBudget& budget = *run.budget;
        ++budget.openCalls;
        try
        {
            CScriptCall call(state, *run.context);
            results = entry.body(call);
        }
        catch (const CScriptArgError& argError)
        {
            error = argError.text;
        }
        catch (const CScriptStopped&)
        {
            // The budget is marked spent: the stop is raised below.
        }
        catch (const CVARDException&)
        {
            error = kInternalError;
            if (entry.passesFailures)
                run.pending = std::current_exception();
        }
        catch (const std::exception&)
        {
            error = kInternalError;
            run.pending = std::current_exception();
        }
        // A stop due once the function returned comes when the outermost
        // one does: the runs a function starts complete with it.
        if (--budget.openCalls == 0 && budget.pendingReason != nullptr)
            MarkStopped(budget, budget.pendingReason);
    }
    PassOnStop(state);
    if (error != nullptr)
    {
        lua_pushstring(state, error);
        return lua_error(state);
    }
    return results;
}

template <std::size_t Index> int Dispatch(lua_State* state)
{
    return CallFunction(state, kFunctions[Index]);
}

template <std::size_t... Index> void RegisterAll(lua_State* state, std::index_sequence<Index...>)
{
    ((lua_pushcclosure(state, Dispatch<Index>, 0),
      lua_setfield(state, LUA_GLOBALSINDEX, kFunctions[Index].name)),
     ...);
}

} // namespace

void CLuaScript::RegisterFunctions(lua_State* state)
{
    RegisterAll(state, std::make_index_sequence<kFunctions.size()>());
}

} // namespace VARD
