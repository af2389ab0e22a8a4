#include "platform/gfx_error.h"
#include "platform/image.h"

#include <cstddef>
#include <cstdint>

// Any bytes must decode or fail with the layer's own error.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try
    {
        gfx::LoadTextureImage(std::span<const std::uint8_t>(data, size));
    }
    catch (const gfx::Error&)
    {
    }
    return 0;
}
