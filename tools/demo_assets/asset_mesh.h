#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace DemoAssets
{

struct P3
{
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// A rectangle of a texture: u0, v0 at the first corner, u1, v1 at the far one.
struct UvRect
{
    double u0 = 0.0;
    double v0 = 0.0;
    double u1 = 1.0;
    double v1 = 1.0;
};

// A low-polygon mesh put together from flat faces, each wound so that its
// outside sees the corners counter-clockwise, written as a text mesh file
// with one textured material.
class MeshBuilder
{
public:
    explicit MeshBuilder(std::string name) : m_Name(std::move(name)) {}

    // Corners in order round the face; uvs one per corner.
    void Face(const std::vector<P3>& corners, const std::vector<std::array<double, 2>>& uvs);
    // A quad of four corners whose texture is the rectangle: the first corner
    // takes (u0, v1), the second (u0, v0), the third (u1, v0), the fourth (u1, v1);
    // corners run bottom left, top left, top right, bottom right as seen from
    // outside.
    void Quad(const P3& a, const P3& b, const P3& c, const P3& d, const UvRect& uv);
    // An axis-aligned box with all six faces showing the rectangle.
    void Box(const P3& low, const P3& high, const UvRect& uv);
    // A prism of n sides round the y axis from y0 (radius r0) to y1 (radius
    // r1), at the centre; caps where a radius is not zero. The sides take the
    // rectangle across their width, the caps its middle.
    void Prism(int sides, double r0, double y0, double r1, double y1, const UvRect& uv,
               P3 centre = {}, bool caps = true);
    // A flat polygon of n corners round the y axis, facing up or down.
    void Disc(int sides, double r, double y, bool up, const UvRect& uv, P3 centre = {});
    // The faces so far, turned about the x, y or z axis by degrees, then moved.
    void Transform(char axis, double degrees, const P3& move, std::size_t firstFace = 0);
    // A point turned as Transform turns the corners.
    static P3 Turned(const P3& p, char axis, double degrees);
    std::size_t FaceCount() const { return m_Faces.size(); }

    // The mesh file; the material is white and takes the texture named.
    std::string XText(const std::string& textureName) const;

private:
    struct FaceData
    {
        std::vector<P3> corners;
        std::vector<std::array<double, 2>> uvs;
    };

    std::string m_Name;
    std::vector<FaceData> m_Faces;
};

} // namespace DemoAssets
