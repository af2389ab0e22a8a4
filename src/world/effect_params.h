#pragma once

#include "common/tag_file_fwd.h"

#include <array>
#include <cstdint>
#include <string>

// Two small records that the world data hands to the drawing side.
namespace VARDGraph
{

// Colour slots of a figure, in their fixed order.
constexpr int kColorSlotHair = 0;
constexpr int kColorSlotSkin = 1;
constexpr int kColorSlotTrim = 2;
constexpr int kColorSlotCount = 3;

// "HAIR" 0, "SKIN" 1, "TRIM" 2 (upper case only); any other key is code 2.
int ColorSlotFromKey(const std::string& key);

// The hair, skin and trim colours of a figure, each 0x00RRGGBB.
class CGraphicColors
{
public:
    CGraphicColors() = default;
    CGraphicColors(std::uint32_t hair, std::uint32_t skin, std::uint32_t trim);
    // Reads a <color> block: key and colour group pairs in any order; a
    // missing slot stays 0.
    explicit CGraphicColors(VARDCommon::CTagFileReader& reader);

    // Writes the <color> block with all three slots.
    void Write(VARDCommon::CTagFileWriter& writer) const;

    // Code 2 for a slot outside 0..2.
    std::uint32_t GetColor(int slot) const;
    void SetColor(int slot, std::uint32_t color);

    std::uint32_t GetHair() const { return m_Colors[kColorSlotHair]; }
    std::uint32_t GetSkin() const { return m_Colors[kColorSlotSkin]; }
    std::uint32_t GetTrim() const { return m_Colors[kColorSlotTrim]; }

private:
    std::array<std::uint32_t, kColorSlotCount> m_Colors{};
};

// The parameters of one particle effect placed by a patch or a spell.
class CEffectParams
{
public:
    CEffectParams() = default;
    CEffectParams(std::string name, std::uint32_t color, double value);
    // Reads a <params> block: name, colour group, real value.
    explicit CEffectParams(VARDCommon::CTagFileReader& reader);

    const std::string& GetName() const { return m_Name; }
    std::uint32_t GetColor() const { return m_Color; }
    double GetValue() const { return m_Value; }

private:
    std::string m_Name;
    std::uint32_t m_Color = 0;
    double m_Value = 0.0;
};

} // namespace VARDGraph
