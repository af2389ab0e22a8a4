#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

// The tokens of a mesh file (.x), text or binary, as one stream: the reader
// above it never knows which form the file had. Internal to the platform.
namespace gfx::xfile
{

enum class TokenKind : std::uint8_t
{
    End,
    // A word: an identifier, or in text files also a number.
    Name,
    String,
    // Binary numbers (text numbers are Names).
    Integer,
    Float,
    Guid,
    OpenBrace,
    CloseBrace,
    Separator,
    Template,
    // Punctuation and type keywords that only templates use.
    Other,
};

struct Token
{
    TokenKind kind = TokenKind::End;
    std::string text;
    std::uint32_t integer = 0;
    double number = 0.0;
};

class TokenSource
{
public:
    virtual ~TokenSource() = default;
    // Throws gfx::Error for bytes that make no token; End at the end.
    virtual Token Next() = 0;
    // "line N" or "byte N" for error texts.
    virtual std::string Where() const = 0;
};

// Checks the 16-byte header and gives the source for the rest of the bytes
// (which must outlive it), inflating a compressed file first. Throws
// gfx::Error for an unknown form or a damaged compressed stream.
std::unique_ptr<TokenSource> OpenTokenSource(std::span<const std::uint8_t> bytes);

// Tokens with one of look-ahead.
class TokenStream
{
public:
    explicit TokenStream(std::unique_ptr<TokenSource> source);

    const Token& Peek() const { return m_Current; }
    Token Take();
    [[noreturn]] void Fail(const std::string& what) const;

private:
    std::unique_ptr<TokenSource> m_Source;
    Token m_Current;
};

} // namespace gfx::xfile
