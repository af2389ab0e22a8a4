#include "ui_element_draw.h"

#include "platform/gl_fixture.h"
#include "ui/ui_buttons.h"
#include "ui/ui_clock.h"
#include "ui/ui_draw_help.h"
#include "ui/ui_manager.h"

using namespace VARDUI;

TEST(UIButtons, HoverImageByShape)
{
    const struct
    {
        Rect rect;
        bool highlighted;
        std::uint32_t image;
    } cases[] = {
        {{0, 0, 96, 32}, false, 185}, {{10, 5, 266, 37}, false, 185}, {{0, 0, 95, 32}, false, 186},
        {{0, 0, 64, 32}, false, 186}, {{0, 0, 63, 32}, false, 187},   {{0, 0, 40, 32}, false, 187},
        {{0, 0, 20, 32}, false, 187}, {{0, 0, 96, 32}, true, 189},    {{0, 0, 40, 32}, true, 189},
        {{0, 0, 40, 0}, false, 187},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CUIBaseButton::HoverImage(c.rect, c.highlighted), c.image)
            << c.rect.Width() << "x" << c.rect.Height();
}

TEST(UIButtons, PressesAreClicksAndCheckButtonsToggleFirst)
{
    CUIManager manager;
    auto text = std::make_shared<CUITextButton>(5, "OK");
    text->SetRect({0, 0, 40, 20});
    auto check = std::make_shared<CUICheckButton>(6, "Fast");
    check->SetRect({0, 30, 100, 50});
    manager.AddElement(text);
    manager.AddElement(check);
    const Point onText{5, 5}, onCheck{5, 35};

    const auto clicks = [&]
    {
        std::string out;
        for (const auto& event : manager.GetEvents())
            if (auto* button = dynamic_cast<CUIEventButton*>(event.get()))
                out +=
                    std::to_string(button->GetType()) + ":" + std::to_string(button->GetId()) + " ";
        manager.GetEvents().clear();
        return out;
    };
    // Left and right presses click and never press; release does nothing.
    EXPECT_EQ(manager.DispatchMouse(kUIMouseLeftDown, &onText), 1);
    EXPECT_EQ(manager.DispatchMouse(kUIMouseLeftUp, &onText), 0);
    EXPECT_EQ(manager.DispatchMouse(kUIMouseRight, &onText), 1);
    EXPECT_EQ(manager.GetPressed(), nullptr);
    EXPECT_EQ(clicks(), "1:5 1:5 ");
    EXPECT_EQ(text->ClassifyMouse(3, &onText), kUIClassifyRightClick);
    EXPECT_EQ(text->ClassifyMouse(kUIMouseMove, &onText), kUIClassifyUnused);

    EXPECT_EQ(check->GetTicked(), 0u);
    manager.DispatchMouse(kUIMouseRight, &onCheck);
    EXPECT_EQ(check->GetTicked(), 1u);
    manager.DispatchMouse(kUIMouseLeftDown, &onCheck);
    EXPECT_EQ(check->GetTicked(), 0u);
    EXPECT_EQ(clicks(), "1:6 1:6 ");
    // A right click proper and a release leave it alone.
    EXPECT_EQ(check->ClassifyMouse(3, &onCheck), kUIClassifyRightClick);
    EXPECT_EQ(check->ClassifyMouse(kUIMouseLeftUp, &onCheck), kUIClassifyUnused);
    EXPECT_EQ(check->GetTicked(), 0u);
}

namespace
{

class ButtonDraw : public UITest::ElementDrawTest
{
protected:
    void SetUp() override
    {
        ElementDrawTest::SetUp();
        SetUIClock(&clock);
    }

    void TearDown() override
    {
        SetUIClock(nullptr);
        ElementDrawTest::TearDown();
    }

    platform::FakeClock clock{0};
};

bool Orange(const std::array<int, 4>& p)
{
    return p[0] > 120 && p[2] < 60 && p[0] > p[1] + 40;
}

bool Silver(const std::array<int, 4>& p)
{
    return p[0] > 170 && p[2] > 170;
}

} // namespace

TEST_F(ButtonDraw, BlinksEveryHalfSecondUnlessHovered)
{
    CUITextButton button(1, "");
    button.SetRect({10, 10, 74, 42});
    button.LoadTextures(*device, help.get());
    button.SetFlags(kUIFlagBlinking, 1);
    const Point away{120, 120}, over{20, 20};

    // (time, cursor over it, blink image shown)
    const struct
    {
        std::uint32_t time;
        bool hovered;
        bool lit;
    } frames[] = {
        {1000, false, true}, {1400, false, true},  {1500, false, true},  {1501, false, false},
        {1900, true, false}, {2001, false, false}, {2002, false, true},  {2300, true, false},
        {2502, false, true}, {2503, false, false}, {3003, false, false}, {3004, false, true},
    };
    for (const auto& f : frames)
    {
        SCOPED_TRACE(f.time);
        clock.Set(f.time);
        DrawOnly(button, f.hovered ? &over : &away);
        const auto inside = PixelAt(40, 30);
        EXPECT_EQ(Orange(inside), f.lit);
        EXPECT_EQ(Silver(inside), f.hovered);
        if (!f.lit && !f.hovered)
        {
            EXPECT_RGB_NEAR(inside, 0, 0, 0);
            EXPECT_RGB_NEAR(PixelAt(10, 10), 255, 255, 255);
            EXPECT_RGB_NEAR(PixelAt(73, 41), 128, 128, 128);
        }
    }

    // Not blinking: the bevel whatever the phase; highlighted it turns green.
    button.SetFlags(kUIFlagBlinking, 0);
    button.SetFlags(kUIFlagHighlighted, 1);
    DrawOnly(button, nullptr);
    EXPECT_RGB_NEAR(PixelAt(10, 10), 0x80, 0xFF, 0x80);
    EXPECT_RGB_NEAR(PixelAt(73, 41), 0x40, 0xC0, 0x40);
    EXPECT_RGB_NEAR(PixelAt(40, 30), 0, 0, 0);
}

TEST_F(ButtonDraw, CaptionWhiteAtRestBlackWhenHovered)
{
    CUITextButton button(1, "WWW");
    button.SetRect({0, 0, 96, 32});
    button.LoadTextures(*device, help.get());
    const auto inkIn = [&](bool white)
    {
        int count = 0;
        for (int y = 8; y < 24; ++y)
            for (int x = 30; x < 66; ++x)
            {
                const auto p = PixelAt(x, y);
                count += white ? p[0] > 200 && p[2] > 200 : p[0] < 60 && p[2] < 60;
            }
        return count;
    };
    DrawOnly(button, nullptr);
    EXPECT_GT(inkIn(true), 20);
    const Point over{48, 16};
    DrawOnly(button, &over);
    EXPECT_GT(inkIn(false), 20);
    int panel = 0; // the rest is the light panel
    for (int x = 30; x < 66; ++x)
        panel += PixelAt(x, 4)[0] > 150;
    EXPECT_EQ(panel, 36);
}

TEST_F(ButtonDraw, ImageButtonLoadsItsImageOnFirstDraw)
{
    CUIImageButton button(2, 161);
    button.SetRect({0, 0, 34, 34});
    EXPECT_EQ(button.GetImageWidth(), 0u);
    DrawOnly(button, nullptr);
    ASSERT_NE(help->GetTexture(161), nullptr);
    EXPECT_EQ(button.GetImageWidth(), 32u);
    EXPECT_EQ(button.GetImageHeight(), 32u);
    // The pause bars' light left bar at x 9..14 of the image, one pixel in.
    EXPECT_GT(PixelAt(12, 16)[0], 200);
    EXPECT_RGB_NEAR(PixelAt(17, 16), 0, 0, 0);

    button.SetImage(162);
    EXPECT_EQ(button.GetImageWidth(), 0u);
    DrawOnly(button, nullptr);
    EXPECT_NE(help->GetTexture(162), nullptr);
    EXPECT_EQ(button.GetImageWidth(), 32u);
    EXPECT_GT(PixelAt(17, 16)[0], 200); // the play triangle
}

TEST_F(ButtonDraw, CheckBoxAndColourSwatch)
{
    CUICheckButton check(3, "");
    check.SetRect({0, 0, 100, 30});
    check.LoadTextures(*device, help.get());
    // r = (1, 1, 99, 29), middle 15: box (2, 7, 18, 23).
    DrawOnly(check, nullptr);
    EXPECT_RGB_NEAR(PixelAt(2, 7), 128, 128, 128);
    EXPECT_RGB_NEAR(PixelAt(17, 22), 255, 255, 255);
    EXPECT_RGB_NEAR(PixelAt(10, 15), 0, 0, 0);
    const Point on{50, 15};
    check.ClassifyMouse(kUIMouseLeftDown, &on);
    DrawOnly(check, nullptr);
    int ticked = 0;
    for (int y = 9; y < 21; ++y)
        for (int x = 4; x < 16; ++x)
            ticked += PixelAt(x, y)[0] > 120;
    EXPECT_GT(ticked, 12);

    // Red in the low byte; bevel of two at 2, swatch from 4.
    CUIColorButton colour(4, 0x00332211u);
    colour.SetRect({0, 0, 20, 20});
    DrawOnly(colour, nullptr);
    EXPECT_RGB_NEAR(PixelAt(0, 0), 0, 0, 0);
    EXPECT_RGB_NEAR(PixelAt(2, 2), 255, 255, 255);
    EXPECT_RGB_NEAR(PixelAt(3, 10), 255, 255, 255);
    EXPECT_RGB_NEAR(PixelAt(16, 10), 128, 128, 128);
    EXPECT_RGB_NEAR(PixelAt(4, 4), 0x11, 0x22, 0x33);
    EXPECT_RGB_NEAR(PixelAt(15, 15), 0x11, 0x22, 0x33);
    colour.SetFlags(kUIFlagHighlighted, 1);
    DrawOnly(colour, nullptr);
    EXPECT_RGB_NEAR(PixelAt(0, 0), 0x80, 0xFF, 0x80);
    EXPECT_RGB_NEAR(PixelAt(19, 3), 0x80, 0xFF, 0x80);
    EXPECT_RGB_NEAR(PixelAt(4, 4), 0x11, 0x22, 0x33);
    // Invisible buttons draw nothing.
    colour.SetFlags(kUIFlagVisible, 0);
    DrawOnly(colour, nullptr);
    EXPECT_RGB_NEAR(PixelAt(4, 4), 0, 0, 0);
}
