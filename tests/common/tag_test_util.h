#pragma once

#include "test_util.h"

using TestUtil::CodeOf;
using TestUtil::ReaderOf;
