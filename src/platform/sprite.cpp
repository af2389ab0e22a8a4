#include "platform/sprite.h"

#include "platform/gfx_error.h"

#include <algorithm>

namespace gfx
{

Sprite::Sprite(Device& device) : m_Device(device) {}

void Sprite::Begin(std::uint32_t flags)
{
    if (m_Begun)
        throw Error("sprite begun twice");
    m_Begun = true;
    m_Flags = flags;
    m_Saved = m_Device.GetRenderStates();
    m_Device.SetLighting(false);
    m_Device.SetCullMode(CullMode::None);
    m_Device.SetTextureTransform0(false);
    m_Device.SetSamplerFilter(TextureFilter::Linear, TextureFilter::Linear, TextureFilter::Linear);
    m_Device.SetSamplerAddress(TextureAddress::Clamp, TextureAddress::Clamp);
    RenderStates states = m_Device.GetRenderStates();
    states.modulateAlpha = true;
    m_Device.SetRenderStates(states);
    if (flags & kSpriteAlphaBlend)
    {
        m_Device.SetAlphaBlendEnable(true);
        m_Device.SetBlend(BlendFactor::SourceAlpha, BlendFactor::InverseSourceAlpha);
        m_Device.SetAlphaTest(true, 0);
    }
}

void Sprite::SetWorldViewRH(const Matrix& world, const Matrix& view)
{
    m_World = world;
    m_View = view;
}

void Sprite::Draw(const Texture& texture, const Rect* source, const Vec3* centre,
                  const Vec3* position, std::uint32_t colour)
{
    if (!m_Begun)
        throw Error("sprite drawn outside Begin and End");
    const Rect whole{0, 0, static_cast<std::int32_t>(texture.GetWidth()),
                     static_cast<std::int32_t>(texture.GetHeight())};
    const Rect r = source ? *source : whole;
    const Vec3 c = centre ? *centre : Vec3{};
    const Vec3 p = position ? *position : Vec3{};
    const float w = static_cast<float>(r.Width());
    const float h = static_cast<float>(r.Height());
    const float tw = static_cast<float>(texture.GetWidth());
    const float th = static_cast<float>(texture.GetHeight());
    const float u0 = static_cast<float>(r.left) / tw;
    const float v0 = static_cast<float>(r.top) / th;
    const float u1 = static_cast<float>(r.right) / tw;
    const float v1 = static_cast<float>(r.bottom) / th;
    const float xs[4] = {0.0f, w, 0.0f, w};
    const float ys[4] = {0.0f, 0.0f, h, h};
    const float us[4] = {u0, u1, u0, u1};
    const float vs[4] = {v0, v0, v1, v1};

    Quad quad{&texture, 0.0f, {}};
    if (m_Flags & kSpriteBillboard)
    {
        // The transformed origin is the quad's place; the corners keep their
        // offsets from it, laid in the camera's plane.
        const Vec3 anchor = TransformCoord(Vec3{}, m_Transform);
        const Vec3 at = TransformCoord(anchor, m_World * m_View);
        for (int i = 0; i < 4; ++i)
        {
            const Vec3 offset =
                TransformCoord(Vec3{xs[i], ys[i], 0.0f} - c + p, m_Transform) - anchor;
            quad.corners[i] = {at.x + offset.x, at.y + offset.y, at.z, us[i], vs[i], colour};
        }
        quad.depth = at.z;
    }
    else
    {
        for (int i = 0; i < 4; ++i)
        {
            const Vec3 at = TransformCoord(Vec3{xs[i], ys[i], 0.0f} - c + p, m_Transform);
            quad.corners[i] = {at.x, at.y, at.z, us[i], vs[i], colour};
        }
    }
    m_Quads.push_back(quad);
}

void Sprite::Flush()
{
    if (!m_Begun)
        throw Error("sprite flushed outside Begin and End");
    if (m_Quads.empty())
        return;
    // Camera space looks down -z: the farthest quad has the smallest z.
    if ((m_Flags & kSpriteBillboard) && (m_Flags & kSpriteSortDepthBackToFront))
        std::stable_sort(m_Quads.begin(), m_Quads.end(),
                         [](const Quad& a, const Quad& b) { return a.depth < b.depth; });
    Matrix toClip;
    if (m_Flags & kSpriteBillboard)
    {
        toClip = m_Device.GetTransform(TransformState::Projection);
    }
    else
    {
        // Window pixels of the viewport (y down) to clip space; depth as given.
        const Viewport& viewport = m_Device.GetViewport();
        toClip = Matrix::Identity();
        toClip.m[0][0] = 2.0f / static_cast<float>(viewport.width);
        toClip.m[1][1] = -2.0f / static_cast<float>(viewport.height);
        toClip.m[3][0] = -1.0f;
        toClip.m[3][1] = 1.0f;
    }
    std::size_t first = 0;
    while (first < m_Quads.size())
    {
        std::size_t last = first;
        m_Vertices.clear();
        while (last < m_Quads.size() && m_Quads[last].texture == m_Quads[first].texture)
        {
            const SpriteVertex* q = m_Quads[last].corners;
            m_Vertices.insert(m_Vertices.end(), {q[0], q[1], q[2], q[2], q[1], q[3]});
            ++last;
        }
        m_Device.DrawSpriteTriangles(m_Vertices, *m_Quads[first].texture, toClip);
        first = last;
    }
    m_Quads.clear();
}

void Sprite::End()
{
    if (!m_Begun)
        throw Error("sprite ended without Begin");
    Flush();
    m_Device.SetRenderStates(m_Saved);
    m_Begun = false;
}

} // namespace gfx
