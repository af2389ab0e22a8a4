#pragma once

#include "platform/rect.h"

#include <string>

namespace VARDUI
{
class CUIManager;
}

class CGameApp;

// What every screen over the game view answers to. A non-zero result of
// OnButton, OnKey or OnRightClick closes the dialog; OnClosed runs once it
// has left the screen and may open a successor.
class CVARDDlg
{
public:
    virtual ~CVARDDlg() = default;
    // Shown in the window title after the product name and " - ".
    virtual std::string GetTitle() = 0;
    // Adds the dialog's widgets to the (already cleared) tree.
    virtual void BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui) = 0;
    virtual int OnButton(int elementId) = 0;
    // ESC and ENTER close.
    virtual int OnKey(int virtualKey, int shiftDown);
    virtual int OnRightClick(int elementId);
    virtual void OnDragStart(int elementId);
    virtual void OnDragCancel();
    virtual void OnDrop(int sourceId, int targetId);
    virtual void OnClosed(CGameApp* app) = 0;
};
