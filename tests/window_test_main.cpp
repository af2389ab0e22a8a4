// The main of the test programs that open a real window. The leak checker
// stops the process's threads to read their stacks, and at exit it now and
// then crashes doing so: the libraries' exit handlers have run by then, and
// the GL driver's, the disk cache's and the sound's threads have only just
// ended with the last window. So the check runs here instead, before exit,
// once the process is down to this one thread.

#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace
{

// The process's threads other than this one, each as "name (id)".
std::vector<std::string> OtherThreads()
{
    namespace fs = std::filesystem;
    const std::string self = std::to_string(gettid());
    std::vector<std::string> others;
    std::error_code error;
    for (const auto& task : fs::directory_iterator("/proc/self/task", error))
    {
        const std::string id = task.path().filename().string();
        if (id == self)
            continue;
        std::string name;
        std::getline(std::ifstream(task.path() / "comm"), name);
        others.push_back(name + " (" + id + ")");
    }
    return others;
}

// A thread the libraries join is gone from the task list a moment later; one
// that is still there after this long is not ending.
std::vector<std::string> AwaitOtherThreadsGone()
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::vector<std::string> others = OtherThreads();
    while (!others.empty() && std::chrono::steady_clock::now() < deadline)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        others = OtherThreads();
    }
    return others;
}

} // namespace
#endif

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
#if defined(__SANITIZE_ADDRESS__)
    const std::vector<std::string> others = AwaitOtherThreadsGone();
    if (!others.empty())
    {
        std::string names;
        for (const std::string& other : others)
            names += (names.empty() ? "" : ", ") + other;
        std::fprintf(stderr, "leak check with threads still running: %s\n", names.c_str());
    }
    // A leak ends the process here with the checker's report and exit code;
    // the check at exit is then skipped.
    __lsan_do_leak_check();
#endif
    return result;
}
