#include "world/game.h"

#include "common/exception.h"
#include "world/thing.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace VARD;

TEST(GameRecord, ConstructedAndReset)
{
    CGame game;
    EXPECT_EQ(game.GetState(), kGameConstructed);
    EXPECT_EQ(game.GetNextThingNumber(), 1u);
    game.SetTravel("town", "gate");
    game.SetResurrection("temple", "altar");
    game.SetGold(50);
    game.SetTick(900);
    game.SetCombatFlag(1);
    game.SetNextAmbienceTick(1200);
    game.Reset();
    EXPECT_EQ(game.GetState(), kGameDestinationKnown);
    EXPECT_EQ(game.GetTravelArea(), "");
    EXPECT_EQ(game.GetTravelEntry(), "");
    EXPECT_EQ(game.GetResurrectionArea(), "");
    EXPECT_EQ(game.GetResurrectionEntry(), "");
    EXPECT_EQ(game.GetNextAmbienceTick(), 0u);
    EXPECT_EQ(game.GetGold(), 0);
    EXPECT_EQ(game.GetTick(), 0u);
    EXPECT_EQ(game.GetCombatFlag(), 0);
}

TEST(GameRecord, ThingIdsCountFromOneAndGrowOnFailure)
{
    CGame game;
    EXPECT_EQ(game.NewThingId(kThingKindActor), 0x03000001u);
    EXPECT_EQ(game.NewThingId(kThingKindItem), 0x05000002u);
    EXPECT_THROW(
        {
            try
            {
                game.NewThingId(256);
            }
            catch (const CVARDException& e)
            {
                EXPECT_EQ(e.GetCode(), 2);
                throw;
            }
        },
        CVARDException);
    EXPECT_EQ(game.NewThingId(kThingKindObject), 0x02000004u);
    game.SetNextThingNumber(0xFFFFFFu);
    EXPECT_EQ(game.NewThingId(kThingKindItem), 0x05FFFFFFu);
    EXPECT_THROW(game.NewThingId(kThingKindItem), CVARDException);
}

TEST(GameRecord, CalendarSplitsTicks)
{
    CGame game;
    CGameTime start = game.SplitTime(0);
    EXPECT_EQ(start.day, 1);
    EXPECT_EQ(start.month, 0);
    EXPECT_EQ(start.hour, 0);
    const std::uint32_t month = 30u * 3600u * 24u * 30u;
    CGameTime later = game.SplitTime(month);
    EXPECT_EQ(later.day, 1);
    EXPECT_EQ(later.month, 1);
    // 1 hour 1 minute 1 second and a fraction of a second.
    CGameTime time = game.SplitTime(30 * 3661 + 29);
    EXPECT_EQ(time.hour, 1);
    EXPECT_EQ(time.minute, 1);
    EXPECT_EQ(time.second, 1);
    game.SetStartDate(1200, 359, 23);
    CGameTime wrap = game.SplitTime(30 * 3600);
    EXPECT_EQ(wrap.hour, 0);
    EXPECT_EQ(wrap.day, 1);
    EXPECT_EQ(wrap.month, 0);
    EXPECT_EQ(wrap.year, 1201);
    // The calendar is signed: an hour and a day before the start still fall
    // inside their ranges, in the year before.
    game.SetStartDate(-5, 0, -1);
    CGameTime early = game.SplitTime(0);
    EXPECT_EQ(early.hour, 23);
    EXPECT_EQ(early.day, 30);
    EXPECT_EQ(early.month, 11);
    EXPECT_EQ(early.year, -6);
    EXPECT_EQ(game.FormatDateTime(30 * 3600), "January 1, -5 12:00am");
    game.SetStartDate(0x7FFFFFFF, 360, 0x7FFFFFFF);
    EXPECT_EQ(game.SplitTime(0).year, 0x7FFFFFFFLL + 1 + 0x7FFFFFFF / 24 / 360);
}

TEST(GameRecord, DateTextUsesTwelveHourClock)
{
    CGame game;
    game.SetStartDate(1000, 0, 0);
    const std::string january = game.FormatDateTime(0);
    EXPECT_EQ(january, "January 1, 1000 12:00am");
    EXPECT_EQ(game.FormatDateTime(30u * 3600u * 24u * 31u + 30u * 60u * 65u),
              "February 2, 1000 1:05am");
    struct Case
    {
        std::uint32_t hour, minute;
        const char* time;
    } cases[] = {{0, 5, "12:05am"}, {9, 30, "9:30am"}, {12, 0, "12:00pm"}, {23, 59, "11:59pm"}};
    for (const auto& c : cases)
    {
        const std::string text = game.FormatDateTime(30 * (c.hour * 3600 + c.minute * 60));
        EXPECT_EQ(text.substr(text.size() - std::string(c.time).size()), c.time) << text;
        EXPECT_EQ(text.substr(text.size() - std::string(c.time).size() - 1, 1), " ") << text;
    }
}

TEST(GameRecord, EventsDrainInPostingOrder)
{
    CGame game;
    game.AddMessage(kMessageMeleeHit, "first");
    game.AddMessage(kMessageInfo, "");
    game.AddActorInfo(kEventActorHitPoints, 0x03000007u);
    game.PostEvent(std::make_shared<CDialogBoxEvent>("Title", "Body"));
    auto first = std::dynamic_pointer_cast<CMessageEvent>(game.PopEvent());
    ASSERT_TRUE(first);
    EXPECT_EQ(first->GetKind(), kMessageMeleeHit);
    EXPECT_EQ(first->GetText(), "first");
    auto empty = std::dynamic_pointer_cast<CMessageEvent>(game.PopEvent());
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->GetText(), "");
    auto info = std::dynamic_pointer_cast<CActorInfoEvent>(game.PopEvent());
    ASSERT_TRUE(info);
    EXPECT_EQ(info->GetActorId(), 0x03000007u);
    EXPECT_EQ(game.PopEvent()->GetKind(), kEventDialogBox);
    EXPECT_EQ(game.PopEvent(), nullptr);
}

// Waiting message lines keep the newest within the log's bounds, whichever
// way they were posted and however many were drained between; other events
// all stay, in order.
TEST(GameRecord, QueuedLinesKeepTheNewestAndEveryOtherEvent)
{
    CGame game;
    game.AddMessage(kMessageInfo, "drained");
    game.PopEvent();
    game.AddActorInfo(kEventActorHitPoints, 1);
    for (std::size_t n = 0; n <= kMessageLogLines; ++n)
    {
        game.PostEvent(std::make_shared<CMessageEvent>(kMessageInfo, std::to_string(n)));
        if (n == 5000)
            game.PostEvent(std::make_shared<CInfoEvent>(kEventPartyChanged));
    }
    std::vector<std::string> lines;
    std::vector<std::int32_t> others;
    while (const auto event = game.PopEvent())
    {
        if (const auto* message = dynamic_cast<const CMessageEvent*>(event.get()))
            lines.push_back(message->GetText());
        else
            others.push_back(event->GetKind());
    }
    ASSERT_EQ(lines.size(), kMessageLogLines);
    EXPECT_EQ(lines.front(), "1");
    EXPECT_EQ(lines.back(), std::to_string(kMessageLogLines));
    EXPECT_EQ(others, (std::vector<std::int32_t>{kEventActorHitPoints, kEventPartyChanged}));
    // By bytes: a line longer than the bound stays alone, the newest.
    game.AddMessage(kMessageInfo, "older");
    game.AddMessage(kMessageInfo, std::string(kMessageLogBytes + 1, 'x'));
    EXPECT_EQ(game.PopEvent()->KeptBytes(), kMessageLogBytes + 1);
    EXPECT_EQ(game.PopEvent(), nullptr);
}

TEST(GameRecord, GoldNeverBelowZeroAndTagsDefaultToZero)
{
    CGame game;
    game.SetGold(-5);
    EXPECT_EQ(game.GetGold(), 0);
    EXPECT_EQ(game.GetQuestTag("never"), 0);
    game.SetQuestTag("door", 2);
    EXPECT_EQ(game.GetQuestTag("door"), 2);
    game.RevealArea("forest");
    EXPECT_EQ(game.GetRevealed().at("forest"), 1);
    auto message = std::dynamic_pointer_cast<CMessageEvent>(game.PopEvent());
    ASSERT_TRUE(message);
    EXPECT_EQ(message->GetText(), "A new location has been added to your map.");
}

TEST(GameRecord, JournalUpdatesOncePerQuestAndText)
{
    CGame game;
    game.SetTick(450);
    game.UpdateJournal("temple_key", "temple_key_start");
    game.UpdateJournal("temple_key", "temple_key_start");
    game.UpdateJournal("", "temple_key_start");
    ASSERT_EQ(game.GetJournal().size(), 2u);
    EXPECT_EQ(game.GetJournal()[0]->questName, "temple_key");
    EXPECT_EQ(game.GetJournal()[0]->tick, 450u);
    int reports = 0;
    while (auto event = game.PopEvent())
    {
        auto message = std::dynamic_pointer_cast<CMessageEvent>(event);
        ASSERT_TRUE(message);
        EXPECT_EQ(message->GetText(), "Your Journal has been updated.");
        ++reports;
    }
    EXPECT_EQ(reports, 2);
}
