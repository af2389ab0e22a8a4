#include "asset_texture.h"
#include "demo_assets.h"

#include <cmath>
#include <functional>
#include <numbers>

namespace DemoAssets
{

namespace
{

constexpr std::uint32_t kSide = 64;

struct Box
{
    std::uint32_t x0, y0, x1, y1;
};

const Box kAll{0, 0, kSide, kSide};
const Box kTop{0, 0, kSide, kSide / 2};
const Box kBottom{0, kSide / 2, kSide, kSide};
const Box kLeft{0, 0, kSide / 2, kSide};
const Box kRight{kSide / 2, 0, kSide, kSide};

void Noise(Painter& p, const Box& b, const Rgb& base, int cell, double strength,
           std::uint32_t salt = 0)
{
    p.FillNoise(b.x0, b.y0, b.x1, b.y1, base, cell, strength, salt);
}

void Rect(Painter& p, const Box& b, const Rgb& colour)
{
    for (std::uint32_t y = b.y0; y < b.y1; ++y)
        for (std::uint32_t x = b.x0; x < b.x1; ++x)
            p.Set(x, y, colour);
}

// Boards with dark seams between them, running down (vertical) or across.
void Planks(Painter& p, const Box& b, const Rgb& wood, std::uint32_t width, bool vertical,
            std::uint32_t salt = 0)
{
    for (std::uint32_t y = b.y0; y < b.y1; ++y)
        for (std::uint32_t x = b.x0; x < b.x1; ++x)
        {
            const std::uint32_t across = vertical ? x - b.x0 : y - b.y0;
            const std::uint32_t along = vertical ? y : x;
            const std::uint32_t board = across / width;
            const double grain =
                p.Noise(vertical ? board * 16.0 : along, vertical ? along : board * 16.0, 4, salt);
            Rgb c = Painter::Shade(wood, 0.8 + 0.35 * grain + 0.1 * p.Hash(board, 0, salt));
            if (across % width == 0)
                c = Painter::Shade(wood, 0.45);
            p.Set(x, y, c);
        }
}

// Courses of blocks, each course shifted by half a block.
void Blocks(Painter& p, const Box& b, const Rgb& stone, std::uint32_t w, std::uint32_t h,
            const Rgb& mortar, std::uint32_t salt = 0)
{
    for (std::uint32_t y = b.y0; y < b.y1; ++y)
        for (std::uint32_t x = b.x0; x < b.x1; ++x)
        {
            const std::uint32_t row = (y - b.y0) / h;
            const std::uint32_t shifted = x - b.x0 + (row % 2) * (w / 2);
            const std::uint32_t column = shifted / w;
            if ((y - b.y0) % h == 0 || shifted % w == 0)
            {
                p.Set(x, y, mortar);
                continue;
            }
            const double tone = 0.8 + 0.3 * p.Hash(column, row, salt);
            const double n = p.Noise(x, y, 4, salt + 1);
            p.Set(x, y, Painter::Shade(stone, tone + 0.15 * (n - 0.5)));
        }
}

void Bands(Painter& p, const Box& b, const Rgb& metal, std::initializer_list<std::uint32_t> rows,
           std::uint32_t thickness)
{
    for (std::uint32_t row : rows)
        Rect(p, {b.x0, b.y0 + row, b.x1, b.y0 + row + thickness}, metal);
}

void Disc(Painter& p, double cx, double cy, double r, const Rgb& colour)
{
    for (std::uint32_t y = 0; y < p.Height(); ++y)
        for (std::uint32_t x = 0; x < p.Width(); ++x)
        {
            const double dx = x + 0.5 - cx;
            const double dy = y + 0.5 - cy;
            if (dx * dx + dy * dy <= r * r)
                p.Set(x, y, colour);
        }
}

// From one colour at the top of the box to another at its bottom.
void Gradient(Painter& p, const Box& b, const Rgb& top, const Rgb& bottom)
{
    for (std::uint32_t y = b.y0; y < b.y1; ++y)
    {
        const double t = static_cast<double>(y - b.y0) / (b.y1 - b.y0 - 1);
        for (std::uint32_t x = b.x0; x < b.x1; ++x)
            p.Set(x, y, Painter::Mix(top, bottom, std::round(t * 8.0) / 8.0));
    }
}

// Noisy fur with darker wavy stripes across it.
void Fur(Painter& p, const Rgb& colour, std::uint32_t salt)
{
    Noise(p, kAll, colour, 4, 0.25, salt);
    for (std::uint32_t y = 4; y < kSide; y += 12)
        for (std::uint32_t x = 0; x < kSide; ++x)
            p.Set(x, y + static_cast<std::uint32_t>(2 * p.Noise(x, y, 8, salt + 7)),
                  Painter::Shade(colour, 0.6));
}

struct TextureEntry
{
    std::string path;
    std::function<void(Painter&)> paint;
};

const std::vector<TextureEntry>& Entries()
{
    static const std::vector<TextureEntry> entries = {
        // A recolour mask: red becomes the hair colour, green the skin,
        // blue the clothes; the boots take a little of each.
        {"actor/tex/humanoid.png",
         [](Painter& p)
         {
             Noise(p, {0, 0, 32, 32}, {255, 0, 0}, 4, 0.2, 1);
             Noise(p, {32, 0, 64, 32}, {0, 255, 0}, 8, 0.06, 2);
             Noise(p, {0, 32, 32, 64}, {0, 0, 255}, 4, 0.12, 3);
             Noise(p, {32, 32, 64, 64}, {90, 70, 60}, 4, 0.1, 4);
         }},
        {"actor/tex/quadruped.png",
         [](Painter& p) {
             Fur(p, {130, 115, 100}, 0);
         }},

        {"item/tex/weapons.png",
         [](Painter& p)
         {
             Gradient(p, kTop, {215, 220, 230}, {120, 125, 135});
             Planks(p, {0, 32, 32, 64}, {125, 85, 45}, 16, true, 2);
             Noise(p, {32, 32, 64, 64}, {90, 55, 30}, 4, 0.2, 3);
         }},
        {"item/tex/shield.png",
         [](Painter& p)
         {
             Planks(p, kAll, {135, 95, 50}, 12, true, 4);
             for (std::uint32_t y = 0; y < kSide; ++y)
                 for (std::uint32_t x = 0; x < kSide; ++x)
                 {
                     const double d = std::hypot(x + 0.5 - 32.0, y + 0.5 - 32.0);
                     if (d > 27.0)
                         p.Set(x, y, {95, 95, 105});
                 }
             Disc(p, 32, 32, 7, {150, 150, 160});
         }},

        {"tile/tex/grass.png",
         [](Painter& p)
         {
             Noise(p, kAll, {75, 125, 45}, 8, 0.25);
             for (std::uint32_t y = 0; y < kSide; ++y)
                 for (std::uint32_t x = 0; x < kSide; ++x)
                     if (p.Hash(x, y, 9) > 0.93)
                         p.Set(x, y, {110, 160, 60});
         }},
        {"tile/tex/road.png",
         [](Painter& p) {
             Blocks(p, kAll, {135, 128, 118}, 16, 12, {70, 64, 58}, 5);
         }},
        {"tile/tex/dirt.png",
         [](Painter& p)
         {
             Noise(p, kAll, {125, 95, 62}, 8, 0.2);
             for (std::uint32_t y = 0; y < kSide; ++y)
                 for (std::uint32_t x = 0; x < kSide; ++x)
                     if (p.Hash(x, y, 3) > 0.96)
                         p.Set(x, y, {160, 150, 135});
         }},
        {"tile/tex/flagstone.png",
         [](Painter& p) {
             Blocks(p, kAll, {150, 148, 140}, 32, 32, {80, 78, 74}, 6);
         }},
        {"tile/tex/water.png",
         [](Painter& p)
         {
             for (std::uint32_t y = 0; y < kSide; ++y)
                 for (std::uint32_t x = 0; x < kSide; ++x)
                 {
                     const double wave =
                         std::sin((y + 3.0 * std::sin(x * std::numbers::pi / 16.0)) *
                                  std::numbers::pi / 8.0);
                     p.Set(x, y, Painter::Shade({45, 90, 150}, 1.0 + 0.15 * wave));
                 }
         }},
        {"tile/tex/wall.png",
         [](Painter& p) {
             Blocks(p, kAll, {140, 130, 118}, 16, 8, {90, 84, 76}, 7);
         }},
        {"tile/tex/chasm_edge.png",
         [](Painter& p)
         {
             Noise(p, kAll, {95, 85, 75}, 4, 0.25, 8);
             for (std::uint32_t y = 0; y < kSide; ++y)
                 for (std::uint32_t x = 0; x < kSide; ++x)
                     p.Set(x, y, Painter::Shade(p.Get(x, y), 1.0 - static_cast<double>(y) / kSide));
         }},
        {"tile/tex/tree.png",
         [](Painter& p)
         {
             Planks(p, kLeft, {95, 65, 38}, 5, true, 9);
             Noise(p, kRight, {45, 105, 40}, 4, 0.35, 10);
         }},
        {"tile/tex/house_wall.png",
         [](Painter& p)
         {
             Noise(p, kAll, {222, 210, 180}, 8, 0.08, 11);
             const Rgb beam{95, 62, 32};
             Rect(p, {0, 0, kSide, 5}, beam);
             Rect(p, {0, kSide - 5, kSide, kSide}, beam);
             Rect(p, {0, 0, 5, kSide}, beam);
             Rect(p, {kSide - 5, 0, kSide, kSide}, beam);
             Rect(p, {0, 30, kSide, 34}, beam);
         }},
        {"tile/tex/roof.png",
         [](Painter& p) {
             Blocks(p, kAll, {155, 65, 42}, 8, 8, {90, 40, 28}, 12);
         }},
        {"tile/tex/door_wood.png",
         [](Painter& p)
         {
             Blocks(p, {0, 0, 16, kSide}, {140, 130, 118}, 16, 8, {90, 84, 76}, 13);
             Planks(p, {16, 0, kSide, kSide}, {135, 92, 50}, 8, true, 14);
         }},
        {"tile/tex/door_cellar.png",
         [](Painter& p)
         {
             Blocks(p, {0, 0, 16, kSide}, {120, 112, 104}, 16, 8, {80, 74, 68}, 15);
             Planks(p, {16, 0, kSide, kSide}, {100, 70, 42}, 8, true, 16);
             Bands(p, {16, 0, kSide, kSide}, {70, 70, 78}, {10, 50}, 4);
         }},
        {"tile/tex/door_crypt.png",
         [](Painter& p)
         {
             Blocks(p, {0, 0, 16, kSide}, {110, 110, 118}, 16, 16, {70, 70, 76}, 17);
             Noise(p, {16, 0, kSide, kSide}, {125, 125, 135}, 8, 0.12, 18);
             Disc(p, 40, 24, 9, {215, 175, 70});
             Disc(p, 40, 24, 5, {240, 205, 100});
         }},

        {"object/tex/chest.png",
         [](Painter& p)
         {
             Planks(p, kTop, {140, 95, 52}, 8, false, 19);
             Planks(p, kBottom, {125, 85, 45}, 8, false, 20);
             Bands(p, kAll, {80, 78, 84}, {14, 46}, 3);
         }},
        {"object/tex/chest_iron.png",
         [](Painter& p)
         {
             Planks(p, kTop, {95, 70, 45}, 8, false, 21);
             Planks(p, kBottom, {85, 62, 40}, 8, false, 22);
             Bands(p, kAll, {110, 110, 120}, {4, 14, 24, 36, 46, 56}, 4);
         }},
        {"object/tex/barrel.png",
         [](Painter& p)
         {
             Planks(p, kAll, {145, 102, 60}, 8, true, 23);
             Bands(p, kAll, {75, 75, 80}, {6, 56}, 4);
         }},
        {"object/tex/exit.png",
         [](Painter& p)
         {
             Planks(p, kLeft, {110, 80, 45}, 8, true, 24);
             Noise(p, kRight, {210, 185, 70}, 8, 0.1, 25);
             Rect(p, {38, 28, 56, 36}, {60, 40, 20});
         }},
        {"object/tex/pile.png",
         [](Painter& p)
         {
             Noise(p, kTop, {175, 150, 110}, 4, 0.15, 26);
             Noise(p, kBottom, {225, 185, 65}, 4, 0.25, 27);
         }},
        {"object/tex/lantern.png",
         [](Painter& p)
         {
             Noise(p, kTop, {60, 58, 62}, 4, 0.2, 28);
             Gradient(p, kBottom, {255, 235, 160}, {240, 170, 70});
         }},
        {"object/tex/campfire.png",
         [](Painter& p)
         {
             Planks(p, kTop, {105, 72, 40}, 6, false, 29);
             Gradient(p, kBottom, {255, 225, 90}, {215, 60, 20});
         }},
        {"object/tex/fountain.png",
         [](Painter& p)
         {
             Blocks(p, kTop, {160, 160, 170}, 16, 8, {110, 110, 118}, 30);
             Noise(p, kBottom, {70, 120, 175}, 8, 0.15, 31);
         }},
        {"object/tex/shrine.png",
         [](Painter& p)
         {
             Blocks(p, kTop, {175, 168, 150}, 32, 16, {120, 114, 100}, 32);
             Noise(p, kBottom, {230, 190, 80}, 4, 0.12, 33);
         }},
        {"object/tex/plate.png",
         [](Painter& p)
         {
             Noise(p, kAll, {140, 135, 125}, 8, 0.12, 34);
             Rect(p, {0, 0, kSide, 3}, {70, 66, 60});
             Rect(p, {0, kSide - 3, kSide, kSide}, {70, 66, 60});
             Rect(p, {0, 0, 3, kSide}, {70, 66, 60});
             Rect(p, {kSide - 3, 0, kSide, kSide}, {70, 66, 60});
         }},
        // Near black, so that the spider shows on the pale flagstones of the
        // crypt; its mark, the top of its abdomen, red.
        {"actor/tex/spider.png",
         [](Painter& p)
         {
             Noise(p, kAll, {38, 32, 30}, 4, 0.3, 35);
             Disc(p, 48.0, 32.0, 9.0, {150, 25, 20});
         }},
        // The rat's dark fur shows on the road and on the grass.
        {"actor/tex/rat.png",
         [](Painter& p) {
             Fur(p, {58, 50, 46}, 36);
         }},
    };
    return entries;
}

} // namespace

void AddDemoTextures(std::vector<GeneratedFile>& files)
{
    std::uint32_t seed = 1;
    for (const TextureEntry& entry : Entries())
    {
        Painter painter(kSide, kSide, seed++);
        entry.paint(painter);
        files.push_back({entry.path, painter.Png()});
    }
}

} // namespace DemoAssets
