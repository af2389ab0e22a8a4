// Writes the demo module's meshes, textures, figures and sounds into a module
// folder, or with --check tells whether a folder holds exactly them.
#include "demo_assets.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace
{

int Usage()
{
    std::fprintf(stderr, "usage: vardassets FOLDER\n       vardassets --check FOLDER\n");
    return 2;
}

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>());
}

} // namespace

int main(int argc, char** argv)
{
    const bool check = argc == 3 && std::string(argv[1]) == "--check";
    if (argc != 2 && !check)
        return Usage();
    const std::filesystem::path root = argv[argc - 1];
    int differences = 0;
    for (const DemoAssets::GeneratedFile& file : DemoAssets::GenerateDemoAssets())
    {
        const std::filesystem::path path = root / file.path;
        if (check)
        {
            if (ReadFile(path) != file.bytes)
            {
                std::fprintf(stderr, "differs: %s\n", file.path.c_str());
                ++differences;
            }
            continue;
        }
        std::filesystem::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.bytes.data()),
                  static_cast<std::streamsize>(file.bytes.size()));
        if (!out)
        {
            std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
            return 1;
        }
    }
    return differences == 0 ? 0 : 1;
}
