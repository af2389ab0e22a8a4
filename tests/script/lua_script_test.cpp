// The script host: how a script block becomes a source, what a run gives
// back, how failures leave it, and what a script cannot reach.

#include "scratch_files.h"
#include "script_test_util.h"

#include "world/game.h"
#include "world/module.h"
#include "world/quest.h"

#include <lua.hpp>

#include <climits>
#include <filesystem>
#include <memory>

namespace
{

using ScriptTest::FailureCode;
using ScriptTest::RunBody;

TEST(LuaScript, SourceIsTheBodyOnOneLineInsideTheWrapper)
{
    const auto script = ScriptTest::ReadScript("(a b) (c d) 0 <lua> return\n\n  true </lua>");
    ASSERT_TRUE(script);
    const auto& lua = dynamic_cast<const VARD::CLuaScript&>(*script);
    EXPECT_EQ(lua.GetSource(), "function vard_script( context )\nreturn true \nend\n");
    EXPECT_EQ(RunBody(nullptr, "return true"), 1);
    // A line comment swallows the rest of the one-line body, not the end.
    EXPECT_EQ(RunBody(nullptr, "return 4 -- return 5"), 4);
    EXPECT_EQ(RunBody(nullptr, "-- return 5"), 0);
}

TEST(LuaScript, ResultConversions)
{
    const struct
    {
        const char* body;
        std::int32_t result;
    } cases[] = {
        {"return true", 1},
        {"return false", 0},
        {"", 0},
        {"return nil", 0},
        {"return {}", 0},
        {"return 2.6", 3},
        {"return -2.6", -3},
        {"return 2.5", 2},
        {"return 3.5", 4},
        {"return '7'", 7},
        {"return ' 0x10 '", 16},
        {"return 'seven'", 0},
        {"return 0/0", 0},
        {"return 1e300", INT_MAX},
        {"return -1e300", INT_MIN},
        {"return 2147483647.4", INT_MAX},
        {"return vard_script", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RunBody(nullptr, c.body), c.result) << c.body;
}

TEST(LuaScript, EveryFailureIsCodeSix)
{
    const char* bodies[] = {
        "return (",                           // syntax
        "error('no')",                        // runtime
        "undefined_function()",               // a nil global called
        "end vard_script = nil function x()", // nothing to call
        // Fetching vard_script fails, under protection.
        ("end setmetatable(_G, {__index = function() error('x') end}) vard_script = nil "
         "function x()"),
        "vard_talk(context, 'hello')",       // talk outside a conversation
        "vard_message(context, {})",         // not a text
        "vard_get_level(context, 'nobody')", // no such actor
        "vard_message(1, 'x')",              // not the context
        "vard_message(nil, 'x')",            // nor this
    };
    auto engine = ScriptTest::EnteredDemoGame();
    for (const char* body : bodies)
        EXPECT_EQ(FailureCode(engine.get(), body), 6) << body;
}

TEST(LuaScript, FixedErrorTexts)
{
    // The errors are Lua errors: a script may catch them and read their text.
    auto engine = ScriptTest::EnteredDemoGame();
    const struct
    {
        const char* call;
        const char* text;
    } cases[] = {
        {"vard_message, 42, 'x'", "Script didn't propagate context"},
        {"vard_message, nil, 'x'", "Script didn't propagate context"},
        {"vard_talk, context, 'x'", "Talk used in non-talk script"},
        {"vard_talk, 42", "Script didn't propagate context"},
        {"vard_chatter, context, 'nobody', {}", "Bad actor param"},
        {"vard_journal, context, 1, {}", "Bad string arg"},
        {"vard_message, context", "Bad string arg"},
        {"vard_message, context, true", "Bad string arg"},
        {"vard_get_name, context, 'target'", "Bad actor param"},
        {"vard_get_level, context, 'innkeeper'", "Bad actor param"},
        {"vard_give_item, context, 'no_such_item'", "internal error"},
        {"vard_get_special_stat, context, 'party', 'luck'", "internal error"},
        {"vard_assign_quest, context, 'no_such_quest'", "internal error"},
    };
    VARD::CScriptContext context;
    context.actor = &RulesTest::Member(*engine);
    for (const auto& c : cases)
    {
        const std::string body = std::string("local ok, e = pcall(") + c.call +
                                 ") return not ok and e == \"" + c.text + "\\n\"";
        EXPECT_EQ(RunBody(engine.get(), body, context), 1) << c.call;
    }
}

// What plain Lua says of a source named by its whole text.
std::string PlainLuaFailure(const std::string& source)
{
    std::unique_ptr<lua_State, void (*)(lua_State*)> state(luaL_newstate(), lua_close);
    lua_State* lua = state.get();
    lua_pushcfunction(lua, luaopen_base);
    lua_call(lua, 0, 0);
    if (luaL_loadbuffer(lua, source.data(), source.size(), source.c_str()) == 0 &&
        lua_pcall(lua, 0, 0, 0) == 0)
    {
        lua_getglobal(lua, "vard_script");
        if (lua_pcall(lua, 0, 0, 0) == 0)
            return "no failure";
    }
    return lua_tostring(lua, -1);
}

TEST(LuaScript, FailuresNameTheChunkByTheStartOfItsText)
{
    const std::string longLine(70, 'x');
    const std::string sources[] = {
        "function vard_script( context )\nerror( 'boom' )\nend\n",
        "-- " + longLine + "\nfunction vard_script( context ) error( 'boom' ) end",
        // First lines of 43 and 44 characters: shown whole, then cut.
        "-- " + std::string(40, 'y') + "\nfunction vard_script() error( 'a' ) end",
        "-- " + std::string(41, 'y') + "\r\nfunction vard_script() error( 'a' ) end",
        "function vard_script() error( 'no line break at all' ) end",
        "function vard_script() return (",
        "return (",
        "=" + longLine + longLine + "\nreturn (",
        "=short\nreturn (",
        "=" + longLine + longLine + "\nfunction vard_script() error( 'a' ) end",
        "-- " + longLine + "\nfunction vard_script() return (",
        "@" + longLine + longLine + "\nreturn (",
    };
    for (const std::string& source : sources)
    {
        VARD::CLuaScript script(source);
        VARD::CScriptContext context;
        std::string message;
        try
        {
            script.Run(nullptr, context);
        }
        catch (const CVARDException& failure)
        {
            message = failure.GetDetail();
        }
        EXPECT_EQ(message, "script failed: " + PlainLuaFailure(source)) << source;
    }
}

TEST(LuaScript, GameFailuresKeepTheirCodeWherePassedOn)
{
    // Without a game the engine's game look-up fails with code 2.
    VARD::InstallLuaScriptHost();
    VARD::CEngine engine;
    try
    {
        // Not even the script's own pcall stops the failure.
        RunBody(&engine, "pcall(vard_get_time, context) return 5");
        FAIL() << "the run did not fail";
    }
    catch (const CVARDException& error)
    {
        EXPECT_EQ(error.GetCode(), 2);
    }
    EXPECT_EQ(FailureCode(&engine, "return vard_check_tag(context, 'x')"), 6);
    EXPECT_EQ(RunBody(&engine, "local ok, e = pcall(vard_check_tag, context, 'x') "
                               "return e == 'internal error\\n'"),
              1);
}

TEST(LuaScript, SandboxReachesNothingOutside)
{
    EXPECT_EQ(RunBody(nullptr, "return io == nil and dofile == nil and loadfile == nil and "
                               "load == nil and loadstring == nil and require == nil and "
                               "package == nil and debug == nil and print == nil and "
                               "os.execute == nil and os.remove == nil and os.exit == nil and "
                               "os.getenv == nil and os.rename == nil and "
                               "type(os.time) == 'function' and type(os.clock) == 'function' and "
                               "type(os.date) == 'function' and string.rep('ab', 2) == 'abab' and "
                               "math.floor(2.5) == 2 and table.concat({1, 2}) == '12' and "
                               "pcall ~= nil"),
              1);

    const auto path = TestUtil::ScratchPath("sandbox", "");
    const std::string body = "pcall(function() io.open('" + path.string() +
                             "', 'w'):write('x') end) "
                             "pcall(function() os.execute('touch " +
                             path.string() + "') end)";
    EXPECT_EQ(RunBody(nullptr, body), 0);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(LuaScript, RunawayScriptsAreStopped)
{
    const char* bodies[] = {
        "while true do end",
        // Catching the stop does not keep the script running.
        "while true do pcall(function() while true do end end) end",
        "local s = string.rep('x', 2 ^ 30) return 1",
        "local t = {} for i = 1, 1e9 do t[i] = i end",
        "local function f() return f() + 1 end return f()",
    };
    for (const char* body : bodies)
        EXPECT_EQ(FailureCode(nullptr, body), 6) << body;
    // A run after a stopped one starts afresh.
    EXPECT_EQ(RunBody(nullptr, "local n = 0 for i = 1, 1000 do n = n + i end return n"), 500500);
}

TEST(LuaScript, NestedRunsAreBounded)
{
    // A quest whose test sets a tag tests itself again, without end.
    auto engine = ScriptTest::EnteredDemoGame();
    engine->GetModule()->Quests()["echo"] = std::make_shared<VARD::CQuestInfo>(
        "echo", "Echo", 10, "",
        ScriptTest::ReadScript("<lua> vard_set_tag(context, 'ping') return false </lua>"));
    try
    {
        engine->CompleteQuest("ping", 1);
        FAIL() << "the nesting did not end";
    }
    catch (const CVARDException& error)
    {
        EXPECT_EQ(error.GetCode(), 6);
    }
    EXPECT_EQ(engine->Game().GetQuestTag("echo"), 0);
}

} // namespace
