// Loads that fail, on a real scene (Mesa's software OpenGL, no display):
// each step at which a saved game can fail to come up, through quick load,
// the game menu and the start screen. The game in play stays playable, or
// with none left the start screen comes back; a good file loads after all.

#include "app_offscreen.h"
#include "dialog_harness.h"

#include "dialogs/game_dialog_factory.h"
#include "dialogs/game_menu_dlg.h"
#include "dialogs/map_msg_dlg.h"
#include "dialogs/start_dlg.h"
#include "rules/engine.h"
#include "tool_support.h"
#include "world/area.h"
#include "world/game.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace
{

namespace fs = std::filesystem;
using platform::MessageBoxResult;

platform::Message Message(platform::MessageKind kind, std::uint32_t code)
{
    platform::Message message;
    message.kind = kind;
    message.code = code;
    return message;
}

std::string ReadAll(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A saved game that fails at one step, and words its box's cause holds.
struct FailingFile
{
    const char* step;
    const char* file;
    const char* cause;
};

const FailingFile kFailingFiles[] = {
    {"the file has gone", "gone.vard", "gone.vard"},
    {"a folder in its place", "folder.vard", "folder.vard"},
    {"no saved game", "garbage.vard", "line 1"},
    {"cut short", "cut.vard", "end of the file"},
    {"action bars for another party", "bars.vard", "the action bars are for 2 members"},
    {"an area whose graphics are missing", "forest.vard", "sky_overcast"},
};

enum class Route
{
    QuickLoad,
    GameMenu,
    StartScreen,
};

// The demo module without the forest's sky, the program with its own
// dialogs on it, past the splash.
class LoadFailures : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
        module = home.home / "module";
        fs::copy(VARD_DEMO_MODULE, module, fs::copy_options::recursive);
        fs::remove(module / "sky" / "sky_overcast.vard");
        folder = home.home / "Documents" / "BRLM Saved Games";
        fs::create_directories(folder);
        app.dialogFactory = std::make_unique<CGameDialogFactory>();
        ASSERT_EQ(app.Run(machine, module.string()), -1);
        window = machine.window;
        app.HandleMessage(Message(platform::MessageKind::KeyDown, platform::vk::kEscape));
        ASSERT_NE(dynamic_cast<CStartDlg*>(app.currentDialog.get()), nullptr);
    }

    // Handles what is posted and paints; -1 when the loop would wait, 0 when
    // the program closed.
    int Pump()
    {
        return window->Run([this](const platform::Message& message)
                           { app.HandleMessage(message); });
    }

    // The start screen left without a choice and the town played with a
    // made fighter, its scene built; then the files of the table beside a
    // good save of it.
    void PlayTownAndMakeFiles()
    {
        app.CloseDialog();
        ToolSupport::CreateMainCharacter(*app.engine, "Hero", "fighter", "male");
        app.engine->EnterArea();
        app.gameLoaded = 1;
        app.RefreshActorInfos(true);
        app.UpdateGameTitle();
        app.SelectFirstPartyMember();
        app.StartPlay();
        window->PostAppMessage(kAppMessageGameLoaded);
        ASSERT_EQ(Pump(), -1);
        ASSERT_EQ(app.sceneBuilt, 1);

        good = (folder / "good.vard").string();
        app.SaveGameTo(good);
        ASSERT_EQ(app.savePath, good);
        const std::string saved = ReadAll(good);
        fs::create_directory(folder / "folder.vard");
        std::ofstream(folder / "garbage.vard") << "not a saved game\n";
        std::ofstream(folder / "cut.vard") << saved.substr(0, saved.size() / 2);
        std::string bars = saved;
        const std::size_t count = bars.find("\"1 10 attack ");
        ASSERT_NE(count, std::string::npos);
        bars[count + 1] = '2';
        std::ofstream(folder / "bars.vard") << bars;
        // The same party in the forest, from an engine of its own.
        VARD::CEngine other;
        other.LoadModule(module.string(), false);
        ToolSupport::CreateMainCharacter(other, "Hero", "fighter", "male");
        other.Game().SetTravel("forest", "road");
        other.EnterArea();
        other.SaveGame(std::nullopt, (folder / "forest.vard").string());
        machine.fakes.desktop.boxes.clear();
    }

    // Chooses the file through the route's own way to a load.
    void Load(Route route, const std::string& path)
    {
        auto& desktop = machine.fakes.desktop;
        switch (route)
        {
        case Route::QuickLoad:
            app.savePath = path;
            desktop.boxAnswers = {MessageBoxResult::Ok};
            app.HandleMessage(Message(platform::MessageKind::KeyDown, 'L'));
            break;
        case Route::GameMenu:
            app.HandleMessage(Message(platform::MessageKind::KeyDown, platform::vk::kReturn));
            ASSERT_NE(dynamic_cast<CVARDGameMenuDlg*>(app.currentDialog.get()), nullptr);
            desktop.fileAnswers = {path};
            ASSERT_EQ(app.currentDialog->OnButton(CVARDGameMenuDlg::kLoadId), 1);
            app.CloseDialog();
            break;
        case Route::StartScreen:
            ASSERT_NE(dynamic_cast<CStartDlg*>(app.currentDialog.get()), nullptr);
            desktop.fileAnswers = {path};
            ASSERT_EQ(app.currentDialog->OnButton(CStartDlg::kLoadId), 1);
            app.CloseDialog();
            break;
        }
        ASSERT_EQ(Pump(), -1) << "the program closed";
    }

    // The last box is the load's, with the cause on the line under its text.
    void ExpectLoadError(const std::string& path, const std::string& causeWords)
    {
        const auto& boxes = machine.fakes.desktop.boxes;
        ASSERT_FALSE(boxes.empty());
        EXPECT_EQ(boxes.back().caption, "Load Error");
        const std::string head = "Failed to load \"" + path + "\".\n";
        const std::string& text = boxes.back().text;
        EXPECT_EQ(text.substr(0, head.size()), head);
        EXPECT_NE(text.find(causeWords, head.size()), std::string::npos) << text;
        EXPECT_EQ(text.find('\n', head.size()), std::string::npos) << text;
    }

    // A game in play: its scene and HUD stand, nothing holds it, and a timer
    // message runs its ticks.
    void ExpectPlaying()
    {
        EXPECT_EQ(app.gameLoaded, 1);
        EXPECT_EQ(app.currentDialog, nullptr);
        EXPECT_EQ(app.sceneBuilt, 1);
        EXPECT_NE(app.pauseButton, nullptr);
        EXPECT_FALSE(app.keptGame.has_value());
        EXPECT_EQ(app.pauseCount, 0);
        ASSERT_TRUE(window->timers.IsRunning(app.timerId));
        const std::uint32_t tick = app.engine->Game().GetTick();
        machine.fakes.clock += 500;
        app.HandleMessage(Message(platform::MessageKind::Timer, app.timerId));
        EXPECT_GT(app.engine->Game().GetTick(), tick);
    }

    // The start screen with no game behind it, ready for the next choice.
    void ExpectStartScreen()
    {
        EXPECT_NE(dynamic_cast<CStartDlg*>(app.currentDialog.get()), nullptr);
        EXPECT_TRUE(app.coveredDialogs.empty());
        EXPECT_EQ(app.gameLoaded, 0);
        EXPECT_EQ(app.engine->GetGame(), nullptr);
        EXPECT_FALSE(app.keptGame.has_value());
        EXPECT_TRUE(app.actorInfos.empty());
        EXPECT_FALSE(window->timers.IsRunning(app.timerId));
    }

    void LoadsFallBackToTheStartScreen(Route route)
    {
        if (route == Route::GameMenu)
            ASSERT_NO_FATAL_FAILURE(PlayTownAndMakeFiles());
        else
        {
            // The files are made from a game; the start screen comes back.
            ASSERT_NO_FATAL_FAILURE(PlayTownAndMakeFiles());
            app.UnloadGame();
            app.SetDialog(true, app.dialogFactory->MakeStart());
            machine.fakes.desktop.boxes.clear();
        }
        for (const FailingFile& failing : kFailingFiles)
        {
            SCOPED_TRACE(failing.step);
            const std::string path = (folder / failing.file).string();
            const int pausesBefore = app.pauseCount;
            ASSERT_NO_FATAL_FAILURE(Load(route, path));
            ASSERT_NO_FATAL_FAILURE(ExpectLoadError(path, failing.cause));
            ExpectStartScreen();
            if (route == Route::StartScreen)
            {
                EXPECT_EQ(app.pauseCount, pausesBefore);
            }
            // From there the good file loads and plays.
            ASSERT_NO_FATAL_FAILURE(Load(Route::StartScreen, good));
            EXPECT_EQ(app.savePath, good);
            ExpectPlaying();
            if (route == Route::StartScreen)
            {
                app.UnloadGame();
                app.SetDialog(true, app.dialogFactory->MakeStart());
            }
        }
        // Only the load errors were shown.
        for (const auto& box : machine.fakes.desktop.boxes)
            EXPECT_EQ(box.caption, "Load Error");
        EXPECT_EQ(machine.fakes.desktop.boxes.size(), std::size(kFailingFiles));
    }

    DialogTest::ScratchHome home;
    fs::path module;
    fs::path folder;
    std::string good;
    AppTest::OffscreenMachine machine;
    CGameApp app;
    AppTest::FakeAppWindow* window = nullptr;
};

TEST_F(LoadFailures, QuickLoadKeepsTheGameInPlayAtEveryStep)
{
    ASSERT_NO_FATAL_FAILURE(PlayTownAndMakeFiles());
    const std::shared_ptr<VARD::CGame> game = app.engine->GetGame();
    const std::string title = window->title;
    app.messageLog.push_back("a line before the loads");
    for (const FailingFile& failing : kFailingFiles)
    {
        SCOPED_TRACE(failing.step);
        const std::string path = (folder / failing.file).string();
        const std::uint32_t tick = game->GetTick();
        ASSERT_NO_FATAL_FAILURE(Load(Route::QuickLoad, path));
        ASSERT_NO_FATAL_FAILURE(ExpectLoadError(path, failing.cause));
        // The very game, where it was, with its log, title and target.
        EXPECT_EQ(app.engine->GetGame(), game);
        EXPECT_EQ(game->GetTick(), tick);
        EXPECT_EQ(app.savePath, path);
        EXPECT_EQ(window->title, title);
        ASSERT_FALSE(app.messageLog.empty());
        EXPECT_EQ(app.messageLog.front(), "a line before the loads");
        EXPECT_EQ(app.actorInfos.size(), 1u);
        ExpectPlaying();
        // Its keys work: the map opens over it and ESC closes it.
        app.HandleMessage(Message(platform::MessageKind::KeyDown, 'M'));
        EXPECT_NE(dynamic_cast<CVARDMapDlg*>(app.currentDialog.get()), nullptr);
        app.HandleMessage(Message(platform::MessageKind::KeyDown, platform::vk::kEscape));
        EXPECT_EQ(app.currentDialog, nullptr);
        EXPECT_EQ(app.pauseCount, 0);
    }

    // A player's pause survives a load that failed after play had started.
    app.HandleMessage(Message(platform::MessageKind::KeyDown, platform::vk::kSpace));
    ASSERT_EQ(app.playerPaused, 1);
    ASSERT_NO_FATAL_FAILURE(Load(Route::QuickLoad, (folder / "forest.vard").string()));
    EXPECT_EQ(app.engine->GetGame(), game);
    EXPECT_EQ(app.playerPaused, 1);
    EXPECT_EQ(app.pauseCount, 1);
    app.HandleMessage(Message(platform::MessageKind::KeyDown, platform::vk::kSpace));

    // The good file replaces the game, which is let go once the new scene
    // stands.
    const std::size_t boxes = machine.fakes.desktop.boxes.size();
    ASSERT_NO_FATAL_FAILURE(Load(Route::QuickLoad, good));
    EXPECT_NE(app.engine->GetGame(), game);
    EXPECT_EQ(machine.fakes.desktop.boxes.size(), boxes + 1);
    EXPECT_EQ(machine.fakes.desktop.boxes.back().caption, "Continue?");
    ExpectPlaying();
}

TEST_F(LoadFailures, GameMenuLoadFallsBackToTheStartScreenAtEveryStep)
{
    LoadsFallBackToTheStartScreen(Route::GameMenu);
}

TEST_F(LoadFailures, StartScreenLoadStaysOnTheStartScreenAtEveryStep)
{
    LoadsFallBackToTheStartScreen(Route::StartScreen);
}

} // namespace
