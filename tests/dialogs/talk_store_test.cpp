// A conversation with the demo's merchant through the shell, the store it
// leads to, and the information pages: what the party sees of a creature
// and how an item is used.

#include "dialog_harness.h"
#include "help_test_util.h"

#include "app/game_app.h"
#include "common/exception.h"
#include "dialogs/game_dialog_factory.h"
#include "dialogs/info_dlgs.h"
#include "dialogs/store_dlg.h"
#include "dialogs/talk_dlg.h"
#include "rules/engine.h"
#include "tool_support.h"
#include "ui/ui_buttons.h"
#include "ui/ui_lists.h"
#include "ui/ui_static_text.h"
#include "world/actor.h"
#include "world/actor_spawn.h"
#include "world/area.h"
#include "world/event.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/order.h"
#include "world/rule_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>

namespace
{

using AppTest::KeyDown;

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// The demo town with the hero and, two paces away, the merchant.
class TalkStore : public ::testing::Test
{
protected:
    void SetUp() override
    {
        harness.StartDemoGame();
        hero = Game().GetParty().at(0);
        merchant = VARD::CreateActorFromTemplate("merchant", "", app.engine->Module(), Game());
        merchant->SetPosition(hero->GetX() + 2.0, hero->GetY());
        Game().GetCurrentArea()->AddActor(merchant);
        Game().SetGold(100);
        hero->AddBackpackItem(app.engine->Module().CreateItem(
            "torch", 1, Game().NewThingId(VARD::kThingKindItem), 0));
    }

    VARD::CGame& Game() { return app.engine->Game(); }
    template <class T> T* Current() { return dynamic_cast<T*>(app.currentDialog.get()); }
    template <class T = VARDUI::CUIElement> T* Find(int id)
    {
        for (const auto& element : app.ui.GetElements())
            if (element->GetId() == id)
                if (auto* found = dynamic_cast<T*>(element.get()))
                    return found;
        return nullptr;
    }
    void Talk()
    {
        app.OpenTalkDialog(std::make_shared<VARD::CTalkEvent>(hero->Id(), merchant->Id()));
    }
    // The index in the keeper's wares of the first of that template.
    int TradeRow(const std::string& key)
    {
        const auto items = merchant->CollectTradeItems();
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i]->GetTemplate()->GetName() == key)
                return static_cast<int>(i);
        return -1;
    }
    std::size_t Count(const VARD::CActor& actor, const std::string& key)
    {
        std::size_t count = 0;
        for (const auto& item : actor.GetBackpackItems())
            if (item->GetTemplate()->GetName() == key)
                count += item->GetValue1();
        return count;
    }

    DialogTest::DialogHarness harness;
    CGameApp& app = harness.app;
    std::shared_ptr<VARD::CActor> hero;
    std::shared_ptr<VARD::CActor> merchant;
};

TEST_F(TalkStore, TheMerchantsConversationLeadsByKeysToItsStoreOnceOnly)
{
    Talk();
    auto* first = Current<CTalkDlg>();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetTitle(), "Merchant");
    ASSERT_EQ(first->GetLines().size(), 1u);
    EXPECT_TRUE(Contains(first->GetLines().front(), "Welcome, welcome!"));
    EXPECT_EQ(first->GetChoices(),
              (VARDUI::CUITalkLines{"1 : Show me your wares.", "2 : Any news?", "3 : Farewell."}));
    ASSERT_FALSE(app.messageLog.empty());
    EXPECT_TRUE(Contains(app.messageLog.back(), "Welcome, welcome!"));

    // Three choices: neither a fourth key nor ESC nor ENTER picks one.
    for (std::uint32_t key : {std::uint32_t('4'), 27u, 13u})
    {
        app.HandleMessage(KeyDown(key));
        EXPECT_EQ(app.currentDialog.get(), first);
    }
    EXPECT_EQ(first->GetChosen(), CTalkDlg::kNoChoice);

    app.HandleMessage(KeyDown('2'));
    auto* news = Current<CTalkDlg>();
    ASSERT_NE(news, nullptr);
    ASSERT_NE(news, first);
    EXPECT_TRUE(Contains(news->GetLines().back(), "old priest"));
    EXPECT_EQ(news->GetChoices().size(), 2u);
    // The answer chosen and the reply both reach the log.
    EXPECT_NE(std::find(app.messageLog.begin(), app.messageLog.end(), "Hero : Any news?"),
              app.messageLog.end());

    // The step that opens the store is read first; closing it leads there.
    app.HandleMessage(KeyDown('1'));
    ASSERT_NE(Current<CTalkDlg>(), nullptr);
    EXPECT_EQ(Current<CTalkDlg>()->GetChoices(), (VARDUI::CUITalkLines{"1 : Done"}));
    app.HandleMessage(KeyDown(13));
    auto* store = Current<CStoreDlg>();
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->GetTitle(), "Merchant - Buy/Sell");
    EXPECT_EQ(merchant->GetStoreFlag(), 0u);
    EXPECT_TRUE(app.coveredDialogs.empty());

    // Both lists have rows to show and room for them above the gold line.
    auto* backpack = Find<VARDUI::CUIItemsListWindow>(CStoreDlg::kBackpackId);
    auto* wares = Find<VARDUI::CUIItemsListWindow>(CStoreDlg::kStoreId);
    auto* gold = Find<VARDUI::CUIStaticText>(0);
    ASSERT_TRUE(backpack && wares && gold);
    EXPECT_EQ(gold->text, "100 gold");
    EXPECT_EQ(backpack->GetTitle(), "Hero");
    for (const auto* list : {backpack, wares})
    {
        EXPECT_GE(list->GetRect().Height(), 16 + 3 * 48);
        EXPECT_LT(list->GetRect().bottom, gold->GetRect().top);
        EXPECT_FALSE(list->GetSectionElements(0).empty());
        EXPECT_GE(list->GetRect().Width(), 4 * 48);
    }
    app.HandleMessage(KeyDown(27));
    EXPECT_EQ(app.currentDialog, nullptr);

    // A later talk is not sent to the store: "Farewell." ends it.
    Talk();
    ASSERT_NE(Current<CTalkDlg>(), nullptr);
    app.HandleMessage(KeyDown('3'));
    auto* bye = Current<CTalkDlg>();
    ASSERT_NE(bye, nullptr);
    EXPECT_EQ(bye->GetChoices(), (VARDUI::CUITalkLines{"1 : Done"}));
    app.HandleMessage(KeyDown(13));
    EXPECT_EQ(app.currentDialog, nullptr);
}

// A line of the talk sends the party away by script: the talk's closing
// leaves at once, and what it opened stands over the new place.
TEST(TalkStoreSentAway, WhatTheTalkOpensStandsOverTheNewPlaceAndNothingReachesBack)
{
    // Where to (an empty entry: a world map), whether the store opens, and
    // the line chosen: "Show me your wares." asks for the store in the step
    // that then stands over the new place, away from the keeper.
    const std::tuple<const char*, const char*, bool, char> rows[] = {
        {"forest", "road", true, '3'},
        {"forest", "road", false, '2'},
        {"worldmap", "", true, '3'},
        {"forest", "road", false, '1'}};
    for (const auto& [place, entry, store, line] : rows)
    {
        SCOPED_TRACE(std::string(place) + (store ? " store " : " talk ") + line);
        DialogTest::DialogHarness harness;
        harness.StartDemoGame();
        CGameApp& app = harness.app;
        VARD::CGame& game = app.engine->Game();
        const auto hero = game.GetParty().at(0);
        const auto merchant =
            VARD::CreateActorFromTemplate("merchant", "", app.engine->Module(), game);
        merchant->SetPosition(hero->GetX() + 2.0, hero->GetY());
        VARD::CArea* town = game.GetCurrentArea();
        town->AddActor(merchant);
        app.OpenTalkDialog(std::make_shared<VARD::CTalkEvent>(hero->Id(), merchant->Id()));
        game.SetState(VARD::kGameTravelByScript);
        game.SetTravel(place, entry);
        merchant->SetStoreFlag(store ? 1 : 0);
        app.HandleMessage(KeyDown(static_cast<std::uint32_t>(line)));

        EXPECT_NE(game.GetCurrentArea(), town);
        EXPECT_EQ(app.IsOnWorldMap(), *entry == '\0');
        EXPECT_TRUE(app.coveredDialogs.empty());
        if (auto* shop = harness.CurrentAs<CStoreDlg>(); store)
        {
            ASSERT_NE(shop, nullptr);
            EXPECT_EQ(harness.window->title, "Brelmoor - Merchant - Buy/Sell");
            EXPECT_NE(harness.Find(CStoreDlg::kStoreId), nullptr);
            // The keeper stayed behind: refused, and nothing is left queued
            // to run in some later place.
            shop->OnDrop(CStoreDlg::kStoreRowBase, CStoreDlg::kBackpackId);
            EXPECT_EQ(shop->GetRefusal(), "The trade cannot be made: Merchant is not here.");
            EXPECT_TRUE(hero->GetInstantOrders().empty());
            app.HandleMessage(KeyDown(27));
        }
        else
        {
            // The next step stands; its answer leads nowhere.
            ASSERT_NE(harness.CurrentAs<CTalkDlg>(), nullptr);
            app.HandleMessage(KeyDown('1'));
        }
        EXPECT_EQ(app.currentDialog, nullptr);
        // Whoever asked for the store, the ask ends with the talk.
        EXPECT_EQ(merchant->GetStoreFlag(), 0u);
        EXPECT_EQ(app.pauseCount, app.IsOnWorldMap() ? 1 : 0);
        EXPECT_TRUE(harness.machine.desktop.boxes.empty());
    }
}

TEST_F(TalkStore, BuyingAndSellingMoveGoldAndGoodsAndARefusedTradeKeepsTheStoreOpen)
{
    app.SetDialog(true, std::make_shared<CStoreDlg>(&app, hero.get(), merchant.get()));
    auto* store = Current<CStoreDlg>();
    ASSERT_NE(store, nullptr);
    const int potion = TradeRow("i_potion-heal");
    ASSERT_GE(potion, 0);
    const std::uint32_t value =
        app.engine->Module().GetItemTemplates().at("i_potion-heal")->GetValue();
    ASSERT_LE(value, 100u);
    const std::size_t stock = Count(*merchant, "i_potion-heal");
    // The potion as the store lists it: its price, and whether it can be
    // dragged (the gold must reach that price).
    const auto listed = [&]
    {
        const auto* wares = Find<VARDUI::CUIItemsListWindow>(CStoreDlg::kStoreId);
        for (std::size_t s = 0; s < wares->GetSectionCount(); ++s)
            for (const auto& token : wares->GetSectionElements(s))
                if (token->GetId() == CStoreDlg::kStoreRowBase + TradeRow("i_potion-heal"))
                    return token->GetHoverInfo().title +
                           (token->TestFlags(VARDUI::kUIFlagDraggable) ? "" : " fixed");
        return std::string("not listed");
    };
    const std::string full =
        app.engine->Module().GetItemTemplates().at("i_potion-heal")->GetDisplayName() + " (" +
        std::to_string(value) + " gold)";
    EXPECT_EQ(listed(), full);

    // A row dropped back on its own list trades nothing.
    harness.TakeSounds();
    store->OnDrop(CStoreDlg::kStoreRowBase + potion, CStoreDlg::kStoreRowBase + potion);
    EXPECT_EQ(Game().GetGold(), 100);
    EXPECT_TRUE(harness.TakeSounds().empty());

    store->OnDrop(CStoreDlg::kStoreRowBase + potion, CStoreDlg::kBackpackId);
    EXPECT_EQ(Game().GetGold(), static_cast<std::int32_t>(100 - value));
    EXPECT_EQ(Count(*hero, "i_potion-heal"), 1u);
    EXPECT_EQ(Count(*merchant, "i_potion-heal"), stock - 1);
    EXPECT_TRUE(store->GetRefusal().empty());
    EXPECT_EQ(Find<VARDUI::CUIStaticText>(0)->text, std::to_string(100 - value) + " gold");

    // Selling it back pays half its value, rounded up.
    const auto items = hero->GetBackpackItems();
    const auto it = std::find_if(items.begin(), items.end(),
                                 [](const auto& item)
                                 { return item->GetTemplate()->GetName() == "i_potion-heal"; });
    ASSERT_NE(it, items.end());
    store->OnDrop(CStoreDlg::kBackpackRowBase + static_cast<int>(it - items.begin()),
                  CStoreDlg::kStoreId);
    EXPECT_EQ(Game().GetGold(), static_cast<std::int32_t>(100 - value + (value + 1) / 2));
    EXPECT_EQ(Count(*hero, "i_potion-heal"), 0u);

    // Too poor: the rules refuse, the player is told, nothing moves.
    Game().SetGold(0);
    store->OnDrop(CStoreDlg::kStoreRowBase + TradeRow("i_potion-heal"), CStoreDlg::kBackpackId);
    EXPECT_EQ(app.currentDialog.get(), store);
    EXPECT_FALSE(store->GetRefusal().empty());
    EXPECT_EQ(app.messageLog.back(), store->GetRefusal());
    EXPECT_EQ(Count(*hero, "i_potion-heal"), 0u);
    EXPECT_TRUE(hero->GetInstantOrders().empty());
    EXPECT_EQ(listed(), full + " fixed");
    // The till rings for every trade tried, refused or not.
    EXPECT_EQ(harness.TakeSounds(), (std::vector<std::string>{"cash.wav", "cash.wav", "cash.wav"}));

    // A right click shows the ware with nothing to use it by.
    store->OnRightClick(CStoreDlg::kStoreRowBase + TradeRow("i_potion-heal"));
    ASSERT_NE(Current<CItemDlg>(), nullptr);
    EXPECT_EQ(Find(CItemDlg::kUseId), nullptr);
    EXPECT_NE(Find(CItemDlg::kDoneId), nullptr);
    app.HandleMessage(KeyDown(27));
    EXPECT_EQ(app.currentDialog.get(), store);
}

TEST_F(TalkStore, ADragLightsTheOtherListAndABladeThatMayNotBeGivenIsNotSold)
{
    // The demo's merchant buys arms; none of the demo's may not be given
    // away, so the test makes one.
    VARD::CModule& module = *app.engine->GetModule();
    HelpTest::AddItemTemplate(module, "sealed_dagger \"Sealed Dagger\" \"Sealed.\" (0 0 0) \"\" "
                                      "dagger 0 0 1.0 10 weapon nogive "
                                      "<weapon> light_blade false 5 16 2 </weapon>");
    for (const char* key : {"dagger", "sealed_dagger"})
        hero->AddBackpackItem(
            module.CreateItem(key, 1, Game().NewThingId(VARD::kThingKindItem), 0));
    app.SetDialog(true, std::make_shared<CStoreDlg>(&app, hero.get(), merchant.get()));
    auto* store = Current<CStoreDlg>();
    ASSERT_NE(store, nullptr);
    const auto row = [&](const std::string& key)
    {
        const auto items = hero->GetBackpackItems();
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i]->GetTemplate()->GetName() == key)
                return CStoreDlg::kBackpackRowBase + static_cast<int>(i);
        return -1;
    };
    // Which list is lit, the party's gold, what the hero carries, and the
    // sounds.
    const auto seen = [&]
    {
        std::string out;
        for (const int id : {CStoreDlg::kBackpackId, CStoreDlg::kStoreId})
            out += Find(id)->TestFlags(VARDUI::kUIFlagHighlighted) ? "lit " : "dark ";
        out += std::to_string(Game().GetGold()) + " gold, dagger " +
               std::to_string(Count(*hero, "dagger")) + ", sealed " +
               std::to_string(Count(*hero, "sealed_dagger"));
        for (const std::string& sound : harness.TakeSounds())
            out += " | " + sound;
        return out;
    };
    harness.TakeSounds();
    const std::pair<std::function<void()>, std::string> rows[] = {
        {[&] { store->OnDragStart(row("dagger")); }, "dark lit 100 gold, dagger 1, sealed 1"},
        {[&] { store->OnDragCancel(); }, "dark dark 100 gold, dagger 1, sealed 1"},
        {[&] { store->OnDragStart(CStoreDlg::kStoreRowBase); },
         "lit dark 100 gold, dagger 1, sealed 1"},
        {[&] { store->OnDrop(row("sealed_dagger"), CStoreDlg::kStoreId); },
         "dark dark 100 gold, dagger 1, sealed 1"},
        {[&] { store->OnDrop(row("dagger"), CStoreDlg::kStoreId); },
         "dark dark 105 gold, dagger 0, sealed 1 | cash.wav"},
    };
    for (const auto& [act, after] : rows)
    {
        act();
        EXPECT_EQ(seen(), after);
    }
}

TEST_F(TalkStore, TheCreatureTextShowsWhatTheMarginAllows)
{
    merchant->SetAttitude(VARD::kAttitudeHostile);
    struct Case
    {
        std::int32_t margin;
        bool classShown, levelShown, attacksShown;
    };
    for (const Case& c : {Case{-1, false, false, false}, Case{10, true, true, false},
                          Case{24, true, true, false}, Case{25, true, true, true}})
    {
        SCOPED_TRACE(c.margin);
        const std::string text = WriteCreatureText(*merchant, c.margin, &Game());
        EXPECT_EQ(text.rfind("Merchant LINE LINE ", 0), 0u);
        EXPECT_TRUE(Contains(text, "Hit Points: "));
        EXPECT_EQ(Contains(text, "Class: Unknown LINE "), !c.classShown);
        EXPECT_EQ(Contains(text, "Class: Rogue LINE "), c.classShown);
        EXPECT_EQ(Contains(text, "Level: 2 LINE Encounter Level: 2 ("), c.levelShown);
        EXPECT_EQ(Contains(text, "Attack Bonus: "), c.attacksShown);
        EXPECT_EQ(Contains(text, "Defense Class: "), c.attacksShown);
        EXPECT_TRUE(Contains(text, " LINE A stout trader with a ledger under one arm. LINE LINE "));
    }
    // A party member is known through and through.
    auto dialog = app.dialogFactory->MakeMonsterSeenBy(&app, hero);
    auto* monster = dynamic_cast<CMonsterDlg*>(dialog.get());
    ASSERT_NE(monster, nullptr);
    EXPECT_EQ(monster->GetTitle(), "Hero");
    EXPECT_TRUE(Contains(monster->GetText(), "Attack Bonus: "));
}

TEST_F(TalkStore, TheCreatureDialogWeighsThePartysObservationAgainstTheStealthCheck)
{
    constexpr int kStealth = 67;
    const auto agility = static_cast<std::uint32_t>(VARD::GetSkillInfo(kStealth).attribute);
    ASSERT_EQ(Game().BestPartySpecialStat(4), 0);
    // A hostile fighter of level 0 with a level bonus of -1 rates a held
    // skill at 0, yet the skill's attribute bonus counts (14: +10).
    merchant->SetAttitude(VARD::kAttitudeHostile);
    merchant->SetClass(0);
    merchant->SetLevel(0);
    merchant->SetLevelBonus(-1);
    // Stealth held, the attribute, whether the class shows.
    const std::tuple<bool, std::uint32_t, bool> rows[] = {
        {true, 14, false}, {true, 10, true}, {false, 14, true}};
    for (const auto& [holds, attribute, classShown] : rows)
    {
        if (holds)
            merchant->Skills().insert(kStealth);
        else
            merchant->Skills().erase(kStealth);
        merchant->SetBaseAttribute(agility, attribute);
        const CMonsterDlg dialog(*merchant, &Game());
        EXPECT_EQ(Contains(dialog.GetText(), "Class: Unknown LINE "), !classShown)
            << holds << " " << attribute;
    }
}

TEST_F(TalkStore, UseRunsAtOnceAndDelayedUseWaitsInTheOrderQueue)
{
    const auto give = [&](const std::string& key)
    {
        auto item =
            app.engine->Module().CreateItem(key, 1, Game().NewThingId(VARD::kThingKindItem), 0);
        hero->AddBackpackItem(item);
        return item;
    };
    const auto potion = give("i_potion-heal");
    const auto scroll = give("i_scroll-heal");
    // Scrolls are read with the arcane skill.
    hero->Skills().insert(40);

    app.SetDialog(true, std::make_shared<CItemDlg>(&app, potion, hero));
    auto* button = Find<VARDUI::CUITextButton>(CItemDlg::kUseId);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->GetCaption(), "Delayed Use");
    EXPECT_EQ(app.currentDialog->OnButton(CItemDlg::kUseId), 1);
    ASSERT_EQ(hero->GetOrders().size(), 1u);
    EXPECT_EQ(hero->GetOrders().front()->GetType(), VARD::kOrderUse);
    EXPECT_TRUE(hero->GetInstantOrders().empty());
    app.CloseDialog();
    hero->ClearOrders();

    app.SetDialog(true, std::make_shared<CItemDlg>(&app, scroll, hero));
    button = Find<VARDUI::CUITextButton>(CItemDlg::kUseId);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->GetCaption(), "Use");
    EXPECT_EQ(app.currentDialog->OnButton(CItemDlg::kUseId), 1);
    // Run at once: nothing left queued, the scroll read and gone.
    EXPECT_TRUE(hero->GetOrders().empty());
    EXPECT_TRUE(hero->GetInstantOrders().empty());
    EXPECT_EQ(Count(*hero, "i_scroll-heal"), 0u);
}

} // namespace

namespace
{

TEST_F(TalkStore, OnlyMembersNearTheKeeperGetButtonsAndKeysCountTheOffered)
{
    for (const char* name : {"Ann", "Bob"})
    {
        const auto member =
            VARD::CreateActorFromTemplate("bandit", "", app.engine->Module(), Game());
        member->SetName(name);
        Game().AddPartyMember(member);
    }
    // Ann stands a little beyond the keeper's reach, Bob just within it.
    const auto reach = [&](const VARD::CActor& member)
    { return 12.5 + member.GetRadius() + merchant->GetRadius(); };
    Game().GetParty()[1]->SetPosition(merchant->GetX() + reach(*Game().GetParty()[1]) + 0.1,
                                      merchant->GetY());
    Game().GetParty()[2]->SetPosition(merchant->GetX(),
                                      merchant->GetY() + reach(*Game().GetParty()[2]) - 0.01);
    app.SetDialog(true, std::make_shared<CStoreDlg>(&app, hero.get(), merchant.get()));
    auto* store = Current<CStoreDlg>();
    ASSERT_NE(store, nullptr);
    EXPECT_NE(Find(CStoreDlg::kPartyIdBase + 0), nullptr);
    EXPECT_EQ(Find(CStoreDlg::kPartyIdBase + 1), nullptr);
    EXPECT_NE(Find(CStoreDlg::kPartyIdBase + 2), nullptr);
    EXPECT_NE(Find(CStoreDlg::kPartyIdBase)->TestFlags(VARDUI::kUIFlagHighlighted), 0u);
    harness.TakeSounds();

    // The second button offered is member 2's.
    app.HandleMessage(KeyDown('2'));
    EXPECT_EQ(store->GetCurrentCustomer(), Game().GetParty()[2].get());
    EXPECT_EQ(Find<VARDUI::CUIItemsListWindow>(CStoreDlg::kBackpackId)->GetTitle(), "Bob");
    EXPECT_EQ(Find(CStoreDlg::kPartyIdBase)->TestFlags(VARDUI::kUIFlagHighlighted), 0u);
    EXPECT_EQ(harness.TakeSounds(), (std::vector<std::string>{"click.wav"}));
    // The current customer's own button changes nothing; a third key is none.
    EXPECT_EQ(store->OnButton(CStoreDlg::kPartyIdBase + 2), 0);
    app.HandleMessage(KeyDown('3'));
    EXPECT_TRUE(harness.TakeSounds().empty());
    EXPECT_EQ(app.currentDialog.get(), store);
}

} // namespace

namespace
{

TEST_F(TalkStore, APartnerWithoutTalkHasNothingToSayAndRunsNoScript)
{
    const auto bandit = VARD::CreateActorFromTemplate("bandit", "", app.engine->Module(), Game());
    ASSERT_TRUE(bandit->GetTalkFiles().empty());
    bandit->SetPosition(hero->GetX(), hero->GetY() + 2.0);
    Game().GetCurrentArea()->AddActor(bandit);
    const std::size_t logged = app.messageLog.size();
    app.OpenTalkDialog(std::make_shared<VARD::CTalkEvent>(hero->Id(), bandit->Id()));
    auto* talk = Current<CTalkDlg>();
    ASSERT_NE(talk, nullptr);
    EXPECT_EQ(talk->GetLines(),
              (VARDUI::CUITalkLines{bandit->GetTalkName() + " has nothing to say."}));
    EXPECT_EQ(talk->GetChoices(), (VARDUI::CUITalkLines{"1 : Done"}));
    EXPECT_EQ(app.messageLog.size(), logged);
    // The one choice is taken by ENTER, and the talk is over.
    app.HandleMessage(KeyDown(13));
    EXPECT_EQ(app.currentDialog, nullptr);

    // A partner that is not here is refused.
    EXPECT_THROW(CTalkDlg(&app, VARD::CTalkEvent(hero->Id(), 0x03FFFFFFu)), CVARDException);
}

} // namespace
