#pragma once

#include "graphics/particles.h"

#include <cstdint>
#include <memory>

namespace VARDGraph
{

// A graphic's continuous particle effect: one emitter on a steady schedule
// at the point where the graphic is drawn, with the drawing's time as its
// clock.
class CFixedEffect
{
public:
    // The reader stands on the "effect" start tag and is left after its end
    // tag; the block holds exactly one emitter, without effect parameters.
    CFixedEffect(VARDCommon::CDataFileFactory& factory, gfx::Device& device,
                 std::uint32_t textureKind, VARDCommon::CTagFileReader& reader);

    // Emits what is due at the world matrix's ground point, advances the
    // particles to now and draws them.
    void Draw(gfx::Device& device, const gfx::Matrix& world, double now);

    // Emission and motion without drawing: what Draw does before its sprite pass.
    void Advance(const gfx::Matrix& world, double now);

    const std::shared_ptr<CParticleEmitter>& GetEmitter() const { return m_Emitter; }
    double GetLastDrawTime() const { return m_LastDrawTime; }
    double GetNextEmissionTime() const { return m_NextEmissionTime; }
    const CParticleList& GetParticles() const { return m_Particles; }

private:
    std::shared_ptr<CParticleEmitter> m_Emitter;
    double m_LastDrawTime = 0.0;
    double m_NextEmissionTime = 0.0;
    CParticleList m_Particles;
};

} // namespace VARDGraph
