// The main of the test programs that open a real window. The leak checker
// stops the process's threads to read their stacks, and at exit it now and
// then crashes doing so: the libraries' exit handlers have run by then, and
// the GL driver's, the disk cache's and the sound's threads have only just
// ended with the last window. So the check runs here instead, before exit,
// once the process is down to this one thread.

#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <thread>

namespace
{

std::ptrdiff_t OtherThreads()
{
    std::error_code error;
    const std::filesystem::directory_iterator tasks("/proc/self/task", error);
    return error ? 0 : std::distance(tasks, std::filesystem::directory_iterator()) - 1;
}

} // namespace
#endif

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
#if defined(__SANITIZE_ADDRESS__)
    // A thread the libraries join is gone a moment later; one still there
    // after this long is not ending.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (OtherThreads() > 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (const std::ptrdiff_t others = OtherThreads(); others > 0)
        std::fprintf(stderr, "leak check with %td other threads still running\n", others);
    // A leak ends the process here with the checker's report and exit code;
    // the check at exit is then skipped.
    __lsan_do_leak_check();
#endif
    return result;
}
