// Saved games from the shell: the party's action bars as text, the saved
// games folder under a home of the test's own, the save and load choosers,
// quick save and quick load with their boxes, and the commands' texts.

#include "app_demo_game.h"
#include "app_fakes.h"
#include "scratch_files.h"

#include "app/action_bar_text.h"
#include "app/actor_info.h"
#include "app/shell_dialogs.h"
#include "app/win_dlg.h"
#include "common/exception.h"
#include "rules/engine.h"
#include "tool_support.h"
#include "ui/ui_buttons.h"
#include "ui/ui_manager.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/game.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace
{

using AppTest::FakeAppPlatform;
using AppTest::KeyDown;
using platform::MessageBoxButtons;
using platform::MessageBoxIcon;
using platform::MessageBoxResult;

std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// The default bar of a party of one, as the text holds it.
std::string DefaultBarText()
{
    std::string text = "1 10 attack 0 0 ";
    for (int slot = 1; slot < 10; ++slot)
        text += "talk 0 0 ";
    return text;
}

TEST(ActionBarText, RoundTripsEverySlotAndRefusesWhatDoesNotFitWhole)
{
    VARDUI::CUIActionBar first;
    EXPECT_EQ(WriteActionBarsText({&first}), DefaultBarText());

    VARDUI::CUIActionBar second;
    second.selectedSlot = 4;
    second.slotType = {11, 10, 12, 2, 11, 10, 12, 2, 11, 10};
    second.slotSpell[0] = "firebolt";
    second.slotItem[1] = "healing_potion";
    second.slotSpell[4] = "sneak";
    second.slotItem[5] = "wand_of_sparks";
    second.slotItem[9] = "0";
    const std::string text = WriteActionBarsText({&first, &second});
    const auto bars = ReadActionBarsText(text, 2);
    ASSERT_EQ(bars.size(), 2u);
    EXPECT_EQ(bars[1].slotType, second.slotType);
    EXPECT_EQ(bars[1].slotSpell, second.slotSpell);
    // No slot stays selected, and a name "0" reads back as none.
    EXPECT_EQ(bars[1].selectedSlot, 10);
    EXPECT_EQ(bars[1].slotItem[1], "healing_potion");
    EXPECT_EQ(bars[1].slotItem[5], "wand_of_sparks");
    EXPECT_EQ(bars[1].slotItem[9], "");
    EXPECT_EQ(bars[0].slotType, first.slotType);

    struct Refusal
    {
        std::string text;
        std::size_t party;
        int code;
    };
    const std::string one = DefaultBarText();
    const Refusal refusals[] = {
        {one, 2, 1},
        {"2 " + one.substr(2) + one.substr(2), 1, 1},
        {one.substr(0, one.size() - 4), 1, 1},
        {"", 1, 1},
        {"-1 " + one.substr(2), 1, 1},
        {"1 11 " + one.substr(5), 1, 4},
        {"1 10 attack 0 0 walk 0 0 " + one.substr(25), 1, 1},
    };
    for (const Refusal& r : refusals)
    {
        SCOPED_TRACE(r.text);
        try
        {
            ReadActionBarsText(r.text, r.party);
            ADD_FAILURE() << "read";
        }
        catch (const CVARDException& e)
        {
            EXPECT_EQ(e.GetCode(), r.code);
        }
    }
    VARDUI::CUIActionBar odd;
    odd.slotType[3] = 13;
    VARDUI::CUIActionBar spaced;
    spaced.slotSpell[2] = "two words";
    const std::pair<std::vector<const VARDUI::CUIActionBar*>, int> unwritable[] = {
        {{&first, nullptr}, 4}, {{&odd}, 2}, {{&spaced}, 2}};
    for (const auto& [members, code] : unwritable)
    {
        try
        {
            WriteActionBarsText(members);
            ADD_FAILURE() << "written";
        }
        catch (const CVARDException& e)
        {
            EXPECT_EQ(e.GetCode(), code);
        }
    }
}

// A started program playing the demo town with a home folder of its own.
class AppSavedGames : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = home / "Documents" / "BRLM Saved Games";

        ASSERT_NO_FATAL_FAILURE(AppTest::StartDemoGame(app, machine));
        window = machine.window;
        app.RefreshActorInfos(true);
        app.StartPlay();
        window->posted.clear();
    }

    VARD::CActor& Hero() { return *app.engine->Game().GetParty().at(0); }
    std::vector<std::string> Captions() const
    {
        std::vector<std::string> captions;
        for (const auto& box : machine.desktop.boxes)
            captions.push_back(box.caption);
        return captions;
    }

    // Declared first: it outlives the program.
    const TestUtil::ScratchHome scratchHome;
    const std::filesystem::path home = scratchHome.Path();
    FakeAppPlatform machine;
    CGameApp app;
    AppTest::FakeAppWindow* window = nullptr;
    std::filesystem::path folder;
};

TEST_F(AppSavedGames, TheChoosersStartInTheFolderTheyMakeAndCancelChangesNothing)
{
    EXPECT_FALSE(std::filesystem::exists(folder));
    const std::string target = (folder / "first.vard").string();
    machine.desktop.fileAnswers = {target};
    app.ShowSaveDialog();
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    ASSERT_EQ(machine.desktop.choices.size(), 1u);
    EXPECT_TRUE(machine.desktop.choices[0].save);
    EXPECT_EQ(machine.desktop.choices[0].initialFolder, folder.string());
    EXPECT_EQ(machine.desktop.choices[0].defaultExtension, "vard");
    EXPECT_EQ(app.savePath, target);
    EXPECT_EQ(app.pauseCount, 0);
    const std::string saved = ReadAll(target);
    // The file keeps the words, not the blank after the last.
    const std::string bars = DefaultBarText();
    EXPECT_NE(saved.find("<bonus>"), std::string::npos);
    EXPECT_NE(saved.find("\"" + bars.substr(0, bars.size() - 1) + "\""), std::string::npos);

    // Cancelled, either chooser leaves every file as it was.
    app.ShowSaveDialog();
    EXPECT_FALSE(app.ShowLoadDialog());
    EXPECT_FALSE(machine.desktop.choices[2].save);
    EXPECT_EQ(ReadAll(target), saved);
    EXPECT_EQ(app.pauseCount, 0);
    EXPECT_TRUE(machine.desktop.boxes.empty());

    // A folder that cannot be made is said in the chooser's box, with why,
    // and the save gives its pause back.
    std::filesystem::remove_all(home / "Documents");
    WriteAll(home / "Documents", "not a folder");
    app.ShowSaveDialog();
    EXPECT_FALSE(app.ShowLoadDialog());
    EXPECT_EQ(machine.desktop.choices.size(), 3u);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Save Error", "Load Error"}));
    // Each with the reason under it.
    const std::string why = "\".\ncannot create the folder \"" + folder.string() + "\"";
    EXPECT_EQ(machine.desktop.boxes[1].text.rfind("Failed to load \"BRLM Saved Games" + why, 0),
              0u);
    EXPECT_EQ(app.pauseCount, 0);
    try
    {
        app.GetSavedGamesFolder();
        ADD_FAILURE() << "made";
    }
    catch (const CVARDException& e)
    {
        EXPECT_EQ(e.GetCode(), 1);
    }
}

TEST_F(AppSavedGames, TheBarsGoWithTheGameAndAFailedSaveOrLoadKeepsWhatWasThere)
{
    const VARD::CActor* hero = &Hero();
    app.SetActionSlotType(hero, 11, 3);
    app.SetActionSlotSpell(hero, "firebolt", 3);
    app.SetActionSlotType(hero, 10, 4);
    app.SetActionSlotItem(hero, "healing_potion", 4);
    app.SelectActionSlot(hero, 3);
    const std::string good = (folder / "good.vard").string();
    std::filesystem::create_directories(folder);
    app.SaveGameTo(good);
    ASSERT_EQ(app.savePath, good);
    const std::string saved = ReadAll(good);

    // A bar that cannot be written fails the save: the old file stays.
    app.SetActionSlotType(hero, 13, 5);
    app.SaveGameTo(good);
    app.SaveGameTo((folder / "other.vard").string());
    EXPECT_EQ(ReadAll(good), saved);
    EXPECT_FALSE(std::filesystem::exists(folder / "other.vard"));
    EXPECT_EQ(app.savePath, good);
    ASSERT_EQ(machine.desktop.boxes.size(), 2u);
    EXPECT_EQ(machine.desktop.boxes[0].caption, "Save Error");
    // The box's text, then the cause under it.
    EXPECT_EQ(machine.desktop.boxes[0].text,
              "Failed to save \"" + good + "\".\naction slot of type 13");
    EXPECT_EQ(machine.desktop.boxes[0].icon, MessageBoxIcon::Warning);
    // A file that does not read keeps the game and the quick save's target.
    const std::string broken = (folder / "broken.vard").string();
    WriteAll(broken, "game ( nonsense");
    const std::weak_ptr<VARD::CGame> before = app.engine->GetGame();
    EXPECT_EQ(app.LoadGameFrom(broken), 0);
    EXPECT_EQ(app.engine->GetGame(), before.lock());
    EXPECT_EQ(app.savePath, good);
    EXPECT_EQ(machine.desktop.boxes.back().caption, "Load Error");
    EXPECT_EQ(machine.desktop.boxes.back().text, "Failed to load \"" + broken + "\".\n" + broken +
                                                     ", line 1: expected <save>, found \"game\"");
    EXPECT_EQ(app.pauseCount, 0);

    // The good file brings its bars back, nothing selected.
    machine.desktop.fileAnswers = {good};
    window->posted.clear();
    EXPECT_TRUE(app.ShowLoadDialog());
    EXPECT_EQ(app.gameLoaded, 1);
    // The game held still and the old one kept until the new scene stands.
    EXPECT_EQ(app.pauseCount, 1);
    ASSERT_TRUE(app.keptGame.has_value());
    EXPECT_EQ(app.keptGame->game, before.lock());
    EXPECT_NE(app.engine->GetGame(), before.lock());
    hero = &Hero();
    EXPECT_EQ(app.GetSelectedActionSlot(hero), 10);
    EXPECT_EQ(app.GetActionSlotSpellName(hero, 3), "firebolt");
    EXPECT_EQ(app.GetActionSlotItemName(hero, 4), "healing_potion");
    EXPECT_EQ(app.actorInfos.at(hero->Id())->slotType[4], 10);
    EXPECT_EQ(app.actorInfos.at(hero->Id())->slotType[5], 12);
    ASSERT_EQ(window->posted.size(), 1u);
    EXPECT_EQ(window->posted[0].code, kAppMessageGameLoaded);

    // Bars for another party size are refused as a broken file.
    std::string twoMembers = saved;
    const std::size_t count = twoMembers.find("\"1 10 attack ");
    ASSERT_NE(count, std::string::npos);
    twoMembers[count + 1] = '2';
    const std::string mismatch = (folder / "mismatch.vard").string();
    WriteAll(mismatch, twoMembers);
    const std::shared_ptr<VARD::CGame> loaded = app.engine->GetGame();
    EXPECT_EQ(app.LoadGameFrom(mismatch), 0);
    EXPECT_EQ(app.savePath, good);
    EXPECT_EQ(app.engine->GetGame(), loaded);
    EXPECT_TRUE(before.expired());
    EXPECT_EQ(machine.desktop.boxes.back().text,
              "Failed to load \"" + mismatch +
                  "\".\nthe action bars are for 2 members, the party has 1");
}

TEST_F(AppSavedGames, QuickSaveAndQuickLoadAskFirstAndKeepTheGameWhenTheFileDoesNotLoad)
{
    // Without a file set both say so and change nothing.
    app.HandleMessage(KeyDown('Q'));
    app.HandleMessage(KeyDown('L'));
    ASSERT_EQ(machine.desktop.boxes.size(), 2u);
    EXPECT_EQ(machine.desktop.boxes[0].caption, "QuickSave error");
    EXPECT_EQ(machine.desktop.boxes[0].text, "Can't QuickSave; you don't have a save file set.");
    EXPECT_EQ(machine.desktop.boxes[1].caption, "QuickLoad Error");
    EXPECT_EQ(machine.desktop.boxes[1].text, "Can't QuickLoad; you don't have a load file set.");
    EXPECT_EQ(app.pauseCount, 0);
    EXPECT_FALSE(std::filesystem::exists(folder));

    std::filesystem::create_directories(folder);
    const std::string path = (folder / "quick.vard").string();
    app.SaveGameTo(path);
    const std::string first = ReadAll(path);
    machine.desktop.boxes.clear();
    // Cancel leaves the file; OK writes it again.
    app.engine->Game().SetTick(app.engine->Game().GetTick() + 900);
    app.QuickSave();
    EXPECT_EQ(ReadAll(path), first);
    machine.desktop.boxAnswers = {MessageBoxResult::Ok};
    app.QuickSave();
    EXPECT_NE(ReadAll(path), first);
    const std::uint32_t savedTick = app.engine->Game().GetTick();
    ASSERT_EQ(machine.desktop.boxes.size(), 2u);
    EXPECT_EQ(machine.desktop.boxes[0].caption, "Continue?");
    EXPECT_EQ(machine.desktop.boxes[0].text,
              "Are you sure you want to overwrite \"" + path + "\"?");
    EXPECT_EQ(machine.desktop.boxes[0].buttons, MessageBoxButtons::OkCancel);
    EXPECT_EQ(machine.desktop.boxes[0].icon, MessageBoxIcon::Question);
    EXPECT_EQ(app.pauseCount, 0);

    // Quick load: cancelled, then of a file that has gone, keeps the game.
    machine.desktop.boxes.clear();
    const std::weak_ptr<VARD::CGame> before = app.engine->GetGame();
    app.engine->Game().SetTick(savedTick + 300);
    app.QuickLoad();
    std::filesystem::rename(path, path + ".away");
    machine.desktop.boxAnswers = {MessageBoxResult::Ok};
    app.QuickLoad();
    EXPECT_EQ(app.engine->GetGame(), before.lock());
    EXPECT_EQ(app.gameLoaded, 1);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Continue?", "Continue?", "Load Error"}));
    EXPECT_EQ(machine.desktop.boxes[0].text, "Are you sure you want to unload the current game?");
    EXPECT_EQ(app.pauseCount, 0);
    // Nor does a file there that is no saved game: the game in play and its
    // log stay, rather than a screen with nothing on it.
    {
        std::ofstream(path) << "not a saved game\n";
    }
    app.messageLog.push_back("a line before");
    machine.desktop.boxAnswers = {MessageBoxResult::Ok};
    app.QuickLoad();
    EXPECT_EQ(app.engine->GetGame(), before.lock());
    EXPECT_EQ(app.gameLoaded, 1);
    ASSERT_FALSE(app.messageLog.empty());
    EXPECT_EQ(app.messageLog.back(), "a line before");
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Continue?", "Continue?", "Load Error",
                                                    "Continue?", "Load Error"}));
    EXPECT_EQ(app.pauseCount, 0);
    std::filesystem::remove(path);

    // Back in place, it replaces the game with the one saved.
    std::filesystem::rename(path + ".away", path);
    machine.desktop.boxAnswers = {MessageBoxResult::Ok};
    app.QuickLoad();
    EXPECT_NE(app.engine->GetGame(), before.lock());
    EXPECT_EQ(app.engine->Game().GetTick(), savedTick);
    EXPECT_EQ(app.gameLoaded, 1);
    EXPECT_EQ(app.pauseCount, 1);
    EXPECT_EQ(window->title, "Brelmoor - " + app.engine->Game().GetCurrentArea()->GetTitle());
}

TEST_F(AppSavedGames, UnloadingLeavesNoGameAndTheCommandsShowTheirTexts)
{
    app.messageLog.push_back("a line");
    app.selectedMember = kWholePartySelected;
    app.UnloadGame();
    EXPECT_EQ(app.engine->GetGame(), nullptr);
    EXPECT_EQ(app.gameLoaded, 0);
    EXPECT_TRUE(app.messageLog.empty());
    EXPECT_TRUE(app.actorInfos.empty());
    EXPECT_EQ(app.selectedMember, 0u);
    EXPECT_EQ(window->title, "Brelmoor");
    // The pause play gave back is taken again.
    EXPECT_EQ(app.pauseCount, 1);

    app.ShowHelp(true);
    const auto* help = dynamic_cast<PlainDialogs::CTextDlg*>(app.currentDialog.get());
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(window->title, "Brelmoor - Help");
    const std::string& text = help->GetText();
    EXPECT_EQ(text.rfind("Brelmoor LINE LINE Keyboard shortcuts:", 0), 0u);
    EXPECT_NE(
        text.find("See the Brelmoor (access from the Start Menu) for full information. LINE "),
        std::string::npos);
    std::size_t names = 0;
    for (std::size_t at = text.find("Brelmoor"); at != std::string::npos;
         at = text.find("Brelmoor", at + 1))
        ++names;
    EXPECT_EQ(names, 2u);
    app.CloseDialog();

    // The victory page: text and thanks, its panel and buttons, the
    // feedback page on the desktop.
    CWinDlg victory("Congratulations!", "Won.", &machine.desktop);
    EXPECT_EQ(victory.GetText().rfind("Won. LINE LINE Tessaly is desperate for feedback!", 0), 0u);
    EXPECT_NE(victory.GetText().find("Thank you for playing Brelmoor! LINE "), std::string::npos);
    VARDUI::CUIManager ui;
    const gfx::Rect client{0, 0, 1000, 800};
    victory.BuildUI(&client, &ui);
    const auto& elements = ui.GetElements();
    ASSERT_EQ(elements.size(), 4u);
    EXPECT_EQ(elements[0]->GetRect(), (gfx::Rect{180, 160, 820, 640}));
    EXPECT_EQ(elements[1]->GetRect(), (gfx::Rect{196, 176, 804, 576}));
    EXPECT_EQ(elements[2]->GetRect(), (gfx::Rect{332, 592, 588, 624}));
    EXPECT_EQ(elements[3]->GetRect(), (gfx::Rect{604, 592, 668, 624}));
    EXPECT_EQ(victory.OnButton(2), 0);
    EXPECT_EQ(machine.desktop.webPages,
              (std::vector<std::string>{"https://brelmoor.invalid/feedback"}));
    EXPECT_EQ(victory.OnButton(1), 1);
}

} // namespace
