#include "graphics/scene_renderer.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/game.h"
#include "world/talk_state.h"
#include "world/tile.h"
#include "world/trap.h"
#include "world/world_object.h"

#include <cmath>

namespace VARDGraph
{

namespace
{

struct PickRay
{
    gfx::Vec3 nearPoint;
    gfx::Vec3 farPoint;
    gfx::Vec3 direction;
};

PickRay MakeRay(const gfx::Device& device, float sx, float sy)
{
    const gfx::Matrix& projection = device.GetTransform(gfx::TransformState::Projection);
    const gfx::Matrix& view = device.GetTransform(gfx::TransformState::View);
    const gfx::Matrix world = gfx::Matrix::Identity();
    PickRay ray;
    ray.nearPoint = gfx::Unproject({sx, sy, 0.0f}, device.GetViewport(), projection, view, world);
    ray.farPoint = gfx::Unproject({sx, sy, 1.0f}, device.GetViewport(), projection, view, world);
    ray.direction = ray.farPoint - ray.nearPoint;
    return ray;
}

std::optional<gfx::Vec3> GroundPoint(const gfx::Vec3& nearPoint, const gfx::Vec3& farPoint)
{
    const gfx::Plane ground = gfx::Plane::FromPointNormal({0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f});
    return gfx::IntersectLine(ground, nearPoint, farPoint);
}

bool IsPickable(const VARD::CObject& object)
{
    const auto& trap = object.GetTrap();
    return object.GetFlag() || !object.GetTalkFiles().empty() || object.IsExit() ||
           (trap && !trap->GetFlag());
}

std::int64_t CellIndex(double v)
{
    return static_cast<std::int64_t>(std::trunc(v / VARD::kCellSize));
}

} // namespace

bool CSceneRenderer::ScreenToGround(const gfx::Device& device, float sx, float sy, float& x,
                                    float& z) const
{
    const PickRay ray = MakeRay(device, sx, sy);
    const auto point = GroundPoint(ray.nearPoint, ray.farPoint);
    if (!point)
        return false;
    x = point->x;
    z = point->z;
    return true;
}

PickResult CSceneRenderer::Pick(const gfx::Device& device, float sx, float sy,
                                VARD::CArea& area) const
{
    const PickRay ray = MakeRay(device, sx, sy);
    PickResult result;
    if (VARD::CActor* actor = PickActor(area, ray.nearPoint, ray.direction))
    {
        result.kind = kPickActor;
        result.thing = actor;
        return result;
    }
    if (VARD::CObject* object = PickObject(area, ray.nearPoint, ray.direction))
    {
        result.kind = kPickObject;
        result.thing = object;
        return result;
    }
    return PickTile(area, ray.nearPoint, ray.farPoint);
}

VARD::CActor* CSceneRenderer::PickActor(const VARD::CArea& area, const gfx::Vec3& nearPoint,
                                        const gfx::Vec3& direction) const
{
    for (const auto& actor : area.Actors())
    {
        const std::uint32_t side = actor->GetAttitude();
        if (side != VARD::kAttitudeParty && side != VARD::kAttitudeFriendly && actor->IsSneaking())
            continue;
        const auto x = static_cast<float>(actor->GetX());
        const auto z = static_cast<float>(actor->GetY());
        const auto r = static_cast<float>(actor->GetRadius());
        const auto h = static_cast<float>(actor->GetSecondSize());
        if (gfx::BoxBoundProbe({x - r, 0.0f, z - r}, {x + r, h, z + r}, nearPoint, direction))
            return actor.get();
    }
    return nullptr;
}

VARD::CObject* CSceneRenderer::PickObject(const VARD::CArea& area, const gfx::Vec3& nearPoint,
                                          const gfx::Vec3& direction) const
{
    for (const auto& object : area.Objects())
    {
        if (!IsPickable(*object))
            continue;
        double hx = object->GetWidth() * 0.5;
        double hz = object->GetDepth() * 0.5;
        if (object->GetFacing() == 1 || object->GetFacing() == 3)
            std::swap(hx, hz);
        const auto x = static_cast<float>(object->GetX());
        const auto z = static_cast<float>(object->GetY());
        const auto fx = static_cast<float>(hx);
        const auto fz = static_cast<float>(hz);
        if (gfx::BoxBoundProbe({x - fx, 0.0f, z - fz},
                               {x + fx, static_cast<float>(object->GetHeight()), z + fz}, nearPoint,
                               direction))
            return object.get();
    }
    return nullptr;
}

PickResult CSceneRenderer::PickTile(const VARD::CArea& area, const gfx::Vec3& nearPoint,
                                    const gfx::Vec3& farPoint) const
{
    PickResult result;
    const auto ground = GroundPoint(nearPoint, farPoint);
    if (!ground)
        return result;
    const std::int64_t c = CellIndex(ground->x);
    const std::int64_t r = CellIndex(ground->z);
    const gfx::Vec3 direction = farPoint - nearPoint;
    // A door stands up from the ground and may hide the ground point: the
    // cells the ray crosses before it lands are searched first.
    const bool towardLowZ = direction.z < 0.0f;
    const std::int64_t c0 = towardLowZ ? c : c - 5;
    const std::int64_t c1 = towardLowZ ? c + 5 : c;
    const std::int64_t r0 = towardLowZ ? r : r - 10;
    const std::int64_t r1 = towardLowZ ? r + 10 : r;
    const std::int64_t width = area.GetWidth();
    const std::int64_t height = area.GetHeight();
    for (std::int64_t column = c0; column <= c1; ++column)
    {
        for (std::int64_t row = r0; row <= r1; ++row)
        {
            if (column < 0 || row < 0 || column >= width || row >= height)
                continue;
            VARD::CTile* tile =
                area.GetTile(static_cast<std::uint32_t>(column), static_cast<std::uint32_t>(row));
            const VARD::CMasterTile* master = tile ? tile->GetMasterTile() : nullptr;
            if (!master || !master->GetTemplate()->IsDoor())
                continue;
            const auto* door = dynamic_cast<const VARD::CMasterTileDoor*>(master);
            const float h = door && door->IsOpen()
                                ? 0.1f
                                : static_cast<float>(master->GetTemplate()->GetDoorValueA());
            const auto x0 = static_cast<float>(column * 2.5);
            const auto z0 = static_cast<float>(row * 2.5);
            if (gfx::BoxBoundProbe({x0, 0.0f, z0},
                                   {static_cast<float>((column + 1) * 2.5), h,
                                    static_cast<float>((row + 1) * 2.5)},
                                   nearPoint, direction))
            {
                result.kind = kPickTile;
                result.thing = tile;
                return result;
            }
        }
    }
    if (c >= 0 && r >= 0 && c < width && r < height)
    {
        if (VARD::CTile* tile =
                area.GetTile(static_cast<std::uint32_t>(c), static_cast<std::uint32_t>(r)))
        {
            result.kind = kPickTile;
            result.thing = tile;
            result.exitFlag = IsNearOpenExit(area, ground->x, ground->z) ? 1 : 0;
        }
    }
    return result;
}

bool CSceneRenderer::IsNearOpenExit(const VARD::CArea& area, double x, double z)
{
    const VARD::CGame* game = area.GetGame();
    for (const auto& exit : area.GetExits())
    {
        const std::string& tag = exit->GetRequiredTag();
        const bool usable = tag.empty() || (game && game->GetQuestTag(tag) != 0);
        if (!usable)
            continue;
        const double dx = exit->GetX() - x;
        const double dz = exit->GetY() - z;
        if (dx * dx + dz * dz < 400.0)
            return true;
    }
    return false;
}

} // namespace VARDGraph
