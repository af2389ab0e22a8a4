// Spell icons by school, power icons, and the talk and attack actions,
// 32 x 32, light so that the spell's colour tints them.
#include "builtin_images.h"

namespace BuiltInImages
{

namespace
{

gfx::Image Void()
{
    Canvas c(32, 32);
    c.Icon(Arc(16, 16, 12, 3, -90, 180));
    c.Icon(Arc(16, 16, 7.5, 2.6, 90, 360), kMid);
    c.Paint(Grow(Circle(16, 16, 3), 1.1), kRim);
    c.Paint(Circle(16, 16, 3), kShade);
    return c.ToImage();
}

gfx::Image Spirit()
{
    Canvas c(32, 32);
    Shape body = Circle(16, 13, 9) | Box(7, 13, 25, 26);
    for (double x : {9.0, 16.0, 23.0})
        body = body - Circle(x + 3.5, 28.5, 2.6);
    c.Icon(body);
    c.Paint(Ellipse(12.5, 13, 1.8, 2.6) | Ellipse(19.5, 13, 1.8, 2.6), kRim);
    c.Paint(Ellipse(16, 20, 2, 1.4), kShade);
    return c.ToImage();
}

gfx::Image Matter()
{
    Canvas c(32, 32);
    const Vec top{16, 4}, left{4, 10.5}, right{28, 10.5}, middle{16, 17}, bottom{16, 29.5};
    const Vec leftBottom{4, 23}, rightBottom{28, 23};
    c.Paint(Grow(Polygon({top, right, rightBottom, bottom, leftBottom, left}), 1.1), kRim);
    c.Paint(Polygon({top, right, middle, left}), kLight);
    c.Paint(Polygon({left, middle, bottom, leftBottom}), kMid);
    c.Paint(Polygon({middle, right, rightBottom, bottom}), kShade);
    c.Paint(Polyline({left, middle, right}, 0.8) | Segment(middle, bottom, 0.8), kRim);
    return c.ToImage();
}

gfx::Image Energy()
{
    Canvas c(32, 32);
    c.Icon(Polygon({{19, 2}, {7, 18}, {14.5, 18}, {11, 30}, {25, 12.5}, {17.5, 12.5}, {22.5, 2}}));
    c.Paint(Polygon({{18.5, 4}, {10, 16.5}, {13, 16.5}}), Rgb(0xFFFFFF));
    return c.ToImage();
}

gfx::Image Life()
{
    Canvas c(32, 32);
    c.Icon(Circle(10.5, 12, 6.5) | Circle(21.5, 12, 6.5) |
           Polygon({{4.3, 14}, {27.7, 14}, {16, 28}}));
    c.Paint(Box(14.5, 10, 17.5, 22) | Box(10, 14.5, 22, 17.5), kMid);
    c.Paint(Circle(9, 10, 1.8), Rgb(0xFFFFFF));
    return c.ToImage();
}

gfx::Image Cosmic()
{
    Canvas c(32, 32);
    c.Icon(Star(15, 17, 12.5, 4, 4, -90));
    c.Paint(Star(15, 17, 6, 2.2, 4, -45), kMid);
    c.Icon(Star(26, 6, 4, 1.4, 4, -90));
    c.Icon(Circle(6, 5, 1.6));
    c.Icon(Circle(27, 26, 1.4));
    return c.ToImage();
}

gfx::Image Elemental()
{
    Canvas c(32, 32);
    const Shape outer =
        Circle(16, 21, 8.5) | Polygon({{7.6, 19.5}, {13, 9}, {16, 2}, {19, 9}, {24.4, 19.5}});
    c.Icon(outer | Polygon({{21, 14}, {26, 7}, {24.6, 17}}) |
           Polygon({{11, 14}, {6, 9}, {7.4, 17}}));
    c.Paint(Circle(16, 23, 4.5) | Polygon({{11.6, 22}, {16, 12}, {20.4, 22}}), kMid);
    c.Paint(Circle(16, 25, 2), Rgb(0xFFFFFF));
    return c.ToImage();
}

gfx::Image High()
{
    Canvas c(32, 32);
    c.Icon(Ring(16, 16, 12.5, 2.2));
    std::vector<Vec> points;
    for (int i : {0, 2, 4, 1, 3, 0})
        points.push_back(Along({16, 16}, -90 + 72.0 * i, 12.5, 0));
    c.Paint(Grow(Polyline(points, 1.6), 0.9), kRim);
    c.Paint(Polyline(points, 1.6), kMid);
    c.Icon(Circle(16, 16, 3));
    return c.ToImage();
}

gfx::Image Singing()
{
    Canvas c(32, 32);
    c.Icon(Ellipse(9.5, 24, 4.5, 3.4) | Ellipse(22.5, 21, 4.5, 3.4) | Box(12, 6, 14.5, 24) |
           Box(25, 4, 27.5, 21) | Polygon({{12, 6}, {27.5, 2.5}, {27.5, 7.5}, {12, 11}}));
    c.Paint(Ellipse(8.5, 23, 1.6, 1), Rgb(0xFFFFFF));
    return c.ToImage();
}

gfx::Image Power()
{
    Canvas c(32, 32);
    c.Icon(Star(16, 16, 14, 7, 9, -90));
    c.Icon(Circle(16, 16, 5.5), kMid);
    c.Paint(Circle(14.5, 14.5, 2), Rgb(0xFFFFFF));
    return c.ToImage();
}

gfx::Image Stealth()
{
    Canvas c(32, 32);
    c.Icon(Polygon({{16, 3}, {24, 9}, {27, 18}, {28, 29}, {4, 29}, {5, 18}, {8, 9}}));
    c.Paint(Ellipse(16, 15, 6.5, 8), kRim);
    c.Paint(Ellipse(13.5, 14.5, 1.6, 1) | Ellipse(18.5, 14.5, 1.6, 1), kMid);
    c.Paint(Polyline({{9, 29}, {11, 22}, {16, 24}, {21, 22}, {23, 29}}, 1.2), kShade);
    return c.ToImage();
}

gfx::Image Talk()
{
    Canvas c(32, 32);
    c.Icon(Ellipse(16, 13, 13, 9.5) | Polygon({{9, 19}, {7, 29}, {17, 21}}));
    for (double x : {10.0, 16.0, 22.0})
        c.Paint(Circle(x, 13, 2), kShade);
    return c.ToImage();
}

gfx::Image Attack()
{
    Canvas c(32, 32);
    for (const double angle : {-45.0, -135.0})
    {
        const Vec o = angle < -90 ? Vec{28, 28} : Vec{4, 28};
        c.Icon(Polygon({Along(o, angle, 8, -2.4), Along(o, angle, 29, -2.4), Along(o, angle, 33, 0),
                        Along(o, angle, 29, 2.4), Along(o, angle, 8, 2.4)}));
        c.Icon(Segment(Along(o, angle, 2, 0), Along(o, angle, 7, 0), 2.8), kMid);
        c.Icon(Segment(Along(o, angle, 7.5, -5), Along(o, angle, 7.5, 5), 2.4));
    }
    return c.ToImage();
}

} // namespace

void DrawMagicIcons(ImageSet& out)
{
    out[116] = Void();
    out[117] = Spirit();
    out[118] = Matter();
    out[119] = Energy();
    out[120] = Life();
    out[121] = Cosmic();
    out[122] = Elemental();
    out[123] = High();
    out[124] = Singing();
    out[125] = Power();
    out[176] = Stealth();
    out[130] = Talk();
    out[143] = Attack();
}

} // namespace BuiltInImages
