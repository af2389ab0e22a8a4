#pragma once

#include "test_util.h"
#include "common/exception.h"
#include "common/tag_file.h"
#include "world/script_record.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>

// Helpers of the record-reading tests; in a namespace of their own so that
// other test files of this executable may have helpers of the same names.
namespace RecordTest
{

using TestUtil::ReaderOf;

inline std::filesystem::path FixturePath(const std::string& name)
{
    return TestUtil::FixturePath("world", name);
}

// The records of one element of a fixture file, each built from the reader
// and kept by its name.
template <typename T>
std::map<std::string, std::shared_ptr<T>> ReadFixtureRecords(const std::string& file,
                                                             const std::string& element,
                                                             const std::string& record);

inline VARDCommon::CTagFileReader FixtureReader(const std::string& name)
{
    return VARDCommon::CTagFileReader(FixturePath(name));
}

using TestUtil::CodeOf;

// The source text of a script that no host has replaced.
// Empty when there is no script or the script keeps no text.
inline std::string SourceOf(const std::shared_ptr<VARD::CScript>& script)
{
    const auto* stored = dynamic_cast<const VARD::CStoredScript*>(script.get());
    return stored ? stored->GetSource() : std::string();
}

// The source that the reader makes of a body of words.
inline std::string WrappedSource(const std::string& body)
{
    return "function vard_script( context )\n" + body + "\nend\n";
}

template <typename T>
std::map<std::string, std::shared_ptr<T>> ReadFixtureRecords(const std::string& file,
                                                             const std::string& element,
                                                             const std::string& record)
{
    auto reader = FixtureReader(file);
    reader.ReadStartTag(element);
    std::map<std::string, std::shared_ptr<T>> records;
    while (reader.IsStartTag(record))
    {
        auto read = std::make_shared<T>(reader);
        records[read->GetName()] = read;
    }
    reader.ReadEndTag();
    EXPECT_TRUE(reader.IsAtEnd());
    return records;
}

} // namespace RecordTest
