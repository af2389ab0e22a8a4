#include "fuzz_harness.h"

// Any world map or saved record must load or fail with a CVARDException.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try
    {
        FuzzHarness::ReadSavedRecord(data, size);
    }
    catch (const CVARDException&)
    {
    }
    return 0;
}
