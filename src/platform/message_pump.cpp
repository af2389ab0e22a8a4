#include "platform/message_pump.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <utility>

namespace platform
{

MessagePump::MessagePump(std::uint32_t windowId, const Clock& clock, const KeyState& keys,
                         std::function<WindowState()> windowState)
    : m_WindowId(windowId), m_Clock(clock), m_Keys(keys), m_WindowState(std::move(windowState))
{
}

void MessagePump::PostAppMessage(std::uint32_t number)
{
    Message message;
    message.kind = MessageKind::App;
    message.code = number;
    m_Posted.push_back(message);
}

void MessagePump::PostClose()
{
    Message message;
    message.kind = MessageKind::Close;
    m_Posted.push_back(message);
}

std::uint32_t MessagePump::SetTimer(std::uint32_t id, std::uint32_t intervalMs)
{
    m_Timers[id] = TimerEntry{std::max<std::uint32_t>(intervalMs, 1), m_Clock.Milliseconds()};
    return id;
}

bool MessagePump::KillTimer(std::uint32_t id)
{
    return m_Timers.erase(id) != 0;
}

void MessagePump::Translate(const SDL_Event& event)
{
    switch (event.type)
    {
    case SDL_QUIT:
        m_Input.push_back(Message{MessageKind::Close});
        break;
    case SDL_WINDOWEVENT:
        if (event.window.windowID == m_WindowId)
        {
            TranslateWindowEvent(event);
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (event.key.windowID == m_WindowId)
        {
            TranslateKey(event, event.type == SDL_KEYDOWN);
        }
        break;
    case SDL_MOUSEMOTION:
        if (event.motion.windowID == m_WindowId)
        {
            Message message{MessageKind::MouseMove};
            message.x = event.motion.x;
            message.y = event.motion.y;
            message.flags = MouseFlags(event.motion.state);
            m_Input.push_back(message);
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (event.button.windowID == m_WindowId)
        {
            TranslateButton(event, event.type == SDL_MOUSEBUTTONDOWN);
        }
        break;
    default:
        break;
    }
}

void MessagePump::TranslateWindowEvent(const SDL_Event& event)
{
    switch (event.window.event)
    {
    case SDL_WINDOWEVENT_CLOSE:
        m_Input.push_back(Message{MessageKind::Close});
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        m_Invalidated = true;
        break;
    case SDL_WINDOWEVENT_LEAVE:
        if (m_TrackLeave)
        {
            m_TrackLeave = false;
            m_Input.push_back(Message{MessageKind::MouseLeave});
        }
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    {
        const WindowState state = m_WindowState();
        m_Invalidated = true;
        if (state.minimized)
        {
            break;
        }
        if (state.maximized)
        {
            QueueSize(SizeKind::Maximized, event.window.data1, event.window.data2);
            break;
        }
        // Any other change of size comes from the user dragging the frame or
        // from a call; either way one reset at the end is enough.
        if (!m_InSizeMove)
        {
            m_InSizeMove = true;
            m_Input.push_back(Message{MessageKind::EnterSizeMove});
        }
        m_LastSizeChange = m_Clock.Milliseconds();
        QueueSize(SizeKind::Restored, event.window.data1, event.window.data2);
        break;
    }
    case SDL_WINDOWEVENT_MINIMIZED:
        QueueSize(SizeKind::Minimized, 0, 0);
        break;
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_RESTORED:
    {
        const WindowState state = m_WindowState();
        m_Invalidated = true;
        QueueSize(state.maximized ? SizeKind::Maximized : SizeKind::Restored, state.clientWidth,
                  state.clientHeight);
        break;
    }
    default:
        break;
    }
}

void MessagePump::QueueSize(SizeKind kind, int width, int height)
{
    Message message{MessageKind::Size};
    message.code = static_cast<std::uint32_t>(kind);
    message.x = width;
    message.y = height;
    m_Input.push_back(message);
}

void MessagePump::TranslateKey(const SDL_Event& event, bool down)
{
    const std::uint32_t key = VirtualKeyFromSdl(event.key.keysym.sym);
    if (key == 0)
    {
        return;
    }
    // As the design's system keys: anything under ALT, ALT itself and F10,
    // so that ALT combinations never reach the game's key table.
    const bool system =
        (event.key.keysym.mod & KMOD_ALT) != 0 || key == vk::kAlt || key == vk::kF10;
    Message message;
    if (down)
    {
        message.kind = system ? MessageKind::SysKeyDown : MessageKind::KeyDown;
        message.repeat = event.key.repeat != 0;
    }
    else
    {
        message.kind = system ? MessageKind::SysKeyUp : MessageKind::KeyUp;
    }
    message.code = key;
    m_Input.push_back(message);
}

void MessagePump::TranslateButton(const SDL_Event& event, bool down)
{
    Message message;
    message.x = event.button.x;
    message.y = event.button.y;
    if (event.button.button == SDL_BUTTON_LEFT)
    {
        if (down)
        {
            // A third press starts a new pair, as the design's double clicks do.
            message.kind =
                event.button.clicks % 2 == 0 ? MessageKind::LeftDoubleClick : MessageKind::LeftDown;
        }
        else
        {
            message.kind = MessageKind::LeftUp;
        }
    }
    else if (event.button.button == SDL_BUTTON_RIGHT && down)
    {
        message.kind = MessageKind::RightDown;
    }
    else
    {
        return;
    }
    // The buttons as they are after this event.
    std::uint32_t buttons = SDL_GetMouseState(nullptr, nullptr);
    const std::uint32_t mask = SDL_BUTTON(event.button.button);
    buttons = down ? (buttons | mask) : (buttons & ~mask);
    message.flags = MouseFlags(buttons);
    m_Input.push_back(message);
}

std::uint32_t MessagePump::MouseFlags(std::uint32_t sdlButtons) const
{
    std::uint32_t flags = 0;
    if ((sdlButtons & SDL_BUTTON_LMASK) != 0)
    {
        flags |= kMouseLeftButton;
    }
    if ((sdlButtons & SDL_BUTTON_RMASK) != 0)
    {
        flags |= kMouseRightButton;
    }
    if (m_Keys.IsDown(vk::kShift))
    {
        flags |= kMouseShift;
    }
    if (m_Keys.IsDown(vk::kControl))
    {
        flags |= kMouseControl;
    }
    return flags;
}

bool MessagePump::TakeDueTimer(Message& message)
{
    const std::uint32_t now = m_Clock.Milliseconds();
    for (auto& [id, timer] : m_Timers)
    {
        if (now - timer.last >= timer.interval)
        {
            timer.last = now;
            message = Message{MessageKind::Timer};
            message.code = id;
            return true;
        }
    }
    return false;
}

bool MessagePump::Poll(Message& message)
{
    if (!m_Posted.empty())
    {
        message = m_Posted.front();
        m_Posted.pop_front();
        return true;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event) == 1)
    {
        Translate(event);
    }
    if (m_InSizeMove && m_Clock.Milliseconds() - m_LastSizeChange >= kSizeMoveQuietMs)
    {
        m_InSizeMove = false;
        m_Input.push_back(Message{MessageKind::ExitSizeMove});
    }
    if (!m_Input.empty())
    {
        message = m_Input.front();
        m_Input.pop_front();
        return true;
    }
    if (m_Invalidated)
    {
        m_Invalidated = false;
        message = Message{MessageKind::Paint};
        return true;
    }
    return TakeDueTimer(message);
}

int MessagePump::MillisecondsToWait() const
{
    const std::uint32_t now = m_Clock.Milliseconds();
    std::int64_t wait = -1;
    const auto consider = [&](std::uint32_t since, std::uint32_t span)
    {
        const std::uint32_t elapsed = now - since;
        const std::int64_t left = elapsed >= span ? 0 : static_cast<std::int64_t>(span - elapsed);
        wait = wait < 0 ? left : std::min(wait, left);
    };
    for (const auto& [id, timer] : m_Timers)
    {
        consider(timer.last, timer.interval);
    }
    if (m_InSizeMove)
    {
        consider(m_LastSizeChange, kSizeMoveQuietMs);
    }
    return static_cast<int>(std::min<std::int64_t>(wait, 0x7FFFFFFF));
}

Message MessagePump::Wait()
{
    Message message;
    while (!Poll(message))
    {
        const int wait = MillisecondsToWait();
        if (wait < 0)
        {
            SDL_WaitEvent(nullptr);
        }
        else
        {
            SDL_WaitEventTimeout(nullptr, wait);
        }
    }
    return message;
}

int MessagePump::Run(const std::function<void(const Message&)>& handler)
{
    for (;;)
    {
        const Message message = Wait();
        handler(message);
        if (message.kind == MessageKind::Close)
        {
            return 0;
        }
    }
}

} // namespace platform
