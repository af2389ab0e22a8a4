#pragma once

#include "platform/device.h"
#include "platform/rect.h"
#include "platform/sprite.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace VARDCommon
{
class CDataFileFactory;
}

namespace VARD
{
class CGame;
class CMap2;
class CMap2Area;
} // namespace VARD

namespace VARDGraph
{

// Where the world map sits on the screen: map pixel (px, py) is drawn at
// (cx + (px - hw) * s, cy + (py - hh) * s). Single precision throughout, as
// the hit test's truncations depend on it.
struct MapLayout
{
    float cx = 0.0f;
    float cy = 0.0f;
    float hw = 0.0f;
    float hh = 0.0f;
    float s = 0.0f;

    // A map without pixels or a view without room has nothing to show; its
    // scale would be infinite, not a number or not positive.
    bool IsUsable() const;
};

// The map centred in the viewport above the bottom margin and scaled to fit
// without distortion.
MapLayout ComputeMapLayout(std::uint32_t viewportWidth, std::uint32_t viewportHeight,
                           std::int32_t bottomMargin, std::uint32_t mapWidth,
                           std::uint32_t mapHeight);

// The first shown place under the screen point, or null; nothing is hit
// while the layout is not usable.
std::shared_ptr<VARD::CMap2Area> FindMapAreaAt(const MapLayout& layout, int x, int y,
                                               const VARD::CMap2& map);

// The flat picture of the world shown while the party travels, and the
// places on it that can be chosen.
class CGraphicsMapManager2
{
public:
    // One picture on the GPU, at the size the texture was made.
    class CMyTile
    {
    public:
        // Code 1 when the bytes are no image or the texture cannot be made.
        CMyTile(gfx::Device& device, std::span<const std::uint8_t> bytes);

        const gfx::Texture& GetTexture() const { return *m_Texture; }
        std::uint32_t GetWidth() const { return m_Width; }
        std::uint32_t GetHeight() const { return m_Height; }

    private:
        std::shared_ptr<gfx::Texture> m_Texture;
        std::uint32_t m_Width = 0;
        std::uint32_t m_Height = 0;
    };

    // The module's data files; given before every Init.
    void Reset(std::shared_ptr<VARDCommon::CDataFileFactory> factory);

    // A fresh sprite and, when the game has a world map, its tiles and place
    // images (kind "map"). Code 1 for a picture that cannot be made, 2 for a
    // map naming fewer tiles than its grid holds or no factory, and the
    // factory's codes for files it cannot read.
    void Init(gfx::Device& device, const VARD::CGame& game);

    // Draws the game's world map into the viewport above viewRect's bottom,
    // which also becomes the margin of later hit tests. Code 2 when Init has
    // not run since the last Clear, 5 when drawing fails.
    void Draw(const gfx::Rect& viewRect, gfx::Device& device, const VARD::CGame& game);

    // True with the first shown place of the map under the screen point, laid
    // out as the last Draw did.
    bool HitTest(int x, int y, const gfx::Device& device, const VARD::CMap2* map,
                 std::shared_ptr<VARD::CMap2Area>& entry) const;

    // Lets go of the sprite and every picture (before the device is reset).
    void Clear();

    // With a rectangle its distance from the viewport's bottom becomes the
    // margin; without one the stored margin is used.
    MapLayout ComputeLayout(const gfx::Device& device, const VARD::CMap2& map,
                            const gfx::Rect* rect);

    // The place under the pointer, kept by the game screen; null for none.
    void SetHighlightedLocation(std::shared_ptr<VARD::CMap2Area> location)
    {
        m_Highlighted = std::move(location);
    }
    const std::shared_ptr<VARD::CMap2Area>& GetHighlightedLocation() const { return m_Highlighted; }

    std::int32_t GetBottomMargin() const { return m_BottomMargin; }
    bool IsInitialised() const { return m_Sprite != nullptr; }
    const std::vector<std::shared_ptr<CMyTile>>& GetMapTiles() const { return m_MapTiles; }
    // One per place, null where the place names no image.
    const std::vector<std::shared_ptr<CMyTile>>& GetAreaImages() const { return m_AreaImages; }

private:
    std::vector<std::shared_ptr<CMyTile>> LoadMapTiles(gfx::Device& device, const VARD::CMap2& map);
    std::vector<std::shared_ptr<CMyTile>> LoadAreaImages(gfx::Device& device,
                                                         const VARD::CMap2& map);
    std::shared_ptr<CMyTile> LoadImage(gfx::Device& device, const std::string& name);
    void DrawTiles(const MapLayout& layout, const VARD::CMap2& map);
    void DrawAreaImages(const MapLayout& layout, const VARD::CMap2& map);

    std::shared_ptr<VARDCommon::CDataFileFactory> m_Factory;
    std::int32_t m_BottomMargin = 0;
    std::unique_ptr<gfx::Sprite> m_Sprite;
    std::vector<std::shared_ptr<CMyTile>> m_MapTiles;
    std::vector<std::shared_ptr<CMyTile>> m_AreaImages;
    std::shared_ptr<VARD::CMap2Area> m_Highlighted;
};

} // namespace VARDGraph
