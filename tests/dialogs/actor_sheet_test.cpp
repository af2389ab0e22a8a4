// The character sheet on the demo town with a party of three: its frame's
// tabs, keys and members, the information page, the abilities page and the
// action-bar editor, driven through the shell's dialog stack.

#include "app_demo_game.h"
#include "dialog_harness.h"
#include "help_test_util.h"

#include "app/actor_info.h"
#include "app/game_app.h"
#include "dialogs/action_dlg.h"
#include "dialogs/actor_info_dlg.h"
#include "dialogs/actor_spells_dlg.h"
#include "dialogs/attrib_dlg.h"
#include "dialogs/game_dialog_factory.h"
#include "dialogs/skills_dlg.h"
#include "platform/keys.h"
#include "rules/engine.h"
#include "tool_support.h"
#include "ui/ui_action.h"
#include "ui/ui_buttons.h"
#include "ui/ui_lists.h"
#include "ui/ui_manager.h"
#include "ui/ui_static_text.h"
#include "world/actor.h"
#include "world/actor_spawn.h"
#include "world/area.h"
#include "world/faction.h"
#include "world/game.h"
#include "world/modifier.h"
#include "world/module.h"
#include "world/rule_tables.h"
#include "world/spell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace
{

using AppTest::KeyDown;

class ActorSheet : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app.dialogFactory = std::make_unique<CGameDialogFactory>();
        ASSERT_NO_FATAL_FAILURE(AppTest::StartDemoGame(app, machine));
        ASSERT_NO_FATAL_FAILURE(AppTest::AddTwoBandits(app));
        app.RefreshActorInfos(true);
        app.SelectFirstPartyMember();
        ASSERT_EQ(app.currentDialog, nullptr);
    }

    VARD::CGame& Game() { return app.engine->Game(); }
    std::shared_ptr<VARD::CActor> Member(std::size_t index) { return Game().GetParty().at(index); }

    void Open(std::shared_ptr<CVARDDlg> dialog)
    {
        app.SetDialog(true, std::move(dialog));
        machine.sounds.Take();
    }
    // As the shell answers a click or a right click.
    void Click(int id)
    {
        if (app.currentDialog->OnButton(id) != 0)
            app.CloseDialog();
    }
    void RightClick(int id)
    {
        if (app.currentDialog->OnRightClick(id) != 0)
            app.CloseDialog();
    }
    void Key(std::uint32_t key) { app.HandleMessage(KeyDown(key)); }
    std::string Title() const { return machine.window->title; }
    // The effects played since the last count was taken.
    int Plays() const { return static_cast<int>(machine.sounds.played.size()); }

    // A top-level widget, or a row of a list, by id; null when absent.
    template <typename T> T* Find(int id) const
    {
        for (const auto& element : app.ui.GetElements())
        {
            if (element->GetId() == id)
                if (auto* found = dynamic_cast<T*>(element.get()))
                    return found;
            if (auto* list = dynamic_cast<VARDUI::CUIListElement*>(element.get()))
                for (std::size_t s = 0; s < list->GetSectionCount(); ++s)
                    for (const auto& row : list->GetSectionElements(s))
                        if (row->GetId() == id)
                            if (auto* found = dynamic_cast<T*>(row.get()))
                                return found;
        }
        return nullptr;
    }
    // The texts of the top-level static texts, in order.
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const auto& element : app.ui.GetElements())
            if (auto* text = dynamic_cast<VARDUI::CUIStaticText*>(element.get()))
                texts.push_back(text->text);
        return texts;
    }
    bool HasText(const std::string& wanted) const
    {
        for (const auto& text : Texts())
            if (text == wanted)
                return true;
        return false;
    }
    const VARDUI::CUIActionBar& Bar(std::size_t member)
    {
        return *app.actorInfos.at(Member(member)->Id());
    }

    DialogTest::HarnessPlatform machine;
    CGameApp app;
};

TEST_F(ActorSheet, TabsDigitsLettersAndFKeysSwitchPagesWithoutStacking)
{
    Open(std::make_shared<CActorInfoDlg>(&app, Member(0)));
    EXPECT_EQ(Title(), "Brelmoor - Hero - Information");
    // The tab of the shown page reopens it, as a new object, silently: the
    // one click is the closing's.
    const CVARDDlg* first = app.currentDialog.get();
    Click(1);
    EXPECT_NE(app.currentDialog.get(), first);
    EXPECT_NE(dynamic_cast<CActorInfoDlg*>(app.currentDialog.get()), nullptr);
    EXPECT_EQ(Plays(), 1);

    struct Step
    {
        std::uint32_t key;
        const char* title;
        std::uint32_t selected;
    };
    const Step steps[] = {
        {'B', "Brelmoor - Hero - Abilities", 0},  {'2', "Brelmoor - Ann - Abilities", 1},
        {'4', "Brelmoor - Ann - Abilities", 1},   {'N', "Brelmoor - Ann - Information", 1},
        {'3', "Brelmoor - Bob - Information", 2}, {'A', "Brelmoor - Bob - Action", 2},
    };
    for (const Step& step : steps)
    {
        machine.sounds.Take();
        const CVARDDlg* before = app.currentDialog.get();
        Key(step.key);
        SCOPED_TRACE(step.title);
        EXPECT_EQ(Title(), step.title);
        EXPECT_EQ(app.selectedMember, step.selected);
        EXPECT_TRUE(app.coveredDialogs.empty());
        // '4' is beyond the party: the page stays, nothing sounds.
        EXPECT_EQ(Plays(), step.key == '4' ? 0 : 1);
        EXPECT_EQ(app.currentDialog.get() == before, step.key == '4');
    }

    // On the sheet an F-key only selects; a click on the selected slot clears.
    Key(platform::vk::kEscape);
    Open(std::make_shared<CActorSpellsDlg>(&app, Member(0)));
    Key(platform::vk::kF1 + 2);
    EXPECT_EQ(app.GetSelectedActionSlot(Member(0).get()), 2);
    Key(platform::vk::kF1 + 2);
    EXPECT_EQ(app.GetSelectedActionSlot(Member(0).get()), 2);
    Click(152);
    EXPECT_EQ(app.GetSelectedActionSlot(Member(0).get()), VARDUI::kActionSlotNone);
    Click(157);
    EXPECT_EQ(app.GetSelectedActionSlot(Member(0).get()), 7);
    // 160 would be an eleventh slot: nothing happens.
    machine.sounds.Take();
    Click(160);
    EXPECT_EQ(app.GetSelectedActionSlot(Member(0).get()), 7);
    EXPECT_EQ(Plays(), 0);
    RightClick(160);
    EXPECT_NE(dynamic_cast<CActorSpellsDlg*>(app.currentDialog.get()), nullptr);

    // A right click on any slot opens the editor with the selected slot.
    RightClick(153);
    auto* editor = dynamic_cast<CActionDlg*>(app.currentDialog.get());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->GetSelectedSlot(), 7);
    EXPECT_EQ(editor->GetShownActor(), Member(0).get());

    // "Game" opens nothing.
    Key(platform::vk::kEscape);
    Open(std::make_shared<CActorInfoDlg>(&app, Member(1)));
    Click(6);
    EXPECT_EQ(app.currentDialog, nullptr);
}

TEST_F(ActorSheet, EveryPageCodeOpensItsSuccessorSilently)
{
    const char* const titles[] = {"Hero - Information", "Hero - Inventory", "Hero - Journal",
                                  "Hero - Abilities", "Hero - Action"};
    for (int code = 1; code <= 5; ++code)
    {
        SCOPED_TRACE(code);
        Open(std::make_shared<CActorInfoDlg>(&app, Member(0)));
        if (code == 5)
            Key('A');
        else
            Click(code);
        EXPECT_EQ(Title(), std::string("Brelmoor - ") + titles[code - 1]);
        EXPECT_EQ(Plays(), 1);
        EXPECT_TRUE(app.coveredDialogs.empty());
        while (app.currentDialog)
            app.CloseDialog();
    }
}

TEST_F(ActorSheet, ADeadMemberShowsDeadAndLeavesTheParty)
{
    const auto ann = Member(1);
    ann->SetActivityState(VARD::kActivityDead);
    Open(std::make_shared<CActorSpellsDlg>(&app, Member(0)));
    // The abilities page refuses a dead member; the information page shows it.
    Key('2');
    EXPECT_EQ(Title(), "Brelmoor - Hero - Abilities");
    Key('N');
    Key('2');
    ASSERT_EQ(Title(), "Brelmoor - Ann - Information");
    EXPECT_TRUE(HasText("Dead"));
    EXPECT_TRUE(HasText("0/" + std::to_string(ann->GetMaxEnergyPoints())));
    EXPECT_EQ(Find<VARDUI::CUITextButton>(CActorInfoDlg::kSpendPointsId), nullptr);
    auto* leave = Find<VARDUI::CUITextButton>(CActorInfoDlg::kLeavePartyId);
    ASSERT_NE(leave, nullptr);
    EXPECT_EQ(leave->GetCaption(), "Leave Party");
    // Tabs and letters do nothing for the dead.
    const CVARDDlg* page = app.currentDialog.get();
    Click(2);
    Key('B');
    EXPECT_EQ(app.currentDialog.get(), page);

    Click(CActorInfoDlg::kLeavePartyId);
    EXPECT_EQ(app.currentDialog, nullptr);
    ASSERT_EQ(Game().GetParty().size(), 2u);
    EXPECT_NE(Member(1), ann);

    // A dead main character gets no button at all.
    Member(0)->SetActivityState(VARD::kActivityDead);
    Open(std::make_shared<CActorInfoDlg>(&app, Member(0)));
    EXPECT_EQ(Find<VARDUI::CUITextButton>(CActorInfoDlg::kLeavePartyId), nullptr);
    EXPECT_EQ(Find<VARDUI::CUITextButton>(CActorInfoDlg::kSpendPointsId), nullptr);
}

TEST_F(ActorSheet, LevelThresholdsBonusesAndPointsOnTheInformationPage)
{
    VARD::CActor& hero = *Member(0);
    hero.SetLevelBonus(0);
    // The experience of the next level, from the rules' own table.
    const std::pair<std::uint32_t, std::uint32_t> thresholds[] = {
        {0, 2511}, {2, 6309}, {3, 10000}, {8, 100000}};
    for (const auto& [level, next] : thresholds)
    {
        hero.SetLevel(level);
        EXPECT_EQ(GetNextLevelThreshold(hero), next) << level;
        EXPECT_EQ(hero.GetExperienceThreshold(level + 1), next);
    }
    hero.SetLevel(3);
    hero.SetExperience(9000);
    hero.SetBaseAttribute(0, 9);
    hero.SetBaseAttribute(1, 11);
    hero.SetAttributePoints(0);
    hero.SetGeneralSkillPoints(0);
    hero.SetClassSkillPoints(0);
    Open(std::make_shared<CActorInfoDlg>(&app, Member(0)));
    EXPECT_TRUE(HasText("Fighter 3 (9000/10000 xp)"));
    EXPECT_TRUE(HasText("-2"));
    EXPECT_TRUE(HasText("+2"));
    EXPECT_EQ(Find<VARDUI::CUITextButton>(CActorInfoDlg::kSpendPointsId), nullptr);
    // Skill rows by id, right-clicked into their information over the page.
    for (int k = 0; k < 83; ++k)
        EXPECT_EQ(Find<VARDUI::CUIStaticText>(CActorInfoDlg::kFirstSkillId + k) != nullptr,
                  hero.HasSkill(k))
            << k;
    ASSERT_FALSE(hero.GetSkills().empty());
    const int skill = *hero.GetSkills().begin();
    RightClick(CActorInfoDlg::kFirstSkillId + skill);
    EXPECT_EQ(Title(), "Brelmoor - " + VARD::GetSkillDisplayName(skill));
    EXPECT_EQ(app.coveredDialogs.size(), 1u);
    app.CloseDialog();
    // Without a faction the faction line opens nothing.
    ASSERT_EQ(hero.GetFaction(), nullptr);
    RightClick(CActorInfoDlg::kFactionId);
    EXPECT_EQ(Title(), "Brelmoor - Hero - Information");

    // Attribute points first, then skill points.
    hero.SetAttributePoints(1);
    hero.SetGeneralSkillPoints(2);
    Key('N');
    ASSERT_NE(Find<VARDUI::CUITextButton>(CActorInfoDlg::kSpendPointsId), nullptr);
    Click(CActorInfoDlg::kSpendPointsId);
    EXPECT_NE(dynamic_cast<CAttribDlg*>(app.currentDialog.get()), nullptr);
    EXPECT_EQ(app.coveredDialogs.size(), 1u);
    // The attribute dialog leads on to the skills, still over the page.
    app.CloseDialog();
    EXPECT_NE(dynamic_cast<CSkillsDlg*>(app.currentDialog.get()), nullptr);
    EXPECT_EQ(app.coveredDialogs.size(), 1u);
    app.CloseDialog();
    ASSERT_NE(dynamic_cast<CActorInfoDlg*>(app.currentDialog.get()), nullptr);
    hero.SetAttributePoints(0);
    Click(CActorInfoDlg::kSpendPointsId);
    EXPECT_NE(dynamic_cast<CSkillsDlg*>(app.currentDialog.get()), nullptr);
}

TEST_F(ActorSheet, TheFactionLineHoversWithTheFactionsShownName)
{
    VARD::CActor& hero = *Member(0);
    const VARD::CFaction* temple = app.engine->Module().FindFaction("temple");
    ASSERT_NE(temple, nullptr);
    hero.SetFaction(temple, 1);
    Open(std::make_shared<CActorInfoDlg>(&app, Member(0)));
    auto* line = Find<VARDUI::CUIStaticText>(CActorInfoDlg::kFactionId);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text, hero.GetFactionName());
    EXPECT_NE(line->TestFlags(VARDUI::kUIFlagBackdrop), 0u);
    // The title the player reads, as the faction's own dialog is titled.
    EXPECT_EQ(line->GetHoverInfo().title, "Temple of the Sun");
    EXPECT_EQ(line->GetHoverInfo().text, "Right-click for faction info.");
    RightClick(CActorInfoDlg::kFactionId);
    EXPECT_EQ(Title(), "Brelmoor - Temple of the Sun");
    EXPECT_EQ(app.coveredDialogs.size(), 1u);
}

TEST_F(ActorSheet, TickDurationsAndTheCombatStatisticsOfTheHero)
{
    const std::pair<std::uint32_t, const char*> durations[] = {
        {59 * 30, "59 sec"}, {60 * 30, "1 min"},       {3599 * 30, "59 min"},
        {3600 * 30, "1 hr"}, {7199 * 30 + 29, "1 hr"}, {90, "3 sec"}};
    for (const auto& [ticks, text] : durations)
    {
        std::ostringstream out;
        WriteTickDuration(out, ticks);
        EXPECT_EQ(out.str(), text);
    }

    VARD::CActor& hero = *Member(0);
    const std::uint32_t now = Game().GetTick();
    hero.AddModifier(std::make_shared<VARD::CModifier>("Bless", now + 1800, 0, 1, 0, 1, true));
    hero.AddModifier(std::make_shared<VARD::CModifier>("Aura", now + 1800, 0, 1, 3, 1, true));
    hero.AddModifier(std::make_shared<VARD::CModifier>("Mark", 0, 0, 1, 0, 1, true));
    hero.AddStatus(1, now + 108000);
    hero.AddStatus(0, 0);
    for (int skill : {67, 70, 73})
        hero.Skills().insert(skill);
    CActorInfoDlg page(&app, Member(0));
    const std::string text = page.ComposeCombatStatistics();
    EXPECT_EQ(text,
              "January 1, 1250 8:00am LINE LINE Combat Statistics: LINE Attack Bonus: -8 LINE "
              "Attack Damage: 8 - 22 LINE Defense Class: 57 LINE LINE Effects: LINE "
              "Bless (1 min) LINE Aura LINE Mark LINE LINE Status: Held (1 hr) LINE "
              "Status: Fear LINE  LINE Base Attack Bonus: 5 LINE Base Spellcaster Bonus: 1 LINE "
              "Recoveries: 6 (6 remaining) LINE LINE Special Statistics: LINE Locks: 0 LINE "
              "Traps: 0 LINE Diplomacy: 0 LINE Stealth: 10 LINE Observation: 0 LINE LINE "
              "Wands: 6 LINE  LINE Attack Speed: 6.5 LINE Casting Speed: 6.5 LINE "
              "Movement Speed: 10.0 LINE LINE Combat Statistics Detail: LINE Attack Bonus: LINE "
              "+ Base Attack Bonus: 5 LINE + Unarmed Penalty: -20 LINE + Strength Modifier: 7 "
              "LINE Attack Damage: LINE + Unarmed Damage: 1-15 LINE + Strength Modifier: 7 LINE "
              "Defense Class: LINE + Base Defense Class: 50 LINE + Agility Bonus: 7 LINE "
              "Improved Flanking Attack: +20 LINE Improved Flanking Damage: 1-10 + 10 LINE ");
}

TEST_F(ActorSheet, AWeaponsSpellNamesWhatItMakesByKeyAndNeverStopsThePage)
{
    VARD::CModule& module = *app.engine->GetModule();
    const std::pair<const char*, const char*> rows[] = {
        {"item 0 no_such_item", "Create Item:  LINE no_such_item LINE "},
        {"item 0 bread", "Create Item:  LINE bread LINE "},
        {"summon 1hour bandit hostile", "Summon: bandit LINE "}};
    for (const auto& [effect, wording] : rows)
    {
        HelpTest::AddSpell(module,
                           std::string("<spell> sp_blade \"Blade Spell\" (0 0 0) \"d\" 0 0 1 "
                                       "0 0 0 <effect> ") +
                               effect + " </effect> </spell>");
        HelpTest::AddItemTemplate(module, "blade \"Blade\" \"d\" (1 1 1) \"\" dagger 0 0 1.0 10 "
                                          "weapon public <weapon> light_blade false 5 16 2 "
                                          "</weapon> <spell> sp_blade </spell>");
        Member(0)->SetEquipmentSlot(0, module.CreateItem("blade", 1, Game().NewThingId(5), 0));
        Open(app.dialogFactory->MakeActorInfo(&app, Member(0)));
        auto* page = dynamic_cast<CActorInfoDlg*>(app.currentDialog.get());
        ASSERT_NE(page, nullptr);
        const std::string text = page->ComposeCombatStatistics();
        const std::size_t detail = text.find("Combat Statistics Detail: LINE ");
        EXPECT_NE(text.find(std::string("Spell Attack: Blade Spell LINE "), detail),
                  std::string::npos);
        EXPECT_NE(text.find(wording, detail), std::string::npos) << text;
        app.CloseDialog();
    }
}

TEST_F(ActorSheet, DropsOntoSlotsSetTheirTypeAndKey)
{
    VARD::CActor& hero = *Member(0);
    const VARD::CModule& module = app.engine->Module();
    hero.AddBackpackItem(module.CreateItem("long_sword", 1, Game().NewThingId(2), 0));
    hero.AddBackpackItem(module.CreateItem("i_potion-heal", 1, Game().NewThingId(2), 0));
    hero.AddSpell(*module.FindSpell("heal"));
    const VARD::CSpell& ability = *hero.GetSpells().front();

    Open(std::make_shared<CActorSpellsDlg>(&app, Member(0)));
    app.currentDialog->OnDrop(1000, 153);
    EXPECT_EQ(Bar(0).slotType[3], VARDUI::kActionSlotCast);
    EXPECT_EQ(Bar(0).slotSpell[3], ability.GetKey());
    EXPECT_EQ(Plays(), 1);
    // A drop elsewhere stores nothing.
    app.currentDialog->OnDrop(1000, 160);
    app.currentDialog->OnDrop(1000, 6);
    EXPECT_EQ(Plays(), 1);

    Key('A');
    ASSERT_NE(dynamic_cast<CActionDlg*>(app.currentDialog.get()), nullptr);
    machine.sounds.Take();
    app.currentDialog->OnDrop(CActionDlg::kFirstBackpackId + 0, CActionDlg::kFirstSlotId + 4);
    EXPECT_EQ(Bar(0).slotType[4], VARDUI::kActionSlotTalk);
    EXPECT_EQ(Plays(), 0);
    app.currentDialog->OnDrop(CActionDlg::kFirstBackpackId + 1, CActionDlg::kFirstSlotId + 4);
    EXPECT_EQ(Bar(0).slotType[4], VARDUI::kActionSlotUseItem);
    EXPECT_EQ(Bar(0).slotItem[4], "i_potion-heal");
    app.currentDialog->OnDrop(CActionDlg::kAttackId, CActionDlg::kFirstSlotId + 5);
    EXPECT_EQ(Bar(0).slotType[5], VARDUI::kActionSlotAttack);
    app.currentDialog->OnDrop(CActionDlg::kFirstAbilityId, CActionDlg::kFirstSlotId + 6);
    EXPECT_EQ(Bar(0).slotType[6], VARDUI::kActionSlotCast);
    EXPECT_EQ(Bar(0).slotSpell[6], ability.GetKey());
    EXPECT_EQ(Plays(), 3);

    // Switching members in place renews the title; the same member again
    // changes nothing.
    Key('2');
    EXPECT_EQ(Title(), "Brelmoor - Ann - Action");
    EXPECT_EQ(dynamic_cast<CActionDlg*>(app.currentDialog.get())->GetShownActor(), Member(1).get());
    machine.sounds.Take();
    Key('2');
    EXPECT_EQ(Plays(), 0);
    Key(platform::vk::kReturn);
    EXPECT_EQ(app.currentDialog, nullptr);
}

} // namespace

namespace
{

// The ids of the rows a list shows, in order.
std::vector<int> RowIds(const VARDUI::CUIListElement& list)
{
    std::vector<int> ids;
    for (std::size_t s = 0; s < list.GetSectionCount(); ++s)
        for (const auto& row : list.GetSectionElements(s))
            ids.push_back(row->GetId());
    std::sort(ids.begin(), ids.end());
    return ids;
}

TEST_F(ActorSheet, TheAbilitiesPageHidesUnusableAbilitiesAndOpensTheirInformation)
{
    VARD::CActor& hero = *Member(0);
    const VARD::CModule& module = app.engine->Module();
    for (const char* key : {"heal", "s_power-sneak", "fire_bolt"})
        hero.AddSpell(*module.FindSpell(key));
    // The fighter can use Sneak only with the skill of its category.
    const VARD::CSpell& sneak = *hero.GetSpells()[1];
    ASSERT_TRUE(sneak.IsPower());
    hero.Skills().insert(sneak.GetSkill());
    ASSERT_TRUE(hero.MeetsRequirement(sneak));
    ASSERT_FALSE(hero.MeetsRequirement(*hero.GetSpells()[0]));
    ASSERT_FALSE(hero.MeetsRequirement(*hero.GetSpells()[2]));

    Open(std::make_shared<CActorSpellsDlg>(&app, Member(0)));
    auto* page = dynamic_cast<CActorSpellsDlg*>(app.currentDialog.get());
    EXPECT_EQ(RowIds(*page->GetSpellsList()), (std::vector<int>{1000, 1002}));
    EXPECT_EQ(RowIds(*page->GetPowersList()), (std::vector<int>{1001}));
    // Ticked, only the usable remain, under the same ids; cleared, all return.
    auto* hide = Find<VARDUI::CUICheckButton>(CActorSpellsDlg::kHideUnusableId);
    ASSERT_NE(hide, nullptr);
    hide->ClassifyMouse(VARDUI::kUIMouseLeftDown, nullptr);
    Click(CActorSpellsDlg::kHideUnusableId);
    EXPECT_TRUE(RowIds(*page->GetSpellsList()).empty());
    EXPECT_EQ(RowIds(*page->GetPowersList()), (std::vector<int>{1001}));
    hide->ClassifyMouse(VARDUI::kUIMouseLeftDown, nullptr);
    Click(CActorSpellsDlg::kHideUnusableId);
    EXPECT_EQ(RowIds(*page->GetSpellsList()), (std::vector<int>{1000, 1002}));

    // Only a usable ability lights the slots for its drag.
    const VARDUI::CUIActionWindow2* window = nullptr;
    for (const auto& element : app.ui.GetElements())
        if (auto* found = dynamic_cast<VARDUI::CUIActionWindow2*>(element.get()))
            window = found;
    ASSERT_NE(window, nullptr);
    const auto& slots = window->GetTokens();
    page->OnDragStart(1000);
    EXPECT_EQ(slots[5]->TestFlags(VARDUI::kUIFlagHighlighted), 0u);
    page->OnDragStart(1001);
    EXPECT_NE(slots[5]->TestFlags(VARDUI::kUIFlagHighlighted), 0u);
    page->OnDragCancel();
    EXPECT_EQ(slots[5]->TestFlags(VARDUI::kUIFlagHighlighted), 0u);

    // A right click opens the ability's information over the page.
    RightClick(1002);
    EXPECT_EQ(Title(), "Brelmoor - Fire Bolt");
    ASSERT_EQ(app.coveredDialogs.size(), 1u);
    EXPECT_EQ(app.coveredDialogs.back().get(), page);
}

} // namespace
