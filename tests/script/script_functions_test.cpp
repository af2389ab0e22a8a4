// The game functions on the demo town: what each changes in the game, the
// messages it posts and the values it gives back.

#include "script_test_util.h"

#include "world/event.h"
#include "world/faction.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/journal.h"
#include "world/module.h"
#include "world/talk_state.h"

#include <climits>

namespace
{

using RulesTest::DrainMessages;
using RulesTest::Member;
using ScriptTest::RunBody;
using ScriptTest::SharedTownActor;
using ScriptTest::TownActor;
using Lines = std::vector<std::string>;

struct TalkRun
{
    std::unique_ptr<VARD::CEngine> engine = ScriptTest::EnteredDemoGame();
    VARD::CScriptContext context;

    explicit TalkRun(const std::string& partner)
    {
        context.actor = &Member(*engine);
        if (!partner.empty())
            context.target = &TownActor(*engine, partner);
    }
    VARD::CGame& Game() { return engine->Game(); }
    std::int32_t Run(const std::string& body) { return RunBody(engine.get(), body, context); }
};

TEST(ScriptFunctions, ConversationOnThePartner)
{
    TalkRun talk("merchant");
    auto& merchant = TownActor(*talk.engine, "merchant");
    EXPECT_EQ(talk.Run("vard_talk(context, 'Hello MAINNAME') "
                       "vard_add_talk_path(context, 'Buy', 'trade') "
                       "vard_add_talk_path(context, 'Bye', 'bye') "
                       "vard_goto_state(context, 'one') vard_goto_state(context, 'two') "
                       "vard_store(context) "
                       "vard_chatter(context, 'actor', 'Hi MAINNAME') "
                       "vard_shout(context, 'target', 'Stop MAINNAME') "
                       "return vard_is_in_party(context, 'main') and "
                       "not vard_is_in_party(context, 'target') and "
                       "not vard_is_in_party(context, 'nobody') and "
                       "vard_is_main_actor(context, 'actor') and "
                       "not vard_is_main_actor(context, 'target') and "
                       "vard_get_name(context, 'target') == 'Merchant' and "
                       "vard_get_name(context, 'party') == ''"),
              1);
    EXPECT_EQ(talk.context.nextState, "two");
    EXPECT_EQ(talk.context.endTalk, 0);
    EXPECT_EQ(merchant.GetStoreFlag(), 1u);
    const auto choices = merchant.GetTalkQueue();
    ASSERT_EQ(choices.size(), 2u);
    EXPECT_EQ(choices[1]->GetText(), "Bye");
    EXPECT_EQ(choices[1]->GetStateName(), "bye");

    // The shout's box comes before its line.
    const auto events = talk.Game().GetEvents();
    const auto* box =
        dynamic_cast<const VARD::CDialogBoxEvent*>(std::next(events.begin(), 2)->get());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetFirstText(), "Merchant");
    EXPECT_EQ(box->GetSecondText(), "Merchant : Stop Hero");
    EXPECT_EQ(
        DrainMessages(talk.Game()),
        (Lines{"18 Merchant : Hello Hero", "18 Hero : Hi MAINNAME", "18 Merchant : Stop Hero"}));
    // Only people with an entry key keep what they said.
    const auto& people = talk.Game().GetPeople();
    ASSERT_EQ(people.count("merchant"), 1u);
    EXPECT_EQ(people.at("merchant")->lines,
              (std::vector<std::string>{"Merchant : Hello Hero", "Merchant : Stop Hero"}));
    EXPECT_EQ(people.size(), 1u);

    EXPECT_EQ(talk.Run("vard_add_talk_path(context, 'x', 'y') vard_end_talk(context)"), 0);
    EXPECT_EQ(talk.context.endTalk, 1);
}

TEST(ScriptFunctions, DiplomacyCheckAgainstTheBestMember)
{
    TalkRun talk("merchant");
    const std::int32_t best = talk.Game().BestPartySpecialStat(2);
    const std::string roll =
        " [Diplomacy 50 " + std::string(best >= 0 ? "+" : "") + std::to_string(best) + " vs ";
    const std::string check =
        "vard_diplomacy_check(context, " + std::to_string(best + 49) + ", 'won', 'lost')";
    talk.Run(check);
    EXPECT_EQ(talk.context.nextState, "won");
    talk.Run("vard_diplomacy_check(context, '" + std::to_string(best + 50) + "', 'won', 'lost')");
    EXPECT_EQ(talk.context.nextState, "lost");
    EXPECT_EQ(DrainMessages(talk.Game()),
              (Lines{"18 Merchant : Success" + roll + std::to_string(best + 49) + "]",
                     "18 Merchant : Fail" + roll + std::to_string(best + 50) + "]"}));
}

TEST(ScriptFunctions, PartyComingAndGoing)
{
    TalkRun talk("baker");
    auto& baker = TownActor(*talk.engine, "baker");
    talk.Run("vard_join_party(context)");
    ASSERT_EQ(talk.Game().Party().size(), 2u);
    EXPECT_EQ(baker.GetAttitude(), 0u);
    EXPECT_EQ(talk.Game().GetCurrentArea()->Actors().back().get(), &baker);
    EXPECT_EQ(talk.Run("return vard_is_in_party(context, 'baker') and "
                       "vard_get_level(context, 'baker') == vard_get_level(context, 'target')"),
              1);
    talk.Run("vard_leave_party(context)");
    EXPECT_EQ(talk.Game().Party().size(), 1u);
    EXPECT_EQ(baker.GetAttitude(), 2u);

    talk.Game().AddPartyMember(SharedTownActor(*talk.engine, "baker"));
    talk.context.target = nullptr;
    talk.Run("vard_empty_party(context)");
    EXPECT_EQ(talk.Game().Party().size(), 1u);
    std::size_t partyEvents = 0;
    while (const auto event = talk.Game().PopEvent())
        partyEvents += event->GetKind() == VARD::kEventPartyChanged ? 1 : 0;
    EXPECT_EQ(partyEvents, 3u);

    // A partner taken out of the world.
    talk.context.target = &baker;
    talk.Run("vard_remove_actor(context)");
    EXPECT_TRUE(baker.IsDead());
    EXPECT_EQ(baker.GetRemovalFlag(), 1u);
    EXPECT_EQ(talk.Run("return vard_is_dead(context, 'target') and not vard_is_dead(context, "
                       "'main') and not vard_is_dead(context, 'party')"),
              1);
}

TEST(ScriptFunctions, GoldSaturatesAndReportsLosses)
{
    TalkRun run("");
    run.Game().SetGold(30);
    run.Run("vard_give_gold(context, -50)");
    EXPECT_EQ(run.Game().GetGold(), 0);
    run.Run("vard_give_gold(context, 0) vard_give_gold(context, 'x') vard_give_gold(context, "
            "2.6)");
    EXPECT_EQ(run.Game().GetGold(), 3);
    run.Run("vard_give_gold(context, 2^31) vard_give_gold(context, 2^31)");
    EXPECT_EQ(run.Game().GetGold(), INT_MAX);
    run.Run("vard_give_gold(context, -2^31)");
    EXPECT_EQ(run.Game().GetGold(), 0);
    EXPECT_EQ(DrainMessages(run.Game()),
              (Lines{"19 The party has lost 50 gold.", "19 The party has lost 0 gold.",
                     "19 The party has lost 0 gold.", "19 The party has gained 3 gold.",
                     "19 The party has gained 2147483647 gold.",
                     "19 The party has gained 2147483647 gold.",
                     "19 The party has lost 2147483648 gold."}));
    run.Game().SetGold(77);
    EXPECT_EQ(run.Run("return vard_get_gold(context, 'party') + vard_get_gold(context, 'actor')"),
              77);
}

TEST(ScriptFunctions, TagsQuestsJournalAndTime)
{
    TalkRun run("");
    run.Game().SetTick(95);
    EXPECT_EQ(run.Run("return vard_get_time(context)"), 3);
    run.Run("vard_set_tag_value(context, 'twelve', '12') vard_set_tag_value(context, 'table', {})"
            " vard_set_tag(context, 'one')");
    EXPECT_EQ(run.Game().GetQuestTag("twelve"), 12);
    EXPECT_EQ(run.Game().GetQuestTags().at("table"), 0);
    EXPECT_EQ(run.Run("return vard_get_tag_value(context, 'twelve') + "
                      "(vard_check_tag(context, 'one') and 1 or 0) + "
                      "(vard_check_tag(context, 'table') and 100 or 0) + "
                      "vard_get_tag_value(context, 'never')"),
              13);

    EXPECT_EQ(run.Run("local before = vard_check_assigned(context, 'temple_key') "
                      "vard_assign_quest(context, 'temple_key') "
                      "vard_journal(context, 'temple_key_start', 'temple_key') "
                      "vard_journal(context, 'temple_key_start', 'temple_key') "
                      "vard_reveal_area(context, 'crypt') "
                      "return not before and vard_check_assigned(context, 'temple_key')"),
              1);
    EXPECT_EQ(run.Game().GetQuestTag("temple_key_assigned"), 1);
    ASSERT_EQ(run.Game().GetJournal().size(), 1u);
    EXPECT_EQ(run.Game().GetJournal()[0]->questName, "temple_key");
    EXPECT_EQ(run.Game().GetJournal()[0]->textName, "temple_key_start");
    EXPECT_EQ(run.Game().GetRevealed().at("crypt"), 1);
    EXPECT_EQ(DrainMessages(run.Game()),
              (Lines{"18 You have been assigned a quest (The Temple Key).",
                     "18 Your Journal has been updated.",
                     "18 A new location has been added to your map."}));

    // A quest item given by script completes what it stands for.
    run.Run("vard_give_item(context, 'temple_key')");
    EXPECT_EQ(run.Game().GetQuestTag("temple_key_found"), 1);
    EXPECT_EQ(Member(*run.engine).Backpack().back()->GetTemplate()->GetName(), "temple_key");
    EXPECT_EQ(Member(*run.engine).Backpack().back()->GetHolder(),
              static_cast<int>(Member(*run.engine).Id()));
}

TEST(ScriptFunctions, ItemsAreFoundInPartyOrderSlotsFirst)
{
    TalkRun run("baker");
    auto& hero = Member(*run.engine);
    auto& baker = TownActor(*run.engine, "baker");
    run.Game().AddPartyMember(SharedTownActor(*run.engine, "baker"));
    const auto& module = run.engine->Module();
    auto dagger = [&] { return module.CreateItem("dagger", 1, run.Game().NewThingId(5), 0); };
    const auto heroPack = dagger();
    const auto heroHand = dagger();
    const auto bakerHand = dagger();
    baker.SetEquipmentSlot(0, bakerHand);
    hero.AddBackpackItem(heroPack);
    hero.SetEquipmentSlot(0, heroHand);

    const std::string remove = "return vard_remove_item(context, 'dagger')";
    EXPECT_EQ(run.Run(remove), 1);
    EXPECT_EQ(hero.GetEquipmentSlot(0), nullptr);
    EXPECT_EQ(run.Run(remove), 1);
    EXPECT_EQ(hero.Backpack().end(),
              std::find(hero.Backpack().begin(), hero.Backpack().end(), heroPack));
    EXPECT_EQ(run.Run("return vard_has_item(context, 'dagger')"), 1);
    EXPECT_EQ(run.Run(remove), 1);
    EXPECT_EQ(baker.GetEquipmentSlot(0), nullptr);
    EXPECT_EQ(run.Run(remove + " or vard_has_item(context, 'dagger')"), 0);
}

TEST(ScriptFunctions, FactionRanksOfTheContextActor)
{
    TalkRun run("");
    EXPECT_EQ(run.Run("vard_set_faction_rank(context, 'temple', 0) "
                      "local before = vard_has_faction(context) "
                      "vard_set_faction_rank(context, 'temple', 2) "
                      "return (before and 100 or 0) + vard_get_faction_rank(context, 'temple') "
                      "* 10 + vard_get_faction_rank(context, 'town_guard')"),
              20);
    EXPECT_EQ(Member(*run.engine).GetFactionRank(), 1u);
    EXPECT_EQ(run.Run("vard_set_faction_rank(context, 'town_guard', 0) "
                      "return vard_has_faction(context)"),
              0);
    const Lines lines = DrainMessages(run.Game());
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines.front(), "18 Hero has been promoted to the rank of Acolyte.");
    EXPECT_EQ(lines.back(), "18 Hero has been expelled from the faction Temple of the Sun.");
}

TEST(ScriptFunctions, TravelRestWinAndBoxes)
{
    TalkRun run("farmer");
    auto& game = run.Game();
    game.SetCombatFlag(1);
    run.Run("vard_rest(context, 'temple')");
    EXPECT_EQ(game.GetState(), VARD::kGameRunning);
    game.SetCombatFlag(0);
    EXPECT_EQ(run.Run("vard_set_resurrection(context, 'crypt', 'stairs') "
                      "vard_set_return(context, 'temple') vard_rest(context, 'gate') "
                      "return vard_is_in_area(context, 'town') and "
                      "not vard_is_in_area(context, 'Town')"),
              1);
    EXPECT_EQ(game.GetState(), VARD::kGameRestNeeded);
    EXPECT_EQ(game.GetTravelArea() + ' ' + game.GetTravelEntry(), "town gate");
    EXPECT_EQ(game.GetResurrectionArea() + ' ' + game.GetResurrectionEntry(), "crypt stairs");
    EXPECT_EQ(game.GetEnteredArea() + ' ' + game.GetEnteredEntry(), "town temple");

    run.Run(
        "vard_goto_area(context, 'forest', 'road') vard_attack(context) "
        "vard_dialog_box(context, 'MAINNAME', 'Go, MAINNAME') vard_win(context, 'MAINNAME won')");
    EXPECT_EQ(game.GetTravelArea() + ' ' + game.GetTravelEntry(), "forest road");
    EXPECT_EQ(game.GetExitScript(), nullptr);
    EXPECT_EQ(game.GetCombatFlag(), 1);
    EXPECT_EQ(game.GetState(), VARD::kGameWon);
    EXPECT_EQ(game.GetVictoryText(), "Hero won");
    const auto* box = dynamic_cast<const VARD::CDialogBoxEvent*>(game.GetEvents().back().get());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetFirstText() + '|' + box->GetSecondText(), "MAINNAME|Go, Hero");
    EXPECT_EQ(DrainMessages(game), (Lines{"18 You cannot rest while in battle."}));

    const auto& hero = Member(*run.engine);
    EXPECT_EQ(run.Run("return vard_get_special_stat(context, 'main', 'locks')"),
              hero.GetSkillCheck(0));
    EXPECT_EQ(run.Run("return vard_get_special_stat(context, 'party', 'observation')"),
              game.BestPartySpecialStat(4));
}

} // namespace
