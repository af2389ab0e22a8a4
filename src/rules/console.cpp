// Quest tags and completion, quest items, and the developer console's
// services.

#include "rules/engine.h"

#include "common/exception.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/game.h"
#include "world/item_attribute.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/quest.h"
#include "world/rule_tables.h"
#include "world/thing.h"

namespace VARD
{

void CEngine::CompleteQuest(const std::string& tag, std::int32_t value)
{
    CGame& game = Game();
    const CModule& module = Module();
    game.SetQuestTag(tag, value);
    if (value == 0)
        return;
    if (CArea* area = game.GetCurrentArea())
        area->ApplyPatchByName(tag, module);

    // One pass: a completion here sets its tag directly and starts no other.
    for (const auto& [name, quest] : module.GetQuests())
    {
        if (!TestQuestCompletion(*quest))
            continue;
        game.SetQuestTag(quest->GetName(), 1);
        game.AddMessage(kMessageQuest, "The party has completed a quest for " +
                                           std::to_string(quest->GetExperience()) + "xp (" +
                                           quest->GetDisplayName() + ").");
        game.ShareExperience(quest->GetExperience());
        RefreshPartyMembers();
    }
}

bool CEngine::TestQuestCompletion(const CQuestInfo& quest)
{
    CGame& game = Game();
    try
    {
        return quest.TestCompletion(game.GetQuestTags(), this);
    }
    catch (const CVARDException&)
    {
        // A test stopped by its run's budget leaves its quest undone, as a
        // test that failed would: the call that set the tag completes, and
        // the quest is tested again with the next tag set.
        const CKeepBudget* budget = game.GetKeepBudget();
        if (budget == nullptr || !budget->IsStopped())
            throw;
        return false;
    }
}

void CEngine::OnItemAcquired(const CItem& item)
{
    for (const auto& attribute : item.GetTemplate()->GetAttributes())
    {
        if (attribute->GetKind() != kItemAttributeQuest)
            continue;
        CompleteQuest(static_cast<const CItemAttributeQuest&>(*attribute).GetQuestName(), 1);
        return;
    }
}

void CEngine::WizardCreateItem(const std::string& templateName, std::uint32_t count)
{
    CGame& game = Game();
    const CModule& module = Module();
    if (game.Party().empty())
        throw CVARDException(2, "the party is empty");
    const CItemTemplate* itemTemplate = module.FindItemTemplate(templateName);
    if (itemTemplate == nullptr)
        throw CVARDException(1, "no item template " + VARDCommon::QuoteForMessage(templateName));
    auto item = module.CreateItem(templateName, count, game.NewThingId(kThingKindItem), 0);
    game.Party().front()->AddBackpackItem(item);
    OnItemAcquired(*item);
    game.AddMessage(kMessageInfo, "Wizard: Created " + itemTemplate->GetDisplayName());
}

void CEngine::WizardSetSkill(CActor& actor, const std::string& skillName, std::int32_t value)
{
    CGame& game = Game();
    const CModule& module = Module();
    const int skill = FindSkillByKey(skillName);
    // A skill is held or not; its rating follows from level and class.
    if (value != 0)
        actor.Skills().insert(skill);
    else
        actor.Skills().erase(skill);
    actor.LearnQualifyingSpells(module, &game);
    actor.LearnFactionSpells(module, &game);
    game.AddMessage(kMessageInfo,
                    "Wizard: Set " + actor.GetName() + " skill " + GetSkillDisplayName(skill));
}

void CEngine::WizardHeal()
{
    for (const auto& member : Game().GetParty())
        RestoreMember(*member);
}

void CEngine::WizardMoveParty(double x, double y)
{
    CGame& game = Game();
    CArea* area = game.GetCurrentArea();
    if (area == nullptr || game.Party().empty())
        throw CVARDException(2, "no party in an area to move");
    if (!(x >= 0.0 && y >= 0.0 && x < area->GetWidth() * kCellSize &&
          y < area->GetHeight() * kCellSize))
        throw CVARDException(2, "the point lies off the area");
    const auto column = static_cast<std::uint32_t>(x / kCellSize);
    const auto row = static_cast<std::uint32_t>(y / kCellSize);
    for (const auto& member : game.GetParty())
    {
        if (member->IsDead() || area->FindActorById(member->Id()) == nullptr)
            continue;
        const std::shared_ptr<CActor> actor = area->RemoveActor(member.get());
        if (!area->FindFreeSpotNear(column, row, true, actor))
        {
            // Nowhere to stand: it stays where it was.
            area->AddActor(actor);
        }
    }
}

void CEngine::AddPersonOnTalk(CTalkTarget& target)
{
    const CActor* actor = dynamic_cast<const CActor*>(&target);
    if (actor == nullptr)
        return;
    const std::string key = actor->GetPeopleJournalKey();
    if (key.empty())
        return;
    CGame& game = Game();
    PeopleJournal& people = game.People();
    if (people.count(key) != 0)
        return;
    auto entry = std::make_shared<CPeopleJournalEntry>();
    entry->key = key;
    entry->displayName = target.GetTalkName();
    entry->text = actor->GetSecondText();
    people[key] = std::move(entry);
}

} // namespace VARD
