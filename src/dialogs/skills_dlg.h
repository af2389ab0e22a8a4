#pragma once

// Spending skill points, one a skill: in play each purchase is an order run
// at once; on the creation page the new actor learns directly, and the page
// leads on to the head page.

#include "app/vard_dlg.h"

#include <map>
#include <memory>
#include <string>

namespace VARD
{
class CActor;
class CEngine;
} // namespace VARD

namespace VARDUI
{
class CUICheckButton;
class CUIGroup;
class CUIListElement;
class CUIStaticText;
class CUITextButton;
} // namespace VARDUI

class CSkillsDlg : public CVARDDlg
{
public:
    static constexpr int kDoneId = 1;
    static constexpr int kResetId = 2;
    static constexpr int kCancelId = 3;
    static constexpr int kAllSkillsId = 4;
    // Plus the skill id.
    static constexpr int kBuyBaseId = 100;
    static constexpr int kNameBaseId = 200;

    // In play.
    CSkillsDlg(CGameApp* app, VARD::CActor* actor);
    // The creation page: the pools are worked out afresh from level and class.
    CSkillsDlg(CGameApp* app, VARD::CEngine* engine, std::shared_ptr<VARD::CActor> actor);

    std::string GetTitle() override;
    void BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui) override;
    int OnButton(int elementId) override;
    int OnKey(int virtualKey, int shiftDown) override;
    // A skill's name opens its description over this dialog.
    int OnRightClick(int elementId) override;
    void OnClosed(CGameApp* app) override;

    std::shared_ptr<VARDUI::CUIGroup> BuildSkillRow(int skill);
    void Refresh();

    int IsCharacterCreation() const { return m_Mode; }
    int IsCancelled() const { return m_Cancelled; }
    const VARDUI::CUIListElement* GetSkillList() const { return m_SkillList.get(); }

private:
    int m_Mode;
    CGameApp* m_App;
    VARD::CActor* m_ActorPtr;
    VARD::CEngine* m_Engine = nullptr;
    std::shared_ptr<VARD::CActor> m_Actor;
    int m_Cancelled = 0;
    std::shared_ptr<VARDUI::CUIStaticText> m_PointsBox;
    std::shared_ptr<VARDUI::CUIListElement> m_SkillList;
    std::map<int, VARDUI::CUIStaticText*> m_ValueBoxes;
    std::map<int, VARDUI::CUITextButton*> m_BuyButtons;
    std::shared_ptr<VARDUI::CUITextButton> m_DoneButton;
    std::shared_ptr<VARDUI::CUICheckButton> m_AllSkills;
};
