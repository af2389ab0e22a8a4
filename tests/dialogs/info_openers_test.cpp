// Right clicks on the sheet pages, the skill dialog and the action-bar editor
// open the information dialog of the thing clicked, over the page, with the
// click sound.

#include "dialog_harness.h"
#include "dialogs/action_dlg.h"
#include "dialogs/actor_info_dlg.h"
#include "dialogs/actor_spells_dlg.h"
#include "dialogs/info_dlgs.h"
#include "dialogs/skills_dlg.h"
#include "world/module.h"
#include "world/spell.h"

#include <gtest/gtest.h>

#include <functional>
#include <typeinfo>

namespace
{

using DialogTest::DialogHarness;
using Maker = std::function<std::shared_ptr<CVARDDlg>()>;

// What tells two information dialogs apart: their class, title and text.
std::string Describe(CVARDDlg& dialog)
{
    std::string text;
    if (const auto* page = dynamic_cast<CTextDlg*>(&dialog))
        text = page->GetText();
    else if (const auto* page = dynamic_cast<CItemDlg*>(&dialog))
        text = page->GetText();
    return std::string(typeid(dialog).name()) + " | " + dialog.GetTitle() + " | " + text;
}

TEST(InformationOpeners, EachRightClickOpensTheDialogOfItsThing)
{
    DialogHarness harness;
    harness.StartDemoGame();
    CGameApp& app = harness.app;
    const auto hero = harness.Game().GetParty().front();
    const VARD::CModule& module = app.engine->Module();
    const VARD::CFaction* faction = module.FindFaction("temple");
    ASSERT_NE(faction, nullptr);
    hero->SetFaction(faction, 1);
    for (const char* key : {"heal", "fire_bolt", "s_power-sneak"})
        hero->AddSpell(*module.FindSpell(key));
    ASSERT_GE(hero->GetSkills().size(), 2u);
    const int skill = *std::next(hero->GetSkills().begin());
    app.engine->WizardCreateItem("dagger");
    app.engine->WizardCreateItem("i_potion-heal", 2);
    const auto backpack = hero->GetBackpackItems();
    ASSERT_GE(backpack.size(), 2u);
    const VARD::CSpell& second = *hero->GetSpells()[1];

    const Maker info = [&] { return std::make_shared<CActorInfoDlg>(&app, hero); };
    const Maker abilities = [&] { return std::make_shared<CActorSpellsDlg>(&app, hero); };
    const Maker skills = [&] { return std::make_shared<CSkillsDlg>(&app, hero.get()); };
    const Maker editor = [&] { return std::make_shared<CActionDlg>(&app, hero, 0); };
    struct Case
    {
        const char* what;
        Maker opener;
        int id;
        // Null: the click opens nothing.
        Maker expected;
    };
    const Case cases[] = {
        {"faction line", info, CActorInfoDlg::kFactionId,
         [&] { return std::make_shared<CFactionDlg>(*faction, &app); }},
        {"skill row", info, CActorInfoDlg::kFirstSkillId + skill,
         [&] { return std::make_shared<CSkillDlg>(skill, hero.get(), module); }},
        {"ability row", abilities, CActorSpellsDlg::kFirstAbilityId + 1,
         [&] { return std::make_shared<CSpellDlg>(second, hero.get(), module); }},
        {"ability past the end", abilities, CActorSpellsDlg::kFirstAbilityId + 3, nullptr},
        {"skill name", skills, CSkillsDlg::kNameBaseId + skill,
         [&] { return std::make_shared<CSkillDlg>(skill, hero.get(), module); }},
        {"below the skill names", skills, CSkillsDlg::kNameBaseId - 1, nullptr},
        {"editor ability", editor, CActionDlg::kFirstAbilityId + 1,
         [&] { return std::make_shared<CSpellDlg>(second, hero.get(), module); }},
        {"editor item", editor, CActionDlg::kFirstBackpackId + 1,
         [&] { return std::make_shared<CItemDlg>(&app, backpack[1], hero); }},
        {"editor item past the end", editor,
         CActionDlg::kFirstBackpackId + static_cast<int>(backpack.size()), nullptr},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        app.SetDialog(true, c.opener());
        CVARDDlg* opener = harness.Current();
        harness.TakeSounds();
        EXPECT_EQ(opener->OnRightClick(c.id), 0);
        if (!c.expected)
        {
            EXPECT_EQ(harness.Current(), opener);
            EXPECT_TRUE(harness.TakeSounds().empty());
        }
        else
        {
            ASSERT_NE(harness.Current(), opener);
            EXPECT_EQ(Describe(*harness.Current()), Describe(*c.expected()));
            EXPECT_EQ(harness.CoveredCount(), 1u);
            EXPECT_EQ(harness.TakeSounds(), std::vector<std::string>{"click.wav"});
            app.CloseDialog();
            EXPECT_EQ(harness.Current(), opener);
        }
        while (app.currentDialog)
            app.CloseDialog();
    }
}

} // namespace
