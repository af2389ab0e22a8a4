#include "platform_test_util.h"

#include "platform/gfx_error.h"
#include "platform/x_file.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace
{

using PlatformTest::ExpectVec3;

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>());
}

std::vector<std::uint8_t> BytesOf(const std::string& text)
{
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

gfx::XMeshFile LoadText(const std::string& text)
{
    return gfx::LoadXMesh(BytesOf(text));
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

// The compressed form of an uncompressed file: "tzip" or "bzip" in its
// header, the inflated size, then blocks of at most blockSize bytes, each
// deflated with the previous block as its dictionary.
std::vector<std::uint8_t> Compress(const std::vector<std::uint8_t>& plain, std::size_t blockSize)
{
    std::vector<std::uint8_t> out(plain.begin(), plain.begin() + 16);
    std::memcpy(out.data() + 8, plain[8] == 't' ? "tzip" : "bzip", 4);
    const auto put = [&out](std::uint32_t value, int size)
    {
        for (int i = 0; i < size; ++i)
            out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    put(static_cast<std::uint32_t>(plain.size()), 4);
    for (std::size_t start = 16; start < plain.size(); start += blockSize)
    {
        const std::size_t size = std::min(blockSize, plain.size() - start);
        z_stream z{};
        EXPECT_EQ(deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
        if (start > 16)
        {
            const std::size_t previous = std::min(blockSize, start - 16);
            deflateSetDictionary(&z, plain.data() + start - previous, static_cast<uInt>(previous));
        }
        std::vector<std::uint8_t> packed(deflateBound(&z, size));
        z.next_in = const_cast<Bytef*>(plain.data() + start);
        z.avail_in = static_cast<uInt>(size);
        z.next_out = packed.data();
        z.avail_out = static_cast<uInt>(packed.size());
        EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
        packed.resize(z.total_out);
        deflateEnd(&z);
        put(static_cast<std::uint32_t>(size), 2);
        put(static_cast<std::uint32_t>(packed.size() + 2), 2);
        out.push_back('C');
        out.push_back('K');
        out.insert(out.end(), packed.begin(), packed.end());
    }
    return out;
}

void SetU16(std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t value)
{
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
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

// Small blocks make the later ones lean on the earlier as their dictionary.
TEST(XMeshFile, CompressedFilesGiveTheSameMesh)
{
    const std::vector<std::uint8_t> text = ReadFile(kData / "two_frames.x");
    ASSERT_FALSE(text.empty());
    for (const std::vector<std::uint8_t>& plain :
         {text, TwoFramesBinary(false), TwoFramesBinary(true)})
        for (std::size_t blockSize : {std::size_t{48}, std::size_t{32768}})
        {
            SCOPED_TRACE(std::string(plain.begin(), plain.begin() + 16) + " in blocks of " +
                         std::to_string(blockSize));
            ExpectTwoFrames(gfx::LoadXMesh(Compress(plain, blockSize)));
        }
    // The seeds of the fuzz target are such files too.
    for (const char* seed : {"two_frames_tzip.x", "two_frames_bzip.x"})
    {
        SCOPED_TRACE(seed);
        const std::vector<std::uint8_t> bytes =
            ReadFile(std::filesystem::path(VARD_TEST_DATA) / "fuzz" / "seeds" / seed);
        ASSERT_GT(bytes.size(), 16u);
        EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 12).substr(1), "zip");
        ExpectTwoFrames(gfx::LoadXMesh(bytes));
    }
}

TEST(XMeshFile, DamagedCompressedFilesFailNamingThePlace)
{
    const std::vector<std::uint8_t> good = Compress(ReadFile(kData / "two_frames.x"), 200);
    ASSERT_GT(good.size(), 40u);
    const std::size_t total = good[16] | (good[17] << 8);
    const std::size_t firstPacked = good[22] | (good[23] << 8);
    const std::size_t second = 24 + firstPacked;
    // The file's own size sits at byte 16, the first block's header at 20.
    struct Case
    {
        const char* what;
        std::function<void(std::vector<std::uint8_t>&)> damage;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"total one too many", [&](auto& b) { SetU16(b, 16, total + 1); },
         "blocks hold " + std::to_string(total - 16)},
        {"total one too few", [&](auto& b) { SetU16(b, 16, total - 1); },
         "hold more than the " + std::to_string(total - 17) + " bytes"},
        {"total of 4 GB", [](auto& b) { b[16] = b[17] = b[18] = b[19] = 0xFF; },
         "claims 4294967295 bytes inflated at byte 16"},
        {"total below the header",
         [](auto& b)
         {
             b[16] = 15;
             b[17] = 0;
         },
         "at byte 16"},
        {"block claims one byte more", [](auto& b) { SetU16(b, 20, 201); },
         "inflates to 200 bytes, not the 201 it claims in block 1 at byte 20"},
        {"block claims one byte less", [](auto& b) { SetU16(b, 20, 199); },
         "inflates to more than the 199 bytes it claims in block 1 at byte 20"},
        {"block claims 64 KB", [](auto& b) { SetU16(b, 20, 0xFFFF); }, "claims 65535 bytes"},
        {"block claims nothing", [](auto& b) { SetU16(b, 20, 0); }, "claims 0 bytes"},
        {"packed size past the end", [](auto& b) { SetU16(b, 22, 0xFFFF); },
         "of 65535 bytes runs past the end of the file in block 1 at byte 20"},
        {"no CK", [](auto& b) { b[25] = 'X'; }, "\"CK\" in block 1"},
        {"reserved deflate block type", [](auto& b) { b[26] = 0xFF; },
         "damaged compressed data in block 1 at byte 20"},
        {"truncated block", [&](auto& b) { b.resize(second + 10); },
         "runs past the end of the file in block 2 at byte " + std::to_string(second)},
        {"truncated block with its size mended",
         [&](auto& b)
         {
             b.resize(second + 10);
             SetU16(b, second + 2, 6);
         },
         "cut short in block 2"},
        {"stray byte after the blocks", [](auto& b) { b.push_back(0); },
         "header cut short in block"},
    };
    for (const Case& c : cases)
    {
        std::vector<std::uint8_t> bytes = good;
        c.damage(bytes);
        try
        {
            gfx::LoadXMesh(bytes);
            ADD_FAILURE() << c.what << " loaded";
        }
        catch (const gfx::Error& e)
        {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
                << c.what << ": " << e.what();
        }
    }
    // Any cut leaves the blocks short of the size the file claims.
    for (std::size_t length = 0; length < good.size(); ++length)
        EXPECT_THROW(gfx::LoadXMesh(std::span<const std::uint8_t>(good.data(), length)), gfx::Error)
            << "cut at " << length;
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
        {"compressed garbage", "xof 0302tzip0032 garbage"},
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
