#pragma once

#include "asset_mesh.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace DemoAssets
{

// A piece of a skeleton and where it sits on its parent.
struct Bone
{
    std::string name;
    std::string parent;
    P3 offset;
};

// One turn of a piece: about the x, y or z axis, in degrees.
struct Turn
{
    char axis = 'x';
    double degrees = 0.0;
};

using Turns = std::map<std::string, std::vector<Turn>>;
using Shifts = std::map<std::string, P3>;
using Keys = std::vector<std::pair<double, std::string>>;

// Writes a figure file: the pieces, positions that give every piece its bone
// offset (plus a shift) and its turns, and animations over the positions.
class FigureWriter
{
public:
    FigureWriter(std::string name, std::vector<Bone> bones, std::string comment);

    void Position(const std::string& name, const Turns& turns, const Shifts& shifts = {});
    void Animation(const std::string& name, const Keys& keys);
    std::string Text() const;

private:
    std::string m_Name;
    std::vector<Bone> m_Bones;
    std::string m_Comment;
    std::string m_Positions;
    std::string m_Animations;
};

} // namespace DemoAssets
