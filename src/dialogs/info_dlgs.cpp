#include "dialogs/info_dlgs.h"

#include "app/game_app.h"
#include "dialogs/dialog_layout.h"
#include "dialogs/help_text.h"
#include "rules/engine.h"
#include "ui/ui_buttons.h"
#include "ui/ui_group.h"
#include "ui/ui_manager.h"
#include "ui/ui_text.h"
#include "world/actor.h"
#include "world/faction.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/journal.h"
#include "world/module.h"
#include "world/order.h"
#include "world/rule_tables.h"
#include "world/spell.h"

#include <sstream>

namespace
{

constexpr std::int32_t kMargin = 16;

constexpr std::uint32_t kSpecialStatStealth = 3;
constexpr std::uint32_t kSpecialStatObservation = 4;
// The party's sight without a game: far below any concealment.
constexpr std::int32_t kNobodySees = -100000;
constexpr std::int32_t kKnownThroughAndThrough = 25;

gfx::Rect Shrunk(const gfx::Rect& rect, std::int32_t by)
{
    return {rect.left + by, rect.top + by, rect.right - by, rect.bottom - by};
}

} // namespace

gfx::Rect AddFixedPanel(const gfx::Rect& client, VARDUI::CUIManager& ui)
{
    return DialogLayout::AddCentredPanel(ui, client, 640, 480);
}

// ------------------------------------------------------------------ text

CTextDlg::CTextDlg(std::string title, std::string text)
    : m_Title(std::move(title)), m_Text(std::move(text))
{
}

CTextDlg::CTextDlg(std::string title, std::string text, std::shared_ptr<VARD::CActor>)
    : CTextDlg(std::move(title), std::move(text))
{
}

std::string CTextDlg::GetTitle()
{
    return m_Title;
}

void CTextDlg::BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui)
{
    const gfx::Rect panel = AddFixedPanel(*clientRect, *ui);
    gfx::Rect textRect = Shrunk(panel, kMargin);
    textRect.bottom -= 48;
    auto text = std::make_shared<VARDUI::CUITextElement>(m_Text, 1);
    text->SetRect(textRect);
    ui->AddElement(text);
    auto done = std::make_shared<VARDUI::CUITextButton>(kDoneId, "Done");
    const std::int32_t left = (panel.left + panel.right) / 2 - 32;
    const std::int32_t top = textRect.bottom + kMargin;
    done->SetRect({left, top, left + 64, top + 32});
    ui->AddElement(done);
}

int CTextDlg::OnButton(int elementId)
{
    return elementId == kDoneId ? 1 : 0;
}

void CTextDlg::OnClosed(CGameApp*) {}

CFactionDlg::CFactionDlg(const VARD::CFaction& faction, CGameApp* app)
{
    m_Title = faction.GetDisplayName();
    std::ostringstream out;
    WriteFactionHelp(faction, app->engine->Module(), out);
    m_Text = out.str();
}

CSkillDlg::CSkillDlg(int skill, const VARD::CActor*, const VARD::CModule& module)
{
    m_Title = VARD::GetSkillDisplayName(skill);
    std::ostringstream out;
    WriteSkillHelp(skill, out, module);
    m_Text = out.str();
}

CSpellDlg::CSpellDlg(const VARD::CSpell& spell, const VARD::CActor* actor,
                     const VARD::CModule& module)
{
    m_Title = spell.GetDisplayName();
    std::ostringstream out;
    WriteSpellHelp(spell, out, module, actor);
    m_Text = out.str();
}

// -------------------------------------------------------------- creature

std::string WriteCreatureText(const VARD::CActor& actor, std::int32_t margin,
                              const VARD::CGame* game)
{
    std::ostringstream out;
    out << actor.GetTalkName() << " LINE LINE ";
    out << VARD::GetRaceDisplayName(static_cast<int>(actor.GetCreatureKind())) << " "
        << VARD::GetSexDisplayName(static_cast<int>(actor.GetGender())) << " LINE ";
    out << "Hit Points: " << actor.GetHitPoints() << "/" << actor.GetMaxHitPoints() << " LINE ";
    out << "Class: "
        << (margin >= 0 ? VARD::GetClassDisplayName(static_cast<int>(actor.GetClass()))
                        : std::string("Unknown"))
        << " LINE ";
    if (margin >= 0)
    {
        if (actor.GetLevel() != 0)
            out << "Level: " << actor.GetLevel() << " LINE ";
        const int encounter = static_cast<int>(actor.GetLevel()) + actor.GetLevelBonus();
        out << "Encounter Level: " << encounter << " (" << VARD::GetEncounterXp(encounter)
            << "xp) LINE ";
    }
    if (margin >= 25)
    {
        std::uint32_t attacks = static_cast<std::uint32_t>(actor.GetAttacks().size());
        if (attacks == 0)
            attacks = actor.GetFightingStyle() == 12 ? 2 : 1;
        for (std::uint32_t i = 0; i < attacks; ++i)
        {
            const VARD::CAttackInfo attack = actor.DescribeAttack(i, false, nullptr);
            out << " LINE "
                << "Attack Bonus: " << attack.attackBonus << " LINE "
                << "Attack Damage: " << VARD::FormatDamageRange(attack) << " LINE "
                << "Defense Class: " << actor.DescribeDefense(false, nullptr) << " LINE "
                << " LINE ";
        }
        for (std::uint32_t save = 0; save < 3; ++save)
            out << VARD::GetSaveDisplayName(static_cast<int>(save)) << ": " << actor.GetSave(save)
                << " LINE ";
    }
    out << " LINE " << actor.GetSecondText() << " LINE LINE ";
    if (game)
    {
        const auto& people = game->GetPeople();
        const auto entry = people.find(actor.GetPeopleJournalKey());
        if (entry != people.end() && entry->second)
            WritePersonHelp(*entry->second, out);
    }
    return out.str();
}

std::int32_t CreatureInsightMargin(const VARD::CActor& actor, const VARD::CGame* game)
{
    if (actor.IsFriendly())
        return kKnownThroughAndThrough;
    const std::int32_t sight =
        game != nullptr ? game->BestPartySpecialStat(kSpecialStatObservation) : kNobodySees;
    return sight - actor.GetSkillCheck(kSpecialStatStealth);
}

CMonsterDlg::CMonsterDlg(const VARD::CActor& actor, const VARD::CGame* game)
{
    m_Title = actor.GetTalkName();
    m_Text = WriteCreatureText(actor, CreatureInsightMargin(actor, game), game);
}

// ------------------------------------------------------------------ item

CItemDlg::CItemDlg(CGameApp* app, std::shared_ptr<VARD::CItem> item,
                   std::shared_ptr<VARD::CActor> owner)
    : m_App(app), m_Item(std::move(item)), m_Owner(std::move(owner))
{
}

std::string CItemDlg::GetTitle()
{
    return m_Item->GetTemplate()->GetDisplayName();
}

std::string CItemDlg::GetText() const
{
    std::ostringstream out;
    const VARD::CModule* module =
        m_App && m_App->engine ? m_App->engine->GetModule().get() : nullptr;
    WriteItemHelp(*m_Item, out, module, kHelpFormDialog);
    return out.str();
}

void CItemDlg::BuildUI(const gfx::Rect* clientRect, VARDUI::CUIManager* ui)
{
    const gfx::Rect panel = AddFixedPanel(*clientRect, *ui);
    const std::int32_t y = panel.bottom - 40;
    VARDUI::CUIElementList row;
    // Only items used on their owner: a wand aimed elsewhere needs the view.
    if (m_Owner && m_Item->GetWandTargetMode() == 0 && m_Owner->CanUseItem(*m_Item, false))
    {
        const char* caption = m_Owner->CanUseItem(*m_Item, true) ? "Use" : "Delayed Use";
        auto use = std::make_shared<VARDUI::CUITextButton>(kUseId, caption);
        use->SetRect({0, y, 80, y + 24});
        ui->AddElement(use);
        row.push_back(use);
    }
    auto done = std::make_shared<VARDUI::CUITextButton>(kDoneId, "Done");
    done->SetRect({0, y, 80, y + 24});
    ui->AddElement(done);
    row.push_back(done);
    VARDUI::LayoutRow((panel.left + panel.right) / 2, 1, kMargin, row);

    gfx::Rect textRect = Shrunk(panel, kMargin);
    textRect.bottom = y - kMargin;
    auto text = std::make_shared<VARDUI::CUITextElement>(GetText(), 1);
    text->SetRect(textRect);
    ui->AddElement(text);
}

int CItemDlg::OnButton(int elementId)
{
    if (elementId == kDoneId)
        return 1;
    if (elementId == kUseId && m_Owner)
    {
        UseItem();
        return 1;
    }
    return 0;
}

void CItemDlg::UseItem()
{
    constexpr std::int32_t kUseItem = 5;
    auto order = std::make_shared<VARD::CUseOrder>(kUseItem, 0, m_Item->Id());
    // Potions and wands wait for play to go on: they take the owner's time.
    if (m_Owner->CanUseItem(*m_Item, true))
    {
        m_Owner->QueueInstantOrder(std::move(order));
        m_App->ExecuteInstantOrders();
        m_App->DrainGameEvents();
    }
    else
        m_Owner->QueueOrder(std::move(order), false);
}

void CItemDlg::OnClosed(CGameApp*) {}
