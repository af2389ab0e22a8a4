// The region the Lua states' small blocks come from: a seeded mix of
// allocations, resizes and frees must keep every block's bytes (blocks
// handed out twice would overwrite each other's), spill past the region to
// malloc and start again at the front once nothing is in use.

#include "script/script_heap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace
{

using VARD::ScriptHost::CScriptHeap;

struct Held
{
    unsigned char* block;
    std::size_t size;
    unsigned char fill;
    bool Intact() const
    {
        return std::all_of(block, block + size, [this](unsigned char c) { return c == fill; });
    }
};

TEST(ScriptHeap, BlocksKeepTheirBytesAndTheRegionStartsOverWhenEmpty)
{
    CScriptHeap heap;
    std::mt19937 random(515);
    std::vector<Held> held;
    int spilled = 0;
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
                held.push_back({static_cast<unsigned char*>(heap.Resize(nullptr, 0, size)), size,
                                static_cast<unsigned char>(random())});
                std::memset(held.back().block, held.back().fill, size);
                spilled += size <= CScriptHeap::kLargestSmall && !heap.Holds(held.back().block);
                continue;
            }
            Held& block = held[random() % held.size()];
            ASSERT_TRUE(block.Intact()) << "round " << round << " step " << step;
            if (draw < 8)
            {
                block.block =
                    static_cast<unsigned char*>(heap.Resize(block.block, block.size, size));
                block.size = std::min(block.size, size);
                ASSERT_TRUE(block.Intact());
                block.size = size;
                std::memset(block.block, block.fill, size);
                continue;
            }
            heap.Free(block.block, block.size);
            block = held.back();
            held.pop_back();
        }
        for (const Held& block : held)
        {
            EXPECT_TRUE(block.Intact());
            heap.Free(block.block, block.size);
        }
        held.clear();
        EXPECT_EQ(heap.GetBlocksInUse(), 0u);
        void* first = heap.Resize(nullptr, 0, 24);
        void* second = heap.Resize(nullptr, 0, 24);
        EXPECT_TRUE(heap.Holds(first));
        EXPECT_EQ(static_cast<char*>(second) - static_cast<char*>(first), 32);
        heap.Free(first, 24);
        heap.Free(second, 24);
    }
    EXPECT_GT(spilled, 0);
}

} // namespace
