// Every key the game screen binds, pressed through the window procedure on
// the demo town with a party of three and the real dialogs: what each key
// leaves of the selection, the action bars, the orders, the pause and the
// screen, and which sounds it plays.

#include "app_demo_game.h"
#include "dialog_harness.h"

#include "dialogs/action_dlg.h"
#include "world/order.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{

namespace vk = platform::vk;
using platform::MessageKind;

struct KeyRow
{
    const char* what;
    // Run on the reset screen before the key.
    std::function<void(CGameApp&)> before;
    MessageKind kind;
    std::uint32_t key;
    // The screen afterwards, as Snapshot writes it.
    std::string after;
};

class GameScreenKeys : public ::testing::Test
{
protected:
    void SetUp() override
    {
        harness.StartDemoGame();
        ASSERT_NO_FATAL_FAILURE(AppTest::AddTwoBandits(app));
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
        harness.TakeSounds();
    }

    // "sel" the selected member, each member's chosen slot, each member's
    // queued order types, the pause and fast-move, the state word, the dialog
    // (with its slot for the action editor) and the clicks played.
    std::string Snapshot()
    {
        std::string out = "sel " + (app.selectedMember == kWholePartySelected
                                        ? std::string("all")
                                        : std::to_string(app.selectedMember));
        out += " slots";
        for (const auto& member : harness.Game().GetParty())
            out += " " + std::to_string(app.GetSelectedActionSlot(member.get()));
        out += " orders";
        for (const auto& member : harness.Game().GetParty())
        {
            std::string types;
            for (const auto& order : member->GetOrders())
                types += (types.empty() ? "" : ",") + std::to_string(order->GetType());
            out += " " + (types.empty() ? "-" : types);
        }
        out += " paused " + std::to_string(app.playerPaused) + " fast " +
               std::to_string(app.fastMove) + " state " +
               std::to_string(harness.Game().GetState()) + " in " +
               harness.Game().GetCurrentArea()->GetName();
        if (app.currentDialog)
            out += " | " + app.currentDialog->GetTitle();
        if (const auto* editor = harness.CurrentAs<CActionDlg>())
            out += " @" + std::to_string(editor->GetSelectedSlot());
        // The key's own click; the events of a new area ring their own.
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
    const MessageKind down = MessageKind::KeyDown;
    const std::string idle = " orders - - - paused 0 fast 0 state 0 in town";
    const KeyRow rows[] = {
        // Digits choose a member; '0' the whole party; TAB the next.
        {"1", secondMember, down, '1', "sel 0 slots 10 10 10" + idle},
        {"3", none, down, '3', "sel 2 slots 10 10 10" + idle},
        {"0", none, down, '0', "sel all slots 10 10 10" + idle},
        {"TAB", secondMember, down, vk::kTab, "sel 2 slots 10 10 10" + idle},
        // F1 to F10 choose the slot of the selected member, with a click;
        // the chosen slot again clears it; the whole party has no bar.
        {"F1", secondMember, down, vk::kF1, "sel 1 slots 10 0 10" + idle + " | click.wav"},
        {"F10", none, down, vk::kF10, "sel 0 slots 9 10 10" + idle + " | click.wav"},
        {"F10 as a system key", none, MessageKind::SysKeyDown, vk::kF10,
         "sel 0 slots 9 10 10" + idle + " | click.wav"},
        {"F10 again", [](CGameApp& app) { app.SelectActionSlot(app.GetSelectedActor().get(), 9); },
         down, vk::kF10, "sel 0 slots 10 10 10" + idle + " | click.wav"},
        {"F3 for the whole party", wholeParty, down, vk::kF1 + 2, "sel all slots 10 10 10" + idle},
        {"F11", none, down, vk::kF10 + 1, "sel 0 slots 10 10 10" + idle},
        // ESC empties the selected members' queues and drops the chosen slot.
        {"ESC",
         [](CGameApp& app)
         {
             EveryoneWalks(app);
             app.SelectPartyMember(1);
             app.SelectActionSlot(app.GetSelectedActor().get(), 4);
         },
         down, vk::kEscape, "sel 1 slots 10 10 10 orders 1 - 1 paused 0 fast 0 state 0 in town"},
        {"ESC for the whole party",
         [](CGameApp& app)
         {
             EveryoneWalks(app);
             app.SelectActionSlot(app.GetSelectedActor().get(), 4);
             app.SelectWholeParty();
         },
         down, vk::kEscape, "sel all slots 4 10 10 orders - - - paused 0 fast 0 state 0 in town"},
        // R sends the selected member back to the entrance and ends a pause.
        {"R",
         [](CGameApp& app)
         {
             EveryoneWalks(app);
             app.SelectPartyMember(1);
             app.TogglePause(true);
         },
         down, 'R', "sel 1 slots 10 10 10 orders 1 19 1 paused 0 fast 0 state 0 in town"},
        // A opens the selected member's bar at its chosen slot.
        {"A",
         [](CGameApp& app)
         {
             app.SelectPartyMember(1);
             app.SelectActionSlot(app.GetSelectedActor().get(), 4);
         },
         down, 'A', "sel 1 slots 10 4 10" + idle + " | Ann - Action @4 | click.wav"},
        {"A with nobody selected", [](CGameApp& app) { app.selectedMember = 7; }, down, 'A',
         "sel 7 slots 10 10 10" + idle},
        {"SPACE", none, down, vk::kSpace,
         "sel 0 slots 10 10 10 orders - - - paused 1 fast 0 state 0 in town | click.wav"},
        {"F", none, down, 'F',
         "sel 0 slots 10 10 10 orders - - - paused 0 fast 1 state 0 in town | click.wav"},
        {"INSERT", none, down, vk::kInsert,
         "sel 0 slots 10 10 10" + idle + " | Wizard | click.wav"},
        {"ENTER", none, down, vk::kReturn,
         "sel 0 slots 10 10 10" + idle + " | Game Menu | click.wav"},
        {"the slash key", none, down, vk::kSlash,
         "sel 0 slots 10 10 10" + idle + " | Help | click.wav"},
        {"V", none, down, 'V', "sel 0 slots 10 10 10" + idle + " | Volume | click.wav"},
        {"X away from an exit", none, down, 'X', "sel 0 slots 10 10 10" + idle},
        // At an exit X leaves the town for the forest.
        {"X at an exit",
         [](CGameApp& app)
         {
             app.engine->Game().SetTravel("forest", "road");
             app.engine->Game().SetState(VARD::kGameTravelAtExit);
         },
         down, 'X', "sel 0 slots 10 10 10 orders - - - paused 0 fast 0 state 0 in forest"},
    };
    for (const KeyRow& row : rows)
    {
        SCOPED_TRACE(row.what);
        Reset();
        row.before(app);
        platform::Message message;
        message.kind = row.kind;
        message.code = row.key;
        app.HandleMessage(message);
        EXPECT_EQ(Snapshot(), row.after);
    }
    EXPECT_TRUE(harness.machine.desktop.boxes.empty());
}

} // namespace
