// Portraits by creature kind, 32 x 32: head and shoulders, light so that the
// actor's own colour tints them.
#include "builtin_images.h"

namespace BuiltInImages
{

namespace
{

const Shape kShoulders = Ellipse(16, 33, 14, 8);

void Eyes(Canvas& c, double y, double apart, double size = 1.5)
{
    c.Paint(Circle(16 - apart, y, size) | Circle(16 + apart, y, size), kRim);
}

gfx::Image Human()
{
    Canvas c(32, 32);
    c.Icon(kShoulders, kMid);
    c.Icon(Ellipse(16, 14, 7.5, 9.5));
    c.Paint((Ellipse(16, 11, 8, 7.5) & Box(0, 0, 32, 10.5)) | Box(8, 9, 9.8, 14), kShade);
    Eyes(c, 14, 3.2);
    c.Paint(Segment({14, 19.5}, {18, 19.5}, 1), kShade);
    return c.ToImage();
}

gfx::Image Elf()
{
    Canvas c(32, 32);
    c.Icon(kShoulders, kMid);
    c.Icon(Polygon({{8.5, 13}, {2.5, 7.5}, {9, 17}}) |
           Polygon({{23.5, 13}, {29.5, 7.5}, {23, 17}}));
    c.Icon(Ellipse(16, 14, 7, 9.5));
    c.Paint((Ellipse(16, 12, 8, 8) & Box(0, 0, 32, 9.5)) | Box(8.5, 8, 10, 22) |
                Box(22, 8, 23.5, 22),
            kShade);
    Eyes(c, 14, 3, 1.3);
    c.Paint(Segment({14.5, 19.5}, {17.5, 19.5}, 0.9), kShade);
    return c.ToImage();
}

gfx::Image Dwarf()
{
    Canvas c(32, 32);
    c.Icon(kShoulders, kMid);
    c.Icon(Ellipse(16, 14, 9, 9));
    c.Icon(Polygon({{7.5, 15}, {24.5, 15}, {22, 25}, {16, 30}, {10, 25}}), kMid);
    c.Icon((Circle(16, 11, 9.5) & Box(0, 0, 32, 9)) | Box(6, 8, 26, 10.5, 1));
    c.Paint(Ellipse(16, 17.5, 3.5, 1.4), kShade);
    Eyes(c, 13.5, 3.5);
    return c.ToImage();
}

gfx::Image Orc()
{
    Canvas c(32, 32);
    c.Icon(kShoulders, kMid);
    c.Icon(Polygon({{9, 6}, {23, 6}, {26, 13}, {25, 22}, {20, 26}, {12, 26}, {7, 22}, {6, 13}}));
    c.Paint(Polyline({{8.5, 11}, {13.5, 13}}, 1.8) | Polyline({{23.5, 11}, {18.5, 13}}, 1.8), kRim);
    Eyes(c, 14.5, 3.5, 1.3);
    c.Paint(Segment({11.5, 21}, {20.5, 21}, 1.4), kRim);
    c.Icon(Polygon({{11.5, 21}, {13.5, 21}, {12, 16.5}}) |
           Polygon({{18.5, 21}, {20.5, 21}, {20, 16.5}}));
    return c.ToImage();
}

gfx::Image Ogre()
{
    Canvas c(32, 32);
    c.Icon(Ellipse(16, 34, 16, 9), kMid);
    c.Icon(Ellipse(16, 16, 12.5, 12));
    c.Paint(Ellipse(16, 10, 9, 2), kShade);
    Eyes(c, 13.5, 3, 1.2);
    c.Paint(Ellipse(16, 17.5, 2.5, 2), kMid);
    c.Paint(Box(9.5, 21.5, 22.5, 24.5, 1.5), kRim);
    c.Paint(Box(11, 21.5, 13, 23) | Box(19, 21.5, 21, 23), kLight);
    return c.ToImage();
}

gfx::Image Skeleton()
{
    Canvas c(32, 32);
    c.Icon(Circle(16, 12, 10) | Box(10, 16, 22, 26, 2.5));
    c.Paint(Ellipse(12, 13, 3, 3.4) | Ellipse(20, 13, 3, 3.4), kRim);
    c.Paint(Polygon({{16, 16.5}, {17.8, 20}, {14.2, 20}}), kRim);
    for (double x : {13.0, 16.0, 19.0})
        c.Paint(Segment({x, 22}, {x, 26}, 0.9), kShade);
    c.Paint(Segment({11, 22}, {21, 22}, 0.9), kShade);
    return c.ToImage();
}

gfx::Image Demon()
{
    Canvas c(32, 32);
    c.Icon(kShoulders, kMid);
    c.Icon(Polygon({{9, 9}, {3, 1}, {6, 10.5}}) | Polygon({{23, 9}, {29, 1}, {26, 10.5}}), kMid);
    c.Icon(Polygon({{8, 8}, {24, 8}, {24.5, 17}, {20, 25}, {16, 27}, {12, 25}, {7.5, 17}}));
    c.Paint(Polygon({{10, 12.5}, {14.5, 14.5}, {10.5, 15}}) |
                Polygon({{22, 12.5}, {17.5, 14.5}, {21.5, 15}}),
            kRim);
    c.Paint(Polyline({{12, 21}, {16, 22.5}, {20, 21}}, 1.1), kRim);
    return c.ToImage();
}

gfx::Image Jotun()
{
    Canvas c(32, 32);
    c.Icon(Ellipse(16, 34, 16, 9), kMid);
    c.Icon(Ellipse(16, 14, 9, 10));
    c.Icon(Polygon({{7, 15}, {25, 15}, {23, 24}, {19, 31}, {16, 27}, {13, 31}, {9, 24}}), kMid);
    Shape crown = Box(6.5, 6.5, 25.5, 9.5);
    for (double x : {8.0, 12.0, 16.0, 20.0, 24.0})
        crown = crown | Polygon({{x - 2, 7}, {x, x == 16.0 ? 0.5 : 2.5}, {x + 2, 7}});
    c.Icon(crown);
    Eyes(c, 12.5, 3.5, 1.3);
    c.Paint(Ellipse(16, 17.5, 3, 1.2), kShade);
    return c.ToImage();
}

gfx::Image Surtr()
{
    Canvas c(32, 32);
    c.Icon(Ellipse(16, 34, 16, 9), kMid);
    Shape flames = Circle(16, 13, 10);
    for (int i = 0; i < 7; ++i)
    {
        const double a = -170 + i * 26.7;
        flames = flames | Polygon({Along({16, 14}, a - 10, 8, 0), Along({16, 14}, a + 4, 15.5, 0),
                                   Along({16, 14}, a + 12, 8, 0)});
    }
    c.Icon(flames, kMid);
    c.Icon(Ellipse(16, 16, 7.5, 9));
    c.Paint(Polyline({{11, 13}, {14.5, 14}}, 1.6) | Polyline({{21, 13}, {17.5, 14}}, 1.6), kRim);
    c.Paint(Polyline({{13, 21}, {16, 20}, {19, 21}}, 1.2), kRim);
    return c.ToImage();
}

gfx::Image Norn()
{
    Canvas c(32, 32);
    c.Icon(Polygon({{16, 1.5}, {25, 8}, {28, 20}, {30, 32}, {2, 32}, {4, 20}, {7, 8}}), kMid);
    c.Paint(Ellipse(16, 15, 7, 9), kRim);
    c.Paint(Ellipse(16, 15.5, 5.8, 7.8), kLight);
    Eyes(c, 14.5, 2.5, 1.1);
    c.Paint(Segment({14.7, 19.5}, {17.3, 19.5}, 0.9), kShade);
    return c.ToImage();
}

gfx::Image ShadowKind()
{
    Canvas c(32, 32);
    const Shape figure = Ellipse(16, 34, 14, 9) | Ellipse(16, 14, 8.5, 10.5) |
                         Polygon({{7.5, 16}, {4, 31}, {28, 31}, {24.5, 16}});
    c.Paint(Grow(figure, 1.1), kMid);
    c.Paint(figure, Rgb(0x484848));
    c.Paint(Ellipse(12.5, 13.5, 2.2, 1.2) | Ellipse(19.5, 13.5, 2.2, 1.2), Rgb(0xFFFFFF));
    return c.ToImage();
}

gfx::Image Construct()
{
    Canvas c(32, 32);
    c.Icon(Box(3, 25, 29, 34, 2), kMid);
    c.Icon(Box(13, 20, 19, 26), kShade);
    c.Icon(Box(7, 5, 25, 21, 2));
    c.Paint(Box(10, 10, 22, 13.5, 1), kRim);
    c.Paint(Box(11, 10.8, 15, 12.7) | Box(17, 10.8, 21, 12.7), Rgb(0xFFFFFF));
    for (const Vec p : {Vec{9.5, 7.5}, Vec{22.5, 7.5}, Vec{9.5, 18.5}, Vec{22.5, 18.5}})
        c.Paint(Circle(p.x, p.y, 1), kShade);
    c.Paint(Box(12, 16, 20, 17.2), kShade);
    c.Icon(Segment({16, 5}, {16, 1.8}, 1.5) | Circle(16, 1.8, 1.4), kMid);
    return c.ToImage();
}

gfx::Image Dead()
{
    Canvas c(32, 32);
    c.Icon(Box(7, 9, 25, 29, 1) | (Circle(16, 11, 9) & Box(0, 0, 32, 12)));
    c.Paint(Box(14.8, 9, 17.2, 22) | Box(11, 12.5, 21, 14.8), kShade);
    c.Icon(Box(3, 27.5, 29, 31, 1), kMid);
    return c.ToImage();
}

} // namespace

void DrawPortraits(ImageSet& out)
{
    out[141] = Human();
    out[133] = Elf();
    out[142] = Dwarf();
    out[151] = Orc();
    out[150] = Ogre();
    out[145] = Skeleton();
    out[147] = Demon();
    out[148] = Jotun();
    out[154] = Surtr();
    out[149] = Norn();
    out[152] = ShadowKind();
    out[146] = Construct();
    out[144] = Dead();
}

} // namespace BuiltInImages
