#pragma once

#include "graphics/particles.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace VARDGraph
{

// The look of a spell in flight or an effect placed at a point, from an
// effect file: a main billboard while it travels, a trail of particles left
// behind every so many units, and impact bursts where it ends.
class CBillboardEffect
{
public:
    // Reads (effect, name + ".vard"); params may be null.
    CBillboardEffect(VARDCommon::CDataFileFactory& factory, const CEffectParams* params,
                     gfx::Device& device, const std::string& name);

    // One tick while the effect's thing is still in the area, at its ground point.
    void UpdateMoving(double x, double z, double now);
    // One tick once the thing is gone; true when no particle is left.
    bool UpdateImpact(double now);
    void UpdateParticles(double now);
    // Inside the scene, with the view transform set.
    void Draw(gfx::Device& device) const;

    // The creator places the effect at its thing's ground point.
    void SetPosition(double x, double z)
    {
        m_PositionX = x;
        m_PositionZ = z;
    }
    double GetPositionX() const { return m_PositionX; }
    double GetPositionZ() const { return m_PositionZ; }
    double GetTravelled() const { return m_Travelled; }
    int IsStarted() const { return m_Started; }
    std::int32_t GetSeenTick() const { return m_SeenTick; }
    void SetSeenTick(std::int32_t tick) { m_SeenTick = tick; }

    const std::shared_ptr<CBillboard>& GetMainBillboard() const { return m_MainBillboard; }
    double GetBillboardHeight() const { return m_BillboardHeight; }
    double GetBillboardSize() const { return m_BillboardSize; }
    double GetBillboardAlpha() const { return m_BillboardAlpha; }
    double GetTrailSpacing() const { return m_TrailSpacing; }
    const std::shared_ptr<CParticleEmitter>& GetTrailEmitter() const { return m_TrailEmitter; }
    const std::vector<std::shared_ptr<CParticleEmitter>>& GetImpactEmitters() const
    {
        return m_ImpactEmitters;
    }
    const CParticleList& GetTrailParticles() const { return m_TrailParticles; }
    const std::vector<std::shared_ptr<CParticleList>>& GetImpactLists() const
    {
        return m_ImpactLists;
    }

private:
    void EmitTrail(double x, double z, double now);

    std::shared_ptr<CBillboard> m_MainBillboard;
    double m_BillboardHeight = 0.0;
    double m_BillboardSize = 0.0;
    double m_BillboardAlpha = 0.0;
    double m_TrailSpacing = 0.0;
    std::shared_ptr<CParticleEmitter> m_TrailEmitter;
    std::vector<std::shared_ptr<CParticleEmitter>> m_ImpactEmitters;
    double m_PositionX = 0.0;
    double m_PositionZ = 0.0;
    double m_Travelled = 0.0;
    int m_Started = 0;
    std::int32_t m_SeenTick = 0;
    CParticleList m_TrailParticles;
    std::vector<std::shared_ptr<CParticleList>> m_ImpactLists;
};

} // namespace VARDGraph
