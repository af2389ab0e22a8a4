#include "graphics/scene_renderer.h"

#include "common/data_file.h"
#include "common/exception.h"
#include "graphics/billboard_effect.h"
#include "graphics/graphic.h"
#include "graphics/model_node.h"
#include "platform/gfx_error.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/effect.h"
#include "world/effect_params.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/object.h"
#include "world/spell.h"
#include "world/tile.h"
#include "world/world_object.h"

#include <cmath>

namespace VARDGraph
{

namespace
{

constexpr std::uint32_t kRingVertices = 34;

// The items an actor shows, as the override entries of its graphic: the
// graphic of each equipped item for the actor's gender, with the off hand
// marked, as CollectGraphicNames lists them.
std::vector<COverrideEntry> OverridesOf(const VARD::CActor& actor)
{
    std::vector<COverrideEntry> entries;
    if (actor.GetAttitude() != VARD::kAttitudeParty && !actor.GetColors())
        return entries;
    for (std::uint32_t slot = 0; slot < VARD::kEquipmentSlotCount; ++slot)
    {
        const auto& item = actor.GetEquipmentSlot(slot);
        if (!item || actor.GetGender() > 2)
            continue;
        const std::string& name = item->GetTemplate()->GetGraphicName(actor.GetGender());
        if (name.empty() || name == "0")
            continue;
        entries.push_back({name, slot == VARD::kSlotOffHand ? 1 : 0});
    }
    return entries;
}

} // namespace

CSceneRenderer::CSceneRenderer()
{
    m_FacingMatrices[0] = gfx::Matrix::Identity();
    m_FacingMatrices[1] = gfx::Matrix::RotationY(4.712389f);
    m_FacingMatrices[2] = gfx::Matrix::RotationY(3.1415927f);
    m_FacingMatrices[3] = gfx::Matrix::RotationY(1.5707964f);
}

CSceneRenderer::~CSceneRenderer()
{
    m_RingBuffer.reset();
    m_ShadowMesh.reset();
    m_SkyLayers.clear();
    m_SelectedIds.clear();
    m_BillboardEffects.clear();
    m_ConcatMap.reset();
    m_FigureCache.clear();
    m_GraphicCache.clear();
    m_Factory.reset();
}

void CSceneRenderer::Reset(std::shared_ptr<VARDCommon::CDataFileFactory> factory)
{
    m_Factory = std::move(factory);
}

void CSceneRenderer::CreateRing(gfx::Device& device)
{
    m_RingBuffer.reset();
    std::vector<gfx::MeshVertex> ring(kRingVertices);
    for (std::uint32_t i = 0; i <= 16; ++i)
    {
        const float a = static_cast<float>(i * 6.2831854820251465 * 0.0625);
        const gfx::Vec3 up{0.0f, 1.0f, 0.0f};
        ring[2 * i] = {{std::sin(a), 0.1f, std::cos(a)}, up, {}};
        ring[2 * i + 1] = {{1.1f * std::sin(a), 0.1f, 1.1f * std::cos(a)}, up, {}};
    }
    try
    {
        auto buffer = device.CreateVertexBuffer(gfx::VertexLayout::PositionNormal, kRingVertices);
        buffer->Write(ring);
        m_RingBuffer = std::move(buffer);
    }
    catch (const gfx::Error& error)
    {
        throw CVARDException(4, std::string("selection ring: ") + error.what());
    }
}

void CSceneRenderer::BuildArea(VARD::CGame& game, gfx::Device& device, const VARD::CModule& module)
{
    VARD::CArea* area = game.GetCurrentArea();
    if (!area)
        return;
    CreateRing(device);
    BuildShadow(device);
    BuildSky(device, *area);
    BuildTiles(device, *area);
    for (const auto& actor : area->Actors())
        BuildActorGraphic(*actor, device);
    BuildObjectGraphics(device, module, *area);
}

void CSceneRenderer::Clear(VARD::CGame& game)
{
    m_RingBuffer.reset();
    m_ShadowMesh.reset();
    VARD::CArea* area = game.GetCurrentArea();
    if (!area)
        return;
    for (const auto& master : area->GetMasterTiles())
        master->ReleaseGraphic();
    for (const auto& actor : area->Actors())
        actor->SetGraphic(nullptr);
    for (const auto& object : area->Objects())
        object->SetGraphic(nullptr);
    for (const auto& effect : area->GetEffects())
        effect->SetGraphic(nullptr);
    m_SkyLayers.clear();
    m_BillboardEffects.clear();
    m_GraphicCache.clear();
    m_FigureCache.clear();
    if (m_ConcatMap)
        m_ConcatMap->Clear();
}

void CSceneRenderer::BuildShadow(gfx::Device& device)
{
    CSubModelInfo shadow;
    shadow.meshKind = VARDCommon::kDataKindActor;
    shadow.meshName = "d_shadow.x";
    shadow.textures.push_back({"x_shadow.png", 0, 0.0});
    m_ShadowMesh = std::make_shared<CModelNode>(device, *m_Factory, shadow, shadow.textures,
                                                nullptr, 0, nullptr, 0.0, 0.0);
}

std::shared_ptr<CGraphic> CSceneRenderer::BuildGraphic(gfx::Device& device, std::uint32_t kind,
                                                       const std::string& name)
{
    return std::make_shared<CGraphic>(device, *m_Factory, kind, name, kind, nullptr, nullptr,
                                      nullptr);
}

void CSceneRenderer::BuildSky(gfx::Device& device, VARD::CArea& area)
{
    for (const auto& entry : area.GetSkies())
    {
        auto layer = std::make_shared<CSkyInfo>();
        layer->graphic = BuildGraphic(device, VARDCommon::kDataKindSky, entry->GetName());
        const auto& values = entry->GetValues();
        layer->depth = values[0];
        layer->tileSize = values[1];
        layer->driftX = values[2];
        layer->driftZ = values[3];
        m_SkyLayers.push_back(std::move(layer));
    }
}

void CSceneRenderer::BuildTiles(gfx::Device& device, VARD::CArea& area)
{
    m_FrameCounter = 0;
    m_ConcatBuildFrame = 0;
    m_ConcatMap = std::make_shared<CConcatMap>();
    for (const auto& master : area.GetMasterTiles())
    {
        master->SetDrawnFrame(0);
        const VARD::CTileTemplate& definition = *master->GetTemplate();
        master->SetGraphic(GetTileGraphic(device, definition.GetGraphicName()));
        if (definition.IsDoor())
        {
            auto* door = dynamic_cast<VARD::CMasterTileDoor*>(master.get());
            if (!door)
                throw CVARDException(2, "door tile " +
                                            VARDCommon::QuoteForMessage(definition.GetName()) +
                                            " is no door");
            door->SetOpenGraphic(GetTileGraphic(device, definition.GetOpenGraphicName()));
        }
    }
}

std::shared_ptr<CGraphic> CSceneRenderer::GetTileGraphic(gfx::Device& device,
                                                         const std::string& name)
{
    if (name == "0")
        return {};
    if (auto found = m_GraphicCache.find(name); found != m_GraphicCache.end())
        return found->second;
    std::vector<std::shared_ptr<CGraphic>> graphics;
    LoadTileGraphics(*m_Factory, name, device, graphics);
    for (auto& graphic : graphics)
        m_GraphicCache[graphic->GetName()] = graphic;
    if (auto found = m_GraphicCache.find(name); found != m_GraphicCache.end())
        return found->second;
    throw CVARDException(1, "tile graphic " + VARDCommon::QuoteForMessage(name) +
                                " is not in its description");
}

void CSceneRenderer::BuildActorGraphic(VARD::CActor& actor, gfx::Device& device)
{
    std::vector<std::string> names;
    actor.CollectGraphicNames(names);
    if (names.empty() || names.front().empty())
        return;
    const std::string& base = names.front();
    const bool shareable = actor.GetAttitude() != VARD::kAttitudeParty && !actor.GetColors();
    if (shareable)
    {
        if (auto found = m_GraphicCache.find(base); found != m_GraphicCache.end())
        {
            actor.SetGraphic(found->second);
            return;
        }
    }
    const std::vector<COverrideEntry> overrides = OverridesOf(actor);
    std::shared_ptr<CGraphic> graphic;
    try
    {
        graphic = std::make_shared<CGraphic>(device, *m_Factory, VARDCommon::kDataKindActor, base,
                                             VARDCommon::kDataKindItem, &overrides, &m_FigureCache,
                                             actor.GetColors().get());
    }
    catch (const CVARDException& error)
    {
        // Name the actor: one description serves many of them.
        throw CVARDException(error.GetCode(), "actor " +
                                                  VARDCommon::QuoteForMessage(actor.GetName()) +
                                                  ": " + error.GetDetail());
    }
    actor.SetGraphic(graphic);
    if (shareable)
        m_GraphicCache[base] = graphic;
}

void CSceneRenderer::BuildObjectGraphics(gfx::Device& device, const VARD::CModule& module,
                                         VARD::CArea& area)
{
    for (const auto& object : area.Objects())
    {
        const std::string& name = object->GetGraphicName();
        if (name == "0")
            continue;
        auto found = m_GraphicCache.find(name);
        if (found == m_GraphicCache.end() || found->second->GetFixedEffect())
        {
            // Particles of a fixed effect belong to one place: such objects
            // each get a graphic of their own.
            auto graphic = BuildGraphic(device, VARDCommon::kDataKindObject, name);
            object->SetGraphic(graphic);
            m_GraphicCache[name] = graphic;
        }
        else
        {
            object->SetGraphic(found->second);
        }
    }
    const VARD::CObjectTemplate* pile = module.FindObjectTemplate("pile");
    if (!pile)
        throw CVARDException(1, "the module has no \"pile\" object");
    const std::string& pileName = pile->GetGraphicName();
    if (pileName != "0" && !m_GraphicCache.count(pileName))
        m_GraphicCache[pileName] = BuildGraphic(device, VARDCommon::kDataKindObject, pileName);
}

void CSceneRenderer::BuildEffectGraphic(VARD::CEffect& effect, gfx::Device& device)
{
    const std::string& name = effect.GetSecondText();
    if (name.empty() || name == "0")
        return;
    auto& cached = m_GraphicCache[name];
    if (!cached)
    {
        try
        {
            cached = BuildGraphic(device, VARDCommon::kDataKindEffect, name);
        }
        catch (...)
        {
            m_GraphicCache.erase(name);
            throw;
        }
    }
    effect.SetGraphic(cached);
}

void CSceneRenderer::AddEffect(gfx::Device& device, VARD::CGame& game,
                               const std::string& effectName, const CEffectParams* params, double x,
                               double z)
{
    auto effect = std::make_shared<CBillboardEffect>(*m_Factory, params, device, effectName);
    effect->SetPosition(x, z);
    effect->SetSeenTick(static_cast<std::int32_t>(game.GetTick()));
    m_BillboardEffects[0] = std::move(effect);
}

void CSceneRenderer::UpdateEffects(VARD::CGame& game, gfx::Device& device)
{
    VARD::CArea* area = game.GetCurrentArea();
    if (!area)
        return;
    const std::uint32_t tick = game.GetTick();
    const auto seen = static_cast<std::int32_t>(tick);
    const double t = tick / 30.0;
    for (const auto& effect : area->GetEffects())
    {
        if (effect->GetKind() != VARD::kEffectKindSpell)
            continue;
        const std::uint32_t id = effect->Id();
        auto found = m_BillboardEffects.find(id);
        if (found == m_BillboardEffects.end())
        {
            const std::string& name = effect->GetSecondText();
            if (name.empty())
                continue;
            const CEffectParams* params = nullptr;
            if (const auto* spell = dynamic_cast<const VARD::CEffectSpell*>(effect.get());
                spell && spell->GetSpell())
                params = spell->GetSpell()->GetEffectParams().get();
            auto billboard = std::make_shared<CBillboardEffect>(*m_Factory, params, device, name);
            billboard->SetPosition(effect->GetX(), effect->GetY());
            billboard->SetSeenTick(seen);
            m_BillboardEffects[id] = std::move(billboard);
        }
        else
        {
            found->second->SetSeenTick(seen);
            found->second->UpdateMoving(effect->GetX(), effect->GetY(), t);
        }
    }
    for (auto it = m_BillboardEffects.begin(); it != m_BillboardEffects.end();)
    {
        if (it->second->GetSeenTick() != seen && it->second->UpdateImpact(t))
            it = m_BillboardEffects.erase(it);
        else
            ++it;
    }
}

} // namespace VARDGraph
