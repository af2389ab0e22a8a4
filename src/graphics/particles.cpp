#include "graphics/particles.h"

#include "common/data_file.h"
#include "common/exception.h"
#include "common/random.h"
#include "common/tag_file.h"
#include "graphics/model_node.h"
#include "platform/gfx_error.h"
#include "platform/matrix_stack.h"
#include "world/effect_params.h"

#include <cmath>

namespace VARDGraph
{

namespace
{

// 2π as the single-precision constant the ring's angles are taken from.
constexpr double kTwoPi = static_cast<double>(6.2831855f);

// (2r - 1): a fresh draw spread over -1..1.
double Signed()
{
    return 2.0 * RandomReal() - 1.0;
}

std::shared_ptr<CParticle> NewParticle(double now)
{
    auto particle = std::make_shared<CParticle>();
    particle->birthTime = now;
    particle->lastUpdateTime = now;
    return particle;
}

// A colour of the emitter's "color" block: a group of three, or "COLOR" (the
// parameters' colour), with a "0" before the word skipped.
std::uint32_t ReadEmitterColor(VARDCommon::CTagFileReader& reader, const CEffectParams* params)
{
    if (reader.ReadTupleStart(3, true))
    {
        const std::uint32_t red = reader.ReadUnsigned() & 0xFFu;
        const std::uint32_t green = reader.ReadUnsigned() & 0xFFu;
        const std::uint32_t blue = reader.ReadUnsigned() & 0xFFu;
        return (red << 16) | (green << 8) | blue;
    }
    if (reader.IsAtEnd() || reader.GetCurrentWord() != "COLOR")
        reader.Fail(1, "expected a colour group or COLOR");
    if (!params)
        reader.Fail(1, "COLOR in an effect without parameters");
    reader.NextToken();
    return params->GetColor() & 0x00FFFFFFu;
}

void RequirePair(VARDCommon::CTagFileReader& reader, const char* what)
{
    if (!reader.ReadPairStart())
        reader.Fail(1, std::string("expected a group of ") + what);
}

std::uint32_t TintColor(double alpha, std::uint32_t tint)
{
    return (LowByte(alpha * 255.0) << 24) | (tint & 0x00FFFFFFu);
}

} // namespace

std::uint32_t LowByte(double value)
{
    if (!std::isfinite(value))
        return 0;
    // fmod keeps the value inside the range an integer holds.
    const auto truncated = static_cast<std::int32_t>(std::fmod(std::trunc(value), 256.0));
    return static_cast<std::uint32_t>(truncated) & 0xFFu;
}

std::uint32_t LerpColor(double t, std::uint32_t start, std::uint32_t end)
{
    std::uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8)
    {
        const double a = static_cast<double>((start >> shift) & 0xFFu);
        const double b = static_cast<double>((end >> shift) & 0xFFu);
        result |= LowByte(a * (1.0 - t) + b * t) << shift;
    }
    return result;
}

void BeginParticleSprite(gfx::Device& device, gfx::Sprite& sprite)
{
    try
    {
        sprite.SetWorldViewRH(gfx::Matrix::Identity(),
                              device.GetTransform(gfx::TransformState::View));
        sprite.Begin(kParticleSpriteFlags);
    }
    catch (const gfx::Error& e)
    {
        throw CVARDException(5, std::string("particle sprite: ") + e.what());
    }
}

void EndParticleSprite(gfx::Sprite& sprite)
{
    try
    {
        sprite.End();
    }
    catch (const gfx::Error& e)
    {
        throw CVARDException(5, std::string("particle sprite: ") + e.what());
    }
}

// ---------------------------------------------------------------- particles

void CParticleList::Update(double now, double lifetime, double gravity)
{
    if (!(lifetime > 0.0))
    {
        m_Particles.clear();
        return;
    }
    const float pull = static_cast<float>(gravity);
    for (auto it = m_Particles.begin(); it != m_Particles.end();)
    {
        CParticle& p = **it;
        if (now - p.birthTime > lifetime)
        {
            it = m_Particles.erase(it);
            continue;
        }
        const float dt = static_cast<float>(now - p.lastUpdateTime);
        p.position = p.position + p.velocity * dt;
        p.velocity.y += pull * dt;
        p.lastUpdateTime = now;
        ++it;
    }
}

// ---------------------------------------------------------------- billboard

CBillboard::CBillboard(VARDCommon::CDataFileFactory& factory, gfx::Device& device,
                       std::uint32_t kind, const std::string& name, const ModelColours& colours)
{
    const auto bytes = factory.ReadAll(kind, VARDCommon::kDataSubKindTex, name);
    try
    {
        m_Texture = CreateRecolouredTexture(device, *bytes, &colours);
    }
    catch (const CVARDException& e)
    {
        throw CVARDException(e.GetCode(), "billboard texture " + VARDCommon::QuoteForMessage(name) +
                                              ": " + e.GetDetail());
    }
}

void CBillboard::Draw(float size, std::uint32_t colour, const gfx::Vec3& position,
                      gfx::Sprite& sprite) const
{
    gfx::MatrixStack stack;
    const std::uint32_t width = m_Texture->GetWidth();
    const std::uint32_t height = m_Texture->GetHeight();
    if (width == 0 || height == 0)
        throw CVARDException(5, "billboard texture without texels");
    const gfx::Vec3 centre{static_cast<float>(width / 2), static_cast<float>(height / 2), 0.0f};
    const float s = size / static_cast<float>(width);
    stack.Scale(s, -s, s);
    stack.Translate(position.x, position.y, position.z);
    try
    {
        sprite.SetTransform(stack.Top());
        sprite.Draw(*m_Texture, nullptr, &centre, nullptr, colour);
    }
    catch (const gfx::Error& e)
    {
        throw CVARDException(5, std::string("billboard: ") + e.what());
    }
}

// ---------------------------------------------------------------- emitter

CParticleEmitter::CParticleEmitter(VARDCommon::CDataFileFactory& factory, gfx::Device& device,
                                   std::uint32_t textureKind, VARDCommon::CTagFileReader& reader,
                                   const CEffectParams* params)
{
    reader.ReadStartTag("emitter");
    std::string name = reader.ReadQuoted();
    if (name == "RUNE")
    {
        if (!params)
            reader.Fail(1, "RUNE in an effect without parameters");
        name = params->GetName();
    }

    reader.ReadStartTag("color");
    ModelColours colours{};
    for (std::uint32_t& colour : colours)
        colour = ReadEmitterColor(reader, params);
    reader.ReadEndTag();
    m_Texture = std::make_shared<CBillboard>(factory, device, textureKind, name, colours);

    const double scale = params ? params->GetValue() : 1.0;
    RequirePair(reader, "spread and height");
    m_Spread = reader.ReadDouble();
    m_Height = reader.ReadDouble();
    m_Lifetime = reader.ReadDouble();
    m_Count = reader.ReadUnsigned();
    RequirePair(reader, "rise and jitter");
    m_Rise = reader.ReadDouble() * scale;
    m_Jitter = reader.ReadDouble() * scale;
    m_Gravity = reader.ReadDouble() * scale;
    RequirePair(reader, "start and end size");
    m_StartSize = reader.ReadDouble() * scale;
    m_EndSize = reader.ReadDouble() * scale;
    RequirePair(reader, "start and end alpha");
    const double startAlpha = reader.ReadDouble();
    const double endAlpha = reader.ReadDouble();

    const std::string shape = reader.IsAtEnd() ? std::string() : reader.GetCurrentWord();
    if (shape == "point")
        m_Shape = kEmitPoint;
    else if (shape == "ring")
        m_Shape = kEmitRing;
    else if (shape == "burst")
        m_Shape = kEmitBurst;
    else
        reader.Fail(1, "expected point, ring or burst");
    reader.NextToken();

    std::uint32_t startTint = 0xFFFFFFu;
    std::uint32_t endTint = 0xFFFFFFu;
    if (!reader.IsAtEndTag())
    {
        reader.ReadColor(startTint);
        reader.ReadColor(endTint);
    }
    m_StartColor = TintColor(startAlpha, startTint);
    m_EndColor = TintColor(endAlpha, endTint);
    reader.ReadEndTag();
}

void CParticleEmitter::Emit(CParticleList& list, double x, double z, double now) const
{
    switch (m_Shape)
    {
    case kEmitPoint:
        EmitPoint(list, x, z, now);
        return;
    case kEmitRing:
        EmitRing(list, x, z, now);
        return;
    case kEmitBurst:
        EmitBurst(list, x, z, now);
        return;
    default:
        throw CVARDException(2, "emitter shape " + std::to_string(m_Shape));
    }
}

void CParticleEmitter::EmitPoint(CParticleList& list, double x, double z, double now) const
{
    auto p = NewParticle(now);
    // The draws go in this order: position x, position z, then the velocity.
    p->position.x = static_cast<float>(x + Signed() * m_Spread);
    p->position.z = static_cast<float>(z + Signed() * m_Spread);
    p->position.y = static_cast<float>(m_Height);
    p->velocity.x = static_cast<float>(Signed() * m_Jitter);
    p->velocity.y = static_cast<float>(m_Rise + Signed() * m_Jitter);
    p->velocity.z = static_cast<float>(Signed() * m_Jitter);
    list.Append(std::move(p));
}

void CParticleEmitter::EmitRing(CParticleList& list, double x, double z, double now) const
{
    for (std::uint32_t i = 0; i < m_Count; ++i)
    {
        const double angle = static_cast<double>(i) / static_cast<double>(m_Count) * kTwoPi;
        auto p = NewParticle(now);
        p->position = {static_cast<float>(x), static_cast<float>(m_Height), static_cast<float>(z)};
        p->velocity = {static_cast<float>(std::sin(angle) * m_Jitter), static_cast<float>(m_Rise),
                       static_cast<float>(std::cos(angle) * m_Jitter)};
        list.Append(std::move(p));
    }
}

void CParticleEmitter::EmitBurst(CParticleList& list, double x, double z, double now) const
{
    for (std::uint32_t i = 0; i < m_Count; ++i)
    {
        auto p = NewParticle(now);
        p->position = {static_cast<float>(x), static_cast<float>(m_Height), static_cast<float>(z)};
        p->velocity.x = static_cast<float>(Signed() * m_Jitter);
        p->velocity.y = static_cast<float>(m_Rise + Signed() * m_Jitter);
        p->velocity.z = static_cast<float>(Signed() * m_Jitter);
        list.Append(std::move(p));
    }
}

void CParticleEmitter::DrawParticle(const CParticle& particle, gfx::Sprite& sprite) const
{
    // Particles of no lifetime have ended; they have no size or colour.
    if (!(m_Lifetime > 0.0))
        return;
    const double t = (particle.lastUpdateTime - particle.birthTime) / m_Lifetime;
    const float size = static_cast<float>(m_StartSize + (m_EndSize - m_StartSize) * t);
    m_Texture->Draw(size, LerpColor(t, m_StartColor, m_EndColor), particle.position, sprite);
}

} // namespace VARDGraph
