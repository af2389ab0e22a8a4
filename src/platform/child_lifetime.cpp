#include "platform/child_lifetime.h"

#include <atomic>
#include <csignal>
#include <mutex>

#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace platform
{

namespace
{

// How many guards live, and this process's id while any does: read in a
// forked child, where only async-signal-safe work may run.
std::atomic<int> g_Guards{0};
std::atomic<pid_t> g_Parent{0};

void OnForkInChild()
{
    if (g_Guards.load() > 0)
    {
        EndWithParent(g_Parent.load());
    }
}

} // namespace

ChildrenEndWithUs::ChildrenEndWithUs()
{
    static std::once_flag registered;
    std::call_once(registered, [] { pthread_atfork(nullptr, nullptr, OnForkInChild); });
    // Taken anew each time: a forked copy of this process has its own.
    g_Parent.store(getpid());
    ++g_Guards;
}

ChildrenEndWithUs::~ChildrenEndWithUs()
{
    --g_Guards;
}

void EndWithParent(pid_t parent)
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    // The parent may have ended before the line above: then the signal
    // never comes, and the child is another process's by now.
    if (getppid() != parent)
    {
        _exit(1);
    }
}

} // namespace platform
