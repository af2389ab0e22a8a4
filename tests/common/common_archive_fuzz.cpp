#include "archive_fuzz_harness.h"

#include "common/exception.h"

// Any bytes as an archive must read or fail with a CVARDException.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try
    {
        FuzzHarness::ReadWholeArchive(data, size);
    }
    catch (const CVARDException&)
    {
    }
    return 0;
}
