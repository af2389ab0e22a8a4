// The region the Lua states' small blocks come from: a seeded mix of
// allocations, resizes and frees, the way a state's life makes them, must
// keep every block's bytes, never hand out a block twice, spill past the
// region to malloc and start again at the front once nothing is in use.

#include "script/script_heap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace
{

using VARD::ScriptHost::CScriptHeap;

struct Held
{
    unsigned char* block = nullptr;
    std::size_t size = 0;
    unsigned char fill = 0;
};

bool Intact(const Held& held)
{
    for (std::size_t i = 0; i < held.size; ++i)
        if (held.block[i] != held.fill)
            return false;
    return true;
}

TEST(ScriptHeap, BlocksKeepTheirBytesThroughResizesAndFreesAndTheRegionIsReused)
{
    CScriptHeap heap;
    std::mt19937 random(515);
    std::vector<Held> held;
    std::size_t spilled = 0;
    for (int round = 0; round < 3; ++round)
    {
        for (int step = 0; step < 40000; ++step)
        {
            const std::uint32_t draw = random() % 10;
            // Mostly small, some across the largest small size, a few large.
            const std::size_t size =
                random() % 50 == 0 ? 600 + random() % 5000 : 1 + random() % 600;
            if (draw < 5 || held.empty())
            {
                Held block{static_cast<unsigned char*>(heap.Resize(nullptr, 0, size)), size,
                           static_cast<unsigned char>(random())};
                ASSERT_NE(block.block, nullptr);
                std::memset(block.block, block.fill, size);
                spilled += heap.Holds(block.block) ? 0 : size <= CScriptHeap::kLargestSmall;
                held.push_back(block);
                continue;
            }
            Held& block = held[random() % held.size()];
            ASSERT_TRUE(Intact(block)) << "round " << round << " step " << step;
            if (draw < 8)
            {
                auto* moved =
                    static_cast<unsigned char*>(heap.Resize(block.block, block.size, size));
                ASSERT_NE(moved, nullptr);
                block.block = moved;
                block.size = std::min(block.size, size);
                ASSERT_TRUE(Intact(block));
                block.size = size;
                std::memset(moved, block.fill, size);
            }
            else
            {
                heap.Free(block.block, block.size);
                block = held.back();
                held.pop_back();
            }
        }
        // No two blocks in use overlap.
        std::vector<std::pair<std::uintptr_t, std::uintptr_t>> spans;
        for (const Held& block : held)
        {
            EXPECT_TRUE(Intact(block));
            const auto start = reinterpret_cast<std::uintptr_t>(block.block);
            spans.emplace_back(start, start + block.size);
        }
        std::sort(spans.begin(), spans.end());
        for (std::size_t i = 1; i < spans.size(); ++i)
            EXPECT_LE(spans[i - 1].second, spans[i].first);

        for (const Held& block : held)
            heap.Free(block.block, block.size);
        held.clear();
        EXPECT_EQ(heap.GetBlocksInUse(), 0u);
        // Empty again: the next block is the region's first.
        void* first = heap.Resize(nullptr, 0, 24);
        EXPECT_TRUE(heap.Holds(first));
        void* second = heap.Resize(nullptr, 0, 24);
        EXPECT_EQ(static_cast<char*>(second) - static_cast<char*>(first), 32);
        heap.Free(first, 24);
        heap.Free(second, 24);
    }
    // Some rounds filled the region and went on with malloc.
    EXPECT_GT(spilled, 0u);
}

} // namespace
