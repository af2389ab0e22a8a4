#pragma once

#include "common/exception.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <istream>
#include <memory>
#include <string>
#include <vector>

namespace VARDCommon
{

class CDataFileFactory;

// No word of a module or saved file comes near this; a longer one is a
// damaged file (or an endless one), not something to hold in memory.
constexpr std::size_t kMaxWordLength = 1024 * 1024;
// Quoted text gathered from many words has the same bound.
constexpr std::size_t kMaxQuotedLength = kMaxWordLength;
// The longest text a file can carry in one item, whatever its bytes: written
// escaped, each byte takes at most four, and the word must stay within what
// the reader takes.
constexpr std::size_t kMaxSavedTextLength = (kMaxWordLength - 8) / 4;

// A text that neither a bare word nor plain quoted text can carry is written
// escaped: two double quotes, the text with "\\", "\"" and "\xHH" (blanks
// and control bytes) escapes, a closing double quote. Escaped quoted text
// keeps a lone blank between two other bytes as it is; an escaped word has
// none. Reading a word, a string or quoted text turns either back into the
// same bytes. Plain words and texts are written as they always were. The
// quest tag met "old" Hob is written ""met\x20\"old\"\x20Hob", a line
// "Hello,\n friend" said in talk ""Hello,\x0a\x20friend".
//
// True when the text, written as a word, comes back as it is: not empty, no
// blank, no comment, quote, tuple or tag at its start.
bool IsBareWord(const std::string& text);
// True when the text, written between double quotes, comes back as it is:
// no double quote, and its words separated by single blanks.
bool IsPlainQuotedText(const std::string& text);

// Reads the tagged text format: blank-separated words with one word of
// look-ahead. Every Read* consumes the current word and reads the next one
// unless it says otherwise. Failures are CVARDException: code 1 for a word
// other than the one required (or the end of the input), code 2 for a tag
// read while a tuple is open.
class CTagFileReader
{
public:
    // Saved games: a failed open is not reported here; the first tag read fails.
    explicit CTagFileReader(const std::filesystem::path& path);
    // Module files, through the module's factory.
    CTagFileReader(CDataFileFactory& factory, std::uint32_t kind, std::uint32_t subKind,
                   const std::string& name);
    // Any stream (tests, in-memory records); sourceName is used in error texts.
    CTagFileReader(std::shared_ptr<std::istream> stream, std::string sourceName);

    bool IsStartTag(const std::string& name) const;
    bool IsAnyStartTag() const;
    void ReadStartTag(const std::string& name);
    bool IsAtEndTag() const;
    void ReadEndTag();
    void SkipToEndTag(const std::string& name);

    bool ReadPairStart();
    bool ReadTupleStart(int count, bool nullAllowed);

    // Each gives back the exact bytes of an escaped word.
    std::string ReadWord();
    std::string ReadString();
    std::string ReadQuoted();
    std::uint32_t ReadUnsigned();
    std::int32_t ReadInt();
    double ReadDouble();
    bool ReadBool();
    void ReadColor(std::uint32_t& color);

    void NextToken();

    // Converts the current word with a keyword converter and advances. A
    // converter's failure keeps its code and gains the file and line.
    template <typename Convert> auto ReadConverted(Convert convert);

    // Not advancing: the look-ahead word, the end of the input, the open tuple.
    const std::string& GetCurrentWord() const { return m_Word; }
    bool IsAtEnd() const { return m_AtEnd; }
    bool IsInTuple() const { return m_Group > 0; }
    // Bytes of input after the look-ahead word, or -1 when the stream cannot
    // tell: a count read from the file is checked against it before anything
    // is sized by the count.
    std::int64_t GetRemainingSize() const;
    // "name, line N" for error texts.
    std::string Where() const;
    [[noreturn]] void Fail(int code, const std::string& what) const;
    // As Fail at the end of the input; a missing file or a damaged archive
    // gives its own reason.
    [[noreturn]] void FailAtEnd(int code, const std::string& what) const;

private:
    bool ReadRawWord(std::string& word);
    // Reads a word, turning an escaped one back into its text (and setting
    // escaped); a tag in its place is code 1.
    std::string TakeWord(bool& escaped);
    // Escaped text from the current word on, turned back into its bytes.
    std::string ReadEscaped();
    // The next word of a quoted or escaped text (its kind) that opened on
    // that line, added after a blank; the file's end or a text too long is
    // code 1 at the opening line.
    void AppendNextWord(std::string& text, int openLine, const char* kind);
    bool ReadRawWordFromStream(std::string& word);
    void SkipRestOfLine();
    void RequireWord(const char* what) const;

    std::shared_ptr<std::istream> m_Stream;
    std::string m_Source;
    std::string m_Word;
    bool m_AtEnd = false;
    bool m_AnyWord = false;
    int m_Line = 1;
    int m_WordLine = 1;
    std::vector<std::string> m_Open;
    int m_Group = 0;
};

template <typename Convert> auto CTagFileReader::ReadConverted(Convert convert)
{
    RequireWord("a keyword");
    // No keyword is this long; the converter would quote it whole.
    if (m_Word.size() > kQuotedWordPrefix)
        Fail(1, "expected a keyword");
    try
    {
        auto value = convert(m_Word);
        NextToken();
        return value;
    }
    catch (const CVARDException& e)
    {
        Fail(e.GetCode(), e.GetDetail());
    }
}

// Writes the tagged text format, one item a line, indented one blank per open
// element. The previous file is never destroyed: everything goes to a new
// temporary file beside the target, which replaces the target only when Close
// succeeds. A writer destroyed without a successful Close leaves the target
// as it was and removes its temporary file.
class CTagFileWriter
{
public:
    // Code 1 when the temporary file cannot be made, and when the target is
    // there but is not a regular file (a device, a pipe, a folder, a link):
    // that is never replaced.
    explicit CTagFileWriter(const std::filesystem::path& path);
    ~CTagFileWriter();
    CTagFileWriter(const CTagFileWriter&) = delete;
    CTagFileWriter& operator=(const CTagFileWriter&) = delete;

    // Each write fails with code 1 as soon as the file refuses bytes, and
    // with code 2 after Close or an earlier failure. A text longer than
    // kMaxSavedTextLength is code 1: the reader would refuse it.
    void WriteStartTag(const std::string& name);
    void WriteEndTag();
    void WriteTupleStart(int count);
    // Comes back through ReadString, except that "0" and the empty text both
    // write the null word "0", which reads back as the empty text.
    void WriteString(const std::string& text);
    // Comes back through ReadString exactly: the text "0" is escaped.
    void WriteText(const std::string& text);
    // Comes back through ReadQuoted exactly.
    void WriteQuoted(const std::string& text);
    void WriteUnsigned(std::uint32_t value);
    void WriteInt(std::int32_t value);
    void WriteDouble(double value);
    void WriteBool(bool value);
    // A colour as a tuple of three: red, green, blue.
    void WriteColor(std::uint32_t color);

    // Puts the file in place: writes what is buffered, flushes it to the disk,
    // renames it over the target and flushes the folder, so that a crash
    // leaves the old file or the new one. Code 2 while an element or a tuple
    // is still open, code 1 when any step fails; either way the target keeps
    // its old content unless the rename happened.
    void Close();
    // As Close, but first hands the finished temporary file to check, which
    // throws when the file is not fit to replace the target; the target then
    // keeps its old content and the temporary file goes.
    void Close(const std::function<void(const std::filesystem::path&)>& check);

private:
    void WriteWordItem(const std::string& text, bool zeroIsNull);
    void RequireSavable(const std::string& text);
    void RemoveStaleTemporaries() noexcept;
    void WriteIndent();
    void EndItem();
    void Put(const std::string& text);
    void Flush();
    [[noreturn]] void FailWith(int code, const std::string& what);
    void Discard() noexcept;

    std::filesystem::path m_Target;
    std::filesystem::path m_Temporary;
    int m_File = -1;
    std::string m_Buffer;
    std::vector<std::string> m_Open;
    int m_Group = 0;
    int m_TupleLength = 0;
    enum WriterState
    {
        kWriterOpen,
        kWriterClosed,
        kWriterFailed,
    };
    WriterState m_State = kWriterOpen;
};

} // namespace VARDCommon
