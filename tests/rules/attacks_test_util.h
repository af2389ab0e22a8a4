#pragma once

// An open arena on the demo module for seeded fights and casts, and a small
// driver that runs the parts of a tick the attack and spell rules take part
// in, so that the scenarios do not depend on the rest of the tick.

#include "common/random.h"
#include "rules/engine.h"
#include "rules_test_util.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/area_test_util.h"
#include "world/effect.h"
#include "world/event.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/order.h"
#include "world/rule_tables.h"
#include "world/spell.h"

#include <memory>
#include <string>
#include <vector>

namespace CombatTest
{

// The percentile rolls a seed gives, in draw order.
inline std::vector<int> RollsOf(std::uint32_t seed, int count)
{
    ::SeedRandom(seed);
    std::vector<int> rolls;
    for (int i = 0; i < count; ++i)
    {
        int roll = 0;
        VARD::RollPercentileCheck(0, 0, &roll);
        rolls.push_back(roll);
    }
    return rolls;
}

// A message line with the tick it was posted in: "TICK KIND TEXT".
struct CLog
{
    std::vector<std::string> lines;
    std::vector<std::int32_t> eventKinds;
};

class CArena
{
public:
    explicit CArena(std::uint32_t seed, std::uint32_t width = 40, std::uint32_t height = 40)
    {
        m_Engine = RulesTest::NewDemoGame(seed);
        CGame().SetTick(1000);
        m_Area = AreaTest::GridArea(&CGame(), Module(),
                                    AreaTest::UniformRows(width, height, "(grass n)"));
        m_Area->SetName("arena");
        CGame().SetCurrentArea(m_Area.get());
        CGame().SetState(VARD::kGameRunning);
        Hero().SetPosition(10.0, 10.0);
        Hero().SetRadius(0.75);
        m_Area->AddActor(CGame().Party().front());
        SeedRandom(seed);
    }
    ~CArena() { CGame().SetCurrentArea(nullptr); }

    VARD::CEngine& Engine() { return *m_Engine; }
    VARD::CGame& CGame() { return m_Engine->Game(); }
    const VARD::CModule& Module() { return m_Engine->Module(); }
    VARD::CArea& Area() { return *m_Area; }
    VARD::CActor& Hero() { return RulesTest::Member(*m_Engine); }
    std::uint32_t Now() { return CGame().GetTick(); }

    // A trained fighter: level, Strength and Durability set, a weapon and
    // armour of the demo in hand.
    VARD::CActor& MakeFighter(VARD::CActor& actor, std::uint32_t level, const std::string& weapon,
                              const std::string& armor)
    {
        actor.SetClass(0);
        actor.SetLevel(level);
        actor.SetLevelBonus(0);
        for (std::uint32_t attribute = 0; attribute < 5; ++attribute)
            actor.SetBaseAttribute(attribute, 14);
        actor.SetHitPointBase(20);
        actor.SetDamageTaken(0);
        actor.Skills() = {1, 5, 6, 7, 9};
        if (!weapon.empty())
            actor.SetEquipmentSlot(VARD::kSlotMainHand, NewItem(weapon));
        if (!armor.empty())
            actor.SetEquipmentSlot(VARD::kSlotBody, NewItem(armor));
        actor.SetActivityState(VARD::kActivityIdle);
        return actor;
    }

    std::shared_ptr<VARD::CItem> NewItem(const std::string& name, std::uint32_t count = 1)
    {
        return Module().CreateItem(name, count, CGame().NewThingId(VARD::kThingKindItem), 0);
    }

    // A creature of the demo standing exactly at (x, y), hostile and without
    // a brain, so that no alert or behaviour of its own gets in the way.
    VARD::CActor& Spawn(const std::string& templateName, double x, double y,
                        std::uint32_t attitude = VARD::kAttitudeHostile)
    {
        const auto actor =
            m_Area->SpawnMonsterNear(templateName, static_cast<std::uint32_t>(x / 2.5),
                                     static_cast<std::uint32_t>(y / 2.5), Module());
        actor->SetPosition(x, y);
        actor->SetAttitude(attitude);
        actor->SetBrain(nullptr);
        actor->StopPower();
        return *actor;
    }

    // One tick as far as fights and spells go: the clock, the activity
    // states, the attack orders of actors that may act, the effects in
    // flight and the deaths.
    void Step()
    {
        VARD::CGame& game = CGame();
        game.AdvanceTick();
        const std::uint32_t now = game.GetTick();
        for (const auto& actor : m_Area->GetActors())
        {
            if (actor->IsInterrupted())
            {
                actor->SetInterrupted(false);
                actor->ClearEngagement();
            }
            actor->ExpireTimedEffects(now, game);
        }
        for (const auto& actor : m_Area->GetActors())
        {
            const auto order = actor->GetFrontOrder();
            if (!order || actor->IsDead() || actor->GetActivityState() == VARD::kActivityAlarmed)
                continue;
            if (order->GetType() != VARD::kOrderAttack)
                continue;
            if (actor->GetFightingStyle() == 10)
                m_Engine->DoRangedAttack(*actor, *order);
            else
                m_Engine->DoMeleeAttack(*actor, *order);
        }
        m_Engine->UpdateEffects();
        m_Engine->ProcessDeaths();
        Drain();
    }

    void Run(std::uint32_t ticks)
    {
        for (std::uint32_t i = 0; i < ticks; ++i)
            Step();
    }

    // Moves what the events hold into the log, with the current tick.
    void Drain()
    {
        while (const auto event = CGame().PopEvent())
        {
            m_Log.eventKinds.push_back(event->GetKind());
            if (const auto* message = dynamic_cast<const VARD::CMessageEvent*>(event.get()))
                m_Log.lines.push_back(std::to_string(Now()) + ' ' +
                                      std::to_string(message->GetKind()) + ' ' +
                                      message->GetText());
        }
    }

    std::vector<std::string> TakeLines()
    {
        Drain();
        auto lines = std::move(m_Log.lines);
        m_Log = {};
        return lines;
    }

    const VARD::CSpell& Spell(const std::string& key)
    {
        const VARD::CSpell* spell = Module().FindSpell(key);
        if (spell == nullptr)
            throw std::runtime_error("no spell " + key);
        return *spell;
    }

private:
    std::unique_ptr<VARD::CEngine> m_Engine;
    std::unique_ptr<VARD::CArea> m_Area;
    CLog m_Log;
};

} // namespace CombatTest
