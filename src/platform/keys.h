#pragma once

#include <cstdint>
#include <set>

namespace platform
{

// Virtual-key codes, the values the game's key tables and saved bindings use.
namespace vk
{
constexpr std::uint32_t kBack = 0x08;
constexpr std::uint32_t kTab = 0x09;
constexpr std::uint32_t kReturn = 0x0D;
constexpr std::uint32_t kShift = 0x10;
constexpr std::uint32_t kControl = 0x11;
constexpr std::uint32_t kAlt = 0x12;
constexpr std::uint32_t kPause = 0x13;
constexpr std::uint32_t kCapsLock = 0x14;
constexpr std::uint32_t kEscape = 0x1B;
constexpr std::uint32_t kSpace = 0x20;
constexpr std::uint32_t kPageUp = 0x21;
constexpr std::uint32_t kPageDown = 0x22;
constexpr std::uint32_t kEnd = 0x23;
constexpr std::uint32_t kHome = 0x24;
constexpr std::uint32_t kLeft = 0x25;
constexpr std::uint32_t kUp = 0x26;
constexpr std::uint32_t kRight = 0x27;
constexpr std::uint32_t kDown = 0x28;
constexpr std::uint32_t kInsert = 0x2D;
constexpr std::uint32_t kDelete = 0x2E;
constexpr std::uint32_t kDigit0 = 0x30;  // '0'..'9' follow
constexpr std::uint32_t kLetterA = 0x41; // 'A'..'Z' follow
constexpr std::uint32_t kNumpad0 = 0x60; // numpad 0..9 follow
constexpr std::uint32_t kMultiply = 0x6A;
constexpr std::uint32_t kAdd = 0x6B;
constexpr std::uint32_t kSubtract = 0x6D;
constexpr std::uint32_t kDecimal = 0x6E;
constexpr std::uint32_t kDivide = 0x6F;
constexpr std::uint32_t kF1 = 0x70; // F2..F12 follow
constexpr std::uint32_t kF10 = 0x79;
constexpr std::uint32_t kSemicolon = 0xBA;
constexpr std::uint32_t kEquals = 0xBB;
constexpr std::uint32_t kComma = 0xBC;
constexpr std::uint32_t kMinus = 0xBD;
constexpr std::uint32_t kPeriod = 0xBE;
constexpr std::uint32_t kSlash = 0xBF; // the "/?" key
constexpr std::uint32_t kBackquote = 0xC0;
constexpr std::uint32_t kOpenBracket = 0xDB;
constexpr std::uint32_t kBackslash = 0xDC;
constexpr std::uint32_t kCloseBracket = 0xDD;
constexpr std::uint32_t kQuote = 0xDE;
} // namespace vk

// The virtual-key code of an SDL keycode; 0 for a key the game has no code
// for. Letters give their upper-case code whatever SHIFT does.
std::uint32_t VirtualKeyFromSdl(std::int32_t sdlKeycode);

// Whether SHIFT, CTRL or ALT is held now (vk::kShift, kControl, kAlt); any
// other code reads as up.
class KeyState
{
public:
    virtual ~KeyState() = default;
    virtual bool IsDown(std::uint32_t virtualKey) const = 0;
};

// Key state for tests: the keys in `down` are held.
class FakeKeyState final : public KeyState
{
public:
    bool IsDown(std::uint32_t virtualKey) const override { return down.count(virtualKey) != 0; }

    std::set<std::uint32_t> down;
};

} // namespace platform
