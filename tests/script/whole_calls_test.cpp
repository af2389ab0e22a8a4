// A run stopped at its budget never leaves a game function half done: each
// function that makes the game keep text is swept through every byte of room
// its cost can leave, and after each run the game is either as it was before
// the call or as a clean call leaves it, but for the lines and boxes shown to
// the player that the budget could not pay for.

#include "script_test_util.h"

#include "script/script_run.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/faction.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/quest.h"
#include "world/spell.h"
#include "world/talk_state.h"

#include <functional>
#include <numeric>
#include <optional>
#include <sstream>

// Named apart: the test files of a suite are compiled together.
namespace WholeCallsTest
{
namespace
{

using VARD::ScriptHost::kGameBytesBudget;
using VARD::ScriptHost::kRecordBytes;

const std::string kHandedTooMuch = "code 6: script stopped: more than 1 MiB handed to the game";

// What the game shows the player of a call, in order: its message lines and
// boxes, each with what it costs to keep.
struct CShown
{
    std::vector<std::string> texts;
    std::vector<std::size_t> costs;
};

// One game of the sweep: the demo's town, the module read once.
class CSweepGame
{
public:
    CSweepGame()
    {
        VARD::InstallLuaScriptHost();
        m_Engine.LoadModule(VARD_DEMO_MODULE);
    }

    VARD::CEngine& Start()
    {
        SeedRandom(1);
        const auto hero = m_Engine.NewGame();
        hero->SetName("Hero");
        hero->SetGraphicName("human_male");
        m_Engine.SetMainCharacter(hero);
        m_Engine.EnterArea();
        VARD::CGame& game = m_Engine.Game();
        while (game.PopEvent())
        {
        }
        // The travel texts are set afresh by the calls that set them.
        game.SetTravel("", "");
        return m_Engine;
    }

private:
    VARD::CEngine m_Engine;
};

VARD::CActor& Merchant(VARD::CEngine& engine)
{
    return ScriptTest::TownActor(engine, "merchant");
}

// Everything a game function may change but the lines and boxes it shows.
std::string Snapshot(VARD::CEngine& engine, const VARD::CScriptContext& context)
{
    VARD::CGame& game = engine.Game();
    std::ostringstream out;
    out << "state " << game.GetState() << " gold " << game.GetGold() << " combat "
        << game.GetCombatFlag() << " next thing " << game.GetNextThingNumber() << '\n';
    out << "travel " << game.GetTravelArea() << '/' << game.GetTravelEntry() << " resurrection "
        << game.GetResurrectionArea() << '/' << game.GetResurrectionEntry() << " return "
        << game.GetEnteredArea() << '/' << game.GetEnteredEntry() << " exit script "
        << (game.GetExitScript() != nullptr) << " victory " << game.GetVictoryText() << '\n';
    for (const auto& member : game.GetParty())
    {
        out << "member " << member->GetName() << " place " << member->GetPartyIndex()
            << " attitude " << member->GetAttitude() << " level " << member->GetLevel() << " xp "
            << member->GetExperience() << " hp " << member->GetHitPointBase() << " faction "
            << member->GetFactionName() << ' ' << member->GetFactionRank() << " spells";
        for (const VARD::CSpell* spell : member->GetSpells())
            out << ' ' << spell->GetKey();
        out << " carries";
        for (const auto& item : member->GetBackpackItems())
            out << ' ' << item->GetTemplate()->GetName() << 'x' << item->GetValue1();
        out << '\n';
    }
    out << "area";
    for (const auto& actor : game.GetCurrentArea()->Actors())
        out << ' ' << actor->Id();
    out << '\n';
    for (const auto& [tag, value] : game.GetQuestTags())
        out << "tag " << tag << '=' << value << '\n';
    for (const auto& entry : game.GetJournal())
        out << "journal " << entry->questName << '/' << entry->textName << '\n';
    for (const auto& [key, person] : game.GetPeople())
    {
        out << "person " << key << ' ' << person->displayName << ' ' << person->text;
        for (const auto& line : person->lines)
            out << " | " << line;
        out << '\n';
    }
    for (const auto& [place, value] : game.GetRevealed())
        out << "revealed " << place << '\n';
    for (const auto& choice : Merchant(engine).GetTalkQueue())
        out << "choice " << choice->GetText() << " -> " << choice->GetStateName() << '\n';
    out << "talk next " << context.nextState << " end " << context.endTalk << '\n';
    return out.str();
}

// Takes the game's events: the others go into the snapshot, the shown ones
// (but the fill's lines) into `shown`.
void TakeEvents(VARD::CGame& game, std::size_t fillLines, std::string& snapshot, CShown& shown)
{
    while (const auto event = game.PopEvent())
    {
        if (const auto* message = dynamic_cast<const VARD::CMessageEvent*>(event.get()))
        {
            if (fillLines > 0)
            {
                --fillLines;
                continue;
            }
            shown.texts.push_back(std::to_string(message->GetKind()) + ' ' + message->GetText());
        }
        else if (const auto* box = dynamic_cast<const VARD::CDialogBoxEvent*>(event.get()))
            shown.texts.push_back("box " + box->GetFirstText() + " / " + box->GetSecondText());
        else
        {
            snapshot += "event " + std::to_string(event->GetKind());
            if (const auto* info = dynamic_cast<const VARD::CActorInfoEvent*>(event.get()))
                snapshot += " actor " + std::to_string(info->GetActorId());
            snapshot += '\n';
            continue;
        }
        shown.costs.push_back(kRecordBytes + event->KeptBytes());
    }
    EXPECT_EQ(fillLines, 0u) << "the fill's lines were not all shown";
}

struct COutcome
{
    std::string failure;
    std::string snapshot;
    CShown shown;
};

struct CCall
{
    const char* what;
    // Statements run with the talk partner as context's target when talk.
    std::string call;
    bool talk = false;
    // Outside any run, before the call.
    std::function<void(VARD::CEngine&)> setup = [](VARD::CEngine&) {};
};

COutcome RunCall(CSweepGame& sweep, const CCall& c, std::optional<std::size_t> room,
                 std::string* before = nullptr)
{
    VARD::CEngine& engine = sweep.Start();
    c.setup(engine);
    VARD::CScriptContext context;
    context.actor = engine.Game().GetParty().front().get();
    if (c.talk)
        context.target = &Merchant(engine);
    std::string snapshot = Snapshot(engine, context);
    CShown none;
    TakeEvents(engine.Game(), 0, snapshot, none);
    if (before != nullptr)
        *before = std::move(snapshot);
    const ScriptTest::CFill fill =
        room ? ScriptTest::FillWith(kGameBytesBudget - *room) : ScriptTest::CFill{};
    VARD::CLuaScript script("function vard_script( context )\n" + fill.body + c.call + "\nend\n");
    COutcome outcome;
    try
    {
        script.Run(&engine, context);
    }
    catch (const CVARDException& error)
    {
        outcome.failure = error.Describe();
    }
    outcome.snapshot = Snapshot(engine, context);
    TakeEvents(engine.Game(), fill.lines, outcome.snapshot, outcome.shown);
    return outcome;
}

std::size_t Sum(const std::vector<std::size_t>& costs)
{
    return std::accumulate(costs.begin(), costs.end(), std::size_t{0});
}

// Sweeps the call with the room left to every byte from more than its cost
// down to none. The cost is what a clean call newly keeps: the lines and boxes
// it shows, and `kept`, worked out here from the call's texts, for the rest
// (records and texts of the game's state, events not shown, choices, items).
// No byte less than the cost lets the call go without a stop. Stops at the
// first room that fails, with what failed.
void Sweep(CSweepGame& sweep, const CCall& call, std::size_t kept)
{
    SCOPED_TRACE(call.what);
    std::string before;
    const COutcome clean = RunCall(sweep, call, std::nullopt, &before);
    ASSERT_EQ(clean.failure, "");
    const std::size_t cost = kept + Sum(clean.shown.costs);
    std::size_t lastShown = clean.shown.texts.size();
    bool begun = true;
    for (std::size_t room = cost + 1;; --room)
    {
        const COutcome run = RunCall(sweep, call, room);
        const bool after = run.snapshot == clean.snapshot;
        const auto& shown = run.shown.texts;
        std::string fault;
        if (run.failure != (room >= cost ? "" : kHandedTooMuch))
            fault = "the run ended with \"" + run.failure + "\"";
        else if (!after && run.snapshot != before)
            fault = "the game is neither as before the call nor as after it:\n" + run.snapshot;
        else if (!after && !shown.empty())
            fault = "a call not begun showed lines";
        else if (after && !begun)
            fault = "the call is whole with less room than it was not begun with";
        else if (shown.size() > clean.shown.texts.size() ||
                 !std::equal(shown.begin(), shown.end(), clean.shown.texts.begin()))
            fault = "the lines shown are not the clean call's first ones";
        else if (Sum(run.shown.costs) > room)
            fault = "lines were shown that the room did not pay for";
        else if (shown.size() > lastShown || (room >= cost && shown != clean.shown.texts))
            fault = "more room showed fewer lines";
        if (!fault.empty())
        {
            ADD_FAILURE() << "room " << room << " of a cost of " << cost << ": " << fault;
            return;
        }
        begun = after;
        lastShown = shown.size();
        if (room == 0)
            return;
    }
}

const std::size_t R = kRecordBytes;

std::size_t SizeOf(const char* text)
{
    return std::string(text).size();
}

TEST(WholeCalls, TalkAndMessagesAtEveryByteOfTheirBudget)
{
    CSweepGame sweep;
    std::size_t personBytes = 0;
    {
        VARD::CEngine& engine = sweep.Start();
        const VARD::CActor& merchant = Merchant(engine);
        personBytes = engine.Game().NewPersonBytes(merchant, merchant.GetPeopleJournalKey(),
                                                   merchant.GetSecondText());
        // A person's entry keeps the key, the name and the person's text.
        ASSERT_EQ(personBytes, R + merchant.GetPeopleJournalKey().size() +
                                   merchant.GetTalkName().size() + merchant.GetSecondText().size());
    }
    const std::size_t said = SizeOf("Merchant : hi");
    const auto metBefore = [](VARD::CEngine& engine)
    {
        const VARD::CActor& merchant = Merchant(engine);
        engine.Game().AddPeopleJournalLine(merchant, merchant.GetPeopleJournalKey(),
                                           merchant.GetSecondText(), "earlier");
    };
    const struct
    {
        CCall call;
        std::size_t kept;
    } rows[] = {
        {{"a message", "vard_message(context, 'hello')"}, 0},
        // The line goes to the person's entry as well, made with the first.
        {{"talk to a person met for the first time", "vard_talk(context, 'hi')", true},
         R + said + personBytes},
        {{"talk to a person met before", "vard_talk(context, 'hi')", true, metBefore}, R + said},
        {{"a person's shout", "vard_shout(context, 'target', 'hi')", true}, R + said + personBytes},
        {{"the hero's chatter", "vard_chatter(context, 'actor', 'hi')"}, 0},
        {{"a choice", "vard_add_talk_path(context, 'pick', 's')", true}, R + 4 + 1},
        {{"a diplomacy check", "vard_diplomacy_check(context, 10, 'a', 'b')", true}, 0},
        {{"a box", "vard_dialog_box(context, 'title', 'text')"}, 0},
        {{"gold", "vard_give_gold(context, 5)"}, 0},
        {{"a victory", "vard_win(context, 'MAINNAME won')"}, SizeOf("Hero won")},
    };
    for (const auto& row : rows)
        Sweep(sweep, row.call, row.kept);
}

TEST(WholeCalls, TagsJournalPlacesAndTravelAtEveryByteOfTheirBudget)
{
    CSweepGame sweep;
    const struct
    {
        CCall call;
        std::size_t kept;
    } rows[] = {
        {{"a new tag", "vard_set_tag(context, 'newtag')"}, R + 6},
        // A tag, entry or place already there keeps nothing new.
        {{"a tag already there", "vard_set_tag_value(context, 'counter', 7)", false,
          [](VARD::CEngine& engine) { engine.Game().SetQuestTag("counter", 3); }},
         0},
        {{"a new journal entry", "vard_journal(context, 'text', 'quest')"}, R + 5 + 4},
        {{"a journal entry already there", "vard_journal(context, 'text', 'quest')", false,
          [](VARD::CEngine& engine) { engine.Game().UpdateJournal("quest", "text"); }},
         0},
        {{"a quest assigned", "vard_assign_quest(context, 'cellar_rats')"},
         R + SizeOf("cellar_rats_assigned")},
        {{"a new place", "vard_reveal_area(context, 'place')"}, R + 5},
        {{"a place already revealed", "vard_reveal_area(context, 'place')", false,
          [](VARD::CEngine& engine) { engine.Game().RevealArea("place"); }},
         0},
        {{"a journey", "vard_goto_area(context, 'forest', 'road')"}, 6 + 4},
        {{"a rest", "vard_rest(context, 'gate')"}, SizeOf("town") + 4},
        {{"a place of resurrection", "vard_set_resurrection(context, 'town', 'temple')"}, 4 + 6},
        {{"a place of return", "vard_set_return(context, 'gate')"}, SizeOf("town") + 4},
    };
    for (const auto& row : rows)
        Sweep(sweep, row.call, row.kept);
}

TEST(WholeCalls, PartyItemsAndQuestsAtEveryByteOfTheirBudget)
{
    CSweepGame sweep;
    // The merchant, made a priest of the temple, learns the spells the rank
    // teaches as he joins, and carries a purse of 7 and one of 30.
    const auto priestWithPurses = [](VARD::CEngine& engine)
    {
        VARD::CActor& merchant = Merchant(engine);
        merchant.SetFaction(engine.GetModule()->FindFaction("temple"), 2);
        for (const std::uint32_t coins : {7u, 30u})
            merchant.AddBackpackItem(engine.GetModule()->CreateItem(
                "gold", coins, engine.Game().NewThingId(VARD::kThingKindItem), 0));
    };
    const auto joined = [&](VARD::CEngine& engine)
    {
        priestWithPurses(engine);
        VARD::CScriptContext context;
        context.actor = engine.Game().GetParty().front().get();
        context.target = &Merchant(engine);
        ScriptTest::RunBody(&engine, "vard_join_party(context)", context);
    };
    // A quest done once, whose condition's tag set again completes it again,
    // for enough experience to raise the hero two levels; the hero is a guard
    // whose rank teaches a spell the refresh after the quest hands on.
    const auto questToRedo = [](VARD::CEngine& engine)
    {
        engine.GetModule()->Quests()["feat"] = std::make_shared<VARD::CQuestInfo>(
            "feat", "Feat", 5000, "work", ScriptTest::ReadScript("<lua> return true </lua>"));
        VARD::CGame& game = engine.Game();
        game.SetQuestTag("feat", 0);
        game.SetQuestTag("work", 0);
        game.GetParty().front()->SetFaction(engine.GetModule()->FindFaction("town_guard"), 1);
    };
    const struct
    {
        CCall call;
        std::size_t kept;
    } rows[] = {
        {{"an item", "vard_give_item(context, 'dagger')"}, R},
        // The key's quest tag is new; no quest is assigned that it finishes.
        {{"a quest item", "vard_give_item(context, 'temple_key')"},
         R + R + SizeOf("temple_key_found")},
        // The party-changed event; the lines of the spells the rank teaches
        // and of both purses are shown.
        {{"a member joins", "vard_join_party(context)", true, priestWithPurses}, R},
        {{"a member leaves", "vard_leave_party(context)", true, joined}, R},
        {{"the party emptied", "vard_empty_party(context)", false, joined}, R},
        {{"a promotion", "vard_set_faction_rank(context, 'town_guard', 2)"}, 0},
        {{"a tag that completes a quest", "vard_set_tag(context, 'crypt_entered')"},
         R + SizeOf("crypt_entered") + R + SizeOf("crypt_found")},
        // With the crypt entered, the key's tag has the crypt's quest tested:
        // its test, a script of its own, runs and completes the quest however
        // little room the item's line left.
        {{"a quest item that has another quest completed", "vard_give_item(context, 'temple_key')",
          false, [](VARD::CEngine& engine) { engine.Game().SetQuestTag("crypt_entered", 1); }},
         R + R + SizeOf("temple_key_found") + R + SizeOf("crypt_found")},
        // The quest, its tags there already, stays in the module from here.
        {{"a quest completed again", "vard_set_tag(context, 'work')", false, questToRedo}, 0},
    };
    for (const auto& row : rows)
        Sweep(sweep, row.call, row.kept);
}

} // namespace
} // namespace WholeCallsTest
