#pragma once

#include "platform/gfx_math.h"
#include "platform/matrix_stack.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace VARDCommon
{
class CTagFileReader;
}

namespace VARDGraph
{

// Something that moves the pieces of a figure: given a piece and a time it
// multiplies that piece's transform onto the stack's top matrix. scale, when
// given, stretches translations (never rotations). Positions and animations
// are destroyed through their own types.
class CPose
{
public:
    virtual void Apply(const std::string& piece, gfx::MatrixStack& stack, const gfx::Vec3* scale,
                       double time) const = 0;

protected:
    ~CPose() = default;
};

// The transform of one piece in a position: a rotation, then a translation.
class CPositionNode
{
public:
    // The piece name, then the translation ("0", a group of three, or
    // nothing), then the rotation (a "rot" list, "0", a quaternion group of
    // four, or nothing).
    explicit CPositionNode(VARDCommon::CTagFileReader& reader);
    // Neither translation nor rotation.
    explicit CPositionNode(std::string name);

    void Apply(gfx::MatrixStack& stack, const gfx::Vec3* scale) const;

    const std::string& GetName() const { return m_Name; }
    int HasTranslation() const { return m_HasTranslation; }
    const gfx::Vec3& GetTranslation() const { return m_Translation; }
    int HasRotation() const { return m_HasRotation; }
    const gfx::Quaternion& GetRotation() const { return m_Rotation; }

private:
    void ReadTranslation(VARDCommon::CTagFileReader& reader);
    void ReadRotation(VARDCommon::CTagFileReader& reader);

    std::string m_Name;
    int m_HasTranslation = 0;
    gfx::Vec3 m_Translation;
    int m_HasRotation = 0;
    gfx::Quaternion m_Rotation;
};

// A named set of piece transforms.
class CPosition final : public CPose
{
public:
    // A whole "position" block, tags included.
    explicit CPosition(VARDCommon::CTagFileReader& reader);
    // A position whose only node, "anchor", does nothing.
    explicit CPosition(std::string name);

    // The time does not matter. Code 5 when the piece has no node.
    void Apply(const std::string& piece, gfx::MatrixStack& stack, const gfx::Vec3* scale,
               double time) const override;

    const std::string& GetName() const { return m_Name; }
    // The node of a piece; code 5 when there is none.
    const CPositionNode& GetNode(const std::string& piece) const;
    const std::map<std::string, std::shared_ptr<CPositionNode>>& GetNodes() const
    {
        return m_Nodes;
    }

private:
    std::string m_Name;
    std::map<std::string, std::shared_ptr<CPositionNode>> m_Nodes;
};

// A figure's positions by name.
using CPositionMap = std::map<std::string, std::shared_ptr<CPosition>>;

// Positions at key times of a cycle, interpolated in between.
class CAnimation final : public CPose
{
public:
    // After the "animation" start tag, up to its end tag (not read): the
    // name, then pairs of a time and a position of the map. Code 1 for an
    // unknown position, no keys, or a first key other than 0.0 or a last one
    // other than 1.0.
    CAnimation(VARDCommon::CTagFileReader& reader, const CPositionMap& positions);

    void Apply(const std::string& piece, gfx::MatrixStack& stack, const gfx::Vec3* scale,
               double time) const override;

    // Where in the cycle a time falls: 0 <= phase < 1.
    double Phase(double time) const;

    const std::string& GetName() const { return m_Name; }
    double GetLength() const { return m_Length; }
    void SetLength(double length) { m_Length = length; }
    const std::vector<double>& GetKeyTimes() const { return m_KeyTimes; }
    const std::vector<std::shared_ptr<CPosition>>& GetKeyPositions() const
    {
        return m_KeyPositions;
    }

private:
    std::string m_Name;
    double m_Length = 1.0;
    std::vector<double> m_KeyTimes;
    std::vector<std::shared_ptr<CPosition>> m_KeyPositions;
};

using AnimationMap = std::map<std::string, std::shared_ptr<CAnimation>>;

} // namespace VARDGraph
