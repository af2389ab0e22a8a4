#pragma once

#include "platform/gfx_math.h"

#include <memory>
#include <string>
#include <vector>

namespace VARDCommon
{
class CTagFileReader;
}

namespace VARDGraph
{

class CModelNode;

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
