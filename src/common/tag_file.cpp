#include "common/tag_file.h"

#include "common/data_file.h"
#include "common/exception.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <set>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

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

bool IsControl(unsigned char c)
{
    return c < 0x20 || c == 0x7F;
}

// Escaped text opens with two double quotes; no bare word and no plain
// quoted text a writer ever made does.
bool IsEscapedStart(const std::string& word)
{
    return word.size() >= 3 && word[0] == '"' && word[1] == '"';
}

// The escaped form of a text. Words keep no blank; quoted text keeps a lone
// blank between two other bytes as it is, so that it stays readable.
std::string Escaped(const std::string& text, bool lonelyBlanksRaw)
{
    static const char kHex[] = "0123456789abcdef";
    std::string escaped = "\"\"";
    escaped.reserve(text.size() + 3);
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        const bool lonelyBlank = c == ' ' && i > 0 && i + 1 < text.size() &&
                                 !IsBlank(static_cast<unsigned char>(text[i - 1])) &&
                                 !IsBlank(static_cast<unsigned char>(text[i + 1]));
        if (c == '\\' || c == '"')
        {
            escaped += '\\';
            escaped += c;
        }
        else if ((c == ' ' && !(lonelyBlanksRaw && lonelyBlank)) || IsControl(byte))
        {
            escaped += "\\x";
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 15];
        }
        else
        {
            escaped += c;
        }
    }
    return escaped + '"';
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

enum class EscapedScan
{
    kOpen,    // no closing double quote yet
    kClosed,  // closed by its last byte
    kDamaged, // a bad escape, or bytes after the closing quote
};

// Decodes escaped text a word at a time: gathered holds its words so far,
// joined by one blank, and position is where the last call stopped. No
// escape holds a blank, so one cut at the end of a word is damage.
EscapedScan ScanEscaped(const std::string& gathered, std::size_t& position, std::string& text)
{
    while (position < gathered.size())
    {
        const std::size_t i = position;
        const char c = gathered[i];
        if (c == '"')
            return i + 1 == gathered.size() ? EscapedScan::kClosed : EscapedScan::kDamaged;
        if (c != '\\')
        {
            text += c;
            ++position;
            continue;
        }
        const char kind = i + 1 < gathered.size() ? gathered[i + 1] : ' ';
        if (kind == '\\' || kind == '"')
        {
            text += kind;
            position += 2;
            continue;
        }
        if (kind != 'x' || i + 3 >= gathered.size())
            return EscapedScan::kDamaged;
        const int high = HexDigit(gathered[i + 2]);
        const int low = HexDigit(gathered[i + 3]);
        if (high < 0 || low < 0)
            return EscapedScan::kDamaged;
        text += static_cast<char>(high * 16 + low);
        position += 4;
    }
    return EscapedScan::kOpen;
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

bool IsBareWord(const std::string& text)
{
    // A list read up to its end tag stops at anything that looks like a tag.
    if (text.empty() || text.front() == '#' || text.front() == '"' || text.front() == '(' ||
        text.front() == '<')
        return false;
    return std::none_of(text.begin(), text.end(),
                        [](char c) { return IsBlank(static_cast<unsigned char>(c)); });
}

bool IsPlainQuotedText(const std::string& text)
{
    if (!text.empty() && (text.front() == ' ' || text.back() == ' '))
        return false;
    char previous = 0;
    for (const char c : text)
    {
        if (c == '"' || (c != ' ' && IsBlank(static_cast<unsigned char>(c))))
            return false;
        if (c == ' ' && previous == ' ')
            return false;
        previous = c;
    }
    return true;
}

// ---------------------------------------------------------------- reader

namespace
{

// A saved game that does not exist reads as an empty file, so the first tag
// read reports it; anything there that is no regular file (a folder, a pipe
// that would block, a device without end) is refused before it is opened.
std::shared_ptr<std::istream> OpenRegularFile(const std::filesystem::path& path)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        throw CVARDException(1, path.string() + " is not a regular file");
    return std::make_shared<std::ifstream>(path, std::ios::in | std::ios::binary);
}

} // namespace

CTagFileReader::CTagFileReader(const std::filesystem::path& path)
    : m_Stream(OpenRegularFile(path)), m_Source(path.string())
{
    NextToken();
}

CTagFileReader::CTagFileReader(CDataFileFactory& factory, std::uint32_t kind, std::uint32_t subKind,
                               const std::string& name)
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
    if (m_AtEnd)
        FailAtEnd(code, what);
    throw CVARDException(code, Where() + ": " + what + ", found " + QuoteForMessage(m_Word));
}

void CTagFileReader::FailAtEnd(int code, const std::string& what) const
{
    // A missing file or a damaged archive is the cause, not what was expected.
    const auto* noted = dynamic_cast<const CDataFileStream*>(m_Stream.get());
    if (noted != nullptr && !noted->GetEndReason().empty())
    {
        if (!m_AnyWord)
            throw CVARDException(code, noted->GetEndReason());
        throw CVARDException(code, noted->GetEndReason() + ": " + Where() + ": " + what +
                                       ", found the end of the file");
    }
    throw CVARDException(code, Where() + ": " + what + ", found the end of the file");
}

bool CTagFileReader::ReadRawWord(std::string& word)
{
    // The stream library reports a failed read (a folder, a lost disk) by an
    // exception of its own, without the file's name.
    try
    {
        return ReadRawWordFromStream(word);
    }
    catch (const std::ios_base::failure& error)
    {
        throw CVARDException(1, m_Source + ": cannot read: " + error.what());
    }
}

bool CTagFileReader::ReadRawWordFromStream(std::string& word)
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
    m_AnyWord = true;
    while (c != EOF && !IsBlank(c))
    {
        if (word.size() == kMaxWordLength)
            throw CVARDException(1, Where() + ": a word longer than " +
                                        std::to_string(kMaxWordLength) + " bytes, " +
                                        QuoteForMessage(word));
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
            const bool read = ReadRawWord(closing);
            if (!read)
                FailAtEnd(1, "expected \")\" closing a tuple");
            if (closing != ")")
                throw CVARDException(1, Where() + ": expected \")\" closing a tuple, found " +
                                            QuoteForMessage(closing));
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

std::string CTagFileReader::TakeWord(bool& escaped)
{
    RequireWord("a word");
    // A tag where a word belongs is damage: a list read word by word would
    // otherwise run on past its lost end tag and swallow the records after it.
    if (m_Word.size() >= 2 && m_Word.front() == '<' && m_Word.back() == '>')
        Fail(1, m_Open.empty() ? std::string("expected a word")
                               : "expected a word or </" + m_Open.back() + ">");
    escaped = IsEscapedStart(m_Word);
    if (escaped)
        return ReadEscaped();
    std::string word = m_Word;
    NextToken();
    return word;
}

std::string CTagFileReader::ReadEscaped()
{
    std::string gathered = m_Word;
    const int openLine = m_WordLine;
    std::string text;
    std::size_t position = 2;
    EscapedScan scan = ScanEscaped(gathered, position, text);
    while (scan == EscapedScan::kOpen)
    {
        AppendNextWord(gathered, openLine, "escaped");
        scan = ScanEscaped(gathered, position, text);
    }
    if (scan == EscapedScan::kDamaged)
    {
        m_WordLine = openLine;
        throw CVARDException(1, Where() + ": damaged escaped text " + QuoteForMessage(gathered));
    }
    NextToken();
    return text;
}

void CTagFileReader::AppendNextWord(std::string& text, int openLine, const char* kind)
{
    std::string word;
    if (!ReadRawWord(word))
    {
        // Where the text opened is where the author must look.
        m_AtEnd = true;
        m_WordLine = openLine;
        Fail(1, std::string(kind) + " text is not closed");
    }
    if (text.size() + word.size() >= kMaxQuotedLength)
    {
        m_WordLine = openLine;
        throw CVARDException(1, Where() + ": " + kind + " text longer than " +
                                    std::to_string(kMaxQuotedLength) + " bytes, " +
                                    QuoteForMessage(text));
    }
    text += ' ';
    text += word;
}

std::string CTagFileReader::ReadWord()
{
    bool escaped = false;
    return TakeWord(escaped);
}

std::string CTagFileReader::ReadString()
{
    bool escaped = false;
    std::string word = TakeWord(escaped);
    // An escaped "0" is that text, not the null word.
    if (!escaped && word == "0")
        word.clear();
    return word;
}

std::string CTagFileReader::ReadQuoted()
{
    if (m_AtEnd || !BeginsWith(m_Word, '"'))
        Fail(1, "expected quoted text");
    if (IsEscapedStart(m_Word))
        return ReadEscaped();
    std::string result = m_Word;
    const int openLine = m_WordLine;
    // A lone double quote both opens and closes: it is the empty text.
    while (!EndsWith(result, '"'))
        AppendNextWord(result, openLine, "quoted");
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

namespace
{

// Bytes gathered before they go to the file.
constexpr std::size_t kWriteBufferSize = 64 * 1024;
// Tries at a temporary name before giving up: each name is new.
constexpr int kTemporaryNameTries = 100;

std::string SystemError(int error)
{
    return std::error_code(error, std::generic_category()).message();
}

// The rename would put a regular file in place of whatever holds the name: a
// device, a pipe or a link must stay as it is, so only a regular file or a
// missing one may be replaced.
void RequireReplaceable(const std::filesystem::path& target)
{
    if (target.empty())
        throw CVARDException(1, "cannot write a file without a name");
    struct stat status
    {
    };
    if (::lstat(target.c_str(), &status) != 0)
    {
        const int error = errno;
        if (error == ENOENT)
            return;
        throw CVARDException(1, "cannot write " + target.string() + ": " + SystemError(error));
    }
    if (!S_ISREG(status.st_mode))
        throw CVARDException(1, "cannot write " + target.string() + ": it is not a regular file");
}

// A file grown past the process's size limit must fail its write like a full
// disk does, not end the process with the temporary file left behind. A
// handler someone else installed stays.
void IgnoreFileSizeSignal()
{
    struct sigaction current
    {
    };
    if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
        std::signal(SIGXFSZ, SIG_IGN);
}

// The temporary files this process's writers hold open: the only ones of
// its own that are not stale.
std::mutex g_HeldMutex;
std::set<std::string> g_Held;

void HoldTemporary(const std::filesystem::path& path)
{
    const std::lock_guard<std::mutex> lock(g_HeldMutex);
    g_Held.insert(path.filename().string());
}

void ForgetTemporary(const std::filesystem::path& path) noexcept
{
    const std::lock_guard<std::mutex> lock(g_HeldMutex);
    g_Held.erase(path.filename().string());
}

bool IsHeldTemporary(const std::filesystem::path& path)
{
    const std::lock_guard<std::mutex> lock(g_HeldMutex);
    return g_Held.count(path.filename().string()) != 0;
}

// A process that exists, also one of another user's.
bool IsLiveProcess(pid_t pid)
{
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

// "PID.N", the end of a temporary file's name, both decimal.
bool ParseTemporarySuffix(const std::string& suffix, pid_t& pid)
{
    const std::size_t dot = suffix.find('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == suffix.size())
        return false;
    const auto digits = [](char c) { return c >= '0' && c <= '9'; };
    if (!std::all_of(suffix.begin(), suffix.begin() + static_cast<std::ptrdiff_t>(dot), digits) ||
        !std::all_of(suffix.begin() + static_cast<std::ptrdiff_t>(dot) + 1, suffix.end(), digits))
        return false;
    const auto parsed = std::from_chars(suffix.data(), suffix.data() + dot, pid);
    return parsed.ec == std::errc() && pid > 0;
}

// Opened new and exclusive, so that a stale file or a link left under the
// name is never written through.
int CreateTemporary(const std::filesystem::path& target, std::filesystem::path& temporary)
{
    static std::atomic<unsigned> counter{0};
    int error = 0;
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt)
    {
        temporary = target;
        temporary += ".tmp." + std::to_string(::getpid()) + "." + std::to_string(counter++);
        const int file =
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (file >= 0)
        {
            HoldTemporary(temporary);
            return file;
        }
        error = errno;
        if (error != EEXIST)
            break;
    }
    throw CVARDException(1, "cannot write " + temporary.string() + ": " + SystemError(error));
}

// The rename is durable only once the folder that holds the name is.
void FlushFolder(const std::filesystem::path& target)
{
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    const int handle = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0)
        throw CVARDException(1, "cannot flush the folder of " + target.string() + ": " +
                                    SystemError(errno));
    const int result = ::fsync(handle);
    const int error = errno;
    ::close(handle);
    // Some file systems cannot flush a folder; they have nothing to flush.
    if (result != 0 && error != EINVAL)
        throw CVARDException(1, "cannot flush the folder of " + target.string() + ": " +
                                    SystemError(error));
}

} // namespace

CTagFileWriter::CTagFileWriter(const std::filesystem::path& path)
    : m_Target(path),
      m_File((RequireReplaceable(path), IgnoreFileSizeSignal(), CreateTemporary(path, m_Temporary)))
{
    m_Buffer.reserve(kWriteBufferSize);
}

CTagFileWriter::~CTagFileWriter()
{
    // Only an explicit Close may replace the target: a writer left behind by
    // an exception holds a file whose tags never closed.
    Discard();
}

void CTagFileWriter::Discard() noexcept
{
    if (m_State == kWriterOpen)
        m_State = kWriterFailed;
    if (m_File < 0)
        return;
    ::close(m_File);
    m_File = -1;
    ForgetTemporary(m_Temporary);
    ::unlink(m_Temporary.c_str());
}

void CTagFileWriter::FailWith(int code, const std::string& what)
{
    Discard();
    throw CVARDException(code, what);
}

void CTagFileWriter::Flush()
{
    std::size_t written = 0;
    while (written < m_Buffer.size())
    {
        const ssize_t result =
            ::write(m_File, m_Buffer.data() + written, m_Buffer.size() - written);
        if (result < 0 && errno == EINTR)
            continue;
        if (result <= 0)
        {
            const int error = result < 0 ? errno : EIO;
            FailWith(1, "cannot write " + m_Target.string() + ": " + SystemError(error));
        }
        written += static_cast<std::size_t>(result);
    }
    m_Buffer.clear();
}

void CTagFileWriter::Close()
{
    Close(nullptr);
}

void CTagFileWriter::Close(const std::function<void(const std::filesystem::path&)>& check)
{
    if (m_State == kWriterClosed)
        return;
    if (m_State == kWriterFailed)
        throw CVARDException(1, "cannot write " + m_Target.string() + ": it failed before");
    if (!m_Open.empty())
        FailWith(2, "closing " + m_Target.string() + " with <" + m_Open.back() + "> still open");
    if (m_Group != 0)
        FailWith(2, "closing " + m_Target.string() + " inside a tuple");
    Flush();
    if (::fsync(m_File) != 0)
        FailWith(1, "cannot flush " + m_Target.string() + ": " + SystemError(errno));
    const int file = m_File;
    m_File = -1;
    if (::close(file) != 0)
    {
        const int error = errno;
        m_State = kWriterFailed;
        ForgetTemporary(m_Temporary);
        ::unlink(m_Temporary.c_str());
        throw CVARDException(1, "cannot write " + m_Target.string() + ": " + SystemError(error));
    }
    try
    {
        if (check)
            check(m_Temporary);
        // Something may have taken the name while the file was written.
        RequireReplaceable(m_Target);
    }
    catch (...)
    {
        m_State = kWriterFailed;
        ForgetTemporary(m_Temporary);
        ::unlink(m_Temporary.c_str());
        throw;
    }
    if (::rename(m_Temporary.c_str(), m_Target.c_str()) != 0)
    {
        const int error = errno;
        m_State = kWriterFailed;
        ForgetTemporary(m_Temporary);
        ::unlink(m_Temporary.c_str());
        throw CVARDException(1, "cannot replace " + m_Target.string() + ": " + SystemError(error));
    }
    ForgetTemporary(m_Temporary);
    m_State = kWriterClosed;
    RemoveStaleTemporaries();
    FlushFolder(m_Target);
}

// Temporary files of this name that a save killed mid-write left behind:
// those of processes that are gone, and this process's own that no writer
// holds. A live process's file may still become its target.
void CTagFileWriter::RemoveStaleTemporaries() noexcept
{
    std::filesystem::path folder = m_Target.parent_path();
    if (folder.empty())
        folder = ".";
    const std::string prefix = m_Target.filename().string() + ".tmp.";
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error))
    {
        const std::filesystem::path& path = entries->path();
        const std::string name = path.filename().string();
        pid_t owner = 0;
        if (name.compare(0, prefix.size(), prefix) != 0 ||
            !ParseTemporarySuffix(name.substr(prefix.size()), owner))
            continue;
        if (owner == ::getpid() ? IsHeldTemporary(path) : IsLiveProcess(owner))
            continue;
        struct stat status
        {
        };
        if (::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode))
            ::unlink(path.c_str());
    }
}

void CTagFileWriter::Put(const std::string& text)
{
    if (m_State == kWriterClosed)
        throw CVARDException(2, "writing to " + m_Target.string() + " after it was closed");
    if (m_State == kWriterFailed)
        throw CVARDException(1, "cannot write " + m_Target.string() + ": it failed before");
    m_Buffer += text;
    if (m_Buffer.size() >= kWriteBufferSize)
        Flush();
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

void CTagFileWriter::RequireSavable(const std::string& text)
{
    if (text.size() > kMaxSavedTextLength)
        FailWith(1, "cannot write " + m_Target.string() + ": a text of " +
                        std::to_string(text.size()) + " bytes is longer than the " +
                        std::to_string(kMaxSavedTextLength) + " a file can hold");
}

void CTagFileWriter::WriteWordItem(const std::string& text, bool zeroIsNull)
{
    RequireSavable(text);
    WriteIndent();
    if (text.empty())
        Put("0");
    else if (IsBareWord(text) && (zeroIsNull || text != "0"))
        Put(text);
    else
        Put(Escaped(text, false));
    EndItem();
}

void CTagFileWriter::WriteString(const std::string& text)
{
    WriteWordItem(text, true);
}

void CTagFileWriter::WriteText(const std::string& text)
{
    WriteWordItem(text, false);
}

void CTagFileWriter::WriteQuoted(const std::string& text)
{
    // The reader joins the words of a quoted text with one blank and ends it
    // at the first word that ends with a double quote: anything else needs
    // the escaped form, which is one word.
    RequireSavable(text);
    WriteIndent();
    Put(IsPlainQuotedText(text) ? "\"" + text + "\"" : Escaped(text, true));
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
