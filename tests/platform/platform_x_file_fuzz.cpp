#include "platform/gfx_error.h"
#include "platform/x_file.h"

#include <cstddef>
#include <cstdint>

// Any bytes must load or fail with the reader's own error.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try
    {
        gfx::LoadXMesh(std::span<const std::uint8_t>(data, size));
    }
    catch (const gfx::Error&)
    {
    }
    return 0;
}
