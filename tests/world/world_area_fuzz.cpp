#include "fuzz_harness.h"

// Any area file, in any read mode, must load or fail with a CVARDException.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try
    {
        FuzzHarness::ReadAreaFile(data, size);
    }
    catch (const CVARDException&)
    {
    }
    return 0;
}
