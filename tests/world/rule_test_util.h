#pragma once

#include "common/exception.h"
#include "common/tag_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

// Helpers of the rule-table and spell tests.
namespace RuleTest
{

inline VARDCommon::CTagFileReader ReaderOf(const std::string& text)
{
    return VARDCommon::CTagFileReader(std::make_shared<std::istringstream>(text), "test");
}

// The code of the CVARDException the call throws, or -1 when it throws none.
inline int CodeOf(const std::function<void()>& call)
{
    try
    {
        call();
    }
    catch (const CVARDException& e)
    {
        return e.GetCode();
    }
    return -1;
}

// The detail text of the CVARDException the call throws, empty when none.
inline std::string DetailOf(const std::function<void()>& call)
{
    try
    {
        call();
    }
    catch (const CVARDException& e)
    {
        return e.GetDetail();
    }
    return {};
}

// What a write call puts in a file.
inline std::string WrittenText(const std::string& fileName,
                               const std::function<void(VARDCommon::CTagFileWriter&)>& write)
{
    const std::filesystem::path path = std::filesystem::path(::testing::TempDir()) / fileName;
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

} // namespace RuleTest
