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
#include <new>
#include <stdexcept>
#include <utility>

namespace VARD
{

namespace
{

using ScriptHost::CScriptCall;

constexpr std::uint32_t kDiplomacyStat = 2;
constexpr std::int32_t kDiplomacyRoll = 50;

// ------------------------------------------------------------- helpers

// Lines said by a person the party keeps a people-journal entry for go into
// that entry too, but only while the party stands in an area.
void AddToPeopleJournal(CGame& game, const CThing* speaker, const std::string& line)
{
    const auto* actor = dynamic_cast<const CActor*>(speaker);
    if (game.GetCurrentArea() == nullptr || actor == nullptr)
        return;
    const std::string key = actor->GetPeopleJournalKey();
    if (key.empty())
        return;
    game.AddPeopleJournalLine(*actor, key, actor->GetSecondText(), line);
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
        throw CVARDException(1, "no quest \"" + name + "\"");
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

// Names are expanded after the texts a call hands over were counted: what
// they add counts too, weighed before the longer text is built.
void ExpandNames(const CScriptCall& call, std::string& text)
{
    using namespace ScriptHost;
    CScriptBudget& budget = call.Budget();
    const std::size_t before = text.size();
    const std::size_t room = kGameBytesBudget - std::min(budget.gameBytes, kGameBytesBudget);
    if (!call.Game().ExpandNameTokens(text, before + room))
        call.Stop("more than 1 MiB handed to the game with names expanded");
    if (text.size() > before)
        budget.gameBytes += text.size() - before;
}

// ------------------------------------------------------------- conversation

int Talk(CScriptCall& call)
{
    const std::string text = call.Text(1);
    CGame& game = call.Game();
    std::string line = call.PartnerTalk().GetTalkName() + " : " + text;
    ExpandNames(call, line);
    game.AddMessage(kMessageInfo, line);
    AddToPeopleJournal(game, call.Context().target, line);
    return 0;
}

int Chatter(CScriptCall& call)
{
    CActor& speaker = call.OneActor(1);
    const std::string text = call.Text(2);
    CGame& game = call.Game();
    const std::string line = speaker.GetTalkName() + " : " + text;
    game.AddMessage(kMessageInfo, line);
    AddToPeopleJournal(game, &speaker, line);
    return 0;
}

int Shout(CScriptCall& call)
{
    CActor& speaker = call.OneActor(1);
    const std::string text = call.Text(2);
    CGame& game = call.Game();
    std::string line = speaker.GetTalkName() + " : " + text;
    ExpandNames(call, line);
    game.PostEvent(std::make_shared<CDialogBoxEvent>(speaker.GetTalkName(), line));
    game.AddMessage(kMessageInfo, line);
    AddToPeopleJournal(game, &speaker, line);
    return 0;
}

int AddTalkPath(CScriptCall& call)
{
    std::string text = call.Text(1);
    std::string stateName = call.Text(2);
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

int SetTag(CScriptCall& call)
{
    call.Engine().CompleteQuest(call.SavedName(1), 1);
    return 0;
}

int SetTagValue(CScriptCall& call)
{
    const std::string tag = call.SavedName(1);
    call.Engine().CompleteQuest(tag, call.Number(2));
    return 0;
}

int Journal(CScriptCall& call)
{
    const std::string first = call.SavedName(1);
    const std::string second = call.Text(2);
    call.Game().UpdateJournal(second, first);
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
    if (!quest.GetRequiredTag().empty())
        game.SetQuestTag(quest.GetRequiredTag(), 1);
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
    game.SetState(kGameTravelByScript);
    game.SetTravel(area, entry);
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
    game.SetState(kGameRestNeeded);
    game.SetTravel(area, entry);
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
    game.SetEntered(CurrentArea(game).GetName(), entry);
    return 0;
}

int RevealArea(CScriptCall& call)
{
    call.Game().RevealArea(call.SavedName(1));
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
    ExpandNames(call, text);
    game.SetState(kGameWon);
    game.SetVictoryText(text);
    return 0;
}

int DialogBox(CScriptCall& call)
{
    std::string title = call.Text(1);
    std::string text = call.Text(2);
    CGame& game = call.Game();
    ExpandNames(call, text);
    game.PostEvent(std::make_shared<CDialogBoxEvent>(std::move(title), std::move(text)));
    return 0;
}

// ------------------------------------------------------------- gold and items

int GiveGold(CScriptCall& call)
{
    const std::int32_t amount = call.Number(1);
    CGame& game = call.Game();
    game.AddGold(amount);
    if (amount >= 1)
        game.AddMessage(kMessageGold, "The party has gained " + std::to_string(amount) + " gold.");
    else
        game.AddMessage(kMessageGold,
                        "The party has lost " + std::to_string(-std::int64_t(amount)) + " gold.");
    return 0;
}

int GiveItem(CScriptCall& call)
{
    const std::string name = call.Text(1);
    CActor& actor = ContextActor(call);
    CGame& game = call.Game();
    const std::shared_ptr<CItem> item =
        call.Module().CreateItem(name, 1, game.NewThingId(kThingKindItem), 0);
    item->SetHolder(actor.Id());
    actor.AddBackpackItem(item);
    game.AddMessage(kMessageInfo, "The party has gained an item.");
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
            throw CVARDException(1, "no faction \"" + name + "\"");
        const auto stored = static_cast<std::uint32_t>(rank - 1);
        actor.SetFaction(faction, stored);
        game.AddMessage(kMessageInfo, actor.GetTalkName() + " has been promoted to the rank of " +
                                          faction->GetRankTitle(stored) + ".");
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
    // The call hands the game texts or makes records that stay in it.
    bool keeps;
};

constexpr bool kTalk = true;
constexpr bool kAny = false;
constexpr bool kPasses = true;
constexpr bool kCaught = false;
constexpr bool kKeeps = true;
constexpr bool kReads = false;

constexpr std::array<CFunctionSpec, 44> kFunctions{{
    {"vard_talk", Talk, kTalk, kPasses, kKeeps},
    {"vard_chatter", Chatter, kAny, kCaught, kKeeps},
    {"vard_shout", Shout, kAny, kCaught, kKeeps},
    {"vard_add_talk_path", AddTalkPath, kTalk, kCaught, kKeeps},
    {"vard_is_in_party", IsInParty, kAny, kPasses, kReads},
    {"vard_is_main_actor", IsMainActor, kAny, kCaught, kReads},
    {"vard_goto_state", GotoState, kTalk, kCaught, kReads},
    {"vard_diplomacy_check", DiplomacyCheck, kTalk, kCaught, kKeeps},
    {"vard_end_talk", EndTalk, kTalk, kPasses, kReads},
    {"vard_set_tag", SetTag, kAny, kCaught, kKeeps},
    {"vard_set_tag_value", SetTagValue, kAny, kCaught, kKeeps},
    {"vard_journal", Journal, kAny, kCaught, kKeeps},
    {"vard_join_party", JoinParty, kTalk, kCaught, kKeeps},
    {"vard_goto_area", GotoArea, kAny, kCaught, kKeeps},
    {"vard_leave_party", LeaveParty, kAny, kCaught, kKeeps},
    {"vard_get_special_stat", GetSpecialStat, kAny, kCaught, kReads},
    {"vard_rest", Rest, kAny, kCaught, kKeeps},
    {"vard_set_resurrection", SetResurrection, kAny, kCaught, kKeeps},
    {"vard_set_return", SetReturn, kAny, kCaught, kKeeps},
    {"vard_remove_actor", RemoveActor, kTalk, kCaught, kKeeps},
    {"vard_check_assigned", CheckAssigned, kAny, kCaught, kReads},
    {"vard_assign_quest", AssignQuest, kAny, kCaught, kKeeps},
    {"vard_store", Store, kTalk, kCaught, kKeeps},
    {"vard_check_tag", CheckTag, kAny, kCaught, kReads},
    {"vard_get_tag_value", GetTagValue, kAny, kCaught, kReads},
    {"vard_reveal_area", RevealArea, kAny, kCaught, kKeeps},
    {"vard_message", Message, kAny, kCaught, kKeeps},
    {"vard_give_gold", GiveGold, kAny, kCaught, kKeeps},
    {"vard_give_item", GiveItem, kAny, kCaught, kKeeps},
    {"vard_remove_item", RemoveItem, kAny, kCaught, kReads},
    {"vard_has_item", HasItem, kAny, kCaught, kReads},
    {"vard_attack", Attack, kAny, kCaught, kKeeps},
    {"vard_get_level", GetLevel, kAny, kPasses, kReads},
    {"vard_get_gold", GetGold, kAny, kPasses, kReads},
    {"vard_win", Win, kAny, kCaught, kKeeps},
    {"vard_dialog_box", DialogBox, kAny, kCaught, kKeeps},
    {"vard_has_faction", HasFaction, kAny, kPasses, kReads},
    {"vard_get_faction_rank", GetFactionRank, kAny, kPasses, kReads},
    {"vard_set_faction_rank", SetFactionRank, kAny, kCaught, kKeeps},
    {"vard_get_name", GetName, kAny, kCaught, kReads},
    {"vard_empty_party", EmptyParty, kAny, kCaught, kKeeps},
    {"vard_is_dead", IsDead, kAny, kCaught, kReads},
    {"vard_is_in_area", IsInArea, kAny, kCaught, kReads},
    {"vard_get_time", GetTime, kAny, kPasses, kReads},
}};

bool IsOwnContext(lua_State* state, const ScriptHost::CScriptRun& run)
{
    return lua_type(state, 1) == LUA_TLIGHTUSERDATA && lua_touserdata(state, 1) == run.context;
}

// A call costs steps; texts a script hands the game are bounded one by one,
// and so is all that the calls of one budget leave in the game.
void CountHandedBytes(lua_State* state, const CFunctionSpec& entry)
{
    using namespace ScriptHost;
    Charge(state, kGameCallSteps);
    std::size_t bytes = kRecordBytes;
    for (int index = 2; index <= lua_gettop(state); ++index)
    {
        if (lua_type(state, index) != LUA_TSTRING)
            continue;
        const std::size_t length = lua_objlen(state, index);
        if (length > kMaxTextLength)
            Stop(state, "a text longer than 64 KiB");
        bytes += length;
    }
    if (!entry.keeps)
        return;
    CScriptBudget& budget = *RunOf(state).budget;
    budget.gameBytes += bytes;
    if (budget.gameBytes > kGameBytesBudget)
        Stop(state, "more than 1 MiB handed to the game");
}

// Every C++ failure is caught here, inside the function: the Lua error that
// reports it is raised only once the C++ frames are gone. A failure passed
// on, a budget spent by a run this call started, or memory the call could
// not get, ends the script.
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
        CountHandedBytes(state, entry);
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
        catch (const std::bad_alloc&)
        {
            MarkStopped(*run.budget, kOutOfMemoryReason);
        }
        catch (const std::length_error&)
        {
            MarkStopped(*run.budget, kOutOfMemoryReason);
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
