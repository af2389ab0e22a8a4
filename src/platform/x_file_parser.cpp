#include "platform/x_file_parser.h"

#include "platform/gfx_error.h"
#include "platform/x_file_tokens.h"

#include <cctype>
#include <charconv>

namespace gfx::xfile
{

namespace
{

// Frames and objects nest this deep at most: deeper is taken for a broken
// file rather than risking the stack.
constexpr int kMaxDepth = 64;

bool EqualsIgnoringCase(const std::string& a, const char* b)
{
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && b[i] == '\0';
}

class Parser
{
public:
    explicit Parser(std::span<const std::uint8_t> bytes) : m_Tokens(xfile::OpenTokenSource(bytes))
    {
    }

    void ParseFile();

    ParsedFile m_File;

private:
    void SkipSeparators();
    std::uint32_t ReadCount(const char* what);
    float ReadFloat(const char* what);
    Vec3 ReadVec3(const char* what);
    std::string ReadObjectHeader(const std::string& type);
    void SkipBody();
    void SkipTemplate();
    std::string ReadReference();
    void ExpectCloseBrace(const std::string& type);

    void ParseDataObject(int depth, Matrix* frameLocal);
    void ParseFrame(int depth);
    void ParseMesh(int depth);
    void ParseNormals(ParsedMesh& mesh);
    void ParseTextureCoords(ParsedMesh& mesh);
    void ParseMaterialList(int depth, ParsedMesh& mesh);
    XMaterial ParseMaterial(int depth);
    std::string ParseTextureFilename();
    void SkipChildren(const std::string& type);
    // Reads the children of an object up to its closing brace, handing each
    // reference and each nested object to its handler.
    template <typename OnReference, typename OnObject>
    void ReadChildren(const std::string& type, OnReference onReference, OnObject onObject);

    TokenStream m_Tokens;
};

void Parser::SkipSeparators()
{
    while (m_Tokens.Peek().kind == TokenKind::Separator)
        m_Tokens.Take();
}

std::uint32_t Parser::ReadCount(const char* what)
{
    SkipSeparators();
    const Token token = m_Tokens.Take();
    if (token.kind == TokenKind::Integer)
        return token.integer;
    if (token.kind == TokenKind::Name)
    {
        std::uint32_t value = 0;
        const char* first = token.text.data();
        const char* last = first + token.text.size();
        const auto [end, error] = std::from_chars(first, last, value);
        if (error == std::errc() && end == last)
            return value;
    }
    m_Tokens.Fail(std::string("expected ") + what);
}

float Parser::ReadFloat(const char* what)
{
    SkipSeparators();
    const Token token = m_Tokens.Take();
    if (token.kind == TokenKind::Float)
        return static_cast<float>(token.number);
    if (token.kind == TokenKind::Integer)
        return static_cast<float>(token.integer);
    if (token.kind == TokenKind::Name)
    {
        double value = 0.0;
        const char* first = token.text.data();
        const char* last = first + token.text.size();
        if (first != last && *first == '+')
            ++first;
        const auto [end, error] = std::from_chars(first, last, value);
        if (error == std::errc() && end == last)
            return static_cast<float>(value);
    }
    m_Tokens.Fail(std::string("expected ") + what);
}

Vec3 Parser::ReadVec3(const char* what)
{
    Vec3 v;
    v.x = ReadFloat(what);
    v.y = ReadFloat(what);
    v.z = ReadFloat(what);
    return v;
}

// After the type word: an optional name, the opening brace and an optional
// class identifier. Gives the name.
std::string Parser::ReadObjectHeader(const std::string& type)
{
    std::string name;
    if (m_Tokens.Peek().kind == TokenKind::Name)
        name = m_Tokens.Take().text;
    if (m_Tokens.Peek().kind != TokenKind::OpenBrace)
        m_Tokens.Fail("expected { after " + type);
    m_Tokens.Take();
    if (m_Tokens.Peek().kind == TokenKind::Guid)
        m_Tokens.Take();
    return name;
}

// The rest of an object whose opening brace was read, nested objects and all.
void Parser::SkipBody()
{
    int open = 1;
    while (open > 0)
    {
        const Token token = m_Tokens.Take();
        if (token.kind == TokenKind::End)
            m_Tokens.Fail("unexpected end of file");
        if (token.kind == TokenKind::OpenBrace)
            ++open;
        else if (token.kind == TokenKind::CloseBrace)
            --open;
    }
}

void Parser::SkipTemplate()
{
    m_Tokens.Take();
    if (m_Tokens.Take().kind != TokenKind::Name)
        m_Tokens.Fail("expected a template name");
    if (m_Tokens.Take().kind != TokenKind::OpenBrace)
        m_Tokens.Fail("expected { after the template name");
    SkipBody();
}

// "{ name }", possibly with a class identifier; gives the name.
std::string Parser::ReadReference()
{
    m_Tokens.Take();
    std::string name;
    for (;;)
    {
        const Token token = m_Tokens.Take();
        if (token.kind == TokenKind::CloseBrace)
            return name;
        if (token.kind == TokenKind::Name && name.empty())
            name = token.text;
        else if (token.kind != TokenKind::Guid && token.kind != TokenKind::Separator)
            m_Tokens.Fail("malformed reference");
    }
}

void Parser::ExpectCloseBrace(const std::string& type)
{
    SkipSeparators();
    if (m_Tokens.Take().kind != TokenKind::CloseBrace)
        m_Tokens.Fail("expected } to end " + type);
}

// Children this reader has no use for, up to and including the closing brace.
template <typename OnReference, typename OnObject>
void Parser::ReadChildren(const std::string& type, OnReference onReference, OnObject onObject)
{
    for (;;)
    {
        SkipSeparators();
        switch (m_Tokens.Peek().kind)
        {
        case TokenKind::CloseBrace:
            m_Tokens.Take();
            return;
        case TokenKind::OpenBrace:
            onReference();
            break;
        case TokenKind::Name:
            onObject();
            break;
        case TokenKind::End:
            m_Tokens.Fail("unexpected end of file in " + type);
        default:
            m_Tokens.Fail("unexpected data in " + type);
        }
    }
}

void Parser::SkipChildren(const std::string& type)
{
    ReadChildren(
        type, [this] { ReadReference(); },
        [this, &type] {
            m_Tokens.Take();
            ReadObjectHeader(type);
            SkipBody();
        });
}

void Parser::ParseFile()
{
    for (;;)
    {
        SkipSeparators();
        switch (m_Tokens.Peek().kind)
        {
        case TokenKind::End:
            return;
        case TokenKind::Template:
            SkipTemplate();
            break;
        case TokenKind::OpenBrace:
            ReadReference();
            break;
        case TokenKind::Name:
            ParseDataObject(1, nullptr);
            break;
        default:
            m_Tokens.Fail("unexpected data at the top level");
        }
    }
}

// At the type word. frameLocal is the matrix of the enclosing frame, if any.
void Parser::ParseDataObject(int depth, Matrix* frameLocal)
{
    if (depth > kMaxDepth)
        m_Tokens.Fail("objects nested too deeply");
    const std::string type = m_Tokens.Take().text;
    const std::string name = ReadObjectHeader(type);
    if (type == "Frame")
        ParseFrame(depth);
    else if (type == "Mesh")
        ParseMesh(depth);
    else if (type == "Material")
    {
        XMaterial material = ParseMaterial(depth);
        if (!name.empty())
            m_File.named[name] = std::move(material);
    }
    else if (type == "FrameTransformMatrix" && frameLocal)
    {
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 4; ++column)
                frameLocal->m[row][column] = ReadFloat("a matrix element");
        ExpectCloseBrace(type);
    }
    else
        SkipBody();
}

void Parser::ParseFrame(int depth)
{
    const std::size_t firstMesh = m_File.meshes.size();
    Matrix local = Matrix::Identity();
    ReadChildren(
        "Frame", [this] { ReadReference(); },
        [this, depth, &local] { ParseDataObject(depth + 1, &local); });
    // Meshes of inner frames already carry those frames' matrices; this one
    // comes after them.
    for (std::size_t i = firstMesh; i < m_File.meshes.size(); ++i)
        m_File.meshes[i].transform = m_File.meshes[i].transform * local;
}

void Parser::ParseMesh(int depth)
{
    ParsedMesh mesh;
    const std::uint32_t vertexCount = ReadCount("the vertex count");
    for (std::uint32_t i = 0; i < vertexCount; ++i)
        mesh.positions.push_back(ReadVec3("a vertex coordinate"));
    const std::uint32_t faceCount = ReadCount("the face count");
    for (std::uint32_t face = 0; face < faceCount; ++face)
    {
        const std::uint32_t corners = ReadCount("a face's corner count");
        if (corners < 3)
            m_Tokens.Fail("a face with " + std::to_string(corners) + " corners");
        for (std::uint32_t c = 0; c < corners; ++c)
        {
            const std::uint32_t index = ReadCount("a vertex index");
            if (index >= vertexCount)
                m_Tokens.Fail("vertex index " + std::to_string(index) + " of " +
                              std::to_string(vertexCount) + " vertices");
            mesh.faceCorners.push_back(index);
        }
        mesh.faceSizes.push_back(corners);
    }
    ReadChildren(
        "Mesh", [this] { ReadReference(); },
        [this, depth, &mesh] {
            if (depth >= kMaxDepth)
                m_Tokens.Fail("objects nested too deeply");
            const std::string type = m_Tokens.Take().text;
            ReadObjectHeader(type);
            if (type == "MeshNormals")
                ParseNormals(mesh);
            else if (type == "MeshTextureCoords")
                ParseTextureCoords(mesh);
            else if (type == "MeshMaterialList")
                ParseMaterialList(depth + 1, mesh);
            else
                SkipBody();
        });
    m_File.meshes.push_back(std::move(mesh));
}

void Parser::ParseNormals(ParsedMesh& mesh)
{
    mesh.normals.clear();
    mesh.normalCorners.clear();
    const std::uint32_t normalCount = ReadCount("the normal count");
    for (std::uint32_t i = 0; i < normalCount; ++i)
        mesh.normals.push_back(ReadVec3("a normal coordinate"));
    const std::uint32_t faceCount = ReadCount("the normal face count");
    // Some writers leave the normals empty; the mesh then has none.
    if (faceCount != 0 && faceCount != mesh.faceSizes.size())
        m_Tokens.Fail(std::to_string(faceCount) + " normal faces for " +
                      std::to_string(mesh.faceSizes.size()) + " faces");
    for (std::uint32_t face = 0; face < faceCount; ++face)
    {
        const std::uint32_t corners = ReadCount("a normal face's corner count");
        if (corners != mesh.faceSizes[face])
            m_Tokens.Fail("normal face " + std::to_string(face) + " has " +
                          std::to_string(corners) + " corners, the face " +
                          std::to_string(mesh.faceSizes[face]));
        for (std::uint32_t c = 0; c < corners; ++c)
        {
            const std::uint32_t index = ReadCount("a normal index");
            if (index >= normalCount)
                m_Tokens.Fail("normal index " + std::to_string(index) + " of " +
                              std::to_string(normalCount) + " normals");
            mesh.normalCorners.push_back(index);
        }
    }
    mesh.hasNormals = faceCount != 0;
    SkipChildren("MeshNormals");
}

void Parser::ParseTextureCoords(ParsedMesh& mesh)
{
    mesh.uvs.clear();
    const std::uint32_t count = ReadCount("the texture coordinate count");
    if (count < mesh.positions.size())
        m_Tokens.Fail(std::to_string(count) + " texture coordinates for " +
                      std::to_string(mesh.positions.size()) + " vertices");
    for (std::uint32_t i = 0; i < count; ++i)
    {
        Vec2 uv;
        uv.x = ReadFloat("a texture coordinate");
        uv.y = ReadFloat("a texture coordinate");
        mesh.uvs.push_back(uv);
    }
    mesh.hasUv = true;
    SkipChildren("MeshTextureCoords");
}

void Parser::ParseMaterialList(int depth, ParsedMesh& mesh)
{
    mesh.materials.clear();
    mesh.hasMaterialList = false;
    const std::uint32_t materialCount = ReadCount("the material count");
    const std::uint32_t indexCount = ReadCount("the face material count");
    std::vector<std::uint32_t> indices;
    for (std::uint32_t i = 0; i < indexCount; ++i)
    {
        const std::uint32_t index = ReadCount("a face material");
        if (index >= materialCount)
            m_Tokens.Fail("face material " + std::to_string(index) + " of " +
                          std::to_string(materialCount) + " materials");
        indices.push_back(index);
    }
    ReadChildren(
        "MeshMaterialList",
        [this, &mesh] {
            MaterialEntry entry;
            entry.reference = true;
            entry.name = ReadReference();
            mesh.materials.push_back(std::move(entry));
        },
        [this, depth, &mesh] {
            if (depth >= kMaxDepth)
                m_Tokens.Fail("objects nested too deeply");
            const std::string type = m_Tokens.Take().text;
            const std::string name = ReadObjectHeader(type);
            if (type != "Material")
            {
                SkipBody();
                return;
            }
            MaterialEntry entry;
            entry.material = ParseMaterial(depth + 1);
            if (!name.empty())
                m_File.named[name] = entry.material;
            mesh.materials.push_back(std::move(entry));
        });
    if (mesh.materials.size() < materialCount)
        m_Tokens.Fail("material list of " + std::to_string(materialCount) + " materials holds " +
                      std::to_string(mesh.materials.size()));
    mesh.materials.resize(materialCount);
    if (materialCount == 0)
        return;
    mesh.hasMaterialList = true;
    // Fewer face entries than faces: the last one goes on for the rest.
    const std::uint32_t last = indices.empty() ? 0 : indices.back();
    mesh.faceMaterials.assign(mesh.faceSizes.size(), last);
    for (std::size_t face = 0; face < mesh.faceSizes.size() && face < indices.size(); ++face)
        mesh.faceMaterials[face] = indices[face];
}

XMaterial Parser::ParseMaterial(int depth)
{
    XMaterial result;
    Material& m = result.material;
    m.diffuse.r = ReadFloat("a colour component");
    m.diffuse.g = ReadFloat("a colour component");
    m.diffuse.b = ReadFloat("a colour component");
    m.diffuse.a = ReadFloat("a colour component");
    m.power = ReadFloat("the specular power");
    m.specular.r = ReadFloat("a colour component");
    m.specular.g = ReadFloat("a colour component");
    m.specular.b = ReadFloat("a colour component");
    m.specular.a = 1.0f;
    m.emissive.r = ReadFloat("a colour component");
    m.emissive.g = ReadFloat("a colour component");
    m.emissive.b = ReadFloat("a colour component");
    m.emissive.a = 1.0f;
    for (;;)
    {
        SkipSeparators();
        switch (m_Tokens.Peek().kind)
        {
        case TokenKind::CloseBrace:
            m_Tokens.Take();
            return result;
        case TokenKind::OpenBrace:
            ReadReference();
            break;
        case TokenKind::Name:
        {
            if (depth >= kMaxDepth)
                m_Tokens.Fail("objects nested too deeply");
            const std::string type = m_Tokens.Take().text;
            ReadObjectHeader(type);
            if (EqualsIgnoringCase(type, "TextureFilename"))
                result.textureFile = ParseTextureFilename();
            else
                SkipBody();
            break;
        }
        case TokenKind::End:
            m_Tokens.Fail("unexpected end of file in Material");
        default:
            m_Tokens.Fail("unexpected data in Material");
        }
    }
}

std::string Parser::ParseTextureFilename()
{
    SkipSeparators();
    const Token token = m_Tokens.Take();
    if (token.kind != TokenKind::String && token.kind != TokenKind::Name)
        m_Tokens.Fail("expected a texture file name");
    SkipChildren("TextureFilename");
    return token.text;
}

} // namespace

ParsedFile ParseXFile(std::span<const std::uint8_t> bytes)
{
    Parser parser(bytes);
    parser.ParseFile();
    return std::move(parser.m_File);
}

} // namespace gfx::xfile
