#include "actor_test_util.h"

#include "common/random.h"
#include "world/event.h"
#include "world/order.h"
#include "world/spell_effect.h"

using namespace VARD;
using ActorTest::CodeOf;

namespace
{

constexpr std::uint32_t kStrength = kModAttributeFirst;

class ActorEffects : public ::testing::Test
{
protected:
    static std::shared_ptr<CModifier> Mod(std::int32_t value, std::uint32_t kind,
                                          std::uint32_t mask = kModAttackBonus,
                                          std::uint32_t expiry = 0, bool silent = false,
                                          const std::string& name = "Mod")
    {
        return std::make_shared<CModifier>(name, expiry, mask, value, kind, 1, silent);
    }

    std::shared_ptr<CModule> m_Module = ActorTest::LoadModule();
    CGame m_Game;
    std::shared_ptr<CActor> m_Actor = ActorTest::MakeFighter(m_Game, "Aldric");

    std::shared_ptr<CItem> Item(const std::string& name)
    {
        return ActorTest::MakeItem(*m_Module, m_Game, name);
    }
    const CSpell& Spell(const std::string& key) { return *m_Module->FindSpell(key); }
    const CSpellEffectModify& FirstModify(const std::string& key)
    {
        return static_cast<const CSpellEffectModify&>(*Spell(key).GetEffects().front());
    }
};

} // namespace

// ------------------------------------------------------------------ totals

TEST_F(ActorEffects, BonusesOfOneKindDoNotAddUp)
{
    m_Actor->AddModifier(Mod(3, kStackingEscape));
    m_Actor->AddModifier(Mod(5, kStackingEscape));
    EXPECT_EQ(m_Actor->GetModifierTotal(kModAttackBonus), 5);
    m_Actor->AddModifier(Mod(3, kStackingPower));
    EXPECT_EQ(m_Actor->GetModifierTotal(kModAttackBonus), 8);
}

TEST_F(ActorEffects, WorstPenaltyAndBestBonusOfAKindBothCount)
{
    m_Actor->AddModifier(Mod(-2, kStackingResolve));
    m_Actor->AddModifier(Mod(-4, kStackingResolve));
    m_Actor->AddModifier(Mod(5, kStackingResolve));
    EXPECT_EQ(m_Actor->GetModifierTotal(kModAttackBonus), 1);
}

TEST_F(ActorEffects, OnlyModifiersSharingABitWithTheMaskCount)
{
    m_Actor->AddModifier(Mod(4, kStackingMusic, kModDefense | kModAttackDamage));
    EXPECT_EQ(m_Actor->GetModifierTotal(kModAttackBonus), 0);
    EXPECT_EQ(m_Actor->GetModifierTotal(kModDefense), 4);
    EXPECT_EQ(m_Actor->GetModifierTotal(kModAttackDamage | kModAttackBonus), 4);
}

TEST_F(ActorEffects, AnItemCountsOnlyItsFirstModifyAttribute)
{
    m_Actor->SetEquipmentSlot(kSlotRing1, Item("i_ring"));
    EXPECT_EQ(m_Actor->GetModifierTotal(kStrength), 3);
    EXPECT_EQ(m_Actor->GetAttribute(0), 13);
}

TEST_F(ActorEffects, ItemsWithoutStackingWordHaveTheirOwnKind)
{
    // Kind 5: beside the spell kinds, never past the end of the table.
    m_Actor->SetEquipmentSlot(kSlotRing1, Item("i_ring"));
    m_Actor->AddModifier(Mod(4, kStackingEscape, kStrength));
    m_Actor->AddModifier(Mod(2, kStackingMusic, kStrength));
    EXPECT_EQ(m_Actor->GetModifierTotal(kStrength), 9);
    // Two worn items of kind 5: the best bonus and the worst penalty.
    m_Actor->SetEquipmentSlot(kSlotRing2, Item("i_curse"));
    EXPECT_EQ(m_Actor->GetModifierTotal(kStrength), 7);
}

TEST_F(ActorEffects, AWornItemStacksWithSpellsOfItsSaveKind)
{
    m_Actor->SetEquipmentSlot(kSlotNeck, Item("i_amulet"));
    m_Actor->AddModifier(Mod(3, kStackingFortitude, kModDefense));
    EXPECT_EQ(m_Actor->GetModifierTotal(kModDefense), 3);
    m_Actor->AddModifier(Mod(1, kStackingResolve, kModDefense));
    EXPECT_EQ(m_Actor->GetModifierTotal(kModDefense), 4);
}

// Totals are kept between changes: each change must show in the next one
// asked, whichever way it comes.
TEST_F(ActorEffects, TotalsFollowEveryChangeOfModifiersAndEquipment)
{
    const auto total = [&] { return m_Actor->GetModifierTotal(kStrength); };
    EXPECT_EQ(total(), 0);
    m_Actor->AddModifier(Mod(4, kStackingEscape, kStrength, 100));
    EXPECT_EQ(total(), 4);
    m_Actor->SetEquipmentSlot(kSlotRing1, Item("i_ring"));
    EXPECT_EQ(total(), 7);
    m_Actor->SetEquipmentSlot(kSlotRing2, Item("i_curse"));
    EXPECT_EQ(total(), 5);
    m_Actor->TakeEquippedItem(kSlotRing2);
    EXPECT_EQ(total(), 7);
    m_Actor->ExpireTimedEffects(100, m_Game);
    EXPECT_EQ(total(), 3);
    const auto music = Mod(2, kStackingMusic, kStrength);
    m_Actor->AddModifier(music);
    EXPECT_EQ(total(), 5);
    m_Actor->RemoveModifier(music.get());
    EXPECT_EQ(total(), 3);
    m_Actor->AddModifier(Mod(6, kStackingPower, kStrength));
    EXPECT_EQ(total(), 9);
    m_Actor->RestoreFully();
    EXPECT_EQ(total(), 3);
    // A mask of two statistics is summed each time.
    EXPECT_EQ(m_Actor->GetModifierTotal(kStrength | kModDefense), 3);
}

TEST_F(ActorEffects, ModifierOfAnUnknownKindIsRefused)
{
    EXPECT_EQ(CodeOf([&] { m_Actor->AddModifier(Mod(1, 6)); }), 2);
    EXPECT_TRUE(m_Actor->GetModifiers().empty());
}

// ------------------------------------------------------------------ making modifiers

TEST_F(ActorEffects, ModifierFromAnEffectTakesTheSpellsNameAndSlot)
{
    const auto modifier =
        m_Actor->AddModifierFromEffect(Spell("sp_bless"), FirstModify("sp_bless"), 900, 12, false);
    EXPECT_EQ(modifier->GetName(), "Bless");
    EXPECT_EQ(modifier->GetValue(), 4);
    EXPECT_EQ(modifier->GetMask(), kModAttackBonus);
    // A spell without save stacks in the slot of its save kind, 3.
    EXPECT_EQ(modifier->GetStackingKind(), 3u);
    EXPECT_EQ(modifier->GetExpiryTick(), 900u);
    EXPECT_EQ(modifier->GetLevel(), 12);
    EXPECT_FALSE(modifier->IsSilent());
    EXPECT_EQ(m_Actor->GetModifiers().back(), modifier);
}

TEST_F(ActorEffects, ModifierFromAnEffectRollsItsDie)
{
    const CSpellEffectModify effect(std::make_shared<CSpellDuration>(0, 0, 0, 0),
                                    std::make_shared<CSpellMagnitude>(10, 20, 4, 8, 1, 1),
                                    kModDefense);
    SeedRandom(7);
    for (int i = 0; i < 50; ++i)
    {
        // At level 20 the die is 8: 1 + 1..8.
        const auto value =
            m_Actor->AddModifierFromEffect(Spell("sp_bless"), effect, 0, 20, true)->GetValue();
        EXPECT_GE(value, 2);
        EXPECT_LE(value, 9);
    }
}

TEST_F(ActorEffects, SneakAttackModifierIsSilentPower)
{
    const auto modifier = m_Actor->AddSneakAttackModifier(kModAttackDamage, 6, 40);
    EXPECT_EQ(modifier->GetName(), "Sneak Attack");
    EXPECT_EQ(modifier->GetStackingKind(), kStackingPower);
    EXPECT_TRUE(modifier->IsSilent());
    EXPECT_EQ(m_Actor->GetModifierTotal(kModAttackDamage), 6);
}

// ------------------------------------------------------------------ statuses

TEST_F(ActorEffects, AddingAPresentStatusKeepsOneEntryWithTheLaterExpiry)
{
    m_Actor->AddStatus(kStatusHeld, 500);
    m_Actor->AddStatus(kStatusHeld, 300);
    ASSERT_EQ(m_Actor->GetStatuses().size(), 1u);
    EXPECT_EQ(m_Actor->GetStatuses()[0]->GetExpiryTick(), 500u);
    m_Actor->AddStatus(kStatusHeld, 800);
    EXPECT_EQ(m_Actor->GetStatuses()[0]->GetExpiryTick(), 800u);
}

TEST_F(ActorEffects, PermanentStatusStaysPermanent)
{
    m_Actor->AddStatus(kStatusImmobile, 500);
    m_Actor->AddStatus(kStatusImmobile, 0);
    EXPECT_EQ(m_Actor->GetStatuses()[0]->GetExpiryTick(), 0u);
    m_Actor->AddStatus(kStatusImmobile, 900);
    EXPECT_EQ(m_Actor->GetStatuses()[0]->GetExpiryTick(), 0u);
    m_Actor->ExpireTimedEffects(100000, m_Game);
    EXPECT_TRUE(m_Actor->HasStatus(kStatusImmobile));
}

TEST_F(ActorEffects, StatusKindAbove5IsCode2)
{
    EXPECT_EQ(CodeOf([&] { m_Actor->AddStatus(6, 10); }), 2);
    EXPECT_TRUE(m_Actor->GetStatuses().empty());
}

TEST_F(ActorEffects, FearEndsTheEngagement)
{
    const auto foe = ActorTest::MakeFighter(m_Game, "Foe");
    m_Actor->SetCurrentTarget(0, foe.get());
    m_Actor->SetActivityState(kActivityEngaged);
    m_Actor->QueueOrder(std::make_shared<CMoveOrder>(1.0, 1.0), false);
    m_Actor->AddStatus(kStatusFear, 100);
    EXPECT_EQ(m_Actor->GetActivityState(), kActivityIdle);
    EXPECT_EQ(m_Actor->GetCurrentTarget(), nullptr);
    EXPECT_TRUE(foe->GetTargetedBy().empty());
    EXPECT_EQ(m_Actor->GetOrders().size(), 1u);
}

TEST_F(ActorEffects, ConfusionTakesTheOrdersAway)
{
    m_Actor->QueueOrder(std::make_shared<CMoveOrder>(1.0, 1.0), false);
    m_Actor->QueueInstantOrder(std::make_shared<CUnwieldOrder>(0));
    m_Actor->SetDetourMode(1);
    m_Actor->AddStatus(kStatusConfused, 100);
    EXPECT_TRUE(m_Actor->GetOrders().empty());
    EXPECT_TRUE(m_Actor->GetInstantOrders().empty());
    EXPECT_TRUE(m_Actor->IsInterrupted());
    EXPECT_EQ(m_Actor->GetDetourMode(), 0u);
    m_Actor->RemoveStatus(kStatusConfused);
    EXPECT_FALSE(m_Actor->HasStatus(kStatusConfused));
}

// ------------------------------------------------------------------ expiry

TEST_F(ActorEffects, ModifierExpiresAtTheFirstTickNotBeforeItsEnd)
{
    m_Actor->SetAttitude(kAttitudeParty);
    m_Actor->AddModifier(Mod(2, kStackingEscape, kModAttackBonus, 300, false, "Bless"));
    m_Actor->AddModifier(Mod(2, kStackingPower, kModAttackBonus, 0, false, "Forever"));
    m_Actor->ExpireTimedEffects(299, m_Game);
    EXPECT_EQ(m_Actor->GetModifiers().size(), 2u);
    EXPECT_TRUE(m_Game.GetEvents().empty());
    m_Actor->ExpireTimedEffects(300, m_Game);
    ASSERT_EQ(m_Actor->GetModifiers().size(), 1u);
    EXPECT_EQ(m_Actor->GetModifiers()[0]->GetName(), "Forever");

    ASSERT_EQ(m_Game.GetEvents().size(), 2u);
    const auto* message = dynamic_cast<const CMessageEvent*>(m_Game.GetEvents().front().get());
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->GetKind(), kMessageInfo);
    EXPECT_EQ(message->GetText(), "Bless (on Aldric) expired.");
    const auto* info = dynamic_cast<const CActorInfoEvent*>(m_Game.GetEvents().back().get());
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->GetActorId(), m_Actor->Id());
}

// The update skips actors whose effects all end later: effects added after
// an update must still end on time.
TEST_F(ActorEffects, EffectsAddedBetweenUpdatesEndOnTime)
{
    m_Actor->ExpireTimedEffects(10, m_Game);
    m_Actor->AddModifier(Mod(2, kStackingEscape, kModAttackBonus, 20, true));
    m_Actor->ExpireTimedEffects(12, m_Game);
    m_Actor->AddStatus(kStatusFear, 15);
    m_Actor->ExpireTimedEffects(14, m_Game);
    EXPECT_EQ(m_Actor->GetStatuses().size(), 1u);
    EXPECT_EQ(m_Actor->GetModifiers().size(), 1u);
    m_Actor->ExpireTimedEffects(15, m_Game);
    EXPECT_TRUE(m_Actor->GetStatuses().empty());
    m_Actor->ExpireTimedEffects(19, m_Game);
    EXPECT_EQ(m_Actor->GetModifiers().size(), 1u);
    m_Actor->ExpireTimedEffects(20, m_Game);
    EXPECT_TRUE(m_Actor->GetModifiers().empty());
    EXPECT_EQ(m_Actor->GetModifierTotal(kModAttackBonus), 0);
}

TEST_F(ActorEffects, SilentModifierExpiresWithoutAMessage)
{
    m_Actor->SetAttitude(kAttitudeParty);
    m_Actor->AddModifier(Mod(2, kStackingPower, kModAttackBonus, 10, true, "Quiet"));
    m_Actor->ExpireTimedEffects(10, m_Game);
    EXPECT_TRUE(m_Actor->GetModifiers().empty());
    EXPECT_TRUE(m_Game.GetEvents().empty());
}

TEST_F(ActorEffects, StatusExpiryIsAlwaysAnnounced)
{
    m_Actor->AddStatus(kStatusFear, 50);
    m_Actor->AddStatus(kStatusDominated, 60);
    m_Actor->ExpireTimedEffects(60, m_Game);
    EXPECT_TRUE(m_Actor->GetStatuses().empty());
    // A non-party actor gets no actor-information event.
    EXPECT_EQ(
        ActorTest::MessageTexts(m_Game, kMessageInfo),
        (std::vector<std::string>{"Fear (on Aldric) expired.", "Dominated (on Aldric) expired."}));
    EXPECT_EQ(m_Game.GetEvents().size(), 2u);
}

// ------------------------------------------------------------------ powers

TEST_F(ActorEffects, MaximumEnergyPoints)
{
    EXPECT_EQ(m_Actor->GetMaxEnergyPoints(), 8);
    m_Actor->SetLevel(5);
    m_Actor->SetBaseAttribute(3, 14);
    EXPECT_EQ(m_Actor->GetMaxEnergyPoints(), 40);
    m_Actor->SetLevel(1);
    m_Actor->SetBaseAttribute(3, 3);
    // Raised to L = 2.
    EXPECT_EQ(m_Actor->GetMaxEnergyPoints(), 2);
    m_Actor->SetEnergySpent(1);
    EXPECT_EQ(m_Actor->GetEnergyPoints(), 1);
    m_Actor->SetActivityState(kActivityDead);
    EXPECT_EQ(m_Actor->GetEnergyPoints(), 0);
}

TEST_F(ActorEffects, ActivatingAPowerPaysAndMakesItsModifier)
{
    const CSpell& rage = Spell("pw_rage");
    ASSERT_EQ(rage.GetEnergyCost(), 2);
    ASSERT_TRUE(m_Actor->ActivatePower(rage, 1000));
    EXPECT_EQ(m_Actor->GetEnergySpent(), 2);
    EXPECT_EQ(m_Actor->GetPower(), &rage);
    EXPECT_EQ(m_Actor->GetPowerEndTick(), 1300u);
    const auto link = m_Actor->GetPowerModifier();
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->GetName(), "Rage");
    EXPECT_EQ(link->GetValue(), 3);
    EXPECT_EQ(link->GetExpiryTick(), 1300u);
    EXPECT_TRUE(link->IsSilent());
    EXPECT_EQ(link->GetStackingKind(), kStackingPower);
    // A martial power is cast at the base attack bonus: 120 x 1 / 24 + 5.
    EXPECT_EQ(link->GetLevel(), 10);

    // Upkeep: the old modifier goes, a new one comes.
    ASSERT_TRUE(m_Actor->ActivatePower(rage, 1300));
    EXPECT_EQ(m_Actor->GetModifiers().size(), 1u);
    EXPECT_EQ(m_Actor->GetEnergySpent(), 4);
}

TEST_F(ActorEffects, PowerBeyondTheEnergyLeftDoesNotStartAndStopsThePrevious)
{
    const CSpell& rage = Spell("pw_rage");
    ASSERT_TRUE(m_Actor->ActivatePower(rage, 0));
    m_Actor->SetEnergySpent(7);
    EXPECT_FALSE(m_Actor->ActivatePower(rage, 300));
    EXPECT_EQ(m_Actor->GetPower(), nullptr);
    EXPECT_EQ(m_Actor->GetPowerEndTick(), 0u);
    EXPECT_TRUE(m_Actor->GetModifiers().empty());
    EXPECT_EQ(m_Actor->GetEnergySpent(), 7);
}

TEST_F(ActorEffects, PowerWithAnotherEffectThanModifyIsCode2)
{
    EXPECT_EQ(CodeOf([&] { m_Actor->ActivatePower(Spell("pw_burst"), 0); }), 2);
    EXPECT_EQ(m_Actor->GetPower(), nullptr);
    EXPECT_EQ(m_Actor->GetEnergySpent(), 0);
}

TEST_F(ActorEffects, StopPowerRemovesItsModifierOnly)
{
    m_Actor->AddModifier(Mod(1, kStackingEscape));
    ASSERT_TRUE(m_Actor->ActivatePower(Spell("pw_rage"), 0));
    m_Actor->StopPower();
    EXPECT_EQ(m_Actor->GetPower(), nullptr);
    ASSERT_EQ(m_Actor->GetModifiers().size(), 1u);
    EXPECT_EQ(m_Actor->GetModifiers()[0]->GetName(), "Mod");
}

TEST_F(ActorEffects, RemovingThePowersModifierDropsTheLink)
{
    ASSERT_TRUE(m_Actor->ActivatePower(Spell("pw_rage"), 0));
    m_Actor->RemoveModifier(m_Actor->GetPowerModifier().get());
    EXPECT_EQ(m_Actor->GetPowerModifier(), nullptr);
    EXPECT_NE(m_Actor->GetPower(), nullptr);
    m_Actor->AddModifier(Mod(1, kStackingEscape));
    m_Actor->StopPower();
    EXPECT_EQ(m_Actor->GetModifiers().size(), 1u);
}

TEST_F(ActorEffects, RestoreFullyAndRestoreEnergy)
{
    const auto foe = ActorTest::MakeFighter(m_Game, "Foe");
    m_Actor->SetCurrentTarget(0, foe.get());
    m_Actor->AddModifier(Mod(1, kStackingEscape));
    m_Actor->AddStatus(kStatusHeld, 0);
    m_Actor->SetDamageTaken(9);
    m_Actor->SetLastDamage(4);
    m_Actor->SetLastDamageSource(77);
    m_Actor->SetFurtherCounter(2);
    m_Actor->SetEnergySpent(6);
    m_Actor->SetActivityState(kActivityDead);
    m_Actor->SetInterrupted(true);

    m_Actor->RestoreEnergy(4);
    EXPECT_EQ(m_Actor->GetEnergySpent(), 2);
    m_Actor->RestoreEnergy(4);
    EXPECT_EQ(m_Actor->GetEnergySpent(), 0);

    m_Actor->RestoreFully();
    EXPECT_TRUE(m_Actor->GetModifiers().empty());
    EXPECT_TRUE(m_Actor->GetStatuses().empty());
    EXPECT_EQ(m_Actor->GetDamageTaken(), 0);
    EXPECT_EQ(m_Actor->GetLastDamage(), 0);
    EXPECT_EQ(m_Actor->GetLastDamageSource(), 0u);
    EXPECT_EQ(m_Actor->GetFurtherCounter(), 0);
    EXPECT_EQ(m_Actor->GetActivityState(), kActivityIdle);
    EXPECT_EQ(m_Actor->GetCurrentTarget(), nullptr);
    EXPECT_TRUE(foe->GetTargetedBy().empty());
    EXPECT_FALSE(m_Actor->IsInterrupted());
}

// ------------------------------------------------------------------ derived

TEST_F(ActorEffects, SkillValuesAndChecks)
{
    EXPECT_EQ(m_Actor->GetSkillValue(kSkillSneak), 0);
    m_Actor->Skills().insert(kSkillSneak);
    m_Actor->Skills().insert(73);
    // (level + bonus + 1) x 5; Personality 14 gives +10.
    m_Actor->SetBaseAttribute(4, 14);
    EXPECT_EQ(m_Actor->GetSkillValue(kSkillSneak), 10);
    EXPECT_EQ(m_Actor->GetSkillCheck(3), 20);
    m_Actor->AddModifier(Mod(5, kStackingPower, kModStealth));
    EXPECT_EQ(m_Actor->GetSkillCheck(3), 25);
    // A skill not held still takes the modifiers.
    m_Actor->AddModifier(Mod(3, kStackingPower, kModSpecialStatFirst));
    EXPECT_EQ(m_Actor->GetSkillCheck(0), 3);
    m_Actor->SetClass(1);
    EXPECT_EQ(m_Actor->GetSkillValue(kSkillSneak), 30);
    // Wands: the spellcaster bonus 45 x 1 / 24 + 5 / 2, +10 for a rogue.
    EXPECT_EQ(m_Actor->GetSkillValue(73), 13);
    EXPECT_EQ(CodeOf([&] { m_Actor->GetSkillCheck(5); }), 2);
    EXPECT_EQ(CodeOf([&] { m_Actor->GetAttribute(5); }), 2);
}

TEST_F(ActorEffects, LevelUpAtTheThreshold)
{
    EXPECT_EQ(m_Actor->GetExperienceThreshold(2), 3981u);
    m_Actor->SetExperience(3980);
    EXPECT_FALSE(m_Actor->TryLevelUp());
    m_Actor->SetExperience(3981);
    SeedRandom(11);
    ASSERT_TRUE(m_Actor->TryLevelUp());
    EXPECT_EQ(m_Actor->GetLevel(), 2u);
    EXPECT_GE(m_Actor->GetHitPointBase(), 26u);
    EXPECT_LE(m_Actor->GetHitPointBase(), 50u);
    EXPECT_EQ(m_Actor->GetClassSkillPoints(), 1u);
    EXPECT_EQ(m_Actor->GetGeneralSkillPoints(), 0u);
    EXPECT_FALSE(m_Actor->TryLevelUp());
}
