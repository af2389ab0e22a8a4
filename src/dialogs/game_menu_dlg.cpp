#include "dialogs/game_menu_dlg.h"

#include "app/game_app.h"
#include "app/product_strings.h"
#include "dialogs/dialog_layout.h"
#include "platform/keys.h"
#include "ui/ui_buttons.h"
#include "ui/ui_group.h"
#include "ui/ui_manager.h"

#include <memory>
#include <sstream>

namespace vk = platform::vk;
using DialogLayout::CentredRect;

std::string CVARDGameMenuDlg::GetTitle()
{
    return "Game Menu";
}

void CVARDGameMenuDlg::BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui)
{
    const DialogLayout::Centre centre = DialogLayout::CentreOf(*clientRect);
    auto panel = DialogLayout::AddPanel(*ui);
    const std::string captions[] = {"Save Game", "Return to Game", "Load Game",
                                    "Quit Game", "Quick Help",     "About " + GetProductName(),
                                    "Volume"};
    VARDUI::CUIElementList column;
    int id = kSaveId;
    for (const std::string& caption : captions)
    {
        auto button = std::make_shared<VARDUI::CUITextButton>(id++, caption);
        button->SetRect(CentredRect(centre, 96, 16));
        ui->AddElement(button);
        column.push_back(button);
    }
    DialogLayout::StackAndFit(*panel, column, centre.y, DialogLayout::kSpacing);
}

int CVARDGameMenuDlg::OnButton(int elementId)
{
    m_Choice = elementId;
    return 1;
}

int CVARDGameMenuDlg::OnKey(int virtualKey, int)
{
    if (virtualKey != vk::kEscape && virtualKey != vk::kReturn)
        return 0;
    m_Choice = kReturnId;
    return 1;
}

void CVARDGameMenuDlg::OnClosed(CGameApp* app)
{
    switch (m_Choice)
    {
    case kSaveId:
        app->ShowSaveDialog();
        break;
    case kLoadId:
        // The running game is gone before the chooser opens; without a new
        // one the start screen is all that is left.
        app->UnloadGame();
        if (!app->ShowLoadDialog())
            app->SetDialog(true, app->dialogFactory->MakeStart());
        break;
    case kQuitId:
        app->window->PostClose();
        break;
    case kHelpId:
        app->ShowHelp(true);
        break;
    case kAboutId:
        app->ShowAbout();
        break;
    case kVolumeId:
        app->ShowVolume(true);
        break;
    default:
        // Return to the game, or no choice.
        break;
    }
}

CVARDVolumeDlg::CVARDVolumeDlg(std::uint32_t percent) : m_Volume(static_cast<std::int32_t>(percent))
{
}

std::string CVARDVolumeDlg::GetTitle()
{
    return "Volume";
}

void CVARDVolumeDlg::BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui)
{
    const DialogLayout::Centre centre = DialogLayout::CentreOf(*clientRect);
    auto panel = DialogLayout::AddPanel(*ui);
    VARDUI::CUIElementList column;
    for (std::uint32_t v = 0; v <= 100; v += 10)
    {
        std::ostringstream caption;
        if (v == 0)
            caption << "mute";
        else
            caption << v << "%";
        auto button =
            std::make_shared<VARDUI::CUITextButton>(kFirstId + static_cast<int>(v), caption.str());
        button->SetRect(CentredRect(centre, 32, 12));
        if (static_cast<std::int32_t>(v) == m_Volume)
            button->SetFlags(VARDUI::kUIFlagHighlighted, 1);
        ui->AddElement(button);
        column.push_back(button);
    }
    DialogLayout::StackAndFit(*panel, column, centre.y, 0);
}

int CVARDVolumeDlg::OnButton(int elementId)
{
    // One unsigned comparison: ids below the first wrap round and fail.
    const auto percent = static_cast<std::uint32_t>(elementId - kFirstId);
    if (percent > 100)
        return 0;
    m_Volume = static_cast<std::int32_t>(percent);
    return 1;
}

void CVARDVolumeDlg::OnClosed(CGameApp* app)
{
    app->SetVolume(static_cast<std::uint32_t>(m_Volume));
}
