#pragma once

#include "image_canvas.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace BuiltInImages
{

// One built-in image as its PNG file, named "<id>.png".
struct GeneratedFile
{
    std::uint32_t id = 0;
    std::string name;
    std::vector<std::uint8_t> bytes;
};

// Every built-in image, ascending by id. The same program always makes the
// same bytes.
std::vector<GeneratedFile> GenerateBuiltInImages();

using ImageSet = std::map<std::uint32_t, gfx::Image>;

// The painters of the groups of images.
void DrawItemIcons(ImageSet& out);
void DrawMagicIcons(ImageSet& out);
void DrawMarksAndControls(ImageSet& out);
void DrawPortraits(ImageSet& out);
void DrawFramesAndPictures(ImageSet& out);

// The inventory page's paper doll, and the points of its body where the
// page's equipment boxes sit, in the order of the equipment slots: weapon,
// shield, armour, helmet, amulet and the two rings.
constexpr std::uint32_t kPaperDollImage = 194;

struct DollPart
{
    const char* name = "";
    double x = 0;
    double y = 0;
};

std::vector<DollPart> PaperDollParts();

// A point at (u, v) in a frame whose u axis runs from origin at angle degrees
// (clockwise from the right, as y runs down) and whose v axis is u's turned
// a quarter clockwise; weapons are drawn along their own length so.
Vec Along(Vec origin, double angle, double u, double v);

} // namespace BuiltInImages
