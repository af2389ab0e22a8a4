#include "platform/gfx_error.h"
#include "platform/x_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>());
}

std::vector<std::uint8_t> Bytes(const std::string& text)
{
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

gfx::XMeshFile LoadText(const std::string& text)
{
    return gfx::LoadXMesh(Bytes(text));
}

// Writes the binary form token by token, independently of the reader.
class BinaryWriter
{
public:
    explicit BinaryWriter(bool doubles) : m_Doubles(doubles)
    {
        const std::string header = doubles ? "xof 0302bin 0064" : "xof 0302bin 0032";
        m_Bytes.assign(header.begin(), header.end());
    }

    void Code(std::uint16_t code) { Put(code, 2); }
    void Name(const std::string& name)
    {
        Code(1);
        Put(name.size(), 4);
        m_Bytes.insert(m_Bytes.end(), name.begin(), name.end());
    }
    void String(const std::string& text)
    {
        Code(2);
        Put(text.size(), 4);
        m_Bytes.insert(m_Bytes.end(), text.begin(), text.end());
        Put(20, 4); // ends with a semicolon
    }
    void Integers(std::initializer_list<std::uint32_t> values)
    {
        Code(6);
        Put(values.size(), 4);
        for (std::uint32_t v : values)
            Put(v, 4);
    }
    void Floats(std::initializer_list<double> values)
    {
        Code(7);
        Put(values.size(), 4);
        for (double v : values)
        {
            if (m_Doubles)
            {
                std::uint64_t bits;
                std::memcpy(&bits, &v, 8);
                Put(bits, 8);
            }
            else
            {
                const float f = static_cast<float>(v);
                std::uint32_t bits;
                std::memcpy(&bits, &f, 4);
                Put(bits, 4);
            }
        }
    }
    void Guid()
    {
        Code(5);
        for (int i = 0; i < 16; ++i)
            m_Bytes.push_back(static_cast<std::uint8_t>(i * 7));
    }
    void Open() { Code(10); }
    void Close() { Code(11); }
    void Object(const std::string& type, const std::string& name = {})
    {
        Name(type);
        if (!name.empty())
            Name(name);
        Open();
    }

    const std::vector<std::uint8_t>& GetBytes() const { return m_Bytes; }

private:
    void Put(std::uint64_t value, int size)
    {
        for (int i = 0; i < size; ++i)
            m_Bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }

    bool m_Doubles;
    std::vector<std::uint8_t> m_Bytes;
};

// The content of tests/data/platform/two_frames.x in the binary form.
std::vector<std::uint8_t> TwoFramesBinary(bool doubles)
{
    BinaryWriter w(doubles);
    // template Vector { <guid> FLOAT x; FLOAT y; FLOAT z; }
    w.Code(31);
    w.Name("Vector");
    w.Open();
    w.Guid();
    for (const char* member : {"x", "y", "z"})
    {
        w.Code(42);
        w.Name(member);
        w.Code(20);
    }
    w.Close();

    w.Object("Header");
    w.Integers({1, 0, 1});
    w.Close();

    w.Object("Material", "Red");
    w.Floats({1.0, 0.0, 0.0, 1.0, 5.0, 0.5, 0.5, 0.5, 0.0, 0.0, 0.0});
    w.Close();

    w.Object("Frame", "Root");
    w.Object("FrameTransformMatrix");
    w.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 0, 0, 1});
    w.Close();
    w.Object("Frame", "Child");
    w.Object("FrameTransformMatrix");
    w.Floats({0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 2, 0, 1});
    w.Close();
    w.Object("Mesh", "Quad");
    w.Integers({4});
    w.Floats({0, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0, 1});
    w.Integers({1, 4, 0, 1, 2, 3});
    w.Object("MeshNormals");
    w.Integers({1});
    w.Floats({0, 1, 0});
    w.Integers({1, 4, 0, 0, 0, 0});
    w.Close();
    w.Object("MeshTextureCoords");
    w.Integers({4});
    w.Floats({0, 0, 1, 0, 1, 1, 0, 1});
    w.Close();
    w.Object("MeshMaterialList");
    w.Integers({2, 1, 1});
    w.Open();
    w.Name("Red");
    w.Close();
    w.Object("Material");
    w.Floats({0.0, 1.0, 0.0, 0.5, 10.0, 0.0, 0.0, 0.0, 0.2, 0.3, 0.4});
    w.Object("TextureFilename");
    w.String("grass.png");
    w.Close();
    w.Close(); // Material
    w.Close(); // MeshMaterialList
    w.Close(); // Mesh
    w.Close(); // Child
    w.Close(); // Root

    w.Object("Mesh", "Triangle");
    w.Integers({3});
    w.Floats({0, 0, 0, 0, 1, 0, 1, 0, 0});
    w.Integers({1, 3, 0, 1, 2});
    w.Close();
    return w.GetBytes();
}

void ExpectVec3(const gfx::Vec3& v, float x, float y, float z)
{
    EXPECT_NEAR(v.x, x, 1e-5f);
    EXPECT_NEAR(v.y, y, 1e-5f);
    EXPECT_NEAR(v.z, z, 1e-5f);
}

void ExpectColor(const gfx::ColorValue& c, float r, float g, float b, float a)
{
    EXPECT_NEAR(c.r, r, 1e-6f);
    EXPECT_NEAR(c.g, g, 1e-6f);
    EXPECT_NEAR(c.b, b, 1e-6f);
    EXPECT_NEAR(c.a, a, 1e-6f);
}

// The quad is turned a quarter about Y, raised by 2 (Child), then moved 10
// along x (Root): (x, y, z) becomes (z + 10, y + 2, -x).
void ExpectTwoFrames(const gfx::XMeshFile& file)
{
    const gfx::Mesh& mesh = file.mesh;
    ASSERT_EQ(mesh.GetLayout(), gfx::VertexLayout::PositionNormalTexture);
    EXPECT_EQ(mesh.GetIndexFormat(), gfx::IndexFormat::Bits16);
    ASSERT_EQ(mesh.GetNumVertices(), 7u);
    ASSERT_EQ(mesh.GetNumFaces(), 3u);
    const auto& v = mesh.GetVertices();
    ExpectVec3(v[0].position, 10, 2, 0);
    ExpectVec3(v[1].position, 10, 2, -1);
    ExpectVec3(v[2].position, 11, 2, -1);
    ExpectVec3(v[3].position, 11, 2, 0);
    for (int i = 0; i < 4; ++i)
        ExpectVec3(v[i].normal, 0, 1, 0);
    EXPECT_FLOAT_EQ(v[2].uv.x, 1.0f);
    EXPECT_FLOAT_EQ(v[2].uv.y, 1.0f);
    EXPECT_FLOAT_EQ(v[3].uv.x, 0.0f);
    EXPECT_FLOAT_EQ(v[3].uv.y, 1.0f);
    ExpectVec3(v[4].position, 0, 0, 0);
    ExpectVec3(v[5].position, 0, 1, 0);
    ExpectVec3(v[6].position, 1, 0, 0);
    // No normals in the file: (b - a) × (c - a) = (0, 1, 0) × (1, 0, 0).
    for (int i = 4; i < 7; ++i)
    {
        ExpectVec3(v[i].normal, 0, 0, -1);
        EXPECT_EQ(v[i].uv.x, 0.0f);
    }
    EXPECT_EQ(mesh.GetIndices(), (std::vector<std::uint32_t>{0, 1, 2, 0, 2, 3, 4, 5, 6}));
    // The quad names material 1 of its list; the triangle gets the default, 2.
    EXPECT_EQ(mesh.GetAttributes(), (std::vector<std::uint32_t>{1, 1, 2}));
    EXPECT_EQ(mesh.GetAttributeCount(), 3u);

    ASSERT_EQ(file.materials.size(), 3u);
    const gfx::XMaterial& red = file.materials[0];
    ExpectColor(red.material.diffuse, 1, 0, 0, 1);
    EXPECT_FLOAT_EQ(red.material.power, 5.0f);
    ExpectColor(red.material.specular, 0.5f, 0.5f, 0.5f, 1);
    ExpectColor(red.material.emissive, 0, 0, 0, 1);
    ExpectColor(red.material.ambient, 0, 0, 0, 0);
    EXPECT_FALSE(red.HasTexture());
    const gfx::XMaterial& green = file.materials[1];
    ExpectColor(green.material.diffuse, 0, 1, 0, 0.5f);
    EXPECT_FLOAT_EQ(green.material.power, 10.0f);
    ExpectColor(green.material.emissive, 0.2f, 0.3f, 0.4f, 1);
    EXPECT_TRUE(green.HasTexture());
    EXPECT_EQ(green.textureFile, "grass.png");
    ExpectColor(file.materials[2].material.diffuse, 0.5f, 0.5f, 0.5f, 1);
    EXPECT_FALSE(file.materials[2].HasTexture());
}

const std::filesystem::path kData = std::filesystem::path(VARD_TEST_DATA) / "platform";

} // namespace

TEST(XMeshFile, TextFileWithFramesMaterialsAndDefaults)
{
    const std::vector<std::uint8_t> bytes = ReadFile(kData / "two_frames.x");
    ASSERT_FALSE(bytes.empty());
    ExpectTwoFrames(gfx::LoadXMesh(bytes));
}

TEST(XMeshFile, BinaryFileGivesTheSameMesh)
{
    ExpectTwoFrames(gfx::LoadXMesh(TwoFramesBinary(false)));
}

TEST(XMeshFile, BinaryFileWithDoubles)
{
    ExpectTwoFrames(gfx::LoadXMesh(TwoFramesBinary(true)));
}

TEST(XMeshFile, PolygonsBecomeFans)
{
    const gfx::XMeshFile file = LoadText("xof 0303txt 0032\n"
                                         "Mesh { 5; 0;0;0;, 1;0;0;, 2;0;1;, 1;0;2;, 0;0;1;;\n"
                                         " 2; 5;0,1,2,3,4;, 3;4,3,2;; }\n");
    EXPECT_EQ(file.mesh.GetIndices(),
              (std::vector<std::uint32_t>{0, 1, 2, 0, 2, 3, 0, 3, 4, 4, 3, 2}));
    EXPECT_EQ(file.mesh.GetAttributes(), (std::vector<std::uint32_t>{0, 0, 0, 0}));
    EXPECT_EQ(file.mesh.GetLayout(), gfx::VertexLayout::PositionNormal);
    ASSERT_EQ(file.materials.size(), 1u);
}

TEST(XMeshFile, CornersWithAnotherNormalSplitTheVertex)
{
    // Two triangles sharing the edge 0-2, each with a normal of its own.
    const gfx::XMeshFile file =
        LoadText("xof 0302txt 0032\n"
                 "Mesh { 4; 0;0;0;, 1;0;0;, 1;0;1;, 0;0;1;;\n"
                 " 2; 3;0,1,2;, 3;0,2,3;;\n"
                 " MeshNormals { 2; 0;1;0;, 1;0;0;; 2; 3;0,0,0;, 3;1,1,1;; }\n"
                 "}\n");
    const gfx::Mesh& mesh = file.mesh;
    ASSERT_EQ(mesh.GetNumVertices(), 6u);
    EXPECT_EQ(mesh.GetIndices(), (std::vector<std::uint32_t>{0, 1, 2, 4, 5, 3}));
    const auto& v = mesh.GetVertices();
    ExpectVec3(v[3].normal, 1, 0, 0);
    ExpectVec3(v[4].position, 0, 0, 0);
    ExpectVec3(v[4].normal, 1, 0, 0);
    ExpectVec3(v[5].position, 1, 0, 1);
    ExpectVec3(v[5].normal, 1, 0, 0);
    ExpectVec3(v[0].normal, 0, 1, 0);
}

TEST(XMeshFile, ShortFaceMaterialListRepeatsItsLastEntry)
{
    const gfx::XMeshFile file =
        LoadText("xof 0302txt 0032\n"
                 "Mesh { 3; 0;0;0;, 1;0;0;, 0;0;1;; 3; 3;0,1,2;, 3;0,2,1;, 3;1,0,2;;\n"
                 " MeshMaterialList { 2; 2; 0, 1;;\n"
                 "  Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; }\n"
                 "  Material { 0;0;0;1;; 0; 0;0;0;; 0;0;0;; }\n"
                 " }\n"
                 "}\n");
    EXPECT_EQ(file.mesh.GetAttributes(), (std::vector<std::uint32_t>{0, 1, 1}));
    EXPECT_EQ(file.materials.size(), 2u);
}

TEST(XMeshFile, MalformedFilesFailWithAnError)
{
    const char* header = "xof 0302txt 0032\n";
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"empty", ""},
        {"no magic", "xxx 0302txt 0032 Mesh {}"},
        {"compressed", "xof 0302tzip0032 garbage"},
        {"bad float size", "xof 0302txt 0016 Mesh {}"},
        {"no mesh", std::string(header) + "Header { 1; 0; 1; }"},
        {"vertex index past the vertices",
         std::string(header) + "Mesh { 3; 0;0;0;, 1;0;0;, 0;0;1;; 1; 3;0,1,3;; }"},
        {"face of two corners",
         std::string(header) + "Mesh { 3; 0;0;0;, 1;0;0;, 0;0;1;; 1; 2;0,1;; }"},
        {"too few vertices", std::string(header) + "Mesh { 300; 0;0;0;, 1;0;0;, 0;0;1;; }"},
        {"huge vertex count", std::string(header) + "Mesh { 4294967295; 0;0;0;; }"},
        {"a word for a number", std::string(header) + "Mesh { 3; 0;zero;0;, 1;0;0;, 0;0;1;; }"},
        {"unclosed mesh", std::string(header) + "Mesh { 3; 0;0;0;, 1;0;0;, 0;0;1;; 1; 3;0,1,2;; "},
        {"unterminated string", std::string(header) + "Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; "
                                                      "TextureFilename { \"a.png; } }"},
        {"material index past the list",
         std::string(header) +
             "Mesh { 3; 0;0;0;, 1;0;0;, 0;0;1;; 1; 3;0,1,2;;"
             " MeshMaterialList { 1; 1; 1;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } } }"},
        {"material list short of materials",
         std::string(header) +
             "Mesh { 3; 0;0;0;, 1;0;0;, 0;0;1;; 1; 3;0,1,2;;"
             " MeshMaterialList { 2; 1; 0;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } } }"},
        {"reference to no material", std::string(header) +
                                         "Mesh { 3; 0;0;0;, 1;0;0;, 0;0;1;; 1; 3;0,1,2;;"
                                         " MeshMaterialList { 1; 1; 0;; { Missing } } }"},
        {"normal faces differ from faces",
         std::string(header) + "Mesh { 3; 0;0;0;, 1;0;0;, 0;0;1;; 1; 3;0,1,2;;"
                               " MeshNormals { 1; 0;1;0;; 2; 3;0,0,0;, 3;0,0,0;; } }"},
        {"normal index past the normals", std::string(header) +
                                              "Mesh { 3; 0;0;0;, 1;0;0;, 0;0;1;; 1; 3;0,1,2;;"
                                              " MeshNormals { 1; 0;1;0;; 1; 3;0,1,0;; } }"},
        {"too few texture coordinates", std::string(header) +
                                            "Mesh { 3; 0;0;0;, 1;0;0;, 0;0;1;; 1; 3;0,1,2;;"
                                            " MeshTextureCoords { 2; 0;0;, 1;1;; } }"},
        {"stray brace at the top", std::string(header) + "}"},
        {"NUL byte", std::string(header) + "Mesh {" + std::string(1, '\0') + "}"},
        {"stray closing angle", std::string(header) + "Mesh { > }"},
    };
    for (const auto& [what, text] : cases)
        EXPECT_THROW(LoadText(text), gfx::Error) << what;
}

TEST(XMeshFile, DeepNestingIsRefused)
{
    std::string text = "xof 0302txt 0032\n";
    for (int i = 0; i < 10000; ++i)
        text += "Frame {";
    text += "Mesh { 3; 0;0;0;, 1;0;0;, 0;0;1;; 1; 3;0,1,2;; }";
    for (int i = 0; i < 10000; ++i)
        text += "}";
    EXPECT_THROW(LoadText(text), gfx::Error);
}

TEST(XMeshFile, HugeBinaryListFailsBeforeReading)
{
    BinaryWriter w(false);
    w.Object("Mesh");
    w.Code(6);
    for (int i = 0; i < 4; ++i)
        w.Code(0xFFFF); // a list of 0xFFFFFFFF integers, then nothing
    std::vector<std::uint8_t> bytes = w.GetBytes();
    EXPECT_THROW(gfx::LoadXMesh(bytes), gfx::Error);
}

TEST(XMeshFile, UnknownBinaryTokenFails)
{
    BinaryWriter w(false);
    w.Code(99);
    EXPECT_THROW(gfx::LoadXMesh(w.GetBytes()), gfx::Error);
}

// A cut of a good file before its last closing brace either leaves an object
// open, which must fail with the reader's error and nothing else, or falls
// between the frame and the loose triangle, which leaves the quad alone.
TEST(XMeshFile, EveryTruncationFailsCleanly)
{
    const std::vector<std::uint8_t> text = ReadFile(kData / "two_frames.x");
    const std::vector<std::uint8_t> binary = TwoFramesBinary(false);
    ASSERT_FALSE(text.empty());
    const std::size_t textBrace = std::string(text.begin(), text.end()).rfind('}');
    const std::vector<std::pair<std::vector<std::uint8_t>, std::size_t>> files = {
        {text, textBrace}, {binary, binary.size() - 2}};
    for (const auto& [file, lastBrace] : files)
    {
        int loaded = 0;
        for (std::size_t length = 0; length <= lastBrace; ++length)
        {
            try
            {
                const gfx::XMeshFile cut =
                    gfx::LoadXMesh(std::span<const std::uint8_t>(file.data(), length));
                ++loaded;
                EXPECT_EQ(cut.mesh.GetNumVertices(), 4u) << "cut at " << length;
                EXPECT_EQ(cut.mesh.GetNumFaces(), 2u) << "cut at " << length;
            }
            catch (const gfx::Error&)
            {
            }
        }
        EXPECT_GE(loaded, 1);
        EXPECT_LE(loaded, 4);
    }
}

// Inputs the fuzzer once found troublesome; each must load or fail cleanly.
TEST(XMeshFile, FuzzRegressions)
{
    const std::filesystem::path folder = kData / "x_fuzz";
    if (!std::filesystem::exists(folder))
        GTEST_SKIP() << "no regression inputs";
    for (const auto& entry : std::filesystem::directory_iterator(folder))
    {
        const std::vector<std::uint8_t> bytes = ReadFile(entry.path());
        try
        {
            gfx::LoadXMesh(bytes);
        }
        catch (const gfx::Error&)
        {
        }
    }
}
