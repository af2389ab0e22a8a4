#include "graphics/figure.h"

#include "common/data_file.h"
#include "common/exception.h"
#include "common/tag_file.h"

namespace VARDGraph
{

namespace
{

Figure DefaultFigure()
{
    Figure figure;
    figure.root = std::make_shared<CGraphicTree>();
    figure.positions = std::make_shared<CPositionMap>();
    (*figure.positions)["default"] = std::make_shared<CPosition>(std::string("default"));
    return figure;
}

void ReadPieces(VARDCommon::CTagFileReader& reader, Figure& figure)
{
    while (reader.IsStartTag("piece"))
    {
        reader.ReadStartTag("piece");
        auto piece = std::make_shared<CGraphicTree>(reader);
        reader.ReadEndTag();
        if (piece->GetName() == "anchor")
        {
            figure.root = piece;
            continue;
        }
        CGraphicTree* parent =
            figure.root ? figure.root->FindPiece(piece->GetParentName()) : nullptr;
        if (!parent)
            reader.Fail(1, "piece " + VARDCommon::QuoteForMessage(piece->GetName()) +
                               " has no parent " +
                               VARDCommon::QuoteForMessage(piece->GetParentName()) + " before it");
        parent->AddChild(piece);
    }
}

void ReadPositions(VARDCommon::CTagFileReader& reader, const std::string& name, Figure& figure,
                   FigureCache* cache)
{
    if (cache)
    {
        const auto cached = cache->find(name);
        if (cached != cache->end())
        {
            figure.positions = cached->second;
            while (reader.IsStartTag("position"))
            {
                reader.ReadStartTag("position");
                reader.SkipToEndTag("position");
            }
            return;
        }
    }
    figure.positions = std::make_shared<CPositionMap>();
    while (reader.IsStartTag("position"))
    {
        auto position = std::make_shared<CPosition>(reader);
        (*figure.positions)[position->GetName()] = position;
    }
    if (cache)
        (*cache)[name] = figure.positions;
}

void ReadAnimations(VARDCommon::CTagFileReader& reader, Figure& figure)
{
    while (reader.IsStartTag("animation"))
    {
        reader.ReadStartTag("animation");
        auto animation = std::make_shared<CAnimation>(reader, *figure.positions);
        figure.animations[animation->GetName()] = animation;
        reader.ReadEndTag();
    }
}

} // namespace

Figure ReadFigure(VARDCommon::CDataFileFactory& factory, std::uint32_t kind,
                  const std::string& name, FigureCache* cache)
{
    if (name == "0")
        return DefaultFigure();
    VARDCommon::CTagFileReader reader(factory, kind, VARDCommon::kDataSubKindFig, name + ".vard");
    reader.ReadStartTag("figure");
    const std::string named = reader.ReadWord();
    if (named != name)
        reader.Fail(1, "figure file " + VARDCommon::QuoteForMessage(name) + " names the figure " +
                           VARDCommon::QuoteForMessage(named));
    Figure figure;
    ReadPieces(reader, figure);
    ReadPositions(reader, name, figure, cache);
    ReadAnimations(reader, figure);
    reader.ReadEndTag();
    return figure;
}

} // namespace VARDGraph
