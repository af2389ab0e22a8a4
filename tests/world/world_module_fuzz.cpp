#include "fuzz_harness.h"

// Any module file in place of one of the demo's must load or fail with a CVARDException.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try
    {
        FuzzHarness::LoadModuleWithReplacedFile(data, size);
    }
    catch (const CVARDException&)
    {
    }
    return 0;
}
