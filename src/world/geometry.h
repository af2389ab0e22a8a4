#pragma once

#include <cmath>

namespace VARD
{

// The side of a grid cell, in world units.
constexpr double kCellSize = 2.5;

// Distance from a point to an axis-aligned rectangle; 0 inside or on an edge.
inline double DistanceToRectangle(double x, double y, double left, double top, double right,
                                  double bottom)
{
    double dx = 0.0;
    if (x < left)
        dx = left - x;
    else if (x > right)
        dx = x - right;
    double dy = 0.0;
    if (y < top)
        dy = top - y;
    else if (y > bottom)
        dy = y - bottom;
    return std::sqrt(dx * dx + dy * dy);
}

} // namespace VARD
