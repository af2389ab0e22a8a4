#include "rules/character_creation.h"

#include "world/actor.h"
#include "world/effect_params.h"
#include "world/module.h"

namespace VARD
{

const CreationPalette kCreationHairPalette = {0x00000000u, 0x00003366u, 0x00003399u, 0x00006699u,
                                              0x000066CCu, 0x003399CCu, 0x0000CCFFu, 0x0033FFFFu,
                                              0x00FFFFFFu, 0x0099CCCCu, 0x000033CCu, 0x000066FFu,
                                              0x00FFCC66u, 0x00009900u, 0x00FF0099u, 0x00FF99FFu};

const CreationPalette kCreationSkinPalette = {0x00CCFFFFu, 0x0099CCFFu, 0x0066CCFFu, 0x006699FFu,
                                              0x000099FFu, 0x000066CCu, 0x00003366u, 0x00000000u,
                                              0x00666666u, 0x00CCCCCCu, 0x00CCFFFFu, 0x0066FFFFu,
                                              0x0033CCFFu, 0x00FFFF99u, 0x00CC9966u, 0x0066FFCCu};

const CreationPalette kCreationTrimPalette = {0x000000C0u, 0x000000FFu, 0x008000FFu, 0x00FF0000u,
                                              0x00FFFF00u, 0x00008000u, 0x0000FF00u, 0x0000FFFFu,
                                              0x000080FFu, 0x00C000C0u, 0x001A4596u, 0x003874E2u,
                                              0x00000000u, 0x00808080u, 0x00C0C0C0u, 0x00FFFFFFu};

void BeginCreationAttributes(CActor& actor)
{
    actor.SetAttributePoints(kCreationAttributePoints);
}

void ResetCreationAttributes(CActor& actor)
{
    for (std::uint32_t attribute = 0; attribute < 5; ++attribute)
        actor.SetBaseAttribute(attribute, kCreationAttributeStart);
    actor.SetAttributePoints(kCreationAttributePoints);
}

void ResetCreationSkills(CActor& actor)
{
    actor.Skills().clear();
    actor.ResetSkillPoints();
}

bool ChooseCreationHead(const CModule& module, CActor& actor, std::size_t head)
{
    const auto& heads = module.GetHeads(static_cast<int>(actor.GetGender()));
    if (head >= heads.size())
        return false;
    actor.SetGraphicName(heads[head]->head);
    return true;
}

std::uint32_t SwatchToFigureColour(std::uint32_t swatch)
{
    const std::uint32_t red = swatch & 0xFFu;
    const std::uint32_t green = (swatch >> 8) & 0xFFu;
    const std::uint32_t blue = (swatch >> 16) & 0xFFu;
    return red * 65536u + green * 256u + blue;
}

std::shared_ptr<VARDGraph::CGraphicColors> CreationColours(std::size_t hair, std::size_t skin,
                                                           std::size_t trim)
{
    return std::make_shared<VARDGraph::CGraphicColors>(
        SwatchToFigureColour(kCreationHairPalette.at(hair)),
        SwatchToFigureColour(kCreationSkinPalette.at(skin)),
        SwatchToFigureColour(kCreationTrimPalette.at(trim)));
}

void ApplyCreationColours(CActor& actor, std::size_t hair, std::size_t skin, std::size_t trim)
{
    std::shared_ptr<VARDGraph::CGraphicColors> colours = CreationColours(hair, skin, trim);
    const std::uint32_t skinColour = colours->GetSkin();
    actor.SetColors(std::move(colours));
    actor.SetFigureColor(skinColour);
}

std::string CleanCreatedName(const std::string& typed)
{
    std::string name;
    bool blank = false;
    for (const char c : typed)
    {
        if (c == ' ' || c == '\t')
        {
            blank = !name.empty();
            continue;
        }
        if (blank)
            name += ' ';
        blank = false;
        name += c;
    }
    return name;
}

} // namespace VARD
