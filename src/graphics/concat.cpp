#include "graphics/concat.h"

#include "common/exception.h"
#include "graphics/graphic.h"
#include "graphics/graphic_tree.h"
#include "graphics/model_node.h"
#include "platform/gfx_error.h"
#include "platform/matrix_stack.h"

namespace VARDGraph
{

CGraphicConcat::CGraphicConcat(std::shared_ptr<CGraphic> graphic) : m_Graphic(std::move(graphic))
{
    // A window of tiles must not reallocate while it is collected.
    m_Instances.reserve(1000);
}

void CGraphicConcat::Build(gfx::Device& /*device*/)
{
    if (m_Instances.empty())
        return;
    const CGraphic& graphic = *m_Graphic;
    if (graphic.GetLight() || graphic.GetFixedEffect() ||
        (graphic.GetFlags() & kGraphicMoveVaried) != 0)
        throw CVARDException(2, "graphic " + VARDCommon::QuoteForMessage(graphic.GetName()) +
                                    " cannot be merged");
    int pieces = 0;
    if (graphic.GetRoot())
        CGraphicTree::CountSingleModelPieces(*graphic.GetRoot(), pieces);

    const std::size_t copies = m_Instances.size();
    for (int i = 0; i < pieces; ++i)
    {
        gfx::MatrixStack stack;
        std::shared_ptr<CModelNode> node;
        if (!CGraphic::GetStaticModel(graphic, i, stack, node) || !node)
            break;
        const gfx::Mesh& pieceMesh = node->GetMesh();
        std::vector<const gfx::Mesh*> meshes(copies, &pieceMesh);
        std::vector<gfx::Matrix> transforms(copies);
        for (std::size_t j = 0; j < copies; ++j)
            transforms[j] = stack.Top() * m_Instances[j];

        std::unique_ptr<gfx::Mesh> merged;
        try
        {
            gfx::Mesh joined = gfx::ConcatenateMeshes(meshes, transforms);
            // Merged windows easily pass 65536 vertices: always 32-bit indices.
            merged = std::make_unique<gfx::Mesh>(
                joined.GetLayout(), gfx::IndexFormat::Bits32, joined.GetVertices(),
                joined.GetIndices(), joined.GetAttributes(), joined.GetAttributeCount());
        }
        catch (const gfx::Error& error)
        {
            throw CVARDException(5, std::string("merging tile meshes: ") + error.what());
        }
        // Each copy's materials were numbered after the copies before it;
        // folding them back lets one subset per material draw every copy.
        const std::uint32_t materials = node->GetMaterialCount();
        if (materials > 0)
            for (std::uint32_t& attribute : merged->EditAttributes())
                attribute %= materials;
        merged->SetAttributeCount(materials);
        merged->Optimize(gfx::kMeshOptimizeCompact | gfx::kMeshOptimizeAttributeSort);
        m_BuiltMeshes.push_back({node, std::move(merged)});
    }
}

void CGraphicConcat::Draw(gfx::Device& device, const std::string& /*animationName*/,
                          double time) const
{
    for (const BuiltMesh& built : m_BuiltMeshes)
    {
        device.SetTransform(gfx::TransformState::World, gfx::Matrix::Identity());
        built.node->Draw(device, 0, built.mesh.get(), time);
        built.node->Draw(device, 1, built.mesh.get(), time);
    }
}

CGraphicConcat* CConcatMap::GetConcat(const std::shared_ptr<CGraphic>& graphic)
{
    auto& concat = m_Concats[graphic.get()];
    if (!concat)
        concat = std::make_shared<CGraphicConcat>(graphic);
    return concat.get();
}

} // namespace VARDGraph
