#include "common/exception.h"
#include "common/random.h"
#include "graphics/billboard_effect.h"
#include "graphics/graphic.h"
#include "graphics/scene_renderer.h"
#include "platform/gfx_error.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/effect.h"
#include "world/game.h"
#include "world/rule_tables.h"
#include "world/tile.h"
#include "world/trap.h"
#include "world/world_object.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace VARDGraph
{

namespace
{

constexpr double kDegrees = 0.01745329238474369;
// Things farther than this from the target along either axis are not drawn.
constexpr double kDrawReach = 100.0;

double Seconds(const VARD::CGame& game)
{
    return static_cast<std::uint32_t>(game.GetTick()) / 30.0;
}

// Keeps like things from animating in step.
double PhaseOf(std::uint32_t id)
{
    return std::fmod(VARD::ThingNumberOf(id) * 0.70710678, 1000.0);
}

// The cell of a ground point; false off the low edges, where truncation
// would wrap.
bool CellOf(double x, double z, std::uint32_t& column, std::uint32_t& row)
{
    const double c = std::trunc(x / VARD::kCellSize);
    const double r = std::trunc(z / VARD::kCellSize);
    if (!(c >= 0.0 && r >= 0.0 && c < 4294967296.0 && r < 4294967296.0))
        return false;
    column = static_cast<std::uint32_t>(c);
    row = static_cast<std::uint32_t>(r);
    return true;
}

bool OverlapsReach(double x, double z, double hx, double hz, const gfx::Vec3& target)
{
    return x - hx <= target.x + kDrawReach && x + hx >= target.x - kDrawReach &&
           z - hz <= target.z + kDrawReach && z + hz >= target.z - kDrawReach;
}

// Facing 4 (none, from a patch record) stands as facing 0.
std::uint32_t FacingIndex(int facing)
{
    return facing >= 0 && facing <= 3 ? static_cast<std::uint32_t>(facing) : 0u;
}

void HalfExtents(const VARD::CObject& object, double& hx, double& hz)
{
    const std::uint32_t facing = FacingIndex(object.GetFacing());
    hx = object.GetWidth() * 0.5;
    hz = object.GetDepth() * 0.5;
    if (facing == 1 || facing == 3)
        std::swap(hx, hz);
}

// Lets the device send the copies of a sky layer as one draw, however the
// layer's drawing ends.
class BatchScope
{
public:
    explicit BatchScope(gfx::Device& device) : m_Device(device) { m_Device.BeginBatch(); }
    ~BatchScope() { m_Device.EndBatch(); }
    BatchScope(const BatchScope&) = delete;
    BatchScope& operator=(const BatchScope&) = delete;

private:
    gfx::Device& m_Device;
};

// Whether a flat, one-colour sky layer drawn now would take its colour as
// the device's constant blending gives it: kept from above, not thrown out
// by the alpha test, and blended, if at all, by its alpha. The frame starts
// on a cleared depth buffer, and every layer clears it after itself, so the
// depth test passes.
bool CanFillSky(const gfx::Device& device)
{
    const gfx::RenderStates& s = device.GetRenderStates();
    return s.cullMode != gfx::CullMode::CounterClockwise && !s.alphaTestEnable &&
           s.sourceBlend == gfx::BlendFactor::SourceAlpha &&
           s.destinationBlend == gfx::BlendFactor::InverseSourceAlpha;
}

struct GroundRect
{
    float x0, x1, z0, z1;
};

// Whether the ray through every pixel of the viewport meets the level plane
// at height y inside the rectangle (with a margin) and between the near and
// far planes of the projection set. The pixels' rays meet the plane in the
// convex hull of the corners' points, so the corners decide.
bool SkyCoversView(const gfx::Device& device, const gfx::Vec3& eye, float y, const GroundRect& rect)
{
    const gfx::Matrix& view = device.GetTransform(gfx::TransformState::View);
    const gfx::Matrix toClip = view * device.GetTransform(gfx::TransformState::Projection);
    const std::optional<gfx::Matrix> fromClip = gfx::Inverse(toClip);
    if (!fromClip || !(eye.y > y))
        return false;
    const float margin = 0.01f * std::min(rect.x1 - rect.x0, rect.z1 - rect.z0);
    for (const float cornerX : {-1.0f, 1.0f})
        for (const float cornerY : {-1.0f, 1.0f})
        {
            const gfx::Vec3 far = gfx::TransformCoord({cornerX, cornerY, 1.0f}, *fromClip);
            const gfx::Vec3 along = far - eye;
            if (!(along.y < 0.0f))
                return false;
            const float k = (y - eye.y) / along.y;
            const gfx::Vec3 hit = eye + k * along;
            if (!(hit.x >= rect.x0 + margin && hit.x <= rect.x1 - margin &&
                  hit.z >= rect.z0 + margin && hit.z <= rect.z1 - margin))
                return false;
            // Depth 0..1 of the point: within, so that nothing is clipped.
            const gfx::Vec3 clip = gfx::TransformCoord(hit, toClip);
            if (!(clip.z > 0.0f && clip.z < 1.0f))
                return false;
        }
    return true;
}

gfx::Light ZeroLight(gfx::LightType type)
{
    gfx::Light light;
    light.type = type;
    light.diffuse = {};
    light.direction = {};
    return light;
}

} // namespace

void ApplyGameRenderStates(gfx::Device& device)
{
    device.SetZEnable(true);
    device.SetNormalizeNormals(true);
    device.SetLighting(true);
    device.SetCullMode(gfx::CullMode::Clockwise);
    device.SetSamplerFilter(gfx::TextureFilter::Linear, gfx::TextureFilter::Linear,
                            device.GetRenderStates().mipFilter);
    device.SetBlend(gfx::BlendFactor::SourceAlpha, gfx::BlendFactor::InverseSourceAlpha);
}

void CSceneRenderer::Render(VARD::CGame& game, gfx::Device& device, const SceneCamera& camera)
{
    ++m_FrameCounter;
    VARD::CArea* area = game.GetCurrentArea();
    if (!area || !camera.clientRect || !camera.target)
        return;
    const gfx::Rect& client = *camera.clientRect;
    if (client.Height() <= 0 || client.Width() <= 0)
        return;
    const gfx::Vec3 target = *camera.target;

    const float p = static_cast<float>(camera.pitch * kDegrees);
    const float y = static_cast<float>((camera.yaw + 90.0) * kDegrees);
    const float h = camera.distance * std::cos(p);
    const gfx::Vec3 eye{target.x + h * std::cos(y), camera.distance * std::sin(p),
                        target.z + h * std::sin(y)};
    device.SetTransform(gfx::TransformState::View,
                        gfx::Matrix::LookAtRH(eye, target, {0.0f, 1.0f, 0.0f}));

    const std::uint32_t lights = SetupLights(device, *area, target);
    device.LightEnable(0, false);
    device.SetSamplePass(kPassSky);
    DrawSky(game, device, camera, eye);

    const float aspect = static_cast<float>(client.Width()) / static_cast<float>(client.Height());
    device.SetTransform(gfx::TransformState::Projection,
                        gfx::Matrix::PerspectiveFovRH(camera.fieldOfView, aspect,
                                                      0.5f * camera.distance,
                                                      2.0f * camera.distance));
    for (std::uint32_t i = 0; i < lights; ++i)
        device.LightEnable(i, true);
    device.LightEnable(lights, false);

    device.SetSamplePass(kPassTiles);
    DrawTiles(device, *area, game, target);
    device.SetSamplePass(kPassActors);
    DrawActors(device, game, *area, target, camera.ringFlag);
    device.SetSamplePass(kPassObjects);
    DrawObjects(device, game, *area, target, camera.ringFlag, 0);
    DrawObjects(device, game, *area, target, camera.ringFlag, 1);
    device.SetSamplePass(kPassEffects);
    DrawEffectThings(game, device, *area, target);
    DrawBillboardEffects(device);
    device.SetSamplePass(kPassOther);
}

std::uint32_t CSceneRenderer::SetupLights(gfx::Device& device, VARD::CArea& area,
                                          const gfx::Vec3& target)
{
    gfx::Light sun;
    if (!area.GetLightingFlag())
    {
        device.SetAmbient(0xFF4C4C7Fu);
        sun = ZeroLight(gfx::LightType::Point);
        sun.diffuse = {0.6f, 0.6f, 0.4f, 0.0f};
        sun.position = {target.x, target.y + 50.0f, target.z};
        sun.range = 100.0f;
        sun.falloff = 1.0f;
        sun.attenuation1 = 0.02f;
        m_SunFlag = 0;
        m_IndoorLightPosition = sun.position;
    }
    else
    {
        device.SetAmbient(0xFF7F7F7Fu);
        int hour = 0;
        int minute = 0;
        if (const VARD::CGame* game = area.GetGame())
        {
            const VARD::CGameTime time = game->SplitTime(game->GetTick());
            hour = time.hour;
            minute = time.minute;
        }
        const bool night = hour < 6 || hour >= 18;
        const int h = hour < 6 ? hour + 6 : hour < 18 ? hour - 6 : hour - 18;
        const float minutes = static_cast<float>(h * 60.0 + minute);
        const float a = static_cast<float>(minutes / 720.0f) * 3.1415927410125732f;
        sun = ZeroLight(gfx::LightType::Directional);
        sun.direction = gfx::Normalize(gfx::Vec3{-std::cos(a), -std::sin(a), 0.0f});
        sun.diffuse = night ? gfx::ColorValue{0.0f, 0.0f, 0.5f, 0.0f}
                            : gfx::ColorValue{0.5f, 0.5f, 0.5f, 0.0f};
        sun.range = 1000.0f;
        m_SunFlag = 1;
        m_SunDirectionX = sun.direction.x;
    }
    device.SetLight(0, sun);
    std::uint32_t n = 1;

    std::vector<LightRecord>& records = m_LightRecords;
    records.clear();
    for (const auto& object : area.Objects())
    {
        const auto& graphic = object->GetGraphic();
        if (!graphic || !graphic->GetLight())
            continue;
        const double dx = object->GetX() - target.x;
        const double dz = object->GetY() - target.z;
        const double d2 = dx * dx + dz * dz;
        if (d2 <= 10000.0)
            records.push_back({d2, object->GetX(), object->GetY(), graphic->GetLight().get()});
    }
    std::sort(records.begin(), records.end(),
              [](const LightRecord& a, const LightRecord& b)
              { return a.distanceSquared < b.distanceSquared; });
    const std::uint32_t limit = std::min(device.GetCaps().maxActiveLights, gfx::kMaxActiveLights);
    for (const LightRecord& record : records)
    {
        if (n >= limit)
            break;
        SetObjectLight(device, n, record);
        ++n;
    }
    return n;
}

void CSceneRenderer::SetObjectLight(gfx::Device& device, std::uint32_t index,
                                    const LightRecord& record)
{
    const CLight& source = *record.light;
    gfx::Light light = ZeroLight(gfx::LightType::Point);
    light.diffuse = {source.GetRed(), source.GetGreen(), source.GetBlue(), 0.0f};
    if (source.GetFlicker() != 0)
    {
        const double f = 1.0 - RandomReal() * source.GetFlicker() / 100.0;
        light.diffuse.r = static_cast<float>(light.diffuse.r * f);
        light.diffuse.g = static_cast<float>(light.diffuse.g * f);
        light.diffuse.b = static_cast<float>(light.diffuse.b * f);
    }
    light.position = {static_cast<float>(record.x), static_cast<float>(source.GetHeight()),
                      static_cast<float>(record.z)};
    light.range = 100.0f;
    light.falloff = 1.0f;
    // A light on the ground would divide by zero: it then shines unfaded.
    light.attenuation1 =
        source.GetHeight() > 0.0 ? static_cast<float>(1.0 / source.GetHeight()) : 0.0f;
    try
    {
        device.SetLight(index, light);
    }
    catch (const gfx::Error& error)
    {
        throw CVARDException(5, std::string("light object: ") + error.what());
    }
}

void CSceneRenderer::DrawSky(VARD::CGame& game, gfx::Device& device, const SceneCamera& camera,
                             const gfx::Vec3& eye)
{
    // An eye on or below the ground never sees the layers below it.
    if (m_SkyLayers.empty() || !(eye.y > 0.0f))
        return;
    const gfx::Rect& client = *camera.clientRect;
    const float aspect = static_cast<float>(client.Width()) / static_cast<float>(client.Height());
    device.SetTransform(gfx::TransformState::Projection,
                        gfx::Matrix::PerspectiveFovRH(camera.fieldOfView, aspect, 1.0f, 100000.0f));
    const gfx::Vec3& target = *camera.target;
    const double t = Seconds(game);
    // The one colour of the whole view after the layers so far, when known.
    bool viewIsOneColour = false;
    std::uint32_t viewColour = 0;
    for (const auto& layer : m_SkyLayers)
    {
        const float b = static_cast<float>(layer->tileSize);
        if (!(b > 0.0f) || !layer->graphic)
            continue;
        const float a = static_cast<float>(layer->depth);
        const float k = (a + eye.y) / eye.y;
        const float cx = eye.x + (target.x - eye.x) * k;
        const float cz = eye.z + (target.z - eye.z) * k;
        const float reach = 200.0f * k;
        const float startX = cx - reach + static_cast<float>(std::fmod(layer->driftX * t, b));
        const float startZ = cz - reach + static_cast<float>(std::fmod(layer->driftZ * t, b));
        float lastX = startX;
        for (float x = startX; x <= cx + reach; x += b)
            lastX = x;
        float lastZ = startZ;
        for (float z = startZ; z <= cz + reach; z += b)
            lastZ = z;
        std::uint32_t colour = 0;
        float height = 0.0f;
        const bool flat = m_Shortcuts && startX <= cx + reach && startZ <= cz + reach &&
                          CanFillSky(device) &&
                          layer->graphic->GetFlatFill("default", t, colour, height) &&
                          SkyCoversView(device, eye, height - a,
                                        {startX - 0.5f * b, lastX + 0.5f * b, startZ - 0.5f * b,
                                         lastZ + 0.5f * b});
        const bool opaque = (colour >> 24) == 0xFFu;
        if (flat && (opaque || viewIsOneColour))
        {
            // The copies would paint every pixel in this one colour, or
            // blend it over the one colour the layers below left.
            viewColour = opaque ? colour : device.BlendConstant(viewColour, colour);
            viewIsOneColour = true;
            device.Clear(gfx::kClearTarget, viewColour, 1.0f);
        }
        else
        {
            viewIsOneColour = false;
            const gfx::Matrix scale = gfx::Matrix::Scaling(b, 1.0f, b);
            const BatchScope batch(device);
            for (float x = startX; x <= cx + reach; x += b)
                for (float z = startZ; z <= cz + reach; z += b)
                    layer->graphic->Draw(device, scale * gfx::Matrix::Translation(x, -a, z),
                                         "default", 0.0, t);
        }
        device.Clear(gfx::kClearZBuffer, 0, 1.0f);
    }
}

CSceneRenderer::TileWindow CSceneRenderer::GetTileWindow(const VARD::CArea& area,
                                                         const gfx::Vec3& target)
{
    const auto cell = [](double v) { return static_cast<std::int64_t>(std::trunc(v / 2.5)); };
    const auto cellEnd = [](double v)
    { return static_cast<std::int64_t>(std::trunc(v / 2.5 + 1)); };
    const std::int64_t width = area.GetWidth();
    const std::int64_t height = area.GetHeight();
    TileWindow w;
    w.outerColumn0 = std::max<std::int64_t>(0, cell(target.x - 120.0));
    w.outerColumn1 = std::min(width, cellEnd(target.x + 120.0));
    w.outerRow0 = std::max<std::int64_t>(0, cell(target.z - 120.0));
    w.outerRow1 = std::min(height, cellEnd(target.z + 120.0));
    w.innerColumn0 = std::max<std::int64_t>(0, cell(target.x - 100.0));
    w.innerColumn1 = std::min(width, cellEnd(target.x + 100.0));
    w.innerRow0 = std::max<std::int64_t>(0, cell(target.z - 100.0));
    w.innerRow1 = std::min(height, cellEnd(target.z + 100.0));
    return w;
}

gfx::Matrix CSceneRenderer::GetTileMatrix(const VARD::CMasterTile& master) const
{
    const float x = master.GetColumn() * 2.5f + master.GetSizeX() * 1.25f;
    const float z = master.GetRow() * 2.5f + master.GetSizeY() * 1.25f;
    return m_FacingMatrices[master.GetOrientation() & 3u] * gfx::Matrix::Translation(x, 0.0f, z);
}

void CSceneRenderer::DrawTiles(gfx::Device& device, VARD::CArea& area, VARD::CGame& game,
                               const gfx::Vec3& target)
{
    if (!m_ConcatMap)
        m_ConcatMap = std::make_shared<CConcatMap>();
    const TileWindow w = GetTileWindow(area, target);
    const double t = Seconds(game);
    const bool building = m_ConcatBuildFrame == 0;
    bool rebuild = false;
    const VARD::CCellBitSet& seen = area.GetTileTracker();
    for (std::int64_t column = w.outerColumn0; column < w.outerColumn1; ++column)
    {
        for (std::int64_t row = w.outerRow0; row < w.outerRow1; ++row)
        {
            const bool inside = column >= w.innerColumn0 && column <= w.innerColumn1 &&
                                row >= w.innerRow0 && row <= w.innerRow1;
            const auto c = static_cast<std::uint32_t>(column);
            const auto r = static_cast<std::uint32_t>(row);
            if (!seen.IsMarked(c, r))
                continue;
            VARD::CTile* tile = area.GetTile(c, r);
            if (!tile)
                continue;
            VARD::CMasterTile* master = tile->GetMasterTile();
            if (!master)
                throw CVARDException(2, "cell (" + std::to_string(c) + ", " + std::to_string(r) +
                                            ") has no master tile");
            if (master->GetDrawnFrame() == m_FrameCounter)
                continue;
            master->SetDrawnFrame(m_FrameCounter);
            const CGraphic* graphic = master->GetGraphic();
            if (!graphic)
                continue;
            const gfx::Matrix world = GetTileMatrix(*master);
            const bool isStatic = !master->GetTemplate()->IsDoor() && !graphic->GetLight() &&
                                  !graphic->GetFixedEffect() &&
                                  (graphic->GetFlags() & kGraphicMoveVaried) == 0;
            if (isStatic)
            {
                if (!building)
                {
                    if (master->GetMergeStamp() != m_ConcatBuildFrame && inside)
                        rebuild = true;
                }
                else
                {
                    m_ConcatMap->GetConcat(master->GetSharedGraphic())->AddInstance(world);
                    master->SetMergeStamp(m_FrameCounter);
                }
            }
            else if (inside)
            {
                const double modelTime =
                    (graphic->GetFlags() & kGraphicMoveVaried) != 0 ? t + PhaseOf(tile->Id()) : t;
                graphic->Draw(device, world, "default", 0.0, modelTime);
            }
        }
    }
    for (const auto& [key, concat] : m_ConcatMap->GetConcats())
    {
        if (building)
            concat->Build(device);
        concat->Draw(device, "default", t);
    }
    if (rebuild)
    {
        m_ConcatBuildFrame = 0;
        m_ConcatMap->Clear();
    }
    else if (building)
    {
        m_ConcatBuildFrame = m_FrameCounter;
    }
}

void CSceneRenderer::DrawActors(gfx::Device& device, VARD::CGame& game, VARD::CArea& area,
                                const gfx::Vec3& target, int ringFlag)
{
    const double t = Seconds(game);
    for (const auto& actor : area.Actors())
    {
        if (!actor->GetGraphic())
            BuildActorGraphic(*actor, device);
        const auto graphic = std::static_pointer_cast<CGraphic>(actor->GetGraphic());
        if (!graphic)
            continue;
        const std::uint32_t side = actor->GetAttitude();
        if (side != VARD::kAttitudeParty && side != VARD::kAttitudeFriendly && actor->IsSneaking())
            continue;
        const double x = actor->GetX();
        const double z = actor->GetY();
        std::uint32_t column = 0;
        std::uint32_t row = 0;
        if (!CellOf(x, z, column, row) || !area.GetSightGrid().IsMarked(column, row))
            continue;
        const double radius = actor->GetRadius();
        if (!OverlapsReach(x, z, radius, radius, target))
            continue;
        const gfx::Matrix placement =
            gfx::Matrix::Translation(static_cast<float>(x), 0.0f, static_cast<float>(z));
        const gfx::Matrix world =
            gfx::Matrix::RotationY(static_cast<float>(actor->GetFacing())) * placement;

        if (IsSelected(*actor))
        {
            DrawRing(device, static_cast<float>(radius), placement, {0.0f, 1.0f, 0.0f, 1.0f});
            if (ringFlag)
                DrawOrderArrows(*actor, device, area);
        }
        else if (ringFlag)
        {
            const gfx::ColorValue colour =
                side == VARD::kAttitudeParty     ? gfx::ColorValue{0.0f, 0.75f, 0.0f, 1.0f}
                : side <= VARD::kAttitudeNeutral ? gfx::ColorValue{0.75f, 0.75f, 0.75f, 1.0f}
                                                 : gfx::ColorValue{1.0f, 0.0f, 0.0f, 1.0f};
            DrawRing(device, static_cast<float>(radius), placement, colour);
        }
        graphic->Draw(device, world,
                      VARD::GetAnimationName(static_cast<int>(actor->GetAnimationId())),
                      actor->GetAnimationTime(), t + PhaseOf(actor->Id()));
        DrawShadow(device, static_cast<float>(x), static_cast<float>(z),
                   static_cast<float>(radius));
    }
}

void CSceneRenderer::DrawObjects(gfx::Device& device, VARD::CGame& game, VARD::CArea& area,
                                 const gfx::Vec3& target, int ringFlag, int pass)
{
    const double t = Seconds(game);
    for (const auto& object : area.Objects())
    {
        double hx = 0.0;
        double hz = 0.0;
        HalfExtents(*object, hx, hz);
        const double x = object->GetX();
        const double z = object->GetY();
        std::uint32_t column = 0;
        std::uint32_t row = 0;
        if (!OverlapsReach(x, z, hx, hz, target) || !CellOf(x, z, column, row) ||
            !area.GetTileTracker().IsMarked(column, row))
            continue;
        const auto& trap = object->GetTrap();
        if (trap && trap->GetFlag())
            continue;
        if (!object->GetGraphic())
        {
            const auto found = m_GraphicCache.find(object->GetGraphicName());
            if (!object->IsPile() || found == m_GraphicCache.end())
                continue;
            object->SetGraphic(found->second);
        }
        const CGraphic& graphic = *object->GetGraphic();
        const int graphicPass = (graphic.GetFlags() & kGraphicTransparent) != 0 ? 1 : 0;
        if (graphicPass != pass)
            continue;
        const gfx::Matrix placement =
            gfx::Matrix::Translation(static_cast<float>(x), 0.0f, static_cast<float>(z));
        const gfx::Matrix world = m_FacingMatrices[FacingIndex(object->GetFacing())] * placement;
        if (ringFlag)
        {
            const float radius = static_cast<float>(std::sqrt(hx * hx + hz * hz));
            if (object->GetFlag())
                DrawRing(device, radius, placement, {0.75f, 0.75f, 0.75f, 1.0f});
            else if (trap)
                DrawRing(device, radius, placement, {1.0f, 0.0f, 0.0f, 1.0f});
        }
        const double time = PhaseOf(object->Id()) + t;
        graphic.Draw(device, world, "default", time, time);
    }
}

void CSceneRenderer::DrawEffectThings(VARD::CGame& game, gfx::Device& device, VARD::CArea& area,
                                      const gfx::Vec3& target)
{
    const double t = Seconds(game);
    const auto effects = area.GetEffects();
    for (const auto& effect : effects)
    {
        if (effect->GetKind() != VARD::kEffectKindAttack)
            continue;
        const double x = effect->GetX();
        const double z = effect->GetY();
        if (!OverlapsReach(x, z, 0.0, 0.0, target))
            continue;
        if (!effect->GetGraphic())
            BuildEffectGraphic(*effect, device);
        if (!effect->GetGraphic())
            continue;
        const gfx::Matrix world =
            gfx::Matrix::RotationY(static_cast<float>(effect->GetFacing())) *
            gfx::Matrix::Translation(static_cast<float>(x), 0.0f, static_cast<float>(z));
        effect->GetGraphic()->Draw(device, world, "default", 0.0, PhaseOf(effect->Id()) + t);
    }
}

void CSceneRenderer::DrawBillboardEffects(gfx::Device& device)
{
    for (const auto& [key, effect] : m_BillboardEffects)
        effect->Draw(device);
}

} // namespace VARDGraph
