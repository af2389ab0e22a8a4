#include "platform/gl_fixture.h"
#include "test_util.h"
#include "ui/ui_draw_help.h"
#include "ui/ui_manager.h"

#include <algorithm>

using namespace VARDUI;

namespace
{

class UIDraw : public GlTest
{
protected:
    UIDraw() : GlTest(64) {}

    void SetUp() override
    {
        GlTest::SetUp();
        help = std::make_unique<CUIDrawHelp>(*device);
        sprite = std::make_unique<gfx::Sprite>(*device);
        sprite->Begin(gfx::kSpriteAlphaBlend);
    }

    void TearDown() override
    {
        sprite.reset();
        help.reset();
        GlTest::TearDown();
    }

    void Finish()
    {
        sprite->End();
        Drawn();
    }

    bool InkInRow(int y, int left, int right)
    {
        for (int x = left; x < right; ++x)
            if (PixelAt(x, y)[0] > 128)
                return true;
        return false;
    }

    // The first row at or below top, within the columns, with bright ink.
    int FirstInkRow(int top, int left, int right)
    {
        for (int y = top; y < static_cast<int>(kSize); ++y)
            if (InkInRow(y, left, right))
                return y;
        return -1;
    }

    // Where the ink of the next line begins: past the ink starting at row.
    int NextLineInk(int row, int left, int right)
    {
        while (row < static_cast<int>(kSize) && InkInRow(row, left, right))
            ++row;
        return FirstInkRow(row, left, right);
    }

    std::unique_ptr<CUIDrawHelp> help;
    std::unique_ptr<gfx::Sprite> sprite;
};

} // namespace

TEST_F(UIDraw, FilledRectangleTakesItsColourExactly)
{
    const Rect rect{10, 12, 20, 30};
    help->FillRect(sprite.get(), 0xFF3366CCu, &rect);
    const Rect half{40, 40, 50, 50};
    help->FillRect(sprite.get(), 0xFFFFFFFFu, &half);
    help->FillRect(sprite.get(), 0x80FF0000u, &half);
    Finish();
    EXPECT_RGB_NEAR(PixelAt(10, 12), 0x33, 0x66, 0xCC);
    EXPECT_RGB_NEAR(PixelAt(19, 29), 0x33, 0x66, 0xCC);
    EXPECT_RGB_NEAR(PixelAt(9, 12), 0, 0, 0);
    EXPECT_RGB_NEAR(PixelAt(20, 20), 0, 0, 0);
    EXPECT_RGB_NEAR(PixelAt(15, 30), 0, 0, 0);
    EXPECT_RGB_NEAR(PixelAt(15, 11), 0, 0, 0);
    // Translucent over white: half of each.
    EXPECT_RGB_NEAR(PixelAt(45, 45), 255, 127, 127);
}

TEST_F(UIDraw, OutlineRingsOnePixelEach)
{
    const Rect rect{0, 0, 10, 10};
    help->DrawOutline(sprite.get(), 0xFFFF0000u, 0xFF0000FFu, &rect, 2);
    const Rect none{20, 20, 30, 30};
    help->DrawOutline(sprite.get(), 0xFFFFFFFFu, 0xFFFFFFFFu, &none, 0);
    Finish();
    const struct
    {
        int x, y, r, g, b;
    } pixels[] = {
        {0, 0, 255, 0, 0}, {9, 0, 255, 0, 0}, {0, 5, 255, 0, 0}, {5, 1, 255, 0, 0},
        {1, 5, 255, 0, 0}, {0, 9, 0, 0, 255}, {9, 5, 0, 0, 255}, {8, 5, 0, 0, 255},
        {5, 8, 0, 0, 255}, {2, 2, 0, 0, 0},   {7, 7, 0, 0, 0},   {5, 5, 0, 0, 0},
        {10, 5, 0, 0, 0},  {5, 10, 0, 0, 0},  {20, 20, 0, 0, 0}, {29, 29, 0, 0, 0},
    };
    for (const auto& p : pixels)
    {
        SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
        EXPECT_RGB_NEAR(PixelAt(p.x, p.y), p.r, p.g, p.b);
    }
}

TEST_F(UIDraw, BarFramesAndFillsByFraction)
{
    // Each bar (0, y, 22, y + 8): frame ring at 1, inside (2, y + 2, 20, y + 6).
    const double fractions[] = {0.0, 1.0, 0.5, -0.5, 1.5};
    for (int i = 0; i < 5; ++i)
    {
        const Rect bar{0, i * 10, 22, i * 10 + 8};
        help->DrawBar(sprite.get(), &bar, 0xFF00FF00u, fractions[i]);
    }
    Finish();
    for (int i = 0; i < 5; ++i)
    {
        SCOPED_TRACE(fractions[i]);
        const int y = i * 10;
        EXPECT_RGB_NEAR(PixelAt(0, y + 3), 0, 0, 0);
        EXPECT_RGB_NEAR(PixelAt(1, y + 1), 128, 128, 128);
        EXPECT_RGB_NEAR(PixelAt(1, y + 4), 128, 128, 128);
        EXPECT_RGB_NEAR(PixelAt(10, y + 6), 255, 255, 255);
        EXPECT_RGB_NEAR(PixelAt(20, y + 3), 255, 255, 255);
        EXPECT_RGB_NEAR(PixelAt(21, y + 3), 0, 0, 0);
    }
    // Empty at 0 and below; full at 1 and above; 9 of 18 columns at a half.
    for (const int y : {0, 30})
    {
        EXPECT_RGB_NEAR(PixelAt(2, y + 2), 0, 0, 0);
        EXPECT_RGB_NEAR(PixelAt(19, y + 5), 0, 0, 0);
    }
    for (const int y : {10, 40})
    {
        EXPECT_RGB_NEAR(PixelAt(2, y + 2), 0, 255, 0);
        EXPECT_RGB_NEAR(PixelAt(19, y + 5), 0, 255, 0);
    }
    EXPECT_RGB_NEAR(PixelAt(10, 23), 0, 255, 0);
    EXPECT_RGB_NEAR(PixelAt(11, 23), 0, 0, 0);
}

TEST_F(UIDraw, FontsAdvanceSixteenAndFourteenPixelsALine)
{
    const Rect big{0, 0, 30, 64};
    Rect area = big;
    EXPECT_EQ(CUIDrawHelp::DrawText(help->GetFont(), sprite.get(), "H\nH", area, kUITextBody,
                                    0xFFFFFFFFu),
              32);
    Rect small{32, 0, 62, 64};
    EXPECT_EQ(CUIDrawHelp::DrawText(help->GetSmallFont(), sprite.get(), "H\nH", small, kUITextBody,
                                    0xFFFFFFFFu),
              28);
    // Empty text draws nothing, measures one line and is no failure.
    Rect empty{0, 40, 64, 64};
    EXPECT_EQ(
        CUIDrawHelp::DrawText(help->GetFont(), sprite.get(), "", empty, kUITextBody, 0xFFFFFFFFu),
        16);
    Rect measured{0, 0, 200, 0};
    EXPECT_EQ(CUIDrawHelp::DrawText(help->GetSmallFont(), sprite.get(), "", measured,
                                    kUITextMeasure, 0xFFFFFFFFu),
              14);
    EXPECT_EQ(measured.bottom, 14);
    Finish();

    const int first = FirstInkRow(0, 0, 30);
    ASSERT_GE(first, 0);
    EXPECT_EQ(NextLineInk(first, 0, 30), first + 16);
    const int firstSmall = FirstInkRow(0, 32, 62);
    ASSERT_GE(firstSmall, 0);
    EXPECT_EQ(NextLineInk(firstSmall, 32, 62), firstSmall + 14);
    EXPECT_EQ(FirstInkRow(40, 0, 64), -1);
}

TEST_F(UIDraw, ImagesMustBeLoadedBeforeDrawing)
{
    const Rect rect{0, 0, 32, 32};
    EXPECT_EQ(TestUtil::CodeOf([&] { help->DrawScaledTexture(sprite.get(), &rect, 110, 0); }), 4);
    EXPECT_EQ(TestUtil::CodeOf([&] { help->DrawTexture(sprite.get(), &rect, 110); }), 4);
    EXPECT_EQ(TestUtil::CodeOf([&] { help->LoadTexture(*device, 128); }), 4);
    EXPECT_EQ(help->GetTextureCount(), 0u);

    // Loaded once per id; the high bits of an id do not pick the image.
    help->LoadTexture(*device, 110);
    const gfx::Texture* first = help->GetTexture(110);
    help->LoadTexture(*device, 110);
    EXPECT_EQ(help->GetTexture(110), first);
    EXPECT_EQ(help->GetTextureCount(), 1u);
    help->LoadTexture(*device, 0x10000u + 187);
    ASSERT_NE(help->GetTexture(0x10000u + 187), nullptr);
    EXPECT_EQ(help->GetTexture(0x10000u + 187)->GetWidth(), 32u);

    // The light button piece stretched over (0, 0, 48, 16), tinted red; at
    // natural size it is cut at (40, 0, 50, 6).
    const Rect wide{0, 0, 48, 16};
    help->DrawScaledTexture(sprite.get(), &wide, 0x10000u + 187, 0xFFFF0000u);
    const Rect cut{40, 20, 50, 26};
    help->DrawTexture(sprite.get(), &cut, 0x10000u + 187);
    Finish();
    const auto middle = PixelAt(24, 8);
    EXPECT_GT(middle[0], 180);
    EXPECT_LT(middle[1], 10);
    EXPECT_LT(middle[2], 10);
    EXPECT_GT(PixelAt(47, 8)[0], 40); // the border reaches the far edge
    EXPECT_RGB_NEAR(PixelAt(24, 16), 0, 0, 0);
    EXPECT_GT(PixelAt(45, 23)[1], 150);
    EXPECT_RGB_NEAR(PixelAt(50, 23), 0, 0, 0);
    EXPECT_RGB_NEAR(PixelAt(45, 26), 0, 0, 0);
}

namespace
{

// Fills its rectangle; its drag mark is a white square at the cursor.
class Patch : public CUIElement
{
public:
    Patch(std::int32_t id, Rect rect, std::uint32_t colour) : CUIElement(id), m_Colour(colour)
    {
        SetRect(rect);
    }
    void LoadTextures(gfx::Device&, CUIDrawHelp*) override { ++loads; }
    void Draw(gfx::Device&, CUIDrawHelp* help, gfx::Sprite* sprite, const Point*) override
    {
        help->FillRect(sprite, m_Colour, &m_Rect);
    }
    void DrawDrag(gfx::Device&, CUIDrawHelp* help, gfx::Sprite* sprite,
                  const Point* cursor) override
    {
        const Rect mark{cursor->x, cursor->y, cursor->x + 4, cursor->y + 4};
        help->FillRect(sprite, 0xFFFFFFFFu, &mark);
    }
    std::int32_t ClassifyMouse(std::int32_t, const Point*) override { return kUIClassifyPress; }

    int loads = 0;

private:
    std::uint32_t m_Colour;
};

} // namespace

TEST_F(UIDraw, ManagerDrawsInOrderLaterOnTopThenTheDrag)
{
    Finish();
    CUIManager manager;
    auto red = std::make_shared<Patch>(1, Rect{0, 0, 30, 30}, 0xFFFF0000u);
    auto blue = std::make_shared<Patch>(2, Rect{10, 10, 40, 40}, 0xFF0000FFu);
    manager.AddElement(red);
    manager.AddElement(blue);
    manager.CreateResources(*device);
    EXPECT_EQ(red->loads + blue->loads, 2);
    ASSERT_NE(manager.GetDrawHelp(), nullptr);

    // The press goes to the red one, the first added, beneath the blue.
    const Point press{20, 20};
    EXPECT_EQ(manager.DispatchMouse(kUIMouseLeftDown, &press), 1);
    EXPECT_EQ(manager.GetPressed(), red.get());
    const Point cursor{50, 50};
    manager.Draw(*device, &cursor);
    Drawn();
    EXPECT_RGB_NEAR(PixelAt(5, 5), 255, 0, 0);
    EXPECT_RGB_NEAR(PixelAt(20, 20), 0, 0, 255);
    EXPECT_RGB_NEAR(PixelAt(51, 51), 255, 255, 255);

    // A new drawing object forgets the press.
    manager.CreateResources(*device);
    EXPECT_EQ(manager.GetPressed(), nullptr);
}
