#include "record_test_util.h"

#include "world/script_record.h"

#include <gtest/gtest.h>

using namespace VARD;
using RecordTest::CodeOf;
using RecordTest::ReaderOf;
using RecordTest::SourceOf;
using RecordTest::WrappedSource;

TEST(ScriptCreate, LuaBlockKeepsItsWordsOnOneLine)
{
    auto reader = ReaderOf("<lua> return true </lua> next");
    const auto script = CScript::Create(reader);
    ASSERT_NE(script, nullptr);
    EXPECT_EQ(SourceOf(script), "function vard_script( context )\nreturn true \nend\n");
    EXPECT_EQ(reader.ReadWord(), "next");
}

TEST(ScriptCreate, BlanksAndLineBreaksBecomeOneBlank)
{
    auto reader = ReaderOf("<lua>\n  vard_talk(   context,\n\t\"Hello    there\" )\n</lua>");
    const auto script = CScript::Create(reader);
    EXPECT_EQ(SourceOf(script), WrappedSource("vard_talk( context, \"Hello there\" ) "));
    EXPECT_TRUE(reader.IsAtEnd());
}

TEST(ScriptCreate, HashWordDropsTheRestOfItsLine)
{
    // The Lua length operator glued to its operand reads as a comment.
    auto reader = ReaderOf("<lua> local n = #list + 1\n return n </lua>");
    const auto script = CScript::Create(reader);
    EXPECT_EQ(SourceOf(script), WrappedSource("local n = return n "));
}

TEST(ScriptCreate, EmptyBlockIsAScriptWithAnEmptyBody)
{
    auto reader = ReaderOf("<lua> </lua>");
    const auto script = CScript::Create(reader);
    ASSERT_NE(script, nullptr);
    EXPECT_EQ(SourceOf(script), WrappedSource(""));
}

TEST(ScriptCreate, LeadingPairsAndZeroReadTheSameScript)
{
    const std::string plain = "<lua> return 7 </lua> after";
    for (const std::string& text :
         {plain, "(a b) (c d) 0 " + plain, "( a b ) " + plain, "0 " + plain})
    {
        auto reader = ReaderOf(text);
        const auto script = CScript::Create(reader);
        EXPECT_EQ(SourceOf(script), WrappedSource("return 7 ")) << text;
        EXPECT_EQ(reader.ReadWord(), "after") << text;
    }
}

TEST(ScriptCreate, ZeroEndsThePairsAndIsConsumed)
{
    auto reader = ReaderOf("0 <lua> return 1 </lua>");
    // The "0" ends the pairs; the block after it is read as the script.
    EXPECT_NE(CScript::Create(reader), nullptr);

    auto second = ReaderOf("0 0 <lua> x </lua>");
    EXPECT_EQ(CScript::Create(second), nullptr);
    EXPECT_EQ(second.GetCurrentWord(), "0");
}

TEST(ScriptCreate, NoScriptLeavesTheWordUnread)
{
    auto reader = ReaderOf("(p q) gate_open reset");
    EXPECT_EQ(CScript::Create(reader), nullptr);
    EXPECT_EQ(reader.ReadWord(), "gate_open");

    auto atEnd = ReaderOf("");
    EXPECT_EQ(CScript::Create(atEnd), nullptr);
}

TEST(ScriptCreate, MalformedBlocksAreCode1)
{
    for (const char* text : {"<lua> return true", "<lua> return true </script>",
                             "(a b c) <lua> x </lua>", "(a) <lua> x </lua>"})
    {
        auto reader = ReaderOf(text);
        EXPECT_EQ(CodeOf([&] { CScript::Create(reader); }), 1) << text;
    }
}

TEST(ScriptCreate, EndTagOfAnotherElementIsPartOfTheBody)
{
    auto reader = ReaderOf("<state> <lua> x </state> y </lua> </state>");
    reader.ReadStartTag("state");
    const auto script = CScript::Create(reader);
    EXPECT_EQ(SourceOf(script), WrappedSource("x </state> y "));
    EXPECT_NO_THROW(reader.ReadEndTag());
}

TEST(ScriptRun, WithoutHostIsCode6AndStoresTheEngine)
{
    auto reader = ReaderOf("<lua> return true </lua>");
    const auto script = CScript::Create(reader);
    ASSERT_NE(script, nullptr);
    CScriptContext context;
    context.nextState = "kept";
    auto* engine = reinterpret_cast<CEngine*>(&context);
    EXPECT_EQ(CodeOf([&] { script->Run(engine, context); }), 6);
    EXPECT_EQ(context.engine, engine);
    EXPECT_EQ(context.endTalk, 0);
    EXPECT_EQ(context.nextState, "kept");
}

TEST(ScriptContext, StartsEmpty)
{
    const CScriptContext context;
    EXPECT_EQ(context.engine, nullptr);
    EXPECT_EQ(context.actor, nullptr);
    EXPECT_EQ(context.target, nullptr);
    EXPECT_EQ(context.endTalk, 0);
    EXPECT_TRUE(context.nextState.empty());
}

namespace
{

// A script as a host would make it: it answers with a fixed number.
class CFixedScript : public CScript
{
public:
    CFixedScript(std::string source, std::int32_t result)
        : m_Source(std::move(source)), m_Result(result)
    {
    }
    std::int32_t Run(CEngine* engine, CScriptContext& context) override
    {
        context.engine = engine;
        return m_Result;
    }
    std::string m_Source;
    std::int32_t m_Result;
};

// Puts back whatever factory was installed, even when a test fails.
class FactoryGuard
{
public:
    explicit FactoryGuard(CScript::Factory factory)
        : m_Previous(CScript::SetFactory(std::move(factory)))
    {
    }
    ~FactoryGuard() { CScript::SetFactory(m_Previous); }

private:
    CScript::Factory m_Previous;
};

} // namespace

TEST(ScriptFactory, InstalledFactoryMakesTheScripts)
{
    std::string seen;
    {
        FactoryGuard guard(
            [&](std::string source) -> std::shared_ptr<CScript>
            {
                seen = source;
                return std::make_shared<CFixedScript>(std::move(source), 42);
            });
        auto reader = ReaderOf("<lua> return 42 </lua>");
        const auto script = CScript::Create(reader);
        ASSERT_NE(script, nullptr);
        CScriptContext context;
        EXPECT_EQ(script->Run(nullptr, context), 42);
        EXPECT_EQ(seen, WrappedSource("return 42 "));
    }
    // Back to scripts that only keep their text.
    auto reader = ReaderOf("<lua> return 42 </lua>");
    EXPECT_EQ(SourceOf(CScript::Create(reader)), WrappedSource("return 42 "));
}

TEST(ScriptFactory, EmptyFactoryRestoresTextScripts)
{
    FactoryGuard guard([](std::string source) -> std::shared_ptr<CScript>
                       { return std::make_shared<CFixedScript>(std::move(source), 1); });
    const CScript::Factory previous = CScript::SetFactory({});
    EXPECT_TRUE(static_cast<bool>(previous));
    auto reader = ReaderOf("<lua> x </lua>");
    EXPECT_EQ(SourceOf(CScript::Create(reader)), WrappedSource("x "));
}

TEST(ScriptFactory, FactoryThatMakesNothingIsCode1)
{
    FactoryGuard guard([](std::string) -> std::shared_ptr<CScript> { return nullptr; });
    auto reader = ReaderOf("<lua> x </lua>");
    EXPECT_EQ(CodeOf([&] { CScript::Create(reader); }), 1);
}

TEST(ScriptCreate, IsAtScriptOnlyWhereABlockOrItsPairsBegin)
{
    for (const char* text : {"<lua> x </lua>", "(a b) <lua> x </lua>", "( a b ) 0 <lua> x </lua>"})
    {
        const auto reader = ReaderOf(text);
        EXPECT_TRUE(IsAtScript(reader)) << text;
    }
    for (const char* text : {"0 <lua> x </lua>", "s_spell", "45", "<luax>", ""})
    {
        const auto reader = ReaderOf(text);
        EXPECT_FALSE(IsAtScript(reader)) << text;
    }
}
