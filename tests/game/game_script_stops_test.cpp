// Module scripts that never end, met in the real game on the machine's own
// window and OpenGL device under a virtual X display: wherever the game runs
// one (an entry, a heartbeat, a greeting, the console, an exit), it stops
// with a "Script Error" box, or a line in the log for the console, and the
// game plays on. Traps and doors stop inside the tick, as a heartbeat does.

#include "app_fakes.h"
#include "app_watched_window.h"
#include "looping_module.h"

#include "app/app_platform.h"
#include "app/game_app.h"
#include "dialogs/game_dialog_factory.h"
#include "dialogs/talk_dlg.h"
#include "platform/keys.h"
#include "rules/engine.h"
#include "scratch_files.h"
#include "script/script_run.h"
#include "tool_support.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/game.h"
#include "world/order.h"
#include "xvfb_util.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <functional>
#include <limits>
#include <memory>
#include <optional>

namespace
{

using TestUtil::ScriptCaller;

// A timer of the test's own keeps messages coming while a dialog holds the
// game's timer.
constexpr std::uint32_t kTestTimerId = 77;
// The crypt's stairs up.
constexpr double kStairsX = 41.25;
constexpr double kStairsY = 46.25;
// Game time a step may take, in ticks.
constexpr std::uint32_t kTicksPerStep = 900;
// While no tick runs (a box, a dialog) a step waits only on what the test
// did: this many of the test's timer messages with the game standing, and
// no step taken, mean the program hangs.
constexpr int kMostTimerMessagesStanding = 3000;

// The game played step by step: each step runs on every message until it
// says it is done.
class Session
{
public:
    explicit Session(const TestUtil::LoopingModule& module, std::string heroName = "Hero")
        : module(module), heroName(std::move(heroName)),
          machine([this](CAppWindow& window, const platform::Message& message)
                  { Watch(window, message); })
    {
        app.dialogFactory = std::make_unique<CGameDialogFactory>();
    }

    // A step runs on every message until it says it is done.
    void Then(std::string what, std::function<bool()> step)
    {
        steps.push_back({std::move(what), std::move(step)});
    }
    // Once play runs, with nothing holding the timer.
    void Act(std::string what, std::function<void()> action)
    {
        Then(std::move(what),
             [this, action = std::move(action)]
             {
                 if (!Playing())
                     return false;
                 action();
                 return true;
             });
    }
    // Until the script stops with the box that makes it that many.
    void AwaitBox(std::string what, std::size_t boxes)
    {
        Then(std::move(what), [this, boxes] { return Boxes() >= boxes; });
    }
    // Until a heartbeat's script stops with the box that makes it that
    // many; the heartbeat is kept due on every tick, since each one picks
    // its actor by chance.
    void AwaitHeartbeatBox(std::string what, std::size_t boxes)
    {
        Then(std::move(what),
             [this, boxes]
             {
                 if (Boxes() >= boxes)
                     return true;
                 if (Playing() && Game().GetNextAmbienceTick() > Game().GetTick())
                     Game().SetNextAmbienceTick(Game().GetTick());
                 return false;
             });
    }
    // Play goes on for two seconds of game time with no other box.
    void PlayOn(std::string what)
    {
        struct Start
        {
            std::uint32_t tick = 0;
            std::size_t boxes = 0;
        };
        auto start = std::make_shared<std::optional<Start>>();
        Then(std::move(what),
             [this, start]
             {
                 if (!Playing())
                     return false;
                 if (!*start)
                     *start = Start{Game().GetTick(), Boxes()};
                 EXPECT_EQ(Boxes(), (*start)->boxes);
                 return Game().GetTick() >= (*start)->tick + 60;
             });
    }
    // The talk opened on what the stopped state left; ESC closes it.
    void CloseTalk()
    {
        Then("close the talk",
             [this]
             {
                 EXPECT_NE(dynamic_cast<CTalkDlg*>(app.currentDialog.get()), nullptr);
                 app.HandleMessage(AppTest::KeyDown(platform::vk::kEscape));
                 return true;
             });
    }

    // Runs the program until the steps are done; its exit code.
    int Play() { return app.Run(machine, module.Path()); }
    // Plays to the end, which comes with that many boxes, each a "Script
    // Error" that says the reason of the stop under its own text.
    void PlayToTheEnd(std::size_t boxes, const std::string& reason)
    {
        EXPECT_EQ(Play(), 0);
        EXPECT_EQ(failure, "");
        ASSERT_EQ(Boxes(), boxes);
        for (const auto& box : machine.desktop.boxes)
        {
            EXPECT_EQ(box.caption, "Script Error");
            EXPECT_EQ(box.text, "Script Error\nscript stopped: " + reason);
        }
    }

    VARD::CGame& Game() { return app.engine->Game(); }
    VARD::CActor& Hero() { return *Game().GetParty().front(); }
    // Nothing holds the game's timer.
    bool Playing() const
    {
        return app.gameLoaded != 0 && !app.currentDialog && app.pauseCount == 0 &&
               app.playerPaused == 0;
    }
    std::size_t Boxes() const { return machine.desktop.boxes.size(); }

    // A conversation with the merchant, begun as a click on him begins one.
    // The priest, who would walk up to begin one of his own, knows the party
    // already, and no heartbeat comes in between.
    void WalkUpToTheMerchant()
    {
        Game().SetQuestTag("met_priest", 1);
        Game().SetNextAmbienceTick(std::numeric_limits<std::uint32_t>::max());
        for (const auto& actor : Game().GetCurrentArea()->Actors())
            if (actor->GetTemplateName() == "merchant")
                Hero().QueueOrder(std::make_shared<VARD::CMoveTalkOrder>(actor->Id()), true);
    }

    const TestUtil::LoopingModule& module;
    const std::string heroName;
    // The machine's own window, device, sound and clock; boxes answered here.
    AppTest::WatchedMachine machine;
    CGameApp app;
    std::deque<std::pair<std::string, std::function<bool()>>> steps;
    std::string failure;

private:
    void Watch(CAppWindow& window, const platform::Message& message)
    {
        if (message.kind == platform::MessageKind::Paint && !m_Started)
        {
            m_Started = true;
            // Every library the program needs is loaded by its first paint.
            KeepLoadedLibraries();
            window.SetTimer(kTestTimerId, 20);
            // Past the splash and the start screen into a new game.
            app.HandleMessage(AppTest::KeyDown('K'));
            while (app.currentDialog)
                app.CloseDialog();
            ToolSupport::CreateMainCharacter(*app.engine, heroName, "fighter", "male");
            app.StartCreatedGame(Game().GetParty().front());
            m_StepStart = m_LastTick = Game().GetTick();
            return;
        }
        if (!m_Started || !failure.empty())
            return;
        if (steps.empty())
        {
            window.PostClose();
            return;
        }
        const std::uint32_t tick = Game().GetTick();
        if (steps.front().second())
        {
            steps.pop_front();
            m_StepStart = tick;
            m_Standing = 0;
            return;
        }
        if (tick != m_LastTick)
        {
            m_LastTick = tick;
            m_Standing = 0;
        }
        else if (message.kind == platform::MessageKind::Timer && message.code == kTestTimerId)
            ++m_Standing;
        if (tick - m_StepStart > kTicksPerStep)
            Fail(window, "no end to: " + steps.front().first);
        else if (m_Standing > kMostTimerMessagesStanding)
            Fail(window, "the program hangs at: " + steps.front().first);
    }

    void Fail(CAppWindow& window, const std::string& why)
    {
        failure = why + "; " + std::to_string(Boxes()) + " boxes, " +
                  (app.currentDialog ? app.currentDialog->GetTitle() : "no dialog") +
                  ", pause count " + std::to_string(app.pauseCount) + ", tick " +
                  std::to_string(Game().GetTick());
        window.PostClose();
    }

    bool m_Started = false;
    // The tick when the running step began, and the last tick seen.
    std::uint32_t m_StepStart = 0;
    std::uint32_t m_LastTick = 0;
    int m_Standing = 0;
};

TEST(GameScriptStops, EveryCallersNeverEndingScriptStopsWithABoxAndTheGamePlaysOn)
{
    const TestUtil::LoopingModule module({ScriptCaller::Talk, ScriptCaller::Heartbeat,
                                          ScriptCaller::Quest, ScriptCaller::Entry,
                                          ScriptCaller::Exit});
    Session session(module);
    VARD::CGame* game = nullptr;
    // The town's entry stopped as the new game started.
    session.AwaitBox("the start's entry", 1);
    session.PlayOn("play on in the town");
    session.Act("stand by the baker and the farmer",
                [&]
                {
                    game = &session.Game();
                    session.app.engine->WizardMoveParty(38.75, 16.25);
                });
    session.AwaitHeartbeatBox("a heartbeat", 2);
    session.PlayOn("play on after the heartbeat");
    session.Act("walk up to the merchant", [&] { session.WalkUpToTheMerchant(); });
    session.AwaitBox("the greeting", 3);
    session.CloseTalk();
    session.PlayOn("play on after the talk");
    // The console reports in the message log, with the reason.
    session.Act("set a tag at the console",
                [&] { session.app.RunWizardCommand("tag temple_key_assigned"); });
    session.PlayOn("play on after the console");
    session.Act("go down into the crypt",
                [&]
                {
                    // A way out the party came near on its walks would run
                    // its own script first, depending on where play stood.
                    game->SetExitScript(nullptr);
                    game->SetTravel("crypt", "stairs");
                    game->SetState(VARD::kGameTravelAtExit);
                    session.app.HandleMessage(AppTest::KeyDown('X'));
                });
    session.AwaitBox("the crypt's entry", 4);
    session.PlayOn("play on in the crypt");
    session.Act("walk to the stairs up, with no heartbeat to come",
                [&]
                {
                    game->SetNextAmbienceTick(std::numeric_limits<std::uint32_t>::max());
                    session.app.engine->WizardMoveParty(kStairsX, kStairsY);
                });
    session.Then("reach the exit", [&] { return game->GetState() == VARD::kGameTravelAtExit; });
    session.Act("leave", [&] { session.app.HandleMessage(AppTest::KeyDown('X')); });
    session.AwaitBox("the exit", 5);
    session.PlayOn("play on where the party stood");

    ASSERT_NO_FATAL_FAILURE(session.PlayToTheEnd(5, "step budget spent"));
    ASSERT_NE(game, nullptr);
    ASSERT_NE(game->GetCurrentArea(), nullptr);
    EXPECT_EQ(game->GetCurrentArea()->GetName(), "crypt");
    const auto& log = session.app.messageLog;
    EXPECT_NE(
        std::find(log.begin(), log.end(), "Wizard: code 6: script stopped: step budget spent"),
        log.end());
}

// The lines the game makes for a run, under a hero's name of 100,000 bytes:
// a heartbeat completes a quest of a 500,000-byte name again and again, and
// a greeting makes the hero rise to a rank that teaches 8,000 spells. Each
// call completes and the run stops at the budget with its box, and the game
// plays on, saves and loads without holding what the lines would make.
TEST(GameScriptStops, LinesTheGameMakesForARunStopAtTheBudget)
{
    std::vector<TestUtil::ModuleAddition> additions = TestUtil::RankOfManySpells(8000);
    additions.push_back(TestUtil::QuestOfLongName(500'000));
    const TestUtil::LoopingModule module(
        {ScriptCaller::Talk, ScriptCaller::Heartbeat},
        "<lua> if vard_is_main_actor( context , \"actor\" ) then vard_set_faction_rank( context , "
        "\"order\" , 1 ) else for i = 1 , 5000 do vard_set_tag_value( context , \"feat\" , 0 ) "
        "vard_set_tag( context , \"work\" ) end end </lua>",
        additions);
    Session session(module, std::string(100'000, 'n'));
    session.Act("stand by the baker and the farmer",
                [&] { session.app.engine->WizardMoveParty(38.75, 16.25); });
    session.AwaitHeartbeatBox("a quest completed again and again", 1);
    session.PlayOn("play on after the heartbeat");
    std::size_t known = 0;
    session.Act("walk up to the merchant",
                [&]
                {
                    known = session.Hero().GetSpells().size();
                    session.WalkUpToTheMerchant();
                });
    session.AwaitBox("the promotion", 2);
    session.CloseTalk();
    session.PlayOn("play on after the talk");
    // Last, as the loaded game's clock stands where it was saved.
    const TestUtil::ScratchFolder folder("many_spells");
    const std::string path = (folder.Path() / "promoted.vard").string();
    session.Act("save and load the game",
                [&]
                {
                    session.app.SaveGameTo(path);
                    session.app.LoadGameFrom(path);
                });

    ASSERT_NO_FATAL_FAILURE(session.PlayToTheEnd(2, "more than 1 MiB handed to the game"));
    // The promotion completed: the hero learnt every spell of the rank,
    // though the budget paid for only a few of their lines, and the game
    // saved and loaded with them.
    EXPECT_EQ(session.Hero().GetSpells().size() - known, 8000u);
    EXPECT_GT(std::filesystem::file_size(path), 8000u * 4u);
#if !defined(__SANITIZE_ADDRESS__)
    // The whole game's peak, far below the gigabytes the lines would take.
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    EXPECT_LT(usage.ru_maxrss, 400L * 1024L);
#endif
}

// A greeting that has spent its budget down to 100 bytes makes the merchant
// join the party. The join completes, and the run stops as it returns: the
// new member has his place on the screen, his keys work, and a save is
// written that loads with him in the party.
TEST(GameScriptStops, AJoinAtTheEndOfItsBudgetIsWholeAndTheGameSavesAndPlaysOn)
{
    const TestUtil::LoopingModule module(
        {ScriptCaller::Talk},
        "<lua> for i = 1 , 17 do vard_message( context , string.rep( \"x\" , 61000 ) ) end "
        "vard_message( context , string.rep( \"x\" , 6868 ) ) vard_join_party( context ) </lua>");
    ASSERT_EQ(17u * (VARD::kKeptRecordBytes + 61000) + VARD::kKeptRecordBytes + 6868 + 100,
              VARD::ScriptHost::kGameBytesBudget);
    Session session(module);
    const TestUtil::ScratchFolder folder("half_join");
    const std::string path = (folder.Path() / "joined.vard").string();
    session.Act("walk up to the merchant", [&] { session.WalkUpToTheMerchant(); });
    session.AwaitBox("the greeting", 1);
    session.CloseTalk();
    session.Act("save, pick the new member and use his first action",
                [&]
                {
                    ASSERT_EQ(session.Game().GetParty().size(), 2u);
                    session.app.SaveGameTo(path);
                    session.app.HandleMessage(AppTest::KeyDown('2'));
                    session.app.HandleMessage(AppTest::KeyDown(platform::vk::kF1));
                });
    session.PlayOn("play on with the merchant in the party");

    ASSERT_NO_FATAL_FAILURE(session.PlayToTheEnd(1, "more than 1 MiB handed to the game"));
    EXPECT_EQ(session.app.selectedMember, 1u);
    VARD::CEngine loaded;
    loaded.LoadModule(module.Path());
    loaded.LoadGame(path);
    const auto party = loaded.Game().GetParty();
    ASSERT_EQ(party.size(), 2u);
    EXPECT_EQ(party[1]->GetTemplateName(), "merchant");
}

} // namespace
