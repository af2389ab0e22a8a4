#include "dialogs/cc_dlg.h"

#include "app/game_app.h"
#include "platform/keys.h"
#include "ui/ui_group.h"
#include "ui/ui_manager.h"

namespace
{
constexpr std::uint32_t kPanelColour = 0xC0000000u;
constexpr std::int32_t kSpacing = 16;
} // namespace

CCCDlg::CCCDlg(VARD::CEngine* engine, std::shared_ptr<VARD::CActor> actor)
    : m_Engine(engine), m_Actor(std::move(actor))
{
}

int CCCDlg::OnKey(int virtualKey, int)
{
    if (virtualKey != static_cast<int>(platform::vk::kEscape))
        return 0;
    return Cancel();
}

void CCCDlg::OnClosed(CGameApp* app)
{
    if (m_Cancelled != 0)
        ReturnToStartScreen(app);
    else
        OpenNextPage(app);
}

int CCCDlg::Cancel()
{
    m_Cancelled = 1;
    return 1;
}

void ReturnToStartScreen(CGameApp* app)
{
    app->UnloadGame();
    app->SetDialog(false, app->dialogFactory->MakeStart());
}

void LayOutCreationPage(const gfx::Rect& client, VARDUI::CUIManager& ui, bool filledPanel,
                        const VARDUI::CUIElementList& column)
{
    auto panel = std::make_shared<VARDUI::CUIBackground>(kPanelColour);
    panel->SetFlags(VARDUI::kUIFlagBackdrop, filledPanel ? 1u : 0u);
    ui.AddPage(panel);
    for (const auto& widget : column)
        ui.AddElement(widget);
    // The column centred in the client area.
    VARDUI::CenterListH(column, (client.left + client.right) / 2);
    VARDUI::LayoutColumn((client.top + client.bottom) / 2, kSpacing, column);
    // The panel wraps it.
    gfx::Rect bounds;
    VARDUI::GetListBounds(bounds, column);
    panel->SetRect(VARDUI::InflateRect(bounds, kSpacing));
}
