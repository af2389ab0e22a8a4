// Tests of one run and of two runs side by side meet only if two calls of
// the scratch helpers give one name, which a single run never shows.

#include "scratch_files.h"

#include <gtest/gtest.h>

TEST(ScratchFiles, EveryCallGivesANameOfItsOwn)
{
    const auto a = TestUtil::ScratchPath("same"), b = TestUtil::ScratchPath("same");
    EXPECT_NE(a, b);
    // Another process's names differ by its id.
    EXPECT_NE(a.filename().string().find(std::to_string(getpid())), std::string::npos) << a;
    std::filesystem::path first;
    {
        const TestUtil::ScratchFolder one("same"), two("same");
        EXPECT_NE(one.Path(), two.Path());
        EXPECT_TRUE(std::filesystem::is_directory(one.Path()));
        first = one.Path();
    }
    EXPECT_FALSE(std::filesystem::exists(first));
}
