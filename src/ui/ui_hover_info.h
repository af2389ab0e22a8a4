#pragma once

#include <cstdint>
#include <string>

namespace VARD
{
class CMap2Area;
} // namespace VARD

namespace VARDUI
{

// What the hover window shows for a widget or a thing under the cursor: a
// title line, a wrapped text, an icon with up to four corner marks and up to
// two bars.
struct CUIHoverInfo
{
    std::string title;
    std::uint32_t titleColour = 0xFFFFFFFFu;
    std::string text;
    std::uint32_t icon = 0; // built-in image id, 0 none
    std::uint32_t iconColour = 0xFFFFFFFFu;
    std::uint32_t markBottomLeft = 0;
    std::uint32_t markBottomRight = 0;
    std::uint32_t markTopLeft = 0;
    std::uint32_t markTopRight = 0;
    std::uint32_t showHealthBar = 0;
    double healthFraction = 0.0;
    std::uint32_t showEnergyBar = 0;
    double energyFraction = 0.0;

    // Every field back to its reset value except the two fractions, which
    // are read only while their bar is shown.
    void Reset();

    static void Assign(CUIHoverInfo& destination, const CUIHoverInfo& source)
    {
        destination = source;
    }

    // Reset, with the location's shown name as the title.
    static void ResetWithTitle(CUIHoverInfo& record, const VARD::CMap2Area& location);
};

} // namespace VARDUI
