#include "record_test_util.h"

#include "world/script_record.h"
#include "world/talk_state.h"

#include <gtest/gtest.h>

using namespace VARD;
using RecordTest::CodeOf;
using RecordTest::FixtureReader;
using RecordTest::ReaderOf;
using RecordTest::SourceOf;
using RecordTest::WrappedSource;

TEST(TalkStates, FixtureBlockReadsEveryStateInFileOrder)
{
    auto reader = FixtureReader("talk.vard");
    TalkStateList states;
    ReadTalkStates(reader, states);
    ASSERT_EQ(states.size(), 4u);
    EXPECT_EQ(states[0]->GetName(), "start");
    EXPECT_EQ(states[1]->GetName(), "work");
    EXPECT_EQ(states[2]->GetName(), "start");
    EXPECT_EQ(states[3]->GetName(), "Work");
    EXPECT_EQ(SourceOf(states[0]->GetScript()),
              WrappedSource("vard_talk( context, \"Well met.\" ) vard_add_talk_path( context, "
                            "\"Any work?\", \"work\" ) "));
    EXPECT_EQ(SourceOf(states[1]->GetScript()),
              WrappedSource("vard_goto_state( context, \"start\" ) "));
    EXPECT_EQ(SourceOf(states[2]->GetScript()), WrappedSource("return 2 "));
    // The reader stands after </talk>.
    EXPECT_EQ(reader.ReadWord(), "after_talk");
}

TEST(TalkStates, AppendsToWhatTheListHolds)
{
    TalkStateList states;
    auto first = ReaderOf("<talk> <state> a <lua> x </lua> </state> </talk>");
    ReadTalkStates(first, states);
    auto second = ReaderOf("<talk> <state> b <lua> y </lua> </state> </talk>");
    ReadTalkStates(second, states);
    ASSERT_EQ(states.size(), 2u);
    EXPECT_EQ(states[0]->GetName(), "a");
    EXPECT_EQ(states[1]->GetName(), "b");
}

TEST(TalkStates, EmptyBlockGivesNoStates)
{
    auto reader = ReaderOf("<talk> </talk> rest");
    TalkStateList states;
    ReadTalkStates(reader, states);
    EXPECT_TRUE(states.empty());
    EXPECT_EQ(reader.ReadWord(), "rest");
}

TEST(TalkStates, MalformedBlocksAreCode1)
{
    for (const char* text : {
             "<state> a <lua> x </lua> </state>",   // no <talk>
             "<talk> <state> a </state> </talk>",   // no script
             "<talk> <state> a 0 </state> </talk>", // "0" and no script
             "<talk> <state> a (p q) 0 0 <lua> x </lua> </state> </talk>",
             "<talk> <stage> a <lua> x </lua> </stage> </talk>", // not a state
             "<talk> <state> a <lua> x </lua> extra </state> </talk>",
             "<talk> <state> a <lua> x </lua> </state>", // input ends
         })
    {
        auto reader = ReaderOf(text);
        TalkStateList states;
        EXPECT_EQ(CodeOf([&] { ReadTalkStates(reader, states); }), 1) << text;
    }
}

TEST(TalkStates, StateBuiltInCodeNeedsAScript)
{
    EXPECT_EQ(CodeOf([] { CTalkState("lonely", nullptr); }), 1);
    auto reader = ReaderOf("<lua> x </lua>");
    const CTalkState state("named", CScript::Create(reader));
    EXPECT_EQ(state.GetName(), "named");
    EXPECT_NE(state.GetScript(), nullptr);
}

TEST(FindTalkState, FirstExactMatch)
{
    auto reader = FixtureReader("talk.vard");
    TalkStateList states;
    ReadTalkStates(reader, states);

    // Two states named "start": the first in file order.
    EXPECT_EQ(FindTalkStateByName(states, "start"), states[0].get());
    EXPECT_EQ(FindTalkStateByName(states, "work"), states[1].get());
    EXPECT_EQ(FindTalkStateByName(states, "Work"), states[3].get());
    EXPECT_EQ(FindTalkStateByName(states, "star"), nullptr);
    EXPECT_EQ(FindTalkStateByName(states, "start "), nullptr);
    EXPECT_EQ(FindTalkStateByName(states, ""), nullptr);
    EXPECT_EQ(FindTalkStateByName(TalkStateList{}, "start"), nullptr);
}

TEST(TalkChoice, KeepsTextAndStateName)
{
    const CTalkChoice choice("Any work?", "work");
    EXPECT_EQ(choice.GetText(), "Any work?");
    EXPECT_EQ(choice.GetStateName(), "work");
}
