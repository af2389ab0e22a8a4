// The demo's monsters on their own ground: every behaviour is placed, and
// the roused ones go for a party that walks up to them.

#include "ai_test_util.h"

#include "world/ai.h"
#include "world/brain.h"

#include <gtest/gtest.h>

#include <set>
#include <typeindex>

namespace
{

TEST(AIDemo, EveryBehaviourIsPlacedAndTheOrcsGoForTheParty)
{
    std::set<std::type_index> kinds;
    for (const std::string area : {"town", "forest", "crypt"})
    {
        // The crypt's entry script runs as the party enters.
        AITest::CountingScripts scripts;
        auto engine = RulesTest::NewDemoGame(71);
        // The orc war band and the ogre come to the wood once the key is found.
        engine->Game().SetQuestTag("temple_key_found", 1);
        engine->Game().SetTravel(area, area == "town"     ? "gate"
                                       : area == "forest" ? "road"
                                                          : "stairs");
        engine->EnterArea();
        for (const auto& actor : engine->Game().GetCurrentArea()->Actors())
            if (const auto& brain = actor->GetBrain())
            {
                for (const auto* ai : {brain->GetCalmAI().get(), brain->GetRousedAI().get()})
                {
                    kinds.insert(std::type_index(typeid(*ai)));
                    if (const auto* cast = dynamic_cast<const VARD::CAICast*>(ai))
                    {
                        const VARD::CAI& fallback = *cast->GetFallback();
                        kinds.insert(std::type_index(typeid(fallback)));
                    }
                }
            }
    }
    EXPECT_EQ(kinds, (std::set<std::type_index>{typeid(VARD::CAIStand), typeid(VARD::CAICharge),
                                                typeid(VARD::CAIWander), typeid(VARD::CAIShoot),
                                                typeid(VARD::CAIForceTalk), typeid(VARD::CAICast),
                                                typeid(VARD::CAIAutocast)}));

    // The orc warriors arm themselves and go for the party on the road.
    auto engine = RulesTest::NewDemoGame(73);
    VARD::CGame& game = engine->Game();
    game.SetQuestTag("temple_key_found", 1);
    game.SetTravel("forest", "road");
    engine->EnterArea();
    VARD::CActor& hero = RulesTest::Member(*engine);
    hero.SetPosition(47.0, 15.0);
    engine->Tick();
    int attacking = 0;
    for (const auto& actor : game.GetCurrentArea()->Actors())
    {
        if (actor->GetTemplateName() != "orc_warrior")
            continue;
        EXPECT_TRUE(actor->GetBrain()->IsEquipped());
        if (AITest::FrontTarget(*actor) == hero.Id())
            ++attacking;
    }
    EXPECT_EQ(attacking, 2);
    EXPECT_EQ(game.GetCombatFlag(), 1);
}

} // namespace
