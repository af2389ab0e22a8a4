#include "dialogs/wizard_dlg.h"

#include "app/game_app.h"
#include "dialogs/dialog_layout.h"
#include "platform/keys.h"
#include "ui/ui_buttons.h"
#include "ui/ui_group.h"
#include "ui/ui_manager.h"
#include "ui/ui_static_text.h"
#include "ui/ui_text.h"

namespace vk = platform::vk;
using DialogLayout::CentredRect;

std::string CWizardDlg::GetTitle()
{
    return "Wizard";
}

void CWizardDlg::BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui)
{
    const DialogLayout::Centre centre = DialogLayout::CentreOf(*clientRect);
    auto panel = DialogLayout::AddPanel(*ui);
    auto warning =
        std::make_shared<VARDUI::CUITextElement>("Wizard Dialog - Use at your own risk. LINE ", 1);
    warning->SetRect(CentredRect(centre, 200, 100));
    ui->AddElement(warning);
    m_Entry = std::make_shared<VARDUI::CUIStaticText>("", 0);
    m_Entry->SetFlags(VARDUI::kUIFlagTextFrame, 1);
    m_Entry->SetRect(CentredRect(centre, 200, 12));
    ui->AddElement(m_Entry);
    auto buttons = std::make_shared<VARDUI::CUIGroup>(0, "", 1);
    for (const auto& [id, caption] : {std::pair{kDoneId, "Done"}, std::pair{kCancelId, "Cancel"}})
    {
        auto button = std::make_shared<VARDUI::CUITextButton>(id, caption);
        button->SetRect({-32, -16, 32, 16});
        buttons->AddChild(button);
    }
    const std::int32_t w = buttons->GetRect().Width();
    const std::int32_t h = buttons->GetRect().Height();
    buttons->SetRect(
        {centre.x - w / 2, centre.y - h / 2, centre.x - w / 2 + w, centre.y - h / 2 + h});
    ui->AddElement(buttons);
    DialogLayout::StackAndFit(*panel, {warning, m_Entry, buttons}, centre.y,
                              DialogLayout::kSpacing);
}

int CWizardDlg::OnButton(int elementId)
{
    if (elementId == kDoneId)
        m_Choice = 1;
    else if (elementId == kCancelId)
        m_Choice = 0;
    else
        return 0;
    return 1;
}

int CWizardDlg::OnKey(int virtualKey, int shiftDown)
{
    if (virtualKey == vk::kEscape)
    {
        m_Choice = 0;
        return 1;
    }
    if (virtualKey == vk::kReturn)
    {
        m_Choice = 1;
        return 1;
    }
    if (m_Entry)
        VARDUI::CUIStaticText::ApplyKey(static_cast<std::uint32_t>(virtualKey),
                                        shiftDown != 0 ? 1u : 0u, *m_Entry);
    return 0;
}

void CWizardDlg::OnClosed(CGameApp* app)
{
    if (m_Choice == 0)
        return;
    // The interpreter tells its own failures in the message history.
    const std::string line = GetLine();
    if (!line.empty())
        app->RunWizardCommand(line);
}

std::string CWizardDlg::GetLine() const
{
    return m_Entry ? m_Entry->text : std::string();
}
