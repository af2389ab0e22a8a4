#include "common/exception.h"
#include "graphics/fixed_effect.h"
#include "graphics/graphic.h"
#include "graphics/graphic_tree.h"
#include "graphics/model_node.h"
#include "graphics/pose.h"
#include "platform/device.h"
#include "platform/matrix_stack.h"

#include <array>
#include <bit>
#include <cmath>

namespace VARDGraph
{

namespace
{

// The pieces that hold what the hands carry.
bool IsHandPiece(const std::string& name)
{
    static const std::array<const char*, 5> kNames = {"weapon", "shield", "offhand", "weaponaegis",
                                                      "offhandaegis"};
    for (const char* hand : kNames)
        if (name == hand)
            return true;
    return false;
}

// The poses of casting a spell and recovering from it.
bool IsCastingPose(const std::string& poseName)
{
    return poseName == "cast" || poseName == "crecover";
}

const CPose& FindPose(const CGraphic& graphic, const std::string& poseName)
{
    const auto animation = graphic.GetAnimations().find(poseName);
    if (animation != graphic.GetAnimations().end() && animation->second)
        return *animation->second;
    if (graphic.GetPoses())
    {
        const auto position = graphic.GetPoses()->find(poseName);
        if (position != graphic.GetPoses()->end() && position->second)
            return *position->second;
    }
    throw CVARDException(2, "graphic " + VARDCommon::QuoteForMessage(graphic.GetName()) +
                                " has no pose " + VARDCommon::QuoteForMessage(poseName));
}

// One stack for every piece drawn on this thread: each piece takes a fresh
// entry of its own, so frames draw without allocating once it has grown.
gfx::MatrixStack& PieceStack()
{
    thread_local gfx::MatrixStack stack;
    return stack;
}

// A piece's entry, given back however its drawing ends.
class PieceEntry
{
public:
    explicit PieceEntry(gfx::MatrixStack& stack) : m_Stack(stack)
    {
        m_Stack.Push();
        m_Stack.LoadIdentity();
    }
    ~PieceEntry() { m_Stack.Pop(); }
    PieceEntry(const PieceEntry&) = delete;
    PieceEntry& operator=(const PieceEntry&) = delete;

private:
    gfx::MatrixStack& m_Stack;
};

int CountModelNodes(const CGraphicTree& piece)
{
    return static_cast<int>(piece.GetModels().size());
}

bool StaticStep(const CGraphicTree& piece, const CPosition& position, int& n,
                gfx::MatrixStack& stack, std::shared_ptr<CModelNode>& node)
{
    position.Apply(piece.GetName(), stack, nullptr, 0.0);
    if (piece.HasScale())
    {
        const gfx::Vec3& s = piece.GetScale();
        stack.Scale(s.x, s.y, s.z);
    }
    if (CountModelNodes(piece) == 1)
    {
        if (n == 0)
        {
            node = piece.GetModels().front();
            return true;
        }
        --n;
    }
    for (const auto& child : piece.GetChildren())
    {
        stack.Push();
        if (StaticStep(*child, position, n, stack, node))
            return true;
        stack.Pop();
    }
    return false;
}

} // namespace

void CGraphic::Draw(gfx::Device& device, const gfx::Matrix& world, const std::string& poseName,
                    double poseTime, double modelTime) const
{
    const CPose& pose = FindPose(*this, poseName);
    const gfx::Vec3 noScale{1.0f, 1.0f, 1.0f};
    if (m_Root)
    {
        CGraphicTree::Draw(*m_Root, device, world, poseName, pose, poseTime, modelTime, 0, noScale,
                           0);
        if (m_HasTransparentModels)
            CGraphicTree::Draw(*m_Root, device, world, poseName, pose, poseTime, modelTime, 0,
                               noScale, 1);
    }
    if (m_FixedEffect)
        m_FixedEffect->Draw(device, world, modelTime);
}

namespace
{

// Twice the signed area of a face seen from above, in (x, z).
float FaceWinding(const gfx::Vec3& a, const gfx::Vec3& b, const gfx::Vec3& c)
{
    return (b.x - a.x) * (c.z - a.z) - (b.z - a.z) * (c.x - a.x);
}

// A quad of two faces on the corners of the unit square about the origin,
// at one height, split along a diagonal, wound as a floor that faces up.
bool IsUnitFloorQuad(const gfx::Mesh& mesh, float& height)
{
    const auto& vertices = mesh.GetVertices();
    const auto& indices = mesh.GetIndices();
    const auto& attributes = mesh.GetAttributes();
    if (indices.size() != 6 || attributes.size() != 2 || attributes[0] != 0 || attributes[1] != 0)
        return false;
    unsigned corners[2] = {0, 0};
    for (std::size_t face = 0; face < 2; ++face)
    {
        gfx::Vec3 p[3];
        for (std::size_t k = 0; k < 3; ++k)
        {
            const std::uint32_t index = indices[face * 3 + k];
            if (index >= vertices.size())
                return false;
            p[k] = vertices[index].position;
            if (std::abs(p[k].x) != 0.5f || std::abs(p[k].z) != 0.5f || p[k].y != p[0].y)
                return false;
            corners[face] |= 1u << ((p[k].x > 0.0f ? 1 : 0) + (p[k].z > 0.0f ? 2 : 0));
        }
        // Up-facing floors wind this way; the game's culling keeps them
        // when seen from above.
        if (FaceWinding(p[0], p[1], p[2]) != -1.0f)
            return false;
        if (face == 0)
            height = p[0].y;
        else if (p[0].y != height)
            return false;
    }
    // Three corners each, sharing two opposite ones.
    const unsigned shared = corners[0] & corners[1];
    return std::popcount(corners[0]) == 3 && std::popcount(corners[1]) == 3 &&
           (shared == 0b1001u || shared == 0b0110u);
}

} // namespace

bool CGraphic::GetFlatFill(const std::string& poseName, double modelTime, std::uint32_t& colour,
                           float& height) const
{
    if (!m_Root || m_FixedEffect || !m_Root->GetChildren().empty() || !m_Root->HasModels() ||
        (IsCastingPose(poseName) && IsHandPiece(m_Root->GetName())))
        return false;
    const CPose& pose = FindPose(*this, poseName);
    gfx::MatrixStack& stack = PieceStack();
    const PieceEntry entry(stack);
    pose.Apply(m_Root->GetName(), stack, nullptr, 0.0);
    if (m_Root->HasScale())
    {
        const gfx::Vec3& s = m_Root->GetScale();
        stack.ScaleLocal(s.x, s.y, s.z);
    }
    const gfx::Matrix& placed = stack.Top();
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (!(r == 3 && c == 1) && placed(r, c) != (r == c ? 1.0f : 0.0f))
                return false;
    const auto node =
        CGraphicTree::SelectModelNode(*m_Root, std::fmod(modelTime / m_Root->GetPeriod(), 1.0));
    // A transparent model is drawn only in a graphic that knows it has one.
    if (!node || (node->GetFlags() & kModelFlat) == 0 || node->GetMaterialCount() != 1 ||
        ((node->GetFlags() & kModelTransparent) != 0 && !m_HasTransparentModels))
        return false;
    const gfx::Texture* texture = node->GetTextures().front().get();
    if (texture && !(texture->GetWidth() == 1 && texture->GetHeight() == 1))
        return false;
    float y = 0.0f;
    if (!IsUnitFloorQuad(node->GetMesh(), y))
        return false;
    colour = texture ? texture->GetSingleTexel() : 0xFFFFFFFFu;
    height = y + placed(3, 1);
    return true;
}

bool CGraphic::GetStaticModel(const CGraphic& graphic, int n, gfx::MatrixStack& stack,
                              std::shared_ptr<CModelNode>& node)
{
    std::shared_ptr<CPosition> position;
    if (graphic.GetPoses())
    {
        const auto found = graphic.GetPoses()->find("default");
        if (found != graphic.GetPoses()->end())
            position = found->second;
    }
    if (!position)
        throw CVARDException(2, "graphic " + VARDCommon::QuoteForMessage(graphic.GetName()) +
                                    " has no position default");
    if (!graphic.GetRoot() || n < 0)
        return false;
    return StaticStep(*graphic.GetRoot(), *position, n, stack, node);
}

void CGraphicTree::Draw(const CGraphicTree& piece, gfx::Device& device, const gfx::Matrix& parent,
                        const std::string& poseName, const CPose& pose, double poseTime,
                        double modelTime, int parentHasScale, const gfx::Vec3& parentScale,
                        int pass)
{
    gfx::MatrixStack& stack = PieceStack();
    const PieceEntry entry(stack);
    DrawPiece(piece, stack, device, parent, poseName, pose, poseTime, modelTime, parentHasScale,
              parentScale, pass);
}

void CGraphicTree::DrawPiece(const CGraphicTree& piece, gfx::MatrixStack& stack,
                             gfx::Device& device, const gfx::Matrix& parent,
                             const std::string& poseName, const CPose& pose, double poseTime,
                             double modelTime, int parentHasScale, const gfx::Vec3& parentScale,
                             int pass)
{
    pose.Apply(piece.GetName(), stack, parentHasScale ? &parentScale : nullptr, poseTime);
    stack.MultMatrix(parent);

    // The children take this piece's matrix before its own scale, which
    // stretches only their translations.
    const gfx::Matrix placed = stack.Top();
    for (const auto& child : piece.GetChildren())
        Draw(*child, device, placed, poseName, pose, poseTime, modelTime, piece.HasScale(),
             piece.GetScale(), pass);

    if (!piece.HasModels())
        return;
    if (IsCastingPose(poseName) && IsHandPiece(piece.GetName()))
        return;
    if (piece.HasScale())
    {
        const gfx::Vec3& s = piece.GetScale();
        stack.ScaleLocal(s.x, s.y, s.z);
    }
    device.SetTransform(gfx::TransformState::World, stack.Top());
    const double cycle = std::fmod(modelTime / piece.GetPeriod(), 1.0);
    if (const auto node = SelectModelNode(piece, cycle))
        node->Draw(device, pass, nullptr, modelTime);
}

std::shared_ptr<CModelNode> CGraphicTree::SelectModelNode(const CGraphicTree& piece, double cycle)
{
    const auto& models = piece.GetModels();
    for (auto it = models.rbegin(); it != models.rend(); ++it)
        if ((*it)->GetFrameTime() <= cycle)
            return *it;
    return nullptr;
}

bool CGraphicTree::CountSingleModelPieces(const CGraphicTree& piece, int& count)
{
    for (const auto& child : piece.GetChildren())
    {
        int below = 0;
        CountSingleModelPieces(*child, below);
        count += below;
    }
    if (CountModelNodes(piece) == 1)
        ++count;
    return true;
}

} // namespace VARDGraph
