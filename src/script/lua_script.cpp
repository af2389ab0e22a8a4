#include "script/lua_script.h"

#include "common/exception.h"
#include "script/script_run.h"

#include <lua.hpp>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <new>

namespace VARD
{

namespace ScriptHost
{

namespace
{

// The count hook looks at the budget this often.
constexpr int kHookInterval = 1000;

const char* const kAbortText = "script stopped\n";

thread_local int t_Nesting = 0;

class CNestingGuard
{
public:
    CNestingGuard()
    {
        if (t_Nesting >= kMaxNesting)
            throw CVARDException(6, "scripts nested too deeply");
        ++t_Nesting;
    }
    ~CNestingGuard() { --t_Nesting; }
    CNestingGuard(const CNestingGuard&) = delete;
    CNestingGuard& operator=(const CNestingGuard&) = delete;
};

void* LimitedAlloc(void* userData, void* block, std::size_t oldSize, std::size_t newSize)
{
    auto& run = *static_cast<CScriptRun*>(userData);
    if (newSize == 0)
    {
        std::free(block);
        run.memory -= oldSize;
        return nullptr;
    }
    if (newSize > oldSize && newSize - oldSize > kMemoryLimit - run.memory)
        return nullptr;
    void* grown = std::realloc(block, newSize);
    if (grown != nullptr)
        run.memory = run.memory - oldSize + newSize;
    return grown;
}

void CountHook(lua_State* state, lua_Debug*)
{
    CScriptRun& run = RunOf(state);
    run.instructions += kHookInterval;
    if (run.instructions > kInstructionBudget)
        Abort(state, run);
    if (run.aborting)
    {
        lua_pushstring(state, kAbortText);
        lua_error(state);
    }
}

struct StateCloser
{
    void operator()(lua_State* state) const { lua_close(state); }
};

void OpenLibrary(lua_State* state, lua_CFunction open, const char* name)
{
    lua_pushcfunction(state, open);
    lua_pushstring(state, name);
    lua_call(state, 1, 0);
}

void RemoveGlobal(lua_State* state, const char* name)
{
    lua_pushnil(state);
    lua_setfield(state, LUA_GLOBALSINDEX, name);
}

// Module scripts come with modules players download: they get only what
// cannot reach files, processes or the host's output.
void OpenSandboxLibraries(lua_State* state)
{
    OpenLibrary(state, luaopen_base, "");
    OpenLibrary(state, luaopen_table, LUA_TABLIBNAME);
    OpenLibrary(state, luaopen_string, LUA_STRLIBNAME);
    OpenLibrary(state, luaopen_math, LUA_MATHLIBNAME);
    OpenLibrary(state, luaopen_os, LUA_OSLIBNAME);

    // Loaders could read files or take precompiled chunks, which Lua 5.1
    // does not verify; print writes to the host's output; a proxy's __gc
    // would run script code after the run has ended.
    for (const char* name : {"dofile", "loadfile", "load", "loadstring", "print", "newproxy",
                             "coroutine", "module", "require", "package", "io", "debug"})
        RemoveGlobal(state, name);

    lua_getfield(state, LUA_GLOBALSINDEX, LUA_OSLIBNAME);
    lua_createtable(state, 0, 3);
    for (const char* name : {"time", "clock", "date"})
    {
        lua_getfield(state, -2, name);
        lua_setfield(state, -2, name);
    }
    lua_setfield(state, LUA_GLOBALSINDEX, LUA_OSLIBNAME);
    lua_pop(state, 1);
}

void ConvertResult(lua_State* state, CScriptRun& run)
{
    if (lua_type(state, -1) == LUA_TBOOLEAN)
        run.result = lua_toboolean(state, -1) != 0 ? 1 : 0;
    else if (lua_isnumber(state, -1) != 0)
        run.result = ToInteger(lua_tonumber(state, -1));
    else
        run.result = 0;
}

// Steps 3 to 8 of a run, all under protection: a script may have changed
// the globals' metatable by the time vard_script is fetched.
int RunProtected(lua_State* state)
{
    const auto& source = *static_cast<const std::string*>(lua_touserdata(state, 1));
    CScriptRun& run = RunOf(state);
    lua_settop(state, 0);

    OpenSandboxLibraries(state);
    CLuaScript::RegisterFunctions(state);

    // The chunk is named by its own text, as the trace channel shows it.
    if (luaL_loadbuffer(state, source.data(), source.size(), source.c_str()) != 0)
        return lua_error(state);
    lua_call(state, 0, 0);

    lua_getfield(state, LUA_GLOBALSINDEX, "vard_script");
    lua_pushlightuserdata(state, run.context);
    lua_call(state, 1, 1);
    ConvertResult(state, run);
    return 0;
}

} // namespace

CScriptRun& RunOf(lua_State* state)
{
    void* userData = nullptr;
    lua_getallocf(state, &userData);
    return *static_cast<CScriptRun*>(userData);
}

void Abort(lua_State* state, CScriptRun& run)
{
    run.aborting = true;
    lua_sethook(state, CountHook, LUA_MASKCOUNT, 1);
}

std::int32_t ToInteger(double value)
{
    if (std::isnan(value))
        return 0;
    const double rounded = std::nearbyint(value);
    if (rounded <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (rounded >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(rounded);
}

} // namespace ScriptHost

std::int32_t CLuaScript::Run(CEngine* engine, CScriptContext& context)
{
    using namespace ScriptHost;
    context.engine = engine;
    CNestingGuard nesting;

    CScriptRun run;
    run.context = &context;
    std::unique_ptr<lua_State, StateCloser> state(lua_newstate(LimitedAlloc, &run));
    if (!state)
        throw std::bad_alloc();
    lua_sethook(state.get(), CountHook, LUA_MASKCOUNT, kHookInterval);

    const int status = lua_cpcall(state.get(), RunProtected, const_cast<std::string*>(&m_Source));
    if (status == 0)
        return run.result;

    std::string message;
    if (lua_type(state.get(), -1) == LUA_TSTRING || lua_type(state.get(), -1) == LUA_TNUMBER)
        message = lua_tostring(state.get(), -1);
    state.reset();
    if (run.pending)
        std::rethrow_exception(run.pending);
    throw CVARDException(6, "script failed: " + message);
}

void InstallLuaScriptHost()
{
    CScript::SetFactory([](std::string source)
                        { return std::make_shared<CLuaScript>(std::move(source)); });
}

} // namespace VARD
