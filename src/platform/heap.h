#pragma once

namespace platform
{

// Keeps freed memory in the process instead of handing it back to the
// system at once. The GL driver frees and allocates megabytes in every
// frame; with the C library's defaults each such block went back to the
// system and was fetched again, a page fault every 4 kB. Programs that draw
// call it once at start-up, before any thread starts. False when the C
// library offers no such setting (nothing is changed then).
bool KeepFreedMemory();

} // namespace platform
