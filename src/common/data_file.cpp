#include "common/data_file.h"

#include "common/exception.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>
#include <system_error>

namespace VARDCommon
{

namespace
{

const std::array<std::string, kDataKindCount> kKindNames = {
    "", "actor", "effect", "item", "map", "object", "sky", "tile", "audio"};
const std::array<std::string, kDataSubKindCount> kSubKindNames = {"", "fig", "mod", "tex"};

std::uint32_t ReadLittle32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

std::uint32_t ReadLittle16(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8);
}

void PutLittle(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Data references separate folders with "\"; the disk uses "/".
std::string ToDiskName(std::string name)
{
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

// A module file as error texts name it: its place in the module, quoted. A
// script may name a file of any length; the module's own place is the
// player's choice and follows unquoted.
std::string QuotedEntry(std::uint32_t kind, std::uint32_t subKind, const std::string& name)
{
    std::string text;
    if (kind < kDataKindCount && !kKindNames[kind].empty())
        text += kKindNames[kind] + "/";
    if (subKind < kDataSubKindCount && !kSubKindNames[subKind].empty())
        text += kSubKindNames[subKind] + "/";
    return QuoteForMessage(text + ToDiskName(name));
}

// The module file in the folder or the archive at place.
std::string DescribeFile(const std::filesystem::path& place, std::uint32_t kind,
                         std::uint32_t subKind, const std::string& name)
{
    return "module file " + QuotedEntry(kind, subKind, name) + " in " + place.string();
}

// Module files must be regular files: a folder fails on its first read, a
// named pipe blocks the open for ever, a device may never end. Checked before
// the open, which is what would block. A missing file is left to the caller.
void RequireRegularOrMissing(const std::filesystem::path& path, const std::string& described)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        throw CVARDException(1, described + " is not a regular file");
}

} // namespace

const std::string& DataFileKindName(std::uint32_t kind)
{
    if (kind >= kDataKindCount)
        throw CVARDException(2, "no data file kind " + std::to_string(kind));
    return kKindNames[kind];
}

const std::string& DataFileSubKindName(std::uint32_t subKind)
{
    if (subKind >= kDataSubKindCount)
        throw CVARDException(2, "no data file sub-kind " + std::to_string(subKind));
    return kSubKindNames[subKind];
}

std::filesystem::path BuildDataFilePath(std::uint32_t kind, const std::filesystem::path& root,
                                        std::uint32_t subKind)
{
    if (kind == kDataKindRoot)
        return root;
    std::filesystem::path path = root / DataFileKindName(kind);
    if (subKind != kDataSubKindNone)
        path /= DataFileSubKindName(subKind);
    return path;
}

std::uint32_t DataFileKindByName(const std::string& name)
{
    for (std::uint32_t kind = 0; kind < kDataKindCount; ++kind)
        if (kKindNames[kind] == name)
            return kind;
    throw CVARDException(2, VARDCommon::QuoteForMessage(name) + " is not a data file kind");
}

void ParseDataFilePath(std::uint32_t& kind, std::uint32_t defaultKind, std::string& path)
{
    const std::size_t slash = path.find('\\');
    if (slash == std::string::npos)
    {
        kind = defaultKind;
        return;
    }
    kind = DataFileKindByName(path.substr(0, slash));
    path = path.substr(slash + 1);
}

// ---------------------------------------------------------------- folder tree

CDataFileFactoryPath::CDataFileFactoryPath(std::filesystem::path root) : m_Root(std::move(root))
{
    // A missing folder shows as missing files; anything else in its place
    // (a pipe, a device) is no module at all.
    std::error_code error;
    const auto status = std::filesystem::status(m_Root, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_directory(status))
        throw CVARDException(1, "module " + m_Root.string() +
                                    " is neither a folder nor an archive file");
}

std::filesystem::path CDataFileFactoryPath::FilePath(std::uint32_t kind, std::uint32_t subKind,
                                                     const std::string& name) const
{
    return BuildDataFilePath(kind, m_Root, subKind) / ToDiskName(name);
}

std::shared_ptr<std::istream>
CDataFileFactoryPath::OpenStream(std::uint32_t kind, std::uint32_t subKind, const std::string& name)
{
    const std::filesystem::path path = FilePath(kind, subKind, name);
    const std::string file = DescribeFile(m_Root, kind, subKind, name);
    RequireRegularOrMissing(path, file);
    auto stream = std::make_shared<std::ifstream>(path, std::ios::in | std::ios::binary);
    if (*stream)
        return stream;
    std::error_code error;
    if (std::filesystem::exists(path, error))
        throw CVARDException(1, "cannot open " + file);
    return std::make_shared<CDataFileStream>(std::string(), file + " is missing");
}

std::shared_ptr<std::vector<std::uint8_t>>
CDataFileFactoryPath::ReadAll(std::uint32_t kind, std::uint32_t subKind, const std::string& name)
{
    const std::filesystem::path path = FilePath(kind, subKind, name);
    const std::string file = DescribeFile(m_Root, kind, subKind, name);
    RequireRegularOrMissing(path, file);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        throw CVARDException(1, "cannot open " + file);
    std::ifstream in(path, std::ios::in | std::ios::binary);
    if (!in)
        throw CVARDException(1, "cannot open " + file);
    const auto size = std::filesystem::file_size(path, error);
    if (error || size == 0)
        throw CVARDException(1, file + " is empty");
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(size);
    in.read(reinterpret_cast<char*>(bytes->data()), static_cast<std::streamsize>(size));
    if (static_cast<std::uintmax_t>(in.gcount()) != size)
        throw CVARDException(1, "short read of " + file);
    return bytes;
}

std::string CDataFileFactoryPath::Describe() const
{
    return m_Root.string();
}

// ---------------------------------------------------------------- packed archive

CDataFileFactoryPacked::CDataFileFactoryPacked(std::filesystem::path archive)
    : m_Archive(std::move(archive))
{
    RequireRegularOrMissing(m_Archive, "archive " + m_Archive.string());
    std::error_code error;
    if (!std::filesystem::is_regular_file(m_Archive, error))
        throw CVARDException(1, "cannot open archive " + m_Archive.string());
    std::ifstream in(m_Archive, std::ios::in | std::ios::binary);
    if (!in)
        throw CVARDException(1, "cannot open archive " + m_Archive.string());
    const std::uintmax_t archiveSize = std::filesystem::file_size(m_Archive, error);
    if (error)
        throw CVARDException(1, "cannot read archive " + m_Archive.string());

    std::uint8_t countBytes[4];
    if (!in.read(reinterpret_cast<char*>(countBytes), 4))
        throw CVARDException(1, "archive " + m_Archive.string() + " has no directory");
    const std::uint32_t count = ReadLittle32(countBytes);
    // The directory must fit in the file before anything is sized by it.
    const std::uintmax_t directoryEnd = 4 + std::uintmax_t(count) * kArchiveEntrySize;
    if (directoryEnd > archiveSize)
        throw CVARDException(1, "archive " + m_Archive.string() + " is damaged: its directory of " +
                                    std::to_string(count) + " entries does not fit");

    m_Entries.resize(count);
    std::array<std::uint8_t, kArchiveEntrySize> record{};
    for (Entry& entry : m_Entries)
    {
        if (!in.read(reinterpret_cast<char*>(record.data()), record.size()))
            throw CVARDException(1, "archive " + m_Archive.string() + " is truncated");
        entry.kind = ReadLittle16(&record[0]);
        entry.subKind = ReadLittle16(&record[2]);
        record[4 + kArchiveNameSize - 1] = 0;
        const char* name = reinterpret_cast<const char*>(&record[4]);
        entry.name.assign(name, std::find(name, name + kArchiveNameSize, '\0'));
        entry.offset = ReadLittle32(&record[68]);
        entry.size = ReadLittle32(&record[72]);
    }
}

const CDataFileFactoryPacked::Entry&
CDataFileFactoryPacked::FindEntry(std::uint32_t kind, std::uint32_t subKind,
                                  const std::string& name) const
{
    for (const Entry& entry : m_Entries)
        if (entry.kind == kind && entry.subKind == subKind && entry.name == name)
            return entry;
    throw CVARDException(1, "module file " + QuotedEntry(kind, subKind, name) + " is not in " +
                                m_Archive.string());
}

std::ifstream CDataFileFactoryPacked::OpenArchive(std::uintmax_t& archiveSize) const
{
    RequireRegularOrMissing(m_Archive, "archive " + m_Archive.string());
    std::ifstream in(m_Archive, std::ios::in | std::ios::binary);
    std::error_code error;
    archiveSize = std::filesystem::file_size(m_Archive, error);
    if (!in || error)
        throw CVARDException(1, "cannot open archive " + m_Archive.string());
    return in;
}

std::shared_ptr<std::istream> CDataFileFactoryPacked::OpenStream(std::uint32_t kind,
                                                                 std::uint32_t subKind,
                                                                 const std::string& name)
{
    const Entry& entry = FindEntry(kind, subKind, name);
    // The stream holds the entry's own bytes only, so a reader that runs past
    // the file's end stops there instead of reading into the next file.
    std::uintmax_t archiveSize = 0;
    std::ifstream in = OpenArchive(archiveSize);
    std::string text;
    if (entry.offset < archiveSize)
    {
        const std::uintmax_t available = archiveSize - entry.offset;
        const std::uintmax_t length = std::min<std::uintmax_t>(entry.size, available);
        text.resize(static_cast<std::size_t>(length));
        in.seekg(entry.offset);
        in.read(text.data(), static_cast<std::streamsize>(length));
        text.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    }
    if (std::uintmax_t(entry.offset) + entry.size <= archiveSize)
        return std::make_shared<std::istringstream>(std::move(text));
    // What there is may still be a whole file; a reader that runs out says why.
    return std::make_shared<CDataFileStream>(
        std::move(text), "archive " + m_Archive.string() + " is damaged: module file " +
                             QuotedEntry(kind, subKind, name) + " runs past its end");
}

std::shared_ptr<std::vector<std::uint8_t>>
CDataFileFactoryPacked::ReadAll(std::uint32_t kind, std::uint32_t subKind, const std::string& name)
{
    const Entry& entry = FindEntry(kind, subKind, name);
    std::uintmax_t archiveSize = 0;
    std::ifstream in = OpenArchive(archiveSize);
    if (archiveSize == 0)
        throw CVARDException(1, "archive " + m_Archive.string() + " is empty");
    // As from a folder: a file of no bytes is no file a reader can use.
    if (entry.size == 0)
        throw CVARDException(1, DescribeFile(m_Archive, kind, subKind, name) + " is empty");
    if (std::uintmax_t(entry.offset) + entry.size > archiveSize)
        throw CVARDException(1, "archive " + m_Archive.string() + " is damaged: module file " +
                                    QuotedEntry(kind, subKind, name) + " runs past its end");
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(entry.size);
    in.seekg(entry.offset);
    in.read(reinterpret_cast<char*>(bytes->data()), entry.size);
    if (static_cast<std::uint64_t>(in.gcount()) != entry.size)
        throw CVARDException(1, "short read of " + DescribeFile(m_Archive, kind, subKind, name));
    return bytes;
}

std::string CDataFileFactoryPacked::Describe() const
{
    return m_Archive.string();
}

// ---------------------------------------------------------------- packing

void WritePackedArchive(const std::filesystem::path& archive, const std::vector<PackedFile>& files)
{
    std::vector<std::uint8_t> out;
    PutLittle(out, static_cast<std::uint32_t>(files.size()), 4);
    std::uint64_t offset = 4 + std::uint64_t(files.size()) * kArchiveEntrySize;
    for (const PackedFile& file : files)
    {
        if (file.name.empty() || file.name.size() >= kArchiveNameSize)
            throw CVARDException(1, VARDCommon::QuoteForMessage(file.name) +
                                        ": a packed name has 1 to " +
                                        std::to_string(kArchiveNameSize - 1) + " characters");
        if (file.kind >= kDataKindCount || file.subKind >= kDataSubKindCount)
            throw CVARDException(1, VARDCommon::QuoteForMessage(file.name) + " has no valid kind");
        if (offset + file.bytes.size() > 0xFFFFFFFFull)
            throw CVARDException(1, "the archive would be larger than 4 GiB");
        PutLittle(out, file.kind, 2);
        PutLittle(out, file.subKind, 2);
        std::array<std::uint8_t, kArchiveNameSize> name{};
        std::copy(file.name.begin(), file.name.end(), name.begin());
        out.insert(out.end(), name.begin(), name.end());
        PutLittle(out, static_cast<std::uint32_t>(offset), 4);
        PutLittle(out, static_cast<std::uint32_t>(file.bytes.size()), 4);
        offset += file.bytes.size();
    }
    for (const PackedFile& file : files)
        out.insert(out.end(), file.bytes.begin(), file.bytes.end());

    // Written beside the target and renamed, so a failure keeps the old archive.
    std::filesystem::path temporary = archive;
    temporary += ".tmp";
    {
        std::ofstream file(temporary, std::ios::out | std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(out.data()),
                   static_cast<std::streamsize>(out.size()));
        file.close();
        if (!file)
        {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            throw CVARDException(1, "cannot write " + archive.string());
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, archive, error);
    if (error)
    {
        std::filesystem::remove(temporary, error);
        throw CVARDException(1, "cannot write " + archive.string());
    }
}

namespace
{

std::vector<std::filesystem::path> SortedEntries(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> entries;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
    {
        const std::string name = entry.path().filename().string();
        if (!name.empty() && name[0] != '.')
            entries.push_back(entry.path());
    }
    if (error)
        throw CVARDException(1, "cannot read folder " + folder.string());
    std::sort(entries.begin(), entries.end());
    return entries;
}

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::in | std::ios::binary);
    if (!in)
        throw CVARDException(1, "cannot read " + path.string());
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    if (in.bad())
        throw CVARDException(1, "cannot read " + path.string());
    return bytes;
}

void CollectFiles(const std::filesystem::path& folder, std::uint32_t kind, std::uint32_t subKind,
                  bool subFoldersAllowed, std::vector<PackedFile>& files)
{
    std::vector<std::filesystem::path> folders;
    for (const auto& path : SortedEntries(folder))
    {
        if (std::filesystem::is_directory(path))
        {
            folders.push_back(path);
            continue;
        }
        PackedFile file{kind, subKind, path.filename().string(), ReadFileBytes(path)};
        if (file.name.size() >= kArchiveNameSize)
            throw CVARDException(1, path.string() + ": the name is longer than " +
                                        std::to_string(kArchiveNameSize - 1) + " characters");
        files.push_back(std::move(file));
    }
    for (const auto& path : folders)
    {
        const std::string name = path.filename().string();
        if (kind == kDataKindRoot)
        {
            std::uint32_t childKind = kDataKindCount;
            for (std::uint32_t k = 1; k < kDataKindCount; ++k)
                if (kKindNames[k] == name)
                    childKind = k;
            if (childKind == kDataKindCount)
                throw CVARDException(1, path.string() + ": " + VARDCommon::QuoteForMessage(name) +
                                            " is not a module folder");
            CollectFiles(path, childKind, kDataSubKindNone, true, files);
            continue;
        }
        std::uint32_t childSub = kDataSubKindCount;
        for (std::uint32_t s = 1; s < kDataSubKindCount; ++s)
            if (kSubKindNames[s] == name)
                childSub = s;
        if (!subFoldersAllowed || childSub == kDataSubKindCount)
            throw CVARDException(1, path.string() + ": " + VARDCommon::QuoteForMessage(name) +
                                        " is not a module folder");
        CollectFiles(path, kind, childSub, false, files);
    }
}

} // namespace

std::vector<PackedFile> CollectModuleFolder(const std::filesystem::path& root)
{
    std::error_code error;
    if (!std::filesystem::is_directory(root, error))
        throw CVARDException(1, root.string() + " is not a folder");
    std::vector<PackedFile> files;
    CollectFiles(root, kDataKindRoot, kDataSubKindNone, false, files);
    // Kind folders in id order, so an archive lists root files first.
    std::stable_sort(files.begin(), files.end(),
                     [](const PackedFile& a, const PackedFile& b)
                     { return a.kind != b.kind ? a.kind < b.kind : a.subKind < b.subKind; });
    return files;
}

} // namespace VARDCommon
