// A message box or file chooser ends with the game, however the game ends:
// a helper process (this program run again) shows a real one on the virtual
// display and is killed with SIGKILL while it waits for an answer; the
// process that draws the box (SDL's child) or the chooser (zenity) must end
// too, taking its window with it. The box's text is a name of 100,000
// bytes: the box stays on the screen all the same, its button with it.

#include "platform/desktop.h"
#include "platform/file_chooser.h"

#include <gtest/gtest.h>
// After every header that may name None, Bool or Status, which Xlib defines.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
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
        desktop.ShowMessageBox(kBoxCaption,
                               "the script of \"" + std::string(100'000, 'n') + "\" ran too long",
                               platform::MessageBoxButtons::Ok, platform::MessageBoxIcon::Error);
    else
    {
        platform::FileChoice choice;
        choice.initialFolder = std::filesystem::current_path().string();
        desktop.ChooseFile(choice);
    }
    // Reached only when nothing was shown.
    return 3;
}

// The living children of a process, from /proc.
std::vector<pid_t> ChildrenOf(pid_t parent)
{
    std::vector<pid_t> children;
    for (const auto& entry : std::filesystem::directory_iterator("/proc"))
    {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::string text;
        std::getline(std::ifstream(entry.path() / "stat"), text);
        // The name in parentheses may hold blanks; the fields after it do not.
        std::istringstream fields(text.substr(text.rfind(')') + 1));
        char state = 0;
        pid_t of = 0;
        if (fields >> state >> of && of == parent && state != 'Z')
            children.push_back(std::stoi(name));
    }
    return children;
}

// A process's descriptor (pidfd), readable once the process has ended.
class ProcessHandle
{
public:
    explicit ProcessHandle(pid_t pid) : m_Fd(static_cast<int>(syscall(SYS_pidfd_open, pid, 0))) {}
    ~ProcessHandle()
    {
        if (m_Fd >= 0)
            close(m_Fd);
    }
    ProcessHandle(const ProcessHandle&) = delete;
    ProcessHandle& operator=(const ProcessHandle&) = delete;

    // Waits at most `cap` for the end: false while the process is there.
    bool AwaitEnd(std::chrono::milliseconds cap) const
    {
        pollfd ended{m_Fd, POLLIN, 0};
        return m_Fd >= 0 && poll(&ended, 1, static_cast<int>(cap.count())) == 1;
    }

private:
    int m_Fd;
};

// A property of a window as text, empty when it has none.
std::string TextProperty(Display* display, Window window, Atom name, Atom type)
{
    Atom actual = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(display, window, name, 0, 256, False, type, &actual, &format, &count,
                           &after, &data) == Success &&
        data != nullptr)
    {
        if (format == 8)
            text.assign(reinterpret_cast<const char*>(data), count);
        else if (format == 32 && count == 1)
            text = std::to_string(*reinterpret_cast<const unsigned long*>(data));
        XFree(data);
    }
    return text;
}

struct Placed
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Where a top-level window of `drawer`'s is on the screen, if it is: GTK
// marks its windows with their process; SDL's box bears only its caption.
std::optional<Placed> ShownWindow(Display* display, pid_t drawer, const char* caption)
{
    const Atom processAtom = XInternAtom(display, "_NET_WM_PID", False);
    Window root = 0;
    Window parent = 0;
    Window* windows = nullptr;
    unsigned int count = 0;
    std::optional<Placed> found;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &windows, &count) == 0)
        return found;
    for (unsigned int i = 0; i < count && !found; ++i)
    {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, windows[i], &attributes) == 0 ||
            attributes.map_state != IsViewable)
            continue;
        const bool ours =
            caption != nullptr
                ? TextProperty(display, windows[i], XA_WM_NAME, AnyPropertyType) == caption
                : TextProperty(display, windows[i], processAtom, XA_CARDINAL) ==
                      std::to_string(drawer);
        if (ours)
            found = Placed{attributes.x, attributes.y, attributes.width, attributes.height};
    }
    if (windows != nullptr)
        XFree(windows);
    return found;
}

TEST(DesktopChild, TheBoxAndTheChooserEndWithAKilledGame)
{
    // Without a display nothing is drawn, and nothing could be seen to go.
    // One connection throughout: the display refuses connections for a
    // moment whenever its last client leaves.
    const std::unique_ptr<Display, int (*)(Display*)> connection(XOpenDisplay(nullptr),
                                                                 XCloseDisplay);
    Display* const display = connection.get();
    ASSERT_NE(display, nullptr)
        << "no X display to draw on: run it through tests/under_xvfb.sh, as ctest does";
    // Orphans fall to the test, which reaps them: a box left behind is then
    // seen to go, not kept as a zombie by an init that does not reap.
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    // A window gone between the listing and the reading of it is no failure.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    const int screenWidth = DisplayWidth(display, DefaultScreen(display));
    const int screenHeight = DisplayHeight(display, DefaultScreen(display));
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    struct Case
    {
        const char* what;
        const char* caption; // null: found by its process
    };
    for (const Case& c : {Case{"box", kBoxCaption}, Case{"chooser", nullptr}})
    {
        SCOPED_TRACE(c.what);
        const pid_t helper = fork();
        if (helper == 0)
        {
            execl(self.c_str(), self.c_str(), kHelperArgument, c.what, nullptr);
            _exit(127);
        }
        ASSERT_GT(helper, 0);
        const ProcessHandle helperHandle(helper);
        // Shown once the helper's one child has its window on the screen; a
        // helper that ends first showed nothing.
        pid_t drawer = 0;
        std::optional<Placed> shown;
        for (int turn = 0; turn < 3000 && !shown; ++turn)
        {
            if (helperHandle.AwaitEnd(std::chrono::milliseconds(20)))
                break;
            const std::vector<pid_t> children = ChildrenOf(helper);
            drawer = children.size() == 1 ? children.front() : 0;
            if (drawer != 0)
                shown = ShownWindow(display, drawer, c.caption);
        }
        kill(helper, SIGKILL);
        waitpid(helper, nullptr, 0);
        ASSERT_TRUE(shown) << "nothing was drawn";
        if (c.caption != nullptr)
        {
            // Our box, not zenity's chooser, which GTK sizes.
            EXPECT_GE(shown->x, 0);
            EXPECT_GE(shown->y, 0);
            EXPECT_LE(shown->x + shown->width, screenWidth) << shown->width;
            EXPECT_LE(shown->y + shown->height, screenHeight) << shown->height;
        }
        const ProcessHandle drawerHandle(drawer);
        const bool ended = drawerHandle.AwaitEnd(std::chrono::seconds(60));
        kill(drawer, SIGKILL);
        waitpid(drawer, nullptr, 0);
        EXPECT_TRUE(ended) << "process " << drawer << " outlived the game";
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], kHelperArgument) == 0)
        return ShowAndWait(argv[2]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
