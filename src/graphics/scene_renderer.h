#pragma once

#include "graphics/concat.h"
#include "graphics/figure.h"
#include "platform/device.h"
#include "platform/gfx_math.h"
#include "platform/rect.h"

#include <array>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace VARDCommon
{
class CDataFileFactory;
}

namespace VARD
{
class CActor;
class CArea;
class CEffect;
class CGame;
class CMasterTile;
class CModule;
class CObject;
class CThing;
} // namespace VARD

namespace VARDGraph
{

class CBillboardEffect;
class CEffectParams;
class CGraphic;
class CLight;
class CModelNode;

// One sky layer of the area: its graphic and the four numbers of its entry.
class CSkyInfo
{
public:
    std::shared_ptr<CGraphic> graphic;
    double depth = 0.0;
    double tileSize = 0.0;
    double driftX = 0.0;
    double driftZ = 0.0;
};

// How the game screen looks at the scene for one paint.
struct SceneCamera
{
    const gfx::Rect* clientRect = nullptr;
    const gfx::Vec3* target = nullptr;
    float distance = 0.0f;
    float fieldOfView = 0.0f;
    float yaw = 0.0f;   // degrees
    float pitch = 0.0f; // degrees above the ground
    // Rings round every actor and marked object, and the selected actors'
    // order arrows.
    std::int32_t ringFlag = 0;
};

// A light object near the target, only within one frame.
struct LightRecord
{
    double distanceSquared = 0.0;
    double x = 0.0;
    double z = 0.0;
    const CLight* light = nullptr;
};

enum PickKind : int
{
    kPickNothing = 0,
    kPickTile = 1,
    kPickObject = 2,
    kPickActor = 3,
};

struct PickResult
{
    PickKind kind = kPickNothing;
    VARD::CThing* thing = nullptr;
    int exitFlag = 0;
};

// The parts of a frame, as the device counts their fragments
// (gfx::Device::SetSamplePass); what the scene does not name is pass 0.
enum ScenePass : std::uint32_t
{
    kPassOther = 0,
    kPassSky = 1,
    kPassTiles = 2,
    kPassActors = 3,
    kPassObjects = 4,
    kPassEffects = 5,
    kPassHud = 6,
};

// The fixed states the game's device runs with, set after it is made and
// after every reset; the scene switches alpha blending itself.
void ApplyGameRenderStates(gfx::Device& device);

// The 3-D view of the current area: builds the graphics of what the area
// holds, keeps the particle effects of spells in flight, draws frames and
// tells what lies under a point of the window. It caches graphics; the
// things keep the handles.
class CSceneRenderer
{
public:
    CSceneRenderer();
    ~CSceneRenderer();
    CSceneRenderer(const CSceneRenderer&) = delete;
    CSceneRenderer& operator=(const CSceneRenderer&) = delete;

    // ------------------------------------------------ scene (scene_renderer)
    void Reset(std::shared_ptr<VARDCommon::CDataFileFactory> factory);
    // Nothing without a current area. Code 4 when the ring cannot be made.
    void BuildArea(VARD::CGame& game, gfx::Device& device, const VARD::CModule& module);
    void Clear(VARD::CGame& game);
    void BuildShadow(gfx::Device& device);
    void BuildSky(gfx::Device& device, VARD::CArea& area);
    void BuildTiles(gfx::Device& device, VARD::CArea& area);
    // Empty for "0"; code 1 when the tile description does not yield it.
    std::shared_ptr<CGraphic> GetTileGraphic(gfx::Device& device, const std::string& name);
    void BuildActorGraphic(VARD::CActor& actor, gfx::Device& device);
    // Code 1 when the module has no "pile" object.
    void BuildObjectGraphics(gfx::Device& device, const VARD::CModule& module, VARD::CArea& area);
    void BuildEffectGraphic(VARD::CEffect& effect, gfx::Device& device);
    void AddEffect(gfx::Device& device, VARD::CGame& game, const std::string& effectName,
                   const CEffectParams* params, double x, double z);
    void UpdateEffects(VARD::CGame& game, gfx::Device& device);

    // Written by whoever keeps the party's selection.
    void SetSelectedIds(std::vector<std::uint32_t> ids) { m_SelectedIds = std::move(ids); }
    const std::vector<std::uint32_t>& GetSelectedIds() const { return m_SelectedIds; }

    // ----------------------------------------------------- frame (scene_frame)
    void Render(VARD::CGame& game, gfx::Device& device, const SceneCamera& camera);
    // Exact shortcuts, on by default: a sky layer that would leave the whole
    // view one colour is cleared to that colour instead. Off, every layer's copies
    // are drawn (for tests that hold the two to the same pixels).
    void SetShortcuts(bool enable) { m_Shortcuts = enable; }
    // The number of lights set, at least 1.
    std::uint32_t SetupLights(gfx::Device& device, VARD::CArea& area, const gfx::Vec3& target);
    void SetObjectLight(gfx::Device& device, std::uint32_t index, const LightRecord& record);
    void DrawSky(VARD::CGame& game, gfx::Device& device, const SceneCamera& camera,
                 const gfx::Vec3& eye);
    struct TileWindow
    {
        // Outer: end excluded; inner: both ends included.
        std::int64_t outerColumn0 = 0, outerColumn1 = 0, outerRow0 = 0, outerRow1 = 0;
        std::int64_t innerColumn0 = 0, innerColumn1 = 0, innerRow0 = 0, innerRow1 = 0;
    };
    static TileWindow GetTileWindow(const VARD::CArea& area, const gfx::Vec3& target);
    gfx::Matrix GetTileMatrix(const VARD::CMasterTile& master) const;
    void DrawTiles(gfx::Device& device, VARD::CArea& area, VARD::CGame& game,
                   const gfx::Vec3& target);
    void DrawActors(gfx::Device& device, VARD::CGame& game, VARD::CArea& area,
                    const gfx::Vec3& target, int ringFlag);
    void DrawObjects(gfx::Device& device, VARD::CGame& game, VARD::CArea& area,
                     const gfx::Vec3& target, int ringFlag, int pass);
    void DrawEffectThings(VARD::CGame& game, gfx::Device& device, VARD::CArea& area,
                          const gfx::Vec3& target);
    void DrawBillboardEffects(gfx::Device& device);

    // ---------------------------------------------------- overlays (overlays)
    void DrawRing(gfx::Device& device, float radius, const gfx::Matrix& placement,
                  const gfx::ColorValue& colour);
    void DrawShadow(gfx::Device& device, float x, float z, float radius);
    void DrawOrderArrows(const VARD::CActor& actor, gfx::Device& device, const VARD::CArea& area);
    void DrawOrderArrow(gfx::Device& device, const gfx::Vec3& from, const gfx::Vec3& to);
    bool IsSelected(const VARD::CActor& actor) const;

    // ------------------------------------------------------- picking (picking)
    // False when the ray runs parallel to the ground (then x and z stay).
    bool ScreenToGround(const gfx::Device& device, float sx, float sy, float& x, float& z) const;
    PickResult Pick(const gfx::Device& device, float sx, float sy, VARD::CArea& area) const;
    VARD::CActor* PickActor(const VARD::CArea& area, const gfx::Vec3& nearPoint,
                            const gfx::Vec3& direction) const;
    VARD::CObject* PickObject(const VARD::CArea& area, const gfx::Vec3& nearPoint,
                              const gfx::Vec3& direction) const;
    PickResult PickTile(const VARD::CArea& area, const gfx::Vec3& nearPoint,
                        const gfx::Vec3& farPoint) const;
    static bool IsNearOpenExit(const VARD::CArea& area, double x, double z);

    // ---------------------------------------------------------------- state
    const std::shared_ptr<VARDCommon::CDataFileFactory>& GetFactory() const { return m_Factory; }
    const std::map<std::string, std::shared_ptr<CGraphic>>& GetGraphicCache() const
    {
        return m_GraphicCache;
    }
    const FigureCache& GetFigureCache() const { return m_FigureCache; }
    const std::shared_ptr<CConcatMap>& GetConcatMap() const { return m_ConcatMap; }
    const std::map<std::uint32_t, std::shared_ptr<CBillboardEffect>>& GetBillboardEffects() const
    {
        return m_BillboardEffects;
    }
    const gfx::Matrix& GetFacingMatrix(std::uint32_t facing) const
    {
        return m_FacingMatrices.at(facing);
    }
    const std::list<std::shared_ptr<CSkyInfo>>& GetSkyLayers() const { return m_SkyLayers; }
    const std::shared_ptr<gfx::VertexBuffer>& GetRingBuffer() const { return m_RingBuffer; }
    const std::shared_ptr<CModelNode>& GetShadowMesh() const { return m_ShadowMesh; }
    std::int32_t GetSunFlag() const { return m_SunFlag; }
    float GetSunDirectionX() const { return m_SunDirectionX; }
    const gfx::Vec3& GetIndoorLightPosition() const { return m_IndoorLightPosition; }
    std::uint32_t GetFrameCounter() const { return m_FrameCounter; }
    std::uint32_t GetConcatBuildFrame() const { return m_ConcatBuildFrame; }

private:
    std::shared_ptr<CGraphic> BuildGraphic(gfx::Device& device, std::uint32_t kind,
                                           const std::string& name);
    void CreateRing(gfx::Device& device);

    std::shared_ptr<VARDCommon::CDataFileFactory> m_Factory;
    std::map<std::string, std::shared_ptr<CGraphic>> m_GraphicCache;
    FigureCache m_FigureCache;
    std::shared_ptr<CConcatMap> m_ConcatMap;
    std::map<std::uint32_t, std::shared_ptr<CBillboardEffect>> m_BillboardEffects;
    std::array<gfx::Matrix, 4> m_FacingMatrices;
    std::vector<std::uint32_t> m_SelectedIds;
    std::list<std::shared_ptr<CSkyInfo>> m_SkyLayers;
    std::shared_ptr<gfx::VertexBuffer> m_RingBuffer;
    std::shared_ptr<CModelNode> m_ShadowMesh;
    std::int32_t m_SunFlag = 0;
    float m_SunDirectionX = 0.0f;
    gfx::Vec3 m_IndoorLightPosition;
    std::uint32_t m_FrameCounter = 0;
    std::uint32_t m_ConcatBuildFrame = 0;
    bool m_Shortcuts = true;
    // Kept between frames so that a frame allocates none.
    std::vector<LightRecord> m_LightRecords;
};

} // namespace VARDGraph
