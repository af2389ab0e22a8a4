#include "world/quest.h"

#include "record_test_util.h"
#include "world/module.h"
#include "world/script_record.h"

#include <gtest/gtest.h>

using namespace VARD;
using RecordTest::CodeOf;
using RecordTest::FixtureReader;
using RecordTest::ReaderOf;
using RecordTest::SourceOf;

namespace
{

// A script that answers a fixed result and counts its runs.
class CountingScript : public CScript
{
public:
    explicit CountingScript(std::int32_t result) : m_Result(result) {}
    std::int32_t Run(CEngine* engine, CScriptContext& context) override
    {
        ++runs;
        lastEngine = engine;
        sawFreshContext = context.actor == nullptr && context.target == nullptr &&
                          context.endTalk == 0 && context.nextState.empty();
        return m_Result;
    }
    int runs = 0;
    CEngine* lastEngine = nullptr;
    bool sawFreshContext = false;

private:
    std::int32_t m_Result;
};

// Scripts read while it lives answer 1 when their text says "return true".
class ResultScriptFactory
{
public:
    ResultScriptFactory()
    {
        m_Previous = CScript::SetFactory(
            [](std::string source) -> std::shared_ptr<CScript>
            {
                const bool success = source.find("return true") != std::string::npos;
                return std::make_shared<CountingScript>(success ? 1 : 0);
            });
    }
    ~ResultScriptFactory() { CScript::SetFactory(m_Previous); }

private:
    CScript::Factory m_Previous;
};

CModule ModuleOfQuestsFixture()
{
    CModule module;
    auto reader = FixtureReader("records_quests.vard");
    ReadQuestsFile(reader, module);
    return module;
}

} // namespace

TEST(Quest, RecordFieldsInOrder)
{
    auto reader = ReaderOf("<quest> q \"The Quest\" 250 needed <lua> return true </lua> </quest>");
    const CQuestInfo quest(reader);
    EXPECT_EQ(quest.GetName(), "q");
    EXPECT_EQ(quest.GetDisplayName(), "The Quest");
    EXPECT_EQ(quest.GetExperience(), 250u);
    EXPECT_EQ(quest.GetRequiredTag(), "needed");
    EXPECT_EQ(SourceOf(quest.GetScript()), RecordTest::WrappedSource("return true "));
    EXPECT_TRUE(reader.IsAtEnd());
}

TEST(Quest, ScriptZeroMeansNoScript)
{
    auto reader = ReaderOf("<quest> q \"Q\" 10 0 0 </quest> next");
    const CQuestInfo quest(reader);
    EXPECT_EQ(quest.GetRequiredTag(), "");
    EXPECT_EQ(quest.GetScript(), nullptr);
    EXPECT_EQ(reader.GetCurrentWord(), "next");
}

TEST(Quest, QuestWithoutScriptNeverCompletesByScript)
{
    auto reader = ReaderOf("<quest> q \"Q\" 10 0 0 </quest>");
    const CQuestInfo quest(reader);
    QuestTagMap tags{{"anything", 1}};
    EXPECT_FALSE(quest.TestCompletion(tags, nullptr));
}

TEST(Quest, CompletionTestRunsTheScriptOnlyWhenDue)
{
    auto success = std::make_shared<CountingScript>(1);
    const CQuestInfo quest("q", "Q", 100, "needed", success);
    auto* engine = reinterpret_cast<CEngine*>(0x1000);

    QuestTagMap tags;
    EXPECT_FALSE(quest.TestCompletion(tags, engine)) << "required tag absent";
    tags["needed"] = 0;
    EXPECT_FALSE(quest.TestCompletion(tags, engine)) << "required tag cleared";
    EXPECT_EQ(success->runs, 0);

    tags["needed"] = 3;
    EXPECT_TRUE(quest.TestCompletion(tags, engine));
    EXPECT_EQ(success->runs, 1);
    EXPECT_EQ(success->lastEngine, engine);
    EXPECT_TRUE(success->sawFreshContext);

    // Completed quests are never tested again.
    tags["q"] = 1;
    EXPECT_FALSE(quest.TestCompletion(tags, engine));
    EXPECT_EQ(success->runs, 1);
    tags["q"] = 0;
    EXPECT_TRUE(quest.TestCompletion(tags, engine));
    EXPECT_EQ(success->runs, 2);
}

TEST(Quest, ScriptResultZeroLeavesTheQuestOpen)
{
    auto failure = std::make_shared<CountingScript>(0);
    const CQuestInfo quest("q", "Q", 100, "", failure);
    EXPECT_FALSE(quest.TestCompletion({}, nullptr));
    EXPECT_EQ(failure->runs, 1);
}

TEST(Quest, FailingScriptIsCode6)
{
    // Without a script host, a stored script cannot run.
    auto reader = ReaderOf("<quest> q \"Q\" 10 0 <lua> return true </lua> </quest>");
    const CQuestInfo quest(reader);
    EXPECT_EQ(CodeOf([&] { quest.TestCompletion({}, nullptr); }), 6);
}

TEST(Quest, FileStoresQuestsByNameLaterWins)
{
    const ResultScriptFactory factory;
    const CModule module = ModuleOfQuestsFixture();
    EXPECT_EQ(module.GetQuests().size(), 2u);

    const CQuestInfo* bridge = module.FindQuest("fix_bridge");
    ASSERT_NE(bridge, nullptr);
    EXPECT_EQ(bridge->GetDisplayName(), "Fix the Bridge Again");
    EXPECT_EQ(bridge->GetExperience(), 150u);
    EXPECT_EQ(bridge->GetRequiredTag(), "");
    ASSERT_NE(bridge->GetScript(), nullptr);
    // The later record's script ("return false") is the one that runs.
    EXPECT_FALSE(bridge->TestCompletion({}, nullptr));

    const CQuestInfo* tagOnly = module.FindQuest("tag_only");
    ASSERT_NE(tagOnly, nullptr);
    EXPECT_EQ(tagOnly->GetScript(), nullptr);
    EXPECT_FALSE(tagOnly->TestCompletion({}, nullptr));
}

TEST(Quest, TagIsSetOnlyWhenPresentAndNonZero)
{
    const QuestTagMap tags{{"zero", 0}, {"one", 1}, {"negative", -1}};
    EXPECT_FALSE(IsQuestTagSet(tags, "absent"));
    EXPECT_FALSE(IsQuestTagSet(tags, "zero"));
    EXPECT_TRUE(IsQuestTagSet(tags, "one"));
    EXPECT_TRUE(IsQuestTagSet(tags, "negative"));
}

struct BadQuest
{
    const char* name;
    const char* text;
};

class QuestRefused : public ::testing::TestWithParam<BadQuest>
{
};

TEST_P(QuestRefused, WithCode1)
{
    CModule module;
    auto reader = ReaderOf(GetParam().text);
    EXPECT_EQ(CodeOf([&] { ReadQuestsFile(reader, module); }), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Quest, QuestRefused,
    ::testing::Values(
        BadQuest{"UnquotedDisplayName", "<quests> <quest> q Q 10 0 0 </quest> </quests>"},
        BadQuest{"ExperienceNotANumber", "<quests> <quest> q \"Q\" lots 0 0 </quest> </quests>"},
        BadQuest{"ScriptNotClosed", "<quests> <quest> q \"Q\" 10 0 <lua> return true"},
        BadQuest{"ExtraWordBeforeEnd", "<quests> <quest> q \"Q\" 10 0 0 stray </quest> </quests>"},
        BadQuest{"OtherRecordInFile", "<quests> <journal> </journal> </quests>"},
        BadQuest{"TruncatedAfterName", "<quests> <quest> q"},
        BadQuest{"MissingFileEnd", "<quests> <quest> q \"Q\" 10 0 0 </quest>"}),
    [](const ::testing::TestParamInfo<BadQuest>& info) { return info.param.name; });
