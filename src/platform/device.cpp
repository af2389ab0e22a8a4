#include "platform/device.h"

#include "platform/device_shaders.h"
#include "platform/gfx_error.h"
#include "platform/gl_context.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <type_traits>

namespace gfx
{

namespace
{

// Asks whether the context the object was made in is still there: objects
// that outlive their device leave the deleting to the context's end.
bool Alive(const std::weak_ptr<const bool>& alive)
{
    return !alive.expired();
}

ColorValue FromArgb(std::uint32_t argb)
{
    return {static_cast<float>((argb >> 16) & 0xFF) / 255.0f,
            static_cast<float>((argb >> 8) & 0xFF) / 255.0f,
            static_cast<float>(argb & 0xFF) / 255.0f,
            static_cast<float>((argb >> 24) & 0xFF) / 255.0f};
}

GLenum BlendFactorOf(BlendFactor factor)
{
    switch (factor)
    {
    case BlendFactor::Zero:
        return GL_ZERO;
    case BlendFactor::One:
        return GL_ONE;
    case BlendFactor::SourceAlpha:
        return GL_SRC_ALPHA;
    case BlendFactor::InverseSourceAlpha:
        return GL_ONE_MINUS_SRC_ALPHA;
    }
    return GL_ONE;
}

GLint MinFilterOf(TextureFilter min, TextureFilter mip)
{
    const bool linear = min == TextureFilter::Linear;
    switch (mip)
    {
    case TextureFilter::None:
        return linear ? GL_LINEAR : GL_NEAREST;
    case TextureFilter::Point:
        return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    case TextureFilter::Linear:
        return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    }
    return GL_NEAREST;
}

GLint AddressOf(TextureAddress address)
{
    return address == TextureAddress::Wrap ? GL_REPEAT : GL_CLAMP_TO_EDGE;
}

// Four bytes of an RGBA image as 0xAARRGGBB.
std::uint32_t ArgbOfRgba(const std::uint8_t* rgba)
{
    return std::uint32_t{rgba[3]} << 24 | std::uint32_t{rgba[0]} << 16 |
           std::uint32_t{rgba[1]} << 8 | rgba[2];
}

GLuint CompileShader(GLenum kind, const std::string& text)
{
    const GLuint shader = glCreateShader(kind);
    const char* source = text.c_str();
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE)
    {
        char log[1024] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        glDeleteShader(shader);
        throw Error(std::string("shader does not compile: ") + log);
    }
    return shader;
}

void SetUpMeshAttributes(VertexLayout layout)
{
    const GLsizei stride = static_cast<GLsizei>(VertexStride(layout));
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(3 * sizeof(float)));
    if (layout == VertexLayout::PositionNormalTexture)
    {
        glEnableVertexAttribArray(2);
        glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride,
                              reinterpret_cast<const void*>(6 * sizeof(float)));
    }
}

void PackInto(std::vector<float>& packed, std::span<const MeshVertex> vertices, VertexLayout layout)
{
    const bool withUv = layout == VertexLayout::PositionNormalTexture;
    packed.clear();
    packed.reserve(vertices.size() * (withUv ? 8 : 6));
    for (const MeshVertex& v : vertices)
    {
        packed.insert(packed.end(), {v.position.x, v.position.y, v.position.z, v.normal.x,
                                     v.normal.y, v.normal.z});
        if (withUv)
            packed.insert(packed.end(), {v.uv.x, v.uv.y});
    }
}

} // namespace

// ---------------------------------------------------------------------------
// Texture and vertex buffer

Texture::Texture(std::weak_ptr<const bool> alive, std::uint32_t name, const Image& image,
                 std::uint32_t levels)
    : m_Alive(std::move(alive)), m_Name(name), m_Width(image.width), m_Height(image.height),
      m_Levels(levels)
{
    m_Opaque = true;
    for (std::size_t i = 3; i < image.pixels.size(); i += 4)
        if (image.pixels[i] != 255)
        {
            m_Opaque = false;
            break;
        }
    if (image.width == 1 && image.height == 1)
        m_SingleTexel = ArgbOfRgba(image.pixels.data());
}

Texture::~Texture()
{
    if (Alive(m_Alive))
    {
        const GLuint name = m_Name;
        glDeleteTextures(1, &name);
    }
}

VertexBuffer::VertexBuffer(std::weak_ptr<const bool> alive, VertexLayout layout,
                           std::uint32_t count)
    : m_Alive(std::move(alive)), m_Layout(layout), m_Count(count)
{
    GLuint array = 0;
    GLuint buffer = 0;
    glGenVertexArrays(1, &array);
    glGenBuffers(1, &buffer);
    m_Array = array;
    m_Buffer = buffer;
    glBindVertexArray(array);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count) * VertexStride(layout), nullptr,
                 GL_DYNAMIC_DRAW);
    SetUpMeshAttributes(layout);
    glBindVertexArray(0);
}

VertexBuffer::~VertexBuffer()
{
    if (Alive(m_Alive))
    {
        const GLuint array = m_Array;
        const GLuint buffer = m_Buffer;
        glDeleteVertexArrays(1, &array);
        glDeleteBuffers(1, &buffer);
    }
}

void VertexBuffer::Write(std::span<const MeshVertex> vertices)
{
    if (vertices.size() > m_Count)
        throw Error("vertex buffer: " + std::to_string(vertices.size()) + " vertices for " +
                    std::to_string(m_Count));
    std::vector<float> packed;
    PackInto(packed, vertices, m_Layout);
    glBindBuffer(GL_ARRAY_BUFFER, m_Buffer);
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(packed.size() * sizeof(float)),
                    packed.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

// ---------------------------------------------------------------------------
// The shader program and its uniforms

struct Device::Program
{
    static constexpr std::uint32_t kConstantTexel = 1;
    static constexpr std::uint32_t kAlphaTest = 2;
    static constexpr std::uint32_t kUnlit = 4;

    GLuint name = 0;
    GLint worldView, projection, normalMatrix, instanced, lighting, vertexColour, normalize,
        specular;
    GLint ambient, matDiffuse, matAmbient, matSpecular, matEmissive, matPower;
    GLint lightCount, lightType, lightPosition, lightDirection, lightDiffuse, lightSpecular;
    GLint lightAmbient, lightRange, lightAttenuation;
    GLint textureTransform, textureMatrix, texture, texel, modulateAlpha, alphaRef;

    explicit Program(std::uint32_t variant)
    {
        const GLuint vertex =
            CompileShader(GL_VERTEX_SHADER, std::string(shaders::kVersion) + shaders::kVertex);
        GLuint fragment = 0;
        try
        {
            std::string source = shaders::kVersion;
            if (variant & kConstantTexel)
                source += "#define CONSTANT_TEXEL\n";
            if (variant & kAlphaTest)
                source += "#define ALPHA_TEST\n";
            if (variant & kUnlit)
                source += "#define UNLIT\n";
            fragment = CompileShader(GL_FRAGMENT_SHADER, source + shaders::kFragment);
        }
        catch (...)
        {
            glDeleteShader(vertex);
            throw;
        }
        name = glCreateProgram();
        glAttachShader(name, vertex);
        glAttachShader(name, fragment);
        glLinkProgram(name);
        glDeleteShader(vertex);
        glDeleteShader(fragment);
        GLint ok = GL_FALSE;
        glGetProgramiv(name, GL_LINK_STATUS, &ok);
        if (ok != GL_TRUE)
        {
            char log[1024] = {};
            glGetProgramInfoLog(name, sizeof log, nullptr, log);
            glDeleteProgram(name);
            throw Error(std::string("shaders do not link: ") + log);
        }
        auto at = [this](const char* uniform) { return glGetUniformLocation(name, uniform); };
        worldView = at("uWorldView");
        projection = at("uProjection");
        normalMatrix = at("uNormalMatrix");
        instanced = at("uInstanced");
        lighting = at("uLighting");
        vertexColour = at("uVertexColour");
        normalize = at("uNormalize");
        specular = at("uSpecular");
        ambient = at("uAmbient");
        matDiffuse = at("uMatDiffuse");
        matAmbient = at("uMatAmbient");
        matSpecular = at("uMatSpecular");
        matEmissive = at("uMatEmissive");
        matPower = at("uMatPower");
        lightCount = at("uLightCount");
        lightType = at("uLightType");
        lightPosition = at("uLightPosition");
        lightDirection = at("uLightDirection");
        lightDiffuse = at("uLightDiffuse");
        lightSpecular = at("uLightSpecular");
        lightAmbient = at("uLightAmbient");
        lightRange = at("uLightRange");
        lightAttenuation = at("uLightAttenuation");
        textureTransform = at("uTextureTransform");
        textureMatrix = at("uTextureMatrix");
        texture = at("uTexture");
        texel = at("uTexel");
        modulateAlpha = at("uModulateAlpha");
        alphaRef = at("uAlphaRef");
    }

    ~Program() { glDeleteProgram(name); }
};

// A mesh's copy on the GPU, kept in the mesh's DeviceData.
struct Device::MeshData
{
    std::weak_ptr<const bool> alive;
    std::uint64_t revision = 0;
    GLuint array = 0;
    GLuint vertices = 0;
    GLuint indices = 0;
    bool narrow = false;
    // The mesh's runs of equal attribute, so that a draw need not find them.
    std::vector<FaceRange> table;

    ~MeshData()
    {
        if (Alive(alive))
        {
            glDeleteVertexArrays(1, &array);
            glDeleteBuffers(1, &vertices);
            glDeleteBuffers(1, &indices);
        }
    }
};

// Everything a subset draw hands the shaders, as uploaded. The first two
// members differ between the copies of an instanced draw; all members are
// four bytes wide, so the rest compares as bytes.
struct Device::DrawUniforms
{
    float worldView[16];
    float normalMatrix[9];
    float projection[16];
    float textureMatrix[16];
    GLint textureTransform;
    GLint lighting;
    GLint normalize;
    GLint specular;
    float ambient[4];
    float matDiffuse[4];
    float matAmbient[4];
    float matSpecular[4];
    float matEmissive[4];
    float matPower;
    GLint lightCount;
    GLint lightType[kMaxActiveLights];
    float lightPosition[kMaxActiveLights * 3];
    float lightDirection[kMaxActiveLights * 3];
    float lightDiffuse[kMaxActiveLights * 4];
    float lightSpecular[kMaxActiveLights * 4];
    float lightAmbient[kMaxActiveLights * 4];
    float lightRange[kMaxActiveLights];
    float lightAttenuation[kMaxActiveLights * 3];

    static constexpr std::size_t kPlacementFloats = 16 + 9;

    bool SameSettings(const DrawUniforms& other) const
    {
        constexpr std::size_t start = offsetof(DrawUniforms, projection);
        return std::memcmp(reinterpret_cast<const char*>(this) + start,
                           reinterpret_cast<const char*>(&other) + start,
                           sizeof(DrawUniforms) - start) == 0;
    }
};

// Subset draws collected for one instanced draw.
struct Device::Batch
{
    std::shared_ptr<MeshData> data;
    std::uint32_t attribute = 0;
    RenderStates states;
    Viewport viewport;
    const Texture* texture = nullptr;
    DrawUniforms uniforms{};
    // DrawUniforms::kPlacementFloats a copy; kept between batches.
    std::vector<float> placements;
    std::uint32_t count = 0;
};

// ---------------------------------------------------------------------------
// Device

Device::Device(platform::GlContext& context, std::uint32_t width, std::uint32_t height)
    : m_Context(context), m_Alive(std::make_shared<const bool>(true))
{
    m_Context.MakeCurrent();
    if (epoxy_gl_version() < 33)
        throw Error("OpenGL 3.3 is not available");
    m_Transforms.fill(Matrix::Identity());
    m_Lights.resize(kMaxLightSlots);
    m_LightEnabled.resize(kMaxLightSlots, false);
    for (std::uint32_t variant = 0; variant < m_Programs.size(); ++variant)
        m_Programs[variant] = std::make_unique<Program>(variant);
    m_Program = m_Programs[0].get();
    GLuint sampler = 0;
    glGenSamplers(1, &sampler);
    m_Sampler = sampler;
    GLuint array = 0;
    GLuint buffer = 0;
    glGenVertexArrays(1, &array);
    glGenBuffers(1, &buffer);
    m_SpriteArray = array;
    m_SpriteBuffer = buffer;
    glBindVertexArray(array);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    const GLsizei stride = sizeof(SpriteVertex);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, nullptr);
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(SpriteVertex, u)));
    // 0xAARRGGBB in memory is blue, green, red, alpha.
    glEnableVertexAttribArray(3);
    glVertexAttribPointer(3, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          reinterpret_cast<const void*>(offsetof(SpriteVertex, colour)));
    glBindVertexArray(0);
    GLuint instances = 0;
    glGenBuffers(1, &instances);
    m_InstanceBuffer = instances;
    m_Batch = std::make_unique<Batch>();
    Reset(width, height);
}

Device::~Device()
{
    if (m_Counting)
        EndCounting();
    if (m_Queries[0])
        glDeleteQueries(2, m_Queries.data());
    if (m_ScratchFramebuffer)
    {
        const GLuint framebuffer = m_ScratchFramebuffer;
        const GLuint colour = m_ScratchColour;
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteRenderbuffers(1, &colour);
    }
    DestroyBackBuffer();
    const GLuint sampler = m_Sampler;
    const GLuint array = m_SpriteArray;
    const GLuint buffer = m_SpriteBuffer;
    const GLuint instances = m_InstanceBuffer;
    m_Batch.reset();
    glDeleteSamplers(1, &sampler);
    glDeleteVertexArrays(1, &array);
    glDeleteBuffers(1, &buffer);
    glDeleteBuffers(1, &instances);
    m_Program = nullptr;
    for (auto& program : m_Programs)
        program.reset();
}

void Device::CreateBackBuffer()
{
    GLuint framebuffer = 0;
    GLuint buffers[2] = {};
    glGenFramebuffers(1, &framebuffer);
    glGenRenderbuffers(2, buffers);
    m_Framebuffer = framebuffer;
    m_ColourBuffer = buffers[0];
    m_DepthBuffer = buffers[1];
    glBindRenderbuffer(GL_RENDERBUFFER, m_ColourBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, static_cast<GLsizei>(m_Width),
                          static_cast<GLsizei>(m_Height));
    glBindRenderbuffer(GL_RENDERBUFFER, m_DepthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, static_cast<GLsizei>(m_Width),
                          static_cast<GLsizei>(m_Height));
    glBindFramebuffer(GL_FRAMEBUFFER, m_Framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                              m_ColourBuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                              m_DepthBuffer);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        throw Error("the back buffer cannot be made");
}

void Device::DestroyBackBuffer()
{
    if (!m_Framebuffer)
        return;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    const GLuint framebuffer = m_Framebuffer;
    const GLuint buffers[2] = {m_ColourBuffer, m_DepthBuffer};
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteRenderbuffers(2, buffers);
    m_Framebuffer = m_ColourBuffer = m_DepthBuffer = 0;
}

void Device::Reset(std::uint32_t width, std::uint32_t height)
{
    if (width == 0 || height == 0 || width > 16384 || height > 16384)
        throw Error("back buffer size " + std::to_string(width) + " x " + std::to_string(height));
    FlushBatch();
    DestroyBackBuffer();
    m_Width = width;
    m_Height = height;
    CreateBackBuffer();
    m_Viewport = {0, 0, width, height, 0.0f, 1.0f};
    m_InScene = false;
}

void Device::Clear(std::uint32_t flags, std::uint32_t colour, float z)
{
    FlushBatch();
    glBindFramebuffer(GL_FRAMEBUFFER, m_Framebuffer);
    glEnable(GL_SCISSOR_TEST);
    glScissor(static_cast<GLint>(m_Viewport.x),
              static_cast<GLint>(m_Height) - static_cast<GLint>(m_Viewport.y + m_Viewport.height),
              static_cast<GLsizei>(m_Viewport.width), static_cast<GLsizei>(m_Viewport.height));
    GLbitfield mask = 0;
    if (flags & kClearTarget)
    {
        const ColorValue c = FromArgb(colour);
        glClearColor(c.r, c.g, c.b, c.a);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & kClearZBuffer)
    {
        glClearDepth(std::clamp(z, 0.0f, 1.0f));
        glDepthMask(GL_TRUE);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (mask)
        glClear(mask);
    glDisable(GL_SCISSOR_TEST);
}

void Device::BeginScene()
{
    if (m_InScene)
        throw Error("BeginScene inside a scene");
    m_InScene = true;
}

void Device::EndScene()
{
    if (!m_InScene)
        throw Error("EndScene outside a scene");
    FlushBatch();
    m_InScene = false;
}

void Device::Present()
{
    FlushBatch();
    int width = 0;
    int height = 0;
    m_Context.GetDrawableSize(width, height);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_Framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBlitFramebuffer(0, 0, static_cast<GLint>(m_Width), static_cast<GLint>(m_Height), 0,
                      height - static_cast<GLint>(m_Height), static_cast<GLint>(m_Width), height,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
    m_Context.SwapBuffers();
    glBindFramebuffer(GL_FRAMEBUFFER, m_Framebuffer);
}

void Device::SetTransform(TransformState state, const Matrix& matrix)
{
    m_Transforms[static_cast<std::size_t>(state)] = matrix;
}

const Matrix& Device::GetTransform(TransformState state) const
{
    return m_Transforms[static_cast<std::size_t>(state)];
}

void Device::SetViewport(const Viewport& viewport)
{
    if (viewport.width == 0 || viewport.height == 0 ||
        static_cast<std::uint64_t>(viewport.x) + viewport.width > m_Width ||
        static_cast<std::uint64_t>(viewport.y) + viewport.height > m_Height ||
        !(viewport.minZ >= 0.0f && viewport.minZ <= viewport.maxZ && viewport.maxZ <= 1.0f))
        throw Error("viewport outside the back buffer");
    m_Viewport = viewport;
}

void Device::SetBlend(BlendFactor source, BlendFactor destination)
{
    m_States.sourceBlend = source;
    m_States.destinationBlend = destination;
}

void Device::SetAlphaTest(bool enable, std::uint8_t reference)
{
    m_States.alphaTestEnable = enable;
    m_States.alphaRef = reference;
}

void Device::SetSamplerFilter(TextureFilter mag, TextureFilter min, TextureFilter mip)
{
    m_States.magFilter = mag;
    m_States.minFilter = min;
    m_States.mipFilter = mip;
}

void Device::SetSamplerAddress(TextureAddress u, TextureAddress v)
{
    m_States.addressU = u;
    m_States.addressV = v;
}

void Device::SetLight(std::uint32_t index, const Light& light)
{
    if (index >= kMaxLightSlots)
        throw Error("light index " + std::to_string(index) + " out of range");
    if (light.type == LightType::Point && !(light.range >= 0.0f))
        throw Error("point light with a negative range");
    m_Lights[index] = light;
}

const Light& Device::GetLight(std::uint32_t index) const
{
    if (index >= kMaxLightSlots)
        throw Error("light index " + std::to_string(index) + " out of range");
    return m_Lights[index];
}

void Device::LightEnable(std::uint32_t index, bool enable)
{
    if (index >= kMaxLightSlots)
        throw Error("light index " + std::to_string(index) + " out of range");
    if (enable && !m_LightEnabled[index] &&
        std::count(m_LightEnabled.begin(), m_LightEnabled.end(), true) >=
            static_cast<std::ptrdiff_t>(kMaxActiveLights))
        throw Error("more than " + std::to_string(kMaxActiveLights) + " lights enabled");
    m_LightEnabled[index] = enable;
}

void Device::LimitActiveLights(std::uint32_t count)
{
    m_MaxActiveLights = std::min(count, kMaxActiveLights);
}

bool Device::IsLightEnabled(std::uint32_t index) const
{
    return index < kMaxLightSlots && m_LightEnabled[index];
}

std::shared_ptr<Texture> Device::CreateTexture(const Image& image, bool mipmaps)
{
    if (image.width == 0 || image.height == 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 4)
        throw Error("texture from an empty or inconsistent image");
    std::uint32_t levels = 1;
    if (mipmaps)
        for (std::uint32_t side = std::max(image.width, image.height); side > 1; side /= 2)
            ++levels;
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // Rows go up from the top, so texture coordinate v = 0 is the image's
    // top row as the drawing code expects.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(image.width),
                 static_cast<GLsizei>(image.height), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 image.pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels - 1));
    if (levels > 1)
        glGenerateMipmap(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
    return std::shared_ptr<Texture>(new Texture(m_Alive, name, image, levels));
}

std::shared_ptr<VertexBuffer> Device::CreateVertexBuffer(VertexLayout layout, std::uint32_t count)
{
    if (count == 0 || count > (1u << 24))
        throw Error("vertex buffer of " + std::to_string(count) + " vertices");
    return std::shared_ptr<VertexBuffer>(new VertexBuffer(m_Alive, layout, count));
}

void Device::BeginBatch()
{
    FlushBatch();
    m_Batching = true;
}

void Device::EndBatch()
{
    FlushBatch();
    m_Batching = false;
}

std::uint32_t Device::BlendConstant(std::uint32_t target, std::uint32_t source)
{
    const std::uint64_t key = std::uint64_t{target} << 32 | source;
    if (const auto known = m_Blended.find(key); known != m_Blended.end())
        return known->second;
    FlushBatch();
    if (!m_ScratchFramebuffer)
    {
        GLuint framebuffer = 0;
        GLuint colour = 0;
        glGenFramebuffers(1, &framebuffer);
        glGenRenderbuffers(1, &colour);
        m_ScratchFramebuffer = framebuffer;
        m_ScratchColour = colour;
        glBindRenderbuffer(GL_RENDERBUFFER, colour);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, 1, 1);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    }
    // The source drawn as the frame's draws would take it: unlit, its one
    // texel a constant, blended by its alpha; over the target cleared in.
    RenderStates states;
    states.zEnable = false;
    states.lighting = false;
    states.cullMode = CullMode::None;
    states.alphaBlendEnable = true;
    states.sourceBlend = BlendFactor::SourceAlpha;
    states.destinationBlend = BlendFactor::InverseSourceAlpha;
    const Image texel{1,
                      1,
                      {static_cast<std::uint8_t>(source >> 16),
                       static_cast<std::uint8_t>(source >> 8), static_cast<std::uint8_t>(source),
                       static_cast<std::uint8_t>(source >> 24)}};
    const std::shared_ptr<Texture> texture = CreateTexture(texel, false);
    const bool shortcuts = m_Shortcuts;
    m_Shortcuts = true;
    ApplyStates(states, {0, 0, 1, 1, 0.0f, 1.0f}, texture.get());
    m_Shortcuts = shortcuts;
    glBindFramebuffer(GL_FRAMEBUFFER, m_ScratchFramebuffer);
    glViewport(0, 0, 1, 1);
    glDisable(GL_SCISSOR_TEST);
    const ColorValue under = FromArgb(target);
    glClearColor(under.r, under.g, under.b, under.a);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT);
    ApplyGeometryUniforms(false, Matrix::Identity());
    const Matrix identity = Matrix::Identity();
    const Matrix projection = Matrix::ClipDepthToSymmetric();
    glUniformMatrix4fv(m_Program->worldView, 1, GL_FALSE, identity.Data());
    glUniformMatrix4fv(m_Program->projection, 1, GL_FALSE, projection.Data());
    glUniform1i(m_Program->textureTransform, 0);
    glUniform1i(m_Program->lighting, 0);
    const SpriteVertex cover[3] = {{-1.0f, -1.0f, 0.5f, 0.0f, 0.0f, 0xFFFFFFFFu},
                                   {3.0f, -1.0f, 0.5f, 0.0f, 0.0f, 0xFFFFFFFFu},
                                   {-1.0f, 3.0f, 0.5f, 0.0f, 0.0f, 0xFFFFFFFFu}};
    DrawSpriteVertices(cover);
    std::uint8_t pixel[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    glBindFramebuffer(GL_FRAMEBUFFER, m_Framebuffer);
    const std::uint32_t blended = ArgbOfRgba(pixel);
    m_Blended.emplace(key, blended);
    return blended;
}

void Device::CountSamples(bool enable)
{
    if (enable == m_Counting)
        return;
    FlushBatch();
    if (!enable)
    {
        EndCounting();
        m_Counting = false;
        return;
    }
    if (!m_Queries[0])
    {
        glGenQueries(2, m_Queries.data());
        m_CountShaded = epoxy_has_gl_extension("GL_ARB_pipeline_statistics_query");
    }
    m_Counting = true;
    BeginCounting();
}

void Device::SetSamplePass(std::uint32_t pass)
{
    if (pass >= kSamplePasses)
        throw Error("sample pass " + std::to_string(pass) + " out of range");
    if (pass == m_SamplePass)
        return;
    if (m_Counting)
    {
        FlushBatch();
        EndCounting();
        m_SamplePass = pass;
        BeginCounting();
    }
    m_SamplePass = pass;
}

Device::SampleCounts Device::TakeSampleCounts()
{
    if (m_Counting)
    {
        FlushBatch();
        EndCounting();
        BeginCounting();
    }
    const SampleCounts counts = m_SampleCounts;
    m_SampleCounts = {};
    return counts;
}

void Device::BeginCounting()
{
    glBeginQuery(GL_SAMPLES_PASSED, m_Queries[0]);
    if (m_CountShaded)
        glBeginQuery(GL_FRAGMENT_SHADER_INVOCATIONS_ARB, m_Queries[1]);
}

// Ends the running queries and adds what they counted to the current pass.
void Device::EndCounting()
{
    glEndQuery(GL_SAMPLES_PASSED);
    GLuint64 passed = 0;
    glGetQueryObjectui64v(m_Queries[0], GL_QUERY_RESULT, &passed);
    m_SampleCounts.passed[m_SamplePass] += passed;
    if (m_CountShaded)
    {
        glEndQuery(GL_FRAGMENT_SHADER_INVOCATIONS_ARB);
        GLuint64 shaded = 0;
        glGetQueryObjectui64v(m_Queries[1], GL_QUERY_RESULT, &shaded);
        m_SampleCounts.shaded[m_SamplePass] += shaded;
    }
}

void Device::ApplyStates(bool vertexColour)
{
    ApplyStates(m_States, m_Viewport, m_Texture, vertexColour);
}

void Device::ApplyStates(const RenderStates& s, const Viewport& viewport, const Texture* texture,
                         bool vertexColour)
{
    glBindFramebuffer(GL_FRAMEBUFFER, m_Framebuffer);
    glViewport(static_cast<GLint>(viewport.x),
               static_cast<GLint>(m_Height) - static_cast<GLint>(viewport.y + viewport.height),
               static_cast<GLsizei>(viewport.width), static_cast<GLsizei>(viewport.height));
    glDepthRange(viewport.minZ, viewport.maxZ);
    if (s.zEnable)
    {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glDepthMask(s.zWriteEnable ? GL_TRUE : GL_FALSE);
    }
    else
    {
        glDisable(GL_DEPTH_TEST);
    }
    // OpenGL's front faces wind counter-clockwise on the screen.
    if (s.cullMode == CullMode::None)
    {
        glDisable(GL_CULL_FACE);
    }
    else
    {
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glFrontFace(s.cullMode == CullMode::Clockwise ? GL_CCW : GL_CW);
    }
    // A source of alpha 1 everywhere blends to itself: blending it would
    // only read the target for nothing.
    const bool opaqueSource = !s.modulateAlpha && (!texture || texture->IsOpaque()) &&
                              s.sourceBlend == BlendFactor::SourceAlpha &&
                              s.destinationBlend == BlendFactor::InverseSourceAlpha;
    if (s.alphaBlendEnable && !(m_Shortcuts && opaqueSource))
    {
        glEnable(GL_BLEND);
        glBlendFunc(BlendFactorOf(s.sourceBlend), BlendFactorOf(s.destinationBlend));
    }
    else
    {
        glDisable(GL_BLEND);
    }
    // Without a texture the texel reads as opaque white.
    const bool constantTexel =
        !texture || (m_Shortcuts && texture->GetWidth() == 1 && texture->GetHeight() == 1);
    const bool unlit = m_Shortcuts && !s.lighting && !vertexColour;
    const std::uint32_t variant = (constantTexel ? Program::kConstantTexel : 0u) |
                                  (s.alphaTestEnable ? Program::kAlphaTest : 0u) |
                                  (unlit ? Program::kUnlit : 0u);
    m_Program = m_Programs[variant].get();
    const Program& p = *m_Program;
    glUseProgram(p.name);
    if (constantTexel)
    {
        const ColorValue texel = FromArgb(texture ? texture->GetSingleTexel() : 0xFFFFFFFFu);
        glUniform4f(p.texel, texel.r, texel.g, texel.b, texel.a);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    else
    {
        glBindSampler(0, m_Sampler);
        glSamplerParameteri(m_Sampler, GL_TEXTURE_MAG_FILTER,
                            s.magFilter == TextureFilter::Linear ? GL_LINEAR : GL_NEAREST);
        glSamplerParameteri(m_Sampler, GL_TEXTURE_MIN_FILTER,
                            MinFilterOf(s.minFilter, s.mipFilter));
        glSamplerParameteri(m_Sampler, GL_TEXTURE_WRAP_S, AddressOf(s.addressU));
        glSamplerParameteri(m_Sampler, GL_TEXTURE_WRAP_T, AddressOf(s.addressV));
        glUniform1i(p.texture, 0);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, texture->GetName());
    }
    glUniform1i(p.modulateAlpha, s.modulateAlpha ? 1 : 0);
    glUniform1f(p.alphaRef, static_cast<float>(s.alphaRef) / 255.0f);
}

void Device::ApplyGeometryUniforms(bool sprite, const Matrix& toClip)
{
    const Program& p = *m_Program;
    glUniform1i(p.vertexColour, sprite ? 1 : 0);
    if (sprite)
    {
        const Matrix identity = Matrix::Identity();
        const Matrix projection = toClip * Matrix::ClipDepthToSymmetric();
        glUniformMatrix4fv(p.worldView, 1, GL_FALSE, identity.Data());
        glUniformMatrix4fv(p.projection, 1, GL_FALSE, projection.Data());
        glUniform1i(p.textureTransform, 0);
        return;
    }
    DrawUniforms uniforms{};
    ComputeUniforms(uniforms);
    UploadUniforms(uniforms);
}

void Device::ComputeUniforms(DrawUniforms& u) const
{
    // Compared as bytes when draws are batched: no padding may hide between.
    static_assert(std::is_trivially_copyable_v<DrawUniforms>);
    static_assert(sizeof(GLint) == 4 && sizeof(float) == 4);
    const RenderStates& s = m_States;
    const Matrix& view = GetTransform(TransformState::View);
    const Matrix worldView = GetTransform(TransformState::World) * view;
    const Matrix projection =
        GetTransform(TransformState::Projection) * Matrix::ClipDepthToSymmetric();
    std::memcpy(u.worldView, worldView.Data(), sizeof u.worldView);
    std::memcpy(u.projection, projection.Data(), sizeof u.projection);
    u.textureTransform = s.textureTransform0 ? 1 : 0;
    std::memcpy(u.textureMatrix, GetTransform(TransformState::Texture0).Data(),
                sizeof u.textureMatrix);
    u.lighting = s.lighting ? 1 : 0;
    if (!s.lighting)
        return;

    // Normals go by the inverse transpose; as row vectors n × (M⁻¹)ᵀ, which
    // the column-major upload of the row-major 3 × 3 block computes.
    const Matrix inverse = Inverse(worldView).value_or(Matrix::Identity());
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            u.normalMatrix[r * 3 + c] = inverse.m[c][r];
    u.normalize = s.normalizeNormals ? 1 : 0;
    u.specular = s.specularEnable ? 1 : 0;
    const ColorValue ambient = FromArgb(s.ambient);
    std::memcpy(u.ambient, &ambient, sizeof u.ambient);
    std::memcpy(u.matDiffuse, &m_Material.diffuse, sizeof u.matDiffuse);
    std::memcpy(u.matAmbient, &m_Material.ambient, sizeof u.matAmbient);
    std::memcpy(u.matSpecular, &m_Material.specular, sizeof u.matSpecular);
    std::memcpy(u.matEmissive, &m_Material.emissive, sizeof u.matEmissive);
    u.matPower = m_Material.power;

    GLint count = 0;
    for (std::uint32_t i = 0; i < kMaxLightSlots && count < GLint(kMaxActiveLights); ++i)
    {
        if (!m_LightEnabled[i])
            continue;
        const Light& light = m_Lights[i];
        const Vec3 at = TransformCoord(light.position, view);
        const Vec3 along = TransformNormal(light.direction, view);
        u.lightType[count] = light.type == LightType::Point ? 0 : 1;
        std::memcpy(u.lightPosition + count * 3, &at, sizeof at);
        std::memcpy(u.lightDirection + count * 3, &along, sizeof along);
        std::memcpy(u.lightDiffuse + count * 4, &light.diffuse, sizeof light.diffuse);
        std::memcpy(u.lightSpecular + count * 4, &light.specular, sizeof light.specular);
        std::memcpy(u.lightAmbient + count * 4, &light.ambient, sizeof light.ambient);
        u.lightRange[count] = light.range;
        u.lightAttenuation[count * 3] = light.attenuation0;
        u.lightAttenuation[count * 3 + 1] = light.attenuation1;
        u.lightAttenuation[count * 3 + 2] = light.attenuation2;
        ++count;
    }
    u.lightCount = count;
}

void Device::UploadUniforms(const DrawUniforms& u)
{
    const Program& p = *m_Program;
    glUniformMatrix4fv(p.worldView, 1, GL_FALSE, u.worldView);
    glUniformMatrix4fv(p.projection, 1, GL_FALSE, u.projection);
    glUniform1i(p.textureTransform, u.textureTransform);
    glUniformMatrix4fv(p.textureMatrix, 1, GL_FALSE, u.textureMatrix);
    glUniform1i(p.lighting, u.lighting);
    if (!u.lighting)
        return;
    glUniformMatrix3fv(p.normalMatrix, 1, GL_FALSE, u.normalMatrix);
    glUniform1i(p.normalize, u.normalize);
    glUniform1i(p.specular, u.specular);
    glUniform4fv(p.ambient, 1, u.ambient);
    glUniform4fv(p.matDiffuse, 1, u.matDiffuse);
    glUniform4fv(p.matAmbient, 1, u.matAmbient);
    glUniform4fv(p.matSpecular, 1, u.matSpecular);
    glUniform4fv(p.matEmissive, 1, u.matEmissive);
    glUniform1f(p.matPower, u.matPower);
    glUniform1i(p.lightCount, u.lightCount);
    if (u.lightCount == 0)
        return;
    const GLsizei count = u.lightCount;
    glUniform1iv(p.lightType, count, u.lightType);
    glUniform3fv(p.lightPosition, count, u.lightPosition);
    glUniform3fv(p.lightDirection, count, u.lightDirection);
    glUniform4fv(p.lightDiffuse, count, u.lightDiffuse);
    glUniform4fv(p.lightSpecular, count, u.lightSpecular);
    glUniform4fv(p.lightAmbient, count, u.lightAmbient);
    glUniform1fv(p.lightRange, count, u.lightRange);
    glUniform3fv(p.lightAttenuation, count, u.lightAttenuation);
}

void Device::Unbind()
{
    glBindVertexArray(0);
}

void Device::DrawPrimitive(PrimitiveType type, std::uint32_t startVertex,
                           std::uint32_t primitiveCount)
{
    if (!m_Stream)
        throw Error("DrawPrimitive without a stream source");
    const std::uint64_t vertexCount = type == PrimitiveType::TriangleList
                                          ? std::uint64_t{primitiveCount} * 3
                                          : std::uint64_t{primitiveCount} + 2;
    if (primitiveCount == 0)
        return;
    if (startVertex + vertexCount > m_Stream->GetVertexCount())
        throw Error("DrawPrimitive past the end of its vertex buffer");
    FlushBatch();
    ApplyStates();
    ApplyGeometryUniforms(false, Matrix::Identity());
    glBindVertexArray(m_Stream->m_Array);
    glDrawArrays(type == PrimitiveType::TriangleList ? GL_TRIANGLES : GL_TRIANGLE_STRIP,
                 static_cast<GLint>(startVertex), static_cast<GLsizei>(vertexCount));
    ++m_DrawCalls;
    Unbind();
}

void Device::DrawSubset(const Mesh& mesh, std::uint32_t attribute)
{
    if (m_Recorder)
        m_Recorder->SubsetDrawn(mesh, attribute, GetTransform(TransformState::World));
    std::shared_ptr<void>& slot = mesh.DeviceData();
    auto data = std::static_pointer_cast<MeshData>(slot);
    if (!data || data->alive.lock() != m_Alive || data->revision != mesh.GetRevision())
    {
        data = std::make_shared<MeshData>();
        data->alive = m_Alive;
        data->revision = mesh.GetRevision();
        data->narrow = mesh.GetIndexFormat() == IndexFormat::Bits16;
        data->table = mesh.GetAttributeTable();
        glGenVertexArrays(1, &data->array);
        glGenBuffers(1, &data->vertices);
        glGenBuffers(1, &data->indices);
        glBindVertexArray(data->array);
        const std::vector<float> packed = mesh.PackVertices();
        glBindBuffer(GL_ARRAY_BUFFER, data->vertices);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(packed.size() * sizeof(float)),
                     packed.data(), GL_STATIC_DRAW);
        SetUpMeshAttributes(mesh.GetLayout());
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, data->indices);
        if (data->narrow)
        {
            const std::vector<std::uint16_t> indices = mesh.PackIndices16();
            glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                         static_cast<GLsizeiptr>(indices.size() * sizeof(std::uint16_t)),
                         indices.data(), GL_STATIC_DRAW);
        }
        else
        {
            const std::vector<std::uint32_t>& indices = mesh.GetIndices();
            glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                         static_cast<GLsizeiptr>(indices.size() * sizeof(std::uint32_t)),
                         indices.data(), GL_STATIC_DRAW);
        }
        glBindVertexArray(0);
        slot = data;
    }
    if (std::none_of(data->table.begin(), data->table.end(),
                     [attribute](const FaceRange& range) { return range.attribute == attribute; }))
        return;

    DrawUniforms uniforms{};
    ComputeUniforms(uniforms);
    if (m_Batching)
    {
        Batch& batch = *m_Batch;
        if (batch.count > 0 &&
            !(batch.data == data && batch.attribute == attribute && batch.states == m_States &&
              batch.viewport == m_Viewport && batch.texture == m_Texture &&
              batch.uniforms.SameSettings(uniforms)))
            FlushBatch();
        if (batch.count == 0)
        {
            batch.data = data;
            batch.attribute = attribute;
            batch.states = m_States;
            batch.viewport = m_Viewport;
            batch.texture = m_Texture;
            batch.uniforms = uniforms;
        }
        batch.placements.insert(batch.placements.end(), uniforms.worldView,
                                uniforms.worldView + DrawUniforms::kPlacementFloats);
        ++batch.count;
        return;
    }
    ApplyStates();
    glUniform1i(m_Program->vertexColour, 0);
    UploadUniforms(uniforms);
    DrawRanges(*data, attribute, 1);
}

void Device::DrawRanges(const MeshData& data, std::uint32_t attribute, std::uint32_t instances)
{
    glBindVertexArray(data.array);
    const std::size_t indexSize = data.narrow ? 2 : 4;
    for (const FaceRange& range : data.table)
    {
        if (range.attribute != attribute)
            continue;
        const auto count = static_cast<GLsizei>(range.faceCount * 3);
        const GLenum type = data.narrow ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT;
        const auto* offset =
            reinterpret_cast<const void*>(std::size_t{range.faceStart} * 3 * indexSize);
        if (instances == 1)
            glDrawElements(GL_TRIANGLES, count, type, offset);
        else
            glDrawElementsInstanced(GL_TRIANGLES, count, type, offset,
                                    static_cast<GLsizei>(instances));
        ++m_DrawCalls;
    }
    Unbind();
}

void Device::FlushBatch()
{
    if (!m_Batch || m_Batch->count == 0)
        return;
    Batch& batch = *m_Batch;
    ApplyStates(batch.states, batch.viewport, batch.texture);
    const Program& p = *m_Program;
    glUniform1i(p.vertexColour, 0);
    UploadUniforms(batch.uniforms);
    if (batch.count == 1)
    {
        DrawRanges(*batch.data, batch.attribute, 1);
    }
    else
    {
        // The copies' matrices as per-instance attributes of the mesh's
        // vertex array, for this draw only; fresh storage each time, so the
        // driver need not wait for the draws that read the last batch.
        glBindVertexArray(batch.data->array);
        glBindBuffer(GL_ARRAY_BUFFER, m_InstanceBuffer);
        glBufferData(GL_ARRAY_BUFFER,
                     static_cast<GLsizeiptr>(batch.placements.size() * sizeof(float)),
                     batch.placements.data(), GL_STREAM_DRAW);
        constexpr GLsizei stride = DrawUniforms::kPlacementFloats * sizeof(float);
        for (GLuint column = 0; column < 4; ++column)
        {
            glEnableVertexAttribArray(4 + column);
            glVertexAttribPointer(4 + column, 4, GL_FLOAT, GL_FALSE, stride,
                                  reinterpret_cast<const void*>(column * 4 * sizeof(float)));
            glVertexAttribDivisor(4 + column, 1);
        }
        for (GLuint column = 0; column < 3; ++column)
        {
            glEnableVertexAttribArray(8 + column);
            glVertexAttribPointer(8 + column, 3, GL_FLOAT, GL_FALSE, stride,
                                  reinterpret_cast<const void*>((16 + column * 3) * sizeof(float)));
            glVertexAttribDivisor(8 + column, 1);
        }
        glUniform1i(p.instanced, 1);
        DrawRanges(*batch.data, batch.attribute, batch.count);
        glUniform1i(p.instanced, 0);
        glBindVertexArray(batch.data->array);
        for (GLuint location = 4; location <= 10; ++location)
            glDisableVertexAttribArray(location);
        Unbind();
    }
    batch.count = 0;
    batch.placements.clear();
    batch.data.reset();
}

void Device::DrawSpriteTriangles(std::span<const SpriteVertex> vertices, const Texture& texture,
                                 const Matrix& toClip)
{
    if (vertices.empty())
        return;
    FlushBatch();
    ApplyStates(m_States, m_Viewport, &texture, true);
    ApplyGeometryUniforms(true, toClip);
    DrawSpriteVertices(vertices);
    ++m_DrawCalls;
}

void Device::DrawSpriteVertices(std::span<const SpriteVertex> vertices)
{
    glBindVertexArray(m_SpriteArray);
    glBindBuffer(GL_ARRAY_BUFFER, m_SpriteBuffer);
    const std::size_t bytes = vertices.size_bytes();
    if (bytes > m_SpriteBufferSize)
    {
        m_SpriteBufferSize = std::max(bytes, m_SpriteBufferSize * 2);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_SpriteBufferSize), nullptr,
                     GL_STREAM_DRAW);
    }
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(bytes), vertices.data());
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertices.size()));
    Unbind();
}

Image Device::ReadPixels()
{
    FlushBatch();
    Image image;
    image.width = m_Width;
    image.height = m_Height;
    image.pixels.resize(static_cast<std::size_t>(m_Width) * m_Height * 4);
    glBindFramebuffer(GL_FRAMEBUFFER, m_Framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, static_cast<GLsizei>(m_Width), static_cast<GLsizei>(m_Height), GL_RGBA,
                 GL_UNSIGNED_BYTE, image.pixels.data());
    // OpenGL gives the bottom row first: turned over in place.
    const std::size_t row = static_cast<std::size_t>(m_Width) * 4;
    for (std::uint32_t top = 0, bottom = m_Height - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(image.pixels.begin() + top * row, image.pixels.begin() + (top + 1) * row,
                         image.pixels.begin() + bottom * row);
    return image;
}

} // namespace gfx
