#include "script/lua_script.h"

#include "common/exception.h"
#include "rules/engine.h"
#include "script/script_heap.h"
#include "script/script_run.h"
#include "world/script_record.h"

#include <lua.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <initializer_list>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>

namespace VARD
{

namespace ScriptHost
{

namespace
{

const char* const kStopText = "script stopped\n";

// The base, table, string, math and os globals, the game functions and the
// script's own, with room to spare.
constexpr int kGlobalsRoom = 96;

// Lua names a chunk in messages by no more than 80 characters of its text
// (syntax errors; others by 60): the start of its first line, or what
// follows a '='. A name after '@' shows its end: that one stays whole.
std::string ChunkNameOf(const std::string& source)
{
    constexpr std::size_t kShown = 96;
    if (!source.empty() && source[0] == '@')
        return source;
    return source.substr(0, std::min(source.size(), kShown));
}

// The budget of the runs open on this thread, and the run group it belongs to.
thread_local int t_Nesting = 0;
thread_local CScriptBudget t_Budget;
thread_local std::uint64_t t_BudgetGroup = 0;
thread_local CScriptHeap t_Heap;
thread_local CBudgetKeeper t_Keeper{t_Budget};

double ThreadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// An outermost run opens a new budget unless it belongs to the group whose
// budget is open already.
void OpenBudget()
{
    if (t_Nesting > 0)
        return;
    const std::uint64_t group = CScriptRunGroup::Current();
    if (group != 0 && group == t_BudgetGroup)
        return;
    t_Budget = CScriptBudget{};
    t_Budget.startSeconds = ThreadSeconds();
    t_BudgetGroup = group;
}

class CNestingGuard
{
public:
    CNestingGuard()
    {
        if (t_Nesting >= kMaxNesting)
        {
            MarkStopped(t_Budget, "scripts nested too deeply");
            throw CVARDException(6, "script stopped: scripts nested too deeply");
        }
        ++t_Nesting;
    }
    ~CNestingGuard() { --t_Nesting; }
    CNestingGuard(const CNestingGuard&) = delete;
    CNestingGuard& operator=(const CNestingGuard&) = delete;
};

// While a run is open the game's adders charge its budget; the outermost run
// on a game sets the keeper, and takes it away again however the run ends.
class CKeeperGuard
{
public:
    explicit CKeeperGuard(CEngine* engine)
    {
        if (engine == nullptr || !engine->GetGame() ||
            engine->GetGame()->GetKeepBudget() != nullptr)
            return;
        m_Game = engine->GetGame();
        m_Game->SetKeepBudget(&t_Keeper);
    }
    ~CKeeperGuard()
    {
        if (m_Game)
            m_Game->SetKeepBudget(nullptr);
    }
    CKeeperGuard(const CKeeperGuard&) = delete;
    CKeeperGuard& operator=(const CKeeperGuard&) = delete;

private:
    std::shared_ptr<CGame> m_Game;
};

// Growth fails once the budget is spent, so a C function that allocates in a
// loop ends at its next allocation.
void* LimitedAlloc(void* userData, void* block, std::size_t oldSize, std::size_t newSize)
{
    CScriptBudget& budget = *static_cast<CScriptRun*>(userData)->budget;
    if (newSize == 0)
    {
        t_Heap.Free(block, oldSize);
        budget.memory -= oldSize;
        return nullptr;
    }
    if (newSize > oldSize)
    {
        if (budget.stopped)
            return nullptr;
        if (newSize - oldSize > kMemoryLimit - budget.memory)
        {
            MarkStopped(budget, "Lua memory limit reached");
            return nullptr;
        }
        budget.steps += (newSize - oldSize) / kBytesPerStep;
        if (budget.steps > kStepBudget)
            MarkStopped(budget, "step budget spent");
    }
    void* grown = t_Heap.Resize(block, oldSize, newSize);
    if (grown != nullptr)
        budget.memory = budget.memory - oldSize + newSize;
    return grown;
}

bool IsHalted(const CScriptRun& run)
{
    return run.budget->stopped || run.pending;
}

// Raises the stop on every instruction once the run is halted. It may fire
// inside an xpcall handler, which Lua runs with hooks off when the error came
// from a hook; the handler guard below keeps such a handler from running.
void CountHook(lua_State* state, lua_Debug*)
{
    CScriptRun& run = RunOf(state);
    CScriptBudget& budget = *run.budget;
    budget.steps += kHookInterval;
    if (budget.steps > kStepBudget)
        MarkStopped(budget, "step budget spent");
    else if (ThreadSeconds() - budget.startSeconds > kTimeLimitSeconds)
        MarkStopped(budget, "time limit reached");
    if (IsHalted(run))
    {
        lua_sethook(state, CountHook, LUA_MASKCOUNT, 1);
        lua_pushstring(state, kStopText);
        lua_error(state);
    }
}

// pcall and xpcall as Lua's, except that a halted run's error goes on.
int GuardedPcall(lua_State* state)
{
    luaL_checkany(state, 1);
    const int status = lua_pcall(state, lua_gettop(state) - 1, LUA_MULTRET, 0);
    PassOnStop(state);
    lua_pushboolean(state, status == 0 ? 1 : 0);
    lua_insert(state, 1);
    return lua_gettop(state);
}

int GuardedHandler(lua_State* state)
{
    if (IsHalted(RunOf(state)))
    {
        lua_pushstring(state, kStopText);
        return 1;
    }
    lua_pushvalue(state, lua_upvalueindex(1));
    lua_insert(state, 1);
    lua_call(state, lua_gettop(state) - 1, 1);
    return 1;
}

int GuardedXpcall(lua_State* state)
{
    luaL_checkany(state, 2);
    lua_settop(state, 2);
    lua_pushcclosure(state, GuardedHandler, 1);
    lua_insert(state, 1);
    const int status = lua_pcall(state, 0, LUA_MULTRET, 1);
    PassOnStop(state);
    lua_pushboolean(state, status == 0 ? 1 : 0);
    lua_replace(state, 1);
    return lua_gettop(state);
}

// What a library call costs beyond its one step, by what it works through.
enum class CallCost
{
    Texts,       // every text argument, byte by byte
    Length,      // the table's elements
    RemoveAt,    // the elements it shifts, when a position is given
    Repetitions, // the count, and the bytes it makes
    Sort,        // n log n comparisons
    WholeHeap,   // may walk everything the runs hold
};

std::uint64_t CallSteps(lua_State* state, CallCost cost)
{
    const int arguments = lua_gettop(state);
    double steps = 1;
    switch (cost)
    {
    case CallCost::Texts:
        for (int index = 1; index <= arguments; ++index)
            if (lua_type(state, index) == LUA_TSTRING)
                steps += static_cast<double>(lua_objlen(state, index) / kBytesPerStep);
        break;
    case CallCost::Length:
        steps += static_cast<double>(lua_objlen(state, 1));
        break;
    case CallCost::RemoveAt:
        if (arguments >= 2)
            steps += static_cast<double>(lua_objlen(state, 1));
        break;
    case CallCost::Repetitions:
    {
        const double count = std::max(0.0, lua_tonumber(state, 2));
        steps += count + count * static_cast<double>(lua_objlen(state, 1)) /
                             static_cast<double>(kBytesPerStep);
        break;
    }
    case CallCost::Sort:
    {
        const double count = static_cast<double>(lua_objlen(state, 1));
        steps += count * std::log2(count + 1);
        break;
    }
    case CallCost::WholeHeap:
        steps += static_cast<double>(RunOf(state).budget->memory / kBytesPerStep);
        break;
    }
    if (!(steps <= static_cast<double>(kStepBudget)))
        return kStepBudget + 1;
    return static_cast<std::uint64_t>(steps);
}

int ChargedCall(lua_State* state)
{
    Charge(state,
           CallSteps(state, static_cast<CallCost>(lua_tointeger(state, lua_upvalueindex(2)))));
    const int arguments = lua_gettop(state);
    lua_pushvalue(state, lua_upvalueindex(1));
    lua_insert(state, 1);
    lua_call(state, arguments, LUA_MULTRET);
    return lua_gettop(state);
}

// Wraps the named functions of the table on top of the stack.
void ChargeCalls(lua_State* state, std::initializer_list<const char*> names, CallCost cost)
{
    for (const char* name : names)
    {
        lua_getfield(state, -1, name);
        lua_pushinteger(state, static_cast<lua_Integer>(cost));
        lua_pushcclosure(state, ChargedCall, 2);
        lua_setfield(state, -2, name);
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
    ChargeCalls(state, {"date"}, CallCost::Texts);
    lua_setfield(state, LUA_GLOBALSINDEX, LUA_OSLIBNAME);
    lua_pop(state, 1);

    // Library calls that work through their input count it against the
    // budget; the allocator counts what they make.
    lua_pushvalue(state, LUA_GLOBALSINDEX);
    lua_pushcfunction(state, GuardedPcall);
    lua_setfield(state, -2, "pcall");
    lua_pushcfunction(state, GuardedXpcall);
    lua_setfield(state, -2, "xpcall");
    ChargeCalls(state, {"tonumber", "tostring"}, CallCost::Texts);
    ChargeCalls(state, {"collectgarbage"}, CallCost::WholeHeap);
    lua_pop(state, 1);

    lua_getfield(state, LUA_GLOBALSINDEX, LUA_STRLIBNAME);
    OpenCountedPatterns(state);
    ChargeCalls(state, {"upper", "lower", "reverse", "format"}, CallCost::Texts);
    ChargeCalls(state, {"rep"}, CallCost::Repetitions);
    lua_pop(state, 1);

    OpenBoundedLibrary(state);
    lua_getfield(state, LUA_GLOBALSINDEX, LUA_TABLIBNAME);
    ChargeCalls(state, {"concat", "foreachi"}, CallCost::Length);
    ChargeCalls(state, {"remove"}, CallCost::RemoveAt);
    ChargeCalls(state, {"sort"}, CallCost::Sort);
    ChargeCalls(state, {"maxn", "foreach"}, CallCost::WholeHeap);
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

struct ChunkText
{
    const std::string* source;
    const std::string* name;
};

// Steps 3 to 8 of a run, all under protection: a script may have changed
// the globals' metatable by the time vard_script is fetched.
int RunProtected(lua_State* state)
{
    const auto& chunk = *static_cast<const ChunkText*>(lua_touserdata(state, 1));
    CScriptRun& run = RunOf(state);
    lua_settop(state, 0);

    // Room for every global the sandbox and the game functions define, so
    // that the table is not grown and rehashed step by step.
    // This function's own environment goes with it: the functions it makes
    // take theirs from it.
    lua_createtable(state, 0, kGlobalsRoom);
    lua_pushvalue(state, -1);
    lua_replace(state, LUA_ENVIRONINDEX);
    lua_replace(state, LUA_GLOBALSINDEX);
    OpenSandboxLibraries(state);
    CLuaScript::RegisterFunctions(state);

    // The chunk is named by its own text, as the trace channel shows it.
    const std::string& source = *chunk.source;
    if (luaL_loadbuffer(state, source.data(), source.size(), chunk.name->c_str()) != 0)
        return lua_error(state);
    lua_call(state, 0, 0);

    lua_getfield(state, LUA_GLOBALSINDEX, "vard_script");
    lua_pushlightuserdata(state, run.context);
    lua_call(state, 1, 1);
    ConvertResult(state, run);
    return 0;
}

// The error value on top of the stack as text. Any value may be raised;
// one that is no text is named by its type, since running its __tostring
// would run script code after the run has failed.
std::string DescribeError(lua_State* state)
{
    const int type = lua_type(state, -1);
    if (type == LUA_TSTRING || type == LUA_TNUMBER)
        return lua_tostring(state, -1);
    return std::string("error object is a ") + lua_typename(state, type) + " value";
}

[[noreturn]] void ThrowStopped()
{
    throw CVARDException(6, std::string("script stopped: ") + t_Budget.reason);
}

std::int32_t RunInState(const std::string& source, const std::string& chunkName,
                        CScriptContext& context)
{
    if (t_Budget.stopped)
        ThrowStopped();

    CScriptRun run;
    run.context = &context;
    run.budget = &t_Budget;
    std::unique_ptr<lua_State, StateCloser> state(lua_newstate(LimitedAlloc, &run));
    if (!state)
    {
        MarkStopped(t_Budget, kOutOfMemoryReason);
        ThrowStopped();
    }
    lua_sethook(state.get(), CountHook, LUA_MASKCOUNT, kHookInterval);

    ChunkText chunk{&source, &chunkName};
    const int status = lua_cpcall(state.get(), RunProtected, &chunk);
    if (status == 0)
        return run.result;

    const std::string message = DescribeError(state.get());
    state.reset();
    if (run.pending)
        std::rethrow_exception(run.pending);
    if (t_Budget.stopped)
        ThrowStopped();
    throw CVARDException(6, "script failed: " + message);
}

} // namespace

CScriptRun& RunOf(lua_State* state)
{
    void* userData = nullptr;
    lua_getallocf(state, &userData);
    return *static_cast<CScriptRun*>(userData);
}

void MarkStopped(CScriptBudget& budget, const char* reason)
{
    if (budget.stopped)
        return;
    budget.stopped = true;
    // A stop already due when the game function returns came first.
    budget.reason = budget.pendingReason != nullptr ? budget.pendingReason : reason;
    budget.pendingReason = nullptr;
}

void Stop(lua_State* state, const char* reason)
{
    MarkStopped(*RunOf(state).budget, reason);
    lua_sethook(state, CountHook, LUA_MASKCOUNT, 1);
    lua_pushstring(state, kStopText);
    lua_error(state);
    std::abort();
}

void PassOnStop(lua_State* state)
{
    if (!IsHalted(RunOf(state)))
        return;
    lua_sethook(state, CountHook, LUA_MASKCOUNT, 1);
    lua_pushstring(state, kStopText);
    lua_error(state);
}

void Charge(lua_State* state, std::uint64_t steps)
{
    CScriptBudget& budget = *RunOf(state).budget;
    const std::uint64_t before = budget.steps;
    budget.steps += steps;
    if (budget.steps > kStepBudget)
        Stop(state, "step budget spent");
    // The clock, too, is read about as often as the count hook reads it.
    if (budget.steps / kHookInterval != before / kHookInterval &&
        ThreadSeconds() - budget.startSeconds > kTimeLimitSeconds)
        Stop(state, "time limit reached");
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

CLuaScript::CLuaScript(std::string source)
    : m_Source(std::move(source)), m_ChunkName(ScriptHost::ChunkNameOf(m_Source))
{
}

std::int32_t CLuaScript::Run(CEngine* engine, CScriptContext& context)
{
    using namespace ScriptHost;
    context.engine = engine;
    OpenBudget();
    CNestingGuard nesting;
    CKeeperGuard keeper(engine);
    // A script can ask the host for more than the machine has: memory it
    // cannot get ends the run like any spent budget, not the program.
    try
    {
        return RunInState(m_Source, m_ChunkName, context);
    }
    catch (const std::bad_alloc&)
    {
    }
    catch (const std::length_error&)
    {
    }
    MarkStopped(t_Budget, kOutOfMemoryReason);
    ThrowStopped();
}

void InstallLuaScriptHost()
{
    CScript::SetFactory([](std::string source)
                        { return std::make_shared<CLuaScript>(std::move(source)); });
}

} // namespace VARD
