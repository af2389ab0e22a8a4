#pragma once

#include "test_util.h"

// Helpers of the monster, brain and AI record tests.
namespace MonstersTest
{

using TestUtil::WrittenText;

inline std::string FixtureText(const std::string& name)
{
    return TestUtil::FileText(TestUtil::FixturePath("world", name));
}

} // namespace MonstersTest
