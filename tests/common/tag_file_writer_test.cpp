#include "tag_test_util.h"

#include <cerrno>
#include <cmath>
#include <fstream>
#include <limits>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <vector>

using TestUtil::FileSizeLimit;
using TestUtil::FolderNames;
using VARDCommon::CTagFileReader;
using VARDCommon::CTagFileWriter;

namespace
{

// Every fsync of this program passes here, so the tests see what is flushed,
// in which order, and can make the disk refuse it.
struct FsyncCall
{
    bool folder = false;
    std::string target;
};
struct FsyncWatch
{
    std::filesystem::path target;
    std::vector<FsyncCall> calls;
    int failWith = 0;
};
FsyncWatch* g_FsyncWatch = nullptr;

} // namespace

extern "C" int fsync(int fd)
{
    if (g_FsyncWatch != nullptr)
    {
        struct stat status
        {
        };
        fstat(fd, &status);
        std::ifstream in(g_FsyncWatch->target, std::ios::binary);
        g_FsyncWatch->calls.push_back(
            {S_ISDIR(status.st_mode),
             std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())});
        if (g_FsyncWatch->failWith != 0)
        {
            errno = g_FsyncWatch->failWith;
            return -1;
        }
    }
    return static_cast<int>(syscall(SYS_fsync, fd));
}

namespace
{

class TagFileWriterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_Folder = TestUtil::ScratchPath(std::string("writer_") + info->name(), "");
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
                           " \"\"Say \\\"hi\\\"\"\n"
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
        writer.Close();
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
    EXPECT_EQ(reader.ReadQuoted(), "two  words");
    EXPECT_EQ(reader.ReadQuoted(), "");
    EXPECT_EQ(reader.ReadQuoted(), "  padded\tand\n spaced  ");
    EXPECT_EQ(reader.ReadQuoted(), " ");
    std::uint32_t color = 0;
    reader.ReadColor(color);
    EXPECT_EQ(color, 0x00FF8001u);
    ASSERT_TRUE(reader.ReadPairStart());
    EXPECT_EQ(reader.ReadQuoted(), "in tuple");
    EXPECT_EQ(reader.ReadInt(), 5);
    reader.ReadEndTag();
    EXPECT_TRUE(reader.IsAtEnd());
}

// The old save stays byte for byte and no temporary file is left behind.
#define EXPECT_OLD_SAVE_ONLY(path)                                                                 \
    do                                                                                             \
    {                                                                                              \
        EXPECT_EQ(Slurp(path), "<old>\n</old>\n");                                                 \
        EXPECT_EQ(FolderNames((path).parent_path()),                                               \
                  std::vector<std::string>{(path).filename().string()});                           \
    } while (false)

TEST_F(TagFileWriterTest, OnlyAnExplicitCloseReplacesTheTarget)
{
    const auto path = m_Folder / "save.vard";
    std::ofstream(path) << "<old>\n</old>\n";
    // Out of scope without Close, whether an exception passed or was caught.
    {
        CTagFileWriter writer(path);
        writer.WriteStartTag("new");
        writer.WriteEndTag();
    }
    EXPECT_OLD_SAVE_ONLY(path);
    {
        CTagFileWriter writer(path);
        try
        {
            writer.WriteStartTag("new");
            throw CVARDException(2, "record failed half way");
        }
        catch (const CVARDException&)
        {
        }
    }
    EXPECT_OLD_SAVE_ONLY(path);
    EXPECT_EQ(CodeOf(
                  [&]
                  {
                      CTagFileWriter writer(path);
                      writer.WriteStartTag("new");
                      throw CVARDException(2, "record failed half way");
                  }),
              2);
    EXPECT_OLD_SAVE_ONLY(path);

    // Close refuses open tags and open tuples, and the writer is then done.
    CTagFileWriter open(path);
    open.WriteStartTag("new");
    EXPECT_EQ(CodeOf([&] { open.Close(); }), 2);
    EXPECT_EQ(CodeOf([&] { open.WriteEndTag(); }), 1);
    EXPECT_EQ(CodeOf([&] { open.Close(); }), 1);
    EXPECT_OLD_SAVE_ONLY(path);
    CTagFileWriter tuple(path);
    tuple.WriteTupleStart(2);
    tuple.WriteInt(1);
    EXPECT_EQ(CodeOf([&] { tuple.Close(); }), 2);
    EXPECT_OLD_SAVE_ONLY(path);

    CTagFileWriter done(path);
    done.WriteStartTag("new");
    done.WriteEndTag();
    done.Close();
    done.Close();
    EXPECT_EQ(CodeOf([&] { done.WriteString("late"); }), 2);
    EXPECT_EQ(Slurp(path), "<new>\n</new>\n");
}

TEST_F(TagFileWriterTest, UnopenableTargetIsCode1AndKeepsThePreviousFile)
{
    EXPECT_EQ(CodeOf([&] { CTagFileWriter writer(m_Folder / "missing" / "save.vard"); }), 1);
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes through folder permissions";
    const auto path = m_Folder / "save.vard";
    std::ofstream(path) << "<old>\n</old>\n";
    std::filesystem::permissions(m_Folder, std::filesystem::perms::owner_read |
                                               std::filesystem::perms::owner_exec);
    EXPECT_EQ(CodeOf([&] { CTagFileWriter writer(path); }), 1);
    EXPECT_EQ(Slurp(path), "<old>\n</old>\n");
}

TEST_F(TagFileWriterTest, FullDiskFailsTheWriteThatMeetsIt)
{
    const auto path = m_Folder / "full.vard";
    std::ofstream(path) << "<old>\n</old>\n";
    FileSizeLimit limit(4096);
    // More than the writer buffers: one of the writes meets the full disk and
    // says so at once, before Close is reached.
    int lines = 0;
    const int code = CodeOf(
        [&]
        {
            CTagFileWriter writer(path);
            writer.WriteStartTag("game");
            for (; lines < 100000; ++lines)
                writer.WriteQuoted("a line long enough to fill the write buffer quickly");
        });
    EXPECT_EQ(code, 1);
    EXPECT_LT(lines, 100000);
    EXPECT_OLD_SAVE_ONLY(path);
}

TEST_F(TagFileWriterTest, FullDiskAtTheFinalFlushFailsClose)
{
    const auto path = m_Folder / "full.vard";
    std::ofstream(path) << "<old>\n</old>\n";
    FileSizeLimit limit(64);
    CTagFileWriter writer(path);
    writer.WriteStartTag("game");
    for (int i = 0; i < 10; ++i)
        writer.WriteQuoted("ten of these fit the buffer but not the disk");
    writer.WriteEndTag();
    EXPECT_EQ(CodeOf([&] { writer.Close(); }), 1);
    EXPECT_OLD_SAVE_ONLY(path);
}

TEST_F(TagFileWriterTest, StaleLinkAtATemporaryNameIsNeverWrittenThrough)
{
    const auto path = m_Folder / "save.vard";
    std::ofstream(path) << "<old>\n</old>\n";
    const auto stale = m_Folder / "save.vard.tmp";
    std::filesystem::create_symlink(path, stale);
    {
        CTagFileWriter writer(path);
        writer.WriteStartTag("new");
        writer.WriteEndTag();
        EXPECT_EQ(Slurp(path), "<old>\n</old>\n");
        writer.Close();
    }
    EXPECT_EQ(Slurp(path), "<new>\n</new>\n");
    EXPECT_FALSE(std::filesystem::is_symlink(path));
    EXPECT_TRUE(std::filesystem::is_symlink(stale));
    EXPECT_EQ(FolderNames(m_Folder), (std::vector<std::string>{"save.vard", "save.vard.tmp"}));
}

TEST_F(TagFileWriterTest, FileIsFlushedBeforeTheRenameAndTheFolderAfterIt)
{
    const auto path = m_Folder / "save.vard";
    std::ofstream(path) << "<old>\n</old>\n";
    FsyncWatch watch;
    watch.target = path;
    g_FsyncWatch = &watch;
    {
        CTagFileWriter writer(path);
        writer.WriteStartTag("new");
        writer.WriteEndTag();
        writer.Close();
    }
    ASSERT_EQ(watch.calls.size(), 2u);
    EXPECT_FALSE(watch.calls[0].folder);
    EXPECT_EQ(watch.calls[0].target, "<old>\n</old>\n");
    EXPECT_TRUE(watch.calls[1].folder);
    EXPECT_EQ(watch.calls[1].target, "<new>\n</new>\n");

    // A disk that cannot flush fails the save and keeps the old file.
    std::ofstream(path) << "<old>\n</old>\n";
    watch.calls.clear();
    watch.failWith = EIO;
    EXPECT_EQ(CodeOf(
                  [&]
                  {
                      CTagFileWriter writer(path);
                      writer.WriteStartTag("new");
                      writer.WriteEndTag();
                      writer.Close();
                  }),
              1);
    g_FsyncWatch = nullptr;
    EXPECT_EQ(watch.calls.size(), 1u);
    EXPECT_OLD_SAVE_ONLY(path);
}

// Only a regular file or a missing one is replaced: a pipe, a device, a folder
// or a link keeps its place, and no temporary file is left beside it.
TEST_F(TagFileWriterTest, TargetThatIsNotARegularFileIsRefused)
{
    const auto file = m_Folder / "file.vard";
    std::ofstream(file) << "<old>\n</old>\n";
    const auto folder = m_Folder / "folder";
    std::filesystem::create_directory(folder);
    const auto pipe = m_Folder / "pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const auto folderLink = m_Folder / "folder-link";
    std::filesystem::create_directory_symlink(folder, folderLink);
    const auto fileLink = m_Folder / "file-link";
    std::filesystem::create_symlink(file, fileLink);
    std::vector<std::filesystem::path> targets = {folder, pipe, folderLink, fileLink, ""};
    // A device node of its own (the null device's numbers): only root can make one.
    const auto device = m_Folder / "device";
    if (mknod(device.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0)
        targets.push_back(device);
    const auto before = FolderNames(m_Folder);
    for (const auto& target : targets)
    {
        SCOPED_TRACE(target.string());
        const auto status = std::filesystem::symlink_status(target);
        EXPECT_EQ(CodeOf(
                      [&]
                      {
                          CTagFileWriter writer(target);
                          writer.WriteStartTag("new");
                          writer.WriteEndTag();
                          writer.Close();
                      }),
                  1);
        EXPECT_EQ(std::filesystem::symlink_status(target).type(), status.type());
    }
    EXPECT_EQ(FolderNames(m_Folder), before);
    EXPECT_EQ(Slurp(file), "<old>\n</old>\n");
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}
