#pragma once

// What character creation does to the new main character, choice by choice:
// the creation pages and the tools that make a character without a screen
// share it, so the same choices give the same character.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace VARDGraph
{
class CGraphicColors;
} // namespace VARDGraph

namespace VARD
{

class CActor;
class CModule;

// The attribute points a new character spends, and the value each attribute
// starts from and returns to on a reset.
constexpr std::uint32_t kCreationAttributePoints = 72;
constexpr std::uint32_t kCreationAttributeStart = 6;

// A colour palette of the colours page, each entry 0x00BBGGRR (red in the
// low byte) as its swatches draw them.
constexpr std::size_t kCreationPaletteSize = 16;
using CreationPalette = std::array<std::uint32_t, kCreationPaletteSize>;
extern const CreationPalette kCreationHairPalette;
extern const CreationPalette kCreationSkinPalette;
extern const CreationPalette kCreationTrimPalette;

// The attribute page's start: 72 points to spend, the attributes as they are.
void BeginCreationAttributes(CActor& actor);
// Every attribute back to 6 and the 72 points back.
void ResetCreationAttributes(CActor& actor);
// No skill held, then the pools refilled and the class's own skill back.
void ResetCreationSkills(CActor& actor);

// The head of that place in the module's list for the actor's gender
// becomes its figure; false, and nothing changed, when there is none.
bool ChooseCreationHead(const CModule& module, CActor& actor, std::size_t head);

// A swatch's 0x00BBGGRR as the 0x00RRGGBB that figures are coloured with.
std::uint32_t SwatchToFigureColour(std::uint32_t swatch);
// The colour set of the three palette entries (each 0..15).
std::shared_ptr<VARDGraph::CGraphicColors> CreationColours(std::size_t hair, std::size_t skin,
                                                           std::size_t trim);
// Gives the actor that colour set, and the skin as its own colour.
void ApplyCreationColours(CActor& actor, std::size_t hair, std::size_t skin, std::size_t trim);

// The name as the game keeps it: no blank at either end and one blank
// between words, since a saved game keeps quoted text that way; empty when
// the text holds nothing but blanks.
std::string CleanCreatedName(const std::string& typed);

} // namespace VARD
