#include "graphics/pose.h"

#include "common/exception.h"
#include "common/tag_file.h"

#include <cmath>

namespace VARDGraph
{

namespace
{

// Single precision, as the angle is formed for the rotation.
constexpr double kPi = 3.1415927410125732;

float ReadFloat(VARDCommon::CTagFileReader& reader)
{
    return static_cast<float>(reader.ReadDouble());
}

bool BeginsGroup(const std::string& word)
{
    return !word.empty() && word[0] == '(';
}

void Scaled(gfx::MatrixStack& stack, const gfx::Vec3& p, const gfx::Vec3* scale)
{
    if (scale)
        stack.Translate(p.x * scale->x, p.y * scale->y, p.z * scale->z);
    else
        stack.Translate(p.x, p.y, p.z);
}

} // namespace

CPositionNode::CPositionNode(VARDCommon::CTagFileReader& reader) : m_Name(reader.ReadWord())
{
    ReadTranslation(reader);
    ReadRotation(reader);
}

CPositionNode::CPositionNode(std::string name) : m_Name(std::move(name)) {}

void CPositionNode::ReadTranslation(VARDCommon::CTagFileReader& reader)
{
    if (!reader.ReadTupleStart(3, true))
        return;
    m_Translation.x = ReadFloat(reader);
    m_Translation.y = ReadFloat(reader);
    m_Translation.z = ReadFloat(reader);
    m_HasTranslation = 1;
}

void CPositionNode::ReadRotation(VARDCommon::CTagFileReader& reader)
{
    if (reader.IsStartTag("rot"))
    {
        reader.ReadStartTag("rot");
        m_HasRotation = 1;
        m_Rotation = gfx::Quaternion::Identity();
        // Entries apply in file order: each one after those before it.
        while (!reader.IsAtEnd())
        {
            if (reader.GetCurrentWord() == "0")
            {
                reader.NextToken();
                break;
            }
            if (!BeginsGroup(reader.GetCurrentWord()))
                break;
            reader.ReadTupleStart(4, false);
            gfx::Vec3 axis;
            axis.x = ReadFloat(reader);
            axis.y = ReadFloat(reader);
            axis.z = ReadFloat(reader);
            const double degrees = reader.ReadDouble();
            const auto angle = static_cast<float>(degrees / 180.0 * kPi);
            m_Rotation =
                gfx::QuaternionMultiply(m_Rotation, gfx::Quaternion::RotationAxis(axis, angle));
        }
        reader.ReadEndTag();
        return;
    }
    if (reader.GetCurrentWord() == "0")
    {
        reader.NextToken();
        return;
    }
    if (!reader.ReadTupleStart(4, false))
        return;
    gfx::Quaternion q;
    q.x = ReadFloat(reader);
    q.y = ReadFloat(reader);
    q.z = ReadFloat(reader);
    q.w = ReadFloat(reader);
    m_Rotation = gfx::Normalize(q);
    m_HasRotation = 1;
}

void CPositionNode::Apply(gfx::MatrixStack& stack, const gfx::Vec3* scale) const
{
    if (m_HasRotation)
        stack.MultMatrix(gfx::Matrix::Rotation(m_Rotation));
    if (m_HasTranslation)
        Scaled(stack, m_Translation, scale);
}

CPosition::CPosition(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("position");
    m_Name = reader.ReadWord();
    while (!reader.IsAtEndTag())
    {
        if (reader.IsAtEnd())
            reader.Fail(1, "position " + VARDCommon::QuoteForMessage(m_Name) + " has no end tag");
        auto node = std::make_shared<CPositionNode>(reader);
        m_Nodes[node->GetName()] = node;
    }
    reader.ReadEndTag();
}

CPosition::CPosition(std::string name) : m_Name(std::move(name))
{
    m_Nodes["anchor"] = std::make_shared<CPositionNode>(std::string("anchor"));
}

const CPositionNode& CPosition::GetNode(const std::string& piece) const
{
    const auto found = m_Nodes.find(piece);
    if (found == m_Nodes.end() || !found->second)
        throw CVARDException(5, "position " + VARDCommon::QuoteForMessage(m_Name) +
                                    " has no node for piece " + VARDCommon::QuoteForMessage(piece));
    return *found->second;
}

void CPosition::Apply(const std::string& piece, gfx::MatrixStack& stack, const gfx::Vec3* scale,
                      double) const
{
    GetNode(piece).Apply(stack, scale);
}

CAnimation::CAnimation(VARDCommon::CTagFileReader& reader, const CPositionMap& positions)
    : m_Name(reader.ReadWord())
{
    while (!reader.IsAtEndTag())
    {
        if (reader.IsAtEnd())
            reader.Fail(1, "animation " + VARDCommon::QuoteForMessage(m_Name) + " has no end tag");
        const double time = reader.ReadDouble();
        const std::string positionName = reader.ReadWord();
        const auto found = positions.find(positionName);
        if (found == positions.end())
            reader.Fail(1, "animation " + VARDCommon::QuoteForMessage(m_Name) +
                               " names no position " + VARDCommon::QuoteForMessage(positionName));
        m_KeyTimes.push_back(time);
        m_KeyPositions.push_back(found->second);
    }
    if (m_KeyTimes.empty())
        reader.Fail(1, "animation " + VARDCommon::QuoteForMessage(m_Name) + " has no keyframes");
    if (m_KeyTimes.front() != 0.0 || m_KeyTimes.back() != 1.0)
        reader.Fail(1, "animation " + VARDCommon::QuoteForMessage(m_Name) +
                           " must run from 0.0 to 1.0");
}

double CAnimation::Phase(double time) const
{
    // The scene passes game times; a time before 0, or a length that is no
    // length, stands at the start of the cycle instead of before it.
    if (!(time > 0.0) || !(m_Length > 0.0))
        return 0.0;
    const double f = std::fmod(time / m_Length, 1.0);
    return std::isfinite(f) ? f : 0.0;
}

void CAnimation::Apply(const std::string& piece, gfx::MatrixStack& stack, const gfx::Vec3* scale,
                       double time) const
{
    const double f = Phase(time);
    std::size_t i = 1;
    while (i < m_KeyTimes.size() && !(m_KeyTimes[i] > f))
        ++i;
    if (f == m_KeyTimes[i - 1] || i == m_KeyTimes.size())
    {
        m_KeyPositions[i - 1]->Apply(piece, stack, scale, f);
        return;
    }
    const auto u =
        static_cast<float>((f - m_KeyTimes[i - 1]) / (m_KeyTimes[i] - m_KeyTimes[i - 1]));
    const CPositionNode& a = m_KeyPositions[i - 1]->GetNode(piece);
    const CPositionNode& b = m_KeyPositions[i]->GetNode(piece);

    // A side without a rotation is the identity, one without a translation
    // is the origin, so a transform fades in or out over the segment.
    if (a.HasRotation() || b.HasRotation())
    {
        const gfx::Quaternion qa = a.HasRotation() ? a.GetRotation() : gfx::Quaternion::Identity();
        const gfx::Quaternion qb = b.HasRotation() ? b.GetRotation() : gfx::Quaternion::Identity();
        stack.MultMatrix(gfx::Matrix::Rotation(gfx::Slerp(qa, qb, u)));
    }
    if (a.HasTranslation() || b.HasTranslation())
    {
        const gfx::Vec3 pa = a.HasTranslation() ? a.GetTranslation() : gfx::Vec3{};
        const gfx::Vec3 pb = b.HasTranslation() ? b.GetTranslation() : gfx::Vec3{};
        Scaled(stack, pa + (pb - pa) * u, scale);
    }
}

} // namespace VARDGraph
