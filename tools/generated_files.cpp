#include "generated_files.h"

#include "common/program_usage.h"

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

std::variant<Command, int> ParseCommand(int argc, char** argv, const std::string& tool,
                                        const std::string& made)
{
    const VARDCommon::ProgramUsage usage{
        tool,
        "usage: " + tool + " FOLDER\n       " + tool + " --check FOLDER\n\n" + made +
            "With --check it writes nothing and names on standard error each file that\n"
            "FOLDER does not hold byte for byte, ending with 1 if there is one.\n",
        {},
        {"--check"}};
    if (const std::optional<int> answered = VARDCommon::AnswerUsageOptions(argc, argv, usage))
        return *answered;
    const bool check = argc == 3 && std::string(argv[1]) == "--check";
    if (argc != 2 && !check)
        return VARDCommon::RefuseCommandLine(usage, "one folder is needed, after --check or alone");
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
