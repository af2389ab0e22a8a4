#include "common/data_file.h"
#include "common/tag_file.h"
#include "tag_test_util.h"

#include <cstdlib>
#include <fstream>
#include <functional>

using namespace VARDCommon;
using TestUtil::DetailOf;

namespace
{

class DataFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_Folder = TestUtil::ScratchPath(std::string("data_") + info->name(), "");
        std::filesystem::remove_all(m_Folder);
        std::filesystem::create_directories(m_Folder / "module");
    }
    void TearDown() override { std::filesystem::remove_all(m_Folder); }

    void Put(const std::string& relative, const std::string& bytes)
    {
        const auto path = m_Folder / "module" / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }

    // A small module tree with a file in the root, a kind folder and a sub-kind folder.
    void MakeModule()
    {
        Put("world.vard", "<world>\n start entry\n</world>\n");
        Put("magic.vard", "<magic>\n</magic>\n");
        Put("tile/door.vard", "<graphic> door </graphic>");
        Put("tile/tex/x", std::string("\x89PNG\0\1\2", 7));
        Put("audio/ding.wav", "RIFF....WAVE");
    }

    std::filesystem::path Pack()
    {
        const auto archive = m_Folder / "module.vard";
        const std::string command = std::string(VARD_BIN_DIR) + "/vardpack " +
                                    (m_Folder / "module").string() + " " + archive.string();
        EXPECT_EQ(std::system(command.c_str()), 0);
        return archive;
    }

    static std::string Text(const std::vector<std::uint8_t>& bytes)
    {
        return std::string(bytes.begin(), bytes.end());
    }

    std::filesystem::path m_Folder;
};

std::vector<std::uint8_t> ArchiveBytes(std::uint32_t count, std::uint32_t offset,
                                       std::uint32_t size, const std::string& body)
{
    std::vector<std::uint8_t> bytes;
    auto put = [&](std::uint32_t v, int n)
    {
        for (int i = 0; i < n; ++i)
            bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    put(count, 4);
    put(0, 2);
    put(0, 2);
    std::string name = "world.vard";
    name.resize(64, '\0');
    bytes.insert(bytes.end(), name.begin(), name.end());
    put(offset, 4);
    put(size, 4);
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

} // namespace

TEST(DataFilePaths, BuildAndParse)
{
    EXPECT_EQ(BuildDataFilePath(7, "root", 3), std::filesystem::path("root/tile/tex"));
    EXPECT_EQ(BuildDataFilePath(0, "root", 0), std::filesystem::path("root"));
    EXPECT_EQ(BuildDataFilePath(2, "root", 0), std::filesystem::path("root/effect"));

    std::uint32_t kind = 99;
    std::string path = "tile\\door";
    ParseDataFilePath(kind, 5, path);
    EXPECT_EQ(kind, 7u);
    EXPECT_EQ(path, "door");
    path = "door";
    ParseDataFilePath(kind, 5, path);
    EXPECT_EQ(kind, 5u);
    EXPECT_EQ(path, "door");
    path = "nokind\\door";
    EXPECT_EQ(CodeOf([&] { ParseDataFilePath(kind, 5, path); }), 2);

    EXPECT_EQ(DataFileKindByName("audio"), 8u);
    EXPECT_EQ(DataFileKindByName(""), 0u);
    EXPECT_EQ(CodeOf([] { DataFileKindByName("Audio"); }), 2);
}

TEST_F(DataFileTest, FolderFactoryOpensByKindAndSubKind)
{
    MakeModule();
    CDataFileFactoryPath factory(m_Folder / "module");
    EXPECT_EQ(Text(*factory.ReadAll(7, 3, "x")), std::string("\x89PNG\0\1\2", 7));
    CTagFileReader reader(factory, 0, 0, "world.vard");
    reader.ReadStartTag("world");
    EXPECT_EQ(reader.ReadWord(), "start");
    // A missing file gives an ended stream, and the reader fails at the first
    // tag, saying that the file is missing.
    CTagFileReader missing(factory, 0, 0, "nothing.vard");
    EXPECT_EQ(DetailOf([&] { missing.ReadStartTag("world"); }),
              "module file \"nothing.vard\" in " + (m_Folder / "module").string() + " is missing");
    EXPECT_EQ(CodeOf([&] { factory.ReadAll(0, 0, "nothing.vard"); }), 1);
    Put("empty.vard", "");
    EXPECT_EQ(CodeOf([&] { factory.ReadAll(0, 0, "empty.vard"); }), 1);
}

// A script may name a module file of any length: every text naming one
// quotes the start of its place in the module, and still says what is wrong.
TEST_F(DataFileTest, ALongNameIsQuotedShortInEveryText)
{
    MakeModule();
    Put("tile/empty.vard", "");
    const auto archive = Pack();
    std::filesystem::create_directories(m_Folder / "module" / "tile" / "folder.vard");
    CDataFileFactoryPath folder(m_Folder / "module");
    CDataFileFactoryPacked packed(archive);
    const std::string root = (m_Folder / "module").string();
    const std::string name(60 * 1024, 'W');
    const std::string shown = "\"map/" + std::string(36, 'W') + "...\"";
    const struct
    {
        std::string what;
        std::function<void()> open;
        std::string detail;
    } rows[] = {
        {"a folder's missing file",
         [&]
         {
             CTagFileReader reader(folder, kDataKindMap, 0, name);
             reader.ReadStartTag("area");
         },
         "module file " + shown + " in " + root + " is missing"},
        {"a folder's missing file whole", [&] { folder.ReadAll(kDataKindMap, 0, name); },
         "cannot open module file " + shown + " in " + root},
        {"a folder's empty file", [&] { folder.ReadAll(kDataKindTile, 0, "empty.vard"); },
         "module file \"tile/empty.vard\" in " + root + " is empty"},
        {"a folder's folder", [&] { folder.ReadAll(kDataKindTile, 0, "folder.vard"); },
         "module file \"tile/folder.vard\" in " + root + " is not a regular file"},
        {"an archive's missing file", [&] { packed.OpenStream(kDataKindMap, 0, name); },
         "module file " + shown + " is not in " + archive.string()},
        {"an archive's missing file whole", [&] { packed.ReadAll(kDataKindMap, 0, name); },
         "module file " + shown + " is not in " + archive.string()},
        {"an archive's empty file", [&] { packed.ReadAll(kDataKindTile, 0, "empty.vard"); },
         "module file \"tile/empty.vard\" in " + archive.string() + " is empty"},
    };
    for (const auto& row : rows)
    {
        const std::string detail = DetailOf(row.open);
        EXPECT_EQ(detail, row.detail) << row.what;
        EXPECT_LT(detail.size(), 160 + archive.string().size()) << row.what;
    }
}

TEST_F(DataFileTest, PackedFilesReadBackByteIdenticalFromBothFactories)
{
    MakeModule();
    const auto archive = Pack();
    CDataFileFactoryPath folder(m_Folder / "module");
    CDataFileFactoryPacked packed(archive);
    ASSERT_EQ(packed.GetEntries().size(), 5u);
    // Root files first, then kinds in id order.
    EXPECT_EQ(packed.GetEntries()[0].name, "magic.vard");
    EXPECT_EQ(packed.GetEntries()[1].name, "world.vard");
    EXPECT_EQ(packed.GetEntries()[2].name, "door.vard");
    EXPECT_EQ(packed.GetEntries()[3].name, "x");
    EXPECT_EQ(packed.GetEntries()[3].subKind, 3u);
    EXPECT_EQ(packed.GetEntries()[4].kind, 8u);
    for (const auto& entry : packed.GetEntries())
    {
        EXPECT_EQ(*packed.ReadAll(entry.kind, entry.subKind, entry.name),
                  *folder.ReadAll(entry.kind, entry.subKind, entry.name))
            << entry.name;
        auto stream = packed.OpenStream(entry.kind, entry.subKind, entry.name);
        const std::string text((std::istreambuf_iterator<char>(*stream)),
                               std::istreambuf_iterator<char>());
        EXPECT_EQ(text, Text(*folder.ReadAll(entry.kind, entry.subKind, entry.name)));
    }
    // Names are compared exactly.
    EXPECT_EQ(CodeOf([&] { packed.ReadAll(0, 0, "World.vard"); }), 1);
    EXPECT_EQ(CodeOf([&] { packed.OpenStream(0, 0, "world.vard "); }), 1);
    EXPECT_EQ(CodeOf([&] { packed.ReadAll(7, 0, "x"); }), 1);
}

TEST_F(DataFileTest, PackedStreamStopsAtItsOwnEntry)
{
    MakeModule();
    CDataFileFactoryPacked packed(Pack());
    // magic.vard is followed by world.vard in the archive; its reader must not run into it.
    CTagFileReader reader(packed, 0, 0, "magic.vard");
    reader.ReadStartTag("magic");
    reader.ReadEndTag();
    EXPECT_TRUE(reader.IsAtEnd());
}

TEST_F(DataFileTest, FirstOfTwoEqualEntriesWins)
{
    const auto archive = m_Folder / "dup.vard";
    WritePackedArchive(archive, {{0, 0, "a", {'1'}}, {0, 0, "a", {'2'}}});
    CDataFileFactoryPacked packed(archive);
    EXPECT_EQ(Text(*packed.ReadAll(0, 0, "a")), "1");
}

TEST_F(DataFileTest, LongNamesCannotBePackedOrFound)
{
    const std::string longName(64, 'n');
    EXPECT_EQ(CodeOf(
                  [&] {
                      WritePackedArchive(m_Folder / "x.vard", {{0, 0, longName, {'1'}}});
                  }),
              1);
    const std::string longest(63, 'n');
    WritePackedArchive(m_Folder / "y.vard", {{0, 0, longest, {'1'}}});
    CDataFileFactoryPacked packed(m_Folder / "y.vard");
    EXPECT_EQ(Text(*packed.ReadAll(0, 0, longest)), "1");
    EXPECT_EQ(CodeOf([&] { packed.ReadAll(0, 0, longName); }), 1);
}

TEST_F(DataFileTest, NameByte63IsTreatedAsTheEnd)
{
    // A name field of 64 letters with no NUL: the name ends before byte 63.
    const auto path = m_Folder / "full_name.vard";
    std::vector<std::uint8_t> bytes = {1, 0, 0, 0, 0, 0, 0, 0};
    const std::string field(64, 'n');
    bytes.insert(bytes.end(), field.begin(), field.end());
    const std::vector<std::uint8_t> tail = {80, 0, 0, 0, 1, 0, 0, 0, 'x'};
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    WriteBytes(path, bytes);
    CDataFileFactoryPacked packed(path);
    ASSERT_EQ(packed.GetEntries().size(), 1u);
    EXPECT_EQ(packed.GetEntries()[0].name, std::string(63, 'n'));
    EXPECT_EQ(Text(*packed.ReadAll(0, 0, std::string(63, 'n'))), "x");
    EXPECT_EQ(CodeOf([&] { packed.ReadAll(0, 0, field); }), 1);
}

TEST_F(DataFileTest, DamagedArchivesAreCode1)
{
    const auto path = m_Folder / "bad.vard";
    // No directory at all.
    WriteBytes(path, {1, 0});
    EXPECT_EQ(CodeOf([&] { CDataFileFactoryPacked packed(path); }), 1);
    // A huge count must not be trusted to size anything.
    WriteBytes(path, ArchiveBytes(0xFFFFFFFFu, 80, 3, "abc"));
    EXPECT_EQ(CodeOf([&] { CDataFileFactoryPacked packed(path); }), 1);
    // A directory cut short.
    auto bytes = ArchiveBytes(1, 80, 3, "abc");
    bytes.resize(50);
    WriteBytes(path, bytes);
    EXPECT_EQ(CodeOf([&] { CDataFileFactoryPacked packed(path); }), 1);
    // Missing archive.
    EXPECT_EQ(CodeOf([&] { CDataFileFactoryPacked packed(m_Folder / "none.vard"); }), 1);
    // An empty archive is an empty directory.
    WriteBytes(path, {0, 0, 0, 0});
    CDataFileFactoryPacked empty(path);
    EXPECT_EQ(CodeOf([&] { empty.ReadAll(0, 0, "world.vard"); }), 1);
}

TEST_F(DataFileTest, EmptyFileIsCode1FromBothFactories)
{
    Put("empty.vard", "");
    const auto archive = Pack();
    CDataFileFactoryPath folder(m_Folder / "module");
    CDataFileFactoryPacked packed(archive);
    ASSERT_EQ(packed.GetEntries().size(), 1u);
    EXPECT_EQ(CodeOf([&] { folder.ReadAll(0, 0, "empty.vard"); }), 1);
    EXPECT_EQ(CodeOf([&] { packed.ReadAll(0, 0, "empty.vard"); }), 1);
    // As a stream it is simply at its end.
    CTagFileReader reader(packed, 0, 0, "empty.vard");
    EXPECT_TRUE(reader.IsAtEnd());
}

TEST_F(DataFileTest, EntryBeyondTheEndFailsReadAllButStillOpens)
{
    const auto path = m_Folder / "short.vard";
    // Offset 80 + size 4 ends one byte beyond the 83-byte archive.
    WriteBytes(path, ArchiveBytes(1, 80, 4, "<a>"));
    CDataFileFactoryPacked packed(path);
    EXPECT_EQ(CodeOf([&] { packed.ReadAll(0, 0, "world.vard"); }), 1);
    CTagFileReader reader(packed, 0, 0, "world.vard");
    EXPECT_TRUE(reader.IsStartTag("a"));
    // What is cut off is the archive's damage, and the reader says so.
    const std::string damaged =
        "archive " + path.string() + " is damaged: module file \"world.vard\" runs past its end";
    reader.ReadStartTag("a");
    EXPECT_EQ(DetailOf([&] { reader.ReadEndTag(); }),
              damaged + ": world.vard, line 1: expected </a>, found the end of the file");
    EXPECT_EQ(DetailOf([&] { packed.ReadAll(0, 0, "world.vard"); }), damaged);
    // An offset far past the end (offset + size overflowing 32 bits) is no crash either.
    WriteBytes(path, ArchiveBytes(1, 0xFFFFFFF0u, 0x20, "<a>"));
    CDataFileFactoryPacked far(path);
    EXPECT_EQ(CodeOf([&] { far.ReadAll(0, 0, "world.vard"); }), 1);
    CTagFileReader nothing(far, 0, 0, "world.vard");
    EXPECT_EQ(DetailOf([&] { nothing.ReadStartTag("a"); }), damaged);
}

TEST_F(DataFileTest, PackerRejectsUnknownFoldersAndListsArchives)
{
    MakeModule();
    const auto archive = Pack();
    const auto listing = m_Folder / "list.txt";
    const std::string list = std::string(VARD_BIN_DIR) + "/vardpack --list " + archive.string() +
                             " > " + listing.string();
    ASSERT_EQ(std::system(list.c_str()), 0);
    std::ifstream in(listing);
    std::string first;
    std::getline(in, first);
    // 4 + 5 × 76 = 384: the first body starts right after the directory.
    EXPECT_EQ(first, "0 0 magic.vard 384 17");

    Put("stray/file.txt", "x");
    const std::string pack = std::string(VARD_BIN_DIR) + "/vardpack " +
                             (m_Folder / "module").string() + " " + archive.string() +
                             " 2>/dev/null";
    EXPECT_NE(std::system(pack.c_str()), 0);
    const std::string bad = std::string(VARD_BIN_DIR) + "/vardpack --list " +
                            (m_Folder / "module" / "world.vard").string() + " 2>/dev/null";
    EXPECT_NE(std::system(bad.c_str()), 0);
}
