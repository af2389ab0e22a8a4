#include "monsters_test_util.h"
#include "record_test_util.h"

#include "world/ai.h"

#include <gtest/gtest.h>

using namespace VARD;
using MonstersTest::WrittenText;
using RecordTest::CodeOf;
using RecordTest::ReaderOf;

namespace
{

// A whole <ai> block as the brain reads it.
std::shared_ptr<CAI> ReadAI(const std::string& text)
{
    auto reader = ReaderOf(text);
    reader.ReadStartTag("ai");
    std::shared_ptr<CAI> ai = CAI::Create(reader);
    reader.ReadEndTag();
    return ai;
}

template <typename T> const T& As(const std::shared_ptr<CAI>& ai)
{
    const T* typed = dynamic_cast<const T*>(ai.get());
    if (typed == nullptr)
        throw std::runtime_error("behaviour of another class");
    return *typed;
}

template <typename T> bool IsA(const CAI& ai)
{
    return dynamic_cast<const T*>(&ai) != nullptr;
}

} // namespace

TEST(AIRecord, StandReadsItsSneakFlag)
{
    EXPECT_EQ(As<CAIStand>(ReadAI("<ai> stand </ai>")).GetFlags(), 0u);
    EXPECT_EQ(As<CAIStand>(ReadAI("<ai> stand sneak </ai>")).GetFlags(), 1u);
    EXPECT_EQ(As<CAIStand>(ReadAI("<ai> stand sneak sneak </ai>")).GetFlags(), 1u);
}

// The decision step is chosen by the kind a behaviour carries: it must name
// the behaviour's own class, in the read behaviour and in its clone.
TEST(AIRecord, EveryBehaviourCarriesTheKindOfItsClass)
{
    struct Case
    {
        const char* block;
        CAI::Kind kind;
        bool (*isOfClass)(const CAI&);
    };
    const Case cases[] = {
        {"<ai> stand </ai>", CAI::Kind::kStand, &IsA<CAIStand>},
        {"<ai> charge </ai>", CAI::Kind::kCharge, &IsA<CAICharge>},
        {"<ai> wander 3 </ai>", CAI::Kind::kWander, &IsA<CAIWander>},
        {"<ai> shoot </ai>", CAI::Kind::kShoot, &IsA<CAIShoot>},
        {"<ai> forcetalk 5 </ai>", CAI::Kind::kForceTalk, &IsA<CAIForceTalk>},
        {"<ai> cast <ai> shoot </ai> </ai>", CAI::Kind::kCast, &IsA<CAICast>},
        {"<ai> autocast heal </ai>", CAI::Kind::kAutocast, &IsA<CAIAutocast>},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.block);
        const auto ai = ReadAI(c.block);
        const auto clone = ai->Clone();
        for (const CAI* behaviour : {ai.get(), clone.get()})
        {
            EXPECT_EQ(behaviour->GetKind(), c.kind);
            EXPECT_TRUE(c.isOfClass(*behaviour));
        }
    }
    EXPECT_EQ(As<CAICast>(ReadAI("<ai> cast <ai> shoot </ai> </ai>")).GetFallback()->GetKind(),
              CAI::Kind::kShoot);
}

TEST(AIRecord, ChargeReadsItsSpellcasterFlag)
{
    EXPECT_EQ(As<CAICharge>(ReadAI("<ai> charge </ai>")).GetFlags(), 0u);
    EXPECT_EQ(As<CAICharge>(ReadAI("<ai> charge spellcaster </ai>")).GetFlags(), 4u);
}

TEST(AIRecord, WanderReadsItsRadiusAndStartsWithoutHome)
{
    const auto ai = ReadAI("<ai> wander 12.5 </ai>");
    const auto& wander = As<CAIWander>(ai);
    EXPECT_DOUBLE_EQ(wander.GetRadius(), 12.5);
    EXPECT_EQ(wander.GetHomeX(), 0.0);
    EXPECT_EQ(wander.GetHomeY(), 0.0);
}

TEST(AIRecord, ShootTakesNothing)
{
    EXPECT_NO_THROW(As<CAIShoot>(ReadAI("<ai> shoot </ai>")));
    // A word after "shoot" is left for </ai>, which refuses it.
    EXPECT_EQ(CodeOf([] { ReadAI("<ai> shoot far </ai>"); }), 1);
}

TEST(AIRecord, ForceTalkReadsRangeAndTagsInOrder)
{
    const auto ai = ReadAI("<ai> forcetalk 40 met_mayor got_key </ai>");
    const auto& talk = As<CAIForceTalk>(ai);
    EXPECT_EQ(talk.GetRange(), 40u);
    EXPECT_EQ(talk.GetTags(), (std::vector<std::string>{"met_mayor", "got_key"}));
    EXPECT_TRUE(As<CAIForceTalk>(ReadAI("<ai> forcetalk 5 </ai>")).GetTags().empty());
}

TEST(AIRecord, AutocastOrsTheFlagsOfItsWords)
{
    EXPECT_EQ(As<CAIAutocast>(ReadAI("<ai> autocast </ai>")).GetFlags(), 0u);
    EXPECT_EQ(
        As<CAIAutocast>(ReadAI("<ai> autocast summon hinder aid heal damage </ai>")).GetFlags(),
        31u);
    EXPECT_EQ(As<CAIAutocast>(ReadAI("<ai> autocast heal damage </ai>")).GetFlags(), 24u);
}

TEST(AIRecord, CastReadsItsSequenceAndNestedFallback)
{
    const auto ai = ReadAI("<ai> cast s_bless s_fire-bolt s_fire-bolt <ai> cast s_heal <ai> charge "
                           "spellcaster </ai> </ai> </ai>");
    const auto& cast = As<CAICast>(ai);
    EXPECT_EQ(cast.GetSpellNames(),
              (std::vector<std::string>{"s_bless", "s_fire-bolt", "s_fire-bolt"}));
    EXPECT_EQ(cast.GetPosition(), 0u);
    EXPECT_EQ(cast.GetLastCastTick(), 0u);
    EXPECT_FALSE(cast.IsSorted());
    EXPECT_FALSE(cast.HasNoPotion());
    const auto& inner = As<CAICast>(cast.GetFallback());
    EXPECT_EQ(inner.GetSpellNames(), (std::vector<std::string>{"s_heal"}));
    EXPECT_EQ(As<CAICharge>(inner.GetFallback()).GetFlags(), 4u);
}

TEST(AIRecord, CastWithoutSpellsUsesItsFallbackAlone)
{
    const auto ai = ReadAI("<ai> cast <ai> shoot </ai> </ai>");
    const auto& cast = As<CAICast>(ai);
    EXPECT_TRUE(cast.GetSpellNames().empty());
    EXPECT_NO_THROW(As<CAIShoot>(cast.GetFallback()));
}

TEST(AIRecord, BadBlocksAreCode1)
{
    const char* const bad[] = {
        "<ai> fly </ai>",                        // no such behaviour
        "<ai> Stand </ai>",                      // keywords are lower case
        "<ai> </ai>",                            // no keyword at all
        "<ai> stand run </ai>",                  // word outside the stand list
        "<ai> charge sneak </ai>",               // word outside the charge list
        "<ai> autocast fire </ai>",              // word outside the autocast list
        "<ai> cast s_heal </ai>",                // the fallback is required
        "<ai> cast s_heal <tags> </tags> </ai>", // a tag is no spell name
        "<ai> cast s_heal <ai> </ai> </ai>",     // an empty fallback
        "<ai> wander far </ai>",                 // the radius is a number
        "<ai> wander </ai>",                     // and it is required
        "<ai> forcetalk near </ai>",             // the range is a number
        "<ai> stand sneak",                      // the input ends inside the block
        "<ai> cast s_heal",                      // likewise
    };
    for (const char* text : bad)
        EXPECT_EQ(CodeOf([text] { ReadAI(text); }), 1) << text;
}

TEST(AIRecord, CloneKeepsSettingsAndDropsRunState)
{
    auto wander = ReadAI("<ai> wander 7 </ai>");
    auto state = ReaderOf("<ai-wander> 3.5 4.5 </ai-wander>");
    wander->ReadState(state);
    ASSERT_EQ(As<CAIWander>(wander).GetHomeX(), 3.5);
    const auto wanderClone = wander->Clone();
    EXPECT_NE(wanderClone.get(), wander.get());
    EXPECT_DOUBLE_EQ(As<CAIWander>(wanderClone).GetRadius(), 7.0);
    EXPECT_EQ(As<CAIWander>(wanderClone).GetHomeX(), 0.0);
    EXPECT_EQ(As<CAIWander>(wanderClone).GetHomeY(), 0.0);

    auto autocast = ReadAI("<ai> autocast summon aid </ai>");
    auto timers = ReaderOf("<ai-autocast> 10 20 30 </ai-autocast>");
    autocast->ReadState(timers);
    const auto autocastClone = autocast->Clone();
    EXPECT_EQ(As<CAIAutocast>(autocastClone).GetFlags(), 5u);
    EXPECT_EQ(As<CAIAutocast>(autocastClone).GetNextSummonTick(), 0u);
    EXPECT_EQ(As<CAIAutocast>(autocastClone).GetNextHinderTick(), 0u);
    EXPECT_EQ(As<CAIAutocast>(autocastClone).GetNextAidTick(), 0u);

    const auto talk = ReadAI("<ai> forcetalk 30 a b </ai>");
    const auto talkClone = talk->Clone();
    EXPECT_EQ(As<CAIForceTalk>(talkClone).GetRange(), 30u);
    EXPECT_EQ(As<CAIForceTalk>(talkClone).GetTags(), (std::vector<std::string>{"a", "b"}));

    EXPECT_EQ(As<CAIStand>(ReadAI("<ai> stand sneak </ai>")->Clone()).GetFlags(), 1u);
    EXPECT_EQ(As<CAICharge>(ReadAI("<ai> charge spellcaster </ai>")->Clone()).GetFlags(), 4u);
    EXPECT_NO_THROW(As<CAIShoot>(ReadAI("<ai> shoot </ai>")->Clone()));
}

TEST(AIRecord, CastCloneOwnsAFreshCloneOfItsFallback)
{
    auto cast = ReadAI("<ai> cast s_a s_b <ai> wander 5 </ai> </ai>");
    auto state = ReaderOf("<ai-cast> 2 900 <ai-wander> 1 2 </ai-wander> </ai-cast>");
    cast->ReadState(state);
    ASSERT_EQ(As<CAICast>(cast).GetPosition(), 2u);
    ASSERT_EQ(As<CAICast>(cast).GetLastCastTick(), 900u);

    const auto clone = cast->Clone();
    const auto& copy = As<CAICast>(clone);
    EXPECT_EQ(copy.GetSpellNames(), (std::vector<std::string>{"s_a", "s_b"}));
    EXPECT_EQ(copy.GetPosition(), 0u);
    EXPECT_EQ(copy.GetLastCastTick(), 0u);
    EXPECT_NE(copy.GetFallback().get(), As<CAICast>(cast).GetFallback().get());
    EXPECT_DOUBLE_EQ(As<CAIWander>(copy.GetFallback()).GetRadius(), 5.0);
    EXPECT_EQ(As<CAIWander>(copy.GetFallback()).GetHomeX(), 0.0);
}

TEST(AIRecord, BehavioursWithoutRunStateWriteAndReadNothing)
{
    for (const char* text : {"<ai> stand sneak </ai>", "<ai> charge </ai>", "<ai> shoot </ai>",
                             "<ai> forcetalk 10 t </ai>"})
    {
        const auto ai = ReadAI(text);
        EXPECT_EQ(WrittenText([&](VARDCommon::CTagFileWriter& w) { ai->WriteState(w); }), "")
            << text;
        // Nothing is consumed: the next record is still there.
        auto reader = ReaderOf("<next>");
        ai->ReadState(reader);
        EXPECT_TRUE(reader.IsStartTag("next")) << text;
    }
}

// Each record read from its text and written again gives the same bytes.
TEST(AIRecord, StateRecordsRoundTripByteForByte)
{
    struct Case
    {
        const char* ai;
        const char* state;
    };
    const Case cases[] = {
        {"<ai> wander 10 </ai>", "<ai-wander>\n 12.5\n -3.25\n</ai-wander>\n"},
        {"<ai> wander 10 </ai>", "<ai-wander>\n 0\n 0\n</ai-wander>\n"},
        {"<ai> autocast summon </ai>", "<ai-autocast>\n 4012\n 0\n 4294967295\n</ai-autocast>\n"},
        {"<ai> cast s_a <ai> charge </ai> </ai>", "<ai-cast>\n 1\n 36000\n</ai-cast>\n"},
        {"<ai> cast s_a <ai> cast s_b <ai> autocast heal </ai> </ai> </ai>",
         "<ai-cast>\n 1\n 30\n <ai-cast>\n  0\n  0\n  <ai-autocast>\n   7\n   8\n   9\n"
         "  </ai-autocast>\n </ai-cast>\n</ai-cast>\n"},
    };
    for (const Case& c : cases)
    {
        const auto ai = ReadAI(c.ai);
        auto reader = ReaderOf(c.state);
        ai->ReadState(reader);
        EXPECT_TRUE(reader.IsAtEnd()) << c.state;
        EXPECT_EQ(WrittenText([&](VARDCommon::CTagFileWriter& w) { ai->WriteState(w); }), c.state);
    }
}

TEST(AIRecord, StateRecordsReadTheirFieldsInOrder)
{
    const auto autocast = ReadAI("<ai> autocast </ai>");
    auto reader = ReaderOf("<ai-autocast> 1 2 3 </ai-autocast>");
    autocast->ReadState(reader);
    EXPECT_EQ(As<CAIAutocast>(autocast).GetNextSummonTick(), 1u);
    EXPECT_EQ(As<CAIAutocast>(autocast).GetNextHinderTick(), 2u);
    EXPECT_EQ(As<CAIAutocast>(autocast).GetNextAidTick(), 3u);

    const auto wander = ReadAI("<ai> wander 1 </ai>");
    auto home = ReaderOf("<ai-wander> 8.5 -1 </ai-wander>");
    wander->ReadState(home);
    EXPECT_EQ(As<CAIWander>(wander).GetHomeX(), 8.5);
    EXPECT_EQ(As<CAIWander>(wander).GetHomeY(), -1.0);
}

TEST(AIRecord, StateOfAnotherBehaviourIsCode1)
{
    const auto wander = ReadAI("<ai> wander 1 </ai>");
    auto reader = ReaderOf("<ai-cast> 1 2 </ai-cast>");
    EXPECT_EQ(CodeOf([&] { wander->ReadState(reader); }), 1);

    // The fallback's own record must stand inside the cast record.
    const auto cast = ReadAI("<ai> cast s_a <ai> wander 3 </ai> </ai>");
    auto missing = ReaderOf("<ai-cast> 1 2 </ai-cast>");
    EXPECT_EQ(CodeOf([&] { cast->ReadState(missing); }), 1);

    const auto autocast = ReadAI("<ai> autocast </ai>");
    auto shortRecord = ReaderOf("<ai-autocast> 1 2 </ai-autocast>");
    EXPECT_EQ(CodeOf([&] { autocast->ReadState(shortRecord); }), 1);
}

namespace
{

// An <ai> block of that many cast behaviours, each falling back on the next,
// ending in stand.
std::string CastChain(int casts)
{
    std::string text;
    for (int i = 0; i < casts; ++i)
        text += "<ai> cast fire_bolt ";
    text += "<ai> stand </ai>";
    for (int i = 0; i < casts; ++i)
        text += " </ai>";
    return text;
}

} // namespace

TEST(AIRecord, CastChainsNestAtMost32Deep)
{
    const auto deepest = ReadAI(CastChain(32));
    const CAI* ai = deepest.get();
    int casts = 0;
    while (const auto* cast = dynamic_cast<const CAICast*>(ai))
    {
        ai = cast->GetFallback().get();
        ++casts;
    }
    EXPECT_EQ(casts, 32);
    EXPECT_NE(dynamic_cast<const CAIStand*>(ai), nullptr);

    EXPECT_EQ(CodeOf([] { ReadAI(CastChain(33)); }), 1);
    // Deep enough to overflow the stack if each fallback were read in turn.
    EXPECT_EQ(CodeOf([] { ReadAI(CastChain(200000)); }), 1);
}
