// The script host's limits: hostile scripts stop with code 6 at the limit
// they reach, the game goes on, and the limits lie where they are stated.

#include "script_test_util.h"

#include "script/script_run.h"
#include "world/area.h"
#include "world/game.h"
#include "world/module.h"
#include "world/quest.h"
#include "world/spell.h"
#include "world/talk_state.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace
{

using ScriptTest::FailureCode;
using ScriptTest::RunBody;
using VARD::ScriptHost::kMaxNesting;
using VARD::ScriptHost::kStepBudget;

VARD::CActor& Merchant(VARD::CEngine& engine)
{
    return ScriptTest::TownActor(engine, "merchant");
}

// The detail of the failure a run throws; empty when it does not fail.
std::string Failure(VARD::CScript& script, VARD::CEngine& engine, VARD::CScriptContext& context)
{
    try
    {
        script.Run(&engine, context);
    }
    catch (const CVARDException& error)
    {
        return error.Describe();
    }
    return {};
}

std::size_t MessageBytes(VARD::CGame& game)
{
    std::size_t bytes = 0;
    for (const auto& line : RulesTest::DrainMessages(game))
        bytes += line.size();
    return bytes;
}

// A body that loops about the given number of instructions.
std::string Loop(double instructions)
{
    return "for i = 1, " + std::to_string(static_cast<std::uint64_t>(instructions)) + " do end";
}

// The hostile bodies are the script fuzz target's seeds; each names on its
// first line the limit that must stop it.
TEST(ScriptBudget, HostileScriptsStopAtTheirLimitAndTheGameGoesOn)
{
    const auto engine = ScriptTest::EnteredDemoGame();
    int bodies = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(VARD_TEST_DATA) + "/fuzz/seeds"))
    {
        const std::string name = entry.path().filename().string();
        if (name.rfind("script_", 0) != 0)
            continue;
        ++bodies;
        std::ifstream file(entry.path());
        std::string header;
        std::getline(file, header);
        ASSERT_EQ(header.rfind("-- stops: ", 0), 0u) << name;
        const std::string reason = header.substr(10);
        std::stringstream body;
        body << file.rdbuf();

        VARD::CLuaScript script("function vard_script( context )\n" + body.str() + "\nend\n");
        VARD::CScriptContext context;
        context.actor = &RulesTest::Member(*engine);
        context.target = &Merchant(*engine);
        EXPECT_EQ(Failure(script, *engine, context), "code 6: script stopped: " + reason) << name;
        // What reached the game stays within its budget.
        EXPECT_LE(MessageBytes(engine->Game()), VARD::ScriptHost::kGameBytesBudget) << name;
        Merchant(*engine).ClearTalkQueue();
        while (engine->Game().PopEvent())
        {
        }

        EXPECT_EQ(RunBody(engine.get(), "vard_message(context, 'still here') return 7"), 7) << name;
        EXPECT_EQ(RulesTest::DrainMessages(engine->Game()),
                  std::vector<std::string>{"18 still here"})
            << name;
    }
    EXPECT_GE(bodies, 20);
}

TEST(ScriptBudget, StopComesAtTheBudget)
{
    const auto engine = ScriptTest::EnteredDemoGame();
    const double margin = 0.005 * kStepBudget;
    EXPECT_EQ(RunBody(engine.get(), Loop(kStepBudget - margin) + " return 1"), 1);
    EXPECT_EQ(FailureCode(engine.get(), Loop(kStepBudget + margin) + " return 1"), 6);
    // A loop that catches nothing counts the same inside pcall.
    EXPECT_EQ(
        RunBody(engine.get(), "return pcall(function() " + Loop(kStepBudget - margin) + " end)"),
        1);
    EXPECT_EQ(FailureCode(engine.get(),
                          "pcall(function() " + Loop(kStepBudget + margin) + " end) return 1"),
              6);
}

TEST(ScriptBudget, NestedRunsAndOneConversationShareOneBudget)
{
    const std::string twoThirds = Loop(kStepBudget * 2 / 3);
    const auto engine = ScriptTest::EnteredDemoGame();
    engine->GetModule()->Quests()["busy"] = std::make_shared<VARD::CQuestInfo>(
        "busy", "Busy", 10, "work", ScriptTest::ReadScript("<lua> " + twoThirds + " </lua>"));
    // A quest's run alone fits, and so does one started by a short script.
    EXPECT_EQ(RunBody(engine.get(), "vard_set_tag(context, 'work') return 1"), 1);
    engine->Game().SetQuestTag("work", 0);
    // Two thirds here and two thirds in the quest's run do not.
    EXPECT_EQ(
        FailureCode(engine.get(), twoThirds + " pcall(vard_set_tag, context, 'work') return 1"), 6);
    // The next run has a budget of its own.
    EXPECT_EQ(RunBody(engine.get(), twoThirds + " return 1"), 1);

    VARD::CActor& merchant = Merchant(*engine);
    VARD::CActor& hero = RulesTest::Member(*engine);
    const auto state = [](const std::string& name, const std::string& body)
    {
        return std::make_shared<VARD::CTalkState>(
            name, ScriptTest::ReadScript("<lua> " + body + " </lua>"));
    };
    merchant.SetTalkFiles({state("long", twoThirds + " vard_goto_state(context, 'again')"),
                           state("again", twoThirds + " vard_message(context, 'after')"),
                           state("short", "vard_goto_state(context, 'again')")});
    const auto talk = [&](const char* start)
    {
        try
        {
            engine->RunTalkState(hero, *VARD::FindTalkStateByName(merchant.GetTalkFiles(), start),
                                 merchant);
        }
        catch (const CVARDException& error)
        {
            return error.GetCode();
        }
        return 0;
    };
    RulesTest::DrainMessages(engine->Game());
    EXPECT_EQ(talk("long"), 6);
    EXPECT_TRUE(RulesTest::DrainMessages(engine->Game()).empty());
    EXPECT_EQ(talk("short"), 0);
    EXPECT_EQ(RulesTest::DrainMessages(engine->Game()), std::vector<std::string>{"18 after"});
}

TEST(ScriptBudget, NestingSixteenDeepRunsAndSeventeenStops)
{
    // Each run notes its depth in a tag; setting a tag tests the quest, so
    // its script runs one deeper, until the depth asked for.
    for (const int depth : {kMaxNesting, kMaxNesting + 1})
    {
        const auto engine = ScriptTest::EnteredDemoGame();
        const std::string body = "local n = vard_get_tag_value(context, 'depth') + 1 "
                                 "if n < " +
                                 std::to_string(depth) +
                                 " then vard_set_tag_value(context, 'depth', n) end return false";
        engine->GetModule()->Quests()["echo"] = std::make_shared<VARD::CQuestInfo>(
            "echo", "Echo", 10, "", ScriptTest::ReadScript("<lua> " + body + " </lua>"));
        VARD::CScriptContext context;
        const auto script = ScriptTest::ReadScript("<lua> " + body + " </lua>");
        EXPECT_EQ(Failure(*script, *engine, context),
                  depth > kMaxNesting ? "code 6: script stopped: scripts nested too deeply" : "")
            << depth;
        EXPECT_EQ(engine->Game().GetQuestTag("depth"), depth - 1) << depth;
    }
}

TEST(ScriptBudget, ArgumentsAtTheirBounds)
{
    const auto engine = ScriptTest::EnteredDemoGame();
    VARD::CScriptContext context;
    context.actor = &RulesTest::Member(*engine);
    context.target = &Merchant(*engine);
    const std::string longest(VARD::ScriptHost::kMaxTextLength, 'x');
    const struct
    {
        std::string body;
        int code;
        std::vector<std::string> messages;
    } cases[] = {
        // Numbers stand for texts.
        {"vard_message(context, 42) vard_set_tag(context, 7) return vard_check_tag(context, '7')",
         0,
         {"18 42"}},
        {"vard_chatter(context, 'actor', 2.5) return true", 0, {"18 Hero : 2.5"}},
        // "party" names no one actor.
        {"local ok, e = pcall(vard_chatter, context, 'party', 'x') return not ok and e == 'Bad "
         "actor param\\n'",
         0,
         {}},
        {"local ok, e = pcall(vard_shout, context, 'party', 'x') return not ok and e == 'Bad "
         "actor param\\n'",
         0,
         {}},
        {"return vard_get_level(context, 'party') == 0 and vard_get_name(context, 'party') == '' "
         "and vard_is_dead(context, 'party') == false",
         0,
         {}},
        // The longest text passes whole; one byte more stops the run.
        {"vard_message(context, string.rep('x', " + std::to_string(longest.size()) +
             ")) return true",
         0,
         {"18 " + longest}},
        {"pcall(vard_message, context, string.rep('x', " + std::to_string(longest.size() + 1) +
             ")) return true",
         6,
         {}},
    };
    for (const auto& c : cases)
    {
        int code = 0;
        try
        {
            EXPECT_EQ(RunBody(engine.get(), c.body, context), 1) << c.body;
        }
        catch (const CVARDException& error)
        {
            code = error.GetCode();
        }
        EXPECT_EQ(code, c.code) << c.body;
        EXPECT_TRUE(RulesTest::DrainMessages(engine->Game()) == c.messages) << c.body;
    }
}

// A hero's name may be long: the names a text asks for count against what
// the script hands the game, weighed before the longer text is built.
TEST(ScriptBudget, ExpandedNamesCountAgainstWhatIsHanded)
{
    using VARD::ScriptHost::kGameBytesBudget;
    using VARD::ScriptHost::kRecordBytes;
    const auto engine = ScriptTest::EnteredDemoGame();
    VARD::CActor& hero = RulesTest::Member(*engine);
    ASSERT_TRUE(hero.IsMainCharacter());
    const std::string name(100'000, 'n');
    hero.SetName(name);
    VARD::CScriptContext context;
    context.actor = &hero;
    context.target = &Merchant(*engine);

    const auto names = [](std::size_t count)
    { return "string.rep('MAINNAME ', " + std::to_string(count) + ")"; };
    const auto message = [](std::size_t length)
    { return "vard_message(context, string.rep('x', " + std::to_string(length) + ")) "; };
    // A dialog box titled "t" with n names leaves this much in the game.
    const auto boxBytes = [&](std::size_t count)
    { return kRecordBytes + 1 + count * (name.size() + 1) - 1; };
    const std::size_t most = (kGameBytesBudget - kRecordBytes) / (name.size() + 1);
    const std::string box = "vard_dialog_box(context, 't', " + names(most) + ") ";
    // A message that long fills the budget to its last byte beside the box.
    const std::size_t rest = kGameBytesBudget - boxBytes(most) - kRecordBytes;
    ASSERT_LE(rest, VARD::ScriptHost::kMaxTextLength);

    const std::string namesStop =
        "code 6: script stopped: more than 1 MiB handed to the game with names expanded";
    const std::string plainStop = "code 6: script stopped: more than 1 MiB handed to the game";
    const std::string many = names(7000);
    // Sixteen messages, then a box whose text, counted already, is longer
    // than what the budget has left: the run stays within it all the same.
    std::string nearlyFull;
    for (int i = 0; i < 16; ++i)
        nearlyFull += message(60'000);
    const std::string longBox = "vard_dialog_box(context, 't', string.rep('x', 60000)) ";
    ASSERT_LE(16 * (kRecordBytes + 60'000) + kRecordBytes + 1 + 60'000, kGameBytesBudget);
    ASSERT_GT(16 * (kRecordBytes + 60'000) + kRecordBytes + 1 + 2 * 60'000, kGameBytesBudget);
    const struct
    {
        std::string body;
        std::string failure;
    } cases[] = {
        {box + message(rest), ""},
        {nearlyFull + longBox, ""},
        {nearlyFull + message(60'000) + longBox, plainStop},
        // What the names added was counted.
        {box + message(rest + 1), plainStop},
        {message(rest + 1) + box, plainStop},
        {"vard_shout(context, 'actor', " + many + ")", namesStop},
        {"vard_win(context, string.rep('PARTY ', 7000))", namesStop},
        // No catch keeps the run going.
        {"pcall(vard_talk, context, " + many + ") vard_message(context, 'after')", namesStop},
    };
    for (const auto& c : cases)
    {
        VARD::CLuaScript script("function vard_script( context )\n" + c.body + "\nend\n");
        EXPECT_EQ(Failure(script, *engine, context), c.failure) << c.body;
        while (engine->Game().PopEvent())
        {
        }
        EXPECT_NE(engine->Game().GetState(), VARD::kGameWon) << c.body;
        // Play goes on.
        EXPECT_EQ(RunBody(engine.get(), "vard_message(context, 'still here') return 7"), 7)
            << c.body;
        EXPECT_EQ(RulesTest::DrainMessages(engine->Game()),
                  std::vector<std::string>{"18 still here"})
            << c.body;
    }
}

// Every text the game keeps of a call is charged, whatever it came from, once
// for every copy, with a record for each record kept, and text the game makes
// on the call's behalf (a quest completed, a spell learnt) as well. Each call
// runs with the room left to exactly its cost, and then with one byte less.
TEST(ScriptBudget, WhatTheGameKeepsIsChargedCopyByCopy)
{
    using VARD::ScriptHost::kGameBytesBudget;
    const std::size_t R = VARD::ScriptHost::kRecordBytes;
    const std::size_t t = 60'000;
    const std::size_t longName = 100'000;
    const std::string said = " : ";
    std::string merchantName;
    std::size_t entry = 0;
    std::string spell;
    {
        const auto engine = ScriptTest::EnteredDemoGame();
        const VARD::CActor& merchant = Merchant(*engine);
        merchantName = merchant.GetTalkName();
        // A person's entry, made with the first line said to or by them,
        // keeps the key, the name and the person's text.
        ASSERT_NE(merchant.GetPeopleJournalKey(), "");
        ASSERT_EQ(engine->Game().GetPeople().count(merchant.GetPeopleJournalKey()), 0u);
        entry = R + merchant.GetPeopleJournalKey().size() + merchantName.size() +
                merchant.GetSecondText().size();
        spell = engine->GetModule()->FindSpell("s_battle-cry")->GetDisplayName();
    }
    const std::size_t m = merchantName.size();
    const std::string feat(t, 'd');
    const std::size_t promoted =
        std::string(" has been promoted to the rank of Guard.").size() + longName;
    const struct
    {
        const char* what;
        std::size_t heroName;
        std::string call;
        std::size_t cost;
    } rows[] = {
        {"a message", 4, "vard_message(context, X)", R + t},
        // A new entry and the line that reports it.
        {"a journal entry", 4, "vard_journal(context, X, X)",
         R + 2 * t + R + std::string("Your Journal has been updated.").size()},
        {"a tag", 4, "vard_set_tag(context, X)", R + t},
        {"a tag's value", 4, "vard_set_tag_value(context, X, 2)", R + t},
        {"a choice", 4, "vard_add_talk_path(context, X, 's')", R + t + 1},
        {"a journey", 4, "vard_goto_area(context, X, 'e')", t + 1},
        // The area's name, "town", goes with the entry.
        {"a rest", 4, "vard_rest(context, X)", t + 4},
        {"a place of resurrection", 4, "vard_set_resurrection(context, X, 'e')", t + 1},
        {"a place of return", 4, "vard_set_return(context, X)", t + 4},
        {"a place on the map", 4, "vard_reveal_area(context, X)",
         R + t + R + std::string("A new location has been added to your map.").size()},
        {"a box", 4, "vard_dialog_box(context, 'title', X)", R + 5 + t},
        {"a victory", 4, "vard_win(context, X)", t},
        {"an item", 4, "vard_give_item(context, 'dagger')",
         R + R + std::string("The party has gained an item.").size()},
        // The speaker's name goes with each copy of the line, and a shout's
        // box is titled with it.
        {"the hero's chatter", longName, "vard_chatter(context, 'actor', 'x')", R + longName + 4},
        {"the hero's shout", longName, "vard_shout(context, 'actor', 'x')",
         R + longName + 2 * (longName + 4) + R},
        {"talk to a person in the journal", 4, "vard_talk(context, X)",
         2 * (R + m + 3 + t) + entry},
        {"that person's chatter", 4, "vard_chatter(context, 'target', X)",
         2 * (R + m + 3 + t) + entry},
        {"that person's shout", 4, "vard_shout(context, 'target', X)",
         m + 3 * (R + m + 3 + t) + entry},
        // Names expanded count in every copy.
        {"that person's shout of the hero's name", longName,
         "vard_shout(context, 'target', 'MAINNAME')", m + 3 * (R + m + 3 + longName) + entry},
        // The game's own lines: the promotion, and the spell the rank
        // teaches, each under the hero's name.
        {"the hero's promotion", longName, "vard_set_faction_rank(context, 'town_guard', 2)",
         R + promoted + R + longName + std::string(" inscribes .").size() + spell.size()},
        // The quest's tag cleared and its condition's tag set again complete
        // it again: the tags were there already, so only the completion's
        // line with the quest's name and the experience shared are new.
        {"a quest completed again", 4,
         "vard_set_tag_value(context, 'feat', 0) vard_set_tag(context, 'work')",
         (R + std::string("The party has completed a quest for 1xp ().").size() + t) +
             (R + std::string("The party gains 1 experience each.").size())},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.what);
        ASSERT_LE(row.cost + R, kGameBytesBudget);
        for (const std::size_t short_ : {0, 1})
        {
            const auto engine = ScriptTest::EnteredDemoGame();
            VARD::CActor& member = RulesTest::Member(*engine);
            member.SetName(std::string(row.heroName, 'n'));
            engine->GetModule()->Quests()["feat"] = std::make_shared<VARD::CQuestInfo>(
                "feat", feat, 1, "work", ScriptTest::ReadScript("<lua> return true </lua>"));
            engine->Game().SetQuestTag("feat", 1);
            engine->Game().SetQuestTag("work", 0);
            VARD::CScriptContext context;
            context.actor = &member;
            context.target = &Merchant(*engine);
            VARD::CLuaScript script(
                "function vard_script( context )\nlocal X = string.rep('x', " + std::to_string(t) +
                ") " + ScriptTest::FillWith(kGameBytesBudget - row.cost + short_).body + row.call +
                "\nend\n");
            EXPECT_EQ(Failure(script, *engine, context),
                      short_ != 0 ? "code 6: script stopped: more than 1 MiB handed to the game"
                                  : "")
                << "short by " << short_;
            while (engine->Game().PopEvent())
            {
            }
            EXPECT_EQ(RunBody(engine.get(), "vard_message(context, 'still here') return 7"), 7);
        }
    }
}

// The tags, journal, people and places the game keeps for good grow by runs
// up to their bound and no further: what would pass it stops the run, and
// nothing already there is dropped. A tag already set may still change.
TEST(ScriptBudget, TheKeptStateStopsRunsAtItsBound)
{
    const std::size_t R = VARD::kKeptRecordBytes;
    const std::string full = std::string("code 6: script stopped: ") + VARD::kKeptStateFullReason;
    const struct
    {
        const char* call;
        std::size_t cost; // what it adds to the kept state
    } rows[] = {
        {"vard_set_tag(context, 'last')", R + 4},
        {"vard_journal(context, 'text', 'quest')", R + 9},
        {"vard_reveal_area(context, 'place')", R + 5},
        {"vard_assign_quest(context, 'cellar_rats')", R + 20},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.call);
        for (const std::size_t over : {0, 1})
        {
            const auto engine = ScriptTest::EnteredDemoGame();
            VARD::CGame& game = engine->Game();
            // Tags made outside any run fill the state to the call's cost.
            game.SetQuestTag("f", 1);
            game.SetQuestTag(
                std::string(VARD::kKeptStateBytes - game.WeighKeptState() - row.cost + over - R,
                            'f'),
                1);
            const std::size_t before = game.WeighKeptState();
            ASSERT_EQ(before, VARD::kKeptStateBytes - row.cost + over);
            const auto tags = game.GetQuestTags();

            VARD::CLuaScript script(std::string("function vard_script( context )\n") + row.call +
                                    "\nend\n");
            VARD::CScriptContext context;
            EXPECT_EQ(Failure(script, *engine, context), over != 0 ? full : "");
            EXPECT_EQ(game.WeighKeptState(), over != 0 ? before : VARD::kKeptStateBytes);
            if (over != 0)
            {
                // Stopped before it changed anything: no line either.
                EXPECT_EQ(game.GetQuestTags(), tags);
                EXPECT_TRUE(RulesTest::DrainMessages(game).empty());
            }
            // At the bound, a tag already there still takes a new value.
            EXPECT_EQ(RunBody(engine.get(), "vard_set_tag_value(context, 'f', 5) return 1"), 1);
            EXPECT_EQ(game.GetQuestTag("f"), 5);
        }
    }
}

// Every kind of record counts in the kept state: a state filled up to a tag's
// cost by a journal entry, a place, a person or a tag, each made outside any
// run after a first run has weighed the state, takes the tag in the next run,
// and one byte more stops that run before the tag is set.
TEST(ScriptBudget, EveryRecordKindCountsInTheStateEachRunWeighs)
{
    const std::size_t R = VARD::kKeptRecordBytes;
    const std::string full = std::string("code 6: script stopped: ") + VARD::kKeptStateFullReason;
    const std::size_t tagCost = R + 4;
    const std::function<void(VARD::CEngine&, std::size_t)> fillers[] = {
        [](VARD::CEngine& engine, std::size_t bytes)
        { engine.Game().SetQuestTag(std::string(bytes - VARD::kKeptRecordBytes, 't'), 1); },
        [](VARD::CEngine& engine, std::size_t bytes)
        { engine.Game().UpdateJournal("q", std::string(bytes - VARD::kKeptRecordBytes - 1, 'j')); },
        [](VARD::CEngine& engine, std::size_t bytes)
        { engine.Game().RevealArea(std::string(bytes - VARD::kKeptRecordBytes, 'p')); },
        [](VARD::CEngine& engine, std::size_t bytes)
        {
            const VARD::CActor& merchant = Merchant(engine);
            const std::size_t key =
                bytes - VARD::kKeptRecordBytes - merchant.GetTalkName().size() - 1;
            engine.Game().AddPeopleJournalLine(merchant, std::string(key, 'k'), "s", "line");
        },
    };
    int kind = 0;
    for (const auto& fill : fillers)
    {
        SCOPED_TRACE("record kind " + std::to_string(kind++));
        for (const std::size_t over : {0, 1})
        {
            const auto engine = ScriptTest::EnteredDemoGame();
            VARD::CGame& game = engine->Game();
            // A first run weighs the state as it adds to it.
            EXPECT_EQ(RunBody(engine.get(), "vard_set_tag(context, 'first') return 1"), 1);
            fill(*engine, VARD::kKeptStateBytes - game.WeighKeptState() - tagCost + over);
            ASSERT_EQ(game.WeighKeptState(), VARD::kKeptStateBytes - tagCost + over);
            VARD::CLuaScript script("function vard_script( context )\n"
                                    "vard_set_tag(context, 'last')\nend\n");
            VARD::CScriptContext context;
            EXPECT_EQ(Failure(script, *engine, context), over != 0 ? full : "");
            EXPECT_EQ(game.GetQuestTag("last"), over != 0 ? 0 : 1);
        }
    }
}

// A call whose quests, completed on its way, take the state past its bound
// completes with them, and its run stops as it returns; the next run's call
// that would add to the state is stopped before it changes anything.
TEST(ScriptBudget, AQuestCompletedPastTheStatesBoundCompletesAndTheRunStops)
{
    const std::size_t R = VARD::kKeptRecordBytes;
    const std::string full = std::string("code 6: script stopped: ") + VARD::kKeptStateFullReason;
    const auto engine = ScriptTest::EnteredDemoGame();
    VARD::CGame& game = engine->Game();
    engine->GetModule()->Quests()["feat"] = std::make_shared<VARD::CQuestInfo>(
        "feat", "Feat", 1000, "work", ScriptTest::ReadScript("<lua> return true </lua>"));
    game.SetQuestTag("work", 0);
    // One byte short of room for the quest's own tag.
    game.SetQuestTag(
        std::string(VARD::kKeptStateBytes - game.WeighKeptState() - (R + 4) + 1 - R, 'f'), 1);
    VARD::CLuaScript script("function vard_script( context )\n"
                            "vard_set_tag(context, 'work') vard_message(context, 'after')\nend\n");
    VARD::CScriptContext context;
    EXPECT_EQ(Failure(script, *engine, context), full);
    EXPECT_EQ(game.GetQuestTag("work"), 1);
    EXPECT_EQ(game.GetQuestTag("feat"), 1);
    EXPECT_EQ(game.GetParty().front()->GetExperience(), 1000u);
    EXPECT_EQ(game.WeighKeptState(), VARD::kKeptStateBytes + 1);
    // Marked to stop, the run pays for no more lines.
    EXPECT_TRUE(RulesTest::DrainMessages(game).empty());

    const auto tags = game.GetQuestTags();
    EXPECT_EQ(FailureCode(engine.get(), "vard_set_tag(context, 'more') return 1"), 6);
    EXPECT_EQ(FailureCode(engine.get(), "vard_journal(context, 'a', 'b') return 1"), 6);
    EXPECT_EQ(game.GetQuestTags(), tags);
    EXPECT_TRUE(game.GetJournal().empty());
    // Tags already there still change.
    EXPECT_EQ(RunBody(engine.get(), "vard_set_tag_value(context, 'work', 5) return 1"), 1);
    EXPECT_EQ(game.GetQuestTag("work"), 5);
}

// Setting a tag already there keeps nothing new: a counter updated 20,000
// times in one run does not stop it. (The crypt is found, so that no quest's
// test runs, at the steps of a run of its own, with every set.)
TEST(ScriptBudget, ATagUpdatedTwentyThousandTimesInOneRunKeepsNothingNew)
{
    const auto engine = ScriptTest::EnteredDemoGame();
    engine->Game().SetQuestTag("crypt_found", 1);
    VARD::CLuaScript script("function vard_script( context )\n"
                            "for i = 1, 20000 do vard_set_tag_value(context, 'counter', i) end "
                            "return vard_get_tag_value(context, 'counter')\nend\n");
    VARD::CScriptContext context;
    EXPECT_EQ(Failure(script, *engine, context), "");
    EXPECT_EQ(engine->Game().GetQuestTag("counter"), 20000);
}

} // namespace

namespace
{

// The counted pattern functions give what Lua 5.1's own give, and the
// charged library functions still work.
TEST(ScriptBudget, LibraryFunctionsKeepTheirResults)
{
    const auto engine = ScriptTest::EnteredDemoGame();
    const std::string body = R"lua(
local out = { }
local function put( ... )
  local parts = { ... }
  for i = 1 , select( "#" , ... ) do parts[ i ] = tostring( parts[ i ] ) end
  table.insert( out , table.concat( parts , "," ) )
end
put( string.find( "hello world" , "o w" ) )
put( string.find( "hello" , "l+" ) )
put( string.find( "hello" , "xyz" ) )
put( string.find( "a.b" , "." , 1 , true ) )
put( string.find( "abc" , "" , 10 ) )
put( string.find( "abc" , "b" , -1 ) )
put( string.find( "THE (quick) fox" , "%((%a+)%)" ) )
put( string.find( "THE (quick) fox" , "%f[%a]%a+" , 5 ) )
put( string.match( "key = value" , "(%w+)%s*=%s*(%w+)" ) )
put( string.match( "hello" , "()ll()" ) )
put( string.match( "  trim  " , "^%s*(.-)%s*$" ) )
put( string.match( "[[x]]y" , "%b[]" ) )
put( string.match( "aaa" , "a-b" ) , string.match( "aaab" , "a-b" ) )
put( string.match( "abcabc" , "(abc)%1" ) , string.match( "]" , "[]]" ) , string.match( "a-b" , "[a%-]+" ) )
put( string.match( "x1_" , "^[%a_][%w_]*$" ) , string.match( "2024-01-02" , "(%d+)-(%d+)-(%d+)" ) )
put( string.gsub( "hello world" , "o" , "0" ) )
put( string.gsub( "abc" , "%w" , "%0%0" ) )
put( string.gsub( "hello world" , "(%w+)" , "<%1>" ) )
put( string.gsub( "abc" , "" , "-" ) )
put( string.gsub( "$name is $age" , "%$(%w+)" , { name = "Bob" , age = 3 } ) )
put( string.gsub( "abc" , "%w" , function( c ) return c:upper( ) .. "." end ) )
put( string.gsub( "hello" , "l" , "L" , 1 ) , string.gsub( "hello" , "(l)(l)" , "%2%1" ) )
put( string.gsub( "abc" , "^." , "x" ) , ( "x" ):rep( 3 ) )
local pairs_seen = { }
for k , v in string.gmatch( "a=1, b=2" , "(%w+)=(%w+)" ) do table.insert( pairs_seen , k .. v ) end
local carets = 0
for _ in string.gmatch( "^a^a" , "^a" ) do carets = carets + 1 end
put( table.concat( pairs_seen ) , carets )
put( pcall( string.match , "x" , "[a" ) )
local t = { 3 , 1 , 2 }
table.sort( t )
table.insert( t , 1 , 0 )
table.remove( t , 2 )
put( table.concat( t ) , string.upper( "ab" ) , string.format( "%d-%s" , 7 , "x" ) , tonumber( "12" ) )
vard_message( context , table.concat( out , "|" ) )
)lua";
    VARD::CLuaScript script("function vard_script( context )\n" + body + "\nend\n");
    VARD::CScriptContext context;
    script.Run(engine.get(), context);
    // As Lua 5.1's own library prints them.
    const std::string expected =
        "18 5,7|3,4|nil|2,2|4,3|nil|5,11,quick|6,10|key,value|3,5|trim|[[x]]|nil,aaab|abc,],a-|"
        "x1_,2024,01,02|hell0 w0rld,2|aabbcc,3|<hello> <world>,2|-a-b-c-,4|Bob is 3,2|"
        "A.B.C.,3|heLlo,hello,1|xbc,xxx|a1b2,2|false,malformed pattern (missing ']')|"
        "023,AB,7-x,12";
    EXPECT_EQ(RulesTest::DrainMessages(engine->Game()), std::vector<std::string>{expected});
}

} // namespace
