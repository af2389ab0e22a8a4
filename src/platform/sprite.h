#pragma once

#include "platform/device.h"
#include "platform/gfx_math.h"
#include "platform/rect.h"

#include <cstdint>
#include <vector>

namespace gfx
{

enum : std::uint32_t
{
    // Quads face the camera at their world-space point (SetWorldViewRH).
    kSpriteBillboard = 0x08,
    // Alpha blending (source alpha, inverse source alpha) and an alpha test
    // that drops fully transparent pixels. Without it the blend state is
    // left as the caller set it.
    kSpriteAlphaBlend = 0x10,
    // The batch is drawn farthest first.
    kSpriteSortDepthBackToFront = 0x80,
};

// Textured quads batched between Begin and End. Each Draw takes the sprite
// transform of that moment: screen sprites put the quad's pixel corners
// (minus the centre, plus the position) through it into window pixels, the
// transform's z giving the depth 0..1; billboards put the same corners
// through it and lay the result, around the transformed origin, flat in
// front of the camera (x right, y up) at that origin's place in the world.
// Begin saves the device's render states and sets the sprite's own (no
// lighting, no culling, clamped linear sampling, texture alpha times the
// colour's); End draws the batch with the states in force then and restores
// the saved ones. Textures must stay alive until End.
class Sprite
{
public:
    explicit Sprite(Device& device);
    ~Sprite() = default;

    void Begin(std::uint32_t flags);
    // Draws the batch now; the sprite stays begun.
    void Flush();
    void End();
    bool IsBegun() const { return m_Begun; }

    void SetTransform(const Matrix& transform) { m_Transform = transform; }
    const Matrix& GetTransform() const { return m_Transform; }
    // The world and view of billboards.
    void SetWorldViewRH(const Matrix& world, const Matrix& view);

    // source: the texels drawn (all when null); centre: the point of the
    // quad that sits at position (origin when null); position: where
    // (origin when null). colour 0xAARRGGBB tints the texels.
    void Draw(const Texture& texture, const Rect* source, const Vec3* centre, const Vec3* position,
              std::uint32_t colour);

private:
    struct Quad
    {
        const Texture* texture;
        float depth;
        SpriteVertex corners[4];
    };

    Device& m_Device;
    bool m_Begun = false;
    std::uint32_t m_Flags = 0;
    RenderStates m_Saved;
    Matrix m_Transform = Matrix::Identity();
    Matrix m_World = Matrix::Identity();
    Matrix m_View = Matrix::Identity();
    std::vector<Quad> m_Quads;
    std::vector<SpriteVertex> m_Vertices;
};

} // namespace gfx
