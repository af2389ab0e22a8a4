#pragma once

#include "test_util.h"
#include "common/exception.h"
#include "common/tag_file.h"
#include "world/script_record.h"

#include <filesystem>
#include <functional>
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

} // namespace RecordTest
