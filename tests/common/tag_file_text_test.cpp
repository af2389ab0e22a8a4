// Texts of any bytes through the writer and back: plain ones written as they
// always were, the others escaped and read back exactly; damaged escapes and
// the temporary files a killed save leaves.

#include "tag_test_util.h"

#include <sys/wait.h>
#include <unistd.h>

using TestUtil::WrittenText;
using VARDCommon::CTagFileWriter;

TEST(TagFileText, PlainTextsKeepTheirBytesAndOthersComeBackExactly)
{
    struct Forms
    {
        std::string text, asString, asQuoted;
    };
    const Forms forms[] = {
        {"plain", "plain", "\"plain\""},
        {"back\\slash", "back\\slash", "\"back\\slash\""},
        {"a\"b x)", "\"\"a\\\"b\\x20x)\"", "\"\"a\\\"b x)\""},
        {"0", "0", "\"0\""},
        {"", "0", "\"\""},
        {"met \"old\" Hob", "\"\"met\\x20\\\"old\\\"\\x20Hob\"", "\"\"met \\\"old\\\" Hob\""},
        {"</questtags>", "\"\"</questtags>\"", "\"</questtags>\""},
        {"(x", "\"\"(x\"", "\"(x\""},
        {"<x", "\"\"<x\"", "\"<x\""},
        {"#x", "\"\"#x\"", "\"#x\""},
        {"\"\"x", "\"\"\\\"\\\"x\"", "\"\"\\\"\\\"x\""},
        {"a\n b", "\"\"a\\x0a\\x20b\"", "\"\"a\\x0a\\x20b\""},
        {" lead  end ", "\"\"\\x20lead\\x20\\x20end\\x20\"", "\"\"\\x20lead\\x20\\x20end\\x20\""},
        {" lead", "\"\"\\x20lead\"", "\"\"\\x20lead\""},
        // Other control bytes never split a word: they stay as they were.
        {std::string("n\0l", 3), std::string("n\0l", 3), std::string("\"n\0l\"", 5)},
    };
    for (const Forms& form : forms)
    {
        SCOPED_TRACE(form.text);
        const std::string file = WrittenText(
            [&](CTagFileWriter& writer)
            {
                writer.WriteTupleStart(2);
                writer.WriteString(form.text);
                writer.WriteInt(7);
                writer.WriteText(form.text);
                writer.WriteQuoted(form.text);
            });
        const std::string escapedZero = form.text == "0" ? "\"\"0\"" : form.asString;
        EXPECT_EQ(file, "(" + form.asString + "\n7)\n" + escapedZero + "\n" + form.asQuoted + "\n");
        auto reader = TestUtil::ReaderOf(file);
        ASSERT_TRUE(reader.ReadTupleStart(2, false));
        EXPECT_EQ(reader.ReadWord(), form.text.empty() ? "0" : form.text);
        EXPECT_EQ(reader.ReadInt(), 7);
        EXPECT_EQ(reader.ReadString(), form.text);
        EXPECT_EQ(reader.ReadQuoted(), form.text);
    }
}

TEST(TagFileText, DamagedEscapesAndTextsTooLongToReadBackAreCode1)
{
    for (const char* text :
         {"\"\"a\\q\"", "\"\"a\\x2\"", "\"\"a\"b\"", "\"\"open ended", "\"\"a\\ b\"", "\"\"a\\"})
    {
        SCOPED_TRACE(text);
        EXPECT_EQ(CodeOf([&] { ReaderOf(text).ReadQuoted(); }), 1);
        EXPECT_EQ(CodeOf([&] { ReaderOf(text).ReadWord(); }), 1);
    }
    auto reader = ReaderOf("\"\"a b\nc\\x20\" next");
    EXPECT_EQ(reader.ReadQuoted(), "a b c ");
    EXPECT_EQ(reader.ReadWord(), "next");
    const std::string longest(VARDCommon::kMaxSavedTextLength, '\n');
    EXPECT_EQ(
        ReaderOf(WrittenText([&](CTagFileWriter& w) { w.WriteQuoted(longest); })).ReadQuoted(),
        longest);
    EXPECT_EQ(CodeOf([&] { WrittenText([&](CTagFileWriter& w) { w.WriteText(longest + "x"); }); }),
              1);
}

// Those of a process that is gone and this process's own that no writer
// holds go; a live process's, other names' and folders stay.
TEST(TagFileText, ASaveRemovesStaleTemporaryFilesOfItsOwnName)
{
    const std::filesystem::path folder = TestUtil::ScratchPath("stale");
    std::filesystem::create_directories(folder);
    const pid_t gone = fork();
    if (gone == 0)
        _exit(0);
    waitpid(gone, nullptr, 0);
    const std::string dead = "s.vard.tmp." + std::to_string(gone);
    std::vector<std::string> kept = {"s.vard",
                                     dead,
                                     dead + ".4",
                                     "s.vard.tmp.x.1",
                                     "t" + dead.substr(1) + ".1",
                                     "s.vard.tmp." + std::to_string(getppid()) + ".1"};
    for (const std::string& name : {kept[1], kept[3], kept[4], kept[5], dead + ".3",
                                    "s.vard.tmp." + std::to_string(getpid()) + ".999"})
        std::ofstream(folder / name) << "half a save";
    std::filesystem::create_directory(folder / kept[2]);
    const std::vector<std::string> before = TestUtil::FolderNames(folder);
    CTagFileWriter held(folder / "s.vard");
    for (const std::string& name : TestUtil::FolderNames(folder))
        if (std::find(before.begin(), before.end(), name) == before.end())
            kept.push_back(name);
    CTagFileWriter(folder / "s.vard").Close();
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(TestUtil::FolderNames(folder), kept);
    held.Close();
    std::filesystem::remove_all(folder);
}
