#pragma once

#include "platform/gfx_math.h"

#include <memory>
#include <string>
#include <vector>

namespace VARDCommon
{
class CTagFileReader;
}

namespace gfx
{
class Device;
class MatrixStack;
} // namespace gfx

namespace VARDGraph
{

class CModelNode;
class CPose;

// One piece of a figure: its children, and the model nodes that hang on it.
class CGraphicTree
{
public:
    // The root: a piece named "anchor" with no parent.
    CGraphicTree();
    // The inside of a "piece" block, tags not included: the name and, unless
    // it is "anchor", the parent's name.
    explicit CGraphicTree(VARDCommon::CTagFileReader& reader);

    // Depth first, this piece before its children in order; exact names.
    CGraphicTree* FindPiece(const std::string& name);

    const std::string& GetName() const { return m_Name; }
    const std::string& GetParentName() const { return m_ParentName; }
    std::vector<std::shared_ptr<CGraphicTree>>& GetChildren() { return m_Children; }
    const std::vector<std::shared_ptr<CGraphicTree>>& GetChildren() const { return m_Children; }
    void AddChild(std::shared_ptr<CGraphicTree> child) { m_Children.push_back(std::move(child)); }

    int HasScale() const { return m_HasScale; }
    const gfx::Vec3& GetScale() const { return m_Scale; }
    void SetScale(const gfx::Vec3& scale)
    {
        m_HasScale = 1;
        m_Scale = scale;
    }

    int HasModels() const { return m_HasModels; }
    double GetPeriod() const { return m_Period; }
    void SetPeriod(double period) { m_Period = period; }
    const std::vector<std::shared_ptr<CModelNode>>& GetModels() const { return m_Models; }
    void AddModel(std::shared_ptr<CModelNode> model);

    // Drawing (graphic_draw.cpp). A piece's subtree on a stack of its own:
    // children first, then the piece's own model node for the model time,
    // in the pass (0 opaque, 1 transparent).
    static void Draw(const CGraphicTree& piece, gfx::Device& device, const gfx::Matrix& parent,
                     const std::string& poseName, const CPose& pose, double poseTime,
                     double modelTime, int parentHasScale, const gfx::Vec3& parentScale, int pass);
    static void DrawPiece(const CGraphicTree& piece, gfx::MatrixStack& stack, gfx::Device& device,
                          const gfx::Matrix& parent, const std::string& poseName, const CPose& pose,
                          double poseTime, double modelTime, int parentHasScale,
                          const gfx::Vec3& parentScale, int pass);
    // The last node whose frame time is not above the cycle position, or
    // null when every frame starts later.
    static std::shared_ptr<CModelNode> SelectModelNode(const CGraphicTree& piece, double cycle);
    // Adds the pieces of the subtree holding exactly one model node.
    static bool CountSingleModelPieces(const CGraphicTree& piece, int& count);

private:
    std::string m_Name;
    std::string m_ParentName;
    std::vector<std::shared_ptr<CGraphicTree>> m_Children;
    int m_HasScale = 0;
    gfx::Vec3 m_Scale{1.0f, 1.0f, 1.0f};
    int m_HasModels = 0;
    double m_Period = 1.0;
    std::vector<std::shared_ptr<CModelNode>> m_Models;
};

} // namespace VARDGraph
