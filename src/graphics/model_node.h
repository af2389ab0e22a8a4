#pragma once

#include "graphics/sub_model_info.h"
#include "platform/device.h"
#include "platform/material.h"
#include "platform/mesh.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace VARDCommon
{
class CDataFileFactory;
}

namespace VARDGraph
{

// The textures of the first node of a multigraphic, one per material (null
// for an untextured one), which later nodes of the same material count reuse.
using SharedTextureList = std::vector<std::shared_ptr<gfx::Texture>>;

// One mesh with a material and a texture per subset, ready to draw.
class CModelNode
{
public:
    // The mesh comes from the generator named by a generated sub-model, or
    // from the sub-model's mesh file (kind, "mod"); textures from the
    // entries (kind, "tex") or the shared list. colours and shared may be
    // null.
    CModelNode(gfx::Device& device, VARDCommon::CDataFileFactory& factory,
               const CSubModelInfo& subModel, const std::vector<CTextureEntry>& textures,
               const ModelColours* colours, std::uint32_t flags, SharedTextureList* shared,
               double frameTime, double textureMotionRate);

    // Pass 0 draws opaque nodes, pass 1 transparent ones. mesh, when given,
    // is drawn with this node's materials and textures instead of its own.
    void Draw(gfx::Device& device, int pass, const gfx::Mesh* mesh, double time) const;

    double GetFrameTime() const { return m_FrameTime; }
    double GetTextureMotionRate() const { return m_TextureMotionRate; }
    std::uint32_t GetMaterialCount() const { return m_MaterialCount; }
    const gfx::Mesh& GetMesh() const { return *m_Mesh; }
    const std::vector<gfx::Material>& GetMaterials() const { return m_Materials; }
    const std::vector<std::shared_ptr<gfx::Texture>>& GetTextures() const { return m_Textures; }
    std::uint32_t GetFlags() const { return m_Flags; }

private:
    std::shared_ptr<gfx::Texture> MakeTexture(gfx::Device& device,
                                              VARDCommon::CDataFileFactory& factory,
                                              std::uint32_t kind, const CTextureEntry& entry,
                                              const ModelColours* colours) const;

    double m_FrameTime = 0.0;
    double m_TextureMotionRate = 0.0;
    std::uint32_t m_MaterialCount = 0;
    std::unique_ptr<gfx::Mesh> m_Mesh;
    std::vector<gfx::Material> m_Materials;
    std::vector<std::shared_ptr<gfx::Texture>> m_Textures;
    std::uint32_t m_Flags = 0;
};

// A texture from an image file's bytes, recoloured when colours are given.
// Code 1 when the bytes are no image.
std::shared_ptr<gfx::Texture> CreateRecolouredTexture(gfx::Device& device,
                                                      std::span<const std::uint8_t> bytes,
                                                      const ModelColours* colours);

// One texel of the colour (0x00RRGGBB) with the value as its alpha. Code 4
// when it cannot be made.
std::shared_ptr<gfx::Texture> CreateSolidTexture(gfx::Device& device, std::uint32_t colour,
                                                 double value);

// The v offset of a sliding texture at a time: once along per rate of time.
float TextureSlide(double time, double rate);

} // namespace VARDGraph
