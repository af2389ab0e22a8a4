// A message box or file chooser ends with the game, however the game ends:
// a helper process (this program run again) shows a real one under the
// virtual display and is killed with SIGKILL while it waits for an answer;
// the process that draws the box (SDL's child) or the chooser (zenity) must
// end too.

#include "platform/child_lifetime.h"
#include "platform/desktop.h"
#include "platform/file_chooser.h"

#include <gtest/gtest.h>
// After every header that may name None, Bool or Status, which Xlib defines.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <poll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

const char* const kHelperArgument = "--show-and-wait";
const char* const kBoxCaption = "Script Error";

// The helper: shows one box or chooser and waits for the answer that never comes.
int ShowAndWait(const std::string& what)
{
    platform::SystemDesktop desktop(nullptr);
    if (what == "box")
    {
        desktop.ShowMessageBox(kBoxCaption, "the script ran too long",
                               platform::MessageBoxButtons::Ok, platform::MessageBoxIcon::Error);
    }
    else
    {
        platform::FileChoice choice;
        choice.initialFolder = std::filesystem::temp_directory_path().string();
        desktop.ChooseFile(choice);
    }
    // Reached only when nothing was shown: the test sees the helper end.
    return 3;
}

// Parent and state of a process from /proc, or nothing once it is gone.
struct ProcessState
{
    pid_t parent = 0;
    char state = 0;
};

std::optional<ProcessState> StateOf(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    if (!std::getline(file, text))
    {
        return std::nullopt;
    }
    // The name in parentheses may hold blanks; the fields after it do not.
    std::istringstream fields(text.substr(text.rfind(')') + 1));
    ProcessState state;
    fields >> state.state >> state.parent;
    return state;
}

std::vector<pid_t> ChildrenOf(pid_t parent)
{
    std::vector<pid_t> children;
    for (const auto& entry : std::filesystem::directory_iterator("/proc"))
    {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
        {
            continue;
        }
        const pid_t pid = std::stoi(name);
        const auto state = StateOf(pid);
        if (state && state->parent == parent && state->state != 'Z')
        {
            children.push_back(pid);
        }
    }
    return children;
}

// Every process the test started, killed and reaped at the end whatever
// happened, so that a failing test leaves nothing on the machine.
class Leftovers
{
public:
    ~Leftovers()
    {
        for (const pid_t pid : m_Pids)
        {
            kill(pid, SIGKILL);
        }
        for (const pid_t pid : m_Pids)
        {
            // Ours to reap: the helper as its parent, its children as the
            // subreaper they fall to.
            waitpid(pid, nullptr, 0);
        }
    }
    void Add(pid_t pid) { m_Pids.insert(pid); }

private:
    std::set<pid_t> m_Pids;
};

// A process's descriptor (pidfd): readable once the process has ended.
class ProcessHandle
{
public:
    // By the system call: glibc's header for it does not declare it for C++.
    explicit ProcessHandle(pid_t pid) : m_Fd(static_cast<int>(syscall(SYS_pidfd_open, pid, 0))) {}
    ~ProcessHandle()
    {
        if (m_Fd >= 0)
        {
            close(m_Fd);
        }
    }
    ProcessHandle(const ProcessHandle&) = delete;
    ProcessHandle& operator=(const ProcessHandle&) = delete;

    int Get() const { return m_Fd; }
    // Waits for the end for at most `cap`: false when the process is still there.
    bool AwaitEnd(std::chrono::milliseconds cap) const
    {
        pollfd ended{m_Fd, POLLIN, 0};
        return m_Fd >= 0 && poll(&ended, 1, static_cast<int>(cap.count())) == 1;
    }

private:
    int m_Fd;
};

// The virtual display, told of every top-level window that is mapped.
class VirtualDisplay
{
public:
    VirtualDisplay() : m_Display(XOpenDisplay(nullptr))
    {
        if (m_Display != nullptr)
        {
            // A window gone before its name is read is no failure of the test.
            XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
            XSelectInput(m_Display, DefaultRootWindow(m_Display), SubstructureNotifyMask);
            XFlush(m_Display);
        }
    }
    ~VirtualDisplay()
    {
        if (m_Display != nullptr)
        {
            XCloseDisplay(m_Display);
        }
    }
    bool IsOpen() const { return m_Display != nullptr; }

    // Waits until a window is mapped of which `wanted` holds, for at most
    // `cap`: false when none came, or when `shower` ended first.
    bool AwaitWindow(const std::function<bool(Display*, Window)>& wanted,
                     const ProcessHandle& shower, std::chrono::milliseconds cap)
    {
        const auto end = std::chrono::steady_clock::now() + cap;
        for (;;)
        {
            while (XPending(m_Display) > 0)
            {
                XEvent event;
                XNextEvent(m_Display, &event);
                if (event.type == MapNotify && wanted(m_Display, event.xmap.window))
                {
                    return true;
                }
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            if (left.count() <= 0)
            {
                return false;
            }
            pollfd ready[2] = {{ConnectionNumber(m_Display), POLLIN, 0}, {shower.Get(), POLLIN, 0}};
            if (poll(ready, 2, static_cast<int>(left.count())) > 0 && ready[1].revents != 0)
            {
                return false;
            }
        }
    }

private:
    Display* m_Display;
};

// The window's title as it holds it, whatever the type it was set with (SDL
// sets UTF-8, which XFetchName passes over).
std::string WindowName(Display* display, Window window)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(display, window, XA_WM_NAME, 0, 256, False, AnyPropertyType, &type,
                           &format, &count, &after, &data) == Success &&
        data != nullptr)
    {
        if (format == 8)
        {
            text.assign(reinterpret_cast<const char*>(data), count);
        }
        XFree(data);
    }
    return text;
}

// Runs this program again as the helper for `what`.
pid_t StartHelper(const std::string& what)
{
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const pid_t pid = fork();
    if (pid == 0)
    {
        execl(self.c_str(), self.c_str(), kHelperArgument, what.c_str(), nullptr);
        _exit(127);
    }
    return pid;
}

TEST(DesktopChild, TheBoxAndTheChooserEndWithAKilledGame)
{
    // Orphans fall to the test, which reaps them: a box left behind is then
    // seen to go, not kept as a zombie by an init that does not reap.
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    VirtualDisplay display;
    ASSERT_TRUE(display.IsOpen()) << "no X display: run under xvfb-run";
    const std::chrono::seconds cap(60);

    struct Case
    {
        const char* what;
        const char* program; // the name of the process that draws it
    };
    for (const Case& c : {Case{"box", nullptr}, Case{"chooser", "zenity"}})
    {
        SCOPED_TRACE(c.what);
        Leftovers leftovers;
        const pid_t helper = StartHelper(c.what);
        ASSERT_GT(helper, 0);
        leftovers.Add(helper);

        // Shown: a window of a child of the helper's is on the display.
        const ProcessHandle helperHandle(helper);
        pid_t drawer = 0;
        const bool shown = display.AwaitWindow(
            [&](Display* x, Window window)
            {
                if (c.program == nullptr && WindowName(x, window) != kBoxCaption)
                {
                    return false;
                }
                const std::vector<pid_t> children = ChildrenOf(helper);
                if (children.size() != 1)
                {
                    return false;
                }
                drawer = children.front();
                return true;
            },
            helperHandle, cap);
        ASSERT_TRUE(shown) << "nothing was shown";
        leftovers.Add(drawer);
        const ProcessHandle drawerHandle(drawer);
        ASSERT_GE(drawerHandle.Get(), 0);
        ASSERT_FALSE(drawerHandle.AwaitEnd(std::chrono::milliseconds(0)))
            << "process " << drawer << " ended by itself";
        if (c.program != nullptr)
        {
            std::ifstream comm("/proc/" + std::to_string(drawer) + "/comm");
            std::string name;
            std::getline(comm, name);
            EXPECT_EQ(name, c.program);
        }
        ASSERT_EQ(waitpid(helper, nullptr, WNOHANG), 0) << "the helper no longer waits";

        ASSERT_EQ(kill(helper, SIGKILL), 0);
        ASSERT_EQ(waitpid(helper, nullptr, 0), helper);
        EXPECT_TRUE(drawerHandle.AwaitEnd(cap)) << "process " << drawer << " outlived the game";
    }
}

// A parent killed between the fork and the child's asking for the signal
// sends none: the child finds another parent and ends at once.
TEST(DesktopChild, AChildWhoseParentWentFirstEndsAtOnce)
{
    for (const bool gone : {false, true})
    {
        const pid_t parent = getpid();
        const pid_t child = fork();
        if (child == 0)
        {
            // As if the parent had been another process, ended by now.
            platform::EndWithParent(gone ? parent + 1 : parent);
            _exit(0);
        }
        ASSERT_GT(child, 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status) != 0, gone) << gone;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], kHelperArgument) == 0)
    {
        return ShowAndWait(argv[2]);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
