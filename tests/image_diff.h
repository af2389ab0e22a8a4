#pragma once

// Frames of the drawing tests compared pixel by pixel.

#include "platform/image.h"
#include "platform/rect.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>

namespace TestUtil
{

// Columns left..right, right excluded.
struct Columns
{
    std::int32_t left;
    std::int32_t right;
};

struct ImageDiff
{
    int differing = 0; // pixels whose colours differ
    int inked = 0;     // pixels either frame has ink on
};

// The two frames within the rectangle, leaving out the columns skipped.
inline ImageDiff DiffImages(const gfx::Image& a, const gfx::Image& b, const gfx::Rect& within,
                            std::initializer_list<Columns> skipped = {})
{
    ImageDiff diff;
    for (std::int32_t y = within.top; y < within.bottom; ++y)
        for (std::int32_t x = within.left; x < within.right; ++x)
        {
            if (std::any_of(skipped.begin(), skipped.end(),
                            [x](const Columns& c) { return x >= c.left && x < c.right; }))
                continue;
            const std::uint8_t* p =
                a.Pixel(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y));
            const std::uint8_t* q =
                b.Pixel(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y));
            diff.differing += p[0] != q[0] || p[1] != q[1] || p[2] != q[2];
            diff.inked += p[0] > 128 || q[0] > 128;
        }
    return diff;
}

} // namespace TestUtil
