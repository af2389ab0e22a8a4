#pragma once

#include <cstdint>
#include <map>

namespace platform
{

// A millisecond counter of 32 bits that wraps about every 49.7 days; take
// differences in unsigned 32-bit arithmetic and a wrap costs nothing.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual std::uint32_t Milliseconds() const = 0;
};

// Milliseconds since an arbitrary start, from the monotonic clock.
class SystemClock final : public Clock
{
public:
    std::uint32_t Milliseconds() const override;
};

// A clock that moves only when told to.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(std::uint32_t start = 0) : m_Now(start) {}

    std::uint32_t Milliseconds() const override { return m_Now; }
    void Set(std::uint32_t now) { m_Now = now; }
    void Advance(std::uint32_t milliseconds) { m_Now += milliseconds; }

private:
    std::uint32_t m_Now;
};

// Window timers: while set, a timer message with the timer's id arrives each
// time the interval has passed and the message queue is otherwise idle.
class Timers
{
public:
    virtual ~Timers() = default;

    // Sets (or resets) timer `id` (not 0); returns id.
    virtual std::uint32_t SetTimer(std::uint32_t id, std::uint32_t intervalMs) = 0;
    // Stops the timer; false when it was not set.
    virtual bool KillTimer(std::uint32_t id) = 0;
};

// Timers for tests: remembers which are set; the test delivers the timer
// messages itself.
class FakeTimers final : public Timers
{
public:
    std::uint32_t SetTimer(std::uint32_t id, std::uint32_t intervalMs) override
    {
        running[id] = intervalMs;
        ++setCount;
        return id;
    }
    bool KillTimer(std::uint32_t id) override { return running.erase(id) != 0; }

    bool IsRunning(std::uint32_t id) const { return running.count(id) != 0; }

    std::map<std::uint32_t, std::uint32_t> running; // id to interval
    int setCount = 0;
};

} // namespace platform
