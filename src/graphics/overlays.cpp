#include "common/exception.h"
#include "graphics/model_node.h"
#include "graphics/scene_renderer.h"
#include "platform/gfx_error.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/order.h"
#include "world/tile.h"
#include "world/world_object.h"

#include <algorithm>
#include <cmath>

namespace VARDGraph
{

namespace
{

gfx::Material EmissiveMaterial(const gfx::ColorValue& colour)
{
    gfx::Material material;
    material.emissive = colour;
    return material;
}

bool ActorPoint(const VARD::CArea& area, std::uint32_t id, gfx::Vec3& to)
{
    const VARD::CActor* actor = area.FindActorById(id);
    if (!actor)
        return false;
    to = {static_cast<float>(actor->GetX()), 0.1f, static_cast<float>(actor->GetY())};
    return true;
}

// Where a use order leads: the centre of a tile's cell, or an object.
bool UseTargetPoint(const VARD::CArea& area, std::uint32_t id, gfx::Vec3& to)
{
    switch (VARD::ThingKindOf(id))
    {
    case VARD::kThingKindTile:
    {
        const std::uint32_t number = VARD::ThingNumberOf(id);
        const VARD::CTile* tile = area.GetTile(number % 1000u, number / 1000u);
        if (!tile)
            return false;
        to = {static_cast<float>(tile->GetCenterX()), 0.1f, static_cast<float>(tile->GetCenterY())};
        return true;
    }
    case VARD::kThingKindObject:
    {
        const VARD::CObject* object = area.FindObjectById(id);
        if (!object)
            return false;
        to = {static_cast<float>(object->GetX()), 0.1f, static_cast<float>(object->GetY())};
        return true;
    }
    default:
        return false;
    }
}

} // namespace

bool CSceneRenderer::IsSelected(const VARD::CActor& actor) const
{
    return std::find(m_SelectedIds.begin(), m_SelectedIds.end(), actor.Id()) != m_SelectedIds.end();
}

void CSceneRenderer::DrawRing(gfx::Device& device, float radius, const gfx::Matrix& placement,
                              const gfx::ColorValue& colour)
{
    if (!m_RingBuffer)
        return;
    device.SetMaterial(EmissiveMaterial(colour));
    device.SetTexture(nullptr);
    device.SetAlphaBlendEnable(false);
    device.SetTransform(gfx::TransformState::World,
                        gfx::Matrix::Scaling(radius, 1.0f, radius) * placement);
    device.SetStreamSource(m_RingBuffer.get());
    device.DrawPrimitive(gfx::PrimitiveType::TriangleStrip, 0, 32);
}

void CSceneRenderer::DrawShadow(gfx::Device& device, float x, float z, float radius)
{
    if (!m_ShadowMesh)
        return;
    const float d = 2.0f * radius;
    gfx::Matrix placement;
    if (m_SunFlag)
    {
        placement = gfx::Matrix::Translation(x + m_SunDirectionX * radius, 0.1f, z);
    }
    else
    {
        const gfx::Vec3 v = gfx::Normalize(gfx::Vec3{
            x - m_IndoorLightPosition.x, -m_IndoorLightPosition.y, z - m_IndoorLightPosition.z});
        placement = gfx::Matrix::Translation(x + v.x * radius, 0.1f, z + v.z * radius);
    }
    device.SetTransform(gfx::TransformState::World, gfx::Matrix::Scaling(d, 1.0f, d) * placement);
    m_ShadowMesh->Draw(device, 0, nullptr, 0.0);
}

void CSceneRenderer::DrawOrderArrows(const VARD::CActor& actor, gfx::Device& device,
                                     const VARD::CArea& area)
{
    gfx::Vec3 from{static_cast<float>(actor.GetX()), 0.1f, static_cast<float>(actor.GetY())};
    for (const auto& order : actor.GetOrders())
    {
        gfx::Vec3 to;
        bool found = false;
        switch (order->GetType())
        {
        case VARD::kOrderMove:
        {
            const auto& move = static_cast<const VARD::CMoveOrder&>(*order);
            to = {static_cast<float>(move.GetX()), 0.1f, static_cast<float>(move.GetY())};
            found = true;
            break;
        }
        case VARD::kOrderAttack:
        case VARD::kOrderMoveTalk:
        case VARD::kOrderCast:
            found = ActorPoint(area, order->GetFirstId(), to);
            break;
        case VARD::kOrderUse:
            found = UseTargetPoint(area, order->GetSecondId(), to);
            break;
        default:
            break;
        }
        if (!found)
            continue;
        DrawOrderArrow(device, from, to);
        from = to;
    }
}

void CSceneRenderer::DrawOrderArrow(gfx::Device& device, const gfx::Vec3& from, const gfx::Vec3& to)
{
    const float a = std::atan2(to.z - from.z, to.x - from.x);
    const float halfPi = 1.5707963705062866f;
    const gfx::Vec3 left{std::cos(a - halfPi), 0.0f, std::sin(a - halfPi)};
    const gfx::Vec3 right{std::cos(a + halfPi), 0.0f, std::sin(a + halfPi)};
    const gfx::Vec3 along{std::cos(a), 0.0f, std::sin(a)};
    const gfx::Vec3 f{from.x, 0.1f, from.z};
    const gfx::Vec3 t{to.x, 0.1f, to.z};
    const gfx::Vec3 points[9] = {
        t + 0.1f * left,
        f + 0.1f * left,
        f + 0.1f * right,
        t + 0.1f * right,
        t + 0.1f * left,
        f + 0.1f * right,
        t,
        t + 0.625f * left - 2.5f * along,
        t + 0.625f * right - 2.5f * along,
    };
    std::vector<gfx::MeshVertex> vertices;
    for (const gfx::Vec3& point : points)
        vertices.push_back({point, {0.0f, 1.0f, 0.0f}, {}});
    std::shared_ptr<gfx::VertexBuffer> buffer;
    try
    {
        buffer = device.CreateVertexBuffer(gfx::VertexLayout::PositionNormal, 9);
        buffer->Write(vertices);
    }
    catch (const gfx::Error& error)
    {
        throw CVARDException(4, std::string("order arrow: ") + error.what());
    }
    device.SetMaterial(EmissiveMaterial({0.0f, 1.0f, 0.0f, 1.0f}));
    device.SetTexture(nullptr);
    device.SetAlphaBlendEnable(false);
    device.SetTransform(gfx::TransformState::World, gfx::Matrix::Identity());
    device.SetStreamSource(buffer.get());
    device.DrawPrimitive(gfx::PrimitiveType::TriangleList, 0, 3);
    device.SetStreamSource(nullptr);
}

} // namespace VARDGraph
