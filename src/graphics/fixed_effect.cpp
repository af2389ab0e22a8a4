#include "graphics/fixed_effect.h"

#include "common/exception.h"
#include "common/tag_file.h"

namespace VARDGraph
{

CFixedEffect::CFixedEffect(VARDCommon::CDataFileFactory& factory, gfx::Device& device,
                           std::uint32_t textureKind, VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("effect");
    m_Emitter = std::make_shared<CParticleEmitter>(factory, device, textureKind, reader, nullptr);
    reader.ReadEndTag();
    m_LastDrawTime = 0.0;
    m_NextEmissionTime = 0.0;
}

void CFixedEffect::Advance(const gfx::Matrix& world, double now)
{
    gfx::Vec3 scale;
    gfx::Quaternion rotation;
    gfx::Vec3 translation;
    if (!gfx::Decompose(world, scale, rotation, translation))
        throw CVARDException(5, "fixed effect: the world matrix cannot be split");

    if (m_LastDrawTime == 0.0)
        m_LastDrawTime = m_NextEmissionTime = now;
    const double count = static_cast<double>(m_Emitter->GetCount());
    const double interval = m_Emitter->GetLifetime() / count;
    std::int64_t budget = m_Emitter->GetCount();
    // A long pause between draws emits at most one count's worth, and the
    // schedule then starts again from now rather than catching up.
    while (m_NextEmissionTime + interval < now &&
           static_cast<std::int64_t>(m_Particles.GetSize()) < 2 * budget && budget > 0)
    {
        m_Emitter->Emit(m_Particles, translation.x, translation.z, now);
        --budget;
        m_NextEmissionTime += interval;
    }
    if (m_NextEmissionTime + interval < now)
        m_NextEmissionTime = now;
    m_Particles.Update(now, m_Emitter->GetLifetime(), m_Emitter->GetGravity());
    m_LastDrawTime = now;
}

void CFixedEffect::Draw(gfx::Device& device, const gfx::Matrix& world, double now)
{
    Advance(world, now);
    gfx::Sprite sprite(device);
    BeginParticleSprite(device, sprite);
    for (const auto& particle : m_Particles.GetParticles())
        m_Emitter->DrawParticle(*particle, sprite);
    EndParticleSprite(sprite);
}

} // namespace VARDGraph
