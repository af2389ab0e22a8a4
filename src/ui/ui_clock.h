#pragma once

#include "platform/timer.h"

namespace VARDUI
{

// The millisecond clock that blinking widgets read: the system's unless the
// shell or a test sets another (which must outlive its use); null restores
// the system's.
const platform::Clock& GetUIClock();
void SetUIClock(const platform::Clock* clock);

} // namespace VARDUI
