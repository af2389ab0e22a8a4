#include "generated_files.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace GeneratedFiles
{

namespace
{

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>());
}

} // namespace

std::optional<Command> ParseCommand(int argc, char** argv, const char* tool)
{
    const bool check = argc == 3 && std::string(argv[1]) == "--check";
    if (argc != 2 && !check)
    {
        std::fprintf(stderr, "usage: %s FOLDER\n       %s --check FOLDER\n", tool, tool);
        return std::nullopt;
    }
    return Command{check, argv[argc - 1]};
}

std::optional<int> WriteOrCheck(const Command& command, const std::vector<FileView>& files)
{
    int differences = 0;
    for (const FileView& file : files)
    {
        const std::filesystem::path path = command.root / file.path;
        if (command.check)
        {
            if (ReadFile(path) != *file.bytes)
            {
                std::fprintf(stderr, "differs: %s\n", file.path.c_str());
                ++differences;
            }
            continue;
        }
        std::filesystem::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.bytes->data()),
                  static_cast<std::streamsize>(file.bytes->size()));
        if (!out)
        {
            std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
            return std::nullopt;
        }
    }
    return differences;
}

} // namespace GeneratedFiles
