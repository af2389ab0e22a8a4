#include "dialogs/skills_dlg.h"

#include "app/game_app.h"
#include "app/vard_audio.h"
#include "dialogs/cc_pages.h"
#include "dialogs/info_dlgs.h"
#include "platform/keys.h"
#include "rules/character_creation.h"
#include "rules/engine.h"
#include "ui/ui_buttons.h"
#include "ui/ui_group.h"
#include "ui/ui_lists.h"
#include "ui/ui_manager.h"
#include "ui/ui_static_text.h"
#include "ui/ui_text.h"
#include "world/actor.h"
#include "world/order.h"
#include "world/rule_tables.h"

namespace
{

constexpr std::uint32_t kPanelColour = 0xC0000000u;
constexpr std::int32_t kSpacing = 16;
constexpr std::uint32_t kRowHeight = 28;

std::string IntroText(bool creation)
{
    std::string text =
        creation
            ? "On this page you must select the skills that your character starts with. These "
              "skills determine a character's abilities in combat, spellcasting, and other "
              "functions. It is important that you select skills that will aid your character "
              "in the game. LINE LINE "
            : "You have a number of points to spend to raise your skills. Raise the skills that "
              "are most important to your character's style. LINE LINE ";
    return text +
           "Most characters will want to select at least one of the weapon specialization "
           "skills. Fighters and Rogues will likely want to select Armor as well, and perhaps "
           "two or more weapon skills. Spellcasters will likely want to select several of the "
           "spell skills. LINE LINE Any skills that are greyed out are not available to your "
           "character. Note that some skills have prerequisites; for instance to select "
           "Elemental Magic, you must first select Life Magic and Energy Magic. LINE LINE "
           "Right-click on a skill to get a further description of that skill.";
}

template <class Widget> std::shared_ptr<Widget> Sized(std::shared_ptr<Widget> widget, int w, int h)
{
    widget->SetRect({0, 0, w, h});
    return widget;
}

std::shared_ptr<VARDUI::CUIStaticText> Label(const std::string& text, int id, int w, int h,
                                             std::uint32_t flags)
{
    auto label = Sized(std::make_shared<VARDUI::CUIStaticText>(text, id), w, h);
    label->SetFlags(flags, 1);
    return label;
}

} // namespace

CSkillsDlg::CSkillsDlg(CGameApp* app, VARD::CActor* actor)
    : m_Mode(0), m_App(app), m_ActorPtr(actor)
{
}

CSkillsDlg::CSkillsDlg(CGameApp* app, VARD::CEngine* engine, std::shared_ptr<VARD::CActor> actor)
    : m_Mode(1), m_App(app), m_ActorPtr(actor.get()), m_Engine(engine), m_Actor(std::move(actor))
{
    m_ActorPtr->ResetSkillPoints();
}

std::string CSkillsDlg::GetTitle()
{
    return m_Mode != 0 ? "Skills" : m_ActorPtr->GetTalkName();
}

std::shared_ptr<VARDUI::CUIGroup> CSkillsDlg::BuildSkillRow(int skill)
{
    auto row = std::make_shared<VARDUI::CUIGroup>(1u, std::string(), 1u, 1);
    row->AddChild(Label(VARD::GetSkillDisplayName(skill), kNameBaseId + skill, 180, 24,
                        VARDUI::kUIFlagTextCenterV | VARDUI::kUIFlagBackdrop));
    auto value =
        Label(std::string(), 0, 40, 24,
              VARDUI::kUIFlagTextFrame | VARDUI::kUIFlagTextCenterV | VARDUI::kUIFlagTextCenterH);
    m_ValueBoxes[skill] = value.get();
    row->AddChild(value);
    auto buy = Sized(std::make_shared<VARDUI::CUITextButton>(kBuyBaseId + skill, "Buy"), 96, 24);
    m_BuyButtons[skill] = buy.get();
    row->AddChild(buy);
    return row;
}

void CSkillsDlg::BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui)
{
    const bool creation = m_Mode != 0;
    // Only the frame's height and centre count.
    const std::int32_t cx = (clientRect->left + clientRect->right) / 2;
    const std::int32_t cy = (clientRect->top + clientRect->bottom) / 2;
    const std::uint32_t frameHeight = 480u - 2u * static_cast<std::uint32_t>(kSpacing);
    auto panel = std::make_shared<VARDUI::CUIBackground>(kPanelColour);
    panel->SetFlags(VARDUI::kUIFlagBackdrop, 1);
    ui->AddPage(panel);
    // The intro text to the left of the column.
    auto intro = std::make_shared<VARDUI::CUITextElement>(IntroText(creation), 0u);
    ui->AddElement(intro);
    auto column = std::make_shared<VARDUI::CUIGroup>(0u, std::string(), 0u, kSpacing);
    ui->AddElement(column);
    // The skill list takes what height the frame leaves, in whole rows.
    m_SkillList = std::make_shared<VARDUI::CUIListElement>("Skills", kRowHeight,
                                                           std::vector<std::uint32_t>{322u});
    const std::uint32_t listHeight = ((frameHeight - 120u) / kRowHeight) * kRowHeight;
    m_SkillList->SetRect(
        {0, 0, m_SkillList->GetRect().Width(), static_cast<std::int32_t>(listHeight)});
    column->AddChild(m_SkillList);
    // The All Skills box and the points left to spend.
    auto controls = std::make_shared<VARDUI::CUIGroup>(0u, std::string(), 1u, kSpacing);
    m_AllSkills =
        Sized(std::make_shared<VARDUI::CUICheckButton>(kAllSkillsId, "All Skills"), 100, 24);
    controls->AddChild(m_AllSkills);
    auto points = std::make_shared<VARDUI::CUIGroup>(1u, std::string(), 1u);
    points->AddChild(Label("Points:", 0, 100, 24, VARDUI::kUIFlagTextCenterV));
    m_PointsBox =
        Label(std::string(), 0, 100, 24,
              VARDUI::kUIFlagTextFrame | VARDUI::kUIFlagTextCenterV | VARDUI::kUIFlagTextCenterH);
    points->AddChild(m_PointsBox);
    controls->AddChild(points);
    column->AddChild(controls);
    // In creation Done waits until the points are spent; Reset and Cancel beside it.
    m_DoneButton =
        Sized(std::make_shared<VARDUI::CUITextButton>(kDoneId, std::string("Done")), 64, 32);
    if (creation)
    {
        auto buttons = std::make_shared<VARDUI::CUIGroup>(0u, std::string(), 1u, kSpacing);
        m_DoneButton->SetFlags(VARDUI::kUIFlagVisible, 0);
        buttons->AddChild(m_DoneButton);
        buttons->AddChild(
            Sized(std::make_shared<VARDUI::CUITextButton>(kResetId, std::string("Reset")), 64, 32));
        buttons->AddChild(Sized(
            std::make_shared<VARDUI::CUITextButton>(kCancelId, std::string("Cancel")), 64, 32));
        column->AddChild(buttons);
    }
    else
    {
        column->AddChild(m_DoneButton);
        m_DoneButton.reset();
    }
    // The intro is as tall as the column.
    intro->SetRect({0, 0, 250, column->GetRect().Height()});
    // Intro and column centred side by side.
    const VARDUI::CUIElementList both = {intro, column};
    VARDUI::CenterListV(both, cy);
    VARDUI::LayoutRow(cx, 1u, kSpacing, both);
    // The panel wraps both.
    gfx::Rect bounds;
    VARDUI::GetListBounds(bounds, both);
    panel->SetRect(VARDUI::InflateRect(bounds, kSpacing));
    Refresh();
}

void CSkillsDlg::Refresh()
{
    if (!m_SkillList)
        return;
    m_SkillList->Clear();
    m_ValueBoxes.clear();
    m_BuyButtons.clear();
    const std::uint32_t points =
        m_ActorPtr->GetGeneralSkillPoints() + m_ActorPtr->GetClassSkillPoints();
    m_PointsBox->text = std::to_string(points);
    // Held and learnable skills, or every skill when All Skills is ticked.
    const bool all = m_AllSkills && m_AllSkills->GetTicked() != 0;
    for (int skill = 0; skill < VARD::kSkillCount; ++skill)
    {
        const bool held = m_ActorPtr->HasSkill(skill);
        const bool learnable = m_ActorPtr->CanLearnSkill(skill);
        if (!all && !held && !learnable)
            continue;
        m_SkillList->AddItem(0, BuildSkillRow(skill));
        m_ValueBoxes[skill]->text = held ? "1" : "0";
        m_BuyButtons[skill]->SetFlags(VARDUI::kUIFlagVisible,
                                      points > 0 && !held && learnable ? 1u : 0u);
    }
    // In creation Done shows once every point is spent.
    if (m_Mode != 0 && points == 0 && m_DoneButton)
        m_DoneButton->SetFlags(VARDUI::kUIFlagVisible, 1);
}

int CSkillsDlg::OnButton(int elementId)
{
    switch (elementId)
    {
    case kDoneId:
        return 1;
    case kCancelId:
        if (m_Mode == 0)
            return 0;
        m_Cancelled = 1;
        return 1;
    case kResetId:
        if (m_Mode == 0)
            return 0;
        VARD::ResetCreationSkills(*m_ActorPtr);
        Refresh();
        if (m_App->audio)
            m_App->audio->PlaySound(kSoundEventClick);
        return 0;
    case kAllSkillsId:
        Refresh();
        return 0;
    default:
        break;
    }
    if (elementId < kBuyBaseId || elementId >= kBuyBaseId + 100)
        return 0;
    const int skill = elementId - kBuyBaseId;
    if (m_Mode != 0)
    {
        // Only a shown Buy button gets here; a stray id is refused quietly.
        if (skill < VARD::kSkillCount && !m_ActorPtr->HasSkill(skill) &&
            m_ActorPtr->CanLearnSkill(skill))
            m_ActorPtr->LearnSkill(skill);
    }
    else
    {
        m_ActorPtr->QueueInstantOrder(std::make_shared<VARD::CSpendPointsOrder>(5, skill));
        m_App->ExecuteInstantOrders();
        m_App->DrainGameEvents();
    }
    Refresh();
    if (m_App->audio)
        m_App->audio->PlaySound(kSoundEventClick);
    return 0;
}

int CSkillsDlg::OnKey(int virtualKey, int)
{
    if (virtualKey == static_cast<int>(platform::vk::kEscape))
    {
        if (m_Mode != 0)
            m_Cancelled = 1;
        return 1;
    }
    if (virtualKey == static_cast<int>(platform::vk::kReturn))
    {
        if (m_Mode == 0)
            return 1;
        return m_ActorPtr->GetGeneralSkillPoints() == 0 && m_ActorPtr->GetClassSkillPoints() == 0
                   ? 1
                   : 0;
    }
    return 0;
}

int CSkillsDlg::OnRightClick(int elementId)
{
    const int skill = elementId - kNameBaseId;
    if (skill < 0 || skill >= VARD::kSkillCount || !m_App->engine || !m_App->engine->GetModule())
        return 0;
    m_App->SetDialog(false,
                     std::make_shared<CSkillDlg>(skill, m_ActorPtr, *m_App->engine->GetModule()));
    return 0;
}

void CSkillsDlg::OnClosed(CGameApp* app)
{
    if (m_Mode == 0)
        return;
    if (m_Cancelled != 0)
    {
        app->UnloadGame();
        app->SetDialog(true, app->dialogFactory->MakeStart());
        return;
    }
    app->SetDialog(true, std::make_shared<CCCHeadDlg>(m_Engine, m_Actor));
}
