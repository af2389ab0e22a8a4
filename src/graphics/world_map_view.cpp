#include "graphics/world_map_view.h"

#include "common/data_file.h"
#include "common/exception.h"
#include "platform/gfx_error.h"
#include "platform/image.h"
#include "world/game.h"
#include "world/world_map.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace VARDGraph
{

namespace
{

// Place coordinates come from module files: a value beyond any screen is
// held at a bound that no point reaches, and not-a-number matches nothing,
// instead of an undefined conversion.
constexpr double kCoordinateBound = 1.0e15;

std::optional<std::int64_t> TruncateCoordinate(double value)
{
    if (std::isnan(value))
        return std::nullopt;
    if (value > kCoordinateBound)
        return static_cast<std::int64_t>(kCoordinateBound);
    if (value < -kCoordinateBound)
        return -static_cast<std::int64_t>(kCoordinateBound);
    return static_cast<std::int64_t>(std::trunc(value));
}

// A finite coordinate kept within the bound, for drawing positions.
float ClampedCoordinate(double value)
{
    return static_cast<float>(std::clamp(value, -kCoordinateBound, kCoordinateBound));
}

std::int32_t ClampToInt32(std::int64_t value)
{
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

bool IsOnPlace(std::int64_t mx, std::int64_t my, const VARD::CMap2Area& place)
{
    const auto x = TruncateCoordinate(place.GetX1());
    const auto y = TruncateCoordinate(place.GetY1());
    const auto w = TruncateCoordinate(place.GetX2());
    const auto h = TruncateCoordinate(place.GetY2());
    if (!x || !y || !w || !h)
        return false;
    return *x <= mx && mx < *x + *w && *y <= my && my < *y + *h;
}

// The place's image name; empty and "0" name none.
bool NamesImage(const std::string& name)
{
    return !name.empty() && name != "0";
}

} // namespace

bool MapLayout::IsUsable() const
{
    return std::isfinite(s) && s > 0.0f;
}

MapLayout ComputeMapLayout(std::uint32_t viewportWidth, std::uint32_t viewportHeight,
                           std::int32_t bottomMargin, std::uint32_t mapWidth,
                           std::uint32_t mapHeight)
{
    MapLayout layout;
    const std::int64_t usedHeight = static_cast<std::int64_t>(viewportHeight) - bottomMargin;
    layout.cx = static_cast<float>(viewportWidth) * 0.5f;
    layout.cy = static_cast<float>(usedHeight) * 0.5f;
    layout.hw = static_cast<float>(mapWidth) * 0.5f;
    layout.hh = static_cast<float>(mapHeight) * 0.5f;
    if (mapWidth == 0 || mapHeight == 0)
        return layout; // scale 0: nothing to draw or hit
    const float across = layout.cx / layout.hw;
    const float down = layout.cy / layout.hh;
    layout.s = across <= down ? across : down;
    return layout;
}

std::shared_ptr<VARD::CMap2Area> FindMapAreaAt(const MapLayout& layout, int x, int y,
                                               const VARD::CMap2& map)
{
    if (!layout.IsUsable())
        return nullptr;
    const auto mx = TruncateCoordinate((static_cast<float>(x) - std::trunc(layout.cx)) / layout.s);
    const auto my = TruncateCoordinate((static_cast<float>(y) - std::trunc(layout.cy)) / layout.s);
    if (!mx || !my)
        return nullptr;
    const std::int64_t px = *mx + static_cast<std::int64_t>(std::trunc(layout.hw));
    const std::int64_t py = *my + static_cast<std::int64_t>(std::trunc(layout.hh));
    for (const auto& place : map.GetAreas())
        if (place->GetFlag() && IsOnPlace(px, py, *place))
            return place;
    return nullptr;
}

CGraphicsMapManager2::CMyTile::CMyTile(gfx::Device& device, std::span<const std::uint8_t> bytes)
{
    try
    {
        m_Texture = device.CreateTexture(gfx::LoadTextureImage(bytes), true);
    }
    catch (const gfx::Error& e)
    {
        throw CVARDException(1, std::string("map image: ") + e.what());
    }
    m_Width = m_Texture->GetWidth();
    m_Height = m_Texture->GetHeight();
}

void CGraphicsMapManager2::Reset(std::shared_ptr<VARDCommon::CDataFileFactory> factory)
{
    m_Factory = std::move(factory);
}

void CGraphicsMapManager2::Init(gfx::Device& device, const VARD::CGame& game)
{
    m_Sprite.reset();
    // Pictures of an earlier Init would otherwise stand in for this map's.
    m_MapTiles.clear();
    m_AreaImages.clear();
    m_Sprite = std::make_unique<gfx::Sprite>(device);
    const VARD::CMap2* map = game.GetCurrentWorldMap();
    if (!map)
        return;
    if (!m_Factory)
        throw CVARDException(2, "world map view: no data files to read the map from");
    auto tiles = LoadMapTiles(device, *map);
    auto images = LoadAreaImages(device, *map);
    m_MapTiles = std::move(tiles);
    m_AreaImages = std::move(images);
}

std::shared_ptr<CGraphicsMapManager2::CMyTile>
CGraphicsMapManager2::LoadImage(gfx::Device& device, const std::string& name)
{
    try
    {
        const auto bytes =
            m_Factory->ReadAll(VARDCommon::kDataKindMap, VARDCommon::kDataSubKindNone, name);
        return std::make_shared<CMyTile>(device, *bytes);
    }
    catch (const CVARDException& e)
    {
        throw CVARDException(e.GetCode(), "map image " + VARDCommon::QuoteForMessage(name) + ": " +
                                              e.GetDetail());
    }
}

std::vector<std::shared_ptr<CGraphicsMapManager2::CMyTile>>
CGraphicsMapManager2::LoadMapTiles(gfx::Device& device, const VARD::CMap2& map)
{
    std::vector<std::shared_ptr<CMyTile>> tiles;
    const auto& names = map.GetCells();
    for (std::uint32_t r = 0; r < map.GetRowCount(); ++r)
    {
        for (std::uint32_t c = 0; c < map.GetColumns(); ++c)
        {
            const std::uint64_t index = static_cast<std::uint64_t>(r) * map.GetColumns() + c;
            if (index >= names.size())
                throw CVARDException(2, "world map " + VARDCommon::QuoteForMessage(map.GetName()) +
                                            " names fewer tiles than its rows and columns");
            tiles.push_back(LoadImage(device, names[index]));
        }
    }
    return tiles;
}

std::vector<std::shared_ptr<CGraphicsMapManager2::CMyTile>>
CGraphicsMapManager2::LoadAreaImages(gfx::Device& device, const VARD::CMap2& map)
{
    std::vector<std::shared_ptr<CMyTile>> images;
    for (const auto& place : map.GetAreas())
        images.push_back(NamesImage(place->GetText()) ? LoadImage(device, place->GetText())
                                                      : nullptr);
    return images;
}

MapLayout CGraphicsMapManager2::ComputeLayout(const gfx::Device& device, const VARD::CMap2& map,
                                              const gfx::Rect* rect)
{
    const gfx::Viewport& viewport = device.GetViewport();
    if (rect)
        m_BottomMargin = ClampToInt32(static_cast<std::int64_t>(viewport.height) - rect->bottom);
    return ComputeMapLayout(viewport.width, viewport.height, m_BottomMargin, map.GetWidth(),
                            map.GetHeight());
}

void CGraphicsMapManager2::Draw(const gfx::Rect& viewRect, gfx::Device& device,
                                const VARD::CGame& game)
{
    const VARD::CMap2* map = game.GetCurrentWorldMap();
    if (!map)
        return;
    if (!m_Sprite)
        throw CVARDException(2, "world map view drawn before Init");
    device.SetTransform(gfx::TransformState::View, gfx::Matrix::Identity());
    device.SetTransform(gfx::TransformState::Projection, gfx::Matrix::Identity());
    const MapLayout layout = ComputeLayout(device, *map, &viewRect);
    if (!layout.IsUsable())
        return;
    device.SetAlphaBlendEnable(true);
    try
    {
        m_Sprite->Begin(0);
        DrawTiles(layout, *map);
        DrawAreaImages(layout, *map);
        m_Sprite->End();
    }
    catch (const gfx::Error& e)
    {
        // The device's states must not stay those of a half-drawn batch.
        if (m_Sprite->IsBegun())
        {
            try
            {
                m_Sprite->End();
            }
            catch (const gfx::Error&)
            {
            }
        }
        throw CVARDException(5, std::string("drawing the world map: ") + e.what());
    }
}

void CGraphicsMapManager2::DrawTiles(const MapLayout& layout, const VARD::CMap2& map)
{
    const std::uint32_t columns = map.GetColumns();
    const std::uint32_t rows = map.GetRowCount();
    for (std::uint32_t c = 0; c < columns; ++c)
    {
        for (std::uint32_t r = 0; r < rows; ++r)
        {
            const std::uint64_t index = static_cast<std::uint64_t>(r) * columns + c;
            if (index >= m_MapTiles.size())
                continue; // loaded for a smaller map
            const CMyTile& t = *m_MapTiles[index];
            const std::int64_t left = static_cast<std::int64_t>(c) * t.GetWidth();
            const std::int64_t top = static_cast<std::int64_t>(r) * t.GetHeight();
            std::int64_t right = t.GetWidth();
            std::int64_t bottom = t.GetHeight();
            if (c + 1 == columns)
                right = static_cast<std::int64_t>(map.GetWidth()) - left;
            if (r + 1 == rows)
                bottom = static_cast<std::int64_t>(map.GetHeight()) - top;
            // A tile wholly beyond the map's size would come out mirrored.
            if (right <= 0 || bottom <= 0)
                continue;
            const float x = layout.cx + (static_cast<float>(left) - layout.hw) * layout.s;
            const float y = layout.cy + (static_cast<float>(top) - layout.hh) * layout.s;
            m_Sprite->SetTransform(gfx::Matrix::Scaling(layout.s, layout.s, 1.0f) *
                                   gfx::Matrix::Translation(x, y, 0.5f));
            const gfx::Rect source{0, 0, ClampToInt32(right), ClampToInt32(bottom)};
            m_Sprite->Draw(t.GetTexture(), &source, nullptr, nullptr, 0xFFFFFFFFu);
        }
    }
}

void CGraphicsMapManager2::DrawAreaImages(const MapLayout& layout, const VARD::CMap2& map)
{
    const auto& places = map.GetAreas();
    for (std::size_t k = 0; k < places.size() && k < m_AreaImages.size(); ++k)
    {
        const VARD::CMap2Area& place = *places[k];
        if (!place.GetFlag() || !m_AreaImages[k])
            continue;
        const auto x = TruncateCoordinate(place.GetX1());
        const auto y = TruncateCoordinate(place.GetY1());
        const auto w = TruncateCoordinate(place.GetX2());
        const auto h = TruncateCoordinate(place.GetY2());
        // An empty or inverted size shows nothing, as nothing of it can be hit.
        if (!x || !y || !w || !h || *w <= 0 || *h <= 0)
            continue;
        const float sx = layout.cx + (ClampedCoordinate(place.GetX1()) - layout.hw) * layout.s;
        const float sy = layout.cy + (ClampedCoordinate(place.GetY1()) - layout.hh) * layout.s;
        m_Sprite->SetTransform(gfx::Matrix::Scaling(layout.s, layout.s, 1.0f) *
                               gfx::Matrix::Translation(sx, sy, 0.0f));
        const gfx::Rect source{0, 0, ClampToInt32(*w), ClampToInt32(*h)};
        m_Sprite->Draw(m_AreaImages[k]->GetTexture(), &source, nullptr, nullptr, 0xFFFFFFFFu);
    }
}

bool CGraphicsMapManager2::HitTest(int x, int y, const gfx::Device& device, const VARD::CMap2* map,
                                   std::shared_ptr<VARD::CMap2Area>& entry) const
{
    if (!map)
        return false;
    const gfx::Viewport& viewport = device.GetViewport();
    const MapLayout layout = ComputeMapLayout(viewport.width, viewport.height, m_BottomMargin,
                                              map->GetWidth(), map->GetHeight());
    auto hit = FindMapAreaAt(layout, x, y, *map);
    if (!hit)
        return false;
    entry = std::move(hit);
    return true;
}

void CGraphicsMapManager2::Clear()
{
    m_Sprite.reset();
    m_MapTiles.clear();
    m_AreaImages.clear();
}

} // namespace VARDGraph
