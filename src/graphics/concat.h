#pragma once

#include "platform/device.h"
#include "platform/gfx_math.h"
#include "platform/mesh.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace VARDGraph
{

class CGraphic;
class CModelNode;

// One piece of a graphic merged over all its copies: the piece's model node
// gives the materials and textures, the merged mesh lies in world space.
struct BuiltMesh
{
    std::shared_ptr<CModelNode> node;
    std::unique_ptr<gfx::Mesh> mesh;
};

// Every copy of one static graphic in the merged window, and, once built,
// one mesh per single-model piece holding all of them.
class CGraphicConcat
{
public:
    explicit CGraphicConcat(std::shared_ptr<CGraphic> graphic);

    void AddInstance(const gfx::Matrix& world) { m_Instances.push_back(world); }
    // Merges the copies; code 2 for a graphic with a light, a fixed effect or
    // "movevaried", code 5 when the meshes cannot be merged. Pieces merged
    // before a failure stay.
    void Build(gfx::Device& device);
    // The animation name is not used: merged geometry never moves.
    void Draw(gfx::Device& device, const std::string& animationName, double time) const;

    const std::shared_ptr<CGraphic>& GetGraphic() const { return m_Graphic; }
    const std::vector<gfx::Matrix>& GetInstances() const { return m_Instances; }
    const std::vector<BuiltMesh>& GetBuiltMeshes() const { return m_BuiltMeshes; }

private:
    std::shared_ptr<CGraphic> m_Graphic;
    std::vector<gfx::Matrix> m_Instances;
    std::vector<BuiltMesh> m_BuiltMeshes;
};

// The merged static tiles of a window, one concat per graphic, in the order
// of the graphics' addresses.
class CConcatMap
{
public:
    // Made with the graphic and kept on first use.
    CGraphicConcat* GetConcat(const std::shared_ptr<CGraphic>& graphic);
    void Clear() { m_Concats.clear(); }

    const std::map<const CGraphic*, std::shared_ptr<CGraphicConcat>>& GetConcats() const
    {
        return m_Concats;
    }

private:
    std::map<const CGraphic*, std::shared_ptr<CGraphicConcat>> m_Concats;
};

} // namespace VARDGraph
