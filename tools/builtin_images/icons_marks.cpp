// Corner marks and glyphs (16 x 16) and the HUD's buttons (32 x 32). The
// marks are drawn half transparent over an icon, so the ones whose meaning is
// a colour (good and bad modifiers, conditions) carry it themselves.
#include "builtin_images.h"

namespace BuiltInImages
{

namespace
{

gfx::Image Mark(const std::function<void(Canvas&)>& paint)
{
    Canvas c(16, 16);
    paint(c);
    return c.ToImage();
}

void Fighter(Canvas& c)
{
    c.Icon(Polygon({{5.8, 2.5}, {8, 0.6}, {10.2, 2.5}, {10.2, 10}, {5.8, 10}}));
    c.Icon(Segment({2.5, 10.8}, {13.5, 10.8}, 2.4));
    c.Icon(Segment({8, 12}, {8, 14.6}, 2.4), kMid);
}

void Rogue(Canvas& c)
{
    c.Icon(
        Polygon({{0.8, 4}, {8, 6}, {15.2, 4}, {14.5, 10}, {10, 12}, {8, 10}, {6, 12}, {1.5, 10}}));
    c.Paint(Ellipse(4.8, 8, 2.2, 1.4) | Ellipse(11.2, 8, 2.2, 1.4), kRim);
}

void Caster(Canvas& c)
{
    c.Icon(Star(8, 8.5, 7, 3, 5));
}

void Monster(Canvas& c)
{
    for (double x : {3.5, 8.0, 12.5})
        c.Icon(Polygon({{x - 1.6, 1.5}, {x + 1.6, 1.5}, {x + 0.3, 14.5}, {x - 0.3, 14.5}}));
}

void Male(Canvas& c)
{
    c.Icon(Ring(6.5, 9.5, 4, 1.8) | Segment({9.5, 6.5}, {13.5, 2.5}, 1.8) |
           Polygon({{14.5, 1.5}, {14.5, 6.5}, {9.5, 1.5}}));
}

void Female(Canvas& c)
{
    c.Icon(Ring(8, 6, 4, 1.8) | Segment({8, 10}, {8, 15}, 1.8) |
           Segment({5, 12.5}, {11, 12.5}, 1.8));
}

void Neuter(Canvas& c)
{
    c.Icon(Ring(8, 8, 4.5, 1.8) | Segment({8, 0.8}, {8, 3.5}, 1.8) |
           Segment({8, 12.5}, {8, 15.2}, 1.8));
}

void Good(Canvas& c)
{
    c.Icon(Polygon({{8, 1}, {14.5, 8}, {10.5, 8}, {10.5, 15}, {5.5, 15}, {5.5, 8}, {1.5, 8}}),
           Rgb(0x60F060));
}

void Bad(Canvas& c)
{
    c.Icon(Polygon({{8, 15}, {14.5, 8}, {10.5, 8}, {10.5, 1}, {5.5, 1}, {5.5, 8}, {1.5, 8}}),
           Rgb(0xF05050));
}

void Both(Canvas& c)
{
    c.Icon(Polygon({{4.5, 1}, {8.5, 5.5}, {6, 5.5}, {6, 13}, {3, 13}, {3, 5.5}, {0.5, 5.5}}),
           Rgb(0x60F060));
    c.Icon(
        Polygon({{11.5, 15}, {15.5, 10.5}, {13, 10.5}, {13, 3}, {10, 3}, {10, 10.5}, {7.5, 10.5}}),
        Rgb(0xF05050));
}

void Status(Canvas& c)
{
    c.Icon(Circle(8, 8, 7), Rgb(0xF0B030));
    c.Paint(Polygon({{6.8, 3}, {9.2, 3}, {8.6, 9.5}, {7.4, 9.5}}) | Circle(8, 12, 1.3), kRim);
}

gfx::Image Button(const std::function<void(Canvas&)>& paint)
{
    Canvas c(32, 32);
    paint(c);
    return c.ToImage();
}

} // namespace

void DrawMarksAndControls(ImageSet& out)
{
    out[126] = Mark(Fighter);
    out[127] = Mark(Rogue);
    out[129] = Mark(Caster);
    out[131] = Mark(Monster);
    out[138] = Mark(Male);
    out[139] = Mark(Female);
    out[140] = Mark(Neuter);
    out[196] = Mark(Good);
    out[197] = Mark(Bad);
    out[198] = Mark(Both);
    out[199] = Mark(Status);

    // Pause while running, play while paused.
    out[161] = Button([](Canvas& c) { c.Icon(Box(8, 6, 13.5, 26, 1) | Box(18.5, 6, 24, 26, 1)); });
    out[162] = Button([](Canvas& c) { c.Icon(Polygon({{9, 5}, {26, 16}, {9, 27}})); });
    // Fast movement on (double arrows) and off (a walking pace arrow).
    out[177] = Button(
        [](Canvas& c)
        { c.Icon(Polygon({{4, 7}, {16, 16}, {4, 25}}) | Polygon({{16, 7}, {28, 16}, {16, 25}})); });
    out[178] = Button([](Canvas& c) { c.Icon(Polygon({{11, 7}, {23, 16}, {11, 25}})); });
    // Scroll-bar thumb, drawn stretched: a raised knob with grip lines.
    out[134] = Button(
        [](Canvas& c)
        {
            c.Icon(Box(6, 3, 26, 29, 3));
            for (const double y : {11.0, 16.0, 21.0})
                c.Paint(Segment({10, y}, {22, y}, 1.4), kShade);
        });
    // Select all: three figures.
    out[163] = Button(
        [](Canvas& c)
        {
            for (const double x : {7.5, 24.5, 16.0})
            {
                const double y = x == 16.0 ? 2 : 0;
                c.Icon(Circle(x, 10 + y, 4) | (Ellipse(x, 26 + y, 7, 8) & Box(0, 0, 32, 28)));
            }
        });
    // Return: a hooked arrow pointing back.
    out[164] = Button(
        [](Canvas& c) {
            c.Icon(Arc(16, 16, 9, 3.6, -90, 110) | Polygon({{16, 0.5}, {16, 13.5}, {8.5, 7}}));
        });
    out[166] = Button(
        [](Canvas& c) {
            c.Icon(Polygon(
                {{16, 3}, {28, 16}, {20.5, 16}, {20.5, 29}, {11.5, 29}, {11.5, 16}, {4, 16}}));
        });
    out[174] = Button([](Canvas& c) { c.Icon(Polyline({{5, 16}, {12.5, 24}, {27, 7}}, 5)); });
}

} // namespace BuiltInImages
