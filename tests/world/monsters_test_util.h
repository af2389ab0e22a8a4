#pragma once

#include "common/tag_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <unistd.h>

// Helpers of the monster, brain and AI record tests.
namespace MonstersTest
{

// The exact text that the writer produces for what the call writes.
inline std::string WrittenText(const std::function<void(VARDCommon::CTagFileWriter&)>& write)
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        (std::string("vard_monsters_") + info->test_suite_name() + "_" + info->name() + "_" +
         std::to_string(getpid()) + ".vard");
    {
        VARDCommon::CTagFileWriter writer(path);
        write(writer);
        writer.Close();
    }
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    std::filesystem::remove(path);
    return text;
}

inline std::string FixtureText(const std::string& name)
{
    std::ifstream in(std::filesystem::path(VARD_TEST_DATA) / "world" / name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace MonstersTest
