#pragma once

#include "world/script_record.h"

#include <cstdint>
#include <string>

struct lua_State;

namespace VARD
{

// A module script in Lua 5.1. Each run gets a fresh Lua state holding only
// the libraries that cannot reach the host and the game functions, so
// nothing but the game's own state survives from one run to the next.
class CLuaScript : public CScript
{
public:
    // The complete source: the body wrapped as the function vard_script.
    explicit CLuaScript(std::string source);

    // The script's result: true 1, false 0, a number or numeric text rounded
    // to the nearest integer, anything else 0. Code 6 when the script does
    // not load or fails while it runs; a game failure that a game function
    // passes on leaves unchanged.
    std::int32_t Run(CEngine* engine, CScriptContext& context) override;

    const std::string& GetSource() const { return m_Source; }

    // Makes the game functions globals of the state, in their fixed order.
    static void RegisterFunctions(lua_State* state);

private:
    std::string m_Source;
    // What the chunk is named by: as much of the text as error messages
    // show of it, so that a run does not copy the whole text into Lua.
    std::string m_ChunkName;
};

// Makes the module reader build Lua scripts from now on. Call it before a
// module is loaded; scripts read earlier keep only their text.
void InstallLuaScriptHost();

} // namespace VARD
