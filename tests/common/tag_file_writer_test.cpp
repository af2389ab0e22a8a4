#include "tag_test_util.h"

#include <cmath>
#include <fstream>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

using VARDCommon::CTagFileReader;
using VARDCommon::CTagFileWriter;

namespace
{

class TagFileWriterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_Folder = std::filesystem::temp_directory_path() /
                   (std::string("vard_writer_") + info->name() + "_" + std::to_string(getpid()));
        std::filesystem::remove_all(m_Folder);
        std::filesystem::create_directories(m_Folder);
    }
    void TearDown() override
    {
        std::filesystem::permissions(m_Folder, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add);
        std::filesystem::remove_all(m_Folder);
    }

    static std::string Slurp(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    std::filesystem::path m_Folder;
};

} // namespace

TEST_F(TagFileWriterTest, LayoutOfTagsAndTuples)
{
    const auto path = m_Folder / "out.vard";
    {
        CTagFileWriter writer(path);
        writer.WriteStartTag("game");
        writer.WriteStartTag("pos");
        writer.WriteTupleStart(2);
        writer.WriteDouble(1.5);
        writer.WriteDouble(-2);
        writer.WriteEndTag();
        writer.WriteTupleStart(3);
        writer.WriteString("a");
        writer.WriteUnsigned(7);
        writer.WriteInt(-3);
        writer.WriteString("");
        writer.WriteBool(true);
        writer.WriteQuoted("Say \"hi\"");
        writer.WriteEndTag();
        writer.Close();
    }
    EXPECT_EQ(Slurp(path), "<game>\n"
                           " <pos>\n"
                           "  (1.5\n"
                           "  -2)\n"
                           " </pos>\n"
                           " (a\n"
                           " 7\n"
                           " -3)\n"
                           " 0\n"
                           " true\n"
                           " \"Say 'hi'\"\n"
                           "</game>\n");
}

TEST_F(TagFileWriterTest, EveryValueKindRoundTrips)
{
    const auto path = m_Folder / "round.vard";
    const double reals[] = {0.1, 1.0 / 3.0, -123456.789012345, 1e-300, 6.02214076e23, 0.0};
    {
        CTagFileWriter writer(path);
        writer.WriteStartTag("r");
        for (double real : reals)
            writer.WriteDouble(real);
        writer.WriteUnsigned(4294967295u);
        writer.WriteInt(std::numeric_limits<std::int32_t>::min());
        writer.WriteBool(false);
        writer.WriteString("word");
        writer.WriteString("");
        writer.WriteQuoted("two  words");
        writer.WriteQuoted("");
        writer.WriteQuoted("  padded\tand\n spaced  ");
        writer.WriteQuoted(" ");
        writer.WriteColor(0x00FF8001u);
        writer.WriteTupleStart(2);
        writer.WriteQuoted("in tuple");
        writer.WriteInt(5);
        writer.WriteEndTag();
    }
    CTagFileReader reader(path);
    reader.ReadStartTag("r");
    for (double real : reals)
        EXPECT_EQ(reader.ReadDouble(), real);
    EXPECT_EQ(reader.ReadUnsigned(), 4294967295u);
    EXPECT_EQ(reader.ReadInt(), std::numeric_limits<std::int32_t>::min());
    EXPECT_FALSE(reader.ReadBool());
    EXPECT_EQ(reader.ReadString(), "word");
    EXPECT_EQ(reader.ReadString(), "");
    EXPECT_EQ(reader.ReadQuoted(), "two words");
    EXPECT_EQ(reader.ReadQuoted(), "");
    EXPECT_EQ(reader.ReadQuoted(), "padded and spaced");
    EXPECT_EQ(reader.ReadQuoted(), "");
    std::uint32_t color = 0;
    reader.ReadColor(color);
    EXPECT_EQ(color, 0x00FF8001u);
    ASSERT_TRUE(reader.ReadPairStart());
    EXPECT_EQ(reader.ReadQuoted(), "in tuple");
    EXPECT_EQ(reader.ReadInt(), 5);
    reader.ReadEndTag();
    EXPECT_TRUE(reader.IsAtEnd());
}

TEST_F(TagFileWriterTest, FailedWriteKeepsThePreviousFile)
{
    if (geteuid() == 0)
    {
        // Root writes through folder permissions; a file in place of the
        // temporary name makes the write fail instead.
        const auto path = m_Folder / "save.vard";
        std::ofstream(path) << "<old>\n</old>\n";
        std::filesystem::create_directory(m_Folder / "save.vard.tmp");
        std::ofstream(m_Folder / "save.vard.tmp" / "x") << "x";
        EXPECT_EQ(CodeOf([&] { CTagFileWriter writer(path); }), 1);
        EXPECT_EQ(Slurp(path), "<old>\n</old>\n");
        return;
    }
    const auto path = m_Folder / "save.vard";
    std::ofstream(path) << "<old>\n</old>\n";
    std::filesystem::permissions(m_Folder, std::filesystem::perms::owner_read |
                                               std::filesystem::perms::owner_exec);
    EXPECT_EQ(CodeOf([&] { CTagFileWriter writer(path); }), 1);
    EXPECT_EQ(Slurp(path), "<old>\n</old>\n");
}

TEST_F(TagFileWriterTest, FullDiskKeepsThePreviousFile)
{
    // /dev/full accepts the open and fails every write: the replace must not happen.
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    const auto link = m_Folder / "full.vard.tmp";
    std::filesystem::create_symlink("/dev/full", link);
    const auto path = m_Folder / "full.vard";
    std::ofstream(path) << "<old>\n</old>\n";
    const int code = CodeOf([&] {
        CTagFileWriter writer(path);
        writer.WriteStartTag("game");
        for (int i = 0; i < 10000; ++i)
            writer.WriteQuoted("a line long enough to fill the stream buffer quickly");
        writer.WriteEndTag();
        writer.Close();
    });
    EXPECT_EQ(code, 1);
    EXPECT_EQ(Slurp(path), "<old>\n</old>\n");
}

TEST_F(TagFileWriterTest, ExceptionWhileWritingKeepsThePreviousFile)
{
    const auto path = m_Folder / "save.vard";
    std::ofstream(path) << "<old>\n</old>\n";
    try
    {
        CTagFileWriter writer(path);
        writer.WriteStartTag("new");
        throw CVARDException(2, "record failed half way");
    }
    catch (const CVARDException&)
    {
    }
    EXPECT_EQ(Slurp(path), "<old>\n</old>\n");
    EXPECT_FALSE(std::filesystem::exists(m_Folder / "save.vard.tmp"));
}

TEST_F(TagFileWriterTest, DestructorPutsTheFileInPlace)
{
    const auto path = m_Folder / "auto.vard";
    {
        CTagFileWriter writer(path);
        writer.WriteStartTag("a");
        writer.WriteEndTag();
    }
    EXPECT_EQ(Slurp(path), "<a>\n</a>\n");
}
