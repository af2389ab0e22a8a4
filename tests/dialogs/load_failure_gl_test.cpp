// Loads that fail at each step, on a real scene (Mesa's software OpenGL, no
// display), through quick load, the game menu and the start screen: the game
// in play stays playable, or with none left the start screen comes back.

#include "app_demo_game.h"
#include "app_offscreen.h"
#include "dialog_harness.h"

#include "dialogs/game_dialog_factory.h"
#include "dialogs/game_menu_dlg.h"
#include "dialogs/start_dlg.h"
#include "rules/engine.h"
#include "tool_support.h"
#include "vardsim_run.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/game.h"
#include "world/module.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace
{

namespace fs = std::filesystem;
using platform::MessageKind;

// A saved game that fails at one step, and words of the cause its box shows.
const std::pair<const char*, const char*> kFailingFiles[] = {
    {"gone.vard", "gone.vard"},           // the file has gone
    {"folder.vard", "folder.vard"},       // a folder in its place
    {"garbage.vard", "line 1"},           // no saved game
    {"cut.vard", "end of the file"},      // cut short
    {"bars.vard", "the action bars are"}, // bars for another party
    {"forest.vard", "sky_overcast"},      // its area's graphics are missing
    {"nowhere.vard", "no current area"},  // in play, but in no area
};

// The demo module without the forest's sky, the program with its own
// dialogs on it playing the town, and the files of the table beside a good
// save of that game.
class LoadFailures : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
        const fs::path module = home.Path() / "module";
        fs::copy(VARD_DEMO_MODULE, module, fs::copy_options::recursive);
        fs::remove(module / "sky" / "sky_overcast.vard");
        folder = home.Path() / "Documents" / "BRLM Saved Games";
        fs::create_directories(folder / "folder.vard");
        app.dialogFactory = std::make_unique<CGameDialogFactory>();
        ASSERT_NO_FATAL_FAILURE(AppTest::StartDemoGame(app, machine, module.string()));
        window = machine.window;
        app.RefreshActorInfos(true);
        app.UpdateGameTitle();
        app.StartPlay();
        window->PostAppMessage(kAppMessageGameLoaded);
        ASSERT_EQ(Pump(), -1);

        good = (folder / "good.vard").string();
        app.SaveGameTo(good);
        std::ifstream in(good);
        std::string saved{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        std::ofstream(folder / "garbage.vard") << "not a saved game\n";
        std::ofstream(folder / "cut.vard") << saved.substr(0, saved.size() / 2);
        std::string nowhere = saved;
        nowhere.replace(nowhere.find("\n \"town\"\n"), 9, "\n \"0\"\n");
        std::ofstream(folder / "nowhere.vard") << nowhere;
        saved[saved.find("\"1 10 attack ") + 1] = '2';
        std::ofstream(folder / "bars.vard") << saved;
        VARD::CEngine other;
        other.LoadModule(module.string(), false);
        ToolSupport::CreateMainCharacter(other, "Hero", "fighter", "male");
        other.Game().SetTravel("forest", "road");
        other.EnterArea();
        other.SaveGame(std::nullopt, (folder / "forest.vard").string());
        // Saved on its way: left to rest, and out by an exit to the world map.
        const auto saveLeavingTown =
            [&](const char* file, std::int32_t state, const char* area, const char* entry)
        {
            ToolSupport::CreateMainCharacter(other, "Hero", "fighter", "male");
            other.EnterArea();
            other.Game().SetTravel(area, entry);
            other.Game().SetState(state);
            other.LeaveArea();
            other.SaveGame(std::nullopt, (folder / file).string());
        };
        saveLeavingTown("rest.vard", VARD::kGameRestNeeded, "town", "gate");
        saveLeavingTown("map.vard", VARD::kGameTravelAtExit, "worldmap", "");
        // And by the driver before its first tick, before its first area.
        const TestUtil::VardsimRun run = TestUtil::RunVardsim(
            "--ticks 0 --name Zed --save '" + (folder / "zero.vard").string() + "'",
            module.string());
        ASSERT_EQ(run.status, 0) << run.out;
        ASSERT_NE(run.out.find("state=5 tick=0 gold=0 party=1 area=none"), std::string::npos)
            << run.out;
        ExpectPlaying();
    }

    int Pump()
    {
        return window->Run([this](const platform::Message& message)
                           { app.HandleMessage(message); });
    }

    // Through quick load (no screen), the game menu or the start screen;
    // whatever follows is handled, and the program must not close.
    void Load(const std::string& path, int screen = 0)
    {
        machine.fakes.desktop.boxAnswers = {platform::MessageBoxResult::Ok};
        machine.fakes.desktop.fileAnswers = {path};
        if (screen == 0)
        {
            app.savePath = path;
            app.HandleMessage({MessageKind::KeyDown, 'L'});
        }
        else
        {
            if (screen == CVARDGameMenuDlg::kLoadId)
                app.HandleMessage({MessageKind::KeyDown, platform::vk::kReturn});
            ASSERT_NE(app.currentDialog, nullptr);
            ASSERT_EQ(app.currentDialog->OnButton(screen), 1);
            app.CloseDialog();
        }
        const auto& boxes = machine.fakes.desktop.boxes;
        ASSERT_EQ(Pump(), -1) << "the program closed"
                              << (boxes.empty() ? std::string() : ": " + boxes.back().text);
    }

    // The load's box, with the cause on the one line under its text.
    void ExpectLoadError(const std::string& path, const std::string& cause)
    {
        const std::string head = "Failed to load \"" + path + "\".\n";
        const auto& box = machine.fakes.desktop.boxes.back();
        EXPECT_EQ(box.caption, "Load Error");
        EXPECT_EQ(box.text.substr(0, head.size()), head);
        EXPECT_NE(box.text.find(cause, head.size()), std::string::npos) << box.text;
        EXPECT_EQ(box.text.find('\n', head.size()), std::string::npos) << box.text;
    }

    // Scene and HUD stand, nothing holds the game, a timer message ticks it.
    void ExpectPlaying()
    {
        EXPECT_EQ(app.currentDialog, nullptr);
        EXPECT_EQ(app.sceneBuilt, 1);
        EXPECT_NE(app.pauseButton, nullptr);
        EXPECT_FALSE(app.keptGame.has_value());
        EXPECT_EQ(app.pauseCount, 0);
        const std::uint32_t tick = app.engine->Game().GetTick();
        machine.fakes.clock += 500;
        app.HandleMessage({MessageKind::Timer, app.timerId});
        EXPECT_GT(app.engine->Game().GetTick(), tick);
    }

    DialogTest::ScratchHome home;
    fs::path folder;
    std::string good;
    AppTest::OffscreenMachine machine;
    CGameApp app;
    AppTest::FakeAppWindow* window = nullptr;
};

TEST_F(LoadFailures, QuickLoadKeepsTheGameInPlayAtEveryStep)
{
    const std::shared_ptr<VARD::CGame> game = app.engine->GetGame();
    const VARD::CArea* area = game->GetCurrentArea();
    const auto party = game->GetParty();
    const std::string title = window->title;
    app.messageLog.push_back("a line before the loads");
    for (const auto& [file, cause] : kFailingFiles)
    {
        SCOPED_TRACE(file);
        const std::string path = (folder / file).string();
        const std::uint32_t tick = game->GetTick();
        ASSERT_NO_FATAL_FAILURE(Load(path));
        ExpectLoadError(path, cause);
        // The very game, where it was, with its log, title and bars.
        EXPECT_EQ(app.engine->GetGame(), game);
        EXPECT_EQ(game->GetTick(), tick);
        EXPECT_EQ(game->GetCurrentArea(), area);
        EXPECT_EQ(game->GetParty(), party);
        EXPECT_EQ(window->title, title);
        EXPECT_NE(
            std::find(app.messageLog.begin(), app.messageLog.end(), "a line before the loads"),
            app.messageLog.end());
        EXPECT_EQ(app.actorInfos.size(), 1u);
        ExpectPlaying();
    }
    // The player's pause survives a load that failed once play had started.
    app.HandleMessage({MessageKind::KeyDown, platform::vk::kSpace});
    ASSERT_NO_FATAL_FAILURE(Load((folder / "forest.vard").string()));
    EXPECT_EQ(app.playerPaused, 1);
    EXPECT_EQ(app.pauseCount, 1);
    app.HandleMessage({MessageKind::KeyDown, platform::vk::kSpace});
    // The good file replaces the game.
    ASSERT_NO_FATAL_FAILURE(Load(good));
    EXPECT_NE(app.engine->GetGame(), game);
    EXPECT_EQ(machine.fakes.desktop.boxes.back().caption, "Continue?");
    ExpectPlaying();
}

TEST_F(LoadFailures, GameMenuAndStartScreenLoadsFallBackToTheStartScreenAtEveryStep)
{
    for (const auto& [file, cause] : kFailingFiles)
    {
        SCOPED_TRACE(file);
        const std::string path = (folder / file).string();
        // The game menu lets the game go first; the start screen is left,
        // and stays as it was when loading from it fails again.
        const auto expectStartScreen = [&]
        {
            ExpectLoadError(path, cause);
            EXPECT_NE(dynamic_cast<CStartDlg*>(app.currentDialog.get()), nullptr);
            EXPECT_TRUE(app.coveredDialogs.empty());
            EXPECT_EQ(app.gameLoaded, 0);
            EXPECT_EQ(app.engine->GetGame(), nullptr);
            EXPECT_FALSE(app.keptGame.has_value());
            EXPECT_FALSE(window->timers.IsRunning(app.timerId));
            // Quick save still aims at the file last played from.
            EXPECT_EQ(app.savePath, good);
        };
        ASSERT_NO_FATAL_FAILURE(Load(path, CVARDGameMenuDlg::kLoadId));
        expectStartScreen();
        const int pauses = app.pauseCount;
        ASSERT_NO_FATAL_FAILURE(Load(path, CStartDlg::kLoadId));
        expectStartScreen();
        EXPECT_EQ(app.pauseCount, pauses);
        // From there the good file loads and plays.
        ASSERT_NO_FATAL_FAILURE(Load(good, CStartDlg::kLoadId));
        EXPECT_EQ(app.savePath, good);
        ExpectPlaying();
    }
    EXPECT_EQ(machine.fakes.desktop.boxes.size(), 2 * std::size(kFailingFiles));
}

// A game saved with its party in no area, on its way to one, goes on into
// it: resurrected first when it left to rest. On the world map it stays.
TEST_F(LoadFailures, GameMenuLoadsAGameSavedOutsideAnAreaWhereItWasGoing)
{
    const struct
    {
        const char* file;
        const char* member;
        std::uint32_t tick; // at least, once in the area
    } kBetweenAreas[] = {
        {"zero.vard", "Zed", 1},       // the driver's, before its first tick
        {"rest.vard", "Hero", 864000}, // left to rest: eight hours later
    };
    const std::size_t boxes = machine.fakes.desktop.boxes.size();
    for (const auto& saved : kBetweenAreas)
    {
        SCOPED_TRACE(saved.file);
        const std::string path = (folder / saved.file).string();
        ASSERT_NO_FATAL_FAILURE(Load(path, CVARDGameMenuDlg::kLoadId));
        ASSERT_EQ(machine.fakes.desktop.boxes.size(), boxes)
            << machine.fakes.desktop.boxes.back().text;
        // In the module's first area, the party standing in it, its HUD up.
        const VARD::CGame& game = app.engine->Game();
        ASSERT_NE(game.GetCurrentArea(), nullptr);
        EXPECT_EQ(game.GetCurrentArea()->GetName(), app.engine->Module().GetStartArea());
        EXPECT_EQ(game.GetState(), VARD::kGameRunning);
        EXPECT_GE(game.GetTick(), saved.tick);
        ASSERT_EQ(game.GetParty().size(), 1u);
        EXPECT_EQ(game.GetParty()[0]->GetName(), saved.member);
        EXPECT_NE(game.GetCurrentArea()->FindActorById(game.GetParty()[0]->Id()), nullptr);
        EXPECT_NE(app.miniMap, nullptr);
        EXPECT_EQ(app.portraits.size(), 1u);
        EXPECT_EQ(app.savePath, path);
        ExpectPlaying();
        // Painted, map and all, and still going.
        window->Invalidate();
        ASSERT_EQ(Pump(), -1) << "the program closed";
        EXPECT_EQ(machine.fakes.desktop.boxes.size(), boxes);
    }
    // One saved on the world map comes back to the map, where no area is.
    ASSERT_NO_FATAL_FAILURE(Load((folder / "map.vard").string(), CVARDGameMenuDlg::kLoadId));
    EXPECT_EQ(machine.fakes.desktop.boxes.size(), boxes);
    EXPECT_TRUE(app.IsOnWorldMap());
    EXPECT_NE(app.engine->Game().GetCurrentWorldMap(), nullptr);
    EXPECT_EQ(app.engine->Game().GetCurrentArea(), nullptr);
    EXPECT_EQ(app.sceneBuilt, 1);
    EXPECT_NE(app.pauseButton, nullptr);
    EXPECT_EQ(app.miniMap, nullptr);
    window->Invalidate();
    ASSERT_EQ(Pump(), -1) << "the program closed";
}

} // namespace
