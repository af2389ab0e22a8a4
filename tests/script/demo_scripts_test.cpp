// The demo module's own scripts: its conversations with their choices, the
// quests they give and complete, the store they open, and the door, trap,
// heartbeat and shrine scripts.

#include "script_test_util.h"

#include "world/actor_template.h"
#include "world/faction.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/object.h"
#include "world/talk_state.h"
#include "world/tile.h"
#include "world/trap.h"
#include "world/world_object.h"

namespace
{

using RulesTest::DrainMessages;
using RulesTest::Member;
using ScriptTest::TownActor;
using Lines = std::vector<std::string>;

// One conversation step as a talk order takes it: the state's script, then
// the states it names, until one waits for the player or ends the talk.
void Converse(VARD::CEngine& engine, VARD::CThing& partner, std::string state)
{
    auto& target = dynamic_cast<VARD::CTalkTarget&>(partner);
    for (int steps = 0; steps < 8; ++steps)
    {
        const VARD::CTalkState* talk = VARD::FindTalkStateByName(target.GetTalkFiles(), state);
        ASSERT_NE(talk, nullptr) << state;
        target.ClearTalkQueue();
        VARD::CScriptContext context;
        context.actor = &Member(engine);
        context.target = &partner;
        talk->GetScript()->Run(&engine, context);
        if (context.endTalk != 0)
        {
            target.ClearTalkQueue();
            return;
        }
        if (VARD::FindTalkStateByName(target.GetTalkFiles(), context.nextState) == nullptr)
            return;
        state = context.nextState;
    }
    FAIL() << "the conversation does not wait";
}

Lines Choices(const VARD::CTalkTarget& target)
{
    Lines lines;
    for (const auto& choice : target.GetTalkQueue())
        lines.push_back(choice->GetText() + " -> " + choice->GetStateName());
    return lines;
}

TEST(DemoScripts, ThePriestGivesAndCompletesTheTempleQuest)
{
    auto engine = ScriptTest::EnteredDemoGame();
    auto& game = engine->Game();
    auto& priest = TownActor(*engine, "priest");
    Converse(*engine, priest, "start");
    EXPECT_EQ(Choices(priest),
              (Lines{"We will bring the key back. -> accept", "Not our concern. -> refuse"}));
    EXPECT_EQ(game.GetQuestTag("met_priest"), 1);
    DrainMessages(game);

    Converse(*engine, priest, "accept");
    EXPECT_TRUE(priest.GetTalkQueue().empty());
    EXPECT_EQ(DrainMessages(game), (Lines{"18 You have been assigned a quest (The Temple Key).",
                                          "18 Your Journal has been updated.",
                                          "18 Father Aldous : Bless you. Take this for the road.",
                                          "18 The party has gained an item."}));
    Converse(*engine, priest, "start");
    EXPECT_EQ(DrainMessages(game), (Lines{"18 Father Aldous : The key lies somewhere in the crypt "
                                          "beneath the ruined temple. Go with the sun."}));

    // The key picked up in the crypt is noted in the journal.
    auto& hero = Member(*engine);
    const auto key = engine->Module().CreateItem("temple_key", 1, game.NewThingId(5), 0);
    hero.AddBackpackItem(key);
    engine->OnItemAcquired(*key);
    EXPECT_EQ(DrainMessages(game), (Lines{"18 Your Journal has been updated."}));

    // With the key the talk goes straight on to the thanks.
    game.SetGold(0);
    Converse(*engine, priest, "start");
    const Lines lines = DrainMessages(game);
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[0], "20 The party has completed a quest for 300xp (The Temple Key).");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "19 The party has gained 200 gold."),
              lines.end());
    EXPECT_NE(
        std::find(lines.begin(), lines.end(), "18 Hero has been promoted to the rank of Novice."),
        lines.end());
    EXPECT_EQ(game.GetQuestTag("temple_key"), 1);
    EXPECT_EQ(game.GetGold(), 200);
    EXPECT_EQ(hero.GetFaction()->GetName(), "temple");
    EXPECT_EQ(std::find(hero.Backpack().begin(), hero.Backpack().end(), key),
              hero.Backpack().end());
    Lines journal;
    for (const auto& entry : game.GetJournal())
        journal.push_back(entry->questName + ' ' + entry->textName);
    EXPECT_EQ(journal, (Lines{"temple_key temple_key_start", "temple_key temple_key_found",
                              "temple_key temple_key_done"}));

    Converse(*engine, priest, "start");
    // The main character's name stands whole within the sentence, which ends
    // in its full stop.
    EXPECT_EQ(DrainMessages(game), (Lines{"18 Father Aldous : The sun smiles on you. The temple "
                                          "is ours again, and Hero has its thanks."}));
}

TEST(DemoScripts, TheMerchantOpensHisStoreFromTalk)
{
    auto engine = ScriptTest::EnteredDemoGame();
    auto& merchant = TownActor(*engine, "merchant");
    Converse(*engine, merchant, "start");
    EXPECT_EQ(Choices(merchant),
              (Lines{"Show me your wares. -> trade", "Any news? -> news", "Farewell. -> bye"}));
    EXPECT_EQ(merchant.GetStoreFlag(), 0u);
    Converse(*engine, merchant, "trade");
    EXPECT_EQ(merchant.GetStoreFlag(), 1u);
    EXPECT_TRUE(merchant.GetTalkQueue().empty());
    EXPECT_EQ(DrainMessages(engine->Game()).back(), "18 Merchant : Take your time and look.");
}

TEST(DemoScripts, TheBakersRatsCompleteTheCellarQuest)
{
    auto engine = ScriptTest::EnteredDemoGame();
    auto& game = engine->Game();
    auto& baker = TownActor(*engine, "baker");
    Converse(*engine, baker, "start");
    EXPECT_EQ(Choices(baker), (Lines{"Heard any news? -> rats", "Good day to you. -> bye"}));
    Converse(*engine, baker, "rats");
    Converse(*engine, baker, "accept");
    EXPECT_EQ(game.GetQuestTag("cellar_rats_assigned"), 1);
    EXPECT_EQ(game.GetQuestTag("cellar_rats"), 0);
    DrainMessages(game);

    // A rat of the wood's edge dies: its encounter's tag is set.
    game.SetGold(0);
    engine->CompleteQuest("rats", 1);
    EXPECT_EQ(DrainMessages(game),
              (Lines{"18 Your Journal has been updated.",
                     "18 The innkeeper sends word of thanks, and a purse.",
                     "19 The party has gained 50 gold.",
                     "20 The party has completed a quest for 100xp (Rats in the Cellar).",
                     "18 The party gains 100 experience each."}));
    EXPECT_EQ(game.GetQuestTag("cellar_rats"), 1);
    Converse(*engine, baker, "start");
    EXPECT_EQ(DrainMessages(game).back(),
              "18 Baker : The inn is quiet at night again. The sun bless you for that.");
}

TEST(DemoScripts, DoorTrapHeartbeatAndShrine)
{
    auto engine = ScriptTest::EnteredDemoGame();
    auto& game = engine->Game();
    const auto& module = engine->Module();
    VARD::CScriptContext atDoor;
    atDoor.actor = &Member(*engine);
    VARD::CScript* door = module.FindTileTemplate("door_crypt")->GetScript();
    EXPECT_EQ(door->Run(engine.get(), atDoor), 0);
    game.SetQuestTag("crypt_blessing", 1);
    EXPECT_EQ(door->Run(engine.get(), atDoor), 1);

    VARD::CScriptContext trapped;
    trapped.actor = &Member(*engine);
    module.FindObjectTemplate("plate")->GetTrap()->GetScript()->Run(engine.get(), trapped);

    VARD::CScriptContext ambient;
    ambient.actor = &TownActor(*engine, "baker");
    module.FindActorTemplate("baker")->GetHeartbeatScript()->Run(engine.get(), ambient);
    EXPECT_EQ(DrainMessages(game),
              (Lines{"18 The door will not move. A sign of the sun is carved on it.",
                     "18 A flagstone clicks and a bell rings somewhere below.",
                     "18 Baker : Fresh bread! Warm from the oven!"}));

    for (const auto& object : game.GetCurrentArea()->Objects())
    {
        if (object->GetDefinitionName() != "shrine")
            continue;
        Converse(*engine, *object, "start");
        EXPECT_EQ(Choices(*object),
                  (Lines{"Touch the sun sign. -> touched", "Step back. -> leave"}));
        Converse(*engine, *object, "touched");
        EXPECT_EQ(DrainMessages(game).back(),
                  "18 Shrine of the Sun : The stone is warm under your hand.");
        return;
    }
    FAIL() << "no shrine in town";
}

// However often his heartbeat comes, the necromancer calls out once a
// visit: the crypt's entry lets him call again on the next.
TEST(DemoScripts, TheNecromancerCallsOutOnceAVisit)
{
    auto engine = ScriptTest::EnteredDemoGame();
    auto& game = engine->Game();
    const auto heartbeat = engine->Module().FindActorTemplate("necromancer")->GetHeartbeatScript();
    ASSERT_NE(heartbeat, nullptr);
    int visits = 0;
    for (const std::string area : {"crypt", "forest", "crypt"})
    {
        game.SetTravel(area, area == "forest" ? "road" : "stairs");
        game.SetState(VARD::kGameTravelByScript);
        engine->LeaveArea();
        engine->EnterArea();
        DrainMessages(game);
        if (area != "crypt")
            continue;
        ++visits;
        VARD::CScriptContext near;
        near.actor = &TownActor(*engine, "necromancer");
        Lines heard;
        for (int second = 0; second < 12; ++second)
        {
            game.SetTick(game.GetTick() + 30);
            heartbeat->Run(engine.get(), near);
            for (const std::string& line : DrainMessages(game))
                heard.push_back(line);
        }
        EXPECT_EQ(heard, Lines{"18 Necromancer : Who walks in my crypt?"}) << "visit " << visits;
    }
    EXPECT_EQ(visits, 2);
}

} // namespace
