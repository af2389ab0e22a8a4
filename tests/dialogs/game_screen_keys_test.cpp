// Every key the game screen binds, pressed through the window procedure on
// the demo town with a party of three and the real dialogs: what each key
// leaves of the selection, the action bars, the orders, the pause and the
// screen, and which sounds it plays.

#include "app_demo_game.h"
#include "dialog_harness.h"

#include "dialogs/action_dlg.h"
#include "ui/ui_action.h"
#include "world/order.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{

namespace vk = platform::vk;
using platform::MessageKind;

// Sends the player's input: a key, a system key, or a click or right click
// on a widget of the HUD, by id, as the widget tree reports it.
using Press = std::function<void(CGameApp&)>;

Press Key(MessageKind kind, std::uint32_t code)
{
    return [kind, code](CGameApp& app) { app.HandleMessage({kind, code}); };
}

Press HudClick(int id)
{
    return [id](CGameApp& app) { app.OnHudClick(id); };
}

Press HudRightClick(int id)
{
    return [id](CGameApp& app) { app.OnHudRightClick(id); };
}

struct KeyRow
{
    const char* what;
    // Run on the reset screen before the input.
    std::function<void(CGameApp&)> before;
    Press press;
    // The screen afterwards, as Snapshot writes it.
    std::string after;
};

// The demo town with a party of six: the hero, then Ann, Bob, Cid, Dee and
// Eve.
class GameScreenKeys : public ::testing::Test
{
protected:
    void SetUp() override
    {
        harness.StartDemoGame();
        ASSERT_NO_FATAL_FAILURE(AppTest::AddBandits(app, {"Ann", "Bob", "Cid", "Dee", "Eve"}));
        app.RefreshActorInfos(true);
    }

    // Play in the town: member 0 selected, no slot chosen, no orders, nobody
    // dead, no pause and no dialog.
    void Reset()
    {
        while (app.currentDialog)
            app.CloseDialog();
        if (app.playerPaused)
            app.TogglePause(true);
        if (app.fastMove)
            app.ToggleFastMove(false);
        for (const auto& member : harness.Game().GetParty())
        {
            member->SetActivityState(VARD::kActivityIdle);
            member->ClearOrders();
            app.ClearActionSlotSelection(member.get());
        }
        app.SelectPartyMember(0);
        app.RebuildUI();
        harness.TakeSounds();
    }

    // "sel" the selected member; "slots" each member's chosen slot, '-' for
    // none; "orders" each member with orders queued and their types; the
    // pause and fast-move, the state word and the area; the dialog (with its
    // slot for the action editor) and the clicks played.
    std::string Snapshot()
    {
        std::string out = "sel " + (app.selectedMember == kWholePartySelected
                                        ? std::string("all")
                                        : std::to_string(app.selectedMember));
        out += " slots ";
        const auto party = harness.Game().GetParty();
        for (const auto& member : party)
        {
            const int slot = app.GetSelectedActionSlot(member.get());
            out += slot == VARDUI::kActionSlotNone ? "-" : std::to_string(slot);
        }
        out += " orders";
        for (std::size_t i = 0; i < party.size(); ++i)
        {
            std::string types;
            for (const auto& order : party[i]->GetOrders())
            {
                if (!types.empty())
                    types += ',';
                types += std::to_string(order->GetType());
            }
            if (!types.empty())
                out += " " + std::to_string(i) + "=" + types;
        }
        out += " paused " + std::to_string(app.playerPaused) + " fast " +
               std::to_string(app.fastMove) + " state " +
               std::to_string(harness.Game().GetState()) + " in " +
               harness.Game().GetCurrentArea()->GetName();
        if (app.currentDialog)
            out += " | " + app.currentDialog->GetTitle();
        if (const auto* editor = harness.CurrentAs<CActionDlg>())
            out += " @" + std::to_string(editor->GetSelectedSlot());
        // The input's own click; the events of a new area ring their own.
        for (const std::string& sound : harness.TakeSounds())
            if (sound == "click.wav")
                out += " | " + sound;
        return out;
    }

    DialogTest::DialogHarness harness;
    CGameApp& app = harness.app;
};

// Queues a walk for every member.
void EveryoneWalks(CGameApp& app)
{
    for (const auto& member : app.engine->Game().GetParty())
        member->QueueOrder(std::make_shared<VARD::CMoveOrder>(20.0, 20.0), false);
}

TEST_F(GameScreenKeys, EachKeyDoesWhatItsBindingSaysAndNothingElse)
{
    const auto none = [](CGameApp&) {};
    const auto secondMember = [](CGameApp& app) { app.SelectPartyMember(1); };
    const auto wholeParty = [](CGameApp& app) { app.SelectWholeParty(); };
    const auto key = [](std::uint32_t code) { return Key(MessageKind::KeyDown, code); };
    const std::string idle = " orders paused 0 fast 0 state 0 in town";
    const KeyRow rows[] = {
        // Digits choose a member ('0' and TAB are the party orders' test).
        {"1", secondMember, key('1'), "sel 0 slots ------" + idle},
        {"6", none, key('6'), "sel 5 slots ------" + idle},
        {"7", none, key('7'), "sel 0 slots ------" + idle},
        // F1 to F10 choose the slot of the selected member, with a click;
        // the chosen slot again clears it; the whole party has no bar.
        {"F1", secondMember, key(vk::kF1), "sel 1 slots -0----" + idle + " | click.wav"},
        {"F10", none, key(vk::kF10), "sel 0 slots 9-----" + idle + " | click.wav"},
        {"F10 as a system key", none, Key(MessageKind::SysKeyDown, vk::kF10),
         "sel 0 slots 9-----" + idle + " | click.wav"},
        {"F10 again", [](CGameApp& app) { app.SelectActionSlot(app.GetSelectedActor().get(), 9); },
         key(vk::kF10), "sel 0 slots ------" + idle + " | click.wav"},
        {"F3 for the whole party", wholeParty, key(vk::kF1 + 2), "sel all slots ------" + idle},
        {"F11", none, key(vk::kF10 + 1), "sel 0 slots ------" + idle},
        // ESC empties the selected members' queues and drops the chosen slot.
        {"ESC",
         [](CGameApp& app)
         {
             EveryoneWalks(app);
             app.SelectPartyMember(1);
             app.SelectActionSlot(app.GetSelectedActor().get(), 4);
         },
         key(vk::kEscape),
         "sel 1 slots ------ orders 0=1 2=1 3=1 4=1 5=1 paused 0 fast 0 state 0 in town"},
        {"ESC for the whole party",
         [](CGameApp& app)
         {
             EveryoneWalks(app);
             app.SelectActionSlot(app.GetSelectedActor().get(), 4);
             app.SelectWholeParty();
         },
         key(vk::kEscape), "sel all slots 4-----" + idle},
        // R sends the selected member back to the entrance and ends a pause.
        {"R",
         [](CGameApp& app)
         {
             EveryoneWalks(app);
             app.SelectPartyMember(1);
             app.TogglePause(true);
         },
         key('R'),
         "sel 1 slots ------ orders 0=1 1=19 2=1 3=1 4=1 5=1 paused 0 fast 0 state 0 in town"},
        // A opens the selected member's bar at its chosen slot.
        {"A",
         [](CGameApp& app)
         {
             app.SelectPartyMember(1);
             app.SelectActionSlot(app.GetSelectedActor().get(), 4);
         },
         key('A'), "sel 1 slots -4----" + idle + " | Ann - Action @4 | click.wav"},
        {"A with nobody selected", [](CGameApp& app) { app.selectedMember = 7; }, key('A'),
         "sel 7 slots ------" + idle},
        {"SPACE", none, key(vk::kSpace),
         "sel 0 slots ------ orders paused 1 fast 0 state 0 in town | click.wav"},
        {"F", none, key('F'),
         "sel 0 slots ------ orders paused 0 fast 1 state 0 in town | click.wav"},
        {"INSERT", none, key(vk::kInsert), "sel 0 slots ------" + idle + " | Wizard | click.wav"},
        {"ENTER", none, key(vk::kReturn), "sel 0 slots ------" + idle + " | Game Menu | click.wav"},
        {"the slash key", none, key(vk::kSlash),
         "sel 0 slots ------" + idle + " | Help | click.wav"},
        {"V", none, key('V'), "sel 0 slots ------" + idle + " | Volume | click.wav"},
        // The HUD: a portrait chooses its member, the first one's Move Up
        // does nothing, a slot is chosen or, on a right click, edited.
        {"the third portrait", none, HudClick(110), "sel 2 slots ------" + idle + " | click.wav"},
        {"Move Up of the first portrait", none, HudClick(101), "sel 0 slots ------" + idle},
        {"the fifth slot", secondMember, HudClick(214),
         "sel 1 slots -4----" + idle + " | click.wav"},
        {"a right click on the fifth slot", secondMember, HudRightClick(214),
         "sel 1 slots ------" + idle + " | Ann - Action @4 | click.wav"},
        {"X away from an exit", none, key('X'), "sel 0 slots ------" + idle},
        // At an exit X leaves the town for the forest.
        {"X at an exit",
         [](CGameApp& app)
         {
             app.engine->Game().SetTravel("forest", "road");
             app.engine->Game().SetState(VARD::kGameTravelAtExit);
         },
         key('X'), "sel 0 slots ------ orders paused 0 fast 0 state 0 in forest"},
    };
    for (const KeyRow& row : rows)
    {
        SCOPED_TRACE(row.what);
        Reset();
        row.before(app);
        row.press(app);
        EXPECT_EQ(Snapshot(), row.after);
    }
    EXPECT_TRUE(harness.machine.desktop.boxes.empty());
}

} // namespace
