// Talk, leaving the party, spending points, powers, the store, and the
// party's refresh.

#include "rules/engine.h"
#include "rules/rules_util.h"

#include "common/exception.h"
#include "rules/order_cast.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/event.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/order.h"
#include "world/rule_tables.h"
#include "world/script_record.h"
#include "world/spell.h"
#include "world/talk_state.h"
#include "world/world_object.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>

namespace VARD
{

namespace
{

constexpr double kTalkRange = 10.0;
// A quarter turn in single precision, as every facing of the rules takes it.
constexpr double kStoreReach = 12.5;
// A chain of talk states longer than this has gone round in a circle.
constexpr int kMaxTalkSteps = 100;
constexpr std::int32_t kNoAttributePoint = 5;
constexpr std::int32_t kAttributeCount = 5;

} // namespace

void CEngine::RefreshPartyMembers()
{
    CGame& game = Game();
    const CModule& module = Module();
    for (const auto& member : game.GetParty())
    {
        if (member->IsSummoned() || member->IsDead())
            continue;
        member->LearnQualifyingSpells(module, &game);
        member->LearnFactionSpells(module, &game);
    }
}

void CEngine::DoTalk(CActor& actor, const COrder& order)
{
    CGame& game = Game();
    const auto& talk = OrderAs<CTalkOrder>(order);
    CArea& area = CurrentArea(game);
    const std::uint32_t targetId = talk.GetTargetId();
    CTalkTarget* target = nullptr;
    CActor* person = nullptr;
    switch (ThingKindOf(targetId))
    {
    case kThingKindActor:
        person = area.FindActorById(targetId);
        if (person == nullptr)
            throw CVARDException(3, "no actor " + std::to_string(targetId) + " to talk to");
        if (person == &actor || person->IsHostile())
            return;
        if (!area.CanTargetThing(actor, *person, kTalkRange))
            throw CVARDException(3,
                                 VARDCommon::QuoteForMessage(actor.GetName()) + " cannot reach " +
                                     VARDCommon::QuoteForMessage(person->GetName()) + " to talk");
        FaceToward(*person, actor.GetX(), actor.GetY());
        target = person;
        break;
    case kThingKindObject:
    {
        CObject* object = area.FindObjectById(targetId);
        if (object == nullptr)
            throw CVARDException(3, "no object " + std::to_string(targetId) + " to talk to");
        if (!actor.IsWithinReachOf(*object))
            throw CVARDException(
                3, VARDCommon::QuoteForMessage(actor.GetName()) + " cannot reach " +
                       VARDCommon::QuoteForMessage(object->GetTalkName()) + " to talk");
        target = object;
        break;
    }
    default:
        throw CVARDException(3, "thing " + std::to_string(targetId) + " cannot be talked to");
    }

    StopSneaking(actor);
    CTalkState* state = FindTalkStateByName(target->GetTalkFiles(), talk.GetState());
    if (state == nullptr)
        throw CVARDException(6, VARDCommon::QuoteForMessage(target->GetTalkName()) +
                                    " has no talk state " +
                                    VARDCommon::QuoteForMessage(talk.GetState()));
    if (person != nullptr)
    {
        if (!talk.GetChosenText().empty())
            game.AddMessage(kMessageInfo, actor.GetName() + " : " + talk.GetChosenText());
        AddPersonOnTalk(*target);
    }
    RunTalkState(actor, *state, *target);
}

void CEngine::RunTalkState(CActor& speaker, CTalkState& state, CTalkTarget& target)
{
    auto* thing = dynamic_cast<CThing*>(&target);
    if (thing == nullptr)
        throw CVARDException(2, "the talk partner " +
                                    VARDCommon::QuoteForMessage(target.GetTalkName()) +
                                    " is no thing");
    // The states of one conversation share one script budget.
    const CScriptRunGroup budget;
    CTalkState* current = &state;
    for (int step = 0;; ++step)
    {
        if (step == kMaxTalkSteps)
            throw CVARDException(6, "the talk of " +
                                        VARDCommon::QuoteForMessage(target.GetTalkName()) +
                                        " goes round in a circle at state " +
                                        VARDCommon::QuoteForMessage(current->GetName()));
        target.ClearTalkQueue();
        CScriptContext context;
        context.engine = this;
        context.actor = &speaker;
        context.target = thing;
        current->GetScript()->Run(this, context);
        if (context.endTalk != 0)
        {
            target.ClearTalkQueue();
            return;
        }
        if (context.nextState.empty())
            return;
        current = FindTalkStateByName(target.GetTalkFiles(), context.nextState);
        if (current == nullptr)
            return;
    }
}

void CEngine::DismissPartyMember(CActor& actor, const COrder&)
{
    CGame& game = Game();
    if (actor.GetAttitude() != kAttitudeParty || actor.IsMainCharacter())
        throw CVARDException(3, VARDCommon::QuoteForMessage(actor.GetName()) +
                                    " cannot leave the party");
    game.RemovePartyMember(actor);
    game.PostEvent(std::make_shared<CInfoEvent>(kEventPartyChanged));
}

void CEngine::DoSpendPoints(CActor& actor, const COrder& order)
{
    CGame& game = Game();
    const CModule& module = Module();
    const auto& spend = OrderAs<CSpendPointsOrder>(order);
    const std::int32_t attribute = spend.GetAttribute();
    const std::int32_t skill = spend.GetSkill();
    if (actor.GetAttitude() != kAttitudeParty)
        return;
    if (attribute < 0 || attribute > kNoAttributePoint)
        throw CVARDException(3, "no attribute " + std::to_string(attribute) + " to raise");
    if (skill < 0 || skill > kSkillNone)
        throw CVARDException(3, "no skill " + std::to_string(skill) + " to learn");

    // One point buys one step here, whatever the attribute's value.
    if (attribute < kAttributeCount && actor.GetAttributePoints() > 0)
    {
        const auto index = static_cast<std::uint32_t>(attribute);
        actor.SetBaseAttribute(index, actor.GetBaseAttribute(index) + 1);
        actor.SetAttributePoints(actor.GetAttributePoints() - 1);
    }
    if (skill != kSkillNone && actor.CanLearnSkill(skill))
    {
        actor.LearnSkill(skill);
        actor.LearnQualifyingSpells(module, &game);
        actor.LearnFactionSpells(module, &game);
    }
}

void CEngine::DoPower(CActor& actor, const COrder& order)
{
    CGame& game = Game();
    const CModule& module = Module();
    const std::string& powerName = OrderAs<CPowerOrder>(order).GetPower();
    if (powerName.empty())
    {
        actor.StopPower();
        return;
    }
    const CSpell* power = module.FindSpell(powerName);
    if (power == nullptr || !power->IsPower())
        throw CVARDException(3, "no power " + VARDCommon::QuoteForMessage(powerName));
    if (!actor.MeetsRequirement(*power))
        return;
    const std::string& name = actor.GetName();
    if (!actor.MeetsPowerWeaponRequirement(*power))
    {
        game.AddMessage(kMessageInfo, name + " doesn't have the right equipment to use " +
                                          power->GetDisplayName() + ".");
        return;
    }
    const bool sneak = power->GetSkill() == kSkillSneak;
    if (sneak)
    {
        if (game.GetCombatFlag() != 0)
        {
            game.AddMessage(kMessageInfo, name + " can't start sneaking in combat.");
            return;
        }
        if (!actor.HasSneakSkill())
        {
            game.AddMessage(kMessageInfo, name + " can't sneak.");
            return;
        }
        if (IsSpotted(actor) != nullptr)
        {
            game.AddMessage(kMessageInfo, name + " is spotted and can't sneak.");
            return;
        }
    }
    if (actor.GetEnergyPoints() < power->GetEnergyCost())
    {
        game.AddMessage(kMessageInfo, name + " doesn't have enough energy to use " +
                                          power->GetDisplayName() + ".");
        return;
    }
    actor.ActivatePower(*power, game.GetTick());
    if (sneak && actor.GetAttitude() == kAttitudeParty)
        game.AddActorInfo(kEventActorPowerStarted, actor);
    if (power->HasFlag(kSpellFlagMultiTarget))
        CastPowerSpell(actor, *power);
    game.AddActorInfo(kEventActorEnergy, actor);
}

void CEngine::CastPowerSpell(CActor& actor, const CSpell& spell)
{
    // The activation paid for it already.
    CompleteCast(nullptr, nullptr, actor, spell, false, actor.GetX(), actor.GetY());
}

void CEngine::DoStore(CActor& actor, const COrder& order)
{
    CGame& game = Game();
    const auto& store = OrderAs<CStoreOrder>(order);
    CArea& area = CurrentArea(game);
    CActor* merchant = area.FindActorById(store.GetMerchantId());
    if (merchant == nullptr)
        throw CVARDException(3, "no merchant " + std::to_string(store.GetMerchantId()));
    if (actor.IsDead() || merchant->IsDead() ||
        actor.DistanceTo(merchant->GetX(), merchant->GetY()) >
            actor.GetRadius() + kStoreReach + merchant->GetRadius())
        throw CVARDException(3, VARDCommon::QuoteForMessage(actor.GetName()) +
                                    " cannot trade with " +
                                    VARDCommon::QuoteForMessage(merchant->GetName()));
    const std::uint32_t count = store.GetCount();

    if (store.IsBuy())
    {
        // Buying none would hand out an empty stack.
        if (count == 0)
            throw CVARDException(3, "a trade needs a count of at least 1");
        std::shared_ptr<CItem> item;
        for (const auto& ware : merchant->CollectTradeItems())
        {
            if (ware->Id() == store.GetItemId())
                item = ware;
        }
        if (!item)
            throw CVARDException(3, VARDCommon::QuoteForMessage(merchant->GetName()) +
                                        " sells no item " + std::to_string(store.GetItemId()));
        if (count > item->GetValue1())
            throw CVARDException(3, VARDCommon::QuoteForMessage(merchant->GetName()) +
                                        " has only " + std::to_string(item->GetValue1()) + " of " +
                                        ItemName(*item));
        const std::uint64_t price =
            static_cast<std::uint64_t>(count) * item->GetTemplate()->GetValue();
        if (price > static_cast<std::uint64_t>(game.GetGold()))
            throw CVARDException(3, "the party cannot pay " + std::to_string(price) + " gold");
        game.AddGold(-static_cast<std::int64_t>(price));
        auto bought = std::make_shared<CItem>(game.NewThingId(kThingKindItem), item->GetTemplate(),
                                              count, item->GetValue2());
        bought->SetHolder(actor.Id());
        actor.AddBackpackItem(std::move(bought));
        if (count == item->GetValue1())
            merchant->RemoveBackpackItem(item.get());
        else
            item->SetValue1(item->GetValue1() - count);
        return;
    }

    std::shared_ptr<CItem> item;
    for (const auto& held : actor.Backpack())
    {
        if (held->Id() == store.GetItemId())
            item = held;
    }
    if (!item)
        throw CVARDException(3, VARDCommon::QuoteForMessage(actor.GetName()) + " carries no item " +
                                    std::to_string(store.GetItemId()));
    if (item->GetTemplate()->HasFlag(kItemFlagNoGive))
    {
        game.AddMessage(kMessageInfo, actor.GetName() + " can't sell " + ItemName(*item) + ".");
        return;
    }
    std::uint32_t unitPrice = 0;
    if (!merchant->GetSellPrice(*item, unitPrice))
        throw CVARDException(3, VARDCommon::QuoteForMessage(merchant->GetName()) +
                                    " does not buy " + ItemName(*item));
    if (count > item->GetValue1())
        throw CVARDException(3, VARDCommon::QuoteForMessage(actor.GetName()) + " has only " +
                                    std::to_string(item->GetValue1()) + " of " + ItemName(*item));
    game.AddGold(static_cast<std::int64_t>(count) * unitPrice);
    if (count == item->GetValue1())
        actor.RemoveBackpackItem(item.get());
    else
        item->SetValue1(item->GetValue1() - count);
}

} // namespace VARD
