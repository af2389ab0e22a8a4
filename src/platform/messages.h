#pragma once

#include <cstdint>

namespace platform
{

// What happened to the window, in the terms the shell's window procedure
// handles.
enum class MessageKind : std::uint8_t
{
    MouseMove,       // point, flags
    LeftDown,        // point, flags
    LeftUp,          // point, flags
    LeftDoubleClick, // the second press of a double click, in place of LeftDown
    RightDown,       // point, flags
    MouseLeave,      // the pointer left the client area (once per TrackMouseLeave)
    KeyDown,         // code = virtual key, repeat
    KeyUp,           // code = virtual key
    SysKeyDown,      // as KeyDown, for keys pressed under ALT, ALT itself and F10
    SysKeyUp,        // as KeyUp, for keys released under ALT, ALT itself and F10
    Size,            // code = SizeKind; point = client width and height
    EnterSizeMove,   // the user began resizing the window
    ExitSizeMove,    // the resizing ended
    Close,           // the window is to close; the message loop ends after it
    Paint,           // the window was invalidated
    Timer,           // code = timer id
    App,             // a posted application message; code = its number
};

enum class SizeKind : std::uint32_t
{
    Restored = 0,
    Minimized = 1,
    Maximized = 2,
};

// Mouse message flags: buttons held and modifier keys down at the event.
constexpr std::uint32_t kMouseLeftButton = 0x0001;
constexpr std::uint32_t kMouseRightButton = 0x0002;
constexpr std::uint32_t kMouseShift = 0x0004;
constexpr std::uint32_t kMouseControl = 0x0008;

struct Message
{
    MessageKind kind = MessageKind::Paint;
    std::uint32_t code = 0;
    int x = 0;
    int y = 0;
    std::uint32_t flags = 0;
    bool repeat = false;
};

} // namespace platform
