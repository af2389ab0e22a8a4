#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <istream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace VARDCommon
{

// Kinds and sub-kinds of module files; the ids are stored in packed archives.
enum : std::uint32_t
{
    kDataKindRoot = 0,
    kDataKindActor = 1,
    kDataKindEffect = 2,
    kDataKindItem = 3,
    kDataKindMap = 4,
    kDataKindObject = 5,
    kDataKindSky = 6,
    kDataKindTile = 7,
    kDataKindAudio = 8,
    kDataKindCount = 9,
};

enum : std::uint32_t
{
    kDataSubKindNone = 0,
    kDataSubKindFig = 1,
    kDataSubKindMod = 2,
    kDataSubKindTex = 3,
    kDataSubKindCount = 4,
};

// Folder names of the kinds and sub-kinds; code 2 for an id out of range.
const std::string& DataFileKindName(std::uint32_t kind);
const std::string& DataFileSubKindName(std::uint32_t subKind);

// The stream of a module file that cannot be read whole: empty for a missing
// file, what there is of an archive entry cut short by the archive's end. It
// opens as any other, and a reader that meets its end gives the reason.
class CDataFileStream : public std::istringstream
{
public:
    CDataFileStream(std::string text, std::string endReason)
        : std::istringstream(std::move(text)), m_EndReason(std::move(endReason))
    {
    }
    const std::string& GetEndReason() const { return m_EndReason; }

private:
    std::string m_EndReason;
};

// Opens module files by kind, sub-kind and name, from a folder tree or a
// packed archive, so that no reader knows which.
class CDataFileFactory
{
public:
    virtual ~CDataFileFactory() = default;
    // A stream at the start of the file's text. A file that does not exist
    // gives a stream that is already at its end (a CDataFileStream saying
    // so); the reader reports it.
    virtual std::shared_ptr<std::istream> OpenStream(std::uint32_t kind, std::uint32_t subKind,
                                                     const std::string& name) = 0;
    // The whole file; code 1 when it is missing, empty or short.
    virtual std::shared_ptr<std::vector<std::uint8_t>>
    ReadAll(std::uint32_t kind, std::uint32_t subKind, const std::string& name) = 0;
    // For error texts: where the module lives.
    virtual std::string Describe() const = 0;
};

class CDataFileFactoryPath : public CDataFileFactory
{
public:
    // Code 1 when something other than a folder stands at root.
    explicit CDataFileFactoryPath(std::filesystem::path root);

    std::shared_ptr<std::istream> OpenStream(std::uint32_t kind, std::uint32_t subKind,
                                             const std::string& name) override;
    std::shared_ptr<std::vector<std::uint8_t>> ReadAll(std::uint32_t kind, std::uint32_t subKind,
                                                       const std::string& name) override;
    std::string Describe() const override;

    std::filesystem::path FilePath(std::uint32_t kind, std::uint32_t subKind,
                                   const std::string& name) const;

private:
    std::filesystem::path m_Root;
};

class CDataFileFactoryPacked : public CDataFileFactory
{
public:
    struct Entry
    {
        std::uint32_t kind = 0;
        std::uint32_t subKind = 0;
        std::string name;
        std::uint32_t offset = 0;
        std::uint32_t size = 0;
    };

    // Reads the archive's directory; code 1 on any failure.
    explicit CDataFileFactoryPacked(std::filesystem::path archive);

    const Entry& FindEntry(std::uint32_t kind, std::uint32_t subKind,
                           const std::string& name) const;
    std::shared_ptr<std::istream> OpenStream(std::uint32_t kind, std::uint32_t subKind,
                                             const std::string& name) override;
    std::shared_ptr<std::vector<std::uint8_t>> ReadAll(std::uint32_t kind, std::uint32_t subKind,
                                                       const std::string& name) override;
    std::string Describe() const override;

    const std::vector<Entry>& GetEntries() const { return m_Entries; }

private:
    // Opens the archive for reading and tells its size; code 1 when it cannot.
    std::ifstream OpenArchive(std::uintmax_t& archiveSize) const;

    std::filesystem::path m_Archive;
    std::vector<Entry> m_Entries;
};

// Archive layout: entry count, then 76 bytes an entry, then the bodies.
constexpr std::size_t kArchiveEntrySize = 76;
constexpr std::size_t kArchiveNameSize = 64;

// The folder of a kind and sub-kind below root.
std::filesystem::path BuildDataFilePath(std::uint32_t kind, const std::filesystem::path& root,
                                        std::uint32_t subKind);
// The id of a kind folder name; code 2 for any other name.
std::uint32_t DataFileKindByName(const std::string& name);
// "kind\name" sets kind and leaves name; a path without "\" keeps the default kind.
void ParseDataFilePath(std::uint32_t& kind, std::uint32_t defaultKind, std::string& path);

// Writes a packed archive holding the given files (kind, sub-kind, name,
// bytes), bodies in the given order after the directory. Code 1 on failure.
struct PackedFile
{
    std::uint32_t kind = 0;
    std::uint32_t subKind = 0;
    std::string name;
    std::vector<std::uint8_t> bytes;
};
void WritePackedArchive(const std::filesystem::path& archive, const std::vector<PackedFile>& files);

// Collects the files of a module folder tree in the order an archive holds
// them: root files, then kind folders in id order, each with its sub-kind
// folders; names sorted within each folder. Code 1 for anything that cannot
// be packed (an unknown folder, a name too long).
std::vector<PackedFile> CollectModuleFolder(const std::filesystem::path& root);

} // namespace VARDCommon
