#pragma once

#include "graphics/graphic_tree.h"
#include "graphics/pose.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace VARDCommon
{
class CDataFileFactory;
}

namespace VARDGraph
{

// Position maps by figure name, so that the graphics of one figure share
// their positions.
using FigureCache = std::map<std::string, std::shared_ptr<CPositionMap>>;

// What a figure file gives a graphic.
struct Figure
{
    std::shared_ptr<CGraphicTree> root;
    std::shared_ptr<CPositionMap> positions;
    AnimationMap animations;
};

// Reads (kind, "fig", name + ".vard"): pieces, then positions, then
// animations. The name "0" is the built-in figure: a lone "anchor" piece and
// the position "default". With a cache that already knows the figure, its
// positions are taken from there and the file's are passed over; otherwise
// the file's are stored in it. Code 1 for any fault of the file.
Figure ReadFigure(VARDCommon::CDataFileFactory& factory, std::uint32_t kind,
                  const std::string& name, FigureCache* cache);

} // namespace VARDGraph
