#include "platform/message_pump.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <vector>

namespace
{

using platform::Message;
using platform::MessageKind;

constexpr Uint32 kWindow = 7;

class MessagePumpTest : public ::testing::Test
{
protected:
    std::vector<Message> Drain()
    {
        std::vector<Message> messages;
        Message message;
        while (pump.Poll(message))
        {
            messages.push_back(message);
        }
        return messages;
    }

    static SDL_Event Key(Uint32 type, SDL_Keycode sym, Uint16 mod = 0, Uint8 repeat = 0)
    {
        SDL_Event event{};
        event.type = type;
        event.key.windowID = kWindow;
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = repeat;
        event.key.keysym.sym = sym;
        event.key.keysym.mod = mod;
        return event;
    }

    static SDL_Event Button(Uint32 type, Uint8 button, Uint8 clicks, int x = 10, int y = 20)
    {
        SDL_Event event{};
        event.type = type;
        event.button.windowID = kWindow;
        event.button.button = button;
        event.button.clicks = clicks;
        event.button.x = x;
        event.button.y = y;
        return event;
    }

    static SDL_Event WindowEvent(Uint8 what, int data1 = 0, int data2 = 0, Uint32 id = kWindow)
    {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.windowID = id;
        event.window.event = what;
        event.window.data1 = data1;
        event.window.data2 = data2;
        return event;
    }

    platform::FakeClock clock{1000};
    platform::FakeKeyState keys;
    platform::WindowState state;
    platform::MessagePump pump{kWindow, clock, keys, [this] { return state; }};
};

struct KeyCase
{
    Uint32 type;
    SDL_Keycode sym;
    Uint16 mod;
    MessageKind kind;
    std::uint32_t code;
};

TEST_F(MessagePumpTest, KeysBecomeVirtualKeysWithSystemKeysUnderAlt)
{
    const KeyCase cases[] = {
        {SDL_KEYDOWN, SDLK_a, 0, MessageKind::KeyDown, 0x41},
        {SDL_KEYDOWN, SDLK_a, KMOD_LSHIFT, MessageKind::KeyDown, 0x41},
        {SDL_KEYDOWN, SDLK_z, 0, MessageKind::KeyDown, 0x5A},
        {SDL_KEYDOWN, SDLK_0, 0, MessageKind::KeyDown, 0x30},
        {SDL_KEYDOWN, SDLK_6, 0, MessageKind::KeyDown, 0x36},
        {SDL_KEYDOWN, SDLK_9, 0, MessageKind::KeyDown, 0x39},
        {SDL_KEYDOWN, SDLK_F1, 0, MessageKind::KeyDown, 0x70},
        {SDL_KEYDOWN, SDLK_F9, 0, MessageKind::KeyDown, 0x78},
        {SDL_KEYDOWN, SDLK_F10, 0, MessageKind::SysKeyDown, 0x79},
        {SDL_KEYDOWN, SDLK_SPACE, 0, MessageKind::KeyDown, 0x20},
        {SDL_KEYDOWN, SDLK_RETURN, 0, MessageKind::KeyDown, 0x0D},
        {SDL_KEYDOWN, SDLK_KP_ENTER, 0, MessageKind::KeyDown, 0x0D},
        {SDL_KEYDOWN, SDLK_ESCAPE, 0, MessageKind::KeyDown, 0x1B},
        {SDL_KEYDOWN, SDLK_TAB, 0, MessageKind::KeyDown, 0x09},
        {SDL_KEYDOWN, SDLK_INSERT, 0, MessageKind::KeyDown, 0x2D},
        {SDL_KEYDOWN, SDLK_BACKSPACE, 0, MessageKind::KeyDown, 0x08},
        {SDL_KEYDOWN, SDLK_MINUS, 0, MessageKind::KeyDown, 0xBD},
        {SDL_KEYDOWN, SDLK_KP_MINUS, 0, MessageKind::KeyDown, 0x6D},
        {SDL_KEYDOWN, SDLK_SLASH, KMOD_LSHIFT, MessageKind::KeyDown, 0xBF},
        {SDL_KEYDOWN, SDLK_KP_0, 0, MessageKind::KeyDown, 0x60},
        {SDL_KEYDOWN, SDLK_KP_1, 0, MessageKind::KeyDown, 0x61},
        {SDL_KEYDOWN, SDLK_KP_9, 0, MessageKind::KeyDown, 0x69},
        {SDL_KEYDOWN, SDLK_RSHIFT, KMOD_RSHIFT, MessageKind::KeyDown, 0x10},
        {SDL_KEYDOWN, SDLK_LCTRL, KMOD_LCTRL, MessageKind::KeyDown, 0x11},
        {SDL_KEYDOWN, SDLK_LALT, KMOD_LALT, MessageKind::SysKeyDown, 0x12},
        {SDL_KEYDOWN, SDLK_q, KMOD_LALT, MessageKind::SysKeyDown, 0x51},
        {SDL_KEYDOWN, SDLK_F4, KMOD_RALT, MessageKind::SysKeyDown, 0x73},
        {SDL_KEYUP, SDLK_q, KMOD_LALT, MessageKind::SysKeyUp, 0x51},
        {SDL_KEYUP, SDLK_LALT, 0, MessageKind::SysKeyUp, 0x12},
        {SDL_KEYUP, SDLK_F10, 0, MessageKind::SysKeyUp, 0x79},
        {SDL_KEYUP, SDLK_LCTRL, 0, MessageKind::KeyUp, 0x11},
        {SDL_KEYUP, SDLK_x, KMOD_LCTRL, MessageKind::KeyUp, 0x58},
    };
    for (const KeyCase& c : cases)
    {
        pump.Translate(Key(c.type, c.sym, c.mod));
        const std::vector<Message> messages = Drain();
        ASSERT_EQ(messages.size(), 1u) << "keycode " << c.sym;
        EXPECT_EQ(messages[0].kind, c.kind) << "keycode " << c.sym;
        EXPECT_EQ(messages[0].code, c.code) << "keycode " << c.sym;
        EXPECT_FALSE(messages[0].repeat);
    }
    // Keys the game has no code for are not passed on.
    pump.Translate(Key(SDL_KEYDOWN, SDLK_F13));
    pump.Translate(Key(SDL_KEYDOWN, SDLK_MENU));
    EXPECT_TRUE(Drain().empty());
}

TEST_F(MessagePumpTest, KeyRepeatIsPassedThrough)
{
    pump.Translate(Key(SDL_KEYDOWN, SDLK_b));
    pump.Translate(Key(SDL_KEYDOWN, SDLK_b, 0, 1));
    pump.Translate(Key(SDL_KEYDOWN, SDLK_b, 0, 1));
    pump.Translate(Key(SDL_KEYUP, SDLK_b));
    const std::vector<Message> messages = Drain();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_FALSE(messages[0].repeat);
    EXPECT_TRUE(messages[1].repeat);
    EXPECT_TRUE(messages[2].repeat);
    EXPECT_EQ(messages[3].kind, MessageKind::KeyUp);
    for (const Message& message : messages)
    {
        EXPECT_EQ(message.code, 0x42u);
    }
}

TEST_F(MessagePumpTest, MouseButtonsAndDoubleClicks)
{
    keys.down = {platform::vk::kShift};
    pump.Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 5, 6));
    pump.Translate(Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 1, 5, 6));
    pump.Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 2, 5, 7));
    pump.Translate(Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 2, 5, 7));
    pump.Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 3, 5, 7));
    keys.down = {platform::vk::kControl};
    // Every right press counts, the second of a pair too.
    pump.Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 1, -3, 900));
    pump.Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 2, -3, 900));
    pump.Translate(Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 2, -3, 900));
    pump.Translate(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 1));

    SDL_Event move{};
    move.type = SDL_MOUSEMOTION;
    move.motion.windowID = kWindow;
    move.motion.x = 300;
    move.motion.y = 200;
    move.motion.state = SDL_BUTTON_LMASK;
    pump.Translate(move);

    const std::vector<Message> messages = Drain();
    struct Expected
    {
        MessageKind kind;
        int x, y;
        std::uint32_t flags;
    };
    const Expected expected[] = {
        {MessageKind::LeftDown, 5, 6, platform::kMouseLeftButton | platform::kMouseShift},
        {MessageKind::LeftUp, 5, 6, platform::kMouseShift},
        {MessageKind::LeftDoubleClick, 5, 7, platform::kMouseLeftButton | platform::kMouseShift},
        {MessageKind::LeftUp, 5, 7, platform::kMouseShift},
        {MessageKind::LeftDown, 5, 7, platform::kMouseLeftButton | platform::kMouseShift},
        {MessageKind::RightDown, -3, 900, platform::kMouseRightButton | platform::kMouseControl},
        {MessageKind::RightDown, -3, 900, platform::kMouseRightButton | platform::kMouseControl},
        {MessageKind::MouseMove, 300, 200, platform::kMouseLeftButton | platform::kMouseControl},
    };
    ASSERT_EQ(messages.size(), std::size(expected));
    for (std::size_t i = 0; i < messages.size(); ++i)
    {
        EXPECT_EQ(messages[i].kind, expected[i].kind) << i;
        EXPECT_EQ(messages[i].x, expected[i].x) << i;
        EXPECT_EQ(messages[i].y, expected[i].y) << i;
        EXPECT_EQ(messages[i].flags, expected[i].flags) << i;
    }
}

TEST_F(MessagePumpTest, MouseLeaveOnlyWhenTracked)
{
    pump.Translate(WindowEvent(SDL_WINDOWEVENT_LEAVE));
    EXPECT_TRUE(Drain().empty());

    pump.TrackMouseLeave();
    pump.Translate(WindowEvent(SDL_WINDOWEVENT_LEAVE));
    pump.Translate(WindowEvent(SDL_WINDOWEVENT_LEAVE));
    const std::vector<Message> messages = Drain();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, MessageKind::MouseLeave);
}

TEST_F(MessagePumpTest, EventsOfOtherWindowsAreIgnored)
{
    pump.Translate(WindowEvent(SDL_WINDOWEVENT_CLOSE, 0, 0, kWindow + 1));
    SDL_Event key = Key(SDL_KEYDOWN, SDLK_a);
    key.key.windowID = kWindow + 1;
    pump.Translate(key);
    EXPECT_TRUE(Drain().empty());

    pump.Translate(WindowEvent(SDL_WINDOWEVENT_CLOSE));
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    pump.Translate(quit);
    const std::vector<Message> messages = Drain();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].kind, MessageKind::Close);
    EXPECT_EQ(messages[1].kind, MessageKind::Close);
}

TEST_F(MessagePumpTest, ResizingIsOneSizeMoveUntilTheSizeRestsAndMaximisingIsNot)
{
    pump.Translate(WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600));
    std::vector<Message> messages = Drain();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].kind, MessageKind::EnterSizeMove);
    EXPECT_EQ(messages[1].kind, MessageKind::Size);
    EXPECT_EQ(messages[1].code, static_cast<std::uint32_t>(platform::SizeKind::Restored));
    EXPECT_EQ(messages[1].x, 800);
    EXPECT_EQ(messages[1].y, 600);
    EXPECT_EQ(messages[2].kind, MessageKind::Paint);

    clock.Advance(100);
    pump.Translate(WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 900, 700));
    messages = Drain();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].kind, MessageKind::Size);
    EXPECT_EQ(messages[0].x, 900);

    clock.Advance(platform::MessagePump::kSizeMoveQuietMs - 1);
    EXPECT_TRUE(Drain().empty());
    clock.Advance(1);
    messages = Drain();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, MessageKind::ExitSizeMove);

    state = {false, true, 1920, 1080};
    pump.Translate(WindowEvent(SDL_WINDOWEVENT_MAXIMIZED));
    pump.Translate(WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 1920, 1080));
    state = {true, false, 1920, 1080};
    pump.Translate(WindowEvent(SDL_WINDOWEVENT_MINIMIZED));
    pump.Translate(WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 0, 0));
    messages = Drain();
    ASSERT_EQ(messages.size(), 4u);
    const std::uint32_t kinds[] = {2, 2, 1};
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(messages[i].kind, MessageKind::Size) << i;
        EXPECT_EQ(messages[i].code, kinds[i]) << i;
    }
    EXPECT_EQ(messages[0].x, 1920);
    EXPECT_EQ(messages[1].y, 1080);
    EXPECT_EQ(messages[2].x, 0);
    EXPECT_EQ(messages[3].kind, MessageKind::Paint);
}

TEST_F(MessagePumpTest, PostedThenInputThenPaintThenTimer)
{
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
    pump.SetTimer(1, 16);
    clock.Advance(16);
    pump.Invalidate();
    SDL_Event key = Key(SDL_KEYDOWN, SDLK_SPACE);
    ASSERT_EQ(SDL_PushEvent(&key), 1);
    pump.PostAppMessage(0x8000);
    pump.PostAppMessage(0x8001);

    std::vector<Message> messages;
    Message message;
    while (pump.Poll(message))
    {
        messages.push_back(message);
        // A message posted while the input waits still comes first.
        if (message.code == 0x8000)
        {
            pump.PostAppMessage(0x8002);
        }
    }
    ASSERT_EQ(messages.size(), 6u);
    EXPECT_EQ(messages[0].kind, MessageKind::App);
    EXPECT_EQ(messages[0].code, 0x8000u);
    EXPECT_EQ(messages[1].code, 0x8001u);
    EXPECT_EQ(messages[2].code, 0x8002u);
    EXPECT_EQ(messages[3].kind, MessageKind::KeyDown);
    EXPECT_EQ(messages[3].code, 0x20u);
    EXPECT_EQ(messages[4].kind, MessageKind::Paint);
    EXPECT_EQ(messages[5].kind, MessageKind::Timer);
    EXPECT_EQ(messages[5].code, 1u);
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

TEST_F(MessagePumpTest, TimerFiresOnEachIntervalAcrossTheClockWrap)
{
    clock.Set(0xFFFFFFF8u);
    EXPECT_EQ(pump.SetTimer(1, 16), 1u);
    clock.Advance(15); // wraps past zero
    EXPECT_TRUE(Drain().empty());
    clock.Advance(1);
    std::vector<Message> messages = Drain();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, MessageKind::Timer);
    EXPECT_EQ(clock.Milliseconds(), 8u);

    // A late timer is one message, not a burst of catch-up ones.
    clock.Advance(100);
    EXPECT_EQ(Drain().size(), 1u);
    clock.Advance(15);
    EXPECT_TRUE(Drain().empty());

    EXPECT_TRUE(pump.KillTimer(1));
    EXPECT_FALSE(pump.KillTimer(1));
    clock.Advance(1000);
    EXPECT_TRUE(Drain().empty());
}

TEST_F(MessagePumpTest, RunEndsAfterTheCloseMessage)
{
    pump.PostAppMessage(0x8000);
    pump.PostClose();
    pump.PostAppMessage(0x8001);
    std::vector<Message> handled;
    EXPECT_EQ(pump.Run([&](const Message& message) { handled.push_back(message); }), 0);
    ASSERT_EQ(handled.size(), 2u);
    EXPECT_EQ(handled[0].kind, MessageKind::App);
    EXPECT_EQ(handled[1].kind, MessageKind::Close);
}

} // namespace
