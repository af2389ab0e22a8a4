#pragma once

#include "test_util.h"

// Helpers of the rule-table and spell tests.
namespace RuleTest
{

using TestUtil::ReaderOf;
using TestUtil::CodeOf;
using TestUtil::DetailOf;
using TestUtil::WrittenText;

} // namespace RuleTest
