#include "fuzz_harness.h"

// Any saved actor record must load or fail with a CVARDException.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try
    {
        FuzzHarness::ReadActorRecord(data, size);
    }
    catch (const CVARDException&)
    {
    }
    return 0;
}
