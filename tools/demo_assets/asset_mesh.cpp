#include "asset_mesh.h"

#include <cmath>
#include <cstdio>
#include <numbers>

namespace DemoAssets
{

namespace
{

P3 Sub(const P3& a, const P3& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

P3 Cross(const P3& a, const P3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

P3 Unit(const P3& v)
{
    const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length == 0.0)
        return {0.0, 1.0, 0.0};
    return {v.x / length, v.y / length, v.z / length};
}

// Four decimals: enough for these shapes, and short.
std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", value);
    std::string s = text;
    if (s == "-0.0000")
        s = "0.0000";
    return s;
}

} // namespace

void MeshBuilder::Face(const std::vector<P3>& corners,
                       const std::vector<std::array<double, 2>>& uvs)
{
    m_Faces.push_back({corners, uvs});
}

void MeshBuilder::Quad(const P3& a, const P3& b, const P3& c, const P3& d, const UvRect& uv)
{
    Face({a, b, c, d}, {{uv.u0, uv.v1}, {uv.u0, uv.v0}, {uv.u1, uv.v0}, {uv.u1, uv.v1}});
}

void MeshBuilder::Box(const P3& l, const P3& h, const UvRect& uv)
{
    // -z, +x, +z, -x sides, then top and bottom.
    Quad({l.x, l.y, l.z}, {l.x, h.y, l.z}, {h.x, h.y, l.z}, {h.x, l.y, l.z}, uv);
    Quad({h.x, l.y, l.z}, {h.x, h.y, l.z}, {h.x, h.y, h.z}, {h.x, l.y, h.z}, uv);
    Quad({h.x, l.y, h.z}, {h.x, h.y, h.z}, {l.x, h.y, h.z}, {l.x, l.y, h.z}, uv);
    Quad({l.x, l.y, h.z}, {l.x, h.y, h.z}, {l.x, h.y, l.z}, {l.x, l.y, l.z}, uv);
    Quad({l.x, h.y, l.z}, {l.x, h.y, h.z}, {h.x, h.y, h.z}, {h.x, h.y, l.z}, uv);
    Quad({l.x, l.y, h.z}, {l.x, l.y, l.z}, {h.x, l.y, l.z}, {h.x, l.y, h.z}, uv);
}

void MeshBuilder::Prism(int sides, double r0, double y0, double r1, double y1, const UvRect& uv,
                        P3 centre, bool caps)
{
    auto ring = [&](double r, double y, int i)
    {
        // Round from +x toward +z, so that each side faces outward.
        const double a = 2.0 * std::numbers::pi * i / sides;
        return P3{centre.x + r * std::cos(a), y, centre.z + r * std::sin(a)};
    };
    for (int i = 0; i < sides; ++i)
    {
        const double ua = uv.u0 + (uv.u1 - uv.u0) * i / sides;
        const double ub = uv.u0 + (uv.u1 - uv.u0) * (i + 1) / sides;
        if (r1 == 0.0)
            Face({ring(r0, y0, i), {centre.x, y1, centre.z}, ring(r0, y0, i + 1)},
                 {{ua, uv.v1}, {(ua + ub) / 2, uv.v0}, {ub, uv.v1}});
        else if (r0 == 0.0)
            Face({{centre.x, y0, centre.z}, ring(r1, y1, i), ring(r1, y1, i + 1)},
                 {{(ua + ub) / 2, uv.v1}, {ua, uv.v0}, {ub, uv.v0}});
        else
            Quad(ring(r0, y0, i), ring(r1, y1, i), ring(r1, y1, i + 1), ring(r0, y0, i + 1),
                 {ua, uv.v0, ub, uv.v1});
    }
    if (!caps)
        return;
    if (r1 > 0.0)
        Disc(sides, r1, y1, true, uv, centre);
    if (r0 > 0.0)
        Disc(sides, r0, y0, false, uv, centre);
}

void MeshBuilder::Disc(int sides, double r, double y, bool up, const UvRect& uv, P3 centre)
{
    const double um = (uv.u0 + uv.u1) / 2;
    const double vm = (uv.v0 + uv.v1) / 2;
    const double du = (uv.u1 - uv.u0) / 2;
    const double dv = (uv.v1 - uv.v0) / 2;
    std::vector<P3> corners;
    std::vector<std::array<double, 2>> uvs;
    for (int k = 0; k < sides; ++k)
    {
        // Upward faces run the other way round.
        const int i = up ? sides - k : k;
        const double a = 2.0 * std::numbers::pi * i / sides;
        corners.push_back({centre.x + r * std::cos(a), y, centre.z + r * std::sin(a)});
        uvs.push_back({um + du * std::cos(a), vm + dv * std::sin(a)});
    }
    Face(corners, uvs);
}

void MeshBuilder::Transform(char axis, double degrees, const P3& move, std::size_t firstFace)
{
    for (std::size_t f = firstFace; f < m_Faces.size(); ++f)
        for (P3& p : m_Faces[f].corners)
        {
            const P3 r = Turned(p, axis, degrees);
            p = {r.x + move.x, r.y + move.y, r.z + move.z};
        }
}

P3 MeshBuilder::Turned(const P3& p, char axis, double degrees)
{
    const double a = degrees / 180.0 * std::numbers::pi;
    const double c = std::cos(a);
    const double s = std::sin(a);
    if (axis == 'x')
        return {p.x, p.y * c - p.z * s, p.y * s + p.z * c};
    if (axis == 'y')
        return {p.x * c + p.z * s, p.y, -p.x * s + p.z * c};
    if (axis == 'z')
        return {p.x * c - p.y * s, p.x * s + p.y * c, p.z};
    return p;
}

std::string MeshBuilder::XText(const std::string& textureName) const
{
    std::vector<std::string> positions;
    std::vector<std::string> normals;
    std::vector<std::string> uvs;
    std::vector<std::string> faces;
    std::size_t next = 0;
    for (const FaceData& face : m_Faces)
    {
        const P3 n = Unit(
            Cross(Sub(face.corners[1], face.corners[0]), Sub(face.corners[2], face.corners[0])));
        std::string indices = std::to_string(face.corners.size()) + ";";
        for (std::size_t i = 0; i < face.corners.size(); ++i)
        {
            const P3& p = face.corners[i];
            positions.push_back(Number(p.x) + ";" + Number(p.y) + ";" + Number(p.z) + ";");
            normals.push_back(Number(n.x) + ";" + Number(n.y) + ";" + Number(n.z) + ";");
            uvs.push_back(Number(face.uvs[i][0]) + ";" + Number(face.uvs[i][1]) + ";");
            indices += (i ? "," : "") + std::to_string(next++);
        }
        faces.push_back(indices + ";");
    }
    auto list = [](const std::vector<std::string>& items, const std::string& indent)
    {
        std::string text;
        for (std::size_t i = 0; i < items.size(); ++i)
            text += indent + items[i] + (i + 1 < items.size() ? ",\n" : ";\n");
        return text;
    };
    const std::string faceCount = std::to_string(faces.size());
    std::string x = "xof 0302txt 0032\n";
    x += "Mesh " + m_Name + " {\n";
    x += " " + std::to_string(positions.size()) + ";\n" + list(positions, " ");
    x += " " + faceCount + ";\n" + list(faces, " ");
    x += " MeshNormals {\n  " + std::to_string(normals.size()) + ";\n" + list(normals, "  ");
    x += "  " + faceCount + ";\n" + list(faces, "  ") + " }\n";
    x += " MeshTextureCoords {\n  " + std::to_string(uvs.size()) + ";\n" + list(uvs, "  ");
    x += " }\n";
    x += " MeshMaterialList {\n  1;\n  " + faceCount + ";\n" +
         list(std::vector<std::string>(faces.size(), "0"), "  ");
    x += "  Material {\n   1.0000;1.0000;1.0000;1.0000;;\n   0.0000;\n"
         "   0.0000;0.0000;0.0000;;\n   0.0000;0.0000;0.0000;;\n";
    x += "   TextureFilename {\n    \"" + textureName + "\";\n   }\n  }\n }\n}\n";
    return x;
}

} // namespace DemoAssets
