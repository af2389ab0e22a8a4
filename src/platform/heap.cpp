#include "platform/heap.h"

// Any C library header tells which library this is.
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace platform
{

bool KeepFreedMemory()
{
#if defined(__GLIBC__)
    // Blocks up to the library's largest threshold come from the heap, not
    // from a mapping of their own that every free would unmap; the heap
    // shrinks only once this much lies free at its top.
    constexpr int kMapThreshold = 32 * 1024 * 1024;
    constexpr int kTrimThreshold = 256 * 1024 * 1024;
    return mallopt(M_MMAP_THRESHOLD, kMapThreshold) == 1 &&
           mallopt(M_TRIM_THRESHOLD, kTrimThreshold) == 1;
#else
    return false;
#endif
}

} // namespace platform
