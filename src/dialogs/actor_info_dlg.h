#pragma once

// The information page of the character sheet: identity, level, vitals,
// attributes, saves, skills and the combat statistics text.

#include "dialogs/actor_sheet_dlg.h"

#include <cstdint>
#include <iosfwd>
#include <string>

class CActorInfoDlg : public CBaseActorDlg2
{
public:
    enum : std::int32_t
    {
        kSpendPointsId = 1000,
        kFactionId = 1001,
        kLeavePartyId = 1002,
        kFirstSkillId = 1100,
    };

    CActorInfoDlg(CGameApp* app, std::shared_ptr<VARD::CActor> actor);

    std::string GetTitle() override;
    int OnButton(int elementId) override;
    int OnRightClick(int elementId) override;
    int GetPageCode() const override { return kPageInfo; }
    void BuildPage(const gfx::Rect& page, VARDUI::CUIManager& ui) override;
    bool AllowsInactiveActor() const override { return true; }

    // The third column's text, as BuildCombatStatistics places it.
    std::string ComposeCombatStatistics() const;
    void BuildCombatStatistics(VARDUI::CUIManager& ui, const gfx::Rect& page, bool buttonShown);

private:
    void BuildAttributePanel(VARDUI::CUIManager& ui, const gfx::Rect& page);
    void BuildSavePanel(VARDUI::CUIManager& ui, const gfx::Rect& page);
    void BuildSkillList(VARDUI::CUIManager& ui, const gfx::Rect& page);
};

// "59 sec", "1 min", "2 hr": the largest whole unit.
void WriteTickDuration(std::ostream& out, std::uint32_t ticks);
// "Attack Speed: 12.5 (+3) LINE " for the actor's action kind.
void WriteActionSpeedLine(const std::string& label, const VARD::CActor& actor, std::ostream& out,
                          int actionKind);
// The experience at which the member reaches its next level.
std::uint32_t GetNextLevelThreshold(const VARD::CActor& actor);
