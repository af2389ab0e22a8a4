#include "platform/x_file_tokens.h"

#include "platform/gfx_error.h"
#include "platform/x_file_zip.h"

#include <cstring>
#include <vector>

namespace gfx::xfile
{

namespace
{

constexpr std::size_t kHeaderSize = 16;

class TextTokenSource : public TokenSource
{
public:
    explicit TextTokenSource(std::span<const std::uint8_t> text) : m_Text(text) {}

    Token Next() override
    {
        SkipBlanksAndComments();
        Token token;
        if (m_Pos >= m_Text.size())
            return token;
        const char c = static_cast<char>(m_Text[m_Pos]);
        switch (c)
        {
        case '{':
            ++m_Pos;
            token.kind = TokenKind::OpenBrace;
            return token;
        case '}':
            ++m_Pos;
            token.kind = TokenKind::CloseBrace;
            return token;
        case ',':
        case ';':
            ++m_Pos;
            token.kind = TokenKind::Separator;
            return token;
        case '[':
        case ']':
            ++m_Pos;
            token.kind = TokenKind::Other;
            return token;
        case '"':
            token.kind = TokenKind::String;
            token.text = ReadDelimited('"', "string");
            return token;
        case '<':
            token.kind = TokenKind::Guid;
            token.text = ReadDelimited('>', "identifier in angle brackets");
            return token;
        default:
            break;
        }
        const std::size_t start = m_Pos;
        while (m_Pos < m_Text.size() && !IsBreak(static_cast<char>(m_Text[m_Pos])))
            ++m_Pos;
        // A byte that neither starts a token nor belongs to a word (a NUL,
        // a stray '>') would otherwise give empty words forever.
        if (m_Pos == start)
            throw Error("mesh file: unexpected byte " + std::to_string(m_Text[m_Pos]) + " at " +
                        Where());
        token.text.assign(reinterpret_cast<const char*>(m_Text.data()) + start, m_Pos - start);
        token.kind = token.text == "template" ? TokenKind::Template : TokenKind::Name;
        return token;
    }

    std::string Where() const override { return "line " + std::to_string(m_Line); }

private:
    static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
    static bool IsBreak(char c)
    {
        return IsBlank(c) || c == '\0' || std::strchr("{},;[]\"<>", c) != nullptr;
    }

    void SkipBlanksAndComments()
    {
        while (m_Pos < m_Text.size())
        {
            const char c = static_cast<char>(m_Text[m_Pos]);
            const bool slashes = c == '/' && m_Pos + 1 < m_Text.size() && m_Text[m_Pos + 1] == '/';
            if (c == '#' || slashes)
            {
                while (m_Pos < m_Text.size() && m_Text[m_Pos] != '\n')
                    ++m_Pos;
            }
            else if (IsBlank(c))
            {
                if (c == '\n')
                    ++m_Line;
                ++m_Pos;
            }
            else
                return;
        }
    }

    std::string ReadDelimited(char close, const char* what)
    {
        const std::size_t start = ++m_Pos;
        while (m_Pos < m_Text.size() && m_Text[m_Pos] != static_cast<std::uint8_t>(close))
        {
            if (m_Text[m_Pos] == '\n')
                ++m_Line;
            ++m_Pos;
        }
        if (m_Pos >= m_Text.size())
            throw Error(std::string("mesh file: unterminated ") + what + " at " + Where());
        ++m_Pos;
        return std::string(reinterpret_cast<const char*>(m_Text.data()) + start, m_Pos - 1 - start);
    }

    std::span<const std::uint8_t> m_Text;
    std::size_t m_Pos = 0;
    int m_Line = 1;
};

// Token codes of the binary form.
enum : std::uint16_t
{
    kTokenName = 1,
    kTokenString = 2,
    kTokenInteger = 3,
    kTokenGuid = 5,
    kTokenIntegerList = 6,
    kTokenFloatList = 7,
    kTokenOpenBrace = 10,
    kTokenCloseBrace = 11,
    kTokenOpenParen = 12,
    kTokenCloseParen = 13,
    kTokenOpenBracket = 14,
    kTokenCloseBracket = 15,
    kTokenOpenAngle = 16,
    kTokenCloseAngle = 17,
    kTokenDot = 18,
    kTokenComma = 19,
    kTokenSemicolon = 20,
    kTokenTemplate = 31,
    kTokenFirstKeyword = 40, // WORD, DWORD, FLOAT, ... ARRAY
    kTokenLastKeyword = 52,
};

class BinaryTokenSource : public TokenSource
{
public:
    BinaryTokenSource(std::span<const std::uint8_t> data, std::size_t floatSize, std::size_t base)
        : m_Data(data), m_FloatSize(floatSize), m_Base(base)
    {
    }

    Token Next() override
    {
        Token token;
        // List elements are handed out one at a time straight from the
        // bytes; the count was checked against the bytes left when the list
        // began, so a forged count allocates nothing.
        if (m_ListLeft > 0)
        {
            --m_ListLeft;
            if (m_ListIsFloat)
            {
                token.kind = TokenKind::Float;
                token.number = ReadFloat();
            }
            else
            {
                token.kind = TokenKind::Integer;
                token.integer = ReadU32();
            }
            return token;
        }
        // Empty lists make no token; skipped in a loop, not by recursion, so
        // that a run of them cannot exhaust the stack.
        std::uint16_t code = 0;
        for (;;)
        {
            if (m_Pos >= m_Data.size())
                return token;
            m_TokenStart = m_Pos;
            code = ReadU16();
            if (code != kTokenIntegerList && code != kTokenFloatList)
                break;
            const std::uint32_t count = ReadU32();
            const std::size_t elementSize = code == kTokenIntegerList ? 4 : m_FloatSize;
            if (count > (m_Data.size() - m_Pos) / elementSize)
                Truncated("list of " + std::to_string(count));
            if (count > 0)
            {
                m_ListLeft = count;
                m_ListIsFloat = code == kTokenFloatList;
                return Next();
            }
        }
        switch (code)
        {
        case kTokenName:
        case kTokenString:
        {
            const std::uint32_t length = ReadU32();
            Need(length, "name or string");
            token.kind = code == kTokenName ? TokenKind::Name : TokenKind::String;
            token.text.assign(reinterpret_cast<const char*>(m_Data.data()) + m_Pos, length);
            m_Pos += length;
            // A string ends with its separator token, written as a 32-bit
            // value by some writers and as a 16-bit one by others.
            if (code == kTokenString && m_Pos + 2 <= m_Data.size())
            {
                const std::uint16_t terminator = PeekU16(m_Pos);
                if (terminator == kTokenComma || terminator == kTokenSemicolon)
                {
                    m_Pos += 2;
                    if (m_Pos + 2 <= m_Data.size() && PeekU16(m_Pos) == 0)
                        m_Pos += 2;
                }
            }
            return token;
        }
        case kTokenInteger:
            token.kind = TokenKind::Integer;
            token.integer = ReadU32();
            return token;
        case kTokenGuid:
            Need(16, "identifier");
            m_Pos += 16;
            token.kind = TokenKind::Guid;
            return token;
        case kTokenOpenBrace:
            token.kind = TokenKind::OpenBrace;
            return token;
        case kTokenCloseBrace:
            token.kind = TokenKind::CloseBrace;
            return token;
        case kTokenComma:
        case kTokenSemicolon:
            token.kind = TokenKind::Separator;
            return token;
        case kTokenTemplate:
            token.kind = TokenKind::Template;
            return token;
        case kTokenOpenParen:
        case kTokenCloseParen:
        case kTokenOpenBracket:
        case kTokenCloseBracket:
        case kTokenOpenAngle:
        case kTokenCloseAngle:
        case kTokenDot:
            token.kind = TokenKind::Other;
            return token;
        default:
            if (code >= kTokenFirstKeyword && code <= kTokenLastKeyword)
            {
                token.kind = TokenKind::Other;
                return token;
            }
            throw Error("mesh file: unknown token " + std::to_string(code) + " at " + Where());
        }
    }

    std::string Where() const override { return "byte " + std::to_string(m_Base + m_TokenStart); }

private:
    [[noreturn]] void Truncated(const std::string& what) const
    {
        throw Error("mesh file: " + what + " runs past the end of the file at " + Where());
    }

    void Need(std::size_t count, const char* what) const
    {
        if (count > m_Data.size() - m_Pos)
            Truncated(what);
    }

    std::uint16_t PeekU16(std::size_t at) const
    {
        return static_cast<std::uint16_t>(m_Data[at] | (m_Data[at + 1] << 8));
    }

    std::uint16_t ReadU16()
    {
        Need(2, "token");
        const std::uint16_t value = PeekU16(m_Pos);
        m_Pos += 2;
        return value;
    }

    std::uint32_t ReadU32()
    {
        Need(4, "number");
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i)
            value = (value << 8) | m_Data[m_Pos + i];
        m_Pos += 4;
        return value;
    }

    double ReadFloat()
    {
        if (m_FloatSize == 4)
        {
            const std::uint32_t bits = ReadU32();
            float value;
            std::memcpy(&value, &bits, 4);
            return value;
        }
        const std::uint64_t low = ReadU32();
        const std::uint64_t high = ReadU32();
        const std::uint64_t bits = low | (high << 32);
        double value;
        std::memcpy(&value, &bits, 8);
        return value;
    }

    std::span<const std::uint8_t> m_Data;
    std::size_t m_FloatSize;
    std::size_t m_Base;
    std::size_t m_Pos = 0;
    std::size_t m_TokenStart = 0;
    std::uint32_t m_ListLeft = 0;
    bool m_ListIsFloat = false;
};

// Holds the inflated bytes of a compressed file for the source reading them.
class InflatedTokenSource : public TokenSource
{
public:
    InflatedTokenSource(std::vector<std::uint8_t> body, bool binary, std::size_t floatSize)
        : m_Body(std::move(body))
    {
        if (binary)
            m_Source = std::make_unique<BinaryTokenSource>(m_Body, floatSize, kHeaderSize);
        else
            m_Source = std::make_unique<TextTokenSource>(m_Body);
    }

    Token Next() override { return m_Source->Next(); }
    std::string Where() const override { return m_Source->Where() + " of the inflated file"; }

private:
    std::vector<std::uint8_t> m_Body;
    std::unique_ptr<TokenSource> m_Source;
};

} // namespace

std::unique_ptr<TokenSource> OpenTokenSource(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), "xof ", 4) != 0)
        throw Error("mesh file: not a .x file");
    const std::string format(reinterpret_cast<const char*>(bytes.data()) + 8, 4);
    const std::string floatBits(reinterpret_cast<const char*>(bytes.data()) + 12, 4);
    std::size_t floatSize = 0;
    if (floatBits == "0032")
        floatSize = 4;
    else if (floatBits == "0064")
        floatSize = 8;
    else
        throw Error("mesh file: float size \"" + floatBits + "\" is neither 0032 nor 0064");
    const std::span<const std::uint8_t> body = bytes.subspan(kHeaderSize);
    if (format == "txt ")
        return std::make_unique<TextTokenSource>(body);
    if (format == "bin ")
        return std::make_unique<BinaryTokenSource>(body, floatSize, kHeaderSize);
    if (format == "tzip" || format == "bzip")
        return std::make_unique<InflatedTokenSource>(InflateXBody(body), format == "bzip",
                                                     floatSize);
    throw Error("mesh file: unknown format \"" + format + "\"");
}

TokenStream::TokenStream(std::unique_ptr<TokenSource> source) : m_Source(std::move(source))
{
    m_Current = m_Source->Next();
}

Token TokenStream::Take()
{
    Token token = std::move(m_Current);
    m_Current = m_Source->Next();
    return token;
}

void TokenStream::Fail(const std::string& what) const
{
    throw Error("mesh file: " + what + " at " + m_Source->Where());
}

} // namespace gfx::xfile
