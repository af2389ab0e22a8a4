#pragma once

// One call of a game function from a script: the argument rules shared by
// every function, and the ways back into Lua.

#include <cstddef>
#include <cstdint>
#include <string>

struct lua_State;

namespace VARD
{

class CActor;
class CEngine;
class CGame;
class CModule;
class CTalkTarget;
struct CScriptContext;

namespace ScriptHost
{

// The fixed texts of the Lua errors a game function raises.
inline const char* const kNoContextError = "Script didn't propagate context\n";
inline const char* const kNotTalkError = "Talk used in non-talk script\n";
inline const char* const kBadStringError = "Bad string arg\n";
inline const char* const kBadActorError = "Bad actor param\n";
inline const char* const kInternalError = "internal error\n";
// A name the game keeps in saved games, where an empty one reads back as "0".
inline const char* const kEmptyNameError = "Empty name arg: a saved game cannot hold it\n";

// Thrown by the argument readers; raised as a Lua error with its text once
// the function's C++ frames are left.
struct CScriptArgError
{
    const char* text;
};

// Thrown by a game function that has marked the budget spent; the stop is
// raised as a Lua error once the function's C++ frames are left.
struct CScriptStopped
{
};

struct CScriptBudget;

class CScriptCall
{
public:
    CScriptCall(lua_State* state, CScriptContext& context) : m_State(state), m_Context(context) {}

    CScriptContext& Context() const { return m_Context; }
    CEngine& Engine() const;
    CGame& Game() const;
    const CModule& Module() const;

    // Arguments count from 1 after the context. A text is a string or a
    // number in its text form; anything else is "Bad string arg".
    std::string Text(int argument) const;
    // A text the game keeps by name (a tag, a journal text, a place on the
    // map): as Text, and not empty.
    std::string SavedName(int argument) const;
    // A number or numeric text, rounded; anything else 0.
    std::int32_t Number(int argument) const;
    // A who argument: null for "party"; "Bad actor param" when the word
    // names nobody.
    CActor* Who(int argument) const;
    // A single actor: "party" counts as naming nobody.
    CActor& OneActor(int argument) const;
    // A name: the actor it names, or null.
    CActor* Name(int argument) const;

    // The talk partner, which a talk-only function is sure to have; code 2
    // when it is not of the kind asked for.
    CTalkTarget& PartnerTalk() const;
    CActor& PartnerActor() const;
    // The partner when there is one (it must be an actor), else the
    // context's actor; null when there is neither.
    CActor* PartnerOrActor() const;

    // The budget the call draws on.
    CScriptBudget& Budget() const;
    // What the call leaves outside the game's own records (a choice, an
    // item), charged before it is made. Stops the run past the budget.
    void Keep(std::size_t bytes) const;
    // The bytes the budget still lets the calls leave in the game.
    std::size_t Room() const;
    // Stops the run, as a spent budget does, for the reason given.
    [[noreturn]] void Stop(const char* reason) const;

    int Return(bool value) const;
    int Return(std::int32_t value) const;
    int Return(const std::string& value) const;

private:
    std::string TextAt(int argument) const;
    CActor* Resolve(const std::string& name) const;

    lua_State* m_State;
    CScriptContext& m_Context;
};

} // namespace ScriptHost
} // namespace VARD
