#pragma once

// One step of a conversation: what was said, and the numbered answers. A
// conversation is a chain of these, each opened by the one before as it
// closes; the last may lead on to the partner's store.

#include "app/vard_dlg.h"
#include "ui/ui_talk_element.h"

#include <memory>
#include <string>

namespace VARD
{
class CActor;
class CTalkEvent;
class CTalkTarget;
} // namespace VARD

class CTalkDlg : public CVARDDlg
{
public:
    static constexpr int kChoiceIdBase = VARDUI::CUITalkElement::kTalkChoiceIdBase;
    static constexpr int kNoChoice = -1;

    // The first step. Code 2 when the speaker or the partner is not in the
    // current area.
    CTalkDlg(CGameApp* app, const VARD::CTalkEvent& event);
    // The step the partner's choice at that index leads to.
    CTalkDlg(VARD::CTalkTarget* partner, CGameApp* app, VARD::CActor* speaker, int chosen);

    std::string GetTitle() override;
    void BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui) override;
    int OnButton(int elementId) override;
    int OnKey(int virtualKey, int shiftDown) override;
    void OnClosed(CGameApp* app) override;

    const VARDUI::CUITalkLines& GetLines() const { return m_Lines; }
    const VARDUI::CUITalkLines& GetChoices() const { return m_Choices; }
    int GetChosen() const { return m_Chosen; }

private:
    void EnterState(const std::string& state, const std::string& chosenText);
    void TakeEvents();
    // Chooses the index and answers 1 when it names a listed choice.
    int Choose(int index);
    // Whether the partner is still where the party is.
    bool IsPartnerHere() const;

    CGameApp* m_App;
    VARD::CActor* m_Speaker = nullptr;
    VARD::CTalkTarget* m_Partner = nullptr;
    VARDUI::CUITalkLines m_Lines;
    VARDUI::CUITalkLines m_Choices;
    int m_Chosen = kNoChoice;
};
