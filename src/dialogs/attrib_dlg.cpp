#include "dialogs/attrib_dlg.h"

#include "app/game_app.h"
#include "app/vard_audio.h"
#include "dialogs/skills_dlg.h"
#include "platform/keys.h"
#include "rules/character_creation.h"
#include "ui/ui_buttons.h"
#include "ui/ui_group.h"
#include "ui/ui_manager.h"
#include "ui/ui_static_text.h"
#include "ui/ui_text.h"
#include "world/actor.h"
#include "world/modifier.h"
#include "world/order.h"
#include "world/rule_tables.h"

namespace
{

constexpr std::uint32_t kPanelColour = 0xC0000000u;
constexpr std::int32_t kSpacing = 16;
constexpr std::uint32_t kAttributeCount = 5;

std::string IntroText(bool creation)
{
    std::string text = creation ? "Now let's determine the basic physical and mental attributes "
                                  "of your character. "
                                : "";
    return text + "You have a number of points to spend to raise these attributes. Try to raise "
                  "the attributes that are important to your character's style. For instance "
                  "many fighters will want to primarily raise their Strength and Durability, "
                  "whereas many spellcasters will find Intelligence to be of paramount "
                  "importance.";
}

std::shared_ptr<VARDUI::CUIStaticText> Label(const std::string& text, int w, int h,
                                             std::uint32_t flags)
{
    auto label = std::make_shared<VARDUI::CUIStaticText>(text, 0);
    label->SetRect({0, 0, w, h});
    label->SetFlags(flags, 1);
    return label;
}

std::shared_ptr<VARDUI::CUITextButton> Button(int id, const std::string& caption, int w, int h)
{
    auto button = std::make_shared<VARDUI::CUITextButton>(id, caption);
    button->SetRect({0, 0, w, h});
    return button;
}

} // namespace

CAttribDlg::CAttribDlg(CGameApp* app, VARD::CActor* actor) : m_App(app), m_ActorPtr(actor) {}

std::string CAttribDlg::GetTitle()
{
    return IsCharacterCreation() != 0 ? "Attributes" : m_ActorPtr->GetTalkName();
}

std::uint32_t CAttribDlg::GetCost(std::uint32_t baseValue) const
{
    return IsCharacterCreation() != 0 ? VARD::CActor::GetAttributeRaiseCost(baseValue) : 1u;
}

std::shared_ptr<VARDUI::CUIGroup> CAttribDlg::BuildAttributeRow(std::uint32_t attribute)
{
    auto row = std::make_shared<VARDUI::CUIGroup>(1u, std::string(), 1u, 1);
    row->AddChild(Label(VARD::GetAttributeDisplayName(static_cast<int>(attribute)), 100, 24,
                        VARDUI::kUIFlagTextCenterV));
    auto value =
        Label(std::string(), 40, 24,
              VARDUI::kUIFlagTextFrame | VARDUI::kUIFlagTextCenterV | VARDUI::kUIFlagTextCenterH);
    m_ValueBoxes.push_back(value.get());
    row->AddChild(value);
    auto buy = Button(kBuyBaseId + static_cast<int>(attribute), "Buy", 100, 24);
    m_BuyButtons.push_back(buy.get());
    row->AddChild(buy);
    return row;
}

void CAttribDlg::BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui)
{
    const bool creation = IsCharacterCreation() != 0;
    auto panel = std::make_shared<VARDUI::CUIBackground>(kPanelColour);
    panel->SetFlags(VARDUI::kUIFlagBackdrop, 1);
    ui->AddPage(panel);
    // The intro text to the left of the column of rows.
    auto intro = std::make_shared<VARDUI::CUITextElement>(IntroText(creation), 0u);
    ui->AddElement(intro);
    auto column = std::make_shared<VARDUI::CUIGroup>(0u, std::string(), 0u, kSpacing);
    ui->AddElement(column);
    m_ValueBoxes.clear();
    m_BuyButtons.clear();
    // One row per attribute: name, value and its Buy button.
    for (std::uint32_t attribute = 0; attribute < kAttributeCount; ++attribute)
        column->AddChild(BuildAttributeRow(attribute));
    // The points left to spend.
    auto points = std::make_shared<VARDUI::CUIGroup>(1u, std::string(), 1u, 1);
    points->AddChild(Label("Points:", 96, 24, VARDUI::kUIFlagTextCenterV));
    m_PointsBox =
        Label(std::string(), 96, 24,
              VARDUI::kUIFlagTextFrame | VARDUI::kUIFlagTextCenterV | VARDUI::kUIFlagTextCenterH);
    points->AddChild(m_PointsBox);
    column->AddChild(points);
    // In creation Done waits until no point can buy anything; Reset and Cancel beside it.
    m_DoneButton.reset();
    if (creation)
    {
        auto buttons = std::make_shared<VARDUI::CUIGroup>(0u, std::string(), 1u, kSpacing);
        m_DoneButton = Button(kDoneId, "Done", 64, 32);
        m_DoneButton->SetFlags(VARDUI::kUIFlagVisible, 0);
        buttons->AddChild(m_DoneButton);
        buttons->AddChild(Button(kResetId, "Reset", 64, 32));
        buttons->AddChild(Button(kCancelId, "Cancel", 64, 32));
        column->AddChild(buttons);
    }
    else
        column->AddChild(Button(kDoneId, "Done", 64, 32));
    // The intro is as tall as the column.
    intro->SetRect({0, 0, 250, column->GetRect().Height()});
    // Intro and column centred side by side.
    const VARDUI::CUIElementList both = {intro, column};
    VARDUI::CenterListV(both, (clientRect->top + clientRect->bottom) / 2);
    VARDUI::LayoutRow((clientRect->left + clientRect->right) / 2, 1u, kSpacing, both);
    // The panel wraps both.
    gfx::Rect bounds;
    VARDUI::GetListBounds(bounds, both);
    panel->SetRect(VARDUI::InflateRect(bounds, kSpacing));
    Refresh();
}

void CAttribDlg::Refresh()
{
    const std::uint32_t points = m_ActorPtr->GetAttributePoints();
    if (m_PointsBox)
        m_PointsBox->text = std::to_string(points);
    // Each value with its modifiers; a Buy only where the points pay for it.
    bool anyShown = false;
    for (std::uint32_t i = 0; i < kAttributeCount && i < m_BuyButtons.size(); ++i)
    {
        const std::uint32_t base = m_ActorPtr->GetBaseAttribute(i);
        const std::int32_t shown =
            static_cast<std::int32_t>(base) +
            m_ActorPtr->GetModifierTotal(static_cast<std::uint32_t>(VARD::kModAttributeFirst) << i);
        m_ValueBoxes[i]->text = std::to_string(shown);
        const std::uint32_t cost = GetCost(base);
        VARDUI::CUITextButton& buy = *m_BuyButtons[i];
        if (points < cost)
        {
            buy.SetFlags(VARDUI::kUIFlagVisible, 0);
            continue;
        }
        buy.SetFlags(VARDUI::kUIFlagVisible, 1);
        buy.SetCaption(cost > 1 ? "Buy (" + std::to_string(cost) + " points)" : "Buy (1 point)");
        anyShown = true;
    }
    // In creation Done shows once no Buy is left to press.
    if (!anyShown && m_DoneButton)
        m_DoneButton->SetFlags(VARDUI::kUIFlagVisible, 1);
}

int CAttribDlg::OnButton(int elementId)
{
    if (elementId == kDoneId)
        return 1;
    // Reset belongs to the creation page; in play a point once spent stays.
    if (elementId == kResetId && IsCharacterCreation() != 0)
    {
        VARD::ResetCreationAttributes(*m_ActorPtr);
        Refresh();
        if (m_App->audio)
            m_App->audio->PlaySound(kSoundEventClick);
        return 0;
    }
    if (elementId < kBuyBaseId || elementId >= kBuyBaseId + static_cast<int>(kAttributeCount))
        return 0;
    const int attribute = elementId - kBuyBaseId;
    if (IsCharacterCreation() != 0)
        m_ActorPtr->RaiseAttribute(static_cast<std::uint32_t>(attribute));
    else
    {
        m_ActorPtr->QueueInstantOrder(
            std::make_shared<VARD::CSpendPointsOrder>(attribute, VARD::kSkillNone));
        m_App->ExecuteInstantOrders();
    }
    Refresh();
    if (m_App->audio)
        m_App->audio->PlaySound(kSoundEventClick);
    return 0;
}

void CAttribDlg::OnClosed(CGameApp* app)
{
    if (m_ActorPtr->GetGeneralSkillPoints() != 0 || m_ActorPtr->GetClassSkillPoints() != 0)
        app->SetDialog(true, std::make_shared<CSkillsDlg>(app, m_ActorPtr));
}

CCCAttribDlg::CCCAttribDlg(VARD::CEngine* engine, CGameApp* app,
                           std::shared_ptr<VARD::CActor> actor)
    : CAttribDlg(app, actor.get()), m_Engine(engine), m_Actor(std::move(actor))
{
    VARD::BeginCreationAttributes(*m_Actor);
}

int CCCAttribDlg::OnButton(int elementId)
{
    if (elementId == kCancelId)
    {
        m_Cancelled = 1;
        return 1;
    }
    return CAttribDlg::OnButton(elementId);
}

int CCCAttribDlg::OnKey(int virtualKey, int)
{
    if (virtualKey == static_cast<int>(platform::vk::kEscape))
    {
        m_Cancelled = 1;
        return 1;
    }
    if (virtualKey == static_cast<int>(platform::vk::kReturn))
        return m_Actor->GetAttributePoints() == 0 ? 1 : 0;
    return 0;
}

void CCCAttribDlg::OnClosed(CGameApp* app)
{
    if (m_Cancelled != 0)
    {
        app->UnloadGame();
        app->SetDialog(true, app->dialogFactory->MakeStart());
        return;
    }
    app->SetDialog(true, std::make_shared<CSkillsDlg>(app, m_Engine, m_Actor));
}
