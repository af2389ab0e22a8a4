#include "asset_figure.h"

#include <cstdio>
#include <stdexcept>

namespace DemoAssets
{

namespace
{

std::string Short(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    std::string s = text;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.')
        s.pop_back();
    return s == "-0" ? "0" : s;
}

std::string Time(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

} // namespace

FigureWriter::FigureWriter(std::string name, std::vector<Bone> bones, std::string comment)
    : m_Name(std::move(name)), m_Bones(std::move(bones)), m_Comment(std::move(comment))
{
}

void FigureWriter::Position(const std::string& name, const Turns& turns, const Shifts& shifts)
{
    for (const auto& [piece, unused] : turns)
    {
        (void)unused;
        bool known = false;
        for (const Bone& bone : m_Bones)
            known = known || bone.name == piece;
        if (!known)
            throw std::logic_error("figure " + m_Name + ": no piece " + piece);
    }
    m_Positions += " <position> " + name + "\n";
    for (const Bone& bone : m_Bones)
    {
        P3 at = bone.offset;
        if (const auto shift = shifts.find(bone.name); shift != shifts.end())
            at = {at.x + shift->second.x, at.y + shift->second.y, at.z + shift->second.z};
        std::string line = "  " + bone.name + " ";
        if (at.x == 0.0 && at.y == 0.0 && at.z == 0.0)
            line += "0";
        else
            line += "(" + Short(at.x) + " " + Short(at.y) + " " + Short(at.z) + ")";
        const auto turn = turns.find(bone.name);
        if (turn == turns.end() || turn->second.empty())
            line += " 0";
        else
        {
            line += " <rot>";
            for (const Turn& t : turn->second)
                line += std::string(" (") +
                        (t.axis == 'x'   ? "1 0 0 "
                         : t.axis == 'y' ? "0 1 0 "
                                         : "0 0 1 ") +
                        Short(t.degrees) + ")";
            line += " 0 </rot>";
        }
        m_Positions += line + "\n";
    }
    m_Positions += " </position>\n";
}

void FigureWriter::Animation(const std::string& name, const Keys& keys)
{
    m_Animations += " <animation> " + name + "\n";
    for (const auto& [time, position] : keys)
        m_Animations += "  " + Time(time) + " " + position + "\n";
    m_Animations += " </animation>\n";
}

std::string FigureWriter::Text() const
{
    std::string text = m_Comment + "<figure> " + m_Name + "\n";
    for (const Bone& bone : m_Bones)
        text += " <piece> " + bone.name + (bone.parent.empty() ? "" : " " + bone.parent) +
                " </piece>\n";
    return text + m_Positions + m_Animations + "</figure>\n";
}

} // namespace DemoAssets
