#pragma once

#include "test_util.h"

// Writing a block to a file and getting its exact text back, for the
// round trips of the saved-game blocks.
namespace RecordsTest
{

using TestUtil::FileText;
using TestUtil::WrittenText;

} // namespace RecordsTest
