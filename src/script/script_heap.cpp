#include "script/script_heap.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
// Blocks not handed out stay poisoned, so that the address sanitizer still
// sees a script state read freed memory.
#define VARD_HEAP_POISON(address, size) ASAN_POISON_MEMORY_REGION(address, size)
#define VARD_HEAP_UNPOISON(address, size) ASAN_UNPOISON_MEMORY_REGION(address, size)
#else
#define VARD_HEAP_POISON(address, size) ((void)(address), (void)(size))
#define VARD_HEAP_UNPOISON(address, size) ((void)(address), (void)(size))
#endif

namespace VARD
{

namespace ScriptHost
{

void CScriptHeap::RegionFree::operator()(std::byte* region) const
{
    VARD_HEAP_UNPOISON(region, kRegionBytes);
    std::free(region);
}

CScriptHeap::~CScriptHeap() = default;

bool CScriptHeap::Holds(const void* block) const
{
    const std::byte* region = m_Region.get();
    const auto* at = static_cast<const std::byte*>(block);
    return region != nullptr && std::greater_equal<const std::byte*>()(at, region) &&
           std::less<const std::byte*>()(at, region + kRegionBytes);
}

void* CScriptHeap::Allocate(std::size_t size)
{
    if (size > kLargestSmall)
        return std::malloc(size);
    const std::size_t sizeClass = ClassOf(size);
    const std::size_t bytes = (sizeClass + 1) * kGrain;
    void* block = m_Free[sizeClass];
    if (block != nullptr)
    {
        VARD_HEAP_UNPOISON(block, sizeof(void*));
        std::memcpy(&m_Free[sizeClass], block, sizeof(void*));
    }
    else
    {
        if (!m_Region)
        {
            m_Region.reset(static_cast<std::byte*>(std::malloc(kRegionBytes)));
            if (!m_Region)
                return std::malloc(size);
            VARD_HEAP_POISON(m_Region.get(), kRegionBytes);
        }
        if (m_Used + bytes > kRegionBytes)
            return std::malloc(size);
        block = m_Region.get() + m_Used;
        m_Used += bytes;
    }
    VARD_HEAP_POISON(block, bytes);
    VARD_HEAP_UNPOISON(block, size);
    ++m_InUse;
    return block;
}

void CScriptHeap::Free(void* block, std::size_t oldSize)
{
    if (block == nullptr)
        return;
    if (!Holds(block))
    {
        std::free(block);
        return;
    }
    const std::size_t sizeClass = ClassOf(oldSize);
    VARD_HEAP_UNPOISON(block, sizeof(void*));
    std::memcpy(block, &m_Free[sizeClass], sizeof(void*));
    VARD_HEAP_POISON(block, (sizeClass + 1) * kGrain);
    m_Free[sizeClass] = block;
    if (--m_InUse == 0)
    {
        // Nothing in use: the next run starts at the front again, on memory
        // still warm in the caches.
        m_Free.fill(nullptr);
        m_Used = 0;
        VARD_HEAP_POISON(m_Region.get(), kRegionBytes);
    }
}

void* CScriptHeap::Resize(void* block, std::size_t oldSize, std::size_t newSize)
{
    if (block == nullptr)
        return Allocate(newSize);
    const bool small = Holds(block);
    if (small && newSize <= kLargestSmall && ClassOf(oldSize) == ClassOf(newSize))
    {
        VARD_HEAP_POISON(block, (ClassOf(oldSize) + 1) * kGrain);
        VARD_HEAP_UNPOISON(block, newSize);
        return block;
    }
    if (!small && newSize > kLargestSmall)
        return std::realloc(block, newSize);
    void* moved = Allocate(newSize);
    if (moved == nullptr)
        return nullptr;
    std::memcpy(moved, block, std::min(oldSize, newSize));
    Free(block, oldSize);
    return moved;
}

} // namespace ScriptHost

} // namespace VARD
