// Module scripts that never end, met where the shell drives the game: each
// stop shows one "Script Error" box, the game stays loaded and consistent,
// and the timer runs on once the box is gone. Talks run in the real dialogs:
// tests/game has them.

#include "app_demo_game.h"
#include "app_fakes.h"
#include "looping_module.h"

#include "rules/engine.h"
#include "tool_support.h"
#include "ui/ui_buttons.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/game.h"
#include "world/order.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{

using AppTest::KeyDown;
using TestUtil::ScriptCaller;

constexpr std::uint32_t kTimer = 1;
// The crypt's sealed door and its loose flagstone.
constexpr std::uint32_t kCryptDoor = 0x01000000 + 8 * 1000 + 12;
constexpr double kPlateX = 18.75;
constexpr double kPlateY = 31.25;

class ShellWithLoopingScripts
{
public:
    explicit ShellWithLoopingScripts(std::initializer_list<ScriptCaller> callers) : module(callers)
    {
    }

    // The program past its splash and start screen, a new game started as
    // the creation pages start one.
    void Start()
    {
        ASSERT_EQ(app.Run(machine, module.Path()), -1);
        app.HandleMessage(KeyDown('K'));
        app.HandleMessage(KeyDown(platform::vk::kEscape));
        ASSERT_EQ(app.currentDialog, nullptr);
        ToolSupport::CreateMainCharacter(*app.engine, "Hero", "fighter", "male");
        machine.clock = 5000;
        app.StartCreatedGame(Game().GetParty().front());
        auto exit = std::make_shared<VARDUI::CUIImageButton>(3, 100);
        app.ui.AddElement(exit);
        app.exitButton = exit.get();
    }

    VARD::CGame& Game() { return app.engine->Game(); }
    VARD::CActor& Hero() { return *Game().GetParty().front(); }
    bool TimerOn() const { return machine.window->timers.IsRunning(kTimer); }

    // One timer message 100 ms on; the ticks it ran.
    std::uint32_t Timer()
    {
        machine.clock += 100;
        const std::uint32_t before = Game().GetTick();
        platform::Message message;
        message.kind = platform::MessageKind::Timer;
        message.code = kTimer;
        app.HandleMessage(message);
        return Game().GetTick() - before;
    }

    // Timer messages until a box shows or the ticks run out.
    void RunUntilABox(std::uint32_t ticks)
    {
        const std::size_t boxes = machine.desktop.boxes.size();
        for (const std::uint32_t end = Game().GetTick() + ticks;
             machine.desktop.boxes.size() == boxes && Game().GetTick() < end && TimerOn();)
            Timer();
    }

    int ScriptErrors() const
    {
        int count = 0;
        for (const auto& box : machine.desktop.boxes)
        {
            EXPECT_EQ(box.caption, "Script Error");
            EXPECT_EQ(box.text, "Script Error");
            count += box.caption == "Script Error" ? 1 : 0;
        }
        return count;
    }

    // The game plays on: loaded, unpaused, the timer on, nothing closing,
    // and the next timer message runs ticks.
    void ExpectPlayGoesOn(const std::string& area)
    {
        EXPECT_EQ(app.gameLoaded, 1);
        EXPECT_EQ(app.currentDialog, nullptr);
        EXPECT_TRUE(app.coveredDialogs.empty());
        EXPECT_EQ(app.pauseCount, 0);
        EXPECT_TRUE(TimerOn());
        ASSERT_NE(Game().GetCurrentArea(), nullptr);
        EXPECT_EQ(Game().GetCurrentArea()->GetName(), area);
        EXPECT_TRUE(std::none_of(machine.window->posted.begin(), machine.window->posted.end(),
                                 [](const platform::Message& message)
                                 { return message.kind == platform::MessageKind::Close; }));
        EXPECT_GT(Timer(), 0u);
    }

    // Down into the crypt the way the town's forest path and the wood's
    // stairs lead; the stairs' scripts stay as the demo has them.
    void TravelTo(const std::string& area, const std::string& entry)
    {
        Game().SetTravel(area, entry);
        Game().SetState(VARD::kGameTravelAtExit);
        app.HandleMessage(KeyDown('X'));
        // The rebuild the leaving posted.
        machine.window->posted.clear();
    }

    TestUtil::LoopingModule module;
    AppTest::FakeAppPlatform machine;
    CGameApp app;
};

TEST(ShellScriptStops, AHeartbeatStopsWithABoxAndTheGameRunsOn)
{
    ShellWithLoopingScripts shell({ScriptCaller::Heartbeat});
    ASSERT_NO_FATAL_FAILURE(shell.Start());
    shell.app.engine->WizardMoveParty(38.75, 16.25);
    shell.RunUntilABox(3000);
    ASSERT_EQ(shell.ScriptErrors(), 1);
    // The heartbeat is not due again at once: the next ticks run clean.
    const std::uint32_t stopped = shell.Game().GetTick();
    EXPECT_GE(shell.Game().GetNextAmbienceTick(), stopped + 150);
    shell.ExpectPlayGoesOn("town");
    EXPECT_EQ(shell.ScriptErrors(), 1);
}

TEST(ShellScriptStops, ATrapAndADoorEachStopOnceWhereTheyAreMet)
{
    ShellWithLoopingScripts shell({ScriptCaller::Trap, ScriptCaller::Door});
    ASSERT_NO_FATAL_FAILURE(shell.Start());
    shell.TravelTo("crypt", "stairs");
    ASSERT_EQ(shell.Game().GetCurrentArea()->GetName(), "crypt");
    shell.app.engine->WizardMoveParty(kPlateX, kPlateY);
    shell.RunUntilABox(30);
    ASSERT_EQ(shell.ScriptErrors(), 1);
    // Standing on the sprung plate springs it no more for a while.
    for (int i = 0; i < 20; ++i)
        shell.Timer();
    EXPECT_EQ(shell.ScriptErrors(), 1);

    shell.Hero().QueueOrder(std::make_shared<VARD::CUseOrder>(VARD::kUseDoor, kCryptDoor, 0), true);
    shell.RunUntilABox(600);
    ASSERT_EQ(shell.ScriptErrors(), 2);
    // The use is over: the door is not tried again.
    EXPECT_EQ(shell.Hero().GetFrontOrder(), nullptr);
    shell.ExpectPlayGoesOn("crypt");
    EXPECT_EQ(shell.ScriptErrors(), 2);
}

TEST(ShellScriptStops, EntryScriptsStopAndTheAreaStaysEntered)
{
    ShellWithLoopingScripts shell({ScriptCaller::Entry});
    // The start area's entry, when the created game starts.
    ASSERT_NO_FATAL_FAILURE(shell.Start());
    EXPECT_EQ(shell.ScriptErrors(), 1);
    shell.ExpectPlayGoesOn("town");
    // The wood's, on arrival through the town's path.
    shell.TravelTo("forest", "road");
    EXPECT_EQ(shell.ScriptErrors(), 2);
    ASSERT_NE(shell.Game().GetCurrentArea(), nullptr);
    EXPECT_EQ(shell.Game().GetState(), VARD::kGameRunning);
    shell.ExpectPlayGoesOn("forest");
}

TEST(ShellScriptStops, AnExitScriptStopsAndThePartyStaysWhereItStood)
{
    ShellWithLoopingScripts shell({ScriptCaller::Exit});
    ASSERT_NO_FATAL_FAILURE(shell.Start());
    // At the path into the wood the Exit button shows; its use stops.
    shell.app.engine->WizardMoveParty(58.75, 38.75);
    shell.Timer();
    ASSERT_EQ(shell.Game().GetState(), VARD::kGameTravelAtExit);
    shell.app.HandleMessage(KeyDown('X'));
    EXPECT_EQ(shell.ScriptErrors(), 1);
    EXPECT_NE(shell.Game().GetExitScript(), nullptr);
    // The screen was given up for the journey and is built again.
    ASSERT_FALSE(shell.machine.window->posted.empty());
    EXPECT_EQ(shell.machine.window->posted.back().code, kAppMessageGameLoaded);
    shell.machine.window->posted.clear();
    auto exit = std::make_shared<VARDUI::CUIImageButton>(3, 100);
    exit->SetFlags(VARDUI::kUIFlagVisible, 0);
    shell.app.exitButton = exit.get();
    shell.ExpectPlayGoesOn("town");
    // Still at the exit: the button is back for another try.
    EXPECT_EQ(shell.Game().GetState(), VARD::kGameTravelAtExit);
    EXPECT_NE(exit->TestFlags(VARDUI::kUIFlagVisible), 0u);
}

TEST(ShellScriptStops, AQuestScriptFromTheConsoleIsLoggedWithItsReason)
{
    ShellWithLoopingScripts shell({ScriptCaller::Quest});
    ASSERT_NO_FATAL_FAILURE(shell.Start());
    shell.app.RunWizardCommand("tag temple_key_assigned");
    EXPECT_EQ(shell.app.messageLog.back(), "Wizard: code 6: script stopped: step budget spent");
    EXPECT_TRUE(shell.machine.desktop.boxes.empty());
    EXPECT_EQ(shell.Game().GetQuestTag("temple_key_assigned"), 1);
    shell.ExpectPlayGoesOn("town");
}

} // namespace
