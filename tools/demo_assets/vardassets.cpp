// Writes the demo module's meshes, textures, figures and sounds into a module
// folder, or with --check tells whether a folder holds exactly them.
#include "demo_assets.h"
#include "generated_files.h"

int main(int argc, char** argv)
{
    const auto parsed = GeneratedFiles::ParseCommand(
        argc, argv, "vardassets",
        "Writes the demo module's meshes, textures, figures and sounds into the module\n"
        "folder FOLDER.\n");
    if (const int* answered = std::get_if<int>(&parsed))
        return *answered;
    const GeneratedFiles::Command& command = std::get<GeneratedFiles::Command>(parsed);
    const std::vector<DemoAssets::GeneratedFile> made = DemoAssets::GenerateDemoAssets();
    std::vector<GeneratedFiles::FileView> files;
    for (const DemoAssets::GeneratedFile& file : made)
        files.push_back({file.path, &file.bytes});
    const std::optional<int> differences = GeneratedFiles::WriteOrCheck(command, files);
    return differences == 0 ? 0 : 1;
}
