// Writes the built-in images as <id>.png into a folder, or with --check
// tells whether a folder holds exactly them.
#include "builtin_images.h"
#include "generated_files.h"

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

int main(int argc, char** argv)
{
    const auto parsed = GeneratedFiles::ParseCommand(
        argc, argv, "vardimages",
        "Writes the images built into the program into FOLDER as ID.png.\n");
    if (const int* answered = std::get_if<int>(&parsed))
        return *answered;
    const GeneratedFiles::Command& command = std::get<GeneratedFiles::Command>(parsed);
    const std::vector<BuiltInImages::GeneratedFile> made = BuiltInImages::GenerateBuiltInImages();
    std::vector<GeneratedFiles::FileView> files;
    std::set<std::string> names;
    for (const BuiltInImages::GeneratedFile& file : made)
    {
        files.push_back({file.name, &file.bytes});
        names.insert(file.name);
    }
    std::optional<int> differences = GeneratedFiles::WriteOrCheck(command, files);
    if (!differences)
        return 1;
    // A stale image would still be embedded.
    const std::filesystem::path& root = command.root;
    if (std::filesystem::is_directory(root))
        for (const auto& entry : std::filesystem::directory_iterator(root))
            if (entry.path().extension() == ".png" && !names.count(entry.path().filename()))
            {
                std::fprintf(stderr, "not made: %s\n", entry.path().filename().c_str());
                ++*differences;
            }
    return *differences == 0 ? 0 : 1;
}
