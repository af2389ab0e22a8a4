// Writes the demo world map's pictures into MODULE/map/.

#include "demo_map_pictures.h"

#include "common/program_usage.h"

#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>

namespace
{

const VARDCommon::ProgramUsage kUsage{
    "demo_maps",
    "usage: demo_maps MODULE_FOLDER\n"
    "\n"
    "Writes the demo world map's pictures (ground tiles and place images) into\n"
    "MODULE_FOLDER/map/.\n",
    {},
    {}};

} // namespace

int main(int argc, char** argv)
{
    if (const std::optional<int> answered = VARDCommon::AnswerUsageOptions(argc, argv, kUsage))
        return *answered;
    if (argc != 2)
        return VARDCommon::RefuseCommandLine(kUsage, "one module folder is needed");
    try
    {
        const std::filesystem::path folder = std::filesystem::path(argv[1]) / "map";
        std::filesystem::create_directories(folder);
        for (const auto& picture : DemoMaps::GenerateDemoMapPictures())
        {
            std::ofstream out(folder / picture.name, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(picture.bytes.data()),
                      static_cast<std::streamsize>(picture.bytes.size()));
            if (!out)
            {
                std::cerr << "demo_maps: cannot write " << (folder / picture.name) << "\n";
                return 1;
            }
        }
    }
    catch (const std::exception& e)
    {
        std::cerr << "demo_maps: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
