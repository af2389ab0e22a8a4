// Packs a module folder tree into one archive, or lists an archive.
//   vardpack FOLDER ARCHIVE
//   vardpack --list ARCHIVE

#include "common/data_file.h"
#include "common/exception.h"

#include <iostream>
#include <string>

namespace
{

int Usage()
{
    std::cerr << "usage: vardpack FOLDER ARCHIVE\n"
                 "       vardpack --list ARCHIVE\n";
    return 2;
}

int List(const std::string& archive)
{
    VARDCommon::CDataFileFactoryPacked packed(archive);
    for (const auto& entry : packed.GetEntries())
        std::cout << entry.kind << ' ' << entry.subKind << ' ' << entry.name << ' '
                  << entry.offset << ' ' << entry.size << '\n';
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
    if (argc != 3)
        return Usage();
    const std::string first = argv[1];
    try
    {
        if (first == "--list")
            return List(argv[2]);
        if (!first.empty() && first[0] == '-')
            return Usage();
        return Pack(first, argv[2]);
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
