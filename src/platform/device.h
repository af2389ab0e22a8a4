#pragma once

#include "platform/gfx_math.h"
#include "platform/image.h"
#include "platform/material.h"
#include "platform/mesh.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <vector>

namespace platform
{
class GlContext;
}

namespace gfx
{

class Device;

// A texture on the GPU. Level 0 has the size of the image it was made from.
class Texture
{
public:
    ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    std::uint32_t GetWidth() const { return m_Width; }
    std::uint32_t GetHeight() const { return m_Height; }
    std::uint32_t GetLevelCount() const { return m_Levels; }
    std::uint32_t GetName() const { return m_Name; }
    // Every texel's alpha is 255.
    bool IsOpaque() const { return m_Opaque; }
    // The only texel of a texture of one, as 0xAARRGGBB; 0 for larger ones.
    std::uint32_t GetSingleTexel() const { return m_SingleTexel; }

private:
    friend class Device;
    Texture(std::weak_ptr<const bool> alive, std::uint32_t name, const Image& image,
            std::uint32_t levels);

    std::weak_ptr<const bool> m_Alive;
    std::uint32_t m_Name;
    std::uint32_t m_Width;
    std::uint32_t m_Height;
    std::uint32_t m_Levels;
    bool m_Opaque = false;
    std::uint32_t m_SingleTexel = 0;
};

// Vertices on the GPU in one of the mesh layouts, written whole or in part.
class VertexBuffer
{
public:
    ~VertexBuffer();
    VertexBuffer(const VertexBuffer&) = delete;
    VertexBuffer& operator=(const VertexBuffer&) = delete;

    VertexLayout GetLayout() const { return m_Layout; }
    std::uint32_t GetVertexCount() const { return m_Count; }
    // Writes vertices from the first one on; more than the buffer holds is
    // gfx::Error.
    void Write(std::span<const MeshVertex> vertices);

private:
    friend class Device;
    VertexBuffer(std::weak_ptr<const bool> alive, VertexLayout layout, std::uint32_t count);

    std::weak_ptr<const bool> m_Alive;
    VertexLayout m_Layout;
    std::uint32_t m_Count;
    std::uint32_t m_Array = 0;
    std::uint32_t m_Buffer = 0;
};

enum class TransformState : std::uint8_t
{
    World,
    View,
    Projection,
    Texture0,
};

enum class LightType : std::uint8_t
{
    Point,
    Directional,
};

// A light in world space. Point lights reach range units and fade by
// 1 / (attenuation0 + attenuation1 d + attenuation2 d²); directional lights
// shine along direction everywhere.
struct Light
{
    LightType type = LightType::Directional;
    ColorValue diffuse{1.0f, 1.0f, 1.0f, 0.0f};
    ColorValue specular;
    ColorValue ambient;
    Vec3 position;
    Vec3 direction{0.0f, 0.0f, 1.0f};
    float range = 0.0f;
    float falloff = 0.0f;
    float attenuation0 = 0.0f;
    float attenuation1 = 0.0f;
    float attenuation2 = 0.0f;
};

// Which faces are dropped, by their winding as seen on the screen.
enum class CullMode : std::uint8_t
{
    None,
    Clockwise,
    CounterClockwise,
};

enum class BlendFactor : std::uint8_t
{
    Zero,
    One,
    SourceAlpha,
    InverseSourceAlpha,
};

enum class TextureFilter : std::uint8_t
{
    None,
    Point,
    Linear,
};

enum class TextureAddress : std::uint8_t
{
    Wrap,
    Clamp,
};

enum class PrimitiveType : std::uint8_t
{
    TriangleList,
    TriangleStrip,
};

// Everything the draws read besides transforms, lights, material and
// texture. The defaults are those of a fresh device.
struct RenderStates
{
    bool zEnable = true;
    bool zWriteEnable = true;
    bool lighting = true;
    bool normalizeNormals = false;
    bool specularEnable = false;
    CullMode cullMode = CullMode::CounterClockwise;
    bool alphaBlendEnable = false;
    BlendFactor sourceBlend = BlendFactor::One;
    BlendFactor destinationBlend = BlendFactor::Zero;
    // Drops pixels whose alpha is not above alphaRef / 255.
    bool alphaTestEnable = false;
    std::uint8_t alphaRef = 0;
    // 0xAARRGGBB, added to every lit vertex times the material's ambient.
    std::uint32_t ambient = 0;
    // Texture coordinates (u, v, 1, 0) pass through the texture-0 transform.
    bool textureTransform0 = false;
    // Stage 0 takes alpha from the texture alone, or the texture's times the
    // vertex colour's (sprites).
    bool modulateAlpha = false;
    TextureFilter magFilter = TextureFilter::Point;
    TextureFilter minFilter = TextureFilter::Point;
    TextureFilter mipFilter = TextureFilter::None;
    TextureAddress addressU = TextureAddress::Wrap;
    TextureAddress addressV = TextureAddress::Wrap;

    bool operator==(const RenderStates&) const = default;
};

struct DeviceCaps
{
    std::uint32_t maxActiveLights = 0;
};

enum : std::uint32_t
{
    kClearTarget = 1,
    kClearZBuffer = 2,
};

constexpr std::uint32_t kMaxActiveLights = 8;

// What the sprites hand the device: positions already in the space that the
// matrix given with them turns into clip space, a colour and texture
// coordinates.
struct SpriteVertex
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float u = 0.0f;
    float v = 0.0f;
    std::uint32_t colour = 0; // 0xAARRGGBB
};

// Told of every subset draw with the world transform then in force, so that
// tools and tests can see what a frame drew without reading pixels back.
class DrawRecorder
{
public:
    virtual void SubsetDrawn(const Mesh& mesh, std::uint32_t attribute, const Matrix& world) = 0;

protected:
    ~DrawRecorder() = default;
};

// The drawing device over an OpenGL 3.3 core context. It keeps the fixed
// pipeline state the drawing code sets (transforms in the row-vector
// convention, lights, material, render and sampler states, texture stage 0)
// and evaluates it in one shader pair. Frames are drawn into a back buffer
// of its own, so they can be read back whether or not a window shows them.
// The context must be current whenever the device or anything it made is
// used or destroyed; destroy the device before the context.
class Device
{
public:
    Device(platform::GlContext& context, std::uint32_t width, std::uint32_t height);
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    // New back buffer size; the viewport becomes the whole of it.
    void Reset(std::uint32_t width, std::uint32_t height);
    std::uint32_t GetWidth() const { return m_Width; }
    std::uint32_t GetHeight() const { return m_Height; }
    DeviceCaps GetCaps() const { return {m_MaxActiveLights}; }
    // Reports fewer active lights than the device has, as a smaller card
    // would (at most kMaxActiveLights).
    void LimitActiveLights(std::uint32_t count);

    // Clears the viewport: colour 0xAARRGGBB and/or depth.
    void Clear(std::uint32_t flags, std::uint32_t colour, float z);
    void BeginScene();
    void EndScene();
    // Shows the back buffer in the context's window.
    void Present();

    void SetTransform(TransformState state, const Matrix& matrix);
    const Matrix& GetTransform(TransformState state) const;
    void SetViewport(const Viewport& viewport);
    const Viewport& GetViewport() const { return m_Viewport; }

    const RenderStates& GetRenderStates() const { return m_States; }
    void SetRenderStates(const RenderStates& states) { m_States = states; }
    void SetZEnable(bool enable) { m_States.zEnable = enable; }
    void SetZWriteEnable(bool enable) { m_States.zWriteEnable = enable; }
    void SetLighting(bool enable) { m_States.lighting = enable; }
    void SetNormalizeNormals(bool enable) { m_States.normalizeNormals = enable; }
    void SetSpecularEnable(bool enable) { m_States.specularEnable = enable; }
    void SetCullMode(CullMode mode) { m_States.cullMode = mode; }
    void SetAlphaBlendEnable(bool enable) { m_States.alphaBlendEnable = enable; }
    void SetBlend(BlendFactor source, BlendFactor destination);
    void SetAlphaTest(bool enable, std::uint8_t reference);
    void SetAmbient(std::uint32_t colour) { m_States.ambient = colour; }
    void SetTextureTransform0(bool enable) { m_States.textureTransform0 = enable; }
    void SetSamplerFilter(TextureFilter mag, TextureFilter min, TextureFilter mip);
    void SetSamplerAddress(TextureAddress u, TextureAddress v);

    // Any index below kMaxLightSlots; enabling more than kMaxActiveLights
    // at once is gfx::Error.
    void SetLight(std::uint32_t index, const Light& light);
    const Light& GetLight(std::uint32_t index) const;
    void LightEnable(std::uint32_t index, bool enable);
    bool IsLightEnabled(std::uint32_t index) const;
    static constexpr std::uint32_t kMaxLightSlots = 256;

    void SetMaterial(const Material& material) { m_Material = material; }
    const Material& GetMaterial() const { return m_Material; }

    // Stage 0's texture, or none (then the texture reads as opaque white).
    // The device does not keep it alive.
    void SetTexture(const Texture* texture) { m_Texture = texture; }
    const Texture* GetTexture() const { return m_Texture; }

    // The image on the GPU, with its whole chain of smaller levels when asked.
    std::shared_ptr<Texture> CreateTexture(const Image& image, bool mipmaps = true);
    std::shared_ptr<VertexBuffer> CreateVertexBuffer(VertexLayout layout, std::uint32_t count);

    // Draws from the stream source set last (which must stay alive).
    void SetStreamSource(const VertexBuffer* buffer) { m_Stream = buffer; }
    void DrawPrimitive(PrimitiveType type, std::uint32_t startVertex, std::uint32_t primitiveCount);
    // The faces of one attribute; the mesh is uploaded on first use and again
    // whenever it changed.
    void DrawSubset(const Mesh& mesh, std::uint32_t attribute);
    // Null stops the recording; the recorder must outlive its use.
    void SetDrawRecorder(DrawRecorder* recorder) { m_Recorder = recorder; }

    // Between these two, subset draws that follow one another with the same
    // mesh, subset, states, material, texture and lights, differing only in
    // their world transform, reach the GPU as one instanced draw with the
    // pixels of the single draws. Any other drawing, clear, read-back or
    // present sends what was collected first, and so does EndBatch; the
    // textures drawn with must live until then. The recorder still hears of
    // every subset draw.
    void BeginBatch();
    void EndBatch();
    bool IsBatching() const { return m_Batching; }
    // Draw calls sent to the GPU so far: each range of faces, each instanced
    // draw and each primitive or sprite draw counts one.
    std::uint64_t GetDrawCallCount() const { return m_DrawCalls; }

    // Exact shortcuts, on by default: no blending of sources that are wholly
    // opaque, a texture of one texel read as a constant instead of being
    // sampled, and no vertex colour where it is white. Off, every draw takes
    // the general path (for tests that hold the two to the same pixels).
    void SetShortcuts(bool enable) { m_Shortcuts = enable; }
    bool GetShortcuts() const { return m_Shortcuts; }

    // The colour that a source of one colour, blended by its alpha (source
    // alpha, inverse source alpha) and taken unlit, leaves over a target of
    // one colour, as this device's blending computes it (both 0xAARRGGBB).
    // Worked out on the GPU once for each pair, then remembered.
    std::uint32_t BlendConstant(std::uint32_t target, std::uint32_t source);

    // Fragment counts by the pass the drawing code says it is in, for
    // benchmarks and tools: samples that passed the depth test, and the
    // fragment shader's invocations where the driver can count them (else
    // 0). The pass is any number below kSamplePasses; drawing starts in
    // pass 0. Counting waits on the GPU whenever the pass changes.
    static constexpr std::uint32_t kSamplePasses = 8;
    struct SampleCounts
    {
        std::array<std::uint64_t, kSamplePasses> passed{};
        std::array<std::uint64_t, kSamplePasses> shaded{};
    };
    void CountSamples(bool enable);
    bool IsCountingSamples() const { return m_Counting; }
    void SetSamplePass(std::uint32_t pass);
    std::uint32_t GetSamplePass() const { return m_SamplePass; }
    // The counts since counting began or since the last take, which they
    // restart.
    SampleCounts TakeSampleCounts();

    // Sprite quads, six vertices each: lighting off, colour from the vertices,
    // the current render and sampler states; toClip takes the positions to
    // clip space (depth 0..1 as the projections give it).
    void DrawSpriteTriangles(std::span<const SpriteVertex> vertices, const Texture& texture,
                             const Matrix& toClip);

    // The back buffer, top row first.
    Image ReadPixels();

private:
    struct Program;
    struct MeshData;
    struct DrawUniforms;
    struct Batch;

    void CreateBackBuffer();
    void DestroyBackBuffer();
    void ApplyStates(bool vertexColour = false);
    void ApplyStates(const RenderStates& states, const Viewport& viewport, const Texture* texture,
                     bool vertexColour = false);
    void ApplyGeometryUniforms(bool sprite, const Matrix& toClip);
    void ComputeUniforms(DrawUniforms& uniforms) const;
    void UploadUniforms(const DrawUniforms& uniforms);
    void DrawRanges(const MeshData& data, std::uint32_t attribute, std::uint32_t instances);
    void FlushBatch();
    void Unbind();
    // Sprite vertices through the sprite buffer, with the states and
    // uniforms already applied.
    void DrawSpriteVertices(std::span<const SpriteVertex> vertices);
    void BeginCounting();
    void EndCounting();

    platform::GlContext& m_Context;
    std::shared_ptr<const bool> m_Alive;
    // By variant: bit 0 constant texel, bit 1 alpha test, bit 2 unlit.
    std::array<std::unique_ptr<Program>, 8> m_Programs;
    Program* m_Program = nullptr;
    bool m_Shortcuts = true;
    std::uint32_t m_Width = 0;
    std::uint32_t m_Height = 0;
    std::uint32_t m_Framebuffer = 0;
    std::uint32_t m_ColourBuffer = 0;
    std::uint32_t m_DepthBuffer = 0;
    std::uint32_t m_Sampler = 0;
    std::uint32_t m_SpriteArray = 0;
    std::uint32_t m_SpriteBuffer = 0;
    std::size_t m_SpriteBufferSize = 0;
    std::uint32_t m_InstanceBuffer = 0;
    // A target of one pixel for BlendConstant, made on first use.
    std::uint32_t m_ScratchFramebuffer = 0;
    std::uint32_t m_ScratchColour = 0;
    std::map<std::uint64_t, std::uint32_t> m_Blended;
    bool m_InScene = false;
    bool m_Batching = false;
    std::unique_ptr<Batch> m_Batch;
    std::uint64_t m_DrawCalls = 0;
    bool m_Counting = false;
    bool m_CountShaded = false;
    std::uint32_t m_SamplePass = 0;
    std::array<std::uint32_t, 2> m_Queries{};
    SampleCounts m_SampleCounts;

    std::array<Matrix, 4> m_Transforms;
    Viewport m_Viewport;
    RenderStates m_States;
    std::vector<Light> m_Lights;
    std::vector<bool> m_LightEnabled;
    Material m_Material;
    const Texture* m_Texture = nullptr;
    const VertexBuffer* m_Stream = nullptr;
    DrawRecorder* m_Recorder = nullptr;
    std::uint32_t m_MaxActiveLights = kMaxActiveLights;
};

} // namespace gfx
