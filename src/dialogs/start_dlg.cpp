#include "dialogs/start_dlg.h"

#include "app/game_app.h"
#include "app/product_strings.h"
#include "dialogs/dialog_layout.h"
#include "platform/keys.h"
#include "ui/ui_buttons.h"
#include "ui/ui_group.h"
#include "ui/ui_manager.h"
#include "ui/ui_text.h"

#include <memory>

namespace vk = platform::vk;
using DialogLayout::CentredRect;

namespace
{

std::shared_ptr<VARDUI::CUITextButton>
AddButton(VARDUI::CUIManager& ui, DialogLayout::Centre centre, int id, const std::string& caption)
{
    auto button = std::make_shared<VARDUI::CUITextButton>(id, caption);
    button->SetRect(CentredRect(centre, 96, 16));
    ui.AddElement(button);
    return button;
}

} // namespace

std::string CSplashDlg::GetTitle()
{
    return GetMakerName();
}

void CSplashDlg::BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui)
{
    const DialogLayout::Centre centre = DialogLayout::CentreOf(*clientRect);
    auto panel = DialogLayout::AddPanel(*ui);
    auto image = std::make_shared<VARDUI::CUIImage>(kSplashImage);
    image->SetRect(CentredRect(centre, 320, 240));
    ui->AddElement(image);
    auto done = AddButton(*ui, centre, kDoneId, "Done");
    DialogLayout::StackAndFit(*panel, {image, done}, centre.y, DialogLayout::kSpacing);
}

int CSplashDlg::OnButton(int elementId)
{
    return elementId == kDoneId ? 1 : 0;
}

int CSplashDlg::OnKey(int virtualKey, int)
{
    return virtualKey == vk::kEscape || virtualKey == vk::kReturn || virtualKey == vk::kSpace ? 1
                                                                                              : 0;
}

void CSplashDlg::OnClosed(CGameApp* app)
{
    app->SetDialog(true, app->dialogFactory->MakeStart());
}

std::string CStartDlg::GetTitle()
{
    return "Welcome";
}

std::string CStartDlg::NoticeText()
{
    return GetProductName() + " " + GetProductVersion() +
           " LINE This is Beta software. Please help make it better by providing feedback or "
           "bug reports to " +
           GetMakerName() + ". Visit " + GetProductWebPage() + ", or email " + GetContactMail() +
           ".";
}

void CStartDlg::BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui)
{
    const DialogLayout::Centre centre = DialogLayout::CentreOf(*clientRect);
    auto panel = DialogLayout::AddPanel(*ui);
    auto image = std::make_shared<VARDUI::CUIImage>(kTitleImage);
    image->SetRect(CentredRect(centre, 365, 91));
    ui->AddElement(image);
    auto notice = std::make_shared<VARDUI::CUITextElement>(NoticeText(), 0);
    notice->SetRect(CentredRect(centre, 300, 28));
    ui->AddElement(notice);
    auto start = AddButton(*ui, centre, kNewGameId, "Start New Game");
    auto load = AddButton(*ui, centre, kLoadId, "Load Existing Game");
    auto exit = AddButton(*ui, centre, kExitId, "Exit");
    DialogLayout::StackAndFit(*panel, {image, notice, start, load, exit}, centre.y,
                              DialogLayout::kSpacing);
}

int CStartDlg::OnButton(int elementId)
{
    if (elementId < kNewGameId || elementId > kExitId)
        return 0;
    m_Choice = elementId;
    return 1;
}

int CStartDlg::OnKey(int, int)
{
    return 0;
}

void CStartDlg::OnClosed(CGameApp* app)
{
    switch (m_Choice)
    {
    case kNewGameId:
        app->NewGame();
        break;
    case kLoadId:
        // A cancelled or failed load (told where it failed) comes back here.
        if (!app->ShowLoadDialog())
            app->SetDialog(true, app->dialogFactory->MakeStart());
        break;
    case kExitId:
        app->window->PostClose();
        break;
    default:
        break;
    }
}
