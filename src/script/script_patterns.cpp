// The pattern functions of the string library (find, match, gmatch and its
// old name gfind, gsub) with Lua 5.1's matching rules, except that every
// step of a match counts against the run's budget and the matcher's
// recursion is bounded: the library's own matcher runs in C with neither, so
// a pattern could take hours or overflow the stack. The matcher follows Lua
// 5.1's lstrlib.c (MIT licence, Copyright (C) 1994-2012 Lua.org, PUC-Rio).

#include "script/script_run.h"

#include <lua.hpp>

#include <cctype>
#include <cstring>

namespace VARD::ScriptHost
{

namespace
{

constexpr char kEscape = '%';
constexpr const char* kSpecials = "^$*+?.([%-";
constexpr int kMaxCaptures = 32;
constexpr std::ptrdiff_t kCaptureUnfinished = -1;
constexpr std::ptrdiff_t kCapturePosition = -2;
// Steps are handed to the budget in batches, to keep the count cheap.
constexpr std::uint64_t kStepBatch = 4096;

int Byte(char c)
{
    return static_cast<unsigned char>(c);
}

// Lua 5.1 reads a pattern up to its first zero byte.
struct CMatchState
{
    const char* sourceStart = nullptr;
    const char* sourceEnd = nullptr;
    lua_State* state = nullptr;
    int level = 0;
    int depth = 0;
    std::uint64_t steps = 0;
    struct
    {
        const char* start;
        std::ptrdiff_t length;
    } capture[kMaxCaptures]{};

    void Step(std::uint64_t count = 1)
    {
        steps += count;
        if (steps >= kStepBatch)
            Flush();
    }
    void Flush()
    {
        const std::uint64_t spent = steps;
        steps = 0;
        Charge(state, spent);
    }
};

// One level deeper in the matcher for as long as it lives.
class CDepth
{
public:
    explicit CDepth(CMatchState& match) : m_Match(match)
    {
        if (++m_Match.depth > kMaxPatternDepth)
            Stop(m_Match.state, "pattern too complex");
    }
    ~CDepth() { --m_Match.depth; }
    CDepth(const CDepth&) = delete;
    CDepth& operator=(const CDepth&) = delete;

private:
    CMatchState& m_Match;
};

const char* Match(CMatchState& ms, const char* s, const char* p);

int CheckCapture(CMatchState& ms, int l)
{
    l -= '1';
    if (l < 0 || l >= ms.level || ms.capture[l].length == kCaptureUnfinished)
        return luaL_error(ms.state, "invalid capture index");
    return l;
}

int CaptureToClose(CMatchState& ms)
{
    for (int level = ms.level - 1; level >= 0; --level)
        if (ms.capture[level].length == kCaptureUnfinished)
            return level;
    return luaL_error(ms.state, "invalid pattern capture");
}

const char* ClassEnd(CMatchState& ms, const char* p)
{
    switch (*p++)
    {
    case kEscape:
        if (*p == '\0')
            luaL_error(ms.state, "malformed pattern (ends with '%%')");
        return p + 1;
    case '[':
        if (*p == '^')
            ++p;
        do
        {
            if (*p == '\0')
                luaL_error(ms.state, "malformed pattern (missing ']')");
            ms.Step();
            if (*(p++) == kEscape && *p != '\0')
                ++p;
        } while (*p != ']');
        return p + 1;
    default:
        return p;
    }
}

bool MatchClass(int c, int cl)
{
    int result = 0;
    switch (std::tolower(cl))
    {
    case 'a':
        result = std::isalpha(c);
        break;
    case 'c':
        result = std::iscntrl(c);
        break;
    case 'd':
        result = std::isdigit(c);
        break;
    case 'l':
        result = std::islower(c);
        break;
    case 'p':
        result = std::ispunct(c);
        break;
    case 's':
        result = std::isspace(c);
        break;
    case 'u':
        result = std::isupper(c);
        break;
    case 'w':
        result = std::isalnum(c);
        break;
    case 'x':
        result = std::isxdigit(c);
        break;
    case 'z':
        result = c == 0;
        break;
    default:
        return cl == c;
    }
    return std::islower(cl) ? result != 0 : result == 0;
}

// p stands on the '[' and ec on the closing ']'.
bool MatchBracketClass(CMatchState& ms, int c, const char* p, const char* ec)
{
    bool found = true;
    if (*(p + 1) == '^')
    {
        found = false;
        ++p;
    }
    while (++p < ec)
    {
        ms.Step();
        if (*p == kEscape)
        {
            ++p;
            if (MatchClass(c, Byte(*p)))
                return found;
        }
        else if (*(p + 1) == '-' && p + 2 < ec)
        {
            p += 2;
            if (Byte(*(p - 2)) <= c && c <= Byte(*p))
                return found;
        }
        else if (Byte(*p) == c)
            return found;
    }
    return !found;
}

bool SingleMatch(CMatchState& ms, int c, const char* p, const char* ep)
{
    switch (*p)
    {
    case '.':
        return true;
    case kEscape:
        return MatchClass(c, Byte(*(p + 1)));
    case '[':
        return MatchBracketClass(ms, c, p, ep - 1);
    default:
        return Byte(*p) == c;
    }
}

const char* MatchBalance(CMatchState& ms, const char* s, const char* p)
{
    if (*p == '\0' || *(p + 1) == '\0')
        luaL_error(ms.state, "unbalanced pattern");
    if (s >= ms.sourceEnd || *s != *p)
        return nullptr;
    const char open = *p;
    const char close = *(p + 1);
    int count = 1;
    while (++s < ms.sourceEnd)
    {
        ms.Step();
        if (*s == close)
        {
            if (--count == 0)
                return s + 1;
        }
        else if (*s == open)
            ++count;
    }
    return nullptr;
}

const char* MaxExpand(CMatchState& ms, const char* s, const char* p, const char* ep)
{
    std::ptrdiff_t i = 0;
    while (s + i < ms.sourceEnd && SingleMatch(ms, Byte(*(s + i)), p, ep))
    {
        ms.Step();
        ++i;
    }
    // The longest run first, then one shorter each time.
    while (i >= 0)
    {
        if (const char* result = Match(ms, s + i, ep + 1))
            return result;
        --i;
    }
    return nullptr;
}

const char* MinExpand(CMatchState& ms, const char* s, const char* p, const char* ep)
{
    for (;;)
    {
        if (const char* result = Match(ms, s, ep + 1))
            return result;
        if (s < ms.sourceEnd && SingleMatch(ms, Byte(*s), p, ep))
            ++s;
        else
            return nullptr;
    }
}

const char* StartCapture(CMatchState& ms, const char* s, const char* p, std::ptrdiff_t what)
{
    const int level = ms.level;
    if (level >= kMaxCaptures)
        luaL_error(ms.state, "too many captures");
    ms.capture[level].start = s;
    ms.capture[level].length = what;
    ms.level = level + 1;
    const char* result = Match(ms, s, p);
    if (result == nullptr)
        --ms.level;
    return result;
}

const char* EndCapture(CMatchState& ms, const char* s, const char* p)
{
    const int l = CaptureToClose(ms);
    ms.capture[l].length = s - ms.capture[l].start;
    const char* result = Match(ms, s, p);
    if (result == nullptr)
        ms.capture[l].length = kCaptureUnfinished;
    return result;
}

const char* MatchCapture(CMatchState& ms, const char* s, int l)
{
    l = CheckCapture(ms, l);
    const auto length = static_cast<std::size_t>(ms.capture[l].length);
    ms.Step(1 + length / kBytesPerStep);
    if (static_cast<std::size_t>(ms.sourceEnd - s) >= length &&
        std::memcmp(ms.capture[l].start, s, length) == 0)
        return s + length;
    return nullptr;
}

const char* Match(CMatchState& ms, const char* s, const char* p)
{
    const CDepth depth(ms);
    for (;;)
    {
        ms.Step();
        switch (*p)
        {
        case '(':
            if (*(p + 1) == ')')
                return StartCapture(ms, s, p + 2, kCapturePosition);
            return StartCapture(ms, s, p + 1, kCaptureUnfinished);
        case ')':
            return EndCapture(ms, s, p + 1);
        case '\0':
            return s;
        case '$':
            if (*(p + 1) == '\0')
                return s == ms.sourceEnd ? s : nullptr;
            break;
        case kEscape:
            if (*(p + 1) == 'b')
            {
                s = MatchBalance(ms, s, p + 2);
                if (s == nullptr)
                    return nullptr;
                p += 4;
                continue;
            }
            if (*(p + 1) == 'f')
            {
                p += 2;
                if (*p != '[')
                    luaL_error(ms.state, "missing '[' after '%%f' in pattern");
                const char* ep = ClassEnd(ms, p);
                const char previous = s == ms.sourceStart ? '\0' : *(s - 1);
                // At the end, the zero byte after every Lua string.
                if (MatchBracketClass(ms, Byte(previous), p, ep - 1) ||
                    !MatchBracketClass(ms, Byte(*s), p, ep - 1))
                    return nullptr;
                p = ep;
                continue;
            }
            if (std::isdigit(Byte(*(p + 1))))
            {
                s = MatchCapture(ms, s, Byte(*(p + 1)));
                if (s == nullptr)
                    return nullptr;
                p += 2;
                continue;
            }
            break;
        default:
            break;
        }

        // A single item, with its repetition.
        const char* ep = ClassEnd(ms, p);
        const bool matched = s < ms.sourceEnd && SingleMatch(ms, Byte(*s), p, ep);
        switch (*ep)
        {
        case '?':
            if (matched)
                if (const char* result = Match(ms, s + 1, ep + 1))
                    return result;
            p = ep + 1;
            continue;
        case '*':
            return MaxExpand(ms, s, p, ep);
        case '+':
            return matched ? MaxExpand(ms, s + 1, p, ep) : nullptr;
        case '-':
            return MinExpand(ms, s, p, ep);
        default:
            if (!matched)
                return nullptr;
            ++s;
            p = ep;
            continue;
        }
    }
}

void PushOneCapture(CMatchState& ms, int i, const char* s, const char* e)
{
    if (i >= ms.level)
    {
        if (i != 0)
            luaL_error(ms.state, "invalid capture index");
        lua_pushlstring(ms.state, s, static_cast<std::size_t>(e - s));
        return;
    }
    const std::ptrdiff_t length = ms.capture[i].length;
    if (length == kCaptureUnfinished)
        luaL_error(ms.state, "unfinished capture");
    if (length == kCapturePosition)
        lua_pushinteger(ms.state, ms.capture[i].start - ms.sourceStart + 1);
    else
        lua_pushlstring(ms.state, ms.capture[i].start, static_cast<std::size_t>(length));
}

int PushCaptures(CMatchState& ms, const char* s, const char* e)
{
    const int levels = ms.level == 0 && s != nullptr ? 1 : ms.level;
    luaL_checkstack(ms.state, levels, "too many captures");
    for (int i = 0; i < levels; ++i)
        PushOneCapture(ms, i, s, e);
    return levels;
}

// Counts the comparisons of a plain search: each place tried costs a step,
// and each byte compared there a share of one.
const char* PlainFind(CMatchState& ms, const char* s, std::size_t length, const char* p,
                      std::size_t patternLength)
{
    if (patternLength == 0)
        return s;
    if (patternLength > length)
        return nullptr;
    const char* last = s + (length - patternLength);
    for (; s <= last; ++s)
    {
        ms.Step(1 + patternLength / kBytesPerStep);
        if (*s == *p && std::memcmp(s + 1, p + 1, patternLength - 1) == 0)
            return s;
    }
    return nullptr;
}

std::ptrdiff_t RelativePosition(std::ptrdiff_t position, std::size_t length)
{
    if (position < 0)
        position += static_cast<std::ptrdiff_t>(length) + 1;
    return position >= 0 ? position : 0;
}

int FindOrMatch(lua_State* state, bool find)
{
    std::size_t length = 0;
    std::size_t patternLength = 0;
    const char* s = luaL_checklstring(state, 1, &length);
    const char* p = luaL_checklstring(state, 2, &patternLength);
    std::ptrdiff_t start = RelativePosition(luaL_optinteger(state, 3, 1), length) - 1;
    if (start < 0)
        start = 0;
    else if (static_cast<std::size_t>(start) > length)
        start = static_cast<std::ptrdiff_t>(length);

    CMatchState ms;
    ms.state = state;
    ms.sourceStart = s;
    ms.sourceEnd = s + length;
    if (find && (lua_toboolean(state, 4) != 0 || std::strpbrk(p, kSpecials) == nullptr))
    {
        const char* found =
            PlainFind(ms, s + start, length - static_cast<std::size_t>(start), p, patternLength);
        ms.Flush();
        if (found != nullptr)
        {
            lua_pushinteger(state, found - s + 1);
            lua_pushinteger(state, found - s + static_cast<std::ptrdiff_t>(patternLength));
            return 2;
        }
        lua_pushnil(state);
        return 1;
    }

    const bool anchor = *p == '^';
    if (anchor)
        ++p;
    const char* s1 = s + start;
    do
    {
        ms.level = 0;
        if (const char* end = Match(ms, s1, p))
        {
            ms.Flush();
            if (find)
            {
                lua_pushinteger(state, s1 - s + 1);
                lua_pushinteger(state, end - s);
                return PushCaptures(ms, nullptr, nullptr) + 2;
            }
            return PushCaptures(ms, s1, end);
        }
    } while (s1++ < ms.sourceEnd && !anchor);
    ms.Flush();
    lua_pushnil(state);
    return 1;
}

int Find(lua_State* state)
{
    return FindOrMatch(state, true);
}

int MatchFunction(lua_State* state)
{
    return FindOrMatch(state, false);
}

int GmatchNext(lua_State* state)
{
    std::size_t length = 0;
    const char* s = lua_tolstring(state, lua_upvalueindex(1), &length);
    const char* p = lua_tostring(state, lua_upvalueindex(2));
    CMatchState ms;
    ms.state = state;
    ms.sourceStart = s;
    ms.sourceEnd = s + length;
    for (const char* source = s + lua_tointeger(state, lua_upvalueindex(3)); source <= ms.sourceEnd;
         ++source)
    {
        ms.level = 0;
        if (const char* end = Match(ms, source, p))
        {
            ms.Flush();
            lua_Integer next = end - s;
            if (end == source)
                ++next;
            lua_pushinteger(state, next);
            lua_replace(state, lua_upvalueindex(3));
            return PushCaptures(ms, source, end);
        }
    }
    ms.Flush();
    return 0;
}

int Gmatch(lua_State* state)
{
    luaL_checkstring(state, 1);
    luaL_checkstring(state, 2);
    lua_settop(state, 2);
    lua_pushinteger(state, 0);
    lua_pushcclosure(state, GmatchNext, 3);
    return 1;
}

void AddString(CMatchState& ms, luaL_Buffer& buffer, const char* s, const char* e)
{
    std::size_t length = 0;
    const char* replacement = lua_tolstring(ms.state, 3, &length);
    ms.Step(1 + length / kBytesPerStep);
    for (std::size_t i = 0; i < length; ++i)
    {
        if (replacement[i] != kEscape)
        {
            luaL_addchar(&buffer, replacement[i]);
            continue;
        }
        ++i;
        if (!std::isdigit(Byte(replacement[i])))
            luaL_addchar(&buffer, replacement[i]);
        else if (replacement[i] == '0')
            luaL_addlstring(&buffer, s, static_cast<std::size_t>(e - s));
        else
        {
            PushOneCapture(ms, replacement[i] - '1', s, e);
            luaL_addvalue(&buffer);
        }
    }
}

void AddValue(CMatchState& ms, luaL_Buffer& buffer, const char* s, const char* e)
{
    lua_State* state = ms.state;
    switch (lua_type(state, 3))
    {
    case LUA_TNUMBER:
    case LUA_TSTRING:
        AddString(ms, buffer, s, e);
        return;
    case LUA_TFUNCTION:
    {
        lua_pushvalue(state, 3);
        const int captures = PushCaptures(ms, s, e);
        lua_call(state, captures, 1);
        break;
    }
    case LUA_TTABLE:
        PushOneCapture(ms, 0, s, e);
        lua_gettable(state, 3);
        break;
    default:
        break;
    }
    if (lua_toboolean(state, -1) == 0)
    {
        lua_pop(state, 1);
        lua_pushlstring(state, s, static_cast<std::size_t>(e - s));
    }
    else if (lua_isstring(state, -1) == 0)
        luaL_error(state, "invalid replacement value (a %s)", luaL_typename(state, -1));
    luaL_addvalue(&buffer);
}

int Gsub(lua_State* state)
{
    std::size_t length = 0;
    const char* source = luaL_checklstring(state, 1, &length);
    const char* p = luaL_checkstring(state, 2);
    const int replacementType = lua_type(state, 3);
    const int maxReplacements = luaL_optint(state, 4, static_cast<int>(length + 1));
    luaL_argcheck(state,
                  replacementType == LUA_TNUMBER || replacementType == LUA_TSTRING ||
                      replacementType == LUA_TFUNCTION || replacementType == LUA_TTABLE,
                  3, "string/function/table expected");
    const bool anchor = *p == '^';
    if (anchor)
        ++p;
    CMatchState ms;
    ms.state = state;
    ms.sourceStart = source;
    ms.sourceEnd = source + length;
    luaL_Buffer buffer;
    luaL_buffinit(state, &buffer);
    int replacements = 0;
    while (replacements < maxReplacements)
    {
        ms.level = 0;
        const char* end = Match(ms, source, p);
        if (end != nullptr)
        {
            ++replacements;
            // A replacement function runs Lua code: the steps so far go first.
            ms.Flush();
            AddValue(ms, buffer, source, end);
        }
        if (end != nullptr && end > source)
            source = end;
        else if (source < ms.sourceEnd)
            luaL_addchar(&buffer, *source++);
        else
            break;
        if (anchor)
            break;
    }
    ms.Flush();
    luaL_addlstring(&buffer, source, static_cast<std::size_t>(ms.sourceEnd - source));
    luaL_pushresult(&buffer);
    lua_pushinteger(state, replacements);
    return 2;
}

} // namespace

void OpenCountedPatterns(lua_State* state)
{
    const luaL_Reg functions[] = {{"find", Find},
                                  {"match", MatchFunction},
                                  {"gmatch", Gmatch},
                                  {"gfind", Gmatch},
                                  {"gsub", Gsub}};
    for (const auto& function : functions)
    {
        lua_pushcfunction(state, function.func);
        lua_setfield(state, -2, function.name);
    }
}

} // namespace VARD::ScriptHost
