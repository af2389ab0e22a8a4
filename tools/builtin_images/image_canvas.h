#pragma once

#include "platform/image.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace BuiltInImages
{

// Straight (not premultiplied) colour, each channel 0..1.
struct Colour
{
    double r = 0;
    double g = 0;
    double b = 0;
    double a = 1;
};

// 0xRRGGBB with an alpha.
Colour Rgb(std::uint32_t rgb, double alpha = 1.0);
Colour Mix(const Colour& a, const Colour& b, double t);

struct Vec
{
    double x = 0;
    double y = 0;
};

// A shape as a signed distance in pixels (negative inside) with the box
// outside of which it surely lies, so painting visits only that box.
struct Shape
{
    std::function<double(double, double)> distance;
    double x0 = 0;
    double y0 = 0;
    double x1 = 0;
    double y1 = 0;
};

Shape Circle(double cx, double cy, double r);
Shape Ellipse(double cx, double cy, double rx, double ry);
Shape Box(double x0, double y0, double x1, double y1, double radius = 0);
// A stroke of the given width with round ends.
Shape Segment(Vec a, Vec b, double width);
// Strokes joining the points in turn.
Shape Polyline(const std::vector<Vec>& points, double width);
Shape Polygon(const std::vector<Vec>& points);
Shape Ring(double cx, double cy, double r, double width);
// The ring between the angles (degrees, clockwise from the right, as y runs
// down), with round ends.
Shape Arc(double cx, double cy, double r, double width, double from, double to);

// A star of points tips, the first at angle turn.
Shape Star(double cx, double cy, double outer, double inner, int points, double turn = -90);

Shape operator|(const Shape& a, const Shape& b);
Shape operator&(const Shape& a, const Shape& b);
Shape operator-(const Shape& a, const Shape& b);
Shape Grow(const Shape& shape, double by);
Shape Moved(const Shape& shape, double dx, double dy);

// Anti-aliased painting of shapes, source over, one pixel of smoothing.
class Canvas
{
public:
    Canvas(std::uint32_t width, std::uint32_t height);

    std::uint32_t Width() const { return m_Width; }
    std::uint32_t Height() const { return m_Height; }

    void Paint(const Shape& shape, const Colour& colour);
    void Paint(const Shape& shape, const std::function<Colour(double, double)>& colour);
    // The whole canvas.
    void Fill(const std::function<Colour(double, double)>& colour);

    // Light icons with a dark rim: the tint of an icon multiplies them, so
    // their bodies stay near white and their rims keep them readable.
    void Icon(const Shape& shape, const Colour& fill);
    void Icon(const Shape& shape);

    gfx::Image ToImage() const;

private:
    void Blend(std::uint32_t x, std::uint32_t y, const Colour& colour, double coverage);

    std::uint32_t m_Width;
    std::uint32_t m_Height;
    std::vector<double> m_Pixels; // premultiplied r, g, b, a
};

// Colours of the icons.
extern const Colour kLight;
extern const Colour kMid;
extern const Colour kShade;
extern const Colour kRim;

} // namespace BuiltInImages
