#include "ui/ui_clock.h"

namespace VARDUI
{

namespace
{

const platform::SystemClock kSystemClock;
const platform::Clock* g_Clock = &kSystemClock;

} // namespace

const platform::Clock& GetUIClock()
{
    return *g_Clock;
}

void SetUIClock(const platform::Clock* clock)
{
    g_Clock = clock ? clock : &kSystemClock;
}

} // namespace VARDUI
