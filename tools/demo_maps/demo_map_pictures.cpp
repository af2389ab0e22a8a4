#include "demo_map_pictures.h"

#include "platform/image.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace DemoMaps
{

namespace
{

constexpr int kTile = 256;

struct Colour
{
    int r = 0;
    int g = 0;
    int b = 0;
};

constexpr Colour kGrass{141, 178, 85};
constexpr Colour kGold{232, 192, 64};

std::uint32_t Hash(std::uint32_t x, std::uint32_t y, std::uint32_t seed)
{
    std::uint32_t h = seed * 0x9E3779B1u ^ x * 0x85EBCA77u ^ y * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

// A draw in [low, high].
int HashRange(std::uint32_t x, std::uint32_t y, std::uint32_t seed, int low, int high)
{
    return low + static_cast<int>(Hash(x, y, seed) % static_cast<std::uint32_t>(high - low + 1));
}

// Value noise 0..255 that repeats every tile, so equal tiles meet without seams.
int Noise(int x, int y, std::uint32_t seed, int cell)
{
    const int cells = kTile / cell;
    const int gx = x / cell;
    const int gy = y / cell;
    const int fx = x % cell;
    const int fy = y % cell;
    auto corner = [&](int cx, int cy)
    {
        return static_cast<int>(Hash(static_cast<std::uint32_t>(cx % cells),
                                     static_cast<std::uint32_t>(cy % cells), seed) &
                                255u);
    };
    const int top = corner(gx, gy) * (cell - fx) + corner(gx + 1, gy) * fx;
    const int bottom = corner(gx, gy + 1) * (cell - fx) + corner(gx + 1, gy + 1) * fx;
    return (top * (cell - fy) + bottom * fy) / (cell * cell);
}

int Fractal(int x, int y, std::uint32_t seed)
{
    return (Noise(x, y, seed, 64) * 4 + Noise(x, y, seed + 1, 32) * 2 + Noise(x, y, seed + 2, 16) +
            Noise(x, y, seed + 3, 8)) /
           8;
}

class Canvas
{
public:
    Canvas(int width, int height)
    {
        m_Image.width = static_cast<std::uint32_t>(width);
        m_Image.height = static_cast<std::uint32_t>(height);
        m_Image.pixels.assign(static_cast<std::size_t>(width) * height * 4, 0);
    }

    int Width() const { return static_cast<int>(m_Image.width); }
    int Height() const { return static_cast<int>(m_Image.height); }

    // Outside the canvas is ignored; wrap repeats the tile instead.
    void Set(int x, int y, Colour c, int alpha = 255, bool wrap = false)
    {
        if (wrap)
        {
            x = (x % Width() + Width()) % Width();
            y = (y % Height() + Height()) % Height();
        }
        if (x < 0 || y < 0 || x >= Width() || y >= Height())
            return;
        std::uint8_t* p =
            m_Image.Pixel(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y));
        p[0] = static_cast<std::uint8_t>(std::clamp(c.r, 0, 255));
        p[1] = static_cast<std::uint8_t>(std::clamp(c.g, 0, 255));
        p[2] = static_cast<std::uint8_t>(std::clamp(c.b, 0, 255));
        p[3] = static_cast<std::uint8_t>(std::clamp(alpha, 0, 255));
    }

    void Ground(Colour base, int amplitude, std::uint32_t seed)
    {
        for (int y = 0; y < Height(); ++y)
            for (int x = 0; x < Width(); ++x)
                Set(x, y, Shade(base, (Fractal(x, y, seed) - 128) * amplitude / 128));
    }

    void Disc(int cx, int cy, int radius, Colour c, int alpha = 255, bool wrap = false)
    {
        Ring(cx, cy, -1, radius, c, alpha, wrap);
    }

    // Pixels whose distance from the centre lies in (inner, outer].
    void Ring(int cx, int cy, int inner, int outer, Colour c, int alpha = 255, bool wrap = false,
              const std::function<bool(int, int)>& keep = nullptr)
    {
        for (int dy = -outer; dy <= outer; ++dy)
            for (int dx = -outer; dx <= outer; ++dx)
            {
                const int d2 = dx * dx + dy * dy;
                if (d2 > outer * outer || (inner >= 0 && d2 <= inner * inner))
                    continue;
                if (keep && !keep(dx, dy))
                    continue;
                Set(cx + dx, cy + dy, c, alpha, wrap);
            }
    }

    void Box(int left, int top, int width, int height, Colour c)
    {
        for (int y = top; y < top + height; ++y)
            for (int x = left; x < left + width; ++x)
                Set(x, y, c);
    }

    static Colour Shade(Colour c, int by) { return {c.r + by, c.g + by, c.b + by}; }

    std::vector<std::uint8_t> Png() const { return gfx::EncodePng(m_Image); }

private:
    gfx::Image m_Image;
};

// A crown of leaves with its shadow and the light from the upper left.
void Tree(Canvas& canvas, int x, int y, int radius, int tone, bool wrap)
{
    canvas.Disc(x + 3, y + 3, radius, {31, 58, 23}, 255, wrap);
    canvas.Disc(x, y, radius, Canvas::Shade({47, 107, 37}, tone), 255, wrap);
    canvas.Disc(x - radius / 3, y - radius / 3, radius / 2, Canvas::Shade({78, 142, 58}, tone), 255,
                wrap);
}

std::vector<std::uint8_t> Plain()
{
    Canvas canvas(kTile, kTile);
    canvas.Ground(kGrass, 24, 11);
    for (std::uint32_t i = 0; i < 70; ++i)
    {
        const int x = HashRange(i, 0, 12, 0, kTile - 2);
        const int y = HashRange(i, 1, 12, 0, kTile - 2);
        const Colour flower = Hash(i, 2, 12) % 2 ? Colour{236, 214, 76} : Colour{240, 240, 226};
        canvas.Box(x, y, 2, 2, flower);
    }
    return canvas.Png();
}

std::vector<std::uint8_t> Hills()
{
    Canvas canvas(kTile, kTile);
    canvas.Ground({150, 160, 92}, 20, 21);
    for (std::uint32_t i = 0; i < 7; ++i)
    {
        const int a = HashRange(i, 0, 22, 30, 50);
        const int b = HashRange(i, 1, 22, 18, 28);
        const int cx = HashRange(i, 2, 22, a, kTile - a);
        const int cy = HashRange(i, 3, 22, b, kTile - b);
        const long long limit = static_cast<long long>(a) * a * b * b;
        for (int dy = -b; dy <= b; ++dy)
            for (int dx = -a; dx <= a; ++dx)
            {
                const long long e = static_cast<long long>(dx) * dx * b * b +
                                    static_cast<long long>(dy) * dy * a * a;
                if (e > limit)
                    continue;
                // Lit from the upper left; the rim darkens.
                int shade = -(dx * 40 / a + dy * 40 / b);
                if (e * 100 > limit * 85)
                    shade -= 30;
                canvas.Set(cx + dx, cy + dy, Canvas::Shade({128, 140, 70}, shade));
            }
    }
    return canvas.Png();
}

std::vector<std::uint8_t> Forest()
{
    Canvas canvas(kTile, kTile);
    canvas.Ground({62, 107, 46}, 20, 31);
    constexpr int kStep = 20;
    for (int gy = 0; gy < kTile / kStep + 1; ++gy)
        for (int gx = 0; gx < kTile / kStep + 1; ++gx)
        {
            const auto ux = static_cast<std::uint32_t>(gx);
            const auto uy = static_cast<std::uint32_t>(gy);
            const int x = gx * kStep + kStep / 2 + HashRange(ux, uy, 32, -5, 5);
            const int y = gy * kStep + kStep / 2 + HashRange(ux, uy, 33, -5, 5);
            Tree(canvas, x, y, HashRange(ux, uy, 34, 8, 12), HashRange(ux, uy, 35, -12, 12), true);
        }
    return canvas.Png();
}

std::vector<std::uint8_t> River()
{
    Canvas canvas(kTile, kTile);
    canvas.Ground(kGrass, 24, 41);
    // The bed bends between control rows and meets the tile's edges at its
    // middle, so it joins a neighbour's river.
    const int control[5] = {0, HashRange(0, 0, 42, -40, 40), HashRange(1, 0, 42, -40, 40),
                            HashRange(2, 0, 42, -40, 40), 0};
    for (int y = 0; y < kTile; ++y)
    {
        const int i = y / 64;
        const int f = y % 64;
        const int centre = kTile / 2 + (control[i] * (64 - f) + control[i + 1] * f) / 64;
        for (int x = 0; x < kTile; ++x)
        {
            const int d = std::abs(x - centre);
            if (d < 18)
                canvas.Set(x, y,
                           Canvas::Shade({58, 110, 165},
                                         (Noise(x, y, 43, 8) - 128) * 16 / 128 - (18 - d)));
            else if (d < 22)
                canvas.Set(x, y, {200, 178, 122});
        }
    }
    return canvas.Png();
}

std::vector<std::uint8_t> Town()
{
    Canvas canvas(kTile, kTile);
    canvas.Ground(kGrass, 20, 51);
    const Colour road{160, 134, 96};
    canvas.Box(0, 122, kTile, 12, road);
    canvas.Box(122, 0, 12, kTile, road);
    // Houses in the four quarters between the roads, kept clear of them.
    for (std::uint32_t i = 0; i < 24; ++i)
    {
        const int quarter = static_cast<int>(i % 4);
        const int w = HashRange(i, 0, 52, 14, 24);
        const int h = HashRange(i, 1, 52, 12, 20);
        const int left = (quarter % 2 ? 140 : 8) + HashRange(i, 2, 52, 0, 106 - w);
        const int top = (quarter / 2 ? 140 : 8) + HashRange(i, 3, 52, 0, 106 - h);
        canvas.Box(left + 2, top + 2, w, h, {70, 80, 50});
        canvas.Box(left, top, w, h, {216, 200, 168});
        canvas.Box(left + 1, top + 1, w - 2, h / 2 - 1, {168, 67, 47});
        canvas.Box(left + 1, top + h / 2, w - 2, h / 2 - 1, {140, 52, 36});
    }
    return canvas.Png();
}

std::vector<std::uint8_t> Ruins()
{
    Canvas canvas(kTile, kTile);
    canvas.Ground({140, 138, 106}, 28, 61);
    const Colour stone{138, 138, 138};
    // The walls of a fallen keep, broken where the hash says.
    for (int side = 0; side < 4; ++side)
        for (int step = 0; step < 15; ++step)
        {
            if (Hash(static_cast<std::uint32_t>(side), static_cast<std::uint32_t>(step), 62) % 3 ==
                0)
                continue;
            const int along = 68 + step * 8;
            const int left = side == 0 ? along : side == 1 ? along : side == 2 ? 68 : 180;
            const int top = side == 0 ? 68 : side == 1 ? 180 : along;
            canvas.Box(left, top, 8, 8, stone);
        }
    for (std::uint32_t i = 0; i < 50; ++i)
        canvas.Box(HashRange(i, 0, 63, 40, 212), HashRange(i, 1, 63, 40, 212), 3, 3,
                   Canvas::Shade(stone, HashRange(i, 2, 63, -30, 10)));
    return canvas.Png();
}

// A golden ring round the place, dashed so the ground shows between.
void PlaceRing(Canvas& canvas, int radius)
{
    const int c = canvas.Width() / 2;
    canvas.Ring(c, c, radius - 9, radius - 1, {0, 0, 0}, 96);
    canvas.Ring(c, c, radius - 8, radius - 2, kGold, 255, false,
                [](int dx, int dy) { return ((dx + 256) / 10 + (dy + 256) / 10) % 3 != 0; });
}

std::vector<std::uint8_t> PlaceTown()
{
    Canvas canvas(128, 128);
    PlaceRing(canvas, 64);
    canvas.Ring(64, 64, 40, 46, {156, 156, 148});
    canvas.Box(60, 104, 8, 8, {96, 72, 48}); // the gate
    for (std::uint32_t i = 0; i < 6; ++i)
    {
        const int x = 44 + static_cast<int>(i % 3) * 14;
        const int y = 48 + static_cast<int>(i / 3) * 18;
        canvas.Box(x, y, 11, 10, {168, 67, 47});
        canvas.Box(x, y + 5, 11, 5, {140, 52, 36});
    }
    return canvas.Png();
}

std::vector<std::uint8_t> PlaceForest()
{
    Canvas canvas(256, 256);
    PlaceRing(canvas, 128);
    Tree(canvas, 104, 112, 26, 6, false);
    Tree(canvas, 152, 104, 22, -4, false);
    Tree(canvas, 128, 150, 28, 0, false);
    return canvas.Png();
}

} // namespace

std::vector<Picture> GenerateDemoMapPictures()
{
    return {
        {"forest.png", Forest()},
        {"hills.png", Hills()},
        {"place_forest.png", PlaceForest()},
        {"place_town.png", PlaceTown()},
        {"plain.png", Plain()},
        {"river.png", River()},
        {"ruins.png", Ruins()},
        {"town.png", Town()},
    };
}

} // namespace DemoMaps
