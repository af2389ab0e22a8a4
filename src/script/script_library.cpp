// Library functions the sandbox replaces because Lua 5.1's own do not bound
// their work by their arguments: unpack counts its results in an int, so a
// range from a negative start overflows and it writes past the stack; insert
// shifts every element between its position and the end in C, where no step
// is counted, and both wrap positions beyond an int round to other ones.

#include "script/script_run.h"

#include <lua.hpp>

#include <climits>
#include <cmath>
#include <cstdint>

namespace VARD::ScriptHost
{

namespace
{

// As many results as a C function may leave on the stack.
constexpr std::int64_t kMostResults = LUAI_MAXCSTACK;

// An integer argument as Lua reads one, truncated toward zero; one that an
// int cannot hold is refused rather than wrapped.
std::int64_t IntegerArgument(lua_State* state, int index)
{
    const double whole = std::trunc(luaL_checknumber(state, index));
    if (!(whole >= INT_MIN && whole <= INT_MAX))
        luaL_argerror(state, index, "number out of range");
    return static_cast<std::int64_t>(whole);
}

// The border the length operator finds; below INT_MAX for any table.
std::int64_t Length(lua_State* state, int index)
{
    return static_cast<std::int64_t>(lua_objlen(state, index));
}

int Unpack(lua_State* state)
{
    luaL_checktype(state, 1, LUA_TTABLE);
    const std::int64_t first = lua_isnoneornil(state, 2) ? 1 : IntegerArgument(state, 2);
    const std::int64_t last =
        lua_isnoneornil(state, 3) ? Length(state, 1) : IntegerArgument(state, 3);
    if (first > last)
        return 0;
    const std::int64_t count = last - first + 1;
    if (count > kMostResults || lua_checkstack(state, static_cast<int>(count)) == 0)
        return luaL_error(state, "too many results to unpack");
    Charge(state, static_cast<std::uint64_t>(count));
    for (std::int64_t index = first; index <= last; ++index)
        lua_rawgeti(state, 1, static_cast<int>(index));
    return static_cast<int>(count);
}

int Insert(lua_State* state)
{
    luaL_checktype(state, 1, LUA_TTABLE);
    // The first empty place, which grows to the position when that lies beyond.
    std::int64_t end = Length(state, 1) + 1;
    std::int64_t position = end;
    switch (lua_gettop(state))
    {
    case 2:
        break;
    case 3:
        position = IntegerArgument(state, 2);
        if (position > end)
            end = position;
        // Every place from the end down to the position is moved up by one.
        Charge(state, static_cast<std::uint64_t>(end - position));
        for (std::int64_t index = end; index > position; --index)
        {
            lua_rawgeti(state, 1, static_cast<int>(index - 1));
            lua_rawseti(state, 1, static_cast<int>(index));
        }
        break;
    default:
        return luaL_error(state, "wrong number of arguments to 'insert'");
    }
    lua_rawseti(state, 1, static_cast<int>(position));
    return 0;
}

} // namespace

void OpenBoundedLibrary(lua_State* state)
{
    lua_pushcfunction(state, Unpack);
    lua_setfield(state, LUA_GLOBALSINDEX, "unpack");
    lua_getfield(state, LUA_GLOBALSINDEX, LUA_TABLIBNAME);
    lua_pushcfunction(state, Insert);
    lua_setfield(state, -2, "insert");
    lua_pop(state, 1);
}

} // namespace VARD::ScriptHost
