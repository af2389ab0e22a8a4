// Inputs that once crashed a reader or made it allocate without bound, kept
// in tests/data/fuzz and replayed through the fuzz targets' own harness.

#include "fuzz_harness.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{

using Harness = std::function<void(const std::uint8_t*, std::size_t)>;

struct FuzzCase
{
    const char* file;
    Harness harness;
    int code;
    // A piece of the detail that only the reader's own check gives.
    const char* detail;
};

const FuzzCase kCases[] = {
    // A grid size past what the file holds made every cell before the first row.
    {"area_rows_past_the_file.bin", FuzzHarness::ReadAreaFile, 1, "cannot fit"},
    // Cast behaviours falling back on cast behaviours, read by recursion.
    {"monsters_cast_chain.bin", FuzzHarness::LoadModuleWithReplacedFile, 1, "nest more than 32"},
};

} // namespace

TEST(FuzzRegression, EveryKeptInputFailsWithItsCode)
{
    for (const FuzzCase& c : kCases)
    {
        SCOPED_TRACE(c.file);
        const std::string bytes = TestUtil::FileText(TestUtil::FixturePath("fuzz", c.file));
        ASSERT_FALSE(bytes.empty());
        const auto call = [&]
        { c.harness(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()); };
        EXPECT_EQ(TestUtil::CodeOf(call), c.code);
        EXPECT_NE(TestUtil::DetailOf(call).find(c.detail), std::string::npos)
            << TestUtil::DetailOf(call);
    }
}
