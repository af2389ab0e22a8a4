#pragma once

// Lua scripts run on the demo module: the host installed, a game entered, and
// helpers that run a script body the way module data would hand it over.

#include "common/exception.h"
#include "common/tag_file.h"
#include "rules/rules_test_util.h"
#include "script/lua_script.h"
#include "world/game.h"
#include "world/script_record.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

namespace ScriptTest
{

// A game on the demo module in the town, with Lua scripts in place.
inline std::unique_ptr<VARD::CEngine> EnteredDemoGame(std::uint32_t seed = 1)
{
    VARD::InstallLuaScriptHost();
    auto engine = RulesTest::NewDemoGame(seed);
    engine->EnterArea();
    RulesTest::DrainMessages(engine->Game());
    return engine;
}

// The first actor of the current area made from the template.
inline std::shared_ptr<VARD::CActor> SharedTownActor(VARD::CEngine& engine,
                                                     const std::string& templateName)
{
    for (const auto& actor : engine.Game().GetCurrentArea()->Actors())
        if (actor->GetTemplateName() == templateName)
            return actor;
    throw CVARDException(2, "no " + templateName + " in town");
}

inline VARD::CActor& TownActor(VARD::CEngine& engine, const std::string& templateName)
{
    return *SharedTownActor(engine, templateName);
}

// A script read from the text of a data file's script block.
inline std::shared_ptr<VARD::CScript> ReadScript(const std::string& block)
{
    VARD::InstallLuaScriptHost();
    VARDCommon::CTagFileReader reader(std::make_shared<std::istringstream>(block), "test");
    return VARD::CScript::Create(reader);
}

// Runs a body as the script of a <lua> block.
inline std::int32_t RunBody(VARD::CEngine* engine, const std::string& body,
                            VARD::CScriptContext& context)
{
    const auto script = ReadScript("<lua> " + body + " </lua>");
    if (!script)
        throw CVARDException(1, "no script read");
    return script->Run(engine, context);
}

inline std::int32_t RunBody(VARD::CEngine* engine, const std::string& body)
{
    VARD::CScriptContext context;
    return RunBody(engine, body, context);
}

// The code a failing run throws; 0 when it does not fail.
inline int FailureCode(VARD::CEngine* engine, const std::string& body,
                       VARD::CScriptContext& context)
{
    try
    {
        RunBody(engine, body, context);
    }
    catch (const CVARDException& error)
    {
        return error.GetCode();
    }
    return 0;
}

inline int FailureCode(VARD::CEngine* engine, const std::string& body)
{
    VARD::CScriptContext context;
    return FailureCode(engine, body, context);
}

// Vard_message calls that leave exactly `bytes` in the game (none, or at
// least a record's worth), and how many lines they post.
struct CFill
{
    std::string body;
    std::size_t lines = 0;
};

inline CFill FillWith(std::size_t bytes)
{
    constexpr std::size_t kLongest = 60'000;
    constexpr std::size_t kMost = VARD::kKeptRecordBytes + kLongest;
    CFill fill;
    fill.lines = (bytes + kMost - 1) / kMost;
    fill.body = "local f = string.rep('f', " + std::to_string(kLongest) + ") ";
    for (std::size_t i = 0; i < fill.lines; ++i)
    {
        const std::size_t share = bytes / fill.lines + (i < bytes % fill.lines ? 1 : 0);
        EXPECT_GE(share, VARD::kKeptRecordBytes);
        fill.body += "vard_message(context, f:sub(1, " +
                     std::to_string(share - VARD::kKeptRecordBytes) + ")) ";
    }
    return fill;
}

} // namespace ScriptTest
