#include "common/tag_file.h"

#include "common/data_file.h"
#include "common/exception.h"

#include <charconv>
#include <cstdio>
#include <exception>
#include <locale>
#include <system_error>

namespace VARDCommon
{

namespace
{

bool IsBlank(int c)
{
    // The "C" locale's white space, whatever the process locale is.
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool BeginsWith(const std::string& word, char c)
{
    return !word.empty() && word.front() == c;
}

bool EndsWith(const std::string& word, char c)
{
    return !word.empty() && word.back() == c;
}

// The whole word as a number of type T; a leading "+" is allowed.
template <typename T> bool ParseWholeWord(const std::string& word, T& value)
{
    const char* first = word.data();
    const char* last = word.data() + word.size();
    if (BeginsWith(word, '+'))
        ++first;
    const auto parsed = std::from_chars(first, last, value);
    return parsed.ec == std::errc() && parsed.ptr == last;
}

} // namespace

// ---------------------------------------------------------------- reader

CTagFileReader::CTagFileReader(const std::filesystem::path& path)
    : m_Stream(std::make_shared<std::ifstream>(path, std::ios::in | std::ios::binary)),
      m_Source(path.string())
{
    NextToken();
}

CTagFileReader::CTagFileReader(CDataFileFactory& factory, std::uint32_t kind,
                               std::uint32_t subKind, const std::string& name)
    : m_Stream(factory.OpenStream(kind, subKind, name)), m_Source(name)
{
    NextToken();
}

CTagFileReader::CTagFileReader(std::shared_ptr<std::istream> stream, std::string sourceName)
    : m_Stream(std::move(stream)), m_Source(std::move(sourceName))
{
    NextToken();
}

std::string CTagFileReader::Where() const
{
    return m_Source + ", line " + std::to_string(m_WordLine);
}

void CTagFileReader::Fail(int code, const std::string& what) const
{
    std::string found = m_AtEnd ? "the end of the file" : "\"" + m_Word + "\"";
    throw CVARDException(code, Where() + ": " + what + ", found " + found);
}

bool CTagFileReader::ReadRawWord(std::string& word)
{
    word.clear();
    if (!m_Stream || !*m_Stream)
        return false;
    std::streambuf* buffer = m_Stream->rdbuf();
    if (buffer == nullptr)
        return false;
    int c = buffer->sgetc();
    while (c != EOF && IsBlank(c))
    {
        if (c == '\n')
            ++m_Line;
        c = buffer->snextc();
    }
    if (c == EOF)
        return false;
    m_WordLine = m_Line;
    while (c != EOF && !IsBlank(c))
    {
        word.push_back(static_cast<char>(c));
        c = buffer->snextc();
    }
    return true;
}

void CTagFileReader::SkipRestOfLine()
{
    std::streambuf* buffer = m_Stream ? m_Stream->rdbuf() : nullptr;
    if (buffer == nullptr)
        return;
    for (int c = buffer->sbumpc(); c != EOF; c = buffer->sbumpc())
    {
        if (c == '\n')
        {
            ++m_Line;
            return;
        }
    }
}

void CTagFileReader::NextToken()
{
    for (;;)
    {
        if (!ReadRawWord(m_Word))
        {
            m_AtEnd = true;
            if (m_Group > 0)
                Fail(1, "a tuple is not closed");
            return;
        }
        if (!BeginsWith(m_Word, '#'))
            break;
        SkipRestOfLine();
    }
    if (m_Group > 1)
    {
        --m_Group;
        return;
    }
    if (m_Group == 1)
    {
        if (EndsWith(m_Word, ')'))
        {
            m_Word.pop_back();
        }
        else
        {
            std::string closing;
            if (!ReadRawWord(closing) || closing != ")")
                Fail(1, "expected \")\" closing a tuple after \"" + m_Word + "\"");
        }
        m_Group = 0;
    }
}

std::int64_t CTagFileReader::GetRemainingSize() const
{
    std::streambuf* buffer = m_Stream ? m_Stream->rdbuf() : nullptr;
    if (buffer == nullptr)
        return -1;
    const std::streampos here = buffer->pubseekoff(0, std::ios::cur, std::ios::in);
    if (here == std::streampos(-1))
        return -1;
    const std::streampos end = buffer->pubseekoff(0, std::ios::end, std::ios::in);
    // Back to where the next word starts, whether or not the end was found.
    buffer->pubseekpos(here, std::ios::in);
    if (end == std::streampos(-1) || end < here)
        return -1;
    return static_cast<std::int64_t>(end - here);
}

void CTagFileReader::RequireWord(const char* what) const
{
    if (m_AtEnd)
        Fail(1, std::string("expected ") + what);
}

bool CTagFileReader::IsStartTag(const std::string& name) const
{
    return !m_AtEnd && m_Word == "<" + name + ">";
}

bool CTagFileReader::IsAnyStartTag() const
{
    return !m_AtEnd && m_Word.size() >= 2 && m_Word[0] == '<' && m_Word[1] != '/';
}

void CTagFileReader::ReadStartTag(const std::string& name)
{
    if (m_Group > 0)
        Fail(2, "start tag <" + name + "> inside a tuple");
    if (!IsStartTag(name))
        Fail(1, "expected <" + name + ">");
    m_Open.push_back(name);
    NextToken();
}

bool CTagFileReader::IsAtEndTag() const
{
    return !m_AtEnd && !m_Open.empty() && m_Word == "</" + m_Open.back() + ">";
}

void CTagFileReader::ReadEndTag()
{
    if (m_Group > 0)
        Fail(2, "end tag inside a tuple");
    if (m_Open.empty())
        Fail(1, "end tag with no open element");
    const std::string name = m_Open.back();
    m_Open.pop_back();
    if (m_AtEnd || m_Word != "</" + name + ">")
        Fail(1, "expected </" + name + ">");
    NextToken();
}

void CTagFileReader::SkipToEndTag(const std::string& name)
{
    const std::string endTag = "</" + name + ">";
    while (!m_AtEnd && m_Word != endTag)
        NextToken();
    if (m_AtEnd)
        Fail(1, "expected " + endTag);
    ReadEndTag();
}

bool CTagFileReader::ReadPairStart()
{
    return ReadTupleStart(2, true);
}

bool CTagFileReader::ReadTupleStart(int count, bool nullAllowed)
{
    if (m_AtEnd)
        return false;
    if (nullAllowed && m_Word == "0")
    {
        NextToken();
        return false;
    }
    if (m_Word == "(")
    {
        NextToken();
        m_Group = count - 1;
        return true;
    }
    if (BeginsWith(m_Word, '('))
    {
        m_Word.erase(0, 1);
        m_Group = count - 1;
        return true;
    }
    return false;
}

std::string CTagFileReader::ReadWord()
{
    RequireWord("a word");
    std::string word = m_Word;
    NextToken();
    return word;
}

std::string CTagFileReader::ReadString()
{
    std::string word = ReadWord();
    if (word == "0")
        word.clear();
    return word;
}

std::string CTagFileReader::ReadQuoted()
{
    if (m_AtEnd || !BeginsWith(m_Word, '"'))
        Fail(1, "expected quoted text");
    std::string result = m_Word;
    // A lone double quote both opens and closes: it is the empty text.
    while (!EndsWith(result, '"'))
    {
        std::string word;
        if (!ReadRawWord(word))
        {
            m_AtEnd = true;
            Fail(1, "quoted text is not closed");
        }
        result += ' ';
        result += word;
    }
    NextToken();
    if (result.size() < 2)
        return std::string();
    return result.substr(1, result.size() - 2);
}

std::uint32_t CTagFileReader::ReadUnsigned()
{
    RequireWord("a number");
    std::uint32_t value = 0;
    bool parsed = false;
    if (BeginsWith(m_Word, '-'))
    {
        // As strtoul does: a negative number wraps around.
        std::int64_t negative = 0;
        parsed = ParseWholeWord(m_Word, negative) && negative >= -4294967295LL;
        value = static_cast<std::uint32_t>(negative);
    }
    else
    {
        parsed = ParseWholeWord(m_Word, value);
    }
    if (!parsed)
        Fail(1, "expected an unsigned number");
    NextToken();
    return value;
}

std::int32_t CTagFileReader::ReadInt()
{
    RequireWord("a number");
    std::int32_t value = 0;
    if (!ParseWholeWord(m_Word, value))
        Fail(1, "expected a whole number");
    NextToken();
    return value;
}

double CTagFileReader::ReadDouble()
{
    RequireWord("a number");
    double value = 0.0;
    if (!ParseWholeWord(m_Word, value))
        Fail(1, "expected a real number");
    NextToken();
    return value;
}

bool CTagFileReader::ReadBool()
{
    if (!m_AtEnd && m_Word == "false")
    {
        NextToken();
        return false;
    }
    if (!m_AtEnd && m_Word == "true")
    {
        NextToken();
        return true;
    }
    Fail(1, "expected true or false");
}

void CTagFileReader::ReadColor(std::uint32_t& color)
{
    if (m_AtEnd || !BeginsWith(m_Word, '('))
    {
        if (!m_AtEnd && m_Word == "0")
            NextToken();
        Fail(1, "expected a colour");
    }
    if (m_Word == "(")
        NextToken();
    else
        m_Word.erase(0, 1);
    m_Group = 2;
    const std::uint32_t red = ReadUnsigned() & 0xFFu;
    const std::uint32_t green = ReadUnsigned() & 0xFFu;
    const std::uint32_t blue = ReadUnsigned() & 0xFFu;
    color = (color & 0xFF000000u) | (red << 16) | (green << 8) | blue;
}

// ---------------------------------------------------------------- writer

CTagFileWriter::CTagFileWriter(const std::filesystem::path& path)
    : m_Target(path), m_UncaughtAtStart(std::uncaught_exceptions())
{
    m_Temporary = path;
    m_Temporary += ".tmp";
    m_Out.open(m_Temporary, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!m_Out)
        throw CVARDException(1, "cannot write " + m_Temporary.string());
    m_Out.imbue(std::locale::classic());
}

CTagFileWriter::~CTagFileWriter()
{
    if (m_Closed)
        return;
    if (std::uncaught_exceptions() > m_UncaughtAtStart)
    {
        Discard();
        return;
    }
    try
    {
        Close();
    }
    catch (...)
    {
        Discard();
    }
}

void CTagFileWriter::Discard() noexcept
{
    m_Closed = true;
    if (m_Out.is_open())
        m_Out.close();
    std::error_code ignored;
    std::filesystem::remove(m_Temporary, ignored);
}

void CTagFileWriter::Close()
{
    if (m_Closed)
        return;
    m_Out.flush();
    const bool written = static_cast<bool>(m_Out);
    m_Out.close();
    if (!written || m_Out.fail())
    {
        Discard();
        throw CVARDException(1, "cannot write " + m_Target.string());
    }
    std::error_code error;
    std::filesystem::rename(m_Temporary, m_Target, error);
    if (error)
    {
        Discard();
        throw CVARDException(1, "cannot replace " + m_Target.string() + ": " + error.message());
    }
    m_Closed = true;
}

void CTagFileWriter::Put(const std::string& text)
{
    if (m_Closed)
        throw CVARDException(2, "writing to a closed file");
    m_Out << text;
    if (!m_Out)
        throw CVARDException(1, "cannot write " + m_Target.string());
}

void CTagFileWriter::WriteIndent()
{
    Put(std::string(m_Open.size(), ' '));
    if (m_Group == 1)
    {
        Put("(");
        m_Group = 2;
    }
}

void CTagFileWriter::EndItem()
{
    if (m_Group == 0)
    {
        Put("\n");
    }
    else if (m_Group == m_TupleLength + 1)
    {
        Put(")\n");
        m_Group = 0;
    }
    else
    {
        ++m_Group;
        Put("\n");
    }
}

void CTagFileWriter::WriteStartTag(const std::string& name)
{
    WriteIndent();
    Put("<" + name + ">");
    m_Open.push_back(name);
    EndItem();
}

void CTagFileWriter::WriteEndTag()
{
    if (m_Open.empty())
        throw CVARDException(2, "end tag with no open element");
    const std::string name = m_Open.back();
    m_Open.pop_back();
    WriteIndent();
    Put("</" + name + ">");
    EndItem();
}

void CTagFileWriter::WriteTupleStart(int count)
{
    m_Group = 1;
    m_TupleLength = count;
}

void CTagFileWriter::WriteString(const std::string& text)
{
    WriteIndent();
    Put(text.empty() ? std::string("0") : text);
    EndItem();
}

void CTagFileWriter::WriteQuoted(const std::string& text)
{
    // The reader joins the words of a quoted text with one blank, so write it
    // that way: a leading or trailing blank would otherwise put the reader out
    // of step. A double quote inside would end the text early.
    std::string safe;
    bool blank = false;
    for (char c : text)
    {
        if (IsBlank(static_cast<unsigned char>(c)))
        {
            blank = !safe.empty();
            continue;
        }
        if (blank)
            safe += ' ';
        blank = false;
        safe += c == '"' ? '\'' : c;
    }
    WriteIndent();
    Put("\"" + safe + "\"");
    EndItem();
}

void CTagFileWriter::WriteUnsigned(std::uint32_t value)
{
    WriteIndent();
    Put(std::to_string(value));
    EndItem();
}

void CTagFileWriter::WriteInt(std::int32_t value)
{
    WriteIndent();
    Put(std::to_string(value));
    EndItem();
}

void CTagFileWriter::WriteDouble(double value)
{
    // The shortest text that reads back to the same double.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    WriteIndent();
    Put(std::string(buffer, result.ptr));
    EndItem();
}

void CTagFileWriter::WriteBool(bool value)
{
    WriteString(value ? "true" : "false");
}

void CTagFileWriter::WriteColor(std::uint32_t color)
{
    WriteTupleStart(3);
    WriteUnsigned((color >> 16) & 0xFFu);
    WriteUnsigned((color >> 8) & 0xFFu);
    WriteUnsigned(color & 0xFFu);
}

} // namespace VARDCommon
