#include "platform/gfx_error.h"
#include "platform/image.h"

#include <climits>

// The encoder is a single header too; it writes to memory only.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace gfx
{

namespace
{

void Append(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

} // namespace

std::vector<std::uint8_t> EncodePng(const Image& image)
{
    if (image.width == 0 || image.height == 0 || image.width > kMaxImageSide ||
        image.height > kMaxImageSide)
        throw Error("png: no image or one beyond the size limits");
    if (image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 4)
        throw Error("png: pixels do not match the image size");
    std::vector<std::uint8_t> out;
    const int stride = static_cast<int>(image.width * 4);
    if (!stbi_write_png_to_func(Append, &out, static_cast<int>(image.width),
                                static_cast<int>(image.height), 4, image.pixels.data(), stride))
        throw Error("png: encoding failed");
    return out;
}

} // namespace gfx
