#pragma once

// The in-game menu (save, return, load, quit, help, about, volume) and the
// volume page in steps of ten percent.

#include "app/vard_dlg.h"

#include <cstdint>
#include <string>

class CVARDGameMenuDlg : public CVARDDlg
{
public:
    enum : int
    {
        kSaveId = 1,
        kReturnId = 2,
        kLoadId = 3,
        kQuitId = 4,
        kHelpId = 5,
        kAboutId = 6,
        kVolumeId = 7,
    };

    std::string GetTitle() override;
    void BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui) override;
    // Every button closes the menu.
    int OnButton(int elementId) override;
    // ESC and ENTER return to the game.
    int OnKey(int virtualKey, int shiftDown) override;
    void OnClosed(CGameApp* app) override;

    std::int32_t GetChoice() const { return m_Choice; }

private:
    std::int32_t m_Choice = 0;
};

class CVARDVolumeDlg : public CVARDDlg
{
public:
    // The button of v percent (0, 10, ..., 100) has the id kFirstId + v.
    static constexpr int kFirstId = 100;

    explicit CVARDVolumeDlg(std::uint32_t percent);
    std::string GetTitle() override;
    void BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui) override;
    int OnButton(int elementId) override;
    // The volume is applied however the page closed.
    void OnClosed(CGameApp* app) override;

    std::int32_t GetVolume() const { return m_Volume; }

private:
    std::int32_t m_Volume;
};
