// Writes the demo module's meshes, textures, figures and sounds into a module
// folder, or with --check tells whether a folder holds exactly them.
#include "demo_assets.h"
#include "generated_files.h"

int main(int argc, char** argv)
{
    const auto command = GeneratedFiles::ParseCommand(argc, argv, "vardassets");
    if (!command)
        return 2;
    const std::vector<DemoAssets::GeneratedFile> made = DemoAssets::GenerateDemoAssets();
    std::vector<GeneratedFiles::FileView> files;
    for (const DemoAssets::GeneratedFile& file : made)
        files.push_back({file.path, &file.bytes});
    const std::optional<int> differences = GeneratedFiles::WriteOrCheck(*command, files);
    return differences == 0 ? 0 : 1;
}
