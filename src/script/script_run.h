#pragma once

// What the host and the game functions share about the run in progress. The
// record is the Lua allocator's user data, so every function reaches it from
// its lua_State without globals or upvalues a script could touch.

#include "world/game.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

struct lua_State;

namespace VARD
{

struct CScriptContext;

namespace ScriptHost
{

// The limits of one budget: a run, the runs it starts through tags and quests,
// and the runs of one conversation's states all draw on the same one. Past
// any of them the run stops with code 6, whatever the script catches.
//
// Steps: one per Lua instruction, one per step of a pattern match, and one
// per kBytesPerStep bytes that a library function reads or Lua allocates.
// A plain loop runs about 100 million instructions a second.
constexpr std::uint64_t kStepBudget = 20'000'000;
constexpr std::uint64_t kBytesPerStep = 16;
// Processor time, for work no step counts (comparing or converting long
// strings), read about every kHookInterval steps.
constexpr double kTimeLimitSeconds = 2.0;
constexpr int kHookInterval = 1000;
// Lua heap of all runs open at once.
constexpr std::size_t kMemoryLimit = 64u * 1024u * 1024u;
// Each call of a game function, for the work it does in the game.
constexpr std::uint64_t kGameCallSteps = 500;
// What the runs leave in the game: kRecordBytes for each record newly kept (a
// message, an event, a journal entry, a person's line, a tag, a place, a
// choice, an item), and the length of every text the game newly keeps,
// whatever it came from (an argument, an expanded name, a speaker's name, a
// quest's or a spell's name in a line the game makes), once for each copy
// kept. The game's own adders charge it, so that text the game makes on a
// run's behalf counts too; a function that passes it still completes,
// keeping no more lines or boxes for the player, and the run stops as it
// returns. And the longest single text a game function takes.
constexpr std::size_t kGameBytesBudget = 1024u * 1024u;
constexpr std::size_t kRecordBytes = kKeptRecordBytes;
constexpr std::size_t kMaxTextLength = 64u * 1024u;
inline constexpr const char* kHandedTooMuchReason = "more than 1 MiB handed to the game";
// The reason of a stop for memory the host or a game function could not get.
inline constexpr const char* kOutOfMemoryReason = "out of memory";
// Runs nested through tags and quests.
constexpr int kMaxNesting = 16;
// Calls of a pattern matcher inside one another (each '?', '-', capture and
// '*' retry goes one deeper); the C stack bounds it, not the heap.
constexpr int kMaxPatternDepth = 200;

// One budget, shared by every run that draws on it.
struct CScriptBudget
{
    std::uint64_t steps = 0;
    std::size_t memory = 0;
    std::size_t gameBytes = 0;
    // Processor time of the thread when the budget was opened.
    double startSeconds = 0;
    // Once set, no run on this budget executes another instruction or keeps
    // a caught error: every pcall, xpcall and game function passes it on.
    bool stopped = false;
    // A fixed text: marking a budget spent happens inside Lua's allocator and
    // hooks, where nothing may allocate or throw.
    const char* reason = "";
    // Set, with its reason, when a game function passes the budget: the
    // function completes, and so do the runs it starts, keeping nothing
    // more; the budget is spent when the outermost function open returns.
    const char* pendingReason = nullptr;
    // Game functions open on this budget, one inside another through the
    // runs they start.
    int openCalls = 0;
};

// Charges a budget for what the game keeps; the game's adders reach it
// through the game while a run is open. What it cannot pay marks the budget
// spent, and the game function under way raises the stop as it returns; a
// stop at once is thrown as CScriptStopped, which that function turns into
// the run's stop.
class CBudgetKeeper final : public CKeepBudget
{
public:
    explicit CBudgetKeeper(CScriptBudget& budget) : m_Budget(budget) {}
    bool Pay(std::size_t bytes) override;
    std::size_t Room() const override;
    bool IsStopped() const override;
    void StopAfterCall(const char* reason) override;
    [[noreturn]] void Stop(const char* reason = nullptr) override;

private:
    CScriptBudget& m_Budget;
};

struct CScriptRun
{
    CScriptContext* context = nullptr;
    CScriptBudget* budget = nullptr;
    // A failure that must leave the run unchanged once the state is closed.
    std::exception_ptr pending;
    std::int32_t result = 0;
};

CScriptRun& RunOf(lua_State* state);

// Marks the budget spent; the first reason given is the one reported.
void MarkStopped(CScriptBudget& budget, const char* reason);

// Stops the run: marks the budget and raises the stop as a Lua error, which
// every catch in the script passes on. Does not return.
[[noreturn]] void Stop(lua_State* state, const char* reason);

// Raises the stop again if the budget is spent; for code that just caught
// an error or came back from the game.
void PassOnStop(lua_State* state);

// Counts steps against the budget; stops the run past it.
void Charge(lua_State* state, std::uint64_t steps);

// Integer value of a Lua number: nearest integer (ties to even), clamped to
// 32 bits; NaN gives 0.
std::int32_t ToInteger(double value);

// Puts the step-counted pattern functions (find, match, gmatch and its old
// name gfind, gsub) into the string library table on top of the stack.
void OpenCountedPatterns(lua_State* state);

// Replaces the library functions whose work their arguments do not bound
// (unpack, table.insert) in the state's globals.
void OpenBoundedLibrary(lua_State* state);

} // namespace ScriptHost
} // namespace VARD
