#include "dialogs/map_msg_dlg.h"

#include "dialogs/dialog_layout.h"
#include "ui/ui_buttons.h"
#include "ui/ui_group.h"
#include "ui/ui_manager.h"
#include "ui/ui_mini_map.h"
#include "ui/ui_text.h"
#include "world/area.h"

#include <memory>

using DialogLayout::CentredRect;

CVARDMapDlg::CVARDMapDlg(VARD::CArea* area) : m_Area(area) {}

std::string CVARDMapDlg::GetTitle()
{
    return (m_Area ? m_Area->GetTitle() : std::string()) + " - Map";
}

void CVARDMapDlg::BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui)
{
    const DialogLayout::Centre centre = DialogLayout::CentreOf(*clientRect);
    auto panel = DialogLayout::AddPanel(*ui);
    VARDUI::CUIElementList column;
    // Two pixels a cell inside a one-pixel border: the whole area at once.
    // Without an area there is only the way out.
    if (m_Area)
    {
        auto map = std::make_shared<VARDUI::CUIMiniMap>(0, 0, m_Area);
        map->SetRect({0, 0, 2 * static_cast<std::int32_t>(m_Area->GetWidth()) + 2,
                      2 * static_cast<std::int32_t>(m_Area->GetHeight()) + 2});
        ui->AddElement(map);
        column.push_back(map);
    }
    auto done = std::make_shared<VARDUI::CUITextButton>(kDoneId, "Done");
    done->SetRect({0, 0, 64, 32});
    ui->AddElement(done);
    column.push_back(done);
    VARDUI::CenterListH(column, centre.x);
    DialogLayout::StackAndFit(*panel, column, centre.y, DialogLayout::kSpacing);
}

int CVARDMapDlg::OnButton(int elementId)
{
    return elementId == kDoneId ? 1 : 0;
}

void CVARDMapDlg::OnClosed(CGameApp*) {}

CVARDMsgDlg::CVARDMsgDlg(const std::deque<std::string>* history) : m_History(history) {}

std::string CVARDMsgDlg::GetTitle()
{
    return "Messages";
}

void CVARDMsgDlg::BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui)
{
    const DialogLayout::Centre centre = DialogLayout::CentreOf(*clientRect);
    auto panel = DialogLayout::AddPanel(*ui);
    const gfx::Rect frame = CentredRect(centre, 320, 240);
    panel->SetRect(frame);
    // The newest line at the bottom; older ones behind the scroll bar.
    auto text = std::make_shared<VARDUI::CUITextElement>(m_History);
    gfx::Rect textRect = VARDUI::InflateRect(frame, -DialogLayout::kSpacing);
    textRect.bottom -= 48;
    text->SetRect(textRect);
    ui->AddElement(text);
    auto done = std::make_shared<VARDUI::CUITextButton>(kDoneId, "Done");
    const std::int32_t left = frame.left + frame.Width() / 2 - 32;
    const std::int32_t top = textRect.bottom + DialogLayout::kSpacing;
    done->SetRect({left, top, left + 64, top + 32});
    ui->AddElement(done);
}

int CVARDMsgDlg::OnButton(int elementId)
{
    return elementId == kDoneId ? 1 : 0;
}

void CVARDMsgDlg::OnClosed(CGameApp*) {}
