#pragma once

// The developer console: one typed line handed to the shell's command
// interpreter once the page has closed.

#include "app/vard_dlg.h"

#include <cstdint>
#include <memory>
#include <string>

namespace VARDUI
{
class CUIStaticText;
}

class CWizardDlg : public CVARDDlg
{
public:
    static constexpr int kDoneId = 1;
    static constexpr int kCancelId = 2;

    std::string GetTitle() override;
    // A rebuild starts a new, empty line.
    void BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui) override;
    int OnButton(int elementId) override;
    // ENTER runs the line, ESC drops it; other keys edit it.
    int OnKey(int virtualKey, int shiftDown) override;
    void OnClosed(CGameApp* app) override;

    // The line typed so far; empty before the page is built.
    std::string GetLine() const;

private:
    std::int32_t m_Choice = 0;
    std::shared_ptr<VARDUI::CUIStaticText> m_Entry;
};
