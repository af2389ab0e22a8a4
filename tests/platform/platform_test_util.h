#pragma once

#include "platform/gfx_math.h"

#include <gtest/gtest.h>

namespace PlatformTest
{

inline void ExpectVec3(const gfx::Vec3& v, float x, float y, float z, float tolerance = 1e-5f)
{
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

} // namespace PlatformTest
