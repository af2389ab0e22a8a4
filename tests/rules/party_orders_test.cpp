// Talk, leaving the party, spending points, powers and the store's
// refusals, on the demo town.

#include "item_orders_test_util.h"

#include "world/script_record.h"
#include "world/spell.h"
#include "world/talk_state.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace
{

using namespace OrderTest;
using VARD::CActor;
using VARD::CScriptContext;

// A talk script that does what the test tells it to.
class CTalkScript : public VARD::CScript
{
public:
    using Body = std::function<void(CScriptContext&)>;
    explicit CTalkScript(Body body) : m_Body(std::move(body)) {}
    std::int32_t Run(VARD::CEngine*, CScriptContext& context) override
    {
        ++runs;
        seen = context;
        m_Body(context);
        return 0;
    }
    int runs = 0;
    CScriptContext seen;

private:
    Body m_Body;
};

void Offer(CScriptContext& context, const std::string& text, const std::string& state)
{
    dynamic_cast<VARD::CTalkTarget&>(*context.target)
        .QueueTalk(std::make_shared<VARD::CTalkChoice>(text, state));
}

std::vector<std::string> ChoiceTexts(const VARD::CTalkTarget& target)
{
    std::vector<std::string> texts;
    for (const auto& choice : target.GetTalkQueue())
        texts.push_back(choice->GetText() + ">" + choice->GetStateName());
    return texts;
}

int Talk(const Town& town, CActor& to, const std::string& state, const std::string& text = "")
{
    return RunOrder(town, *town.hero, std::make_shared<VARD::CTalkOrder>(to.Id(), state, text));
}

TEST(PartyOrders, TalkRunsStatesUntilTheScriptsStop)
{
    Town town = EnterTown();
    CActor& hero = *town.hero;
    CActor& merchant = *FindActor(town, "merchant");
    auto state = [](const std::string& name, CTalkScript::Body body)
    {
        auto script = std::make_shared<CTalkScript>(std::move(body));
        return std::make_pair(std::make_shared<VARD::CTalkState>(name, script), script);
    };
    auto start = state("start",
                       [](CScriptContext& c)
                       {
                           Offer(c, "Trade", "trade");
                           Offer(c, "Bye", "bye");
                       });
    auto news = state("news",
                      [](CScriptContext& c)
                      {
                          Offer(c, "lost", "x");
                          c.nextState = "start";
                      });
    auto bye = state("bye",
                     [](CScriptContext& c)
                     {
                         Offer(c, "never shown", "x");
                         c.endTalk = 1;
                     });
    auto lost = state("lost",
                      [](CScriptContext& c)
                      {
                          Offer(c, "Again", "start");
                          c.nextState = "nowhere";
                      });
    auto loopA = state("loop_a", [](CScriptContext& c) { c.nextState = "loop_b"; });
    auto loopB = state("loop_b", [](CScriptContext& c) { c.nextState = "loop_a"; });
    merchant.SetTalkFiles(
        {start.first, news.first, bye.first, lost.first, loopA.first, loopB.first});

    const VARD::CSpell& sneak = *town.engine->Module().FindSpell(VARD::kSneakPowerKey);
    hero.Skills().insert(VARD::kSkillSneak);
    ASSERT_TRUE(hero.ActivatePower(sneak, town.game->GetTick()));
    hero.SetPosition(merchant.GetX() + 40.0, merchant.GetY());
    EXPECT_EQ(Talk(town, merchant, "start"), 3) << "out of talk range";
    EXPECT_EQ(start.second->runs, 0);
    EXPECT_TRUE(hero.IsSneaking());

    hero.SetPosition(merchant.GetX() + 3.0, merchant.GetY() + 3.0);
    EXPECT_EQ(Talk(town, merchant, "start"), -1);
    EXPECT_EQ(ChoiceTexts(merchant), (std::vector<std::string>{"Trade>trade", "Bye>bye"}));
    EXPECT_EQ(start.second->seen.actor, &hero);
    EXPECT_EQ(start.second->seen.target, &merchant);
    EXPECT_FALSE(hero.IsSneaking());
    EXPECT_DOUBLE_EQ(merchant.GetFacing(), std::atan2(-3.0, 3.0) - 1.5707963705062866);
    EXPECT_EQ(town.game->GetPeople().count("merchant"), 1u);
    EXPECT_EQ(DrainEvents(*town.game), std::vector<std::string>{"event 15"});

    // A named next state runs in the same order; its choices are the ones left.
    EXPECT_EQ(Talk(town, merchant, "news", "Any news?"), -1);
    EXPECT_EQ(news.second->runs, 1);
    EXPECT_EQ(start.second->runs, 2);
    EXPECT_EQ(ChoiceTexts(merchant), (std::vector<std::string>{"Trade>trade", "Bye>bye"}));
    EXPECT_EQ(DrainEvents(*town.game), std::vector<std::string>{"18 Hero : Any news?"});

    EXPECT_EQ(Talk(town, merchant, "lost"), -1);
    EXPECT_EQ(ChoiceTexts(merchant), std::vector<std::string>{"Again>start"});
    EXPECT_EQ(Talk(town, merchant, "bye", "Bye"), -1);
    EXPECT_TRUE(merchant.GetTalkQueue().empty());

    // A circle of states ends as a script failure instead of hanging.
    EXPECT_EQ(Talk(town, merchant, "loop_a"), 6);
    EXPECT_EQ(loopA.second->runs + loopB.second->runs, 100);
    EXPECT_EQ(Talk(town, merchant, "trade"), 6) << "no such state";
    EXPECT_TRUE(hero.GetInstantOrders().empty());

    // Hostile partners and oneself are not talked to at all.
    merchant.SetAttitude(VARD::kAttitudeHostile);
    merchant.SetPosition(merchant.GetX() + 80.0, merchant.GetY());
    DrainEvents(*town.game);
    EXPECT_EQ(Talk(town, merchant, "start", "Hello"), -1);
    EXPECT_EQ(Talk(town, hero, "start", "Hello"), -1);
    EXPECT_EQ(start.second->runs, 2);
    EXPECT_TRUE(DrainEvents(*town.game).empty());
    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CTalkOrder>(0x05000001u, "start", "")),
              3);
    VARD::CObject& chest = *FindObject(town, "town_chest");
    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CTalkOrder>(chest.Id(), "start", "")), 3)
        << "out of reach of the chest";
    hero.SetPosition(chest.GetX(), chest.GetY() + 2.0);
    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CTalkOrder>(chest.Id(), "start", "")), 6)
        << "a chest has nothing to say";

    // A broad object talks from where the use step stops: its footprint's
    // edge within reach, though its centre is not.
    VARD::CObject& shrine = *FindObject(town, "temple_shrine");
    auto carved = state("start", [](CScriptContext& c) { Offer(c, "Step back.", "leave"); });
    shrine.SetTalkFiles({carved.first});
    const double edge = shrine.GetX() + shrine.GetSizeX() / 2.0 + hero.GetRadius();
    hero.SetPosition(edge + 5.0, shrine.GetY());
    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CTalkOrder>(shrine.Id(), "start", "")),
              -1);
    EXPECT_EQ(carved.second->runs, 1);
    EXPECT_EQ(ChoiceTexts(shrine), std::vector<std::string>{"Step back.>leave"});
    hero.SetPosition(edge + 5.01, shrine.GetY());
    EXPECT_EQ(RunOrder(town, hero, std::make_shared<VARD::CTalkOrder>(shrine.Id(), "start", "")),
              3);
    EXPECT_EQ(carved.second->runs, 1);
}

TEST(PartyOrders, LeavingSpendingAndPowers)
{
    Town town = EnterTown();
    CActor& hero = *town.hero;
    VARD::CGame& game = *town.game;
    std::shared_ptr<CActor> baker;
    for (const auto& actor : town.area->Actors())
        if (actor->GetTemplateName() == "baker")
            baker = actor;
    ASSERT_TRUE(baker);

    const auto leave = [&](CActor& who)
    { return RunOrder(town, who, std::make_shared<VARD::COrder>(VARD::kOrderLeaveParty)); };
    EXPECT_EQ(leave(hero), 3) << "the main character stays";
    EXPECT_EQ(leave(*baker), 3) << "not a member";
    game.AddPartyMember(baker);
    ASSERT_EQ(baker->GetAttitude(), VARD::kAttitudeParty);
    DrainEvents(game);
    EXPECT_EQ(leave(*baker), -1);
    EXPECT_EQ(baker->GetAttitude(), VARD::kAttitudeNeutral);
    EXPECT_EQ(game.Party().size(), 1u);
    EXPECT_EQ(town.area->FindActorById(baker->Id()), baker.get());
    EXPECT_EQ(DrainEvents(game), std::vector<std::string>{"event 0"});

    // One point raises an attribute by one; without points nothing changes.
    const auto spend = [&](CActor& who, std::int32_t attribute, std::int32_t skill)
    { return RunOrder(town, who, std::make_shared<VARD::CSpendPointsOrder>(attribute, skill)); };
    const std::uint32_t strength = hero.GetBaseAttribute(0);
    hero.SetAttributePoints(1);
    EXPECT_EQ(spend(hero, 0, VARD::kSkillNone), -1);
    EXPECT_EQ(spend(hero, 0, VARD::kSkillNone), -1);
    EXPECT_EQ(hero.GetBaseAttribute(0), strength + 1);
    EXPECT_EQ(hero.GetAttributePoints(), 0u);
    baker->SetAttributePoints(1);
    EXPECT_EQ(spend(*baker, 1, VARD::kSkillNone), -1);
    EXPECT_EQ(baker->GetAttributePoints(), 1u) << "only party members spend";
    EXPECT_EQ(spend(*baker, 6, 84), -1) << "a non-member is not even refused";
    EXPECT_EQ(spend(hero, 6, VARD::kSkillNone), 3);
    EXPECT_EQ(spend(hero, 5, 84), 3);

    const int lifeMagic = VARD::FindSkillByKey("life_magic");
    const VARD::CSpell& heal = *town.engine->Module().FindSpell("heal");
    hero.Skills().insert({43, 45}); // what Life Magic builds on
    hero.SetClassSkillPoints(0);
    hero.SetGeneralSkillPoints(1);
    ASSERT_TRUE(hero.CanLearnSkill(lifeMagic));
    DrainEvents(game);
    EXPECT_EQ(spend(hero, 5, lifeMagic), -1);
    EXPECT_TRUE(hero.HasSkill(lifeMagic));
    EXPECT_EQ(hero.GetGeneralSkillPoints(), 0u);
    EXPECT_TRUE(hero.KnowsSpell(heal));
    EXPECT_EQ(DrainEvents(game), (std::vector<std::string>{"18 Hero inscribes Bless.",
                                                           "18 Hero inscribes Conjure Bread.",
                                                           "18 Hero inscribes Heal."}));

    // Powers: stopping posts nothing; the checks come in their order.
    const auto power = [&](const std::string& name)
    { return RunOrder(town, hero, std::make_shared<VARD::CPowerOrder>(name)); };
    EXPECT_EQ(power("s_power-sneak"), -1);
    EXPECT_EQ(hero.GetPower(), nullptr) << "without the skill nothing happens";
    hero.Skills().insert(VARD::kSkillSneak);
    // Nobody in town is to spot the sneaker: the neutral farmer would.
    for (const auto& actor : town.area->Actors())
        if (actor.get() != &hero)
            actor->SetAttitude(VARD::kAttitudeFriendly);
    game.SetCombatFlag(1);
    EXPECT_EQ(power("s_power-sneak"), -1);
    game.SetCombatFlag(0);
    EXPECT_EQ(power("s_power-sneak"), -1);
    EXPECT_TRUE(hero.IsSneaking());
    EXPECT_EQ(DrainEvents(game),
              (std::vector<std::string>{"18 Hero can't start sneaking in combat.", "event 14",
                                        "event 8"}));
    EXPECT_EQ(power(""), -1);
    EXPECT_EQ(hero.GetPower(), nullptr);
    EXPECT_TRUE(DrainEvents(game).empty());
    EXPECT_EQ(power("heal"), 3);
    EXPECT_EQ(power("no_such_power"), 3);

    const VARD::CSpell& cry = *town.engine->Module().FindSpell("s_battle-cry");
    hero.Skills().insert(cry.GetSkill());
    hero.SetLevel(6);
    ASSERT_TRUE(hero.MeetsRequirement(cry));
    hero.SetEnergySpent(hero.GetMaxEnergyPoints() - cry.GetEnergyCost() + 1);
    EXPECT_EQ(power("s_battle-cry"), -1);
    EXPECT_EQ(DrainEvents(game),
              std::vector<std::string>{"18 Hero doesn't have enough energy to use Battle Cry."});
    hero.SetEnergySpent(hero.GetMaxEnergyPoints() - cry.GetEnergyCost());
    EXPECT_EQ(power("s_battle-cry"), -1);
    EXPECT_EQ(hero.GetPower(), &cry);
    EXPECT_EQ(hero.GetEnergyPoints(), 0);
    EXPECT_EQ(DrainEvents(game), std::vector<std::string>{"event 8"});
}

TEST(PartyOrders, StoreRefusesWhatTheDialogNeverOffers)
{
    Town town = EnterTown();
    CActor& hero = *town.hero;
    CActor& armourer = *FindActor(town, "armourer");
    const auto trade =
        [&](std::int32_t buy, std::uint32_t merchant, const auto& item, std::uint32_t count = 1)
    {
        return RunOrder(town, hero,
                        std::make_shared<VARD::CStoreOrder>(buy, merchant, item->Id(), count));
    };
    // Its brain may have put on its own plate: stock one to sell.
    const auto plate = GiveItem(town, armourer, "plate_armor", 1);
    town.game->SetGold(1000);
    hero.SetPosition(armourer.GetX() + 15.0, armourer.GetY());
    EXPECT_EQ(trade(1, armourer.Id(), plate), 3) << "beyond 1.5 + 12.5 + 0.75";
    hero.SetPosition(armourer.GetX() + 14.0, armourer.GetY());
    EXPECT_EQ(trade(1, hero.Id() + 100000, plate), 3) << "no merchant";
    EXPECT_EQ(trade(0, armourer.Id(), GiveItem(town, hero, "bread", 2)), 3) << "buys no bread";
    EXPECT_EQ(trade(0, armourer.Id(), GiveSealedLetter(town, hero)), -1);
    EXPECT_EQ(DrainEvents(*town.game),
              std::vector<std::string>{"18 Hero can't sell Sealed Letter."});
    armourer.SetActivityState(VARD::kActivityDead);
    EXPECT_EQ(trade(1, armourer.Id(), plate), 3) << "dead";
    EXPECT_EQ(town.game->GetGold(), 1000);
    armourer.SetActivityState(VARD::kActivityIdle);
    // Buying none would hand out an empty stack; selling none is no trade.
    EXPECT_EQ(trade(1, armourer.Id(), plate, 0), 3);
    const auto ownPlate = GiveItem(town, hero, "plate_armor", 1);
    EXPECT_EQ(trade(0, armourer.Id(), ownPlate, 0), -1);
    EXPECT_EQ(CountOf(hero, "plate_armor"), 1u);
    EXPECT_EQ(town.game->GetGold(), 1000);
    EXPECT_EQ(trade(1, armourer.Id(), plate), -1);
    EXPECT_EQ(town.game->GetGold(), 400);
    EXPECT_EQ(CountOf(armourer, "plate_armor"), 0u);
}

} // namespace
