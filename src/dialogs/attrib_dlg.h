#pragma once

// Spending attribute points: in play each point is an order run at once and
// costs 1; on the creation page the new actor is raised directly, a point
// costing more as the attribute grows.

#include "app/vard_dlg.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace VARD
{
class CActor;
class CEngine;
} // namespace VARD

namespace VARDUI
{
class CUIGroup;
class CUIStaticText;
class CUITextButton;
} // namespace VARDUI

class CAttribDlg : public CVARDDlg
{
public:
    static constexpr int kDoneId = 1;
    static constexpr int kResetId = 2;
    static constexpr int kCancelId = 3;
    // Plus the attribute index.
    static constexpr int kBuyBaseId = 100;

    CAttribDlg(CGameApp* app, VARD::CActor* actor);

    std::string GetTitle() override;
    void BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui) override;
    int OnButton(int elementId) override;
    void OnClosed(CGameApp* app) override;
    virtual int IsCharacterCreation() const { return 0; }

    void Refresh();
    std::shared_ptr<VARDUI::CUIGroup> BuildAttributeRow(std::uint32_t attribute);
    // What the next point of an attribute at that base value costs here.
    std::uint32_t GetCost(std::uint32_t baseValue) const;

protected:
    CGameApp* m_App;
    VARD::CActor* m_ActorPtr;

private:
    std::shared_ptr<VARDUI::CUIStaticText> m_PointsBox;
    std::vector<VARDUI::CUIStaticText*> m_ValueBoxes;
    std::vector<VARDUI::CUITextButton*> m_BuyButtons;
    std::shared_ptr<VARDUI::CUITextButton> m_DoneButton;
};

class CCCAttribDlg : public CAttribDlg
{
public:
    // Gives the actor the 72 points of a new character.
    CCCAttribDlg(VARD::CEngine* engine, CGameApp* app, std::shared_ptr<VARD::CActor> actor);

    int OnButton(int elementId) override;
    // Esc cancels; ENTER goes on only once every point is spent.
    int OnKey(int virtualKey, int shiftDown) override;
    void OnClosed(CGameApp* app) override;
    int IsCharacterCreation() const override { return 1; }

    int IsCancelled() const { return m_Cancelled; }

private:
    VARD::CEngine* m_Engine;
    std::shared_ptr<VARD::CActor> m_Actor;
    int m_Cancelled = 0;
};
