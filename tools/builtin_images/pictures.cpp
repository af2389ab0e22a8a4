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
// size, so the figure stands inside that part. It faces the viewer: the
// sword is in its right hand, on the picture's left.
gfx::Image PaperDoll()
{
    Canvas c(256, 512);
    const std::vector<DollPart> parts = PaperDollParts();
    const Vec blade{parts[0].x, parts[0].y}, shield{parts[1].x, parts[1].y};
    const Vec head{parts[3].x, parts[3].y}, pendant{parts[4].x, parts[4].y};
    const Vec leftHand{parts[5].x, parts[5].y}, rightHand{parts[6].x, parts[6].y};

    const Shape skull = Ellipse(head.x, head.y, 17, 21);
    const Shape neck = Box(head.x - 8, head.y + 16, head.x + 8, head.y + 42, 4);
    const Shape torso = Polygon(
        {{70, 80}, {138, 80}, {150, 96}, {141, 150}, {136, 212}, {72, 212}, {67, 150}, {58, 96}});
    const Shape hips = Polygon({{72, 204}, {136, 204}, {140, 234}, {68, 234}});
    const Shape arms = Polyline({{68, 88}, {50, 118}, {rightHand.x + 1, rightHand.y - 10}}, 16) |
                       Polyline({{140, 88}, {158, 118}, {leftHand.x - 1, leftHand.y - 10}}, 16);
    const Shape hands =
        Ellipse(rightHand.x, rightHand.y, 9, 12) | Ellipse(leftHand.x, leftHand.y, 9, 12);
    const Shape legs = Polyline({{91, 226}, {89, 286}, {88, 334}}, 22) |
                       Polyline({{117, 226}, {119, 286}, {120, 334}}, 22);
    const Shape feet = Box(72, 328, 98, 344, 6) | Box(110, 328, 136, 344, 6);
    const Shape body = skull | neck | torso | hips | arms | hands | legs | feet;
    c.Paint(Grow(body, 2), Rgb(0xD0D0D0, 0.55));
    c.Paint(body, [](double, double y)
            { return Mix(Rgb(0x8A8A8A, 0.45), Rgb(0x5A5A5A, 0.45), y / 352.0); });

    // What each box takes, drawn pale where it sits: a sword held point down,
    // a shield hanging from the other hand, a ring on each hand, a pendant on
    // its chain, the edge and belt of a breastplate.
    const Colour hint = Rgb(0xC8C8C8, 0.5), edge = Rgb(0xE8E8E8, 0.7);
    const Shape sword =
        Polygon({{blade.x - 4, rightHand.y + 16},
                 {blade.x + 4, rightHand.y + 16},
                 {blade.x + 4, blade.y + 10},
                 {blade.x, blade.y + 20},
                 {blade.x - 4, blade.y + 10}}) |
        Segment({blade.x - 10, rightHand.y + 14}, {blade.x + 10, rightHand.y + 14}, 4) |
        Segment({blade.x, rightHand.y + 4}, {blade.x, rightHand.y + 14}, 4);
    const Shape buckler = Polygon({{shield.x - 18, shield.y - 22},
                                   {shield.x + 18, shield.y - 22},
                                   {shield.x + 18, shield.y},
                                   {shield.x, shield.y + 22},
                                   {shield.x - 18, shield.y}}) |
                          Segment({leftHand.x, leftHand.y + 8}, {shield.x, shield.y - 22}, 3);
    for (const Shape& item : {sword, buckler})
    {
        c.Paint(Grow(item, 1.2), edge);
        c.Paint(item, hint);
    }
    c.Paint(Ring(rightHand.x + 3, rightHand.y + 3, 4, 2) |
                Ring(leftHand.x - 3, leftHand.y + 3, 4, 2),
            edge);
    c.Paint(Polyline({{head.x - 10, head.y + 36}, {pendant.x, pendant.y - 6}}, 1.6) |
                Polyline({{head.x + 10, head.y + 36}, {pendant.x, pendant.y - 6}}, 1.6),
            edge);
    c.Paint(Grow(Circle(pendant.x, pendant.y, 6), 1.2), edge);
    c.Paint(Circle(pendant.x, pendant.y, 6), hint);
    c.Paint(Polyline({{68, 150}, {104, 158}, {140, 150}}, 2.5) | Segment({72, 206}, {136, 206}, 3),
            edge);
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

std::vector<DollPart> PaperDollParts()
{
    // The inventory page's 48-pixel boxes: weapon (16, 192), shield
    // (144, 192), armour (80, 160), helmet (80, 16), amulet (80, 96) and the
    // rings (144, 128) and (16, 128); each part lies in its box's middle.
    return {{"sword in the right hand", 40, 216},
            {"shield on the left hand", 168, 216},
            {"body", 104, 184},
            {"head", 104, 40},
            {"neck", 104, 120},
            {"left hand", 168, 152},
            {"right hand", 40, 152}};
}

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
    out[kPaperDollImage] = PaperDoll();
    out[137] = Splash();
    out[160] = Banner();
    out[107] = WindowIcon();
}

} // namespace BuiltInImages
