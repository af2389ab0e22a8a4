#pragma once

#include "ui/ui_element.h"

#include <cstdint>
#include <string>

namespace VARDUI
{

// A label of word-wrapped text whose look its flags choose: a frame (grey,
// green while highlighted), centred across or down, the small font, and a
// white hover highlight under black text (kUIFlagBackdrop's bit). A press
// on it clicks with its id. Fed key presses through ApplyKey it is the
// toolkit's one-line entry. Drawn whatever the visible flag holds.
class CUIStaticText : public CUIElement
{
public:
    // Visible.
    CUIStaticText(const std::string& text, std::int32_t id);

    void LoadTextures(gfx::Device& device, CUIDrawHelp* drawHelp) override;
    void Draw(gfx::Device& device, CUIDrawHelp* drawHelp, gfx::Sprite* sprite,
              const Point* cursor) override;

    // Edits the entry's text by one key press (a virtual-key code): digits,
    // letters (upper case with shift), blank, minus (underscore with shift)
    // append; backspace takes the last character off; other keys do
    // nothing. The caller redraws.
    static void ApplyKey(std::uint32_t key, std::uint32_t shift, CUIStaticText& entry);

    std::string text;
};

} // namespace VARDUI
