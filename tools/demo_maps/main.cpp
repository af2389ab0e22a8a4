// Writes the demo world map's pictures into MODULE/map/.

#include "demo_map_pictures.h"

#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: demo_maps MODULE_FOLDER\n";
        return 2;
    }
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
