// Packs a module folder tree into one archive, or lists an archive.
//   vardpack FOLDER ARCHIVE
//   vardpack --list ARCHIVE

#include "common/data_file.h"
#include "common/exception.h"
#include "common/program_usage.h"

#include <iostream>
#include <optional>
#include <string>

namespace
{

const VARDCommon::ProgramUsage kUsage{
    "vardpack",
    "usage: vardpack FOLDER ARCHIVE\n"
    "       vardpack --list ARCHIVE\n"
    "\n"
    "Packs a module folder tree into one archive, or lists an archive's entries:\n"
    "kind, sub-kind, name, offset and size, one entry a line.\n",
    {},
    {"--list"}};

int List(const std::string& archive)
{
    VARDCommon::CDataFileFactoryPacked packed(archive);
    for (const auto& entry : packed.GetEntries())
        std::cout << entry.kind << ' ' << entry.subKind << ' ' << entry.name << ' ' << entry.offset
                  << ' ' << entry.size << '\n';
    return 0;
}

int Pack(const std::string& folder, const std::string& archive)
{
    const auto files = VARDCommon::CollectModuleFolder(folder);
    VARDCommon::WritePackedArchive(archive, files);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (const std::optional<int> answered = VARDCommon::AnswerUsageOptions(argc, argv, kUsage))
        return *answered;
    if (argc != 3)
        return VARDCommon::RefuseCommandLine(kUsage, "two arguments are needed");
    const std::string first = argv[1];
    const std::string second = argv[2];
    try
    {
        if (first == "--list")
            return List(second);
        // Only --list can stand here, out of its place.
        if (second.starts_with('-'))
            return VARDCommon::RefuseCommandLine(kUsage, second + " comes first");
        return Pack(first, second);
    }
    catch (const CVARDException& e)
    {
        std::cerr << "vardpack: " << e.Describe() << '\n';
        return 1;
    }
    catch (const std::exception& e)
    {
        std::cerr << "vardpack: " << e.what() << '\n';
        return 1;
    }
}
