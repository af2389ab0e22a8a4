#pragma once

#include "app/vard_dlg.h"

#include <string>

namespace platform
{
class Desktop;
}

// The last page of a won game: the module's victory text with the maker's
// thanks, a button to the feedback page and "Exit"; closing it ends the
// program.
class CWinDlg : public CVARDDlg
{
public:
    static constexpr int kExitId = 1;
    static constexpr int kFeedbackId = 2;

    // The feedback page opens through `desktop`; without one the button
    // does nothing.
    CWinDlg(std::string title, std::string text, platform::Desktop* desktop = nullptr);

    std::string GetTitle() override;
    void BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui) override;
    int OnButton(int elementId) override;
    void OnClosed(CGameApp* app) override;

    // The text shown: the victory text followed by the thanks.
    const std::string& GetText() const { return m_Text; }

private:
    std::string m_Title;
    std::string m_Text;
    platform::Desktop* m_Desktop;
};
