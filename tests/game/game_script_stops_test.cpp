// Module scripts that never end, or end in a library call that would crash,
// met in the real game on the machine's own window and OpenGL device under a
// virtual X display: a heartbeat and a greeting each stop with a "Script
// Error" box, and the game plays on.

#include "app_watched_window.h"
#include "looping_module.h"

#include "app/app_platform.h"
#include "app/game_app.h"
#include "dialogs/game_dialog_factory.h"
#include "dialogs/talk_dlg.h"
#include "platform/keys.h"
#include "rules/engine.h"
#include "tool_support.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/game.h"
#include "world/order.h"
#include "xvfb_util.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>

namespace
{

using TestUtil::ScriptCaller;

// A timer of the test's own keeps messages coming while a dialog holds the
// game's timer.
constexpr std::uint32_t kTestTimerId = 77;
// Game time per game timer message: six ticks.
constexpr std::uint32_t kMsPerGameTimer = 100;
// Messages a step may wait before the test gives up on it.
constexpr int kMessagesPerStep = 3000;

// The real window, device and sound; boxes answered by the test; a clock
// that moves only with the game's timer.
class Machine final : public CAppPlatform
{
public:
    explicit Machine(AppTest::WatchedWindow::Watcher watcher) : m_Watcher(std::move(watcher)) {}

    platform::FakeDesktop desktop;
    std::uint32_t clockMs = 100000;

    CMainWindowResult CreateMainWindow(const std::string& title, int width, int height) override
    {
        CMainWindowResult result = m_Real.CreateMainWindow(title, width, height);
        if (result.window)
            result.window =
                std::make_unique<AppTest::WatchedWindow>(std::move(result.window), m_Watcher);
        return result;
    }
    std::unique_ptr<CAppDevice> CreateDevice(CAppWindow& made) override
    {
        return m_Real.CreateDevice(static_cast<AppTest::WatchedWindow&>(made).Inner());
    }
    platform::Desktop& GetDesktop() override { return desktop; }
    std::unique_ptr<audio::Device> OpenAudioDevice() override { return m_Real.OpenAudioDevice(); }
    std::uint32_t GetTickCount() override { return clockMs; }
    std::filesystem::path GetExecutableFolder() override { return m_Real.GetExecutableFolder(); }

private:
    CSystemAppPlatform m_Real;
    AppTest::WatchedWindow::Watcher m_Watcher;
};

// The game played step by step: each step runs on every message until it
// says it is done.
class Session
{
public:
    explicit Session(const TestUtil::LoopingModule& module)
        : module(module), machine([this](CAppWindow& window, const platform::Message& message)
                                  { Watch(window, message); })
    {
        app.dialogFactory = std::make_unique<CGameDialogFactory>();
    }

    void Then(std::function<bool()> step) { steps.push_back(std::move(step)); }

    // Runs the program until the steps are done; its exit code.
    int Play() { return app.Run(machine, module.Path()); }

    VARD::CGame& Game() { return app.engine->Game(); }
    // Nothing holds the game's timer.
    bool Playing() const
    {
        return app.gameLoaded != 0 && !app.currentDialog && app.pauseCount == 0 &&
               app.playerPaused == 0;
    }
    std::size_t Boxes() const { return machine.desktop.boxes.size(); }

    // Waits until the game has run on by that many ticks with no new box.
    bool PlaysOn(std::uint32_t& from, std::size_t boxes, std::uint32_t ticks)
    {
        if (from == 0)
            from = Game().GetTick();
        EXPECT_EQ(Boxes(), boxes);
        return Game().GetTick() >= from + ticks;
    }

    // A conversation with the merchant, begun as a click on him begins one.
    void WalkUpToTheMerchant()
    {
        for (const auto& actor : Game().GetCurrentArea()->Actors())
            if (actor->GetTemplateName() == "merchant")
                Game().GetParty().front()->QueueOrder(
                    std::make_shared<VARD::CMoveTalkOrder>(actor->Id()), true);
    }

    static platform::Message Key(std::uint32_t code)
    {
        platform::Message message;
        message.kind = platform::MessageKind::KeyDown;
        message.code = code;
        return message;
    }

    const TestUtil::LoopingModule& module;
    Machine machine;
    CGameApp app;
    std::deque<std::function<bool()>> steps;
    std::string failure;

private:
    void Watch(CAppWindow& window, const platform::Message& message)
    {
        if (message.kind == platform::MessageKind::Timer && message.code == app.timerId)
            machine.clockMs += kMsPerGameTimer;
        if (message.kind == platform::MessageKind::Paint && !m_Started)
        {
            m_Started = true;
            // Every library the program needs is loaded by its first paint.
            KeepLoadedLibraries();
            window.SetTimer(kTestTimerId, 20);
            // Past the splash and the start screen into a new game.
            app.HandleMessage(Key('K'));
            while (app.currentDialog)
                app.CloseDialog();
            ToolSupport::CreateMainCharacter(*app.engine, "Hero", "fighter", "male");
            app.StartCreatedGame(Game().GetParty().front());
            return;
        }
        if (!m_Started || !failure.empty())
            return;
        if (steps.empty())
        {
            window.PostClose();
            return;
        }
        if (steps.front()())
        {
            steps.pop_front();
            m_Messages = 0;
        }
        else if (++m_Messages > kMessagesPerStep)
        {
            failure = "a step did not end: " + std::to_string(Boxes()) + " boxes, " +
                      (app.currentDialog ? app.currentDialog->GetTitle() : "no dialog") +
                      ", pause count " + std::to_string(app.pauseCount) + ", tick " +
                      std::to_string(Game().GetTick());
            window.PostClose();
        }
    }

    bool m_Started = false;
    int m_Messages = 0;
};

TEST(GameScriptStops, ANeverEndingHeartbeatAndGreetingEachStopAndTheGamePlaysOn)
{
    const TestUtil::LoopingModule module({ScriptCaller::Heartbeat, ScriptCaller::Talk});
    Session session(module);
    std::uint32_t heartbeatStopped = 0;
    std::uint32_t talkClosed = 0;
    // Next to the baker and the farmer, whose heartbeats are due.
    session.Then(
        [&]
        {
            if (!session.Playing())
                return false;
            session.app.engine->WizardMoveParty(38.75, 16.25);
            session.Game().SetNextAmbienceTick(session.Game().GetTick() + 1);
            return true;
        });
    session.Then([&] { return session.Boxes() == 1; });
    session.Then([&] { return session.Playing() && session.PlaysOn(heartbeatStopped, 1, 60); });
    session.Then(
        [&]
        {
            session.WalkUpToTheMerchant();
            return true;
        });
    // The talk opens on what the stopped greeting left; ESC closes it.
    session.Then(
        [&]
        {
            if (session.Boxes() < 2)
                return false;
            EXPECT_NE(dynamic_cast<CTalkDlg*>(session.app.currentDialog.get()), nullptr);
            session.app.HandleMessage(Session::Key(platform::vk::kEscape));
            return true;
        });
    session.Then([&] { return session.Playing() && session.PlaysOn(talkClosed, 2, 60); });

    EXPECT_EQ(session.Play(), 0);
    EXPECT_EQ(session.failure, "");
    for (const auto& box : session.machine.desktop.boxes)
    {
        EXPECT_EQ(box.caption, "Script Error");
        EXPECT_EQ(box.text, "Script Error");
    }
    EXPECT_EQ(session.Boxes(), 2u);
}

TEST(GameScriptStops, AGreetingThatUnpacksPastTheStackStopsAndTheProcessLives)
{
    const TestUtil::LoopingModule module({ScriptCaller::Talk},
                                         "return unpack( { } , -1 , 2147483647 )");
    Session session(module);
    std::uint32_t talkClosed = 0;
    session.Then(
        [&]
        {
            if (!session.Playing())
                return false;
            session.WalkUpToTheMerchant();
            return true;
        });
    session.Then(
        [&]
        {
            if (session.Boxes() < 1)
                return false;
            EXPECT_NE(dynamic_cast<CTalkDlg*>(session.app.currentDialog.get()), nullptr);
            session.app.HandleMessage(Session::Key(platform::vk::kEscape));
            return true;
        });
    session.Then([&] { return session.Playing() && session.PlaysOn(talkClosed, 1, 60); });

    EXPECT_EQ(session.Play(), 0);
    EXPECT_EQ(session.failure, "");
    ASSERT_EQ(session.Boxes(), 1u);
    EXPECT_EQ(session.machine.desktop.boxes[0].caption, "Script Error");
}

} // namespace
