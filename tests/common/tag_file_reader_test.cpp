#include "tag_test_util.h"

#include "common/data_file.h"

#include <sys/stat.h>

#include <functional>
#include <future>

using VARDCommon::CTagFileReader;

TEST(TagFileReader, PairReadsTheSameWithGluedOrStandaloneParentheses)
{
    for (const char* text : {"<p> ( 3 4 ) </p>", "<p> (3 4) </p>", "<p> (3 4 ) </p>",
                             "<p> ( 3 4) </p>", "<p>\n(3\n4)\n</p>"})
    {
        auto reader = ReaderOf(text);
        reader.ReadStartTag("p");
        ASSERT_TRUE(reader.ReadPairStart()) << text;
        EXPECT_EQ(reader.ReadUnsigned(), 3u) << text;
        EXPECT_EQ(reader.ReadUnsigned(), 4u) << text;
        EXPECT_FALSE(reader.IsInTuple()) << text;
        reader.ReadEndTag();
        EXPECT_TRUE(reader.IsAtEnd());
    }
}

TEST(TagFileReader, NullTupleAndNullString)
{
    auto reader = ReaderOf("0 0 word 0");
    EXPECT_FALSE(reader.ReadPairStart());
    EXPECT_EQ(reader.ReadString(), "");
    EXPECT_EQ(reader.ReadString(), "word");
    // Without null allowed, "0" is no tuple and nothing is consumed.
    EXPECT_FALSE(reader.ReadTupleStart(2, false));
    EXPECT_EQ(reader.ReadWord(), "0");
}

TEST(TagFileReader, TupleOfThreeMissingClosingIsCode1)
{
    auto reader = ReaderOf("(1 2 3 4)");
    ASSERT_TRUE(reader.ReadTupleStart(3, false));
    EXPECT_EQ(reader.ReadUnsigned(), 1u);
    // The closing ")" is looked for as the last item becomes current.
    EXPECT_EQ(CodeOf([&] { reader.ReadUnsigned(); }), 1);
}

TEST(TagFileReader, TupleClosedByStandaloneParenthesisAtTheLastItem)
{
    auto reader = ReaderOf("(1 2 3 ) after");
    ASSERT_TRUE(reader.ReadTupleStart(3, false));
    EXPECT_EQ(reader.ReadInt(), 1);
    EXPECT_EQ(reader.ReadInt(), 2);
    EXPECT_EQ(reader.ReadInt(), 3);
    EXPECT_EQ(reader.ReadWord(), "after");
}

TEST(TagFileReader, CommentsSkipToLineEnd)
{
    auto reader = ReaderOf("# a comment line ignored\nfirst #also ignored\n a#b\n#last");
    EXPECT_EQ(reader.ReadWord(), "first");
    EXPECT_EQ(reader.ReadWord(), "a#b");
    EXPECT_TRUE(reader.IsAtEnd());
}

TEST(TagFileReader, QuotedTextJoinsWordsWithOneBlank)
{
    auto reader = ReaderOf("\"Hello   there,\n  traveller\" \"\" \" next");
    EXPECT_EQ(reader.ReadQuoted(), "Hello there, traveller");
    EXPECT_EQ(reader.ReadQuoted(), "");
    // A lone double quote is the empty text.
    EXPECT_EQ(reader.ReadQuoted(), "");
    EXPECT_EQ(reader.ReadWord(), "next");
}

TEST(TagFileReader, QuotedTextKeepsHashesAndCountsAsOneTupleItem)
{
    auto reader = ReaderOf("(\"Room #4 key\" 7)");
    ASSERT_TRUE(reader.ReadTupleStart(2, true));
    EXPECT_EQ(reader.ReadQuoted(), "Room #4 key");
    EXPECT_EQ(reader.ReadUnsigned(), 7u);
    EXPECT_TRUE(reader.IsAtEnd());
}

TEST(TagFileReader, QuotedRequiresAQuote)
{
    auto reader = ReaderOf("plain");
    EXPECT_EQ(CodeOf([&] { reader.ReadQuoted(); }), 1);
    EXPECT_EQ(reader.ReadWord(), "plain");
}

TEST(TagFileReader, Bools)
{
    auto reader = ReaderOf("true false True");
    EXPECT_TRUE(reader.ReadBool());
    EXPECT_FALSE(reader.ReadBool());
    EXPECT_EQ(CodeOf([&] { reader.ReadBool(); }), 1);
    // A refused bool does not advance.
    EXPECT_EQ(reader.ReadWord(), "True");
}

TEST(TagFileReader, Numbers)
{
    auto reader = ReaderOf("4294967295 -7 2.5 -0.125 1e3 12 abc x3 1.5");
    EXPECT_EQ(reader.ReadUnsigned(), 4294967295u);
    EXPECT_EQ(reader.ReadInt(), -7);
    EXPECT_EQ(reader.ReadDouble(), 2.5);
    EXPECT_EQ(reader.ReadDouble(), -0.125);
    EXPECT_EQ(reader.ReadDouble(), 1000.0);
    EXPECT_EQ(reader.ReadInt(), 12);
    EXPECT_EQ(CodeOf([&] { reader.ReadDouble(); }), 1);
    EXPECT_EQ(reader.ReadWord(), "abc"); // a failed real does not advance
    EXPECT_EQ(CodeOf([&] { reader.ReadUnsigned(); }), 1);
    EXPECT_EQ(reader.ReadWord(), "x3");
    EXPECT_EQ(CodeOf([&] { reader.ReadInt(); }), 1);
}

TEST(TagFileReader, SixDigitRealsStillRead)
{
    auto reader = ReaderOf("3.14159 1.5e-07");
    EXPECT_DOUBLE_EQ(reader.ReadDouble(), 3.14159);
    EXPECT_DOUBLE_EQ(reader.ReadDouble(), 1.5e-07);
}

TEST(TagFileReader, Colours)
{
    auto reader = ReaderOf("(255 128 1) ( 300 0 16 ) 0 red");
    std::uint32_t color = 0xAB000000u;
    reader.ReadColor(color);
    EXPECT_EQ(color, 0xABFF8001u);
    color = 0;
    reader.ReadColor(color);
    EXPECT_EQ(color, 0x002C0010u); // 300 keeps its low 8 bits
    EXPECT_EQ(CodeOf([&] { reader.ReadColor(color); }), 1);
    EXPECT_EQ(CodeOf([&] { reader.ReadColor(color); }), 1);
}

TEST(TagFileReader, MissingClosingParenthesisOfColour)
{
    auto reader = ReaderOf("(1 2 3 4");
    std::uint32_t color = 0;
    EXPECT_EQ(CodeOf([&] { reader.ReadColor(color); }), 1);
}

TEST(TagFileReader, TagsNestAndCheckTheInnermostName)
{
    auto reader = ReaderOf("<a> <b> </a> </b>");
    EXPECT_TRUE(reader.IsStartTag("a"));
    EXPECT_TRUE(reader.IsAnyStartTag());
    reader.ReadStartTag("a");
    reader.ReadStartTag("b");
    EXPECT_FALSE(reader.IsAtEndTag());
    EXPECT_FALSE(reader.IsAnyStartTag());
    EXPECT_EQ(CodeOf([&] { reader.ReadEndTag(); }), 1);
}

TEST(TagFileReader, WrongStartTagIsCode1AndTagInTupleIsCode2)
{
    auto reader = ReaderOf("<b>");
    EXPECT_EQ(CodeOf([&] { reader.ReadStartTag("a"); }), 1);
    auto inTuple = ReaderOf("( <a> 1 )");
    ASSERT_TRUE(inTuple.ReadTupleStart(2, false));
    EXPECT_EQ(CodeOf([&] { inTuple.ReadStartTag("a"); }), 2);
    EXPECT_EQ(CodeOf([&] { inTuple.ReadEndTag(); }), 2);
}

TEST(TagFileReader, SkipToEndTagPassesNestedElements)
{
    auto reader = ReaderOf("<outer> <x> 1 2 </x> \"q w\" </outer> tail");
    reader.ReadStartTag("outer");
    reader.SkipToEndTag("outer");
    EXPECT_EQ(reader.ReadWord(), "tail");
}

TEST(TagFileReader, EndOfInputEndsWithCode1)
{
    // Each of these must end promptly: none may loop at the end of the input.
    auto run = [](const std::string& text, const std::function<void(CTagFileReader&)>& read)
    {
        return std::async(std::launch::async,
                          [=]
                          {
                              auto reader = ReaderOf(text);
                              return CodeOf([&] { read(reader); });
                          });
    };
    std::vector<std::future<int>> results;
    results.push_back(run("<a> 1 2",
                          [](CTagFileReader& r)
                          {
                              r.ReadStartTag("a");
                              r.SkipToEndTag("a");
                          }));
    results.push_back(run("\"never closed", [](CTagFileReader& r) { r.ReadQuoted(); }));
    results.push_back(run("(1 2",
                          [](CTagFileReader& r)
                          {
                              r.ReadTupleStart(3, false);
                              r.ReadInt();
                              r.ReadInt();
                          }));
    results.push_back(run("<a> # comment without line end",
                          [](CTagFileReader& r)
                          {
                              r.ReadStartTag("a");
                              r.ReadEndTag();
                          }));
    results.push_back(run("", [](CTagFileReader& r) { r.ReadStartTag("world"); }));
    results.push_back(run("<a>",
                          [](CTagFileReader& r)
                          {
                              r.ReadStartTag("a");
                              r.ReadWord();
                          }));
    for (auto& result : results)
    {
        ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
        EXPECT_EQ(result.get(), 1);
    }
}

TEST(TagFileReader, MissingFileFailsAtTheFirstTag)
{
    CTagFileReader reader(std::filesystem::path("/nonexistent/none.vard"));
    EXPECT_TRUE(reader.IsAtEnd());
    EXPECT_EQ(CodeOf([&] { reader.ReadStartTag("game"); }), 1);
}

TEST(TagFileReader, ErrorNamesTheSourceAndLine)
{
    auto reader = ReaderOf("<a>\n\n  wrong");
    reader.ReadStartTag("a");
    try
    {
        reader.ReadEndTag();
        FAIL();
    }
    catch (const CVARDException& e)
    {
        EXPECT_NE(e.GetDetail().find("test, line 3"), std::string::npos) << e.GetDetail();
        EXPECT_NE(e.GetDetail().find("wrong"), std::string::npos) << e.GetDetail();
    }
}

TEST(TagFileReader, IgnoresTheProcessLocale)
{
    // A locale with a decimal comma must not change how reals parse.
    std::locale previous = std::locale::global(std::locale::classic());
    try
    {
        std::locale::global(std::locale("de_DE.UTF-8"));
    }
    catch (const std::runtime_error&)
    {
        // Not installed here; the classic locale still exercises the path.
    }
    auto reader = ReaderOf("2.5");
    EXPECT_EQ(reader.ReadDouble(), 2.5);
    std::locale::global(previous);
}

namespace
{

// Gives its text one character at a time and cannot seek.
class CForwardOnlyBuffer : public std::streambuf
{
public:
    explicit CForwardOnlyBuffer(std::string text) : m_Text(std::move(text)) {}

protected:
    int_type underflow() override
    {
        if (m_Next >= m_Text.size())
            return traits_type::eof();
        m_Char = m_Text[m_Next++];
        setg(&m_Char, &m_Char, &m_Char + 1);
        return traits_type::to_int_type(m_Char);
    }

private:
    std::string m_Text;
    std::size_t m_Next = 0;
    char m_Char = 0;
};

class CForwardOnlyStream : public std::istream
{
public:
    explicit CForwardOnlyStream(std::string text) : std::istream(nullptr), m_Buffer(std::move(text))
    {
        rdbuf(&m_Buffer);
    }

private:
    CForwardOnlyBuffer m_Buffer;
};

} // namespace

TEST(TagFileReader, RemainingSizeCountsWhatFollowsTheLookAhead)
{
    auto reader = ReaderOf("ab cde fg");
    EXPECT_EQ(reader.GetRemainingSize(), 7);
    EXPECT_EQ(reader.ReadWord(), "ab");
    EXPECT_EQ(reader.GetRemainingSize(), 3);
    // Asking does not move the reader.
    EXPECT_EQ(reader.ReadWord(), "cde");
    EXPECT_EQ(reader.ReadWord(), "fg");
    EXPECT_EQ(reader.GetRemainingSize(), 0);

    const auto path = TestUtil::ScratchPath("remaining");
    std::ofstream(path, std::ios::binary) << "<a> 1 2\n";
    {
        CTagFileReader file(path);
        EXPECT_EQ(file.GetRemainingSize(), 5);
        file.ReadStartTag("a");
        EXPECT_EQ(file.ReadWord(), "1");
        EXPECT_EQ(file.GetRemainingSize(), 1);
        EXPECT_EQ(file.ReadWord(), "2");
    }
    std::filesystem::remove(path);
}

TEST(TagFileReader, RemainingSizeOfAStreamThatCannotSeekIsUnknown)
{
    CTagFileReader reader(std::make_shared<CForwardOnlyStream>("ab cd"), "forward");
    EXPECT_EQ(reader.GetRemainingSize(), -1);
    EXPECT_EQ(reader.ReadWord(), "ab");
    EXPECT_EQ(reader.ReadWord(), "cd");
}

TEST(TagFileReader, NoRegularFileIsCode1NamingTheFileAndNothingBlocks)
{
    // A folder, a named pipe no one writes and an endless device in place of
    // a module file: each refused at once, as code 1 with the file's name.
    const std::filesystem::path root = TestUtil::ScratchPath("not_regular");
    std::filesystem::create_directories(root / "world.vard");
    ASSERT_EQ(mkfifo((root / "magic.vard").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", root / "items.vard");
    VARDCommon::CDataFileFactoryPath factory(root);
    std::vector<std::future<std::string>> results;
    for (const char* name : {"world.vard", "magic.vard", "items.vard"})
    {
        for (const bool whole : {false, true})
            results.push_back(std::async(std::launch::async,
                                         [&factory, name, whole]
                                         {
                                             const auto open = [&]
                                             {
                                                 if (whole)
                                                     factory.ReadAll(0, 0, name);
                                                 else
                                                     CTagFileReader(factory, 0, 0, name);
                                             };
                                             return std::to_string(CodeOf(open)) + ' ' +
                                                    TestUtil::DetailOf(open);
                                         }));
    }
    // A module that is a pipe.
    results.push_back(std::async(
        std::launch::async,
        [&root]
        {
            const auto open = [&] { VARDCommon::CDataFileFactoryPath module(root / "magic.vard"); };
            return std::to_string(CodeOf(open)) + ' ' + TestUtil::DetailOf(open);
        }));
    // A saved game that is a folder.
    results.push_back(std::async(std::launch::async,
                                 [&root]
                                 {
                                     const auto open = [&] { CTagFileReader reader(root); };
                                     return std::to_string(CodeOf(open)) + ' ' +
                                            TestUtil::DetailOf(open);
                                 }));
    for (auto& result : results)
    {
        ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
        const std::string text = result.get();
        EXPECT_EQ(text.substr(0, 2), "1 ") << text;
        EXPECT_NE(text.find(root.string()), std::string::npos) << text;
    }
    std::filesystem::remove_all(root);
}

TEST(TagFileReader, BadWordsAreBoundedAndQuotedShortAndEscaped)
{
    struct Case
    {
        std::string text;
        std::function<void(CTagFileReader&)> read;
        // The message holds this; and is never longer than 200 bytes.
        std::string expected;
    };
    const std::string longWord = std::string(500000, 'x');
    const std::string endless = std::string(VARDCommon::kMaxWordLength + 1, 'y');
    const Case cases[] = {
        {longWord, [](CTagFileReader& r) { r.ReadInt(); },
         "found \"" + std::string(VARDCommon::kQuotedWordPrefix, 'x') + "...\""},
        {endless, [](CTagFileReader&) {}, "a word longer than 1048576 bytes"},
        {"\"" + endless + " \"", [](CTagFileReader& r) { r.ReadQuoted(); }, "longer than"},
        {"\x01\xff\"\\ok", [](CTagFileReader& r) { r.ReadUnsigned(); },
         "found \"\\x01\\xff\\x22\\x5cok\""},
        {std::string(100, 'k'),
         [](CTagFileReader& r) { r.ReadConverted([](auto& w) { return w; }); },
         "expected a keyword"},
        // The tuple's message names the word found where ")" belonged.
        {"(1 2 3 4)",
         [](CTagFileReader& r)
         {
             r.ReadTupleStart(3, false);
             r.ReadInt();
             r.ReadInt();
         },
         "test, line 1: expected \")\" closing a tuple, found \"4)\""},
        {"(1 2\n3\n",
         [](CTagFileReader& r) { r.ReadTupleStart(3, false), r.ReadInt(), r.ReadInt(); },
         "found the end of the file"},
        // An unclosed quote is reported where it opened.
        {"word\n\"opened here\nand\nnever closed\n",
         [](CTagFileReader& r) { r.ReadWord(), r.ReadQuoted(); },
         "test, line 2: quoted text is not closed"},
    };
    for (const Case& c : cases)
    {
        const auto call = [&]
        {
            auto reader = ReaderOf(c.text);
            c.read(reader);
        };
        const std::string detail = TestUtil::DetailOf(call);
        SCOPED_TRACE(detail.substr(0, 300));
        EXPECT_EQ(CodeOf(call), 1);
        EXPECT_NE(detail.find(c.expected), std::string::npos);
        EXPECT_LT(detail.size(), 200u);
    }
}
