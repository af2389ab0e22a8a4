#include "app/win_dlg.h"

#include "app/product_strings.h"
#include "platform/desktop.h"
#include "ui/ui_buttons.h"
#include "ui/ui_group.h"
#include "ui/ui_manager.h"
#include "ui/ui_text.h"

#include <memory>

namespace
{

constexpr std::int32_t kPanelWidth = 640;
constexpr std::int32_t kPanelHeight = 480;
constexpr std::int32_t kMargin = 16;
constexpr std::int32_t kButtonRowHeight = 48;
constexpr std::int32_t kButtonHeight = 32;
constexpr std::int32_t kFeedbackWidth = 256;
constexpr std::int32_t kExitWidth = 64;
constexpr std::uint32_t kBackdrop = 0xC0000000u;

} // namespace

CWinDlg::CWinDlg(std::string title, std::string text, platform::Desktop* desktop)
    : m_Title(std::move(title)), m_Text(std::move(text)), m_Desktop(desktop)
{
    const std::string maker = GetMakerName();
    const std::string product = GetProductName();
    m_Text += " LINE LINE " + maker + " is desperate for feedback! Please visit the " + maker +
              " site to leave feedback on your experience with " + product + " LINE LINE " +
              "For more information on " + maker + ", visit our site:  LINE LINE " +
              GetMakerWebPage() + " LINE LINE " + "Thank you for playing " + product + "! LINE ";
}

std::string CWinDlg::GetTitle()
{
    return m_Title;
}

void CWinDlg::BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui)
{
    // A backdrop panel in the middle of the client area.
    const std::int32_t centreX = (clientRect->left + clientRect->right) / 2;
    const std::int32_t centreY = (clientRect->top + clientRect->bottom) / 2;
    const gfx::Rect panel{centreX - kPanelWidth / 2, centreY - kPanelHeight / 2,
                          centreX - kPanelWidth / 2 + kPanelWidth,
                          centreY - kPanelHeight / 2 + kPanelHeight};
    auto background = std::make_shared<VARDUI::CUIBackground>(kBackdrop);
    background->SetRect(panel);
    background->SetFlags(VARDUI::kUIFlagBackdrop, VARDUI::kUIFlagBackdrop);
    ui->AddPage(background);
    // The victory text above the buttons.
    auto text = std::make_shared<VARDUI::CUITextElement>(m_Text, 0);
    text->SetRect({panel.left + kMargin, panel.top + kMargin, panel.right - kMargin,
                   panel.bottom - kMargin - kButtonRowHeight});
    ui->AddElement(text);
    // The button row along the panel's foot.
    const std::int32_t buttonBottom = panel.bottom - kMargin;
    auto feedback = std::make_shared<VARDUI::CUITextButton>(kFeedbackId, "Launch Feedback Site");
    feedback->SetRect({0, buttonBottom - kButtonHeight, kFeedbackWidth, buttonBottom});
    auto exit = std::make_shared<VARDUI::CUITextButton>(kExitId, "Exit");
    exit->SetRect({0, buttonBottom - kButtonHeight, kExitWidth, buttonBottom});
    const VARDUI::CUIElementList row{feedback, exit};
    VARDUI::LayoutRow(centreX, 1, kMargin, row);
    ui->AddElement(feedback);
    ui->AddElement(exit);
}

int CWinDlg::OnButton(int elementId)
{
    if (elementId == kExitId)
        return 1;
    if (elementId == kFeedbackId && m_Desktop != nullptr)
        m_Desktop->OpenWebPage(GetFeedbackPage());
    return 0;
}

void CWinDlg::OnClosed(CGameApp*) {}
