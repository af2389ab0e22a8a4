// The splash and start screens, the game menu and volume page, the map and
// message log and the developer console, driven through the shell by the
// dialog harness at the reference client size of 864 x 720.

#include "dialog_harness.h"

#include "dialogs/game_menu_dlg.h"
#include "dialogs/info_dlgs.h"
#include "dialogs/map_msg_dlg.h"
#include "dialogs/start_dlg.h"
#include "dialogs/wizard_dlg.h"
#include "ui/ui_buttons.h"
#include "ui/ui_group.h"
#include "ui/ui_mini_map.h"
#include "ui/ui_scroll_bar.h"
#include "ui/ui_static_text.h"
#include "ui/ui_text.h"
#include "world/area.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

namespace
{

using DialogTest::DialogHarness;
namespace vk = platform::vk;

const std::vector<std::string> kClick{"click.wav"};
const std::vector<std::string> kNoSound{};

std::string Text(const gfx::Rect& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

// The panel lies beneath everything: the first widget added.
gfx::Rect PanelOf(const DialogHarness& harness)
{
    const auto panels = harness.All<VARDUI::CUIBackground>();
    EXPECT_EQ(panels.size(), 1u);
    EXPECT_EQ(harness.app.ui.GetElements().front().get(), panels.front());
    EXPECT_EQ(panels.front()->GetColour(), 0xC0000000u);
    EXPECT_NE(panels.front()->TestFlags(VARDUI::kUIFlagBackdrop), 0u);
    return panels.front()->GetRect();
}

TEST(ShellDialogs, RectanglesAtTheReferenceSize)
{
    DialogHarness harness;
    harness.StartDemoGame();
    VARD::CArea* area = harness.Game().GetCurrentArea();
    ASSERT_NE(area, nullptr);
    struct Case
    {
        const char* title;
        std::function<std::shared_ptr<CVARDDlg>()> make;
        std::string panel;
        std::vector<std::pair<int, std::string>> widgets;
    };
    std::vector<std::pair<int, std::string>> menu;
    for (int k = 1; k <= 7; ++k)
        menu.push_back({k, Text({336, 200 + 48 * (k - 1), 528, 232 + 48 * (k - 1)})});
    std::vector<std::pair<int, std::string>> volume;
    for (int v = 0; v <= 100; v += 10)
        volume.push_back({100 + v, Text({400, 228 + 24 * (v / 10), 464, 252 + 24 * (v / 10)})});
    const std::deque<std::string> history{"one", "two"};
    const Case cases[] = {
        {"Brelmoor - Tessaly",
         [] { return std::make_shared<CSplashDlg>(); },
         "96,80,768,640",
         {{1, "336,592,528,624"}}},
        {"Brelmoor - Welcome",
         [] { return std::make_shared<CStartDlg>(); },
         "51,145,813,575",
         {{1, "336,431,528,463"}, {2, "336,479,528,511"}, {3, "336,527,528,559"}}},
        {"Brelmoor - Game Menu", [] { return std::make_shared<CVARDGameMenuDlg>(); },
         "320,184,544,536", menu},
        {"Brelmoor - Volume", [] { return std::make_shared<CVARDVolumeDlg>(100); },
         "384,212,480,508", volume},
        {"Brelmoor - Messages",
         [&] { return std::make_shared<CVARDMsgDlg>(&history); },
         "112,120,752,600",
         {{1, "400,552,464,584"}}},
        // A script's box of all that a run may hand over keeps its size: its
        // text scrolls, and "Done" stays on the screen.
        {"Brelmoor - t",
         [] { return std::make_shared<CTextDlg>("t", std::string(1024 * 1024, 'n')); },
         "112,120,752,600",
         {{CTextDlg::kDoneId, "400,552,464,584"}}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.title);
        harness.app.SetDialog(true, c.make());
        EXPECT_EQ(harness.window->title, c.title);
        EXPECT_EQ(Text(PanelOf(harness)), c.panel);
        for (const auto& [id, rect] : c.widgets)
        {
            const auto* button = harness.Find<VARDUI::CUITextButton>(id);
            ASSERT_NE(button, nullptr) << id;
            EXPECT_EQ(Text(button->GetRect()), rect) << id;
        }
        harness.app.CloseDialog();
    }

    // The pictures and texts around the buttons.
    harness.app.SetDialog(true, std::make_shared<CSplashDlg>());
    ASSERT_EQ(harness.All<VARDUI::CUIImage>().size(), 1u);
    EXPECT_EQ(harness.All<VARDUI::CUIImage>()[0]->GetImage(), 137u);
    EXPECT_EQ(Text(harness.All<VARDUI::CUIImage>()[0]->GetRect()), "112,96,752,576");
    harness.app.CloseDialog();
    harness.app.SetDialog(true, std::make_shared<CStartDlg>());
    EXPECT_EQ(harness.All<VARDUI::CUIImage>()[0]->GetImage(), 160u);
    EXPECT_EQ(Text(harness.All<VARDUI::CUIImage>()[0]->GetRect()), "67,161,797,343");
    ASSERT_EQ(harness.All<VARDUI::CUITextElement>().size(), 1u);
    EXPECT_EQ(Text(harness.All<VARDUI::CUITextElement>()[0]->GetRect()), "132,359,732,415");
    EXPECT_EQ(CStartDlg::NoticeText().rfind("Brelmoor Version 1.0 (Beta) LINE This is Beta "
                                            "software. Please help make it better by providing "
                                            "feedback or bug reports to Tessaly. Visit ",
                                            0),
              0u);
    harness.app.CloseDialog();
    EXPECT_EQ(harness.Find<VARDUI::CUITextButton>(CVARDGameMenuDlg::kAboutId), nullptr);
    harness.app.SetDialog(true, std::make_shared<CVARDGameMenuDlg>());
    EXPECT_EQ(harness.Find<VARDUI::CUITextButton>(6)->GetCaption(), "About Brelmoor");
    harness.app.CloseDialog();

    // The message log shows the history itself, newest line at the bottom.
    harness.app.SetDialog(true, std::make_shared<CVARDMsgDlg>(&history));
    const auto* log = harness.All<VARDUI::CUITextElement>().at(0);
    EXPECT_EQ(Text(log->GetRect()), "128,136,736,536");
    EXPECT_EQ(log->GetLines(), &history);
    EXPECT_EQ(log->IsTopDown(), 0u);
    harness.app.CloseDialog();

    // The map: two pixels a cell and a border, centred over "Done".
    harness.app.SetDialog(true, std::make_shared<CVARDMapDlg>(area));
    EXPECT_EQ(harness.window->title, "Brelmoor - " + area->GetTitle() + " - Map");
    const int w = 2 * static_cast<int>(area->GetWidth()) + 2;
    const int h = 2 * static_cast<int>(area->GetHeight()) + 2;
    const int top = 360 - (h + 16 + 32) / 2;
    const auto maps = harness.All<VARDUI::CUIMiniMap>();
    ASSERT_EQ(maps.size(), 1u);
    EXPECT_EQ(maps[0]->GetId(), 0);
    EXPECT_EQ(maps[0]->GetButton(), nullptr);
    EXPECT_EQ(Text(maps[0]->GetRect()), Text({432 - w / 2, top, 432 - w / 2 + w, top + h}));
    EXPECT_EQ(Text(harness.Find<VARDUI::CUITextButton>(1)->GetRect()),
              Text({400, top + h + 16, 464, top + h + 48}));
    EXPECT_EQ(Text(PanelOf(harness)), Text({std::min(432 - w / 2, 400) - 16, top - 16,
                                            std::max(432 - w / 2 + w, 464) + 16, top + h + 64}));
    harness.app.CloseDialog();

    // The console: warning, framed entry and the two buttons side by side.
    harness.app.SetDialog(true, std::make_shared<CWizardDlg>());
    const auto* group = harness.All<VARDUI::CUIGroup>().at(0);
    const int groupHeight = group->GetRect().Height();
    const int wizardTop = 360 - (200 + 16 + 24 + 16 + groupHeight) / 2;
    EXPECT_EQ(Text(harness.All<VARDUI::CUITextElement>().at(0)->GetRect()),
              Text({232, wizardTop, 632, wizardTop + 200}));
    const auto* entry = harness.All<VARDUI::CUIStaticText>().at(0);
    EXPECT_EQ(Text(entry->GetRect()), Text({232, wizardTop + 216, 632, wizardTop + 240}));
    EXPECT_NE(entry->TestFlags(VARDUI::kUIFlagTextFrame), 0u);
    const gfx::Rect done = harness.Find<VARDUI::CUITextButton>(1)->GetRect();
    const gfx::Rect cancel = harness.Find<VARDUI::CUITextButton>(2)->GetRect();
    EXPECT_EQ(done.Width(), 64);
    EXPECT_LT(done.right, cancel.left + 1);
    EXPECT_EQ(done.top, wizardTop + 256);
    EXPECT_EQ(group->GetRect().left, 432 - group->GetRect().Width() / 2);
}

TEST(ShellDialogs, SplashThenStartScreenKeysClicksAndExit)
{
    DialogHarness harness;
    ASSERT_NE(harness.CurrentAs<CSplashDlg>(), nullptr);
    // Other keys and clicks off "Done" leave the splash up.
    for (std::uint32_t key : {std::uint32_t{'A'}, vk::kTab, vk::kLeft})
        harness.Key(key);
    harness.ClickAt(432, 300);
    harness.ClickAt(100, 100);
    ASSERT_NE(harness.CurrentAs<CSplashDlg>(), nullptr);
    for (std::uint32_t key : {vk::kEscape, vk::kReturn, vk::kSpace})
    {
        SCOPED_TRACE(key);
        harness.TakeSounds();
        harness.Key(key);
        // One click, the close; the start screen comes silently.
        EXPECT_EQ(harness.TakeSounds(), kClick);
        ASSERT_NE(harness.CurrentAs<CStartDlg>(), nullptr);
        EXPECT_EQ(harness.CoveredCount(), 0u);
        harness.app.CloseDialog();
        harness.app.SetDialog(true, harness.app.dialogFactory->MakeSplash());
    }
    harness.Press(CSplashDlg::kDoneId);
    auto* start = harness.CurrentAs<CStartDlg>();
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(harness.window->title, "Brelmoor - Welcome");

    // Esc, Enter and a click on the notice leave the choice at 0.
    harness.Key(vk::kEscape);
    harness.Key(vk::kReturn);
    harness.ClickAt(432, 380);
    EXPECT_EQ(harness.Current(), start);
    EXPECT_EQ(start->GetChoice(), 0);
    EXPECT_EQ(harness.PostedCloses(), 0);

    harness.TakeSounds();
    harness.Press(CStartDlg::kExitId);
    EXPECT_EQ(harness.PostedCloses(), 1);
    EXPECT_EQ(harness.Current(), nullptr);
    EXPECT_EQ(harness.TakeSounds(), kClick);
}

TEST(ShellDialogs, ACancelledLoadReopensTheStartScreenSilently)
{
    DialogHarness harness;
    harness.Key(vk::kEscape);
    auto* first = harness.CurrentAs<CStartDlg>();
    ASSERT_NE(first, nullptr);
    harness.TakeSounds();
    harness.machine.desktop.fileAnswers.push_back(std::nullopt);
    harness.Press(CStartDlg::kLoadId);
    ASSERT_EQ(harness.machine.desktop.choices.size(), 1u);
    EXPECT_FALSE(harness.machine.desktop.choices[0].save);
    EXPECT_EQ(harness.machine.desktop.choices[0].initialFolder,
              (harness.home.Path() / "Documents" / "BRLM Saved Games").string());
    auto* again = harness.CurrentAs<CStartDlg>();
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, first);
    EXPECT_EQ(again->GetChoice(), 0);
    EXPECT_EQ(harness.CoveredCount(), 0u);
    EXPECT_EQ(harness.TakeSounds(), kClick);
    EXPECT_TRUE(harness.machine.desktop.boxes.empty());
    EXPECT_EQ(harness.app.gameLoaded, 0);
}

TEST(ShellDialogs, GameMenuChoicesAndTheVolume)
{
    DialogHarness harness;
    harness.StartDemoGame();
    // Enter opens the menu with a click; Esc returns to the game; Space
    // does nothing in it.
    harness.Key(vk::kReturn);
    auto* menu = harness.CurrentAs<CVARDGameMenuDlg>();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(harness.TakeSounds(), kClick);
    harness.Key(vk::kSpace);
    EXPECT_EQ(harness.Current(), menu);
    harness.Key(vk::kEscape);
    EXPECT_EQ(harness.Current(), nullptr);
    EXPECT_EQ(harness.app.pauseCount, 0);
    EXPECT_EQ(harness.TakeSounds(), kClick);

    // "Volume": its page opens silently after the menu's closing click.
    harness.Key(vk::kReturn);
    harness.TakeSounds();
    harness.Press(CVARDGameMenuDlg::kVolumeId);
    EXPECT_EQ(harness.TakeSounds(), kClick);
    ASSERT_NE(harness.CurrentAs<CVARDVolumeDlg>(), nullptr);
    EXPECT_EQ(harness.CoveredCount(), 0u);
    const auto highlighted = [&]
    {
        std::vector<int> ids;
        for (auto* button : harness.All<VARDUI::CUITextButton>())
            if (button->TestFlags(VARDUI::kUIFlagHighlighted))
                ids.push_back(button->GetId());
        return ids;
    };
    EXPECT_EQ(highlighted(), std::vector<int>{200});
    EXPECT_EQ(harness.Find<VARDUI::CUITextButton>(100)->GetCaption(), "mute");
    EXPECT_EQ(harness.Find<VARDUI::CUITextButton>(130)->GetCaption(), "30%");
    // A click off the buttons keeps the page; "mute" sets 0.
    harness.ClickAt(10, 10);
    ASSERT_NE(harness.CurrentAs<CVARDVolumeDlg>(), nullptr);
    harness.Press(100);
    EXPECT_EQ(harness.Current(), nullptr);
    EXPECT_EQ(harness.app.audio->GetVolume(), 0u);
    harness.Key('V');
    EXPECT_EQ(highlighted(), std::vector<int>{100});
    // Esc keeps the volume.
    harness.Key(vk::kEscape);
    EXPECT_EQ(harness.app.audio->GetVolume(), 0u);
    harness.app.SetVolume(100);

    // "Quit Game" posts one close and opens nothing.
    harness.Key(vk::kReturn);
    harness.Press(CVARDGameMenuDlg::kQuitId);
    EXPECT_EQ(harness.PostedCloses(), 1);
    EXPECT_EQ(harness.Current(), nullptr);
    harness.window->posted.clear();

    // "Quick Help" opens over nothing, silently.
    harness.Key(vk::kReturn);
    harness.TakeSounds();
    harness.Press(CVARDGameMenuDlg::kHelpId);
    EXPECT_EQ(harness.TakeSounds(), kClick);
    ASSERT_NE(harness.Current(), nullptr);
    EXPECT_EQ(harness.Current()->GetTitle(), "Help");
    harness.Key(vk::kEscape);

    // "Load Game" drops the running game before the chooser; cancelled, the
    // start screen is all that is left.
    harness.Key(vk::kReturn);
    harness.machine.desktop.fileAnswers.push_back(std::nullopt);
    harness.Press(CVARDGameMenuDlg::kLoadId);
    EXPECT_EQ(harness.app.gameLoaded, 0);
    ASSERT_NE(harness.CurrentAs<CStartDlg>(), nullptr);
    EXPECT_EQ(harness.machine.desktop.choices.size(), 1u);
    EXPECT_EQ(harness.QueuedOrders(), 0u);
}

TEST(ShellDialogs, EachGameMenuAndVolumeButtonByItsIdAndCaption)
{
    DialogHarness harness;
    harness.StartDemoGame();
    // The volume buttons: caption, and the volume the press leaves.
    for (const auto& [id, after] : std::vector<std::pair<int, std::string>>{
             {100, "mute 0"}, {110, "10% 10"}, {190, "90% 90"}, {200, "100% 100"}})
    {
        SCOPED_TRACE(id);
        harness.app.SetVolume(50);
        harness.Key('V');
        const auto* button = harness.Find<VARDUI::CUITextButton>(id);
        ASSERT_NE(button, nullptr);
        const std::string caption = button->GetCaption();
        harness.Press(id);
        EXPECT_EQ(harness.Current(), nullptr);
        EXPECT_EQ(caption + " " + std::to_string(harness.app.audio->GetVolume()), after);
    }

    // Caption, then what the press leaves: the dialog open, the file
    // choosers asked (each cancelled), the closes posted, whether a game
    // is still loaded.
    const std::pair<int, std::string> rows[] = {
        {CVARDGameMenuDlg::kSaveId, "Save Game |  | choosers 1 save | closes 0 | loaded 1"},
        {CVARDGameMenuDlg::kReturnId, "Return to Game |  | choosers 0 | closes 0 | loaded 1"},
        {CVARDGameMenuDlg::kHelpId, "Quick Help | Help | choosers 0 | closes 0 | loaded 1"},
        {CVARDGameMenuDlg::kAboutId, "About Brelmoor | About | choosers 0 | closes 0 | loaded 1"},
        {CVARDGameMenuDlg::kVolumeId, "Volume | Volume | choosers 0 | closes 0 | loaded 1"},
        {CVARDGameMenuDlg::kQuitId, "Quit Game |  | choosers 0 | closes 1 | loaded 1"},
        {CVARDGameMenuDlg::kLoadId, "Load Game | Welcome | choosers 1 load | closes 0 | loaded 0"},
    };
    for (const auto& [id, after] : rows)
    {
        SCOPED_TRACE(id);
        while (harness.Current())
            harness.app.CloseDialog();
        harness.window->posted.clear();
        harness.machine.desktop.choices.clear();
        harness.machine.desktop.fileAnswers = {std::nullopt};
        harness.Key(vk::kReturn);
        const auto* button = harness.Find<VARDUI::CUITextButton>(id);
        ASSERT_NE(button, nullptr);
        std::string seen = button->GetCaption() + " | ";
        harness.Press(id);
        seen += (harness.Current() ? harness.Current()->GetTitle() : "") + " | choosers " +
                std::to_string(harness.machine.desktop.choices.size());
        for (const auto& choice : harness.machine.desktop.choices)
            seen += choice.save ? " save" : " load";
        seen += " | closes " + std::to_string(harness.PostedCloses()) + " | loaded " +
                std::to_string(harness.app.gameLoaded);
        EXPECT_EQ(seen, after);
    }
}

TEST(ShellDialogs, MapAndMessageLogCloseOnlyOnDoneEscOrEnter)
{
    DialogHarness harness;
    harness.StartDemoGame();
    harness.app.messageLog.assign({"first", "second"});
    for (std::uint32_t opener : {std::uint32_t{'M'}, std::uint32_t{'G'}})
        for (int closer = 0; closer < 3; ++closer)
        {
            SCOPED_TRACE(std::string(1, static_cast<char>(opener)) + std::to_string(closer));
            harness.Key(opener);
            ASSERT_NE(harness.Current(), nullptr);
            EXPECT_EQ(harness.TakeSounds(), kClick);
            // The map or the text takes a click and keeps the dialog.
            harness.ClickAt(432, 300);
            harness.Key('A');
            ASSERT_NE(harness.Current(), nullptr);
            if (closer == 0)
                harness.Press(1);
            else
                harness.Key(closer == 1 ? vk::kEscape : vk::kReturn);
            EXPECT_EQ(harness.Current(), nullptr);
            EXPECT_EQ(harness.TakeSounds(), kClick);
        }
    harness.Key('G');
    EXPECT_EQ(harness.window->title, "Brelmoor - Messages");
    EXPECT_EQ(harness.All<VARDUI::CUITextElement>().at(0)->GetLines(), &harness.app.messageLog);
}

// A script that posts lines on every tick: the log keeps the newest lines up
// to its bound, in order, and the messages page shows the newest.
TEST(ShellDialogs, AFloodOfMessagesKeepsTheNewestLinesInTheLog)
{
    DialogHarness harness;
    harness.StartDemoGame();
    CGameApp& app = harness.app;
    app.RebuildUI();
    app.messageLog.clear();
    const std::size_t dropped = 2500;
    const std::size_t total = kMessageLogLines + dropped;
    const auto line = [](std::size_t n) { return "line " + std::to_string(n); };
    for (std::size_t n = 0; n < total; ++n)
    {
        harness.Game().AddMessage(VARD::kMessageInfo, line(n));
        if (n % 1000 == 999)
            app.DrainTickEvents();
    }
    app.DrainTickEvents();
    ASSERT_EQ(app.messageLog.size(), kMessageLogLines);
    for (std::size_t i = 0; i < kMessageLogLines; ++i)
        ASSERT_EQ(app.messageLog[i], line(dropped + i)) << i;

    harness.Key('G');
    ASSERT_NE(harness.CurrentAs<CVARDMsgDlg>(), nullptr);
    const auto pages = harness.All<VARDUI::CUITextElement>();
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0]->GetLines(), &app.messageLog);
    const VARDUI::CUIScrollBar* bar = pages[0]->GetScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetMaximum(), kMessageLogLines - 1);
    EXPECT_EQ(app.messageLog.at(bar->GetPosition()), line(total - 1));
    harness.Key(vk::kEscape);

    // Long lines are bounded by their text as well: the newest that fit
    // stay, and a line longer than the bound stays alone.
    const std::size_t length = 64u * 1024u;
    const auto longLine = [&](std::size_t n)
    {
        std::string text = line(n) + ' ';
        text.resize(length, 'x');
        return text;
    };
    const std::size_t fit = kMessageLogBytes / length;
    for (std::size_t n = 0; n < fit + 5; ++n)
        harness.Game().AddMessage(VARD::kMessageInfo, longLine(n));
    app.DrainTickEvents();
    ASSERT_EQ(app.messageLog.size(), fit);
    EXPECT_EQ(app.messageLog.front(), longLine(5));
    EXPECT_EQ(app.messageLog.back(), longLine(fit + 4));

    // The next game's log is counted afresh: the text above, full to the
    // bound, pushes none of its lines out.
    app.UnloadGame();
    harness.StartDemoGame();
    const std::size_t kept = app.messageLog.size();
    for (std::size_t n = 0; n < 50; ++n)
        harness.Game().AddMessage(VARD::kMessageInfo, line(n));
    app.DrainTickEvents();
    ASSERT_EQ(app.messageLog.size(), kept + 50);
    EXPECT_EQ(app.messageLog[kept], line(0));
    harness.Game().AddMessage(VARD::kMessageInfo, std::string(kMessageLogBytes + 1, 'y'));
    app.DrainTickEvents();
    harness.Game().AddMessage(VARD::kMessageInfo, "after");
    app.DrainTickEvents();
    ASSERT_EQ(app.messageLog.size(), 1u);
    EXPECT_EQ(app.messageLog.front(), "after");
}

TEST(ShellDialogs, ConsoleLinesAreTypedAndRunOnce)
{
    DialogHarness harness;
    harness.StartDemoGame();
    const auto hero = harness.app.GetSelectedActor();
    ASSERT_NE(hero, nullptr);
    const auto line = [&] { return harness.CurrentAs<CWizardDlg>()->GetLine(); };

    // "heal" and Enter heals the party.
    hero->SetDamageTaken(5);
    ASSERT_LT(hero->GetHitPoints(), hero->GetMaxHitPoints());
    harness.Key(vk::kInsert);
    ASSERT_NE(harness.CurrentAs<CWizardDlg>(), nullptr);
    EXPECT_EQ(harness.window->title, "Brelmoor - Wizard");
    harness.Type("heal");
    EXPECT_EQ(line(), "heal");
    harness.Key(vk::kReturn);
    EXPECT_EQ(harness.Current(), nullptr);
    EXPECT_EQ(hero->GetHitPoints(), hero->GetMaxHitPoints());

    // The line is handed over once: the gold grows by 5, not more.
    const std::int32_t gold = harness.Game().GetGold();
    harness.Key(vk::kInsert);
    harness.Type("cash 5");
    harness.Press(CWizardDlg::kDoneId);
    EXPECT_EQ(harness.Game().GetGold(), gold + 5);

    // Editing: shift with a digit adds nothing, with a letter the capital,
    // with minus the underscore; numpad digits nothing; backspace one off.
    harness.Key(vk::kInsert);
    harness.Key('1', true);
    harness.Key('A', true);
    harness.Key(0xBD, true);
    harness.Key(0xBD);
    harness.Key(0x60);
    harness.Key(vk::kBack);
    EXPECT_EQ(line(), "A_");
    harness.Key(vk::kBack);
    harness.Key(vk::kBack);
    harness.Key(vk::kBack);
    EXPECT_EQ(line(), "");
    // Enter on an empty line, Esc and "Cancel" on a typed one run nothing.
    const auto before = harness.app.messageLog.size();
    harness.Key(vk::kReturn);
    for (int how = 0; how < 2; ++how)
    {
        harness.Key(vk::kInsert);
        harness.Type("cash 7");
        if (how == 0)
            harness.Key(vk::kEscape);
        else
            harness.Press(CWizardDlg::kCancelId);
        EXPECT_EQ(harness.Current(), nullptr);
    }
    EXPECT_EQ(harness.Game().GetGold(), gold + 5);
    EXPECT_EQ(harness.app.messageLog.size(), before);

    // A command the game refuses is told in the message history and play
    // goes on.
    harness.Key(vk::kInsert);
    harness.Type("item nosuchthing");
    harness.Key(vk::kReturn);
    EXPECT_EQ(harness.Current(), nullptr);
    ASSERT_EQ(harness.app.messageLog.size(), before + 1);
    EXPECT_EQ(harness.app.messageLog.back().rfind("Wizard: ", 0), 0u);
    EXPECT_TRUE(harness.machine.desktop.boxes.empty());
    EXPECT_EQ(harness.PostedCloses(), 0);
    EXPECT_EQ(harness.app.gameLoaded, 1);
}

} // namespace
