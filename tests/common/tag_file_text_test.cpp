// Texts of any bytes through the writer and back: plain ones written as they
// always were, the others escaped and read back exactly; damaged escapes,
// texts too long to read back, checks before the rename and the temporary
// files a killed save leaves.

#include "tag_test_util.h"

#include <csignal>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

using TestUtil::FileText;
using TestUtil::FolderNames;
using TestUtil::ScratchPath;
using TestUtil::WrittenText;
using VARDCommon::CTagFileReader;
using VARDCommon::CTagFileWriter;

namespace
{

struct WrittenForms
{
    std::string text;
    std::string asString; // WriteString
    std::string asQuoted; // WriteQuoted
};

// Writes the text every way, alone and as the first item of a pair, and
// reads each back; the result must be the text itself.
void ExpectRoundTrip(const std::string& text)
{
    const std::string file = WrittenText(
        [&](CTagFileWriter& writer)
        {
            writer.WriteStartTag("t");
            writer.WriteString(text);
            writer.WriteText(text);
            writer.WriteQuoted(text);
            writer.WriteTupleStart(2);
            writer.WriteString(text);
            writer.WriteInt(7);
            writer.WriteTupleStart(2);
            writer.WriteQuoted(text);
            writer.WriteInt(8);
            writer.WriteEndTag();
        });
    CTagFileReader reader = TestUtil::ReaderOf(file);
    reader.ReadStartTag("t");
    // Only WriteString turns "0" into the null word, as the empty text.
    EXPECT_EQ(reader.ReadString(), text == "0" ? "" : text);
    EXPECT_EQ(reader.ReadString(), text);
    EXPECT_EQ(reader.ReadQuoted(), text);
    ASSERT_TRUE(reader.ReadTupleStart(2, false));
    EXPECT_EQ(reader.ReadWord(), text.empty() ? "0" : text);
    EXPECT_EQ(reader.ReadInt(), 7);
    ASSERT_TRUE(reader.ReadTupleStart(2, false));
    EXPECT_EQ(reader.ReadQuoted(), text);
    EXPECT_EQ(reader.ReadInt(), 8);
    reader.ReadEndTag();
    EXPECT_TRUE(reader.IsAtEnd());
}

} // namespace

TEST(TagFileText, PlainTextsKeepTheirBytesAndOthersAreEscapedExactly)
{
    const WrittenForms forms[] = {
        {"plain", "plain", "\"plain\""},
        {"back\\slash", "back\\slash", "\"back\\slash\""},
        {"a\"b", "a\"b", "\"\"a\\\"b\""},
        {"x)", "x)", "\"x)\""},
        {"0", "0", "\"0\""},
        {"", "0", "\"\""},
        {"two words", "\"\"two\\x20words\"", "\"two words\""},
        {"met \"old\" Hob", "\"\"met\\x20\\\"old\\\"\\x20Hob\"", "\"\"met \\\"old\\\" Hob\""},
        {"</questtags>", "\"\"</questtags>\"", "\"</questtags>\""},
        {"(x", "\"\"(x\"", "\"(x\""},
        {"#x", "\"\"#x\"", "\"#x\""},
        {"\"", "\"\"\\\"\"", "\"\"\\\"\""},
        {"\"\"x", "\"\"\\\"\\\"x\"", "\"\"\\\"\\\"x\""},
        {"a\nb", "\"\"a\\x0ab\"", "\"\"a\\x0ab\""},
        {"a  b", "\"\"a\\x20\\x20b\"", "\"\"a\\x20\\x20b\""},
        {" lead", "\"\"\\x20lead\"", "\"\"\\x20lead\""},
        {"end ", "\"\"end\\x20\"", "\"\"end\\x20\""},
        // Other control bytes never split a word: they stay as they were.
        {std::string("n\0l", 3), std::string("n\0l", 3), std::string("\"n\0l\"", 5)},
        {"n\x01 l", "\"\"n\\x01\\x20l\"", "\"n\x01 l\""},
    };
    for (const WrittenForms& form : forms)
    {
        SCOPED_TRACE(form.text);
        EXPECT_EQ(WrittenText([&](CTagFileWriter& w) { w.WriteString(form.text); }),
                  form.asString + "\n");
        EXPECT_EQ(WrittenText([&](CTagFileWriter& w) { w.WriteQuoted(form.text); }),
                  form.asQuoted + "\n");
        ExpectRoundTrip(form.text);
    }
    EXPECT_EQ(WrittenText([](CTagFileWriter& w) { w.WriteText("0"); }), "\"\"0\"\n");
}

// Random bytes, biased toward those the format gives a meaning.
TEST(TagFileText, RandomBytesComeBackExactly)
{
    std::mt19937 generator(54);
    const std::string marks = " \t\n\r\"\\()#<>/0x";
    for (int round = 0; round < 300; ++round)
    {
        std::string text(generator() % 24, '\0');
        for (char& c : text)
            c = generator() % 2 == 0 ? marks[generator() % marks.size()]
                                     : static_cast<char>(generator() % 256);
        SCOPED_TRACE(VARDCommon::QuoteForMessage(text));
        ExpectRoundTrip(text);
    }
}

TEST(TagFileText, DamagedEscapesAreCode1)
{
    for (const char* text : {"\"\"a\\q\"", "\"\"a\\x2\"", "\"\"a\\xg0\"", "\"\"a\"b\"",
                             "\"\"open ended", "\"\"a\\ b\"", "\"\"a\\"})
    {
        SCOPED_TRACE(text);
        EXPECT_EQ(TestUtil::CodeOf([&] { TestUtil::ReaderOf(text).ReadQuoted(); }), 1);
        EXPECT_EQ(TestUtil::CodeOf([&] { TestUtil::ReaderOf(text).ReadWord(); }), 1);
    }
    // An escaped text may run over several words, joined by one blank.
    auto reader = TestUtil::ReaderOf("\"\"a b\nc\\x20\" next");
    EXPECT_EQ(reader.ReadQuoted(), "a b c ");
    EXPECT_EQ(reader.ReadWord(), "next");
}

TEST(TagFileText, TheLongestTextRoundTripsAndOneByteMoreKeepsTheOldFile)
{
    const std::filesystem::path path = ScratchPath("long");
    const std::string longest(VARDCommon::kMaxSavedTextLength, '\n');
    {
        CTagFileWriter writer(path);
        writer.WriteQuoted(longest);
        writer.Close();
    }
    EXPECT_EQ(CTagFileReader(path).ReadQuoted(), longest);

    const std::string before = FileText(path);
    {
        CTagFileWriter writer(path);
        EXPECT_EQ(TestUtil::CodeOf([&] { writer.WriteString(longest + "x"); }), 1);
        EXPECT_EQ(TestUtil::CodeOf([&] { writer.Close(); }), 1);
    }
    EXPECT_EQ(FileText(path), before);
    std::filesystem::remove(path);
}

TEST(TagFileText, ACheckThatFailsKeepsTheOldFileAndOneThatPassesSeesTheNewOne)
{
    const std::filesystem::path folder = ScratchPath("check");
    std::filesystem::create_directories(folder);
    const std::filesystem::path path = folder / "s.vard";
    {
        CTagFileWriter writer(path);
        writer.WriteString("old");
        writer.Close();
    }
    {
        CTagFileWriter writer(path);
        writer.WriteString("new");
        EXPECT_EQ(TestUtil::CodeOf(
                      [&]
                      {
                          writer.Close(
                              [](const std::filesystem::path& written)
                              {
                                  EXPECT_EQ(FileText(written), "new\n");
                                  throw CVARDException(1, "does not read back");
                              });
                      }),
                  1);
    }
    EXPECT_EQ(FileText(path), "old\n");
    EXPECT_EQ(FolderNames(folder), std::vector<std::string>{"s.vard"});
    {
        CTagFileWriter writer(path);
        writer.WriteString("new");
        writer.Close([](const std::filesystem::path&) {});
    }
    EXPECT_EQ(FileText(path), "new\n");
    std::filesystem::remove_all(folder);
}

// Those of a process that is gone, and this process's own that no writer
// holds, go; a live process's and other names' stay.
TEST(TagFileText, ASaveRemovesStaleTemporaryFilesOfItsOwnName)
{
    const std::filesystem::path folder = ScratchPath("stale");
    std::filesystem::create_directories(folder);
    const pid_t gone = fork();
    if (gone == 0)
        _exit(0);
    ASSERT_GT(gone, 0);
    waitpid(gone, nullptr, 0);
    const std::string own = std::to_string(getpid());
    const std::string live = std::to_string(getppid());
    const std::string dead = std::to_string(gone);
    for (const std::string& name :
         {"s.vard.tmp." + dead + ".3", "s.vard.tmp." + own + ".999", "s.vard.tmp." + live + ".1",
          "t.vard.tmp." + dead + ".1", "s.vard.tmp." + dead, std::string("s.vard.tmp.x.1")})
        std::ofstream(folder / name) << "half a save";
    std::filesystem::create_directory(folder / ("s.vard.tmp." + dead + ".4"));

    CTagFileWriter held(folder / "s.vard");
    held.WriteString("first");
    {
        CTagFileWriter writer(folder / "s.vard");
        writer.WriteString("second");
        writer.Close();
    }
    std::vector<std::string> expected = {"s.vard",
                                         "s.vard.tmp." + dead,
                                         "s.vard.tmp." + dead + ".4",
                                         "s.vard.tmp." + live + ".1",
                                         "s.vard.tmp.x.1",
                                         "t.vard.tmp." + dead + ".1"};
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> names = FolderNames(folder);
    // The writer still open holds its own.
    ASSERT_EQ(names.size(), expected.size() + 1);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [&](const std::string& name)
                               { return name.rfind("s.vard.tmp." + own + ".", 0) == 0; }),
                names.end());
    EXPECT_EQ(names, expected);
    held.Close();
    EXPECT_EQ(FileText(folder / "s.vard"), "first\n");
    std::filesystem::remove_all(folder);
}
