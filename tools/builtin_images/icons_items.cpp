// Weapon and item icons, 32 x 32, light on transparent so that the tint of an
// item's template colours them.
#include "builtin_images.h"

#include <cmath>
#include <numbers>

namespace BuiltInImages
{

Vec Along(Vec origin, double angle, double u, double v)
{
    const double a = angle * std::numbers::pi / 180;
    const double c = std::cos(a), s = std::sin(a);
    return {origin.x + u * c - v * s, origin.y + u * s + v * c};
}

namespace
{

// A blade along the axis from u0 to the tip at u1, width w at its base.
Shape Blade(Vec o, double angle, double u0, double u1, double w, double taper)
{
    return Polygon({Along(o, angle, u0, -w / 2), Along(o, angle, u1 - taper, -w / 2),
                    Along(o, angle, u1, 0), Along(o, angle, u1 - taper, w / 2),
                    Along(o, angle, u0, w / 2)});
}

// Pommel, grip and cross-guard of a sword or dagger.
void Hilt(Canvas& c, Vec o, double angle, double grip, double guard)
{
    c.Icon(Segment(Along(o, angle, 2, 0), Along(o, angle, grip, 0), 3.2), kMid);
    c.Icon(Circle(Along(o, angle, 1.5, 0).x, Along(o, angle, 1.5, 0).y, 2.2));
    c.Icon(Segment(Along(o, angle, grip, -guard / 2), Along(o, angle, grip, guard / 2), 2.6));
}

gfx::Image Dagger()
{
    Canvas c(32, 32);
    const Vec o{5, 27};
    c.Icon(Blade(o, -45, 9, 29, 5.5, 7));
    c.Paint(Segment(Along(o, -45, 10, 0), Along(o, -45, 22, 0), 1), kMid);
    Hilt(c, o, -45, 9, 11);
    return c.ToImage();
}

gfx::Image Sword()
{
    Canvas c(32, 32);
    const Vec o{3.5, 28.5};
    c.Icon(Blade(o, -45, 9, 35.5, 5.5, 5));
    c.Paint(Segment(Along(o, -45, 11, 0), Along(o, -45, 30, 0), 1.2), kMid);
    Hilt(c, o, -45, 8.5, 13);
    return c.ToImage();
}

gfx::Image Staff()
{
    Canvas c(32, 32);
    c.Icon(Segment({6, 29}, {23, 8}, 3.2), kMid);
    for (double t : {0.3, 0.55})
    {
        const Vec p{6 + (23 - 6) * t, 29 + (8 - 29) * t};
        c.Paint(Segment({p.x - 1.6, p.y - 1.3}, {p.x + 1.6, p.y + 1.3}, 1.4), kShade);
    }
    c.Icon(Circle(24.5, 6.5, 4));
    c.Paint(Circle(23.5, 5.5, 1.4), Rgb(0xFFFFFF));
    return c.ToImage();
}

gfx::Image Mace()
{
    Canvas c(32, 32);
    c.Icon(Segment({6, 28}, {18, 14}, 3.4), kMid);
    Shape head = Circle(21, 11, 6);
    for (int i = 0; i < 8; ++i)
    {
        const double a = i * 45.0;
        head = head | Polygon({Along({21, 11}, a, 4, -2.2), Along({21, 11}, a, 9, 0),
                               Along({21, 11}, a, 4, 2.2)});
    }
    c.Icon(head);
    c.Paint(Circle(19.5, 9.5, 2), Rgb(0xFFFFFF));
    return c.ToImage();
}

gfx::Image Axe()
{
    Canvas c(32, 32);
    c.Icon(Segment({8, 29}, {21, 4}, 3.2), kMid);
    const Shape blade =
        Polygon({{18, 8}, {24, 3}, {29, 7}, {30.5, 13}, {28, 19}, {23, 18}, {19, 14}});
    c.Icon(blade);
    c.Paint(Polyline({{25, 4.5}, {29, 9}, {29.5, 13}, {27.5, 17.5}}, 1.2), kMid);
    return c.ToImage();
}

gfx::Image Bow()
{
    Canvas c(32, 32);
    c.Icon(Arc(4, 16, 15, 3, -62, 62));
    const Vec top = Along({4, 16}, -62, 15, 0), bottom = Along({4, 16}, 62, 15, 0);
    c.Paint(Segment(top, bottom, 1), kRim);
    c.Icon(Segment({5, 16}, {27, 16}, 1.6), kMid);
    c.Icon(Polygon({{30, 16}, {25, 12.5}, {26, 16}, {25, 19.5}}));
    c.Icon(Polygon({{4, 16}, {7.5, 13}, {9.5, 13}, {7, 16}, {9.5, 19}, {7.5, 19}}), kMid);
    return c.ToImage();
}

gfx::Image Shield()
{
    Canvas c(32, 32);
    const Shape body = Polygon({{6, 5},
                                {16, 3.5},
                                {26, 5},
                                {26, 14},
                                {24, 20},
                                {20, 25},
                                {16, 28.5},
                                {12, 25},
                                {8, 20},
                                {6, 14}});
    c.Icon(body);
    c.Paint(Grow(body, -3.2) - Grow(body, -4.4), kMid);
    c.Paint(Segment({16, 6}, {16, 26}, 2), kMid);
    c.Paint(Segment({8, 13}, {24, 13}, 2), kMid);
    c.Icon(Circle(16, 13, 3));
    return c.ToImage();
}

gfx::Image Wand()
{
    Canvas c(32, 32);
    c.Icon(Segment({6, 28}, {20, 13}, 2.6), kMid);
    c.Paint(Segment({6, 28}, {9, 24.8}, 2.6), kShade);
    c.Icon(Star(23, 9.5, 7, 3, 5));
    c.Paint(Circle(23, 9.5, 1.6), Rgb(0xFFFFFF));
    return c.ToImage();
}

gfx::Image Pouch()
{
    Canvas c(32, 32);
    c.Icon(Ellipse(16, 20.5, 10.5, 8.5) | Polygon({{11, 14}, {13, 9}, {19, 9}, {21, 14}}));
    c.Icon(Polygon({{10, 6}, {16, 9.5}, {22, 6}, {20, 10.5}, {12, 10.5}}), kMid);
    c.Paint(Segment({11.5, 11}, {20.5, 11}, 1.6), kShade);
    c.Paint(Arc(16, 20, 6, 1.2, 120, 200), kMid);
    return c.ToImage();
}

gfx::Image Armour()
{
    Canvas c(32, 32);
    const Shape body = Polygon({{9, 5},
                                {13, 4},
                                {16, 7},
                                {19, 4},
                                {23, 5},
                                {28.5, 10},
                                {25, 14},
                                {24, 28},
                                {8, 28},
                                {7, 14},
                                {3.5, 10}});
    c.Icon(body);
    c.Paint(Polyline({{13, 4.5}, {16, 9}, {19, 4.5}}, 1.4), kShade);
    c.Paint(Box(8, 20, 24, 22.5), kMid);
    c.Paint(Box(14.5, 19.5, 17.5, 23), kShade);
    c.Paint(Segment({16, 10}, {16, 19}, 1), kMid);
    return c.ToImage();
}

gfx::Image Helmet()
{
    Canvas c(32, 32);
    c.Icon((Circle(16, 17, 11) & Box(4, 4, 28, 19)) | Box(4, 17, 28, 27, 2));
    c.Paint(Box(7, 18, 14.5, 21.5, 1) | Box(17.5, 18, 25, 21.5, 1), kRim);
    c.Paint(Box(14.8, 8, 17.2, 27), kMid);
    c.Paint(Arc(16, 17, 8, 1.2, 200, 250), Rgb(0xFFFFFF));
    return c.ToImage();
}

gfx::Image Amulet()
{
    Canvas c(32, 32);
    c.Paint(Grow(Arc(16, 13, 10, 1.8, 160, 380), 1), kRim);
    c.Paint(Arc(16, 13, 10, 1.8, 160, 380), kMid);
    const Vec left = Along({16, 13}, 160, 10, 0), right = Along({16, 13}, 380, 10, 0);
    c.Paint(Grow(Segment(left, {16, 19}, 1.6) | Segment(right, {16, 19}, 1.6), 1), kRim);
    c.Paint(Segment(left, {16, 19}, 1.6) | Segment(right, {16, 19}, 1.6), kMid);
    c.Icon(Circle(16, 23, 6.5));
    c.Icon(Circle(16, 23, 3.2), kMid);
    c.Paint(Circle(15, 22, 1), Rgb(0xFFFFFF));
    return c.ToImage();
}

gfx::Image RingIcon()
{
    Canvas c(32, 32);
    c.Icon(Ring(16, 19.5, 8.5, 3.6));
    c.Paint(Arc(16, 19.5, 8.5, 1, 110, 160), kMid);
    c.Icon(Polygon({{16, 4}, {21.5, 9}, {16, 14}, {10.5, 9}}));
    c.Paint(Polygon({{16, 5.5}, {19.5, 9}, {16, 9}}), Rgb(0xFFFFFF));
    c.Paint(Polygon({{16, 9}, {12.5, 9}, {16, 12.5}}), kMid);
    return c.ToImage();
}

gfx::Image Potion()
{
    Canvas c(32, 32);
    const Shape flask = Circle(16, 20.5, 8.5) | Box(13, 6, 19, 14);
    c.Icon(flask | Box(11.5, 4, 20.5, 7.5, 1.5));
    c.Paint(Grow(flask, -1.2) & Box(0, 20, 32, 32), kMid);
    c.Paint(Segment({11.5, 18}, {12.5, 15.5}, 1.4), Rgb(0xFFFFFF));
    c.Paint(Box(13.5, 1.5, 18.5, 5, 1), kShade);
    return c.ToImage();
}

gfx::Image Scroll()
{
    Canvas c(32, 32);
    c.Icon(Box(8, 7, 24, 25));
    for (double y : {11.5, 15.0, 18.5})
        c.Paint(Segment({11, y}, {21, y}, 1.2), kShade);
    c.Icon(Box(6, 4, 26, 9, 2.5), kMid);
    c.Icon(Box(6, 23, 26, 28, 2.5), kMid);
    c.Paint(Segment({8, 6.5}, {24, 6.5}, 0.8), kLight);
    c.Paint(Segment({8, 25.5}, {24, 25.5}, 0.8), kLight);
    return c.ToImage();
}

gfx::Image Coins()
{
    Canvas c(32, 32);
    for (double y : {25.0, 21.0, 17.0})
    {
        c.Icon(Ellipse(13, y, 9, 3.6), kMid);
        c.Paint(Ellipse(13, y - 0.6, 7, 2.4), kLight);
    }
    c.Icon(Circle(22, 19, 7.5));
    c.Paint(Ring(22, 19, 5, 1.2), kMid);
    c.Paint(Box(21, 15.5, 23, 22.5), kMid);
    return c.ToImage();
}

gfx::Image Lock()
{
    Canvas c(32, 32);
    c.Icon(Arc(16, 13, 6.5, 3, 180, 360) | Segment({9.5, 13}, {9.5, 15}, 3) |
               Segment({22.5, 13}, {22.5, 15}, 3),
           kMid);
    c.Icon(Box(6, 15, 26, 29, 2));
    c.Paint(Circle(16, 20.5, 2.2) | Box(15, 21, 17, 25.5), kRim);
    return c.ToImage();
}

} // namespace

void DrawItemIcons(ImageSet& out)
{
    out[110] = Dagger();
    out[195] = Sword();
    out[111] = Staff();
    out[112] = Mace();
    out[113] = Axe();
    out[114] = Bow();
    out[115] = Shield();
    out[135] = Wand();
    out[153] = Pouch();
    out[167] = Armour();
    out[168] = Helmet();
    out[169] = Amulet();
    out[170] = RingIcon();
    out[171] = Potion();
    out[172] = Scroll();
    out[173] = Coins();
    // A spare icon under an id no widget names.
    out[190] = Lock();
}

} // namespace BuiltInImages
