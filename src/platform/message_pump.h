#pragma once

#include "platform/keys.h"
#include "platform/messages.h"
#include "platform/timer.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>

union SDL_Event;

namespace platform
{

// The window's state as the pump needs it when a size event arrives.
struct WindowState
{
    bool minimized = false;
    bool maximized = false;
    int clientWidth = 0;
    int clientHeight = 0;
};

// Turns SDL's events for one window into messages and hands them out in the
// order the shell expects: posted messages first, then input, then a paint
// when the window was invalidated, then due timers. Everything runs on the
// window thread.
class MessagePump final : public Timers
{
public:
    // A size-move ends when the window has not changed size for this long:
    // X11 has no modal resize loop to tell us.
    static constexpr std::uint32_t kSizeMoveQuietMs = 250;

    MessagePump(std::uint32_t windowId, const Clock& clock, const KeyState& keys,
                std::function<WindowState()> windowState);

    void PostAppMessage(std::uint32_t number);
    void PostClose();
    void Invalidate() { m_Invalidated = true; }
    // The next time the pointer leaves the client area, one MouseLeave follows.
    void TrackMouseLeave() { m_TrackLeave = true; }

    std::uint32_t SetTimer(std::uint32_t id, std::uint32_t intervalMs) override;
    bool KillTimer(std::uint32_t id) override;

    // Turns one SDL event into queued input messages (none for events of other
    // windows and kinds the shell does not handle).
    void Translate(const SDL_Event& event);

    // The next message that is ready now, taking whatever SDL has queued;
    // false when none is.
    bool Poll(Message& message);
    // Waits until a message is ready.
    Message Wait();
    // Hands every message to the handler until a Close has been handled;
    // returns the loop's exit code, 0.
    int Run(const std::function<void(const Message&)>& handler);

private:
    struct TimerEntry
    {
        std::uint32_t interval;
        std::uint32_t last;
    };

    void TranslateWindowEvent(const SDL_Event& event);
    void TranslateKey(const SDL_Event& event, bool down);
    void TranslateButton(const SDL_Event& event, bool down);
    std::uint32_t MouseFlags(std::uint32_t sdlButtons) const;
    void QueueSize(SizeKind kind, int width, int height);
    bool TakeDueTimer(Message& message);
    // Milliseconds until a timer or the end of a size-move is due; -1 for none.
    int MillisecondsToWait() const;

    std::uint32_t m_WindowId;
    const Clock& m_Clock;
    const KeyState& m_Keys;
    std::function<WindowState()> m_WindowState;
    std::deque<Message> m_Posted;
    std::deque<Message> m_Input;
    std::map<std::uint32_t, TimerEntry> m_Timers;
    bool m_Invalidated = false;
    bool m_TrackLeave = false;
    bool m_InSizeMove = false;
    std::uint32_t m_LastSizeChange = 0;
};

} // namespace platform
