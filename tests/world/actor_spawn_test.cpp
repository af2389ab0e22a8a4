#include "area_test_util.h"

#include "world/actor_spawn.h"
#include "world/actor_template.h"
#include "world/brain.h"
#include "world/item_template.h"
#include "world/spell.h"

#include <algorithm>

using namespace VARD;
using AreaTest::DemoModule;
using TestUtil::CodeOf;

namespace
{

bool Knows(const CActor& actor, const std::string& key)
{
    return std::any_of(actor.GetSpells().begin(), actor.GetSpells().end(),
                       [&key](const CSpell* spell) { return spell->GetKey() == key; });
}

} // namespace

TEST(ActorSpawn, CopiesTheTemplate)
{
    CGame game;
    auto module = DemoModule();
    const CActorTemplate& source = *module->FindActorTemplate("wolf");
    auto wolf = CreateActorFromTemplate("wolf", "pack", *module, game);
    EXPECT_EQ(ThingKindOf(wolf->Id()), kThingKindActor);
    EXPECT_EQ(wolf->GetName(), "Wolf");
    EXPECT_EQ(wolf->GetSecondText(), source.GetSecondText());
    EXPECT_EQ(wolf->GetTemplateName(), "wolf");
    EXPECT_EQ(wolf->GetGraphicName(), "wolf");
    EXPECT_EQ(wolf->GetFigureColor(), source.GetFigureColor());
    EXPECT_EQ(GetEncounterName(*wolf), "pack");
    EXPECT_DOUBLE_EQ(wolf->GetRadius(), 0.8);
    EXPECT_DOUBLE_EQ(wolf->GetSecondSize(), 0.9);
    EXPECT_EQ(wolf->GetLevel(), 2u);
    EXPECT_EQ(wolf->GetClass(), source.GetClass());
    EXPECT_EQ(wolf->GetCreatureKind(), source.GetRace());
    // The stats come after the reset, which would otherwise leave 6 each.
    for (std::uint32_t attribute = 0; attribute < 5; ++attribute)
        EXPECT_EQ(wolf->GetBaseAttribute(attribute), source.GetAttributes()[attribute]);
    EXPECT_EQ(wolf->GetHitPointBase(), 14u);
    EXPECT_EQ(wolf->GetDefenseBase(), 14);
    EXPECT_EQ(wolf->GetSaveBase(0), 4);
    EXPECT_EQ(wolf->GetSaveBase(2), 1);
    EXPECT_EQ(wolf->GetActionSpeedBase(), 90);
    EXPECT_EQ(wolf->GetMovementSpeedBase(), 120);
    EXPECT_EQ(wolf->GetExperience(), wolf->GetExperienceThreshold(2));
    EXPECT_EQ(wolf->GetDamageTaken(), 0);
    EXPECT_EQ(wolf->GetAttacks().size(), 1u);
    EXPECT_EQ(wolf->GetSkills(), source.GetSkills());
    EXPECT_EQ(wolf->GetActivityState(), kActivityIdle);
    EXPECT_EQ(wolf->GetCurrentTarget(), nullptr);
    ASSERT_NE(wolf->GetBrain(), nullptr);
    EXPECT_NE(wolf->GetBrain().get(), source.GetBrain());
    EXPECT_EQ(wolf->GetAttitude(), kAttitudeNeutral);
    EXPECT_EQ(CodeOf([&] { CreateActorFromTemplate("dragon", "", *module, game); }), 1);
}

TEST(ActorSpawn, SideComesFromTheBrain)
{
    CGame game;
    auto module = DemoModule();
    EXPECT_EQ(CreateActorFromTemplate("skeleton", "", *module, game)->GetAttitude(),
              kAttitudeHostile);
    EXPECT_EQ(CreateActorFromTemplate("giant_rat", "", *module, game)->GetAttitude(),
              kAttitudeNeutral);
    EXPECT_EQ(CreateActorFromTemplate("merchant", "", *module, game)->GetAttitude(),
              kAttitudeFriendly);
    EXPECT_EQ(CreateActorFromTemplate("ogre", "", *module, game)->GetAttitude(), kAttitudeBerserk);
}

TEST(ActorSpawn, ItemsGetItemIds)
{
    CGame game;
    auto module = DemoModule();
    auto ogre = CreateActorFromTemplate("ogre", "", *module, game);
    const auto items = ogre->GetBackpackItems();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0]->GetTemplate()->GetName(), "gold");
    EXPECT_EQ(items[0]->GetValue1(), 40u);
    EXPECT_EQ(items[0]->GetValue2(), 0u);
    EXPECT_EQ(ThingKindOf(items[0]->Id()), kThingKindItem);
    EXPECT_NE(items[0]->Id(), items[1]->Id());
    EXPECT_EQ(ThingNumberOf(items[1]->Id()), ThingNumberOf(ogre->Id()) + 2);
}

TEST(ActorSpawn, SpellsTheTemplateThenTheFaction)
{
    CGame game;
    auto module = DemoModule();
    auto priest = CreateActorFromTemplate("priest", "", *module, game);
    ASSERT_GE(priest->GetSpells().size(), 2u);
    EXPECT_EQ(priest->GetSpells()[0]->GetKey(), "heal");
    EXPECT_EQ(priest->GetSpells()[1]->GetKey(), "bless");
    EXPECT_TRUE(Knows(*priest, "heal"));
    // Each spell once, even where the template, the skills and the faction agree.
    for (const CSpell* spell : priest->GetSpells())
        EXPECT_EQ(std::count(priest->GetSpells().begin(), priest->GetSpells().end(), spell), 1)
            << spell->GetKey();
}

TEST(ActorSpawn, SneakersStartSneaking)
{
    CGame game;
    game.SetTick(77);
    auto module = DemoModule();
    auto spider = CreateActorFromTemplate("cave_spider", "", *module, game);
    ASSERT_NE(spider->GetPower(), nullptr);
    EXPECT_EQ(spider->GetPower()->GetKey(), "s_power-sneak");
    EXPECT_TRUE(spider->IsSneaking());
    auto wolf = CreateActorFromTemplate("wolf", "", *module, game);
    EXPECT_EQ(wolf->GetPower(), nullptr);
}
