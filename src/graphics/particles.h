#pragma once

#include "graphics/sub_model_info.h"
#include "platform/device.h"
#include "platform/gfx_math.h"
#include "platform/sprite.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

namespace VARDCommon
{
class CDataFileFactory;
class CTagFileReader;
} // namespace VARDCommon

namespace VARDGraph
{

class CEffectParams;

struct CParticle
{
    gfx::Vec3 position;
    gfx::Vec3 velocity;
    double birthTime = 0.0;
    double lastUpdateTime = 0.0;
};

// Particles in emission order; new ones go to the back.
class CParticleList
{
public:
    // Drops the particles older than the lifetime and moves the others on to
    // now. A lifetime of 0 or below ends every particle at once.
    void Update(double now, double lifetime, double gravity);

    void Append(std::shared_ptr<CParticle> particle) { m_Particles.push_back(std::move(particle)); }
    bool IsEmpty() const { return m_Particles.empty(); }
    std::size_t GetSize() const { return m_Particles.size(); }
    const std::deque<std::shared_ptr<CParticle>>& GetParticles() const { return m_Particles; }

private:
    std::deque<std::shared_ptr<CParticle>> m_Particles;
};

// A camera-facing texture, recoloured from the module's texture file.
class CBillboard
{
public:
    // Reads (kind, "tex", name) and recolours it with the three colours.
    CBillboard(VARDCommon::CDataFileFactory& factory, gfx::Device& device, std::uint32_t kind,
               const std::string& name, const ModelColours& colours);

    // The texture, size units wide, centred on the position, top row up.
    void Draw(float size, std::uint32_t colour, const gfx::Vec3& position,
              gfx::Sprite& sprite) const;

    const gfx::Texture& GetTexture() const { return *m_Texture; }

private:
    std::shared_ptr<gfx::Texture> m_Texture;
};

enum : std::int32_t
{
    kEmitPoint = 0,
    kEmitRing = 1,
    kEmitBurst = 2,
};

// The emitter block of effect files and graphic descriptions.
class CParticleEmitter
{
public:
    // The reader stands on the "emitter" start tag; it is left after the end
    // tag. params null: "RUNE" and "COLOR" are faults and the scale is 1.
    CParticleEmitter(VARDCommon::CDataFileFactory& factory, gfx::Device& device,
                     std::uint32_t textureKind, VARDCommon::CTagFileReader& reader,
                     const CEffectParams* params);

    // Appends the particles of one emission at (x, height, z); code 2 for a
    // shape that is none of the three.
    void Emit(CParticleList& list, double x, double z, double now) const;
    void EmitPoint(CParticleList& list, double x, double z, double now) const;
    void EmitRing(CParticleList& list, double x, double z, double now) const;
    void EmitBurst(CParticleList& list, double x, double z, double now) const;

    // Sized and coloured by where the particle is in its life.
    void DrawParticle(const CParticle& particle, gfx::Sprite& sprite) const;

    const std::shared_ptr<CBillboard>& GetTexture() const { return m_Texture; }
    double GetSpread() const { return m_Spread; }
    double GetHeight() const { return m_Height; }
    double GetLifetime() const { return m_Lifetime; }
    std::uint32_t GetCount() const { return m_Count; }
    double GetRise() const { return m_Rise; }
    double GetJitter() const { return m_Jitter; }
    double GetGravity() const { return m_Gravity; }
    double GetStartSize() const { return m_StartSize; }
    double GetEndSize() const { return m_EndSize; }
    std::uint32_t GetStartColor() const { return m_StartColor; }
    std::uint32_t GetEndColor() const { return m_EndColor; }
    std::int32_t GetShape() const { return m_Shape; }
    // Tests and tools only: the dispatch must refuse what the reader never makes.
    void SetShape(std::int32_t shape) { m_Shape = shape; }

private:
    std::shared_ptr<CBillboard> m_Texture;
    double m_Spread = 0.0;
    double m_Height = 0.0;
    double m_Lifetime = 0.0;
    std::uint32_t m_Count = 0;
    double m_Rise = 0.0;
    double m_Jitter = 0.0;
    double m_Gravity = 0.0;
    double m_StartSize = 0.0;
    double m_EndSize = 0.0;
    std::uint32_t m_StartColor = 0;
    std::uint32_t m_EndColor = 0;
    std::int32_t m_Shape = kEmitPoint;
};

// Each of alpha, red, green and blue: trunc(start (1 - t) + end t), low 8 bits.
std::uint32_t LerpColor(double t, std::uint32_t start, std::uint32_t end);

// trunc(value) mod 256 as the alpha byte of a 0..1 alpha times 255; a value
// that is no finite number gives 0.
std::uint32_t LowByte(double value);

// The sprite flags of every particle pass: blended, camera-facing, farthest first.
constexpr std::uint32_t kParticleSpriteFlags =
    gfx::kSpriteAlphaBlend | gfx::kSpriteBillboard | gfx::kSpriteSortDepthBackToFront;

// Begins a billboard sprite pass with the device's view; code 5 on failure.
void BeginParticleSprite(gfx::Device& device, gfx::Sprite& sprite);
// Ends it; code 5 on failure.
void EndParticleSprite(gfx::Sprite& sprite);

} // namespace VARDGraph
