#pragma once

// The journal page: the party's journal by quest, optionally without the
// finished quests, and the people the party has met. It only reads the game.

#include "dialogs/actor_sheet_dlg.h"

#include <string>
#include <vector>

namespace VARDUI
{
class CUICheckButton;
class CUIListElement;
class CUITextButton;
class CUITextElement;
} // namespace VARDUI

class CActorJournalDlg : public CBaseActorDlg2
{
public:
    enum : std::int32_t
    {
        kQuestsTabId = 200,
        kPeopleTabId = 201,
        kHideFinishedId = 202,
        kAllQuestsId = 1000,
        kFirstRowId = 1001,
        kLastRowId = 1999,
    };

    CActorJournalDlg(CGameApp* app, std::shared_ptr<VARD::CActor> actor);
    ~CActorJournalDlg() override;

    std::string GetTitle() override;
    int OnButton(int elementId) override;
    int GetPageCode() const override { return kPageJournal; }
    void BuildPage(const gfx::Rect& page, VARDUI::CUIManager& ui) override;

    const std::shared_ptr<VARDUI::CUIListElement>& GetList() const { return m_List; }
    const std::vector<std::string>& GetRowKeys() const { return m_RowKeys; }
    // The text shown, as handed to the text element.
    const std::string& GetShownText() const { return m_ShownText; }

private:
    bool IsQuestsView() const;
    void RebuildList();
    void BuildQuestList();
    void BuildPeopleList();
    void AddRow(std::int32_t id, const std::string& text, bool selected);
    // Id of the highlighted row of the list, 0 without one.
    std::int32_t SelectedRowId() const;
    void ShowSelectedText();
    void ShowQuestText();
    void ShowPersonText();
    void SetText(std::string text);
    std::string QuestTitle(const std::string& questName) const;

    std::shared_ptr<VARDUI::CUITextButton> m_QuestsTab;
    std::shared_ptr<VARDUI::CUITextButton> m_PeopleTab;
    std::shared_ptr<VARDUI::CUICheckButton> m_HideFinished;
    std::shared_ptr<VARDUI::CUIListElement> m_List;
    std::vector<std::string> m_RowKeys;
    std::shared_ptr<VARDUI::CUITextElement> m_Text;
    std::string m_ShownText;
};
