// The inventory and journal pages of the character sheet on the demo module:
// every kind of drop turned into orders run at once, the container the page
// finds in the demo crypt, and the journal's rows, filter and texts.

#include "common/tag_file.h"
#include "dialog_harness.h"
#include "dialogs/actor_inv_dlg.h"
#include "dialogs/actor_journal_dlg.h"
#include "dialogs/info_dlgs.h"
#include "ui/ui_action.h"
#include "ui/ui_buttons.h"
#include "ui/ui_lists.h"
#include "world/actor.h"
#include "world/actor_spawn.h"
#include "world/area.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/journal.h"
#include "world/module.h"
#include "world/object.h"
#include "world/order.h"
#include "world/tile.h"
#include "world/world_object.h"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

namespace
{

using DialogTest::DialogHarness;

class SheetPages : public ::testing::Test
{
protected:
    void SetUp() override
    {
        harness.StartDemoGame();
        hero = harness.Game().GetParty().front();
        auto& app = harness.app;
        friendMember =
            VARD::CreateActorFromTemplate("bandit", "", app.engine->Module(), harness.Game());
        friendMember->SetName("Ann");
        ASSERT_TRUE(harness.Game().GetCurrentArea()->FindFreeSpotNear(11, 15, true, friendMember));
        harness.Game().AddPartyMember(friendMember);
        app.RefreshActorInfos(true);
    }

    template <class Page> Page* Open()
    {
        auto& app = harness.app;
        auto page = std::is_same_v<Page, CActorInvDlg>
                        ? app.dialogFactory->MakeActorInventory(&app, hero)
                        : app.dialogFactory->MakeActorJournal(&app, hero);
        app.SetDialog(true, page);
        harness.TakeSounds();
        return harness.CurrentAs<Page>();
    }

    // The row id of the backpack's item of that template, the n-th of them.
    int BackpackRow(const std::string& name, std::size_t nth = 0) const
    {
        const auto items = hero->GetBackpackItems();
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i]->GetTemplate()->GetName() == name && nth-- == 0)
                return CActorInvDlg::kFirstBackpackRow + static_cast<int>(i);
        return -1;
    }
    std::size_t CountInBackpack(const std::string& name) const
    {
        std::size_t count = 0;
        for (const auto& item : hero->Backpack())
            count += item->GetTemplate()->GetName() == name;
        return count;
    }

    DialogHarness harness;
    std::shared_ptr<VARD::CActor> hero;
    std::shared_ptr<VARD::CActor> friendMember;
};

TEST_F(SheetPages, EveryDropOfTheInventoryGivesItsOrdersAndSounds)
{
    auto& app = harness.app;
    // Nothing to pick up where the hero stands.
    for (const auto& object : harness.Game().GetCurrentArea()->GetObjects())
        if (object->GetFlag())
            object->SetPosition(1000.0, 1000.0);
    app.engine->WizardCreateItem("dagger");
    app.engine->WizardCreateItem("i_potion-heal", 5);
    harness.Game().AddGold(-harness.Game().GetGold());
    harness.Game().AddGold(120);
    app.DrainGameEvents();
    CActorInvDlg* page = Open<CActorInvDlg>();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->GetTitle(), "Hero - Inventory");
    EXPECT_EQ(page->GetGoldLine(), "120 gold");
    EXPECT_EQ(page->GetContainerInReach(), nullptr);
    EXPECT_EQ(page->GetContainerList()->GetTitle(), "Pile");
    EXPECT_TRUE(page->GetContainerList()->GetItems().empty());

    const auto dagger = hero->Backpack()[static_cast<std::size_t>(BackpackRow("dagger") - 10000)];
    // Backpack row onto the weapon slot: wielded, one inventory sound.
    page->OnDrop(BackpackRow("dagger"), 200);
    EXPECT_EQ(hero->GetEquipmentSlot(0), dagger);
    EXPECT_EQ(CountInBackpack("dagger"), 0u);
    const auto sounds = harness.TakeSounds();
    ASSERT_EQ(sounds.size(), 1u);
    const std::string inventorySound = sounds.front();
    // Slot onto the backpack list: unwielded.
    page->OnDrop(200, CActorInvDlg::kBackpackId);
    EXPECT_FALSE(hero->GetEquipmentSlot(0));
    EXPECT_EQ(CountInBackpack("dagger"), 1u);
    EXPECT_EQ(harness.TakeSounds(), std::vector<std::string>{inventorySound});

    // A stack of 5 on the list splits one off; the one on the other stack's
    // row combines again; a row on itself and a single item on the list
    // with nothing to join do nothing, silently.
    page->OnDrop(BackpackRow("i_potion-heal"), CActorInvDlg::kBackpackId);
    ASSERT_EQ(CountInBackpack("i_potion-heal"), 2u);
    const auto potions = [&](std::size_t n)
    { return hero->Backpack()[static_cast<std::size_t>(BackpackRow("i_potion-heal", n) - 10000)]; };
    EXPECT_EQ(potions(0)->GetValue1() + potions(1)->GetValue1(), 5u);
    const std::size_t single = potions(0)->GetValue1() == 1 ? 0 : 1;
    harness.TakeSounds();
    page->OnDrop(BackpackRow("i_potion-heal", single), BackpackRow("i_potion-heal", 1 - single));
    ASSERT_EQ(CountInBackpack("i_potion-heal"), 1u);
    EXPECT_EQ(potions(0)->GetValue1(), 5u);
    EXPECT_EQ(harness.TakeSounds(), std::vector<std::string>{inventorySound});
    page->OnDrop(BackpackRow("dagger"), BackpackRow("dagger"));
    page->OnDrop(BackpackRow("dagger"), CActorInvDlg::kBackpackId);
    EXPECT_TRUE(harness.TakeSounds().empty());
    EXPECT_EQ(CountInBackpack("dagger"), 1u);

    // Dropped with no container in reach: a pile is made and then found.
    page->OnDrop(BackpackRow("dagger"), CActorInvDlg::kContainerId);
    EXPECT_EQ(CountInBackpack("dagger"), 0u);
    ASSERT_NE(page->GetContainerInReach(), nullptr);
    EXPECT_EQ(page->GetContainerList()->GetTitle(), page->GetContainerInReach()->GetTalkName());
    ASSERT_EQ(page->GetContainerList()->GetItems().size(), 1u);
    EXPECT_EQ(page->GetContainerList()->GetItems()[0], dagger);
    EXPECT_EQ(harness.TakeSounds(), std::vector<std::string>{inventorySound});
    // Container row onto the occupied weapon slot: get, then unwield and
    // wield together; two sounds. The emptied pile is gone.
    harness.app.engine->WizardCreateItem("short_sword");
    harness.app.DrainGameEvents();
    // The page shows what it read when it was built.
    harness.app.RebuildUI();
    page->OnDrop(BackpackRow("short_sword"), 200);
    ASSERT_EQ(CountInBackpack("short_sword"), 0u);
    harness.TakeSounds();
    page->OnDrop(CActorInvDlg::kFirstContainerRow, 200);
    EXPECT_EQ(hero->GetEquipmentSlot(0), dagger);
    EXPECT_EQ(CountInBackpack("short_sword"), 1u);
    EXPECT_EQ(page->GetContainerInReach(), nullptr);
    EXPECT_EQ(harness.TakeSounds(), (std::vector<std::string>{inventorySound, inventorySound}));
    // Slot onto the container list: unwield, then drop.
    page->OnDrop(200, CActorInvDlg::kContainerId);
    EXPECT_FALSE(hero->GetEquipmentSlot(0));
    ASSERT_NE(page->GetContainerInReach(), nullptr);
    EXPECT_EQ(page->GetContainerInReach()->GetItems().size(), 1u);
    // Container row onto the backpack: get.
    page->OnDrop(CActorInvDlg::kFirstContainerRow, BackpackRow("i_potion-heal"));
    EXPECT_EQ(CountInBackpack("dagger"), 1u);
    EXPECT_EQ(hero->GetInstantOrders().size(), 0u);

    // Giving: refused to a member out of reach, done within it.
    const int annElement = CBaseActorDlg2::kFirstPartyId + 1;
    friendMember->SetPosition(hero->GetX() + 100.0, hero->GetY());
    harness.TakeSounds();
    page->OnDrop(BackpackRow("dagger"), annElement);
    EXPECT_EQ(CountInBackpack("dagger"), 1u);
    EXPECT_TRUE(harness.TakeSounds().empty());
    friendMember->SetPosition(hero->GetX() + 1.0, hero->GetY());
    page->OnDrop(BackpackRow("dagger"), annElement);
    EXPECT_EQ(CountInBackpack("dagger"), 0u);
    ASSERT_EQ(friendMember->Backpack().size() > 0, true);
    EXPECT_EQ(friendMember->Backpack().back(), dagger);

    // Money taken from a pile turns into gold: there is nothing left to give,
    // and the give is not attempted.
    app.engine->WizardCreateItem("gold", 30);
    app.DrainGameEvents();
    app.RebuildUI();
    page->OnDrop(BackpackRow("gold"), CActorInvDlg::kContainerId);
    ASSERT_NE(page->GetContainerInReach(), nullptr);
    const std::size_t annItems = friendMember->Backpack().size();
    const std::int32_t gold = harness.Game().GetGold();
    harness.TakeSounds();
    page->OnDrop(CActorInvDlg::kFirstContainerRow, annElement);
    EXPECT_EQ(harness.Game().GetGold(), gold + 30);
    EXPECT_EQ(friendMember->Backpack().size(), annItems);
    EXPECT_EQ(page->GetGoldLine(), std::to_string(gold + 30) + " gold");
    // The gold message's sound, then the get's own: one issuer ran.
    EXPECT_EQ(harness.TakeSounds(), (std::vector<std::string>{"cash.wav", inventorySound}));

    // A usable item onto action slot 3: the slot uses it, a click, no order;
    // the split stack is still one.
    harness.TakeSounds();
    page->OnDrop(BackpackRow("i_potion-heal"), CBaseActorDlg2::kFirstSlotId + 3);
    EXPECT_EQ(harness.TakeSounds().size(), 1u);
    EXPECT_EQ(app.GetActionSlotItemName(hero.get(), 3), "i_potion-heal");
    app.SelectActionSlot(hero.get(), 3);
    EXPECT_EQ(app.GetSelectedActionType(hero.get()), VARDUI::kActionSlotUseItem);
    // A sword cannot be used from a slot.
    page->OnDrop(BackpackRow("short_sword"), CBaseActorDlg2::kFirstSlotId + 4);
    EXPECT_EQ(app.GetActionSlotItemName(hero.get(), 4), "");
    EXPECT_TRUE(harness.TakeSounds().empty());
    EXPECT_EQ(CountInBackpack("i_potion-heal"), 1u);
    EXPECT_EQ(hero->GetInstantOrders().size(), 0u);
}

TEST_F(SheetPages, TheContainerInReachIsAnUnlockedOneWithTheContainerFlag)
{
    VARD::CArea& area = *harness.Game().GetCurrentArea();
    for (const auto& object : area.GetObjects())
        if (object->GetFlag())
            object->SetPosition(1000.0, 1000.0);
    const VARD::CModule& module = harness.app.engine->Module();
    VARDCommon::CTagFileReader reader(std::make_shared<std::istringstream>(
                                          "<object> pile \"Heap\" x floor false 1 1 1 </object>"),
                                      "a pile that is no container");
    const VARD::CObjectTemplate heap(reader);
    const double reach = hero->GetRadius() + 5.0;
    // Definition, gap between the hero's middle and the object, lock value.
    const std::tuple<const VARD::CObjectTemplate*, double, std::uint32_t, bool> rows[] = {
        {module.FindObjectTemplate("pile"), 0.0, 0, true},
        {&heap, 0.0, 0, false},
        {module.FindObjectTemplate("chest"), 1.0, 7, false},
        {module.FindObjectTemplate("chest"), reach - 0.1, 0, true},
        {module.FindObjectTemplate("chest"), reach + 0.1, 0, false}};
    for (const auto& [definition, gap, lock, found] : rows)
    {
        auto object = std::make_shared<VARD::CObject>(
            &area, harness.Game().NewThingId(VARD::kThingKindObject), "", *definition);
        object->SetFacing(0);
        object->SetPosition(hero->GetX() + gap + object->GetSizeX() / 2.0, hero->GetY());
        object->SetLockValue(lock);
        area.AddObject(object);
        const CActorInvDlg* page = Open<CActorInvDlg>();
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->GetContainerInReach(), found ? object.get() : nullptr)
            << definition->GetText() << " " << gap << " " << lock;
        harness.app.CloseDialog();
        area.RemoveObject(object.get());
    }
}

// The page shows the first container in reach, and a pile comes after every
// chest: the cultist may fall anywhere in the cellar, and the necromancer,
// who carries the temple key, anywhere in his vault or in the hall, so from
// nowhere in them may a container be in reach, or their piles would not
// show. The chests open where they stand.
TEST(CryptContainers, NoContainerIsInReachWhereTheCultistOrTheNecromancerFalls)
{
    DialogHarness harness;
    harness.StartDemoGame();
    VARD::CGame& game = harness.Game();
    game.SetState(VARD::kGameTravelByScript);
    game.SetTravel("crypt", "stairs");
    harness.app.LeaveArea();
    VARD::CArea& crypt = *game.GetCurrentArea();
    ASSERT_EQ(crypt.GetName(), "crypt");
    // The cellar door and the sun door stand open in the fights.
    for (const auto& tile : crypt.GetTiles())
        if (crypt.GetCellKind(tile->GetColumn(), tile->GetRow()) == VARD::kTileKindDoor)
            tile->GetDoor()->SetOpen(true);
    const auto hero = game.GetParty().front();
    const auto inReachAt = [&](double x, double y) -> const VARD::CObject*
    {
        hero->SetPosition(x, y);
        harness.Key('I');
        const CActorInvDlg* page = harness.CurrentAs<CActorInvDlg>();
        EXPECT_NE(page, nullptr);
        const VARD::CObject* found = page != nullptr ? page->GetContainerInReach() : nullptr;
        harness.app.CloseDialog();
        return found;
    };

    // Each room's cells, their corners as well as their middles, and the
    // doorways on their edge.
    const struct
    {
        const char* room;
        std::uint32_t column0, row0, column1, row1;
        int least;
    } rooms[] = {
        {"the cellar", 1, 1, 3, 8, 20},
        {"his vault, behind the sun door", 9, 1, 16, 8, 100},
        {"the hall", 1, 9, 16, 18, 400},
    };
    for (const auto& room : rooms)
    {
        int places = 0;
        for (double x = room.column0 * VARD::kCellSize; x <= (room.column1 + 1) * VARD::kCellSize;
             x += 1.25)
            for (double y = room.row0 * VARD::kCellSize; y <= (room.row1 + 1) * VARD::kCellSize;
                 y += 1.25)
                if (crypt.IsPositionFree(hero.get(), x, y, nullptr))
                {
                    ++places;
                    const VARD::CObject* found = inReachAt(x, y);
                    EXPECT_EQ(found, nullptr)
                        << room.room << " at " << x << " " << y << ": " << found->GetInstanceName();
                }
        EXPECT_GT(places, room.least) << room.room;
    }

    // Each chest, clicked from the hall before the narrow vault's mouth, is
    // the one the page shows when the hero has walked up to it; nobody else
    // stands in the way or starts a fight.
    for (const auto& actor : crypt.GetActors())
        if (actor != hero)
            crypt.RemoveActor(actor.get());
    for (const char* name : {"vault_chest", "cellar_chest"})
    {
        const VARD::CObject* chest = nullptr;
        for (const auto& object : crypt.GetObjects())
            if (object->GetInstanceName() == name)
                chest = object.get();
        ASSERT_NE(chest, nullptr) << name;
        hero->SetPosition(17.5, 25.0);
        hero->ClearOrders();
        hero->QueueOrder(std::make_shared<VARD::CUseOrder>(VARD::kUseObject, chest->Id(), 0),
                         false);
        const CActorInvDlg* page = nullptr;
        for (int tick = 0; tick < 300 && page == nullptr; ++tick)
        {
            harness.app.engine->Tick();
            harness.app.DrainGameEvents();
            harness.app.ProcessPendingEvents();
            page = harness.CurrentAs<CActorInvDlg>();
        }
        ASSERT_NE(page, nullptr) << name << ": the hero stopped at " << hero->GetX() << " "
                                 << hero->GetY();
        EXPECT_EQ(page->GetContainerInReach(), chest) << name;
        harness.app.CloseDialog();
    }
}

TEST_F(SheetPages, WeightLineCarryingCapacityAndTheItemPage)
{
    ASSERT_EQ(hero->GetModifierTotal(0x1000), 0);
    const std::uint32_t strength = hero->GetBaseAttribute(0);
    for (const auto& [s, capacity] : std::vector<std::pair<std::uint32_t, double>>{
             {0, 25.0}, {10, 100.0}, {12, 131.0}, {20, 400.0}})
    {
        hero->SetBaseAttribute(0, s);
        EXPECT_EQ(CActorInvDlg::CarryingCapacity(*hero), capacity) << s;
    }
    hero->SetBaseAttribute(0, 12);
    harness.app.engine->WizardCreateItem("dagger");
    harness.app.DrainGameEvents();
    CActorInvDlg* page = Open<CActorInvDlg>();
    // An empty slot's right click opens nothing; an item's opens its page
    // over the inventory.
    ASSERT_FALSE(hero->GetEquipmentSlot(0));
    EXPECT_EQ(page->OnRightClick(CActorInvDlg::kFirstEquipId), 0);
    EXPECT_EQ(harness.Current(), page);
    EXPECT_EQ(page->OnRightClick(BackpackRow("dagger")), 0);
    EXPECT_NE(harness.CurrentAs<CItemDlg>(), nullptr);
    EXPECT_EQ(harness.CoveredCount(), 1u);
    harness.app.CloseDialog();
    ASSERT_EQ(harness.Current(), page);
    char expected[64];
    std::snprintf(expected, sizeof expected, "%.1f lbs / 131.0 lbs", hero->GetCarriedWeight());
    EXPECT_EQ(page->GetWeightLine(), expected);
    hero->SetBaseAttribute(0, strength);
}

TEST_F(SheetPages, JournalQuestRowsFilterAndPeopleInKeyOrder)
{
    auto& game = harness.Game();
    game.UpdateJournal("temple_key", "temple_key_start");
    game.UpdateJournal("cellar_rats", "cellar_rats_start");
    game.UpdateJournal("temple_key", "temple_key_found");
    game.UpdateJournal("", "crypt_found");
    // A text the module lacks shows its key.
    game.UpdateJournal("temple_key", "lost_page");
    CActorJournalDlg* page = Open<CActorJournalDlg>();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->GetTitle(), "Hero - Journal");
    const auto rowTexts = [&]
    {
        std::vector<std::string> texts;
        for (const auto& row : page->GetList()->GetSectionElements(0))
            texts.push_back(static_cast<VARDUI::CUITextButton&>(*row).GetCaption());
        return texts;
    };
    EXPECT_EQ(rowTexts(),
              (std::vector<std::string>{"All Quests", "The Temple Key", "Rats in the Cellar"}));
    EXPECT_EQ(page->GetRowKeys(), (std::vector<std::string>{"temple_key", "cellar_rats"}));
    const std::string all = page->GetShownText();
    for (const char* text : {"Father Aldous asked", "rats in her cellar", "We found the temple key",
                             "Beneath the ruined temple", "lost_page"})
        EXPECT_NE(all.find(text), std::string::npos) << text;

    // Choosing the temple key shows its three entries only.
    auto& rows = page->GetList()->GetSectionElements(0);
    rows[0]->SetFlags(VARDUI::kUIFlagHighlighted, 0);
    rows[1]->SetFlags(VARDUI::kUIFlagHighlighted, 1);
    EXPECT_EQ(page->OnButton(1001), 0);
    const std::string temple = page->GetShownText();
    EXPECT_NE(temple.find("Father Aldous asked"), std::string::npos);
    EXPECT_NE(temple.find("lost_page"), std::string::npos);
    EXPECT_EQ(temple.find("rats in her cellar"), std::string::npos);
    EXPECT_EQ(temple.find("Beneath the ruined temple"), std::string::npos);

    // Finished quests hidden from the list, their entries still under all.
    game.SetQuestTag("cellar_rats", 1);
    auto* hide = harness.Find<VARDUI::CUICheckButton>(CActorJournalDlg::kHideFinishedId);
    ASSERT_NE(hide, nullptr);
    hide->SetTicked(1);
    page->OnButton(CActorJournalDlg::kHideFinishedId);
    EXPECT_EQ(rowTexts(), (std::vector<std::string>{"All Quests", "The Temple Key"}));
    EXPECT_NE(page->GetShownText().find("rats in her cellar"), std::string::npos);

    // People in key order, whatever order they were met in; nobody chosen.
    for (const char* key : {"zed", "abe", "mia"})
    {
        auto person = std::make_shared<VARD::CPeopleJournalEntry>();
        person->key = key;
        person->displayName = std::string("Name of ") + key;
        game.People()[key] = person;
    }
    page->OnButton(CActorJournalDlg::kPeopleTabId);
    EXPECT_EQ(hide->TestFlags(VARDUI::kUIFlagVisible), 0u);
    EXPECT_EQ(page->GetRowKeys(), (std::vector<std::string>{"abe", "mia", "zed"}));
    EXPECT_EQ(page->GetShownText(), "");
    page->GetList()->GetSectionElements(0)[1]->SetFlags(VARDUI::kUIFlagHighlighted, 1);
    page->OnButton(1002);
    EXPECT_EQ(page->GetShownText().rfind("Name of mia LINE LINE ", 0), 0u);
    page->OnButton(CActorJournalDlg::kQuestsTabId);
    EXPECT_NE(hide->TestFlags(VARDUI::kUIFlagVisible), 0u);
    EXPECT_NE(page->GetList()->GetSectionElements(0)[0]->TestFlags(VARDUI::kUIFlagHighlighted), 0u);
}

} // namespace
