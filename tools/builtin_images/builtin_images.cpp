#include "builtin_images.h"

namespace BuiltInImages
{

std::vector<GeneratedFile> GenerateBuiltInImages()
{
    ImageSet images;
    DrawItemIcons(images);
    DrawMagicIcons(images);
    DrawMarksAndControls(images);
    DrawPortraits(images);
    DrawFramesAndPictures(images);
    std::vector<GeneratedFile> files;
    for (const auto& [id, image] : images)
        files.push_back({id, std::to_string(id) + ".png", gfx::EncodePng(image)});
    return files;
}

} // namespace BuiltInImages
