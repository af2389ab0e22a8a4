#include "dialogs/actor_info_dlg.h"

#include "app/game_app.h"
#include "dialogs/attrib_dlg.h"
#include "dialogs/help_text.h"
#include "dialogs/info_dlgs.h"
#include "dialogs/skills_dlg.h"
#include "dialogs/spell_help.h"
#include "rules/engine.h"
#include "ui/ui_buttons.h"
#include "ui/ui_group.h"
#include "ui/ui_lists.h"
#include "ui/ui_manager.h"
#include "ui/ui_static_text.h"
#include "ui/ui_text.h"
#include "world/actor.h"
#include "world/actor_rule_ids.h"
#include "world/attack_info.h"
#include "world/faction.h"
#include "world/game.h"
#include "world/modifier.h"
#include "world/order.h"
#include "world/rule_tables.h"
#include "world/spell.h"

#include <iomanip>
#include <sstream>

namespace
{

using VARDUI::CUIElementList;

constexpr std::int32_t kLineWidth = 208;
constexpr std::int32_t kLineHeight = 32;
constexpr std::int32_t kColumn = 224;
constexpr std::uint32_t kGroupColour = 0xC0000000;
constexpr int kSkillCount = 83;
constexpr int kOrderLeaveParty = 13;
constexpr int kActionAttack = 2;
constexpr int kActionCast = 11;
constexpr int kTwoWeaponStyle = 12;
constexpr int kSkillStealth = 67;
constexpr int kSkillImprovedFlank = 70;
constexpr int kSkillWands = 73;
constexpr std::uint32_t kTextFlags = VARDUI::kUIFlagTextFrame | VARDUI::kUIFlagTextCenterV;
constexpr std::uint32_t kValueFlags = kTextFlags | VARDUI::kUIFlagTextCenterH;

const char* const kSpecialStatNames[] = {"Locks", "Traps", "Diplomacy", "Stealth", "Observation"};

void AddText(VARDUI::CUIManager& ui, CUIElementList* group, const std::string& text,
             const gfx::Rect& rect, std::uint32_t flags)
{
    auto label = std::make_shared<VARDUI::CUIStaticText>(text, 0);
    label->SetRect(rect);
    label->SetFlags(flags, 1);
    ui.AddElement(label);
    if (group != nullptr)
        group->push_back(label);
}

gfx::Rect At(const gfx::Rect& page, VARDUI::Point offset, std::int32_t width, std::int32_t height)
{
    const std::int32_t left = page.left + offset.x;
    const std::int32_t top = page.top + offset.y;
    return {left, top, left + width, top + height};
}

void AddInfoTextLine(const std::string& text, VARDUI::CUIManager& ui, const gfx::Rect& page,
                     VARDUI::Point offset, CUIElementList* group)
{
    AddText(ui, group, text, At(page, offset, kLineWidth, kLineHeight), kTextFlags);
}

void AddInfoLabelValueLine(const std::string& value, const gfx::Rect& page, VARDUI::CUIManager& ui,
                           const std::string& label, VARDUI::Point offset, CUIElementList* group)
{
    AddText(ui, group, label, At(page, offset, 144, kLineHeight), kTextFlags);
    AddText(ui, group, value, At(page, {offset.x + 144, offset.y}, 64, kLineHeight), kValueFlags);
}

void AddInfoCountLine(VARDUI::Point offset, CUIElementList* group, VARDUI::CUIManager& ui,
                      const gfx::Rect& page, const std::string& label, std::int32_t current,
                      std::int32_t maximum)
{
    AddInfoLabelValueLine(std::to_string(current) + "/" + std::to_string(maximum), page, ui, label,
                          offset, group);
}

void AddInfoNumberLine(VARDUI::Point offset, CUIElementList* group, VARDUI::CUIManager& ui,
                       const gfx::Rect& page, const std::string& label, std::int32_t number)
{
    AddInfoLabelValueLine(std::to_string(number), page, ui, label, offset, group);
}

void AddInfoAttributeLine(VARDUI::Point offset, CUIElementList* group, VARDUI::CUIManager& ui,
                          const std::string& label, std::int32_t value, std::int32_t bonus,
                          const gfx::Rect& page)
{
    AddText(ui, group, label, At(page, offset, 112, kLineHeight), kTextFlags);
    AddText(ui, group, std::to_string(value), At(page, {offset.x + 112, offset.y}, 48, kLineHeight),
            kValueFlags);
    AddText(ui, group, VARD::FormatSignedNumber(bonus),
            At(page, {offset.x + 160, offset.y}, 48, kLineHeight), kValueFlags);
}

// An outline around the group's lines; the list is emptied for the next.
void CloseGroup(VARDUI::CUIManager& ui, CUIElementList& group)
{
    auto frame = std::make_shared<VARDUI::CUIBackground>(kGroupColour);
    frame->SetFlags(0xFFFFFFFFu, 0);
    frame->SetFlags(VARDUI::kUIFlagVisible, 1);
    frame->FitToElements(group);
    ui.AddElement(frame);
    group.clear();
}

std::int32_t AttributeValue(const VARD::CActor& actor, std::uint32_t attribute)
{
    return static_cast<std::int32_t>(actor.GetBaseAttribute(attribute)) +
           actor.GetModifierTotal(VARD::kModAttributeFirst << attribute);
}

void WriteFixed(std::ostream& out, double value)
{
    out << std::fixed << std::setprecision(1) << value;
    out.unsetf(std::ios::floatfield);
}

} // namespace

void WriteTickDuration(std::ostream& out, std::uint32_t ticks)
{
    const std::uint32_t seconds = ticks / 30;
    if (seconds < 60)
    {
        out << seconds << " sec";
        return;
    }
    const std::uint32_t minutes = seconds / 60;
    if (minutes < 60)
        out << minutes << " min";
    else
        out << minutes / 60 << " hr";
}

void WriteActionSpeedLine(const std::string& label, const VARD::CActor& actor, std::ostream& out,
                          int actionKind)
{
    std::int32_t speed = 0;
    double time = actor.GetActionTime(actionKind, &speed);
    time += 2.0;
    time += 0.5;
    out << label << ": ";
    WriteFixed(out, time);
    if (speed > 0)
        out << " (+" << speed << ")";
    else if (speed < 0)
        out << " (-" << -static_cast<std::int64_t>(speed) << ")";
    out << " LINE ";
}

std::uint32_t GetNextLevelThreshold(const VARD::CActor& actor)
{
    // The rules' own table, at the level the member is to reach next.
    return actor.GetExperienceThreshold(actor.GetLevel() + 1);
}

CActorInfoDlg::CActorInfoDlg(CGameApp* app, std::shared_ptr<VARD::CActor> actor)
    : CBaseActorDlg2(app, std::move(actor))
{
}

std::string CActorInfoDlg::GetTitle()
{
    return CBaseActorDlg2::GetTitle() + " - Information";
}

void CActorInfoDlg::BuildPage(const gfx::Rect& page, VARDUI::CUIManager& ui)
{
    const VARD::CActor& actor = *m_Actor;
    CUIElementList group;

    AddInfoTextLine(actor.GetTalkName() + " (" +
                        VARD::GetRaceDisplayName(static_cast<int>(actor.GetCreatureKind())) + " " +
                        VARD::GetSexDisplayName(static_cast<int>(actor.GetGender())) + ")",
                    ui, page, {0, 0}, &group);
    std::ostringstream level;
    level << VARD::GetClassDisplayName(static_cast<int>(actor.GetClass())) << " "
          << actor.GetLevel() << " (" << actor.GetExperience() << "/"
          << GetNextLevelThreshold(actor) << " xp)";
    AddInfoTextLine(level.str(), ui, page, {0, 32}, &group);

    auto faction = std::make_shared<VARDUI::CUIStaticText>(actor.GetFactionName(), kFactionId);
    faction->SetRect(At(page, {0, 64}, kLineWidth, kLineHeight));
    faction->SetFlags(kTextFlags, 1);
    if (actor.GetFaction() != nullptr)
    {
        faction->SetFlags(VARDUI::kUIFlagBackdrop, 1);
        faction->SetHoverText(actor.GetFaction()->GetDisplayName(),
                              "Right-click for faction info.");
    }
    ui.AddElement(faction);
    group.push_back(faction);
    CloseGroup(ui, group);

    if (actor.IsDead())
        AddInfoLabelValueLine("Dead", page, ui, "Hit Points", {0, 112}, &group);
    else
        AddInfoCountLine({0, 112}, &group, ui, page, "Hit Points", actor.GetHitPoints(),
                         actor.GetMaxHitPoints());
    AddInfoCountLine({0, 144}, &group, ui, page, "Energy Points",
                     actor.IsDead() ? 0 : actor.GetEnergyPoints(), actor.GetMaxEnergyPoints());
    CloseGroup(ui, group);

    BuildAttributePanel(ui, page);
    BuildSavePanel(ui, page);
    BuildSkillList(ui, page);

    std::shared_ptr<VARDUI::CUITextButton> button;
    if (actor.IsDead())
    {
        if (!actor.IsMainCharacter())
            button = std::make_shared<VARDUI::CUITextButton>(kLeavePartyId, "Leave Party");
    }
    else if (actor.GetAttributePoints() != 0 || actor.GetGeneralSkillPoints() != 0 ||
             actor.GetClassSkillPoints() != 0)
    {
        button = std::make_shared<VARDUI::CUITextButton>(kSpendPointsId, "Spend Level Points");
        button->SetFlags(VARDUI::kUIFlagHighlighted, 1);
    }
    if (button)
    {
        button->SetRect(At(page, {448, 320}, kLineWidth, kLineHeight));
        ui.AddElement(button);
    }
    BuildCombatStatistics(ui, page, button != nullptr);
}

void CActorInfoDlg::BuildAttributePanel(VARDUI::CUIManager& ui, const gfx::Rect& page)
{
    CUIElementList group;
    for (std::uint32_t i = 0; i < 5; ++i)
    {
        const std::int32_t value = AttributeValue(*m_Actor, i);
        AddInfoAttributeLine({0, 192 + 32 * static_cast<std::int32_t>(i)}, &group, ui,
                             VARD::GetAttributeDisplayName(static_cast<int>(i)), value,
                             VARD::CActor::GetAttributeBonus(value), page);
    }
    CloseGroup(ui, group);
}

void CActorInfoDlg::BuildSavePanel(VARDUI::CUIManager& ui, const gfx::Rect& page)
{
    CUIElementList group;
    for (std::uint32_t s = 0; s < 3; ++s)
        AddInfoNumberLine({kColumn, 32 * static_cast<std::int32_t>(s)}, &group, ui, page,
                          VARD::GetSaveDisplayName(static_cast<int>(s)), m_Actor->GetSave(s));
    CloseGroup(ui, group);
}

void CActorInfoDlg::BuildSkillList(VARDUI::CUIManager& ui, const gfx::Rect& page)
{
    auto list =
        std::make_shared<VARDUI::CUIListElement>("Skills", 24, std::vector<std::uint32_t>{184});
    list->SetRect({page.left + kColumn, page.top + 112, page.left + 432, page.bottom});
    ui.AddElement(list);
    for (int k = 0; k < kSkillCount; ++k)
    {
        if (!m_Actor->HasSkill(k))
            continue;
        const std::string name = VARD::GetSkillDisplayName(k);
        auto row = std::make_shared<VARDUI::CUIStaticText>(name, kFirstSkillId + k);
        row->SetRect({0, 0, 184, 24});
        row->SetFlags(
            VARDUI::kUIFlagTextCenterV | VARDUI::kUIFlagBackdrop | VARDUI::kUIFlagTextFrame, 1);
        row->SetHoverText(name, "Right-click for skill info.");
        list->AddItem(0, row);
    }
}

std::string CActorInfoDlg::ComposeCombatStatistics() const
{
    const VARD::CActor& actor = *m_Actor;
    const VARD::CGame& game = m_App->engine->Game();
    const VARD::CModule& module = m_App->engine->Module();
    const std::uint32_t now = game.GetTick();
    std::ostringstream out;

    out << game.FormatDateTime(now) << " LINE LINE ";
    out << "Combat Statistics: LINE ";
    std::string mainText;
    const VARD::CAttackInfo main = actor.DescribeAttack(0, false, &mainText);
    out << "Attack Bonus: " << VARD::FormatSignedNumber(main.attackBonus) << " LINE ";
    out << "Attack Damage: " << VARD::FormatDamageRange(main) << " LINE ";
    const VARD::CSpell* mainSpell = actor.GetAttackSpell(0, module);
    if (mainSpell != nullptr)
        out << "Spell Attack: " << mainSpell->GetDisplayName() << " LINE ";
    std::string defenseText;
    out << "Defense Class: " << actor.DescribeDefense(false, &defenseText) << " LINE ";
    const bool twoWeapons = actor.GetFightingStyle() == kTwoWeaponStyle;
    std::string offText;
    const VARD::CSpell* offSpell = nullptr;
    if (twoWeapons)
    {
        const VARD::CAttackInfo off = actor.DescribeAttack(1, false, &offText);
        out << "Offhand Attack Bonus: " << VARD::FormatSignedNumber(off.attackBonus) << " LINE ";
        out << "Offhand Attack Damage: " << VARD::FormatDamageRange(off) << " LINE ";
        offSpell = actor.GetAttackSpell(1, module);
        if (offSpell != nullptr)
            out << "Offhand "
                << "Spell Attack: " << offSpell->GetDisplayName() << " LINE ";
    }
    if (!actor.GetModifiers().empty())
    {
        out << "LINE "
            << "Effects: LINE ";
        for (const auto& modifier : actor.GetModifiers())
        {
            out << modifier->GetName() << " ";
            // Stacking kinds 3 and 4 last as long as what maintains them.
            if (modifier->GetExpiryTick() != 0 && modifier->GetStackingKind() != 3 &&
                modifier->GetStackingKind() != 4)
            {
                out << "(";
                WriteTickDuration(out, modifier->GetExpiryTick() - now);
                out << ") ";
            }
            out << "LINE ";
        }
    }
    if (!actor.GetStatuses().empty())
    {
        out << "LINE ";
        for (const auto& status : actor.GetStatuses())
        {
            out << "Status: " << VARD::GetStatusDisplayName(static_cast<int>(status->GetKind()))
                << " ";
            if (status->GetExpiryTick() != 0)
            {
                out << "(";
                WriteTickDuration(out, status->GetExpiryTick() - now);
                out << ") ";
            }
            out << "LINE ";
        }
    }
    out << " LINE ";
    out << "Base Attack Bonus: " << actor.GetBaseAttackBonus() << " LINE ";
    out << "Base Spellcaster Bonus: " << actor.GetBaseSpellcasterBonus() << " LINE ";
    const std::uint32_t recoveries =
        static_cast<std::uint32_t>(
            static_cast<std::int32_t>(
                actor.GetBaseAttribute(VARD::ActorRules::kAttributeDurability)) +
            actor.GetModifierTotal(VARD::kModAttributeFirst
                                   << VARD::ActorRules::kAttributeDurability)) /
        2;
    out << "Recoveries: " << recoveries << " ("
        << static_cast<std::int64_t>(recoveries) - actor.GetFurtherCounter()
        << " remaining) LINE LINE ";
    out << "Special Statistics: LINE ";
    for (std::uint32_t k = 0; k < 5; ++k)
        out << kSpecialStatNames[k] << ": " << actor.GetSkillCheck(k) << " LINE ";
    if (actor.HasSkill(kSkillWands))
        out << "LINE " << VARD::GetSkillDisplayName(kSkillWands) << ": "
            << actor.GetSkillTotal(kSkillWands) << " LINE ";
    out << " LINE ";
    WriteActionSpeedLine("Attack Speed", actor, out, kActionAttack);
    WriteActionSpeedLine("Casting Speed", actor, out, kActionCast);
    out << "Movement Speed: ";
    WriteFixed(out, actor.GetMovementSpeed());
    out << " LINE ";
    const std::int32_t casting = actor.GetModifierTotal(VARD::kModCastingBonus);
    if (casting != 0)
        out << "LINE "
            << "Casting Modifier: " << VARD::FormatSignedNumber(casting) << " LINE ";
    const std::int32_t resistance = actor.GetSpellResistance();
    if (resistance != 0)
        out << "LINE "
            << "Spell Resistance: " << static_cast<std::uint32_t>(resistance) << " LINE ";
    out << "LINE "
        << "Combat Statistics Detail: LINE ";
    out << mainText << defenseText;
    // No module: a weapon's summons and created items go by their keys, and
    // a key the module lacks cannot stop the page.
    if (mainSpell != nullptr)
    {
        out << "Spell Attack: " << mainSpell->GetDisplayName() << " LINE ";
        WriteSpellRulesHelp(*mainSpell, nullptr, nullptr, kHelpFormDialog, out, 0);
    }
    if (twoWeapons)
    {
        out << offText;
        if (offSpell != nullptr)
        {
            out << "Offhand "
                << "Spell Attack: " << offSpell->GetDisplayName() << " LINE ";
            WriteSpellRulesHelp(*offSpell, nullptr, nullptr, kHelpFormDialog, out, 0);
        }
    }
    if (actor.HasSkill(kSkillImprovedFlank))
    {
        out << "Improved Flanking Attack: +" << 20 << " LINE ";
        out << "Improved Flanking Damage: "
            << VARD::FormatDiceRange(
                   10, actor.HasSkill(kSkillStealth) ? actor.GetSkillTotal(kSkillStealth) : 0)
            << " LINE ";
    }
    return out.str();
}

void CActorInfoDlg::BuildCombatStatistics(VARDUI::CUIManager& ui, const gfx::Rect& page,
                                          bool buttonShown)
{
    auto text = std::make_shared<VARDUI::CUITextElement>(ComposeCombatStatistics(), 1);
    text->SetRect({page.left + 448, page.top, page.right, page.bottom - (buttonShown ? 48 : 0)});
    ui.AddElement(text);
}

int CActorInfoDlg::OnButton(int elementId)
{
    if (elementId == kSpendPointsId)
    {
        std::shared_ptr<CVARDDlg> points;
        if (m_Actor->GetAttributePoints() != 0)
            points = std::make_shared<CAttribDlg>(m_App, m_Actor.get());
        else if (m_Actor->GetGeneralSkillPoints() != 0 || m_Actor->GetClassSkillPoints() != 0)
            points = std::make_shared<CSkillsDlg>(m_App, m_Actor.get());
        if (points)
            m_App->SetDialog(false, std::move(points));
        return 0;
    }
    if (elementId == kLeavePartyId)
    {
        m_Actor->QueueInstantOrder(std::make_shared<VARD::COrder>(kOrderLeaveParty));
        m_App->ExecuteInstantOrders();
        return 1;
    }
    return CBaseActorDlg2::OnButton(elementId);
}

int CActorInfoDlg::OnRightClick(int elementId)
{
    const VARD::CModule& module = m_App->engine->Module();
    if (elementId == kFactionId)
    {
        const VARD::CFaction* faction = m_Actor->GetFaction();
        if (faction != nullptr)
            m_App->SetDialog(false, std::make_shared<CFactionDlg>(*faction, m_App));
        return 0;
    }
    if (elementId >= kFirstSkillId && elementId < kFirstSkillId + kSkillCount)
    {
        m_App->SetDialog(
            false, std::make_shared<CSkillDlg>(elementId - kFirstSkillId, m_Actor.get(), module));
        return 0;
    }
    return CBaseActorDlg2::OnRightClick(elementId);
}
