#pragma once

#include "common/tag_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

// Writing a block to a file and getting its exact text back, for the
// round trips of the saved-game blocks.
namespace RecordsTest
{

inline std::string FileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string WrittenText(const std::string& fileName,
                               const std::function<void(VARDCommon::CTagFileWriter&)>& write)
{
    const std::filesystem::path path = std::filesystem::path(::testing::TempDir()) / fileName;
    {
        VARDCommon::CTagFileWriter writer(path);
        write(writer);
        writer.Close();
    }
    std::string text = FileText(path);
    std::filesystem::remove(path);
    return text;
}

} // namespace RecordsTest
