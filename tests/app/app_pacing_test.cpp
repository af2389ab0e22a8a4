// The game's pace and events through the window procedure on fake window,
// device and clock: when the timer runs, how many ticks each timer message
// runs, what the events of the ticks show, and the party's leaving.

#include "app_demo_game.h"
#include "app_fakes.h"
#include "looping_module.h"

#include "app/shell_dialogs.h"
#include "common/exception.h"
#include "rules/engine.h"
#include "tool_support.h"
#include "ui/ui_buttons.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/event.h"
#include "world/game.h"
#include "world/modifier.h"
#include "world/order.h"
#include "world/world_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

namespace
{

using AppTest::FakeAppPlatform;
using AppTest::KeyDown;
using AppTest::RecordingDlg;
using platform::Message;
using platform::MessageKind;

constexpr std::uint32_t kTimer = 1;

// A started program playing the demo town, its splash and start screen
// closed and play started.
class AppPacing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(AppTest::StartDemoGame(app, machine));
        window = machine.window;
        machine.clock = 5000;
        app.StartPlay();
        window->posted.clear();
    }

    VARD::CGame& Game() { return app.engine->Game(); }
    bool TimerOn() const { return machine.window->timers.IsRunning(kTimer); }

    // One timer message at the given clock; the ticks it ran.
    std::uint32_t TimerAt(std::uint32_t clock)
    {
        machine.clock = clock;
        const std::uint32_t before = Game().GetTick();
        Message message;
        message.kind = MessageKind::Timer;
        message.code = kTimer;
        app.HandleMessage(message);
        return Game().GetTick() - before;
    }

    // Timer messages every 16 ms from the clock now until `span` ms later,
    // the last one at exactly that time; the ticks they ran.
    std::uint32_t RunFor(std::uint32_t span)
    {
        const std::uint32_t start = machine.clock;
        std::uint32_t ticks = 0;
        for (std::uint32_t at = 16; at < span + 16; at += 16)
            ticks += TimerAt(start + std::min(at, span));
        return ticks;
    }

    FakeAppPlatform machine;
    CGameApp app;
    AppTest::FakeAppWindow* window = nullptr;
};

TEST_F(AppPacing, TheTimerRunsExactlyWhilePlayIsNeitherPausedNorBehindADialog)
{
    ASSERT_TRUE(TimerOn());
    ASSERT_EQ(app.pauseCount, 0);
    std::mt19937 random(38);
    int depth = 0;
    int paused = 0;
    for (int step = 0; step < 400; ++step)
    {
        SCOPED_TRACE(step);
        const unsigned what = random() % 3;
        if (what == 0)
        {
            app.SetDialog(random() % 2 == 0, std::make_shared<RecordingDlg>());
            ++depth;
        }
        else if (what == 1 && depth > 0)
        {
            app.CloseDialog();
            --depth;
        }
        else
        {
            // SPACE reaches the game only without a dialog; the pause
            // button's call works under one too.
            if (depth == 0)
                app.HandleMessage(KeyDown(platform::vk::kSpace));
            else
                app.TogglePause(true);
            paused = 1 - paused;
        }
        ASSERT_EQ(app.playerPaused, paused);
        ASSERT_EQ(app.pauseCount, paused + (depth > 0 ? 1 : 0));
        ASSERT_EQ(static_cast<int>(app.coveredDialogs.size()), std::max(depth - 1, 0));
        ASSERT_EQ(TimerOn(), paused == 0 && depth == 0);
    }
    // Unloading takes the no-play hold; starting play anew gives it back
    // and ends the player's pause.
    while (depth-- > 0)
        app.CloseDialog();
    if (app.playerPaused == 0)
        app.TogglePause(true);
    app.StopPlay();
    EXPECT_EQ(app.pauseCount, 2);
    app.StartPlay();
    EXPECT_EQ(app.playerPaused, 0);
    EXPECT_TRUE(TimerOn());
    app.StopPlay();
    EXPECT_FALSE(TimerOn());
    EXPECT_EQ(app.pauseCount, 1);
}

TEST_F(AppPacing, ASecondOfTimerMessagesRunsSixtyTicksOrOneHundredTwentyFast)
{
    EXPECT_EQ(RunFor(1000), 60u);
    // A message with no tick due changes nothing, not even a repaint.
    window->invalidated = false;
    EXPECT_EQ(TimerAt(machine.clock), 0u);
    EXPECT_FALSE(window->invalidated);

    // The toggle rebases: the time before it does not count at the new speed.
    machine.clock += 500;
    app.HandleMessage(KeyDown('F'));
    ASSERT_EQ(app.fastMove, 1);
    EXPECT_EQ(RunFor(1000), 120u);
    EXPECT_TRUE(window->invalidated);
    // While paused no timer message arrives; the pause does not count.
    auto pause = std::make_shared<VARDUI::CUIImageButton>(4, 161);
    app.ui.AddElement(pause);
    app.pauseButton = pause.get();
    app.HandleMessage(KeyDown(platform::vk::kSpace));
    EXPECT_EQ(pause->GetImage(), 162u);
    EXPECT_EQ(pause->GetHoverInfo().title, "Resume");
    machine.clock += 7000;
    EXPECT_EQ(TimerAt(machine.clock), 0u);
    app.HandleMessage(KeyDown(platform::vk::kSpace));
    app.HandleMessage(KeyDown('F'));
    EXPECT_EQ(RunFor(1000), 60u);
    EXPECT_TRUE(machine.desktop.boxes.empty());
}

TEST_F(AppPacing, AStallRunsElevenTicksThenCountsFromANewBaseAcrossTheClocksWrap)
{
    EXPECT_EQ(TimerAt(machine.clock + 5000), 11u);
    EXPECT_EQ(app.realTimeBase, machine.clock);
    EXPECT_EQ(app.tickBase, Game().GetTick());
    // 16 ms after the new base is less than a tick; 32 ms is one.
    EXPECT_EQ(TimerAt(machine.clock + 16), 0u);
    EXPECT_EQ(TimerAt(machine.clock + 16), 1u);

    // The clock wrapping between the base and a message loses nothing.
    app.TogglePause(true);
    machine.clock = 0xFFFFFFFFu - 499u;
    app.TogglePause(true);
    ASSERT_EQ(app.realTimeBase, 0xFFFFFE0Cu);
    EXPECT_EQ(RunFor(1000), 60u);
    EXPECT_LT(machine.clock, 1000u);
}

TEST_F(AppPacing, CombatEndsFastMoveAfterTheTickThatStartedIt)
{
    auto button = std::make_shared<VARDUI::CUIImageButton>(9, 177);
    app.ui.AddElement(button);
    app.fastMoveButton = button.get();
    app.ToggleFastMove(false);
    ASSERT_EQ(app.fastMove, 1);
    RunFor(100);
    ASSERT_EQ(Game().GetCombatFlag(), 0);
    ASSERT_EQ(app.fastMove, 1);
    // A dominated member puts the party in combat on the next tick.
    const auto hero = Game().GetParty().front();
    hero->AddStatus(VARD::kStatusDominated, Game().GetTick() + 10000);
    EXPECT_EQ(TimerAt(machine.clock + 200), 1u);
    EXPECT_EQ(app.fastMove, 0);
    EXPECT_EQ(button->GetImage(), 178u);
    // The toggle rebased: the next message counts at normal speed from here.
    EXPECT_EQ(TimerAt(machine.clock + 1000), 11u);
}

TEST_F(AppPacing, AMessageShowsAtOnceWhileATalkWaitsForTheTicksToStop)
{
    // Seen when each line reaches the screen: what is open, what waits.
    std::vector<std::string> seen;
    app.screenHooks.messageLogged = [&](const std::string& line)
    {
        seen.push_back(line + (app.currentDialog ? " over a dialog" : "") + " with " +
                       std::to_string(app.pendingEvents.size()) + " waiting");
    };
    Game().PostEvent(std::make_shared<VARD::CTalkEvent>(1, 2));
    Game().AddMessage(VARD::kMessageInfo, "Hello there.");
    Game().PostEvent(std::make_shared<VARD::CInvEvent>(0x03FFFFFFu, 0));
    Game().PostEvent(std::make_shared<VARD::CDialogBoxEvent>("Sign", "Beware."));
    // The party-changed and return events are handled inside the tick.
    int partyChanges = 0;
    app.screenHooks.partyChanged = [&] { ++partyChanges; };
    Game().PostEvent(std::make_shared<VARD::CInfoEvent>(VARD::kEventPartyChanged));
    Game().PostEvent(std::make_shared<VARD::CInfoEvent>(VARD::kEventReturnedToEntrance));

    // Five ticks are due; the waiting talk stops the loop after the first.
    EXPECT_EQ(TimerAt(machine.clock + 90), 1u);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), "Hello there. with 1 waiting");
    EXPECT_EQ(partyChanges, 1);
    EXPECT_TRUE(app.pendingEvents.empty());
    // The return notice opened first, the talk over it, then the dialog box
    // with the main character; the inventory of nobody opened nothing.
    EXPECT_NE(dynamic_cast<PlainDialogs::CTextDlg*>(app.currentDialog.get()), nullptr);
    EXPECT_EQ(window->title, "Brelmoor - Sign");
    ASSERT_EQ(app.coveredDialogs.size(), 2u);
    EXPECT_EQ(app.coveredDialogs[0]->GetTitle(), "Return");
    EXPECT_NE(dynamic_cast<PlainDialogs::CTalkDlg*>(app.coveredDialogs[1].get()), nullptr);
    EXPECT_EQ(app.pauseCount, 1);
    EXPECT_FALSE(TimerOn());
    EXPECT_EQ(TimerAt(machine.clock + 1000), 0u);

    // Closing the last dialog lets the game run on.
    for (int open = 3; open > 0; --open)
        app.HandleMessage(KeyDown(platform::vk::kEscape));
    EXPECT_EQ(app.currentDialog, nullptr);
    EXPECT_TRUE(TimerOn());
    EXPECT_TRUE(machine.desktop.boxes.empty());
}

TEST_F(AppPacing, AWipedOutPartySeesPartyDeadOnceThenWakesEightHoursLater)
{
    const std::string town = Game().GetCurrentArea()->GetTitle();
    const auto hero = Game().GetParty().front();
    hero->SetActivityState(VARD::kActivityDead);
    const std::uint32_t before = Game().GetTick();
    window->titles.clear();
    TimerAt(machine.clock + 100);
    ASSERT_NE(app.currentDialog, nullptr);
    EXPECT_EQ(window->title, "Brelmoor - Party Dead");
    EXPECT_EQ(Game().GetState(), VARD::kGameRestNeeded);
    EXPECT_FALSE(TimerOn());

    // Its closing leaves the area, resurrects the party and enters again.
    app.HandleMessage(KeyDown(platform::vk::kEscape));
    EXPECT_EQ(app.currentDialog, nullptr);
    EXPECT_EQ(std::count(window->titles.begin(), window->titles.end(), "Brelmoor - Party Dead"), 1);
    EXPECT_EQ(window->title, "Brelmoor - " + Game().GetCurrentArea()->GetTitle());
    EXPECT_EQ(Game().GetCurrentArea()->GetTitle(), town);
    EXPECT_FALSE(hero->IsDead());
    EXPECT_GE(Game().GetTick(), before + 864000u);
    EXPECT_NE(std::find(app.messageLog.begin(), app.messageLog.end(), "Hero is resurrected."),
              app.messageLog.end());
    EXPECT_EQ(app.pauseCount, 0);
    EXPECT_TRUE(TimerOn());
    EXPECT_TRUE(machine.desktop.boxes.empty());
}

TEST_F(AppPacing, AWonGameShowsTheVictoryOnceWhenADialogClosesAndThenEnds)
{
    app.SetDialog(false, std::make_shared<RecordingDlg>());
    auto covered = std::make_shared<RecordingDlg>();
    app.SetDialog(false, covered);
    Game().SetState(VARD::kGameWon);
    Game().SetVictoryText("The crypt is quiet.");
    app.CloseDialog();
    auto* victory = dynamic_cast<CWinDlg*>(app.currentDialog.get());
    ASSERT_NE(victory, nullptr);
    EXPECT_EQ(victory->GetText().rfind("The crypt is quiet. LINE LINE ", 0), 0u);
    EXPECT_EQ(window->title, "Brelmoor - Congratulations!");
    EXPECT_EQ(covered->log, (std::vector<std::string>{"Closed"}));
    EXPECT_TRUE(Game().GetVictoryText().empty());
    EXPECT_TRUE(window->posted.empty());
    EXPECT_EQ(app.pauseCount, 1);
    // No tick runs any more.
    EXPECT_EQ(TimerAt(machine.clock + 1000), 0u);
    // Closing it ends the program, and the dialog it covered stays away.
    app.HandleMessage(KeyDown(platform::vk::kEscape));
    ASSERT_EQ(window->posted.size(), 1u);
    EXPECT_EQ(window->posted[0].kind, MessageKind::Close);
    EXPECT_EQ(app.currentDialog, nullptr);
}

TEST_F(AppPacing, LeavingByTheRoadHoldsPlayOnTheWorldMapUntilAPlaceIsChosen)
{
    auto exit = std::make_shared<VARDUI::CUIImageButton>(3, 100);
    app.ui.AddElement(exit);
    app.exitButton = exit.get();
    // X does nothing while the party stands nowhere near an exit.
    app.HandleMessage(KeyDown('X'));
    ASSERT_NE(Game().GetCurrentArea(), nullptr);
    app.UpdateGameTitle();
    EXPECT_EQ(window->title, "Brelmoor - " + Game().GetCurrentArea()->GetTitle());
    Game().SetTravel("worldmap", "");
    Game().SetState(VARD::kGameTravelAtExit);
    app.HandleMessage(KeyDown('X'));
    EXPECT_EQ(Game().GetState(), VARD::kGameOnWorldMap);
    EXPECT_EQ(window->title, "Brelmoor");
    EXPECT_EQ(app.pauseCount, 1);
    EXPECT_FALSE(TimerOn());
    EXPECT_EQ(TimerAt(machine.clock + 1000), 0u);

    const VARD::CMap2* map = Game().GetCurrentWorldMap();
    ASSERT_TRUE(map && !map->GetAreas().empty());
    const auto& forest = map->GetAreas().back();
    ASSERT_EQ(forest->GetAreaName(), "forest");
    app.TravelToMapLocation(*forest);
    EXPECT_EQ(Game().GetCurrentArea()->GetName(), "forest");
    EXPECT_EQ(window->title, "Brelmoor - " + Game().GetCurrentArea()->GetTitle());
    EXPECT_EQ(app.pauseCount, 0);
    ASSERT_FALSE(window->posted.empty());
    EXPECT_EQ(window->posted.back().code, kAppMessageGameLoaded);
    EXPECT_EQ(RunFor(1000), 60u);
    EXPECT_TRUE(machine.desktop.boxes.empty());
}

TEST_F(AppPacing, AStoppedTickEndsItsRunAndTheBoxsTimeIsNotCaughtUp)
{
    // The merchant has no such talk state: the talk stops inside the tick.
    const auto hero = Game().GetParty().front();
    const auto merchant =
        VARD::CreateActorFromTemplate("merchant", "", app.engine->Module(), Game());
    merchant->SetPosition(hero->GetX() + 2.0, hero->GetY());
    Game().GetCurrentArea()->AddActor(merchant);
    hero->QueueInstantOrder(std::make_shared<VARD::CTalkOrder>(merchant->Id(), "nowhere", ""));

    // Five ticks are due; the stopped one is the last this message runs,
    // and play counts on from the box's closing.
    EXPECT_EQ(TimerAt(machine.clock + 90), 1u);
    ASSERT_EQ(machine.desktop.boxes.size(), 1u);
    EXPECT_EQ(machine.desktop.boxes[0].caption, "Script Error");
    EXPECT_EQ(TimerAt(machine.clock), 0u);
    EXPECT_TRUE(TimerOn());
    EXPECT_EQ(RunFor(1000), 60u);
    EXPECT_EQ(machine.desktop.boxes.size(), 1u);
}

TEST(AppWorldMap, AStoppedEntryScriptShowsItsBoxAndThePartyPlaysOnWhereItArrived)
{
    // Every entry's script stops in the wood.
    const TestUtil::LoopingModule module(
        {TestUtil::ScriptCaller::Entry},
        "<lua> if vard_is_in_area( context , \"forest\" ) then error( \"the road is closed\" ) "
        "end </lua>");
    FakeAppPlatform machine;
    CGameApp app;
    ASSERT_NO_FATAL_FAILURE(AppTest::StartDemoGame(app, machine, module.Path()));
    VARD::CGame& game = app.engine->Game();
    app.StartPlay();
    game.SetTravel("worldmap", "");
    game.SetState(VARD::kGameTravelAtExit);
    app.HandleMessage(KeyDown('X'));
    ASSERT_TRUE(app.IsOnWorldMap());
    const auto& forest = game.GetCurrentWorldMap()->GetAreas().back();
    ASSERT_EQ(forest->GetEntryName(), "road");

    EXPECT_NO_THROW(app.TravelToMapLocation(*forest));
    ASSERT_EQ(machine.desktop.boxes.size(), 1u);
    EXPECT_EQ(machine.desktop.boxes[0].caption, "Script Error");
    EXPECT_NE(machine.desktop.boxes[0].text.find("the road is closed"), std::string::npos);
    EXPECT_EQ(game.GetCurrentArea()->GetName(), "forest");
    EXPECT_EQ(app.pauseCount, 0);
    EXPECT_TRUE(machine.window->timers.IsRunning(kTimer));
}

// A fresh program for each row of the events table: the demo town, a party
// of three with member 0 selected, play started.
struct EventScreen
{
    EventScreen()
    {
        AppTest::StartDemoGame(app, machine);
        AppTest::AddTwoBandits(app);
        app.RefreshActorInfos(true);
        app.SelectFirstPartyMember();
        machine.clock = 5000;
        app.StartPlay();
        // The party-changed event stands for whatever a tick or a pending
        // event does to the state word.
        app.screenHooks.partyChanged = [this]
        {
            if (stateOnPartyChange >= 0)
                app.engine->Game().SetState(stateOnPartyChange);
        };
        for (const auto& member : Game().GetParty())
            member->SetGraphic(std::make_shared<int>(1));
        app.RebuildUI();
    }
    VARD::CGame& Game() { return app.engine->Game(); }
    // One timer message 90 ms on: five ticks due.
    void Timer()
    {
        machine.clock += 90;
        app.HandleMessage({MessageKind::Timer, kTimer});
    }
    std::uint32_t Id(std::size_t member) { return Game().GetParty().at(member)->Id(); }

    FakeAppPlatform machine;
    CGameApp app;
    std::int32_t stateOnPartyChange = -1;
};

// One timer message, then what the screen shows: the ticks run, the
// selection, which members keep their figures, the state word, the area,
// the events still waiting, the Exit button when shown, the dialog and any
// box.
std::string AfterTimer(EventScreen& screen, const std::function<void()>& then)
{
    const std::uint32_t before = screen.Game().GetTick();
    const VARD::CArea* town = screen.Game().GetCurrentArea();
    screen.Timer();
    const std::uint32_t ticks = screen.Game().GetTick() - before;
    if (then)
        then();
    CGameApp& app = screen.app;
    // Leaving takes game time of its own.
    const bool left = screen.Game().GetCurrentArea() != town;
    std::string out =
        (left ? std::string("left") : "ticks " + std::to_string(ticks)) + " sel " +
        (app.selectedMember == kWholePartySelected ? std::string("all")
                                                   : std::to_string(app.selectedMember)) +
        " figures ";
    for (const auto& member : screen.Game().GetParty())
        out += member->GetGraphic() ? "1" : "0";
    out += " state " + std::to_string(screen.Game().GetState());
    if (const VARD::CArea* area = screen.Game().GetCurrentArea())
        out += " " + area->GetName();
    out += " waiting " + std::to_string(app.pendingEvents.size());
    if (app.exitButton != nullptr && app.exitButton->TestFlags(VARDUI::kUIFlagVisible) != 0)
        out += " exit";
    if (app.currentDialog)
        out += " | " + app.currentDialog->GetTitle();
    for (const auto& box : screen.machine.desktop.boxes)
        out += " | " + box.caption + " " +
               box.text.substr(box.text.find("(code"), std::string("(code 4").size());
    return out;
}

TEST(AppEvents, WhatEachEventAndStateWordLeadsTo)
{
    struct Row
    {
        const char* what;
        std::function<void(EventScreen&)> before;
        std::string after;
        // Run after the timer message, before the screen is read.
        std::function<void(EventScreen&)> then = nullptr;
    };
    const auto post = [](EventScreen& s, std::int32_t kind, std::size_t member)
    { s.Game().PostEvent(std::make_shared<VARD::CActorInfoEvent>(kind, s.Id(member))); };
    const auto kill = [](EventScreen& s, std::size_t member)
    { s.Game().GetParty().at(member)->SetActivityState(VARD::kActivityDead); };
    const auto stateDuringTick = [](std::int32_t state)
    {
        return [state](EventScreen& s)
        {
            s.Game().SetTravel("forest", "road");
            s.stateOnPartyChange = state;
            s.Game().PostEvent(std::make_shared<VARD::CInfoEvent>(VARD::kEventPartyChanged));
        };
    };
    const auto sentAwayUnderADialog = [](EventScreen& s)
    {
        s.Game().SetTravel("forest", "road");
        s.stateOnPartyChange = VARD::kGameTravelByScript;
        s.app.QueuePendingEvent(std::make_shared<VARD::CDialogBoxEvent>("Note", "Hm."));
        s.app.QueuePendingEvent(std::make_shared<VARD::CInfoEvent>(VARD::kEventPartyChanged));
        s.app.QueuePendingEvent(std::make_shared<VARD::CDialogBoxEvent>("Sign", "Beware."));
    };
    const std::string gameError = " waiting 0 | Game Error (code 4";
    const Row rows[] = {
        {"hit points of the selected member change",
         [&](EventScreen& s)
         {
             s.app.SelectPartyMember(1);
             post(s, VARD::kEventActorHitPoints, 1);
         },
         "ticks 5 sel 1 figures 111 state 0 town waiting 0"},
        {"the selected member dies",
         [&](EventScreen& s)
         {
             s.app.SelectPartyMember(2);
             kill(s, 0);
             kill(s, 2);
             post(s, VARD::kEventActorHitPoints, 2);
         },
         "ticks 5 sel 1 figures 111 state 0 town waiting 0"},
        {"a member not selected dies",
         [&](EventScreen& s)
         {
             kill(s, 1);
             post(s, VARD::kEventActorEnergy, 1);
         },
         "ticks 5 sel 0 figures 111 state 0 town waiting 0"},
        {"a member of the whole party dies",
         [&](EventScreen& s)
         {
             s.app.SelectWholeParty();
             kill(s, 0);
             post(s, VARD::kEventActorHitPoints, 0);
         },
         "ticks 5 sel 1 figures 111 state 0 town waiting 0"},
        {"a member changes equipment",
         [&](EventScreen& s) { post(s, VARD::kEventActorEquipment, 1); },
         "ticks 5 sel 0 figures 101 state 0 town waiting 0"},
        {"a dead member changes equipment",
         [&](EventScreen& s)
         {
             kill(s, 1);
             post(s, VARD::kEventActorEquipment, 1);
         },
         "ticks 5 sel 0 figures 111 state 0 town waiting 0"},
        {"the return notice does not stop the ticks",
         [](EventScreen& s) {
             s.Game().PostEvent(std::make_shared<VARD::CInfoEvent>(VARD::kEventReturnedToEntrance));
         },
         "ticks 5 sel 0 figures 111 state 0 town waiting 0 | Return"},
        // A state word of 2 or 3 after the ticks leaves the area at once.
        {"sent away during a tick", stateDuringTick(VARD::kGameTravelByScript),
         "left sel 0 figures 111 state 0 forest waiting 0"},
        {"to rest during a tick", stateDuringTick(VARD::kGameRestNeeded),
         "left sel 0 figures 111 state 0 forest waiting 0"},
        {"world map state after a tick", stateDuringTick(VARD::kGameOnWorldMap),
         "ticks 1 sel 0 figures 111 state 4 town" + gameError},
        {"destination state after a tick", stateDuringTick(VARD::kGameDestinationKnown),
         "ticks 1 sel 0 figures 111 state 5 town" + gameError},
        {"left-for-rest state after a tick", stateDuringTick(VARD::kGameLeftForRest),
         "ticks 1 sel 0 figures 111 state 6 town" + gameError},
        // A pending event that sends the party away stops the rest, which
        // the leaving drops.
        {"sent away by a pending event",
         [](EventScreen& s)
         {
             s.Game().SetTravel("forest", "road");
             s.stateOnPartyChange = VARD::kGameTravelByScript;
             s.app.QueuePendingEvent(std::make_shared<VARD::CInfoEvent>(VARD::kEventPartyChanged));
             s.app.QueuePendingEvent(std::make_shared<VARD::CDialogBoxEvent>("Sign", "Beware."));
         },
         "left sel 0 figures 111 state 0 forest waiting 0"},
        // ... also when an event before it opened a dialog: the leaving
        // waits for that dialog to close.
        {"sent away under a dialog", sentAwayUnderADialog,
         "ticks 1 sel 0 figures 111 state 3 town waiting 1 | Note"},
        {"sent away under a dialog that closes", sentAwayUnderADialog,
         "left sel 0 figures 111 state 0 forest waiting 0",
         [](EventScreen& s) { s.app.HandleMessage(KeyDown(platform::vk::kEscape)); }},
        // The dialogs of the events stand in their order; closing the top
        // one shows the one before it.
        {"three notes",
         [](EventScreen& s)
         {
             for (const char* title : {"One", "Two", "Three"})
                 s.app.QueuePendingEvent(std::make_shared<VARD::CDialogBoxEvent>(title, "."));
         },
         "ticks 1 sel 0 figures 111 state 0 town waiting 0 | Two",
         [](EventScreen& s) { s.app.HandleMessage(KeyDown(platform::vk::kEscape)); }},
        // The living stand at the east road, a fallen member far from it.
        {"at the road with a member fallen",
         [&](EventScreen& s)
         {
             const VARD::CAreaExit& east = *s.Game().GetCurrentArea()->GetExits().front();
             ASSERT_EQ(east.GetName(), "east_road");
             s.Game().GetParty()[0]->SetPosition(east.GetX() - 2.0, east.GetY());
             s.Game().GetParty()[1]->SetPosition(east.GetX() - 2.0, east.GetY() + 2.0);
             kill(s, 2);
         },
         "ticks 5 sel 0 figures 111 state 1 town waiting 0 exit"},
        // Each wipe-out shows its notice, the second as the first.
        {"wiped out twice",
         [](EventScreen& s)
         {
             for (const auto& member : s.Game().GetParty())
                 member->SetActivityState(VARD::kActivityDead);
         },
         "ticks 1 sel 0 figures 111 state 2 town waiting 0 | Party Dead",
         [](EventScreen& s)
         {
             s.app.HandleMessage(KeyDown(platform::vk::kEscape));
             for (const auto& member : s.Game().GetParty())
                 member->SetActivityState(VARD::kActivityDead);
             s.Timer();
         }},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.what);
        EventScreen screen;
        row.before(screen);
        EXPECT_EQ(
            AfterTimer(screen, row.then ? [&] { row.then(screen); } : std::function<void()>()),
            row.after);
    }
}

TEST_F(AppPacing, ADialogsOrdersTakeEffectAtOnceAndOnlyScriptFailuresAreSwallowed)
{
    app.SetDialog(false, std::make_shared<RecordingDlg>());
    app.DrainGameEvents(); // what the entry into the town left
    app.pendingEvents.clear();
    Game().AddMessage(VARD::kMessageGold, "The party gains 5 gold.");
    Game().PostEvent(std::make_shared<VARD::CTalkEvent>(1, 2));
    Game().AddMessage(VARD::kMessageInfo, "Saved.");
    const std::size_t logged = app.messageLog.size();
    app.DrainGameEvents();
    EXPECT_EQ(std::vector<std::string>(app.messageLog.begin() + logged, app.messageLog.end()),
              (std::vector<std::string>{"The party gains 5 gold.", "Saved."}));
    ASSERT_EQ(app.pendingEvents.size(), 1u);
    EXPECT_EQ(app.pendingEvents.front()->GetKind(), VARD::kEventTalk);

    // A failure other than a script's reaches the dialog, and the order is
    // gone so that the game can go on.
    const auto hero = Game().GetParty().front();
    hero->QueueInstantOrder(std::make_shared<VARD::CMoveOrder>(1.0, 1.0));
    try
    {
        app.ExecuteInstantOrders();
        ADD_FAILURE() << "a move cannot be run at once";
    }
    catch (const CVARDException& error)
    {
        EXPECT_EQ(error.GetCode(), 2);
    }
    EXPECT_TRUE(machine.desktop.boxes.empty());
    EXPECT_EQ(hero->GetFrontInstantOrder(), nullptr);
}

} // namespace
