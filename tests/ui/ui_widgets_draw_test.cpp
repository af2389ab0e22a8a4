#include "image_diff.h"
#include "ui_element_draw.h"

#include "platform/gl_fixture.h"
#include "ui/ui_buttons.h"
#include "ui/ui_draw_help.h"
#include "ui/ui_group.h"
#include "ui/ui_manager.h"
#include "ui/ui_scroll_bar.h"
#include "ui/ui_static_text.h"
#include "ui/ui_talk_element.h"
#include "ui/ui_text.h"

using namespace VARDUI;

namespace
{

class WidgetDraw : public UITest::ElementDrawTest
{
protected:
    // One past the rightmost column of bright ink in the rows and columns
    // given; -1 for none.
    int InkRight(int top, int bottom, int left, int right)
    {
        for (int x = right - 1; x >= left; --x)
            for (int y = top; y < bottom; ++y)
                if (PixelAt(x, y)[0] > 128)
                    return x + 1;
        return -1;
    }

    int Count(int top, int bottom, int left, int right, bool (*test)(const std::array<int, 4>&))
    {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                count += test(PixelAt(x, y));
        return count;
    }

    std::int32_t TextWidth(const std::string& text)
    {
        Rect rect{0, 0, 1000, 0};
        CUIDrawHelp::DrawText(help->GetFont(), nullptr, text, rect, kUITextMeasure, 0);
        return rect.Width();
    }

    // A frame holding what draw draws through a sprite, read back.
    template <class Draw> gfx::Image Frame(Draw draw)
    {
        device->Clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF000000u, 1.0f);
        gfx::Sprite sprite(*device);
        sprite.Begin(gfx::kSpriteAlphaBlend);
        help->ResetTransform(&sprite);
        draw(sprite);
        sprite.End();
        return device->ReadPixels();
    }

    // Text as the font alone draws it in rect.
    gfx::Image FontFrame(const std::string& text, Rect rect, std::uint32_t format)
    {
        return Frame(
            [&](gfx::Sprite& sprite)
            { CUIDrawHelp::DrawText(help->GetFont(), &sprite, text, rect, format, kInk); });
    }

    static constexpr std::uint32_t kInk = 0xFFFFFFFFu;
};

TestUtil::ImageDiff Compare(const gfx::Image& a, const gfx::Image& b,
                            const Rect& within = {0, 0, 128, 128})
{
    return TestUtil::DiffImages(a, b, within);
}

bool Bright(const std::array<int, 4>& p)
{
    return p[0] > 200 && p[1] > 200 && p[2] > 200;
}

bool Dark(const std::array<int, 4>& p)
{
    return p[0] < 60 && p[1] < 60 && p[2] < 60;
}

std::string Clicks(CUIManager& manager)
{
    std::string out;
    for (const auto& event : manager.GetEvents())
        if (auto* button = dynamic_cast<CUIEventButton*>(event.get()))
            out += std::to_string(button->GetType()) + ":" + std::to_string(button->GetId()) + " ";
    manager.GetEvents().clear();
    return out;
}

} // namespace

TEST_F(WidgetDraw, TalkChoicesAreWhereTheyWereDrawn)
{
    const CUITalkLines lines{"a", "b", "c"}, choices{"Yes", "No"};
    auto talk = std::make_shared<CUITalkElement>(&lines, &choices);
    talk->SetRect({0, 0, 128, 120});
    talk->LoadTextures(*device, help.get());
    CUIManager manager;
    manager.AddElement(talk);
    // Nothing drawn yet, nothing to click.
    const Point onFirst{20, 70}, onSecond{20, 90}, onLine{20, 8}, onTop{20, 5};
    EXPECT_EQ(manager.DispatchMouse(kUIMouseLeftDown, &onFirst), 0);

    // The text area is (2, 2, 102, 118); lines and choices 16 high, 5 apart.
    DrawOnly(*talk, nullptr);
    const std::vector<Rect> all{{2, 65, 102, 81}, {2, 86, 102, 102}};
    EXPECT_EQ(talk->GetChoiceAreas(), all);
    EXPECT_EQ(manager.DispatchMouse(kUIMouseLeftDown, &onLine), 0);
    manager.DispatchMouse(kUIMouseLeftDown, &onFirst);
    manager.DispatchMouse(kUIMouseLeftDown, &onSecond);
    EXPECT_EQ(Clicks(manager), "1:100 1:101 ");
    // The choice under the cursor: black text on white; the other white on
    // black.
    DrawOnly(*talk, &onSecond);
    EXPECT_TRUE(Bright(PixelAt(95, 94)));
    EXPECT_GT(Count(86, 102, 2, 40, Dark), 10);
    EXPECT_TRUE(Dark(PixelAt(95, 72)));
    EXPECT_GT(Count(65, 81, 2, 40, Bright), 10);
    DrawOnly(*talk, nullptr);
    EXPECT_TRUE(Dark(PixelAt(95, 94)));

    // Scrolled to the last entry: the second choice alone, at the top.
    talk->GetScrollBar()->SetPosition(4);
    DrawOnly(*talk, &onTop);
    const std::vector<Rect> last{{}, {2, 2, 102, 18}};
    EXPECT_EQ(talk->GetChoiceAreas(), last);
    EXPECT_TRUE(Bright(PixelAt(95, 10)));
    EXPECT_EQ(InkRight(20, 118, 2, 102), -1);
    manager.DispatchMouse(kUIMouseLeftDown, &onTop);
    EXPECT_EQ(manager.DispatchMouse(kUIMouseLeftDown, &onFirst), 0);
    EXPECT_EQ(Clicks(manager), "1:101 ");

    // A choice longer than the room left ends at the element's edge, and so
    // does its highlight.
    std::string longChoice;
    for (int i = 0; i < 200; ++i)
        longChoice += "word ";
    const CUITalkLines oneLine{"a"}, longOne{longChoice};
    CUITalkElement cut(&oneLine, &longOne);
    cut.SetRect({0, 0, 128, 60});
    cut.LoadTextures(*device, help.get());
    const Point onLong{20, 40};
    DrawOnly(cut, &onLong);
    const std::vector<Rect> kept{{2, 23, 102, 58}};
    EXPECT_EQ(cut.GetChoiceAreas(), kept);
    EXPECT_TRUE(Bright(PixelAt(20, 50)));
    EXPECT_EQ(Count(61, 128, 0, 128, Bright), 0);

    // A choice of one word of 100,000 bytes starts at the text column's left
    // edge and is cut at its right one, not a pixel on: the element bounds
    // a choice, which wraps inside it.
    const std::string word = "Ab" + std::string(100000 - 2, 'W');
    const CUITalkLines noLines, longWord{word};
    CUITalkElement wide(&noLines, &longWord);
    wide.SetRect({0, 0, 128, 60});
    wide.LoadTextures(*device, help.get());
    const gfx::Image drawn =
        Frame([&](gfx::Sprite& sprite) { wide.Draw(*device, help.get(), &sprite, nullptr); });
    const TestUtil::ImageDiff column =
        Compare(drawn, FontFrame(word, {2, 2, 102, 18}, kUITextBody), {2, 2, 103, 18});
    EXPECT_EQ(column.differing, 0);
    EXPECT_GT(column.inked, 100);

    // No room left below the lines: the choices get empty areas.
    talk->SetRect({0, 0, 128, 60});
    talk->GetScrollBar()->SetPosition(0);
    DrawOnly(*talk, nullptr);
    const std::vector<Rect> none{{}, {}};
    EXPECT_EQ(talk->GetChoiceAreas(), none);
    const Point low{20, 59};
    EXPECT_EQ(manager.DispatchMouse(kUIMouseLeftDown, &low), 0);
}

// A title placed in its widget's rectangle runs past it as far as it
// reaches, but stays inside the page: what it draws is the font's own text
// from where the rule puts it, cut at the page alone.
TEST_F(WidgetDraw, TitlesRunPastTheirWidgetsButStayInsideThePage)
{
    const Rect all{0, 0, 128, 128};
    const std::uint32_t line = gfx::kTextSingleLine,
                        title = line | gfx::kTextCenter | gfx::kTextVCenter;
    // The font's own formats for the expected text.
    const std::uint32_t uncut = title | gfx::kTextNoClip, right = line | gfx::kTextRight,
                        foot = line | gfx::kTextCenter | gfx::kTextBottom;
    // Its start unlike its middle, so that text centred and cut at both
    // edges would not pass for it.
    const std::string tooWide = "Ab" + std::string(12, 'W');
    ASSERT_GT(TextWidth(tooWide), 128);
    const struct
    {
        const char* what;
        std::string text;
        Rect rect, page;
        // Where and how the font must draw it, cut at expected.
        Rect expected;
        std::uint32_t expectedFormat;
    } cases[] = {
        {"narrow widget", "Wide name", {60, 40, 70, 56}, all, {60, 40, 70, 56}, uncut},
        {"at the right edge", "Wide name", {110, 40, 120, 56}, all, {0, 40, 128, 56}, right},
        {"at the left edge", "Wide name", {0, 40, 10, 56}, all, {0, 40, 128, 56}, line},
        {"at the foot", "Wide name", {10, 120, 118, 136}, all, {10, 0, 118, 128}, foot},
        {"too wide", tooWide, {40, 40, 80, 56}, {20, 0, 100, 128}, {20, 40, 100, 56}, line},
    };
    for (const auto& c : cases)
    {
        const gfx::Image drawn = Frame(
            [&](gfx::Sprite& sprite) {
                CUIDrawHelp::DrawTextWithin(help->GetFont(), &sprite, c.text, c.rect, c.page, title,
                                            kInk);
            });
        const TestUtil::ImageDiff result =
            Compare(drawn, FontFrame(c.text, c.expected, c.expectedFormat));
        EXPECT_EQ(result.differing, 0) << c.what;
        EXPECT_GT(result.inked, 20) << c.what;
    }

    // The manager makes its dialog's panel the page, wherever the panel is
    // moved to; without one the page is the whole target.
    CUIManager manager;
    auto panel = std::make_shared<CUIBackground>(0xC0000000u);
    manager.AddPage(panel);
    manager.CreateResources(*device);
    panel->SetRect({16, 16, 112, 112});
    manager.Draw(*device, nullptr);
    EXPECT_EQ(manager.GetDrawHelp()->GetPage(), panel->GetRect());
    manager.Clear();
    manager.CreateResources(*device);
    manager.Draw(*device, nullptr);
    EXPECT_EQ(manager.GetDrawHelp()->GetPage(), all);
}

TEST_F(WidgetDraw, TextShownFromTheScrollPositionOrUpFromTheNewest)
{
    // Line i holds i + 1 letters W; each band shows which line it holds.
    CUITextElement text("W LINE WW LINE WWW LINE WWWW LINE WWWWW LINE WWWWWW", 1);
    text.SetRect({0, 0, 128, 50});
    text.LoadTextures(*device, help.get());
    const auto expectLetters = [&](int top, int letters)
    {
        EXPECT_NEAR(InkRight(top, top + 16, 2, 102) - 2, TextWidth(std::string(letters, 'W')), 3)
            << "band at " << top;
    };
    DrawOnly(text, nullptr);
    expectLetters(2, 1);
    expectLetters(18, 2);
    // The scroll bar: its thumb is light, its track the translucent fill.
    EXPECT_GT(Count(2, 20, 104, 126, Bright), 20);
    text.GetScrollBar()->SetPosition(3);
    DrawOnly(text, nullptr);
    expectLetters(2, 4);
    expectLetters(18, 5);
    // The third line is cut at the text area's bottom; nothing lies below.
    EXPECT_NEAR(InkRight(34, 48, 2, 102) - 2, TextWidth("WWWWWW"), 3);
    EXPECT_EQ(InkRight(48, 49, 2, 102), -1);

    // The message window shows the newest line at the bottom, the one before
    // above it; the log is read at every draw.
    CUITextLines log{"W", "WW"};
    auto window = std::make_shared<CUIMessageWindow>(9, 0, &log);
    window->SetRect({0, 0, 128, 60});
    EXPECT_EQ(window->GetButton(), nullptr);
    log.push_back("WWW");
    DrawOnly(*window, nullptr);
    expectLetters(42, 3);
    expectLetters(26, 2);
    expectLetters(10, 1);
    EXPECT_EQ(InkRight(1, 10, 1, 127), -1);
}

TEST_F(WidgetDraw, MessageWindowButtonOnlyWhileTheCursorIsOnIt)
{
    CUITextLines log;
    auto window = std::make_shared<CUIMessageWindow>(9, 31, &log);
    window->SetRect({0, 0, 128, 60});
    window->LoadTextures(*device, help.get());
    ASSERT_NE(window->GetButton(), nullptr);
    EXPECT_EQ(window->GetButton()->GetRect(), (Rect{86, 2, 126, 26}));
    EXPECT_EQ(window->GetButton()->GetCaption(), "Msgs");

    // An empty log: the frame alone.
    DrawOnly(*window, nullptr);
    EXPECT_TRUE(Bright(PixelAt(127, 59)));
    EXPECT_EQ(Count(1, 59, 1, 127, Bright), 0);
    // With the cursor on the window its button's bevel shows.
    const Point onWindow{20, 40}, onButton{100, 14};
    DrawOnly(*window, &onWindow);
    EXPECT_TRUE(Bright(PixelAt(86, 2)));
    EXPECT_TRUE(Dark(PixelAt(20, 40)));

    CUIManager manager;
    manager.AddElement(window);
    manager.DispatchMouse(kUIMouseLeftDown, &onButton);
    manager.DispatchMouse(kUIMouseLeftDown, &onWindow);
    EXPECT_EQ(Clicks(manager), "1:31 1:9 ");
}

TEST_F(WidgetDraw, StaticTextFrameFillAndInkByFlags)
{
    CUIStaticText label("Wm", 4);
    label.SetRect({10, 10, 90, 40});
    label.SetFlags(kUIFlagTextFrame | kUIFlagHighlighted | kUIFlagBackdrop, 1);
    const Point on{50, 25}, off{120, 120};
    DrawOnly(label, &on);
    EXPECT_RGB_NEAR(PixelAt(89, 39), 0, 255, 0);
    EXPECT_RGB_NEAR(PixelAt(11, 11), 255, 255, 255);
    EXPECT_RGB_NEAR(PixelAt(85, 35), 255, 255, 255);
    EXPECT_GT(Count(12, 28, 12, 40, Dark), 10);
    // The text starts 2 pixels inside the frame.
    EXPECT_EQ(Count(10, 40, 11, 12, Dark), 0);

    DrawOnly(label, &off);
    EXPECT_RGB_NEAR(PixelAt(10, 10), 0, 255, 0);
    EXPECT_RGB_NEAR(PixelAt(85, 35), 0, 0, 0);
    EXPECT_GT(Count(12, 28, 12, 40, Bright), 10);
    // Without the hover flag the cursor changes nothing.
    label.SetFlags(kUIFlagBackdrop, 0);
    DrawOnly(label, &on);
    EXPECT_RGB_NEAR(PixelAt(85, 35), 0, 0, 0);
}
