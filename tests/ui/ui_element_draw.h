#pragma once

// The pixel tests' fixture for one widget drawn alone on a 128-pixel square.

#include "platform/gl_fixture.h"
#include "platform/sprite.h"
#include "ui/ui_draw_help.h"
#include "ui/ui_element.h"

#include <memory>

namespace UITest
{

class ElementDrawTest : public GlTest
{
protected:
    ElementDrawTest() : GlTest(128) {}

    void SetUp() override
    {
        GlTest::SetUp();
        help = std::make_unique<VARDUI::CUIDrawHelp>(*device);
    }

    void TearDown() override
    {
        help.reset();
        GlTest::TearDown();
    }

    // One frame holding just the element.
    void DrawOnly(VARDUI::CUIElement& element, const VARDUI::Point* cursor)
    {
        device->Clear(gfx::kClearTarget | gfx::kClearZBuffer, 0xFF000000u, 1.0f);
        gfx::Sprite sprite(*device);
        sprite.Begin(gfx::kSpriteAlphaBlend);
        element.Draw(*device, help.get(), &sprite, cursor);
        sprite.End();
        Drawn();
    }

    std::unique_ptr<VARDUI::CUIDrawHelp> help;
};

} // namespace UITest
