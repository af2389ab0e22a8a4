#include "graphics/graphic_tree.h"

#include "common/tag_file.h"
#include "graphics/model_node.h"

namespace VARDGraph
{

CGraphicTree::CGraphicTree() : m_Name("anchor") {}

CGraphicTree::CGraphicTree(VARDCommon::CTagFileReader& reader) : m_Name(reader.ReadWord())
{
    if (m_Name != "anchor")
        m_ParentName = reader.ReadWord();
}

CGraphicTree* CGraphicTree::FindPiece(const std::string& name)
{
    if (m_Name == name)
        return this;
    for (const auto& child : m_Children)
        if (CGraphicTree* found = child->FindPiece(name))
            return found;
    return nullptr;
}

void CGraphicTree::AddModel(std::shared_ptr<CModelNode> model)
{
    m_Models.push_back(std::move(model));
    m_HasModels = 1;
}

} // namespace VARDGraph
