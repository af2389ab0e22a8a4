// The tests' scratch names: tests of one run and of two runs side by side
// meet only if two calls give one name, which a single run never shows.

#include "scratch_files.h"

#include <gtest/gtest.h>

#include <set>

TEST(ScratchFiles, EveryCallGivesANameOfItsOwn)
{
    const std::string pid = std::to_string(getpid());
    std::set<std::filesystem::path> seen;
    for (int i = 0; i < 3; ++i)
    {
        for (const auto& path : {TestUtil::ScratchPath("same"), TestUtil::ScratchPath("same", "")})
        {
            EXPECT_TRUE(seen.insert(path).second) << path;
            // Another process's names differ by its id.
            EXPECT_NE(path.filename().string().find(pid), std::string::npos) << path;
        }
    }
    std::filesystem::path first;
    {
        const TestUtil::ScratchFolder a("same");
        const TestUtil::ScratchFolder b("same");
        EXPECT_NE(a.Path(), b.Path());
        EXPECT_TRUE(std::filesystem::is_directory(a.Path()));
        EXPECT_TRUE(std::filesystem::is_directory(b.Path()));
        first = a.Path();
    }
    EXPECT_FALSE(std::filesystem::exists(first));
}
