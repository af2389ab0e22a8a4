// The default filling of a party member's action bar, scored from what it
// knows and carries.

#include "app/actor_info.h"

#include "app/game_app.h"
#include "rules/engine.h"
#include "world/actor.h"
#include "world/game.h"
#include "world/item_attribute.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/rule_tables.h"
#include "world/spell.h"
#include "world/spell_effect.h"

#include <algorithm>
#include <string>
#include <vector>

namespace
{

constexpr int kSkillWands = 73;

struct Candidate
{
    int score;
    std::int32_t type;
    std::string spell;
    std::string item;
};

int SpellScore(const VARD::CActor& actor, const VARD::CSpell& spell)
{
    if (spell.GetSkill() == VARD::kSkillSneak)
        return 500;
    if (spell.IsPower())
        return spell.GetLevel();
    // A spell of no skill has no row and no bonus.
    const int skill = spell.GetSkill();
    const int skillBonus =
        skill >= 0 && skill < VARD::kSkillCount ? VARD::GetSkillInfo(skill).spellBonus : 0;
    return spell.GetLevel() + actor.GetSpellAttackBonus(spell) + skillBonus / 5;
}

bool HasEffectOfKind(const VARD::CSpell& spell, int kind)
{
    for (const auto& effect : spell.GetEffects())
        if (effect->GetKind() == kind)
            return true;
    return false;
}

// The best of one kind of item: the greatest score strictly above where
// it starts.
struct BestItem
{
    int score;
    std::string name;
    void Offer(int candidate, const std::string& itemName)
    {
        if (candidate > score)
        {
            score = candidate;
            name = itemName;
        }
    }
};

} // namespace

void CVARDActorInfo::BuildFromActor(const VARD::CActor& actor)
{
    // Attack and talk always lead.
    std::vector<Candidate> candidates{{1000, VARDUI::kActionSlotAttack, {}, {}},
                                      {999, VARDUI::kActionSlotTalk, {}, {}}};
    // Every spell the actor may cast, scored.
    for (const VARD::CSpell* spell : actor.GetSpells())
        if (spell != nullptr && actor.MeetsRequirement(*spell))
            candidates.push_back(
                {SpellScore(actor, *spell), VARDUI::kActionSlotCast, spell->GetKey(), {}});
    // The best healing potion, energy potion and wand in the backpack.
    BestItem healing{800, {}};
    BestItem energy{700, {}};
    BestItem wand{600, {}};
    for (const auto& item : actor.GetBackpackItems())
    {
        const auto* attribute = static_cast<const VARD::CItemAttributeSpell*>(
            item->FindAttribute(VARD::kItemAttributeSpell));
        if (attribute == nullptr || attribute->GetSpell() == nullptr)
            continue;
        const VARD::CSpell& spell = *attribute->GetSpell();
        const std::string& name = item->GetTemplate()->GetName();
        const auto type = static_cast<int>(item->GetTemplate()->GetItemType());
        if (type == VARD::kItemTypePotion)
        {
            if (HasEffectOfKind(spell, VARD::kSpellEffectHeal))
                healing.Offer(spell.GetLevel() + 800, name);
            else if (HasEffectOfKind(spell, VARD::kSpellEffectMana))
                energy.Offer(spell.GetLevel() + 700, name);
        }
        else if (type == VARD::kItemTypeWand)
            wand.Offer(spell.GetLevel() + 600, name);
    }
    // Each of them offers itself; a wand only to one with the skill.
    if (!healing.name.empty())
        candidates.push_back({healing.score, VARDUI::kActionSlotUseItem, {}, healing.name});
    if (!energy.name.empty())
        candidates.push_back({energy.score, VARDUI::kActionSlotUseItem, {}, energy.name});
    if (!wand.name.empty() && actor.HasSkill(kSkillWands))
        candidates.push_back({wand.score, VARDUI::kActionSlotUseItem, {}, wand.name});
    // Best first; equal scores keep their order.
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.score > b.score; });
    // The best fill the bar; the rest are left out.
    const std::size_t filled = std::min<std::size_t>(candidates.size(), VARDUI::kActionSlotCount);
    for (std::size_t slot = 0; slot < filled; ++slot)
    {
        slotType[slot] = candidates[slot].type;
        slotSpell[slot] = candidates[slot].spell;
        slotItem[slot] = candidates[slot].item;
    }
}

const VARDUI::CUIActionBar* CAppActionBarSource::FindActionBar(std::uint32_t actorId) const
{
    const auto found = m_App.actorInfos.find(actorId);
    return found == m_App.actorInfos.end() ? nullptr : found->second.get();
}

VARD::CActor* CAppActionBarSource::GetSelectedActor() const
{
    if (m_App.selectedMember == kWholePartySelected)
        return nullptr;
    return m_App.GetSelectedActor().get();
}

const VARD::CModule* CAppActionBarSource::GetModule() const
{
    return m_App.engine ? m_App.engine->GetModule().get() : nullptr;
}
