#pragma once

// The pages of character creation share this base: the engine and the new
// actor handed from page to page, the cancel that Esc sets, the way back to
// the start screen and the layout of a page.

#include "app/vard_dlg.h"
#include "ui/ui_element.h"

#include <cstdint>
#include <memory>

namespace VARD
{
class CActor;
class CEngine;
} // namespace VARD

namespace VARDUI
{
class CUIManager;
} // namespace VARDUI

class CCCDlg : public CVARDDlg
{
public:
    CCCDlg(VARD::CEngine* engine, std::shared_ptr<VARD::CActor> actor);

    // Esc cancels creation; ENTER does not close a page.
    int OnKey(int virtualKey, int shiftDown) override;
    // A cancelled page leads back to the start screen, any other on.
    void OnClosed(CGameApp* app) override;

    VARD::CActor& GetActor() const { return *m_Actor; }
    int IsCancelled() const { return m_Cancelled; }

protected:
    // Marks the page cancelled; 1, so that it closes.
    int Cancel();
    // The next page, or the game itself after the last.
    virtual void OpenNextPage(CGameApp* app) = 0;

    VARD::CEngine* m_Engine;
    std::shared_ptr<VARD::CActor> m_Actor;
    int m_Cancelled = 0;
};

// Drops the new game and shows a fresh start screen with the click.
void ReturnToStartScreen(CGameApp* app);

// The page layout: a panel first (filled when asked), then the widgets, each
// at its own size, centred across, stacked 16 apart on the client's centre,
// and the panel 16 larger all round.
void LayOutCreationPage(const gfx::Rect& client, VARDUI::CUIManager& ui, bool filledPanel,
                        const VARDUI::CUIElementList& column);
