#include "platform/keys.h"

#include <SDL2/SDL_keycode.h>

#include <unordered_map>

namespace platform
{

namespace
{

std::unordered_map<SDL_Keycode, std::uint32_t> BuildKeyTable()
{
    std::unordered_map<SDL_Keycode, std::uint32_t> table = {
        {SDLK_BACKSPACE, vk::kBack},
        {SDLK_TAB, vk::kTab},
        {SDLK_RETURN, vk::kReturn},
        {SDLK_KP_ENTER, vk::kReturn},
        {SDLK_LSHIFT, vk::kShift},
        {SDLK_RSHIFT, vk::kShift},
        {SDLK_LCTRL, vk::kControl},
        {SDLK_RCTRL, vk::kControl},
        {SDLK_LALT, vk::kAlt},
        {SDLK_RALT, vk::kAlt},
        {SDLK_PAUSE, vk::kPause},
        {SDLK_CAPSLOCK, vk::kCapsLock},
        {SDLK_ESCAPE, vk::kEscape},
        {SDLK_SPACE, vk::kSpace},
        {SDLK_PAGEUP, vk::kPageUp},
        {SDLK_PAGEDOWN, vk::kPageDown},
        {SDLK_END, vk::kEnd},
        {SDLK_HOME, vk::kHome},
        {SDLK_LEFT, vk::kLeft},
        {SDLK_UP, vk::kUp},
        {SDLK_RIGHT, vk::kRight},
        {SDLK_DOWN, vk::kDown},
        {SDLK_INSERT, vk::kInsert},
        {SDLK_DELETE, vk::kDelete},
        {SDLK_KP_MULTIPLY, vk::kMultiply},
        {SDLK_KP_PLUS, vk::kAdd},
        {SDLK_KP_MINUS, vk::kSubtract},
        {SDLK_KP_PERIOD, vk::kDecimal},
        {SDLK_KP_DIVIDE, vk::kDivide},
        {SDLK_SEMICOLON, vk::kSemicolon},
        {SDLK_EQUALS, vk::kEquals},
        {SDLK_COMMA, vk::kComma},
        {SDLK_MINUS, vk::kMinus},
        {SDLK_PERIOD, vk::kPeriod},
        {SDLK_SLASH, vk::kSlash},
        {SDLK_BACKQUOTE, vk::kBackquote},
        {SDLK_LEFTBRACKET, vk::kOpenBracket},
        {SDLK_BACKSLASH, vk::kBackslash},
        {SDLK_RIGHTBRACKET, vk::kCloseBracket},
        {SDLK_QUOTE, vk::kQuote},
    };
    for (std::uint32_t i = 0; i < 10; ++i)
    {
        table[SDLK_0 + static_cast<SDL_Keycode>(i)] = vk::kDigit0 + i;
    }
    for (std::uint32_t i = 0; i < 26; ++i)
    {
        table[SDLK_a + static_cast<SDL_Keycode>(i)] = vk::kLetterA + i;
    }
    // SDL's keypad codes are not in digit order: 1..9 then 0.
    table[SDLK_KP_0] = vk::kNumpad0;
    for (std::uint32_t i = 1; i < 10; ++i)
    {
        table[SDLK_KP_1 + static_cast<SDL_Keycode>(i - 1)] = vk::kNumpad0 + i;
    }
    const SDL_Keycode functionKeys[] = {SDLK_F1, SDLK_F2, SDLK_F3, SDLK_F4,  SDLK_F5,  SDLK_F6,
                                        SDLK_F7, SDLK_F8, SDLK_F9, SDLK_F10, SDLK_F11, SDLK_F12};
    for (std::uint32_t i = 0; i < 12; ++i)
    {
        table[functionKeys[i]] = vk::kF1 + i;
    }
    return table;
}

} // namespace

std::uint32_t VirtualKeyFromSdl(std::int32_t sdlKeycode)
{
    static const std::unordered_map<SDL_Keycode, std::uint32_t> table = BuildKeyTable();
    const auto found = table.find(sdlKeycode);
    return found == table.end() ? 0 : found->second;
}

} // namespace platform
