#include "image_canvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace BuiltInImages
{

const Colour kLight = Rgb(0xF2F2F2);
const Colour kMid = Rgb(0xC8C8C8);
const Colour kShade = Rgb(0x9A9A9A);
const Colour kRim = Rgb(0x262626);

Colour Rgb(std::uint32_t rgb, double alpha)
{
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha};
}

Colour Mix(const Colour& a, const Colour& b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}

namespace
{

double Length(double x, double y)
{
    return std::sqrt(x * x + y * y);
}

double SegmentDistance(Vec a, Vec b, double x, double y)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return Length(x - (a.x + dx * t), y - (a.y + dy * t));
}

} // namespace

Shape Circle(double cx, double cy, double r)
{
    return {[=](double x, double y) { return Length(x - cx, y - cy) - r; }, cx - r, cy - r, cx + r,
            cy + r};
}

Shape Ellipse(double cx, double cy, double rx, double ry)
{
    const double scale = std::min(rx, ry);
    return {[=](double x, double y) { return (Length((x - cx) / rx, (y - cy) / ry) - 1) * scale; },
            cx - rx, cy - ry, cx + rx, cy + ry};
}

Shape Box(double x0, double y0, double x1, double y1, double radius)
{
    const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const double hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
    return {[=](double x, double y)
            {
                const double qx = std::abs(x - cx) - hx, qy = std::abs(y - cy) - hy;
                return Length(std::max(qx, 0.0), std::max(qy, 0.0)) +
                       std::min(std::max(qx, qy), 0.0) - radius;
            },
            x0, y0, x1, y1};
}

Shape Segment(Vec a, Vec b, double width)
{
    const double h = width / 2;
    return {[=](double x, double y) { return SegmentDistance(a, b, x, y) - h; },
            std::min(a.x, b.x) - h, std::min(a.y, b.y) - h, std::max(a.x, b.x) + h,
            std::max(a.y, b.y) + h};
}

Shape Polyline(const std::vector<Vec>& points, double width)
{
    Shape shape = Segment(points[0], points[1], width);
    for (std::size_t i = 2; i < points.size(); ++i)
        shape = shape | Segment(points[i - 1], points[i], width);
    return shape;
}

Shape Polygon(const std::vector<Vec>& points)
{
    Shape shape;
    shape.x0 = shape.x1 = points[0].x;
    shape.y0 = shape.y1 = points[0].y;
    for (const Vec& p : points)
    {
        shape.x0 = std::min(shape.x0, p.x);
        shape.y0 = std::min(shape.y0, p.y);
        shape.x1 = std::max(shape.x1, p.x);
        shape.y1 = std::max(shape.y1, p.y);
    }
    shape.distance = [points](double x, double y)
    {
        double best = 1e30;
        bool inside = false;
        for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++)
        {
            const Vec& a = points[i];
            const Vec& b = points[j];
            best = std::min(best, SegmentDistance(a, b, x, y));
            if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x)
                inside = !inside;
        }
        return inside ? -best : best;
    };
    return shape;
}

Shape Ring(double cx, double cy, double r, double width)
{
    const double h = width / 2;
    return {[=](double x, double y) { return std::abs(Length(x - cx, y - cy) - r) - h; },
            cx - r - h, cy - r - h, cx + r + h, cy + r + h};
}

Shape Arc(double cx, double cy, double r, double width, double from, double to)
{
    std::vector<Vec> points;
    const int steps = std::max(2, static_cast<int>(std::abs(to - from) / 6));
    for (int i = 0; i <= steps; ++i)
    {
        const double a = (from + (to - from) * i / steps) * std::numbers::pi / 180;
        points.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return Polyline(points, width);
}

Shape Star(double cx, double cy, double outer, double inner, int points, double turn)
{
    std::vector<Vec> corners;
    for (int i = 0; i < points * 2; ++i)
    {
        const double a = (turn + i * 180.0 / points) * std::numbers::pi / 180;
        const double r = i % 2 ? inner : outer;
        corners.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return Polygon(corners);
}

Shape operator|(const Shape& a, const Shape& b)
{
    return {[a, b](double x, double y) { return std::min(a.distance(x, y), b.distance(x, y)); },
            std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

Shape operator&(const Shape& a, const Shape& b)
{
    return {[a, b](double x, double y) { return std::max(a.distance(x, y), b.distance(x, y)); },
            std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
}

Shape operator-(const Shape& a, const Shape& b)
{
    return {[a, b](double x, double y) { return std::max(a.distance(x, y), -b.distance(x, y)); },
            a.x0, a.y0, a.x1, a.y1};
}

Shape Grow(const Shape& shape, double by)
{
    return {[shape, by](double x, double y) { return shape.distance(x, y) - by; }, shape.x0 - by,
            shape.y0 - by, shape.x1 + by, shape.y1 + by};
}

Shape Moved(const Shape& shape, double dx, double dy)
{
    return {[shape, dx, dy](double x, double y) { return shape.distance(x - dx, y - dy); },
            shape.x0 + dx, shape.y0 + dy, shape.x1 + dx, shape.y1 + dy};
}

Canvas::Canvas(std::uint32_t width, std::uint32_t height)
    : m_Width(width), m_Height(height), m_Pixels(static_cast<std::size_t>(width) * height * 4, 0.0)
{
}

void Canvas::Blend(std::uint32_t x, std::uint32_t y, const Colour& colour, double coverage)
{
    const double a = std::clamp(colour.a * coverage, 0.0, 1.0);
    if (a <= 0)
        return;
    double* p = &m_Pixels[(static_cast<std::size_t>(y) * m_Width + x) * 4];
    p[0] = colour.r * a + p[0] * (1 - a);
    p[1] = colour.g * a + p[1] * (1 - a);
    p[2] = colour.b * a + p[2] * (1 - a);
    p[3] = a + p[3] * (1 - a);
}

void Canvas::Paint(const Shape& shape, const std::function<Colour(double, double)>& colour)
{
    // Pixel centres at +0.5; coverage ramps over one pixel across the edge.
    const auto first = [](double v) { return static_cast<std::int64_t>(std::floor(v - 1)); };
    const auto last = [](double v) { return static_cast<std::int64_t>(std::ceil(v + 1)); };
    const std::int64_t x0 = std::max<std::int64_t>(0, first(shape.x0));
    const std::int64_t y0 = std::max<std::int64_t>(0, first(shape.y0));
    const std::int64_t x1 = std::min<std::int64_t>(m_Width, last(shape.x1));
    const std::int64_t y1 = std::min<std::int64_t>(m_Height, last(shape.y1));
    for (std::int64_t y = y0; y < y1; ++y)
        for (std::int64_t x = x0; x < x1; ++x)
        {
            const double cx = static_cast<double>(x) + 0.5, cy = static_cast<double>(y) + 0.5;
            const double coverage = std::clamp(0.5 - shape.distance(cx, cy), 0.0, 1.0);
            if (coverage > 0)
                Blend(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), colour(cx, cy),
                      coverage);
        }
}

void Canvas::Paint(const Shape& shape, const Colour& colour)
{
    Paint(shape, [&colour](double, double) { return colour; });
}

void Canvas::Fill(const std::function<Colour(double, double)>& colour)
{
    Paint(Box(-2, -2, m_Width + 2.0, m_Height + 2.0), colour);
}

void Canvas::Icon(const Shape& shape, const Colour& fill)
{
    Paint(Grow(shape, 1.1), kRim);
    Paint(shape, fill);
}

void Canvas::Icon(const Shape& shape)
{
    Icon(shape, kLight);
}

gfx::Image Canvas::ToImage() const
{
    gfx::Image image{m_Width, m_Height, {}};
    image.pixels.resize(m_Pixels.size());
    for (std::size_t i = 0; i < m_Pixels.size(); i += 4)
    {
        const double a = m_Pixels[i + 3];
        const auto byte = [](double v)
        { return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
        for (int c = 0; c < 3; ++c)
            image.pixels[i + c] = a > 0 ? byte(m_Pixels[i + c] / a) : 0;
        image.pixels[i + 3] = byte(a);
    }
    return image;
}

} // namespace BuiltInImages
