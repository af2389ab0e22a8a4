#pragma once

#include <array>
#include <cstddef>
#include <memory>

namespace VARD
{

namespace ScriptHost
{

// Where the Lua states of one thread keep their small blocks: a region kept
// from run to run, carved into blocks of a few sizes with a list of free
// blocks for each. A fresh state makes and frees thousands of small blocks,
// which this turns into a few instructions each instead of malloc's work.
// Larger blocks, and small ones once the region is used up, come from
// malloc. With no block in use the region starts again from its front.
//
// The sizes are the ones Lua gives: it always passes a block's true size
// back when it resizes or frees it.
class CScriptHeap
{
public:
    static constexpr std::size_t kRegionBytes = 1024u * 1024u;
    static constexpr std::size_t kGrain = 16;
    static constexpr std::size_t kLargestSmall = 512;

    CScriptHeap() = default;
    CScriptHeap(const CScriptHeap&) = delete;
    CScriptHeap& operator=(const CScriptHeap&) = delete;
    ~CScriptHeap();

    // As realloc, for a block of oldSize bytes (null and 0 for none) and a
    // newSize above 0: null, with the block left as it was, when no memory
    // is left.
    void* Resize(void* block, std::size_t oldSize, std::size_t newSize);
    void Free(void* block, std::size_t oldSize);

    // Small blocks handed out and not yet freed.
    std::size_t GetBlocksInUse() const { return m_InUse; }
    bool Holds(const void* block) const;

private:
    static constexpr std::size_t kClasses = kLargestSmall / kGrain;
    static std::size_t ClassOf(std::size_t size) { return (size - 1) / kGrain; }

    void* Allocate(std::size_t size);

    struct RegionFree
    {
        void operator()(std::byte* region) const;
    };
    std::unique_ptr<std::byte, RegionFree> m_Region;
    std::size_t m_Used = 0;
    std::size_t m_InUse = 0;
    std::array<void*, kClasses> m_Free{};
};

} // namespace ScriptHost

} // namespace VARD
