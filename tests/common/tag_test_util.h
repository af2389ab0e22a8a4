#pragma once

#include "common/exception.h"
#include "common/tag_file.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>

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
