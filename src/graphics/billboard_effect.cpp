#include "graphics/billboard_effect.h"

#include "common/data_file.h"
#include "common/tag_file.h"

#include <cmath>

namespace VARDGraph
{

CBillboardEffect::CBillboardEffect(VARDCommon::CDataFileFactory& factory,
                                   const CEffectParams* params, gfx::Device& device,
                                   const std::string& name)
{
    VARDCommon::CTagFileReader reader(factory, VARDCommon::kDataKindEffect,
                                      VARDCommon::kDataSubKindNone, name + ".vard");
    reader.ReadStartTag("effect");
    reader.ReadWord();
    const std::string texture = reader.ReadQuoted();

    reader.ReadStartTag("color");
    ModelColours colours{};
    for (std::uint32_t& colour : colours)
        reader.ReadColor(colour);
    reader.ReadEndTag();
    if (!texture.empty())
        m_MainBillboard = std::make_shared<CBillboard>(factory, device, VARDCommon::kDataKindEffect,
                                                       texture, colours);

    m_BillboardHeight = reader.ReadDouble();
    m_BillboardSize = reader.ReadDouble();
    m_BillboardAlpha = reader.ReadDouble();
    m_TrailSpacing = reader.ReadDouble();

    if (reader.IsStartTag("emitter"))
        m_TrailEmitter = std::make_shared<CParticleEmitter>(
            factory, device, VARDCommon::kDataKindEffect, reader, params);
    else
        reader.ReadWord();

    while (!reader.IsAtEndTag())
    {
        m_ImpactEmitters.push_back(std::make_shared<CParticleEmitter>(
            factory, device, VARDCommon::kDataKindEffect, reader, params));
        m_ImpactLists.push_back(std::make_shared<CParticleList>());
    }
    reader.ReadEndTag();
    m_SeenTick = 0;
}

void CBillboardEffect::UpdateParticles(double now)
{
    if (m_TrailEmitter)
        m_TrailParticles.Update(now, m_TrailEmitter->GetLifetime(), m_TrailEmitter->GetGravity());
    for (std::size_t i = 0; i < m_ImpactEmitters.size(); ++i)
        m_ImpactLists[i]->Update(now, m_ImpactEmitters[i]->GetLifetime(),
                                 m_ImpactEmitters[i]->GetGravity());
}

void CBillboardEffect::UpdateMoving(double x, double z, double now)
{
    UpdateParticles(now);
    // A spacing of 0 or below would never let the trail loop end: no trail.
    if (m_TrailEmitter && m_TrailSpacing > 0.0)
        EmitTrail(x, z, now);
    m_PositionX = x;
    m_PositionZ = z;
}

void CBillboardEffect::EmitTrail(double x, double z, double now)
{
    const double dx = x - m_PositionX;
    const double dz = z - m_PositionZ;
    const double d = std::sqrt(dx * dx + dz * dz);
    const double oldTravelled = m_Travelled;
    m_Travelled += d;
    if (!(m_Travelled > m_TrailSpacing))
        return;
    // Each emission lies s along this tick's segment; d > 0 here, since the
    // travelled distance never stays above one spacing.
    double s = m_TrailSpacing - oldTravelled;
    do
    {
        m_TrailEmitter->Emit(m_TrailParticles, m_PositionX + dx * s / d, m_PositionZ + dz * s / d,
                             now);
        m_Travelled -= m_TrailSpacing;
        s += m_TrailSpacing;
    } while (m_TrailSpacing < m_Travelled);
}

bool CBillboardEffect::UpdateImpact(double now)
{
    if (!m_Started)
    {
        m_Started = 1;
        for (std::size_t i = 0; i < m_ImpactEmitters.size(); ++i)
            m_ImpactEmitters[i]->Emit(*m_ImpactLists[i], m_PositionX, m_PositionZ, now);
    }
    UpdateParticles(now);
    if (!m_TrailParticles.IsEmpty())
        return false;
    for (const auto& list : m_ImpactLists)
        if (!list->IsEmpty())
            return false;
    return true;
}

void CBillboardEffect::Draw(gfx::Device& device) const
{
    gfx::Sprite sprite(device);
    BeginParticleSprite(device, sprite);
    if (!m_Started && m_MainBillboard)
    {
        const gfx::Vec3 at{static_cast<float>(m_PositionX), static_cast<float>(m_BillboardHeight),
                           static_cast<float>(m_PositionZ)};
        m_MainBillboard->Draw(static_cast<float>(m_BillboardSize),
                              (LowByte(m_BillboardAlpha * 255.0) << 24) | 0x00FFFFFFu, at, sprite);
    }
    if (m_TrailEmitter)
        for (const auto& particle : m_TrailParticles.GetParticles())
            m_TrailEmitter->DrawParticle(*particle, sprite);
    for (std::size_t i = 0; i < m_ImpactEmitters.size(); ++i)
        for (const auto& particle : m_ImpactLists[i]->GetParticles())
            m_ImpactEmitters[i]->DrawParticle(*particle, sprite);
    EndParticleSprite(sprite);
}

} // namespace VARDGraph
