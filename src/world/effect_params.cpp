#include "world/effect_params.h"

#include "common/exception.h"
#include "common/tag_file.h"

#include <utility>

namespace VARDGraph
{

namespace
{

const char* const kColorSlotKeys[kColorSlotCount] = {"HAIR", "SKIN", "TRIM"};

void CheckSlot(int slot)
{
    if (slot < 0 || slot >= kColorSlotCount)
        throw CVARDException(2, "no colour slot " + std::to_string(slot));
}

} // namespace

int ColorSlotFromKey(const std::string& key)
{
    for (int slot = 0; slot < kColorSlotCount; ++slot)
        if (key == kColorSlotKeys[slot])
            return slot;
    throw CVARDException(2, VARDCommon::QuoteForMessage(key) +
                                " is no colour slot (HAIR, SKIN or TRIM)");
}

// ------------------------------------------------------------ colours

CGraphicColors::CGraphicColors(std::uint32_t hair, std::uint32_t skin, std::uint32_t trim)
    : m_Colors{hair, skin, trim}
{
}

CGraphicColors::CGraphicColors(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("color");
    while (!reader.IsAtEndTag())
    {
        const int slot = reader.ReadConverted(ColorSlotFromKey);
        std::uint32_t color = 0;
        reader.ReadColor(color);
        m_Colors[static_cast<std::size_t>(slot)] = color;
    }
    reader.ReadEndTag();
}

void CGraphicColors::Write(VARDCommon::CTagFileWriter& writer) const
{
    writer.WriteStartTag("color");
    for (int slot = 0; slot < kColorSlotCount; ++slot)
    {
        writer.WriteString(kColorSlotKeys[slot]);
        writer.WriteColor(m_Colors[static_cast<std::size_t>(slot)]);
    }
    writer.WriteEndTag();
}

std::uint32_t CGraphicColors::GetColor(int slot) const
{
    CheckSlot(slot);
    return m_Colors[static_cast<std::size_t>(slot)];
}

void CGraphicColors::SetColor(int slot, std::uint32_t color)
{
    CheckSlot(slot);
    m_Colors[static_cast<std::size_t>(slot)] = color;
}

// ------------------------------------------------------- effect params

CEffectParams::CEffectParams(std::string name, std::uint32_t color, double value)
    : m_Name(std::move(name)), m_Color(color), m_Value(value)
{
}

CEffectParams::CEffectParams(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("params");
    // Some modules quote the name; both forms mean the same name.
    const std::string& word = reader.GetCurrentWord();
    if (!reader.IsAtEnd() && !word.empty() && word.front() == '"')
        m_Name = reader.ReadQuoted();
    else
        m_Name = reader.ReadWord();
    reader.ReadColor(m_Color);
    m_Value = reader.ReadDouble();
    reader.ReadEndTag();
}

} // namespace VARDGraph
