// The button frame pieces, the action widget's frames, the paper doll of the
// inventory page, the splash picture, the start screen's title banner and
// the window's icon.
#include "builtin_images.h"

#include <algorithm>
#include <cmath>

namespace BuiltInImages
{

namespace
{

double Hash(std::uint32_t x, std::uint32_t y, std::uint32_t salt)
{
    std::uint64_t h = 0x9E3779B97F4A7C15ull * (x + 1);
    h ^= 0xBF58476D1CE4E5B9ull * (y + 7);
    h ^= 0x94D049BB133111EBull * (salt + 13);
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 29;
    return static_cast<double>(h >> 11) / static_cast<double>(1ull << 53);
}

// A panel stretched over a button: a vertical gradient, a one-pixel border
// and a lighter line under its top edge.
gfx::Image Panel(std::uint32_t w, std::uint32_t h, const Colour& top, const Colour& bottom,
                 const Colour& border)
{
    Canvas c(w, h);
    const double height = h;
    c.Fill([&](double, double y) { return Mix(top, bottom, y / height); });
    const double W = w, H = h;
    c.Paint(Box(0, 0, W, H) - Box(1, 1, W - 1, H - 1), border);
    c.Paint(Box(1, 1, W - 1, 2), Mix(top, Rgb(0xFFFFFF), 0.6));
    return c.ToImage();
}

// A frame that glows inwards from its edge and leaves the middle nearly
// clear, for drawing over an icon.
gfx::Image Glow(std::uint32_t side, const Colour& colour, double middle)
{
    Canvas c(side, side);
    const double s = side;
    c.Fill(
        [&](double x, double y)
        {
            const double edge = std::min(std::min(x, s - x), std::min(y, s - y));
            const double t = std::clamp(edge / (s * 0.22), 0.0, 1.0);
            Colour out = colour;
            out.a = middle + (0.9 - middle) * (1 - t) * (1 - t);
            return out;
        });
    c.Paint(Box(0, 0, s, s) - Box(1.5, 1.5, s - 1.5, s - 1.5), Mix(colour, Rgb(0xFFFFFF), 0.5));
    return c.ToImage();
}

// The inventory page shows the image's top-left 208 x 352 pixels at natural
// size, so the figure stands inside that part.
gfx::Image PaperDoll()
{
    Canvas c(256, 512);
    const double k = 0.68;
    const auto at = [k](double x, double y) { return Vec{104 + (x - 128) * k, 6 + y * k}; };
    const auto line = [&](std::initializer_list<Vec> points, double width)
    {
        std::vector<Vec> placed;
        for (const Vec& p : points)
            placed.push_back(at(p.x, p.y));
        return Polyline(placed, width * k);
    };
    const auto poly = [&](std::initializer_list<Vec> points)
    {
        std::vector<Vec> placed;
        for (const Vec& p : points)
            placed.push_back(at(p.x, p.y));
        return Polygon(placed);
    };
    const auto box = [&](double x0, double y0, double x1, double y1, double r)
    {
        const Vec a = at(x0, y0), b = at(x1, y1);
        return Box(a.x, a.y, b.x, b.y, r * k);
    };
    const Vec headAt = at(128, 62), leftHand = at(38, 312), rightHand = at(218, 312);
    const Shape head = Ellipse(headAt.x, headAt.y, 30 * k, 38 * k);
    const Shape neck = box(114, 92, 142, 118, 6);
    const Shape torso = poly({{72, 118}, {184, 118}, {196, 150}, {180, 262}, {76, 262}, {60, 150}});
    const Shape arms = line({{74, 128}, {48, 200}, {40, 280}, {38, 300}}, 26) |
                       line({{182, 128}, {208, 200}, {216, 280}, {218, 300}}, 26);
    const Shape hands = Ellipse(leftHand.x, leftHand.y, 13 * k, 18 * k) |
                        Ellipse(rightHand.x, rightHand.y, 13 * k, 18 * k);
    const Shape legs = line({{104, 256}, {98, 380}, {96, 470}}, 40) |
                       line({{152, 256}, {158, 380}, {160, 470}}, 40);
    const Shape feet = box(62, 462, 114, 490, 10) | box(142, 462, 194, 490, 10);
    const Shape body = head | neck | torso | arms | hands | legs | feet;
    c.Paint(Grow(body, 2), Rgb(0xD0D0D0, 0.55));
    c.Paint(body, [](double, double y)
            { return Mix(Rgb(0x8A8A8A, 0.45), Rgb(0x5A5A5A, 0.45), y / 352.0); });
    // Seams where the equipment sits.
    c.Paint(line({{78, 240}, {178, 240}}, 3), Rgb(0xD0D0D0, 0.4));
    return c.ToImage();
}

// Strokes of the capital letters of the title, in a box one unit high.
std::vector<std::vector<Vec>> Letter(char letter)
{
    switch (letter)
    {
    case 'B':
        return {{{0, 0}, {0, 1}},
                {{0, 0}, {0.42, 0}, {0.56, 0.1}, {0.56, 0.37}, {0.42, 0.48}, {0, 0.48}},
                {{0, 0.48}, {0.46, 0.48}, {0.62, 0.6}, {0.62, 0.88}, {0.46, 1}, {0, 1}}};
    case 'R':
        return {{{0, 0}, {0, 1}},
                {{0, 0}, {0.44, 0}, {0.6, 0.12}, {0.6, 0.36}, {0.44, 0.48}, {0, 0.48}},
                {{0.3, 0.48}, {0.64, 1}}};
    case 'E':
        return {{{0.58, 0}, {0, 0}, {0, 1}, {0.58, 1}}, {{0, 0.48}, {0.46, 0.48}}};
    case 'L':
        return {{{0, 0}, {0, 1}, {0.56, 1}}};
    case 'M':
        return {{{0, 1}, {0, 0}, {0.38, 0.62}, {0.76, 0}, {0.76, 1}}};
    case 'O':
    {
        std::vector<Vec> ring;
        for (int i = 0; i <= 40; ++i)
        {
            const double a = i * 2 * 3.14159265358979 / 40;
            ring.push_back({0.38 + 0.38 * std::cos(a), 0.5 + 0.5 * std::sin(a)});
        }
        return {ring};
    }
    default:
        return {};
    }
}

double LetterWidth(char letter)
{
    return letter == 'M' || letter == 'O' ? 0.76 : 0.62;
}

// The word in strokes, height h, centred on (cx, top + h / 2).
Shape Word(const std::string& word, double cx, double top, double h, double stroke)
{
    const double gap = 0.3;
    double width = -gap;
    for (char letter : word)
        width += LetterWidth(letter) + gap;
    double x = cx - width * h / 2;
    Shape shape = Circle(-100, -100, 0);
    for (char letter : word)
    {
        for (const auto& line : Letter(letter))
        {
            std::vector<Vec> points;
            for (const Vec& p : line)
                points.push_back({x + p.x * h, top + p.y * h});
            shape = shape | Polyline(points, stroke);
        }
        x += (LetterWidth(letter) + gap) * h;
    }
    return shape;
}

gfx::Image Banner()
{
    Canvas c(728, 180);
    c.Fill([](double, double y)
           { return Mix(Rgb(0x1A1410), Rgb(0x3A2A1A), 1 - std::abs(y - 90) / 90.0); });
    const Colour gold = Rgb(0xD8B060);
    c.Paint(Box(6, 6, 722, 174, 8) - Box(10, 10, 718, 170, 5), gold);
    c.Paint(Box(16, 16, 712, 164, 4) - Box(18, 18, 710, 162, 3), Rgb(0x8A6A38));
    // Crossed swords at each end.
    for (const double cx : {78.0, 650.0})
        for (const double angle : {-60.0, -120.0})
        {
            const Vec o = Along({cx, 90}, angle + 180, 46, 0);
            c.Paint(Grow(Polygon({Along(o, angle, 20, -5), Along(o, angle, 84, -5),
                                  Along(o, angle, 96, 0), Along(o, angle, 84, 5),
                                  Along(o, angle, 20, 5)}),
                         1.5),
                    Rgb(0x100C08));
            c.Paint(
                Polygon({Along(o, angle, 20, -5), Along(o, angle, 84, -5), Along(o, angle, 96, 0),
                         Along(o, angle, 84, 5), Along(o, angle, 20, 5)}),
                Rgb(0xC8C8D0));
            c.Paint(Segment(Along(o, angle, 18, -14), Along(o, angle, 18, 14), 5), gold);
            c.Paint(Segment(Along(o, angle, 2, 0), Along(o, angle, 16, 0), 6), Rgb(0x6A4A2A));
        }
    const Shape title = Word("BRELMOOR", 364, 60, 60, 9);
    c.Paint(Moved(Grow(title, 2), 3, 4), Rgb(0x000000, 0.6));
    c.Paint(Grow(title, 2), Rgb(0x5A3A18));
    c.Paint(title,
            [](double, double y) { return Mix(Rgb(0xFFE8A8), Rgb(0xC08830), (y - 60) / 60.0); });
    return c.ToImage();
}

gfx::Image Splash()
{
    Canvas c(640, 480);
    c.Fill(
        [](double, double y)
        {
            const double t = y / 330.0;
            return t < 1 ? Mix(Rgb(0x0C1030), Rgb(0x7A4A60), t * t) : Rgb(0x7A4A60);
        });
    for (std::uint32_t i = 0; i < 140; ++i)
    {
        const double x = Hash(i, 0, 1) * 640, y = Hash(i, 1, 1) * 260;
        const double r = 0.5 + Hash(i, 2, 1) * 0.9;
        c.Paint(Circle(x, y, r), Rgb(0xFFFFFF, 0.4 + 0.6 * Hash(i, 3, 1) * (1 - y / 300)));
    }
    c.Paint(Circle(500, 90, 34), Rgb(0xF4ECD0));
    c.Paint(Circle(488, 80, 7) | Circle(512, 104, 5), Rgb(0xD8CCB0));
    // Far mountains, then the castle's hill, then the near ground.
    std::vector<Vec> far{{0, 480}, {0, 300}};
    for (int i = 0; i <= 32; ++i)
    {
        const double x = i * 20.0;
        far.push_back({x, 300 - 90 * std::abs(std::sin(x / 97.0)) - 30 * Hash(i, 4, 2)});
    }
    far.push_back({640, 480});
    c.Paint(Polygon(far),
            [](double, double y) { return Mix(Rgb(0x3A2E48), Rgb(0x2A2236), (y - 200) / 280); });
    const Shape hill = Ellipse(200, 420, 260, 110);
    c.Paint(hill, Rgb(0x1A1624));
    Shape castle = Box(120, 250, 290, 330) | Box(100, 210, 140, 330) | Box(270, 200, 310, 330) |
                   Box(180, 180, 225, 330);
    for (const double x : {100.0, 270.0, 180.0})
    {
        const double w = x == 180.0 ? 45 : 40;
        const double top = x == 180.0 ? 180 : (x == 100.0 ? 210 : 200);
        for (double bx = x; bx < x + w - 4; bx += 10)
            castle = castle | Box(bx, top - 8, bx + 6, top);
    }
    for (double bx = 140; bx < 270; bx += 12)
        castle = castle | Box(bx, 242, bx + 7, 250);
    c.Paint(castle, Rgb(0x110E18));
    for (const Vec w :
         {Vec{118, 235}, Vec{198, 205}, Vec{208, 240}, Vec{288, 230}, Vec{160, 290}, Vec{245, 285}})
        c.Paint(Box(w.x, w.y, w.x + 5, w.y + 10, 2), Rgb(0xF0C060));
    std::vector<Vec> near{{0, 480}, {0, 420}};
    for (int i = 0; i <= 16; ++i)
        near.push_back({i * 40.0, 430 - 20 * std::sin(i * 0.7) - 10 * Hash(i, 5, 3)});
    near.push_back({640, 480});
    c.Paint(Polygon(near), Rgb(0x0A0810));
    // A lone traveller on the road.
    c.Paint(Circle(470, 381, 5) | Polygon({{463, 386}, {477, 386}, {481, 414}, {459, 414}}) |
                Segment({484, 372}, {480, 416}, 2.5),
            Rgb(0x0A0810));
    return c.ToImage();
}

// A sword upright on a blue shield with a gold rim, read at 16 pixels too.
gfx::Image WindowIcon()
{
    Canvas c(32, 32);
    const Shape shield = Polygon({{3, 3}, {29, 3}, {29, 15}, {24, 24}, {16, 30}, {8, 24}, {3, 15}});
    c.Paint(Grow(shield, 1), Rgb(0x1A1208));
    c.Paint(shield, Rgb(0xD8B060));
    c.Paint(Grow(shield, -2.5),
            [](double, double y) { return Mix(Rgb(0x3A5AA8), Rgb(0x1A2A5A), (y - 5) / 22); });
    const Shape blade = Polygon({{14.5, 10}, {17.5, 10}, {17.5, 23}, {16, 27}, {14.5, 23}});
    c.Paint(Grow(blade, 1), Rgb(0x101018));
    c.Paint(blade, Rgb(0xE8E8F0));
    c.Paint(Segment({10.5, 9}, {21.5, 9}, 3), Rgb(0xF0D080));
    c.Paint(Segment({16, 4.5}, {16, 8}, 3), Rgb(0x6A4A2A));
    return c.ToImage();
}

} // namespace

void DrawFramesAndPictures(ImageSet& out)
{
    const Colour silverTop = Rgb(0xF6F6F4), silverBottom = Rgb(0xB4BAC2);
    const Colour silverBorder = Rgb(0x5A5E66);
    out[184] = Panel(64, 64, Rgb(0x4A4E56, 0.85), Rgb(0x24262C, 0.85), Rgb(0x9098A0));
    out[185] = Panel(256, 32, silverTop, silverBottom, silverBorder);
    out[186] = Panel(64, 32, silverTop, silverBottom, silverBorder);
    out[187] = Panel(32, 32, silverTop, silverBottom, silverBorder);
    // The blinking phase: a warm glow that white text still reads on.
    out[188] = Panel(64, 64, Rgb(0xD07A18, 0.9), Rgb(0x8A3C08, 0.9), Rgb(0xFFD070));
    out[189] = Panel(64, 32, Rgb(0xE6FFE0), Rgb(0x8ED488), Rgb(0x3A8A3A));
    out[192] = Glow(64, Rgb(0xFFFFFF), 0.08);
    out[193] = Glow(64, Rgb(0x60FF60), 0.12);
    out[194] = PaperDoll();
    out[137] = Splash();
    out[160] = Banner();
    out[107] = WindowIcon();
}

} // namespace BuiltInImages
