// Writes the built-in images as <id>.png into a folder, or with --check
// tells whether a folder holds exactly them.
#include "builtin_images.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace
{

int Usage()
{
    std::fprintf(stderr, "usage: vardimages FOLDER\n       vardimages --check FOLDER\n");
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
    std::set<std::string> made;
    for (const BuiltInImages::GeneratedFile& file : BuiltInImages::GenerateBuiltInImages())
    {
        made.insert(file.name);
        const std::filesystem::path path = root / file.name;
        if (check)
        {
            if (ReadFile(path) != file.bytes)
            {
                std::fprintf(stderr, "differs: %s\n", file.name.c_str());
                ++differences;
            }
            continue;
        }
        std::filesystem::create_directories(root);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.bytes.data()),
                  static_cast<std::streamsize>(file.bytes.size()));
        if (!out)
        {
            std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
            return 1;
        }
    }
    // A stale image would still be embedded.
    if (std::filesystem::is_directory(root))
        for (const auto& entry : std::filesystem::directory_iterator(root))
            if (entry.path().extension() == ".png" && !made.count(entry.path().filename()))
            {
                std::fprintf(stderr, "not made: %s\n", entry.path().filename().c_str());
                ++differences;
            }
    return differences == 0 ? 0 : 1;
}
