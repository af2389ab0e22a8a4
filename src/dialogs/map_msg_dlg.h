#pragma once

// The whole current area as a map, and the whole message history; both
// only show what the game screen shows in small.

#include "app/vard_dlg.h"

#include <deque>
#include <string>

namespace VARD
{
class CArea;
}

class CVARDMapDlg : public CVARDDlg
{
public:
    static constexpr int kDoneId = 1;

    // The area is the game's, and stays while the dialog pauses it.
    explicit CVARDMapDlg(VARD::CArea* area);
    std::string GetTitle() override;
    void BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui) override;
    int OnButton(int elementId) override;
    void OnClosed(CGameApp* app) override;

private:
    VARD::CArea* m_Area;
};

class CVARDMsgDlg : public CVARDDlg
{
public:
    static constexpr int kDoneId = 1;

    // The history is the application's; its lines are shown, not copied.
    explicit CVARDMsgDlg(const std::deque<std::string>* history);
    std::string GetTitle() override;
    void BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui) override;
    int OnButton(int elementId) override;
    void OnClosed(CGameApp* app) override;

private:
    const std::deque<std::string>* m_History;
};
