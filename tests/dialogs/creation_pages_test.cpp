// Character creation through the shell: the seven pages from a new game into
// play, their costs, colours, name keys and the way back to the start screen.

#include "dialog_harness.h"

#include "dialogs/attrib_dlg.h"
#include "dialogs/cc_pages.h"
#include "dialogs/skills_dlg.h"
#include "rules/character_creation.h"
#include "ui/ui_buttons.h"
#include "ui/ui_events.h"
#include "ui/ui_lists.h"
#include "ui/ui_static_text.h"
#include "world/effect_params.h"

namespace
{

using DialogTest::DialogHarness;
namespace vk = platform::vk;

// A click on a widget by id, as the widget tree reports it; list rows have
// no place until the list is drawn.
void Click(DialogHarness& h, int id)
{
    h.app.ui.GetEvents().push_back(
        std::make_shared<VARDUI::CUIEventButton>(VARDUI::kUIEventClick, id));
    h.app.PumpUIEvents();
}

bool Shown(DialogHarness& h, int id)
{
    const VARDUI::CUIElement* widget = h.Find(id);
    return widget != nullptr && widget->TestFlags(VARDUI::kUIFlagVisible) != 0;
}

// Buy buttons of the skill list, which the harness does not search.
bool SkillBuyShown(DialogHarness& h, int skill)
{
    const auto* page = h.CurrentAs<CSkillsDlg>();
    for (const auto& row : page->GetSkillList()->GetSectionElements(0))
        for (const auto& child : static_cast<const VARDUI::CUIGroup&>(*row).GetChildren())
            if (child->GetId() == CSkillsDlg::kBuyBaseId + skill)
                return child->TestFlags(VARDUI::kUIFlagVisible) != 0;
    return false;
}

VARD::CActor& NewActor(DialogHarness& h)
{
    return h.CurrentAs<CCCDlg>() ? h.CurrentAs<CCCDlg>()->GetActor()
                                 : *h.app.engine->Game().GetParty().front();
}

// From the start screen's new game to the attribute page.
VARD::CActor* ToAttributes(DialogHarness& h, int genderId)
{
    while (h.Current())
        h.app.CloseDialog();
    h.app.NewGame();
    VARD::CActor* actor = &h.CurrentAs<CCCGenderDlg>()->GetActor();
    h.Press(genderId);
    h.Press(CCCClassDlg::kClassBaseId);
    return actor;
}

// The choices the tools make: a point at a time round the five attributes,
// then every skill that may be learnt in table order, the first head.
void SpendAttributes(DialogHarness& h)
{
    for (bool raised = true; raised;)
    {
        raised = false;
        for (int a = 0; a < 5; ++a)
            if (Shown(h, CAttribDlg::kBuyBaseId + a))
            {
                h.Press(CAttribDlg::kBuyBaseId + a);
                raised = true;
            }
    }
    h.Key(vk::kReturn);
}

void SpendSkills(DialogHarness& h)
{
    ASSERT_NE(h.CurrentAs<CSkillsDlg>(), nullptr);
    for (int s = 0; s < VARD::kSkillCount; ++s)
        if (SkillBuyShown(h, s))
            Click(h, CSkillsDlg::kBuyBaseId + s);
    h.Press(CSkillsDlg::kDoneId);
}

void SpendAsTheToolsDo(DialogHarness& h)
{
    SpendAttributes(h);
    SpendSkills(h);
    ASSERT_NE(h.CurrentAs<CCCHeadDlg>(), nullptr);
    h.Press(CCCHeadDlg::kHeadBaseId);
}

} // namespace

TEST(CharacterCreation, ChosenPagesFromNewGameIntoPlayMakeThePartyOfOne)
{
    DialogHarness h;
    VARD::CActor* actor = ToAttributes(h, CCCGenderDlg::kFemaleId);
    ASSERT_NE(h.CurrentAs<CCCAttribDlg>(), nullptr);
    EXPECT_EQ(h.window->title, "Brelmoor - Attributes");
    EXPECT_EQ(actor->GetGender(), 1u);
    // Strength 6 to 20 takes 56 of the 72; its next point would take all 72.
    for (int i = 0; i < 14; ++i)
        h.Press(CAttribDlg::kBuyBaseId + 0);
    EXPECT_EQ(actor->GetAttributePoints(), 16u);
    EXPECT_FALSE(Shown(h, CAttribDlg::kBuyBaseId + 0));
    EXPECT_FALSE(Shown(h, CAttribDlg::kDoneId));
    h.Key(vk::kReturn);
    ASSERT_NE(h.CurrentAs<CCCAttribDlg>(), nullptr);
    // Intelligence 6 to 12 for 12, Agility and Personality 6 to 8 for 2 each.
    const auto spendTheRest = [&h]
    {
        for (int i = 0; i < 6; ++i)
            h.Press(CAttribDlg::kBuyBaseId + 3);
        for (int i = 0; i < 2; ++i)
        {
            h.Press(CAttribDlg::kBuyBaseId + 1);
            h.Press(CAttribDlg::kBuyBaseId + 4);
        }
    };
    spendTheRest();
    EXPECT_EQ(actor->GetAttributePoints(), 0u);
    EXPECT_TRUE(Shown(h, CAttribDlg::kDoneId));
    // Reset gives the 72 back and every attribute 6; Done stays.
    h.Press(CAttribDlg::kResetId);
    EXPECT_EQ(actor->GetAttributePoints(), 72u);
    EXPECT_EQ(actor->GetBaseAttribute(0), 6u);
    EXPECT_EQ(actor->GetBaseAttribute(3), 6u);
    EXPECT_TRUE(Shown(h, CAttribDlg::kDoneId));
    EXPECT_TRUE(Shown(h, CAttribDlg::kBuyBaseId + 0));
    for (int i = 0; i < 14; ++i)
        h.Press(CAttribDlg::kBuyBaseId + 0);
    spendTheRest();
    EXPECT_EQ(actor->GetAttributePoints(), 0u);
    h.Press(CAttribDlg::kDoneId);

    auto* skills = h.CurrentAs<CSkillsDlg>();
    ASSERT_NE(skills, nullptr);
    EXPECT_EQ(h.window->title, "Brelmoor - Skills");
    EXPECT_FALSE(Shown(h, CSkillsDlg::kDoneId));
    VARD::SkillSet chosen = actor->GetSkills();
    ASSERT_EQ(chosen.size(), 1u) << "the class's own skill alone";
    const std::uint32_t pools = actor->GetGeneralSkillPoints() + actor->GetClassSkillPoints();
    for (int s = 0; s < VARD::kSkillCount; ++s)
        if (SkillBuyShown(h, s))
            Click(h, CSkillsDlg::kBuyBaseId + s);
    EXPECT_GT(actor->GetSkills().size(), 1u);
    h.Press(CSkillsDlg::kResetId);
    EXPECT_EQ(actor->GetSkills(), chosen);
    EXPECT_EQ(actor->GetGeneralSkillPoints() + actor->GetClassSkillPoints(), pools);
    // The last learnable skills first, so the table order is not what counts.
    for (int s = VARD::kSkillCount - 1; s >= 0; --s)
        if (SkillBuyShown(h, s))
        {
            Click(h, CSkillsDlg::kBuyBaseId + s);
            chosen.insert(s);
        }
    EXPECT_EQ(actor->GetGeneralSkillPoints() + actor->GetClassSkillPoints(), 0u);
    EXPECT_TRUE(Shown(h, CSkillsDlg::kDoneId));
    h.Press(CSkillsDlg::kDoneId);

    ASSERT_NE(h.CurrentAs<CCCHeadDlg>(), nullptr);
    EXPECT_EQ(h.Find(CCCHeadDlg::kHeadBaseId + 2), nullptr) << "two heads for each gender";
    h.Press(CCCHeadDlg::kHeadBaseId + 1);
    ASSERT_NE(h.CurrentAs<CCCColorsDlg>(), nullptr);
    h.Press(CCCColorsDlg::kHairBaseId + 5);
    h.Press(CCCColorsDlg::kSkinBaseId + 13);
    h.Press(CCCColorsDlg::kTrimBaseId + 10);
    h.Press(CCCColorsDlg::kDoneId);
    ASSERT_NE(h.CurrentAs<CCCNameDlg>(), nullptr);
    h.Key(vk::kSpace);
    h.Type("Ann");
    h.Key(vk::kMinus);
    h.Type("Lee ");
    h.Key(vk::kReturn);

    ASSERT_EQ(h.Current(), nullptr);
    EXPECT_EQ(h.app.gameLoaded, 1);
    const auto party = h.Game().GetParty();
    ASSERT_EQ(party.size(), 1u);
    const VARD::CActor& made = *party.front();
    EXPECT_EQ(&made, actor);
    EXPECT_TRUE(made.IsMainCharacter());
    EXPECT_EQ(made.GetClass(), 0u);
    const std::uint32_t attributes[5] = {20, 8, 6, 12, 8};
    for (std::uint32_t a = 0; a < 5; ++a)
        EXPECT_EQ(made.GetBaseAttribute(a), attributes[a]) << a;
    EXPECT_EQ(made.GetSkills(), chosen);
    EXPECT_EQ(made.GetGraphicName(), "head_f_short");
    ASSERT_NE(made.GetColors(), nullptr);
    EXPECT_EQ(made.GetColors()->GetHair(), 0xCC9933u);
    EXPECT_EQ(made.GetColors()->GetSkin(), 0x99FFFFu);
    EXPECT_EQ(made.GetColors()->GetTrim(), 0x96451Au);
    EXPECT_EQ(made.GetFigureColor(), 0x99FFFFu);
    EXPECT_EQ(made.GetTalkName(), "Ann-Lee");
    EXPECT_NE(h.Game().GetCurrentArea(), nullptr);
}

TEST(CharacterCreation, TheToolsChoicesMakeTheToolsCharacter)
{
    DialogHarness h;
    ToAttributes(h, CCCGenderDlg::kMaleId);
    SpendAsTheToolsDo(h);
    h.Press(CCCColorsDlg::kDoneId);
    h.Type("Hero");
    h.Press(CCCNameDlg::kDoneId);
    ASSERT_EQ(h.Game().GetParty().size(), 1u);
    const std::shared_ptr<VARD::CActor> kept = h.Game().GetParty().front();
    const VARD::CActor& made = *kept;

    VARD::CEngine engine;
    engine.LoadModule(VARD_DEMO_MODULE);
    ToolSupport::CreateMainCharacter(engine, " Hero", "fighter", "male");
    const VARD::CActor& tool = *engine.Game().GetParty().front();
    for (std::uint32_t a = 0; a < 5; ++a)
        EXPECT_EQ(made.GetBaseAttribute(a), tool.GetBaseAttribute(a)) << a;
    EXPECT_EQ(made.GetSkills(), tool.GetSkills());
    EXPECT_EQ(made.GetGraphicName(), tool.GetGraphicName());
    EXPECT_EQ(made.GetColors()->GetHair(), tool.GetColors()->GetHair());
    EXPECT_EQ(made.GetColors()->GetSkin(), tool.GetColors()->GetSkin());
    EXPECT_EQ(made.GetColors()->GetTrim(), tool.GetColors()->GetTrim());
    EXPECT_EQ(made.GetFigureColor(), tool.GetFigureColor());
    EXPECT_EQ(made.GetTalkName(), tool.GetTalkName());
    EXPECT_EQ(made.GetGender(), tool.GetGender());
    EXPECT_EQ(made.GetClass(), tool.GetClass());
}

// The Buy button of Strength at a base value with so many points, on the
// creation page and in play: its caption, or "" while hidden.
TEST(AttributePoints, CostsAtTheTableBoundsLabelAndHideTheBuyButton)
{
    struct Case
    {
        bool creation;
        std::uint32_t value;
        std::uint32_t points;
        const char* caption;
    };
    const Case cases[] = {
        {true, 5, 72, "Buy (1 point)"},
        {true, 7, 1, "Buy (1 point)"},
        {true, 8, 2, "Buy (2 points)"},
        {true, 8, 1, ""},
        {true, 9, 2, "Buy (2 points)"},
        {true, 10, 3, "Buy (3 points)"},
        {true, 17, 6, "Buy (6 points)"},
        {true, 19, 7, "Buy (7 points)"},
        {true, 19, 6, ""},
        {true, 20, 71, ""},
        {true, 20, 72, "Buy (72 points)"},
        {false, 20, 1, "Buy (1 point)"},
        {false, 30, 1, "Buy (1 point)"},
        {false, 5, 0, ""},
    };
    DialogHarness h;
    h.StartDemoGame();
    VARD::CActor& member = *h.Game().GetParty().front();
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.value) + " with " + std::to_string(c.points));
        std::shared_ptr<CAttribDlg> page =
            c.creation ? std::make_shared<CCCAttribDlg>(h.app.engine.get(), &h.app,
                                                        h.Game().GetParty().front())
                       : std::make_shared<CAttribDlg>(&h.app, &member);
        h.app.SetDialog(true, page);
        member.SetBaseAttribute(0, c.value);
        member.SetAttributePoints(c.points);
        page->Refresh();
        const auto* buy = h.Find<VARDUI::CUITextButton>(CAttribDlg::kBuyBaseId);
        ASSERT_NE(buy, nullptr);
        EXPECT_EQ(buy->TestFlags(VARDUI::kUIFlagVisible) != 0 ? buy->GetCaption() : "", c.caption);
        if (c.creation && c.caption[0] != '\0')
        {
            h.Press(CAttribDlg::kBuyBaseId);
            EXPECT_EQ(member.GetBaseAttribute(0), c.value + 1);
        }
        h.app.currentDialog.reset();
    }
}

TEST(AttributePoints, InPlayEachPointIsAnOrderTheRulesRunAndSkillsFollow)
{
    DialogHarness h;
    h.StartDemoGame();
    const std::shared_ptr<VARD::CActor> member = h.Game().GetParty().front();
    member->SetAttributePoints(2);
    member->SetGeneralSkillPoints(1);
    member->SetClassSkillPoints(0);
    const std::uint32_t strength = member->GetBaseAttribute(0);
    h.app.SetDialog(false, std::make_shared<CAttribDlg>(&h.app, member.get()));
    EXPECT_EQ(h.window->title, "Brelmoor - Hero");
    EXPECT_EQ(h.Find(CAttribDlg::kResetId), nullptr);
    h.TakeSounds();
    h.Press(CAttribDlg::kBuyBaseId);
    EXPECT_EQ(member->GetBaseAttribute(0), strength + 1);
    EXPECT_EQ(member->GetAttributePoints(), 1u);
    EXPECT_EQ(h.TakeSounds(), std::vector<std::string>{"click.wav"});
    // An order is the rules' to run: they act for party actors only.
    member->SetAttitude(2);
    h.Press(CAttribDlg::kBuyBaseId);
    EXPECT_EQ(member->GetBaseAttribute(0), strength + 1);
    EXPECT_EQ(member->GetAttributePoints(), 1u);
    member->SetAttitude(0);
    h.Press(CAttribDlg::kBuyBaseId);
    EXPECT_EQ(member->GetAttributePoints(), 0u);
    EXPECT_FALSE(Shown(h, CAttribDlg::kBuyBaseId));
    EXPECT_TRUE(member->GetInstantOrders().empty());

    // Done with a skill point left: the skill dialog for play, silently.
    h.TakeSounds();
    h.Press(CAttribDlg::kDoneId);
    ASSERT_NE(h.CurrentAs<CSkillsDlg>(), nullptr);
    EXPECT_EQ(h.CurrentAs<CSkillsDlg>()->IsCharacterCreation(), 0);
    EXPECT_EQ(h.TakeSounds(), std::vector<std::string>{"click.wav"});
    int bought = -1;
    for (int s = 0; s < VARD::kSkillCount && bought < 0; ++s)
        if (SkillBuyShown(h, s))
            bought = s;
    ASSERT_GE(bought, 0);
    Click(h, CSkillsDlg::kBuyBaseId + bought);
    EXPECT_TRUE(member->HasSkill(bought));
    EXPECT_EQ(member->GetGeneralSkillPoints(), 0u);
    EXPECT_TRUE(member->GetInstantOrders().empty());
    for (int s = 0; s < VARD::kSkillCount; ++s)
        EXPECT_FALSE(SkillBuyShown(h, s)) << s;
    EXPECT_TRUE(Shown(h, CSkillsDlg::kDoneId));
    h.Key(vk::kReturn);
    EXPECT_EQ(h.Current(), nullptr);
}

TEST(CreationColours, DoneWithoutAClickGivesTheFirstSwatches)
{
    DialogHarness h;
    ToAttributes(h, CCCGenderDlg::kMaleId);
    SpendAsTheToolsDo(h);
    ASSERT_NE(h.CurrentAs<CCCColorsDlg>(), nullptr);
    for (int base :
         {CCCColorsDlg::kHairBaseId, CCCColorsDlg::kSkinBaseId, CCCColorsDlg::kTrimBaseId})
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(h.Find(base + i)->TestFlags(VARDUI::kUIFlagHighlighted) != 0, i == 0);
    EXPECT_EQ(h.Find<VARDUI::CUIColorButton>(CCCColorsDlg::kSkinBaseId + 0)->GetColour(),
              0x00CCFFFFu);
    // A click moves the highlight and sounds, the chosen one sounds too.
    h.TakeSounds();
    h.Press(CCCColorsDlg::kTrimBaseId + 3);
    h.Press(CCCColorsDlg::kTrimBaseId + 3);
    EXPECT_EQ(h.TakeSounds(), (std::vector<std::string>{"click.wav", "click.wav"}));
    EXPECT_FALSE(h.Find(CCCColorsDlg::kTrimBaseId)->TestFlags(VARDUI::kUIFlagHighlighted));
    EXPECT_TRUE(h.Find(CCCColorsDlg::kTrimBaseId + 3)->TestFlags(VARDUI::kUIFlagHighlighted));
    // A rebuild starts the choices over.
    h.app.RebuildUI();
    h.Press(CCCColorsDlg::kDoneId);
    VARD::CActor& actor = NewActor(h);
    ASSERT_NE(actor.GetColors(), nullptr);
    EXPECT_EQ(actor.GetColors()->GetHair(), 0x000000u);
    EXPECT_EQ(actor.GetColors()->GetSkin(), 0xFFFFCCu);
    EXPECT_EQ(actor.GetColors()->GetTrim(), 0xC00000u);
    EXPECT_EQ(actor.GetFigureColor(), 0xFFFFCCu);
}

TEST(CreationName, KeysWithAndWithoutShiftAndBlanksThatMakeNoName)
{
    DialogHarness h;
    ToAttributes(h, CCCGenderDlg::kMaleId);
    SpendAsTheToolsDo(h);
    h.Press(CCCColorsDlg::kDoneId);
    auto* page = h.CurrentAs<CCCNameDlg>();
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(Shown(h, CCCNameDlg::kDoneId));
    h.Key(vk::kReturn);
    ASSERT_EQ(h.Current(), page);
    // Blanks alone keep Done hidden and ENTER refused.
    h.Key(vk::kSpace);
    h.Key(vk::kSpace);
    EXPECT_EQ(page->GetTypedName(), "  ");
    EXPECT_FALSE(Shown(h, CCCNameDlg::kDoneId));
    h.Key(vk::kReturn);
    h.Press(CCCNameDlg::kDoneId);
    ASSERT_EQ(h.Current(), page);
    h.Key(vk::kBack);
    h.Key(vk::kBack);
    h.Key(vk::kBack);
    h.Key('K', true);
    h.Key('1', true);
    h.Key('7');
    h.Key(vk::kMinus, true);
    h.Key(vk::kSubtract);
    h.Key('W');
    h.Key(vk::kTab);
    h.Key(vk::kSpace);
    EXPECT_EQ(page->GetTypedName(), "K7_-w ");
    EXPECT_TRUE(Shown(h, CCCNameDlg::kDoneId));
    for (int i = 0; i < 5; ++i)
        h.Key(vk::kBack);
    EXPECT_EQ(page->GetTypedName(), "K");
    h.Key(vk::kBack);
    EXPECT_FALSE(Shown(h, CCCNameDlg::kDoneId));
    h.Type("Zed");
    h.Key(vk::kReturn);
    ASSERT_EQ(h.Current(), nullptr);
    EXPECT_EQ(h.Game().GetParty().front()->GetTalkName(), "Zed");
}

// Esc on every page: no game left, the start screen back; the pages with
// their own way back click when it opens, the point pages do not.
TEST(CharacterCreation, EscOnEveryPageReopensTheStartScreenWithNoGame)
{
    struct Step
    {
        const char* page;
        int steps;
        std::size_t clicks;
    };
    const Step cases[] = {{"Gender", 0, 2}, {"Class", 1, 2},      {"Attributes", 2, 1},
                          {"Skills", 3, 1}, {"Appearance", 4, 2}, {"Appearance", 5, 2},
                          {"Name", 6, 2}};
    DialogHarness h;
    for (const Step& step : cases)
    {
        SCOPED_TRACE(step.steps);
        while (h.Current())
            h.app.CloseDialog();
        h.app.NewGame();
        if (step.steps == 0)
        {
            // The column of 312 centred on (432, 360), the panel 16 larger.
            EXPECT_EQ(h.Find(CCCGenderDlg::kMaleId)->GetRect(), (gfx::Rect{336, 388, 528, 420}));
            EXPECT_EQ(h.Find(CCCGenderDlg::kCancelId)->GetRect(), (gfx::Rect{336, 484, 528, 516}));
            const auto panels = h.All<VARDUI::CUIBackground>();
            ASSERT_EQ(panels.size(), 1u);
            EXPECT_EQ(panels[0]->GetRect(), (gfx::Rect{166, 188, 698, 532}));
            EXPECT_EQ(panels[0]->TestFlags(VARDUI::kUIFlagBackdrop), 0u);
        }
        if (step.steps >= 1)
            h.Press(CCCGenderDlg::kMaleId);
        if (step.steps >= 2)
            h.Press(CCCClassDlg::kClassBaseId);
        if (step.steps >= 3)
            SpendAttributes(h);
        if (step.steps >= 4)
            SpendSkills(h);
        if (step.steps >= 5)
            h.Press(CCCHeadDlg::kHeadBaseId);
        if (step.steps >= 6)
            h.Press(CCCColorsDlg::kDoneId);
        EXPECT_EQ(h.window->title, std::string("Brelmoor - ") + step.page);
        h.TakeSounds();
        h.Key(vk::kEscape);
        EXPECT_EQ(h.window->title, "Brelmoor - Welcome");
        EXPECT_EQ(h.CoveredCount(), 0u);
        EXPECT_EQ(h.app.engine->GetGame(), nullptr);
        EXPECT_EQ(h.app.gameLoaded, 0);
        EXPECT_EQ(h.TakeSounds().size(), step.clicks);
    }
}
