#pragma once

// Helpers for the tests that open a real window under a virtual X display.

#include <dlfcn.h>
#include <link.h>

#include <cstddef>

// SDL unloads the X and GL client libraries it opened when its last window
// goes; a block one of them never frees is then reported at exit with no
// module to name, and no suppression can match it. Keeping every library
// loaded for the life of the process lets the leak checker name the library,
// so the suppressions can stay narrow and our own leaks still fail the test.
inline void KeepLoadedLibraries()
{
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void*)
        {
            if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0')
            {
                // RTLD_NOLOAD only marks what is already there; the handle is
                // kept on purpose.
                dlopen(info->dlpi_name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
            }
            return 0;
        },
        nullptr);
}
