#include "graphics/model_node.h"

#include "common/data_file.h"
#include "common/exception.h"
#include "graphics/auto_mesh.h"
#include "platform/gfx_error.h"
#include "platform/image.h"
#include "platform/x_file.h"

#include <cmath>

namespace VARDGraph
{

namespace
{

gfx::XMeshFile LoadMesh(VARDCommon::CDataFileFactory& factory, const CSubModelInfo& subModel)
{
    if (subModel.generated)
        return CreateAutoMesh(subModel);
    const auto bytes =
        factory.ReadAll(subModel.meshKind, VARDCommon::kDataSubKindMod, subModel.meshName);
    try
    {
        return gfx::LoadXMesh(*bytes);
    }
    catch (const gfx::Error& e)
    {
        throw CVARDException(1, "mesh " + VARDCommon::QuoteForMessage(subModel.meshName) + ": " +
                                    e.what());
    }
}

} // namespace

CModelNode::CModelNode(gfx::Device& device, VARDCommon::CDataFileFactory& factory,
                       const CSubModelInfo& subModel, const std::vector<CTextureEntry>& textures,
                       const ModelColours* colours, std::uint32_t flags, SharedTextureList* shared,
                       double frameTime, double textureMotionRate)
    : m_FrameTime(frameTime), m_TextureMotionRate(textureMotionRate), m_Flags(flags)
{
    gfx::XMeshFile loaded = LoadMesh(factory, subModel);
    m_MaterialCount = static_cast<std::uint32_t>(loaded.materials.size());
    m_Mesh = std::make_unique<gfx::Mesh>(std::move(loaded.mesh));

    const bool reuseShared =
        (flags & kModelNoMultiTexture) == 0 && shared && shared->size() == m_MaterialCount;
    for (std::uint32_t i = 0; i < m_MaterialCount; ++i)
    {
        gfx::Material material = loaded.materials[i].material;
        material.ambient = material.diffuse;
        m_Materials.push_back(material);

        if (reuseShared)
        {
            m_Textures.push_back((*shared)[i]);
            continue;
        }
        std::shared_ptr<gfx::Texture> texture;
        if (loaded.materials[i].HasTexture())
        {
            if (i >= textures.size())
                throw CVARDException(1, "mesh " + VARDCommon::QuoteForMessage(subModel.meshName) +
                                            ": material " + std::to_string(i) +
                                            " has no texture entry");
            texture = MakeTexture(device, factory, subModel.meshKind, textures[i], colours);
        }
        if (shared)
            shared->push_back(texture);
        m_Textures.push_back(std::move(texture));
    }
}

std::shared_ptr<gfx::Texture> CModelNode::MakeTexture(gfx::Device& device,
                                                      VARDCommon::CDataFileFactory& factory,
                                                      std::uint32_t kind,
                                                      const CTextureEntry& entry,
                                                      const ModelColours* colours) const
{
    if (entry.name.empty())
        return CreateSolidTexture(device, entry.colour, entry.value);
    const auto bytes = factory.ReadAll(kind, VARDCommon::kDataSubKindTex, entry.name);
    try
    {
        return CreateRecolouredTexture(device, *bytes, colours);
    }
    catch (const CVARDException& e)
    {
        throw CVARDException(e.GetCode(), "texture " + VARDCommon::QuoteForMessage(entry.name) +
                                              ": " + e.GetDetail());
    }
}

void CModelNode::Draw(gfx::Device& device, int pass, const gfx::Mesh* mesh, double time) const
{
    const bool transparent = (m_Flags & kModelTransparent) != 0;
    if ((pass == 0 && transparent) || (pass == 1 && !transparent) || (pass != 0 && pass != 1))
        return;
    const gfx::Mesh& drawn = mesh ? *mesh : *m_Mesh;
    for (std::uint32_t i = 0; i < m_MaterialCount; ++i)
    {
        device.SetMaterial(m_Materials[i]);
        device.SetAlphaBlendEnable(m_Textures[i] != nullptr);
        device.SetTexture(m_Textures[i].get());
        if (m_Flags & kModelFlat)
            device.SetLighting(false);
        if (m_Flags & kModelMoveTexture)
        {
            gfx::Matrix slide = gfx::Matrix::Identity();
            slide(2, 1) = TextureSlide(time, m_TextureMotionRate);
            device.SetTextureTransform0(true);
            device.SetTransform(gfx::TransformState::Texture0, slide);
        }
        try
        {
            device.DrawSubset(drawn, i);
        }
        catch (const gfx::Error& e)
        {
            throw CVARDException(5, std::string("drawing a model: ") + e.what());
        }
        if (m_Flags & kModelMoveTexture)
            device.SetTextureTransform0(false);
        if (m_Flags & kModelFlat)
            device.SetLighting(true);
    }
}

float TextureSlide(double time, double rate)
{
    // A rate of zero or below would make the offset meaningless; such a
    // texture stands still, and so does one asked for before time 0.
    if (!(rate > 0.0) || !(time > 0.0))
        return 0.0f;
    return static_cast<float>(std::fmod(time / rate, 1.0));
}

std::shared_ptr<gfx::Texture> CreateRecolouredTexture(gfx::Device& device,
                                                      std::span<const std::uint8_t> bytes,
                                                      const ModelColours* colours)
{
    gfx::Image image;
    try
    {
        image = gfx::LoadTextureImage(bytes);
    }
    catch (const gfx::Error& e)
    {
        throw CVARDException(1, e.what());
    }
    if (colours)
        gfx::RecolourImage(image, *colours);
    try
    {
        return device.CreateTexture(image, true);
    }
    catch (const gfx::Error& e)
    {
        throw CVARDException(1, e.what());
    }
}

std::shared_ptr<gfx::Texture> CreateSolidTexture(gfx::Device& device, std::uint32_t colour,
                                                 double value)
{
    try
    {
        return device.CreateTexture(gfx::MakeSolidImage(colour, value), false);
    }
    catch (const gfx::Error& e)
    {
        throw CVARDException(4, std::string("solid texture: ") + e.what());
    }
}

} // namespace VARDGraph
