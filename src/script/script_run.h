#pragma once

// What the host and the game functions share about the run in progress. The
// record is the Lua allocator's user data, so every function reaches it from
// its lua_State without globals or upvalues a script could touch.

#include <cstddef>
#include <cstdint>
#include <exception>

struct lua_State;

namespace VARD
{

struct CScriptContext;

namespace ScriptHost
{

// A script may not outgrow these; past them it fails with code 6.
constexpr std::size_t kMemoryLimit = 64u * 1024u * 1024u;
constexpr std::uint64_t kInstructionBudget = 20'000'000;
// Runs nested through tags and quests; deeper ones fail with code 6.
constexpr int kMaxNesting = 16;

struct CScriptRun
{
    CScriptContext* context = nullptr;
    std::size_t memory = 0;
    std::uint64_t instructions = 0;
    // Once set, every further Lua instruction raises an error, so neither
    // pcall nor xpcall in the script can keep it running.
    bool aborting = false;
    // A failure that must leave the run unchanged once the state is closed.
    std::exception_ptr pending;
    std::int32_t result = 0;
};

CScriptRun& RunOf(lua_State* state);

// Ends the script at its next instruction, whatever it catches.
void Abort(lua_State* state, CScriptRun& run);

// Integer value of a Lua number: nearest integer (ties to even), clamped to
// 32 bits; NaN gives 0.
std::int32_t ToInteger(double value);

} // namespace ScriptHost
} // namespace VARD
