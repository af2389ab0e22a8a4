#pragma once

// The first two screens: the maker's splash picture, then the start screen
// with a new game, a saved game or the end of the program. The start screen
// is also where the program falls back to whenever no game runs.

#include "app/vard_dlg.h"

#include <cstdint>
#include <string>

class CSplashDlg : public CVARDDlg
{
public:
    static constexpr int kDoneId = 1;
    // Built-in image: the 640 x 480 splash picture.
    static constexpr std::uint32_t kSplashImage = 137;

    std::string GetTitle() override;
    void BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui) override;
    int OnButton(int elementId) override;
    // ESC, ENTER and SPACE.
    int OnKey(int virtualKey, int shiftDown) override;
    // The start screen, silently: the close already clicked.
    void OnClosed(CGameApp* app) override;
};

class CStartDlg : public CVARDDlg
{
public:
    static constexpr int kNewGameId = 1;
    static constexpr int kLoadId = 2;
    static constexpr int kExitId = 3;
    // Built-in image: the 728 x 180 title picture.
    static constexpr std::uint32_t kTitleImage = 160;

    std::string GetTitle() override;
    void BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui) override;
    int OnButton(int elementId) override;
    // Only the buttons leave this screen.
    int OnKey(int virtualKey, int shiftDown) override;
    void OnClosed(CGameApp* app) override;

    // The button that closed the screen, 0 before.
    std::int32_t GetChoice() const { return m_Choice; }
    static std::string NoticeText();

private:
    std::int32_t m_Choice = 0;
};
