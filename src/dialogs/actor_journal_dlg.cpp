#include "dialogs/actor_journal_dlg.h"

#include "app/game_app.h"
#include "dialogs/help_text.h"
#include "rules/engine.h"
#include "ui/ui_buttons.h"
#include "ui/ui_lists.h"
#include "ui/ui_manager.h"
#include "ui/ui_text.h"
#include "world/game.h"
#include "world/journal.h"
#include "world/module.h"
#include "world/quest.h"

#include <set>
#include <sstream>

namespace
{

constexpr std::uint32_t kRowHeight = 16;
constexpr std::int32_t kScrollBarWidth = 24;

} // namespace

CActorJournalDlg::CActorJournalDlg(CGameApp* app, std::shared_ptr<VARD::CActor> actor)
    : CBaseActorDlg2(app, std::move(actor))
{
}

CActorJournalDlg::~CActorJournalDlg() = default;

std::string CActorJournalDlg::GetTitle()
{
    return CBaseActorDlg2::GetTitle() + " - Journal";
}

void CActorJournalDlg::BuildPage(const gfx::Rect& page, VARDUI::CUIManager& ui)
{
    m_QuestsTab = std::make_shared<VARDUI::CUITextButton>(kQuestsTabId, "Quests");
    m_QuestsTab->SetRect({page.left + 32, page.top, page.left + 224, page.top + 32});
    ui.AddElement(m_QuestsTab);
    m_QuestsTab->SetFlags(VARDUI::kUIFlagHighlighted, 1);
    m_PeopleTab = std::make_shared<VARDUI::CUITextButton>(kPeopleTabId, "People");
    m_PeopleTab->SetRect({page.left + 240, page.top, page.left + 432, page.top + 32});
    ui.AddElement(m_PeopleTab);
    m_HideFinished =
        std::make_shared<VARDUI::CUICheckButton>(kHideFinishedId, "Hide Finished Quests");
    m_HideFinished->SetRect({page.left + 448, page.top, page.left + 640, page.top + 32});
    ui.AddElement(m_HideFinished);

    m_List = std::make_shared<VARDUI::CUIListElement>(
        0, "Quests", kRowHeight, 1, static_cast<std::uint32_t>(page.Width() - kScrollBarWidth));
    m_List->SetFlags(VARDUI::kUIFlagListClicks, 1);
    m_List->SetRect({page.left, page.top + 48, page.left + page.Width(), page.top + 48 + 96});
    ui.AddElement(m_List);
    RebuildList();

    m_Text = std::make_shared<VARDUI::CUITextElement>("", 1);
    m_Text->SetRect({page.left, page.top + 160, page.right, page.bottom});
    ui.AddElement(m_Text);
    ShowQuestText();
}

bool CActorJournalDlg::IsQuestsView() const
{
    return m_QuestsTab->TestFlags(VARDUI::kUIFlagHighlighted) != 0;
}

void CActorJournalDlg::RebuildList()
{
    m_RowKeys.clear();
    m_List->Clear();
    if (IsQuestsView())
        BuildQuestList();
    else
        BuildPeopleList();
}

void CActorJournalDlg::AddRow(std::int32_t id, const std::string& text, bool selected)
{
    auto row = std::make_shared<VARDUI::CUITextButton>(id, text);
    const gfx::Rect own = row->GetRect();
    row->SetRect({own.left, own.top, own.left + m_List->GetRect().Width() - kScrollBarWidth,
                  own.top + static_cast<std::int32_t>(kRowHeight)});
    if (selected)
        row->SetFlags(VARDUI::kUIFlagHighlighted, 1);
    m_List->AddItem(0, row);
}

std::string CActorJournalDlg::QuestTitle(const std::string& questName) const
{
    // A quest the module does not define goes by its name.
    const VARD::CQuestInfo* quest = m_App->engine->Module().FindQuest(questName);
    return quest != nullptr ? quest->GetDisplayName() : questName;
}

void CActorJournalDlg::BuildQuestList()
{
    AddRow(kAllQuestsId, "All Quests", true);
    const VARD::CGame& game = *m_App->engine->GetGame();
    const bool hideFinished = m_HideFinished->GetTicked() != 0;
    std::set<std::string> seen;
    for (const auto& entry : game.GetJournal())
    {
        const std::string& quest = entry->questName;
        if (quest.empty() || !seen.insert(quest).second)
            continue;
        if (hideFinished && game.GetQuestTag(quest) != 0)
            continue;
        AddRow(kFirstRowId + static_cast<std::int32_t>(m_RowKeys.size()), QuestTitle(quest), false);
        m_RowKeys.push_back(quest);
    }
    m_List->SetTitle("Quests");
}

void CActorJournalDlg::BuildPeopleList()
{
    for (const auto& [key, person] : m_App->engine->GetGame()->GetPeople())
    {
        AddRow(kFirstRowId + static_cast<std::int32_t>(m_RowKeys.size()), person->displayName,
               false);
        m_RowKeys.push_back(key);
    }
    m_List->SetTitle("People");
}

std::int32_t CActorJournalDlg::SelectedRowId() const
{
    for (const auto& row : m_List->GetSectionElements(0))
    {
        if (row->TestFlags(VARDUI::kUIFlagHighlighted) != 0)
            return row->GetId();
    }
    return 0;
}

void CActorJournalDlg::SetText(std::string text)
{
    m_ShownText = std::move(text);
    m_Text->SetText(m_ShownText);
}

void CActorJournalDlg::ShowQuestText()
{
    const std::int32_t selected = SelectedRowId();
    const std::string* filter = nullptr;
    if (selected >= kFirstRowId &&
        static_cast<std::size_t>(selected - kFirstRowId) < m_RowKeys.size())
        filter = &m_RowKeys[static_cast<std::size_t>(selected - kFirstRowId)];

    const VARD::CGame& game = *m_App->engine->GetGame();
    const auto& texts = m_App->engine->Module().GetJournal();
    std::string text;
    for (const auto& entry : game.GetJournal())
    {
        if (filter != nullptr && (entry->questName.empty() || entry->questName != *filter))
            continue;
        text += game.FormatDateTime(entry->tick);
        if (!entry->questName.empty())
            text += " " + QuestTitle(entry->questName);
        // A text the module lacks shows its key rather than losing the page.
        const auto found = texts.find(entry->textName);
        text += " LINE ";
        text += found != texts.end() ? found->second : entry->textName;
        text += " LINE  LINE ";
    }
    SetText(std::move(text));
}

void CActorJournalDlg::ShowPersonText()
{
    const std::int32_t selected = SelectedRowId();
    if (selected < kFirstRowId ||
        static_cast<std::size_t>(selected - kFirstRowId) >= m_RowKeys.size())
    {
        SetText("");
        return;
    }
    const auto& people = m_App->engine->GetGame()->GetPeople();
    const auto found = people.find(m_RowKeys[static_cast<std::size_t>(selected - kFirstRowId)]);
    if (found == people.end() || !found->second)
    {
        SetText("");
        return;
    }
    std::ostringstream text;
    text << found->second->displayName << " LINE LINE ";
    WritePersonHelp(*found->second, text);
    SetText(text.str());
}

void CActorJournalDlg::ShowSelectedText()
{
    if (IsQuestsView())
        ShowQuestText();
    else
        ShowPersonText();
}

int CActorJournalDlg::OnButton(int elementId)
{
    switch (elementId)
    {
    case kQuestsTabId:
        m_QuestsTab->SetFlags(VARDUI::kUIFlagHighlighted, 1);
        m_PeopleTab->SetFlags(VARDUI::kUIFlagHighlighted, 0);
        m_HideFinished->SetFlags(VARDUI::kUIFlagVisible, 1);
        RebuildList();
        ShowQuestText();
        return 0;
    case kPeopleTabId:
        m_PeopleTab->SetFlags(VARDUI::kUIFlagHighlighted, 1);
        m_QuestsTab->SetFlags(VARDUI::kUIFlagHighlighted, 0);
        m_HideFinished->SetFlags(VARDUI::kUIFlagVisible, 0);
        RebuildList();
        ShowPersonText();
        return 0;
    case kHideFinishedId:
        RebuildList();
        ShowSelectedText();
        return 0;
    default:
        break;
    }
    if (elementId >= kAllQuestsId && elementId <= kLastRowId)
    {
        ShowSelectedText();
        return 0;
    }
    return CBaseActorDlg2::OnButton(elementId);
}
