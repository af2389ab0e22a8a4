// A message box or file chooser ends with the game, however the game ends:
// a helper process (this program run again) shows a real one under the
// virtual display and is killed with SIGKILL while it waits for an answer;
// the process that draws the box (SDL's child) or the chooser (zenity) must
// end too. And a box of a long text stays on the screen, its button with it.

#include "platform/desktop.h"
#include "platform/file_chooser.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

const char* const kHelperArgument = "--show-and-wait";
const char* const kLongBoxCaption = "Load Error";

// The helper: shows one box or chooser and waits for the answer that never comes.
int ShowAndWait(const std::string& what)
{
    platform::SystemDesktop desktop(nullptr);
    if (what == "box")
        desktop.ShowMessageBox("Script Error", "the script ran too long",
                               platform::MessageBoxButtons::Ok, platform::MessageBoxIcon::Error);
    else if (what == "long box")
        desktop.ShowMessageBox(kLongBoxCaption,
                               "Failed to load the game: hero \"" + std::string(100'000, 'n') +
                                   "\" is saved twice",
                               platform::MessageBoxButtons::Ok, platform::MessageBoxIcon::Error);
    else
    {
        platform::FileChoice choice;
        choice.initialFolder = std::filesystem::temp_directory_path().string();
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

// A helper run of this program, showing what it is asked to.
pid_t StartHelper(const std::string& what)
{
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const pid_t helper = fork();
    if (helper == 0)
    {
        execl(self.c_str(), self.c_str(), kHelperArgument, what.c_str(), nullptr);
        _exit(127);
    }
    return helper;
}

struct Placed
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The window of that title on the display, once it is shown.
std::optional<Placed> ShownWindow(Display* display, const std::string& title)
{
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    std::optional<Placed> found;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0)
        return found;
    for (unsigned int i = 0; i < count && !found; ++i)
    {
        // SDL names it in UTF-8, which XFetchName does not read.
        XTextProperty name{};
        XWindowAttributes attributes{};
        if (XGetWMName(display, children[i], &name) != 0 && name.value != nullptr &&
            title == std::string(reinterpret_cast<const char*>(name.value), name.nitems) &&
            XGetWindowAttributes(display, children[i], &attributes) != 0 &&
            attributes.map_state == IsViewable)
            found = Placed{attributes.x, attributes.y, attributes.width, attributes.height};
        if (name.value != nullptr)
            XFree(name.value);
    }
    if (children != nullptr)
        XFree(children);
    return found;
}

TEST(DesktopChild, ABoxOfALongTextStaysOnTheScreen)
{
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    const Placed screen{0, 0, DisplayWidth(display, DefaultScreen(display)),
                        DisplayHeight(display, DefaultScreen(display))};
    const pid_t helper = StartHelper("long box");
    ASSERT_GT(helper, 0);
    const ProcessHandle helperHandle(helper);
    std::optional<Placed> box;
    for (int turn = 0; turn < 3000 && !box; ++turn)
    {
        if (helperHandle.AwaitEnd(std::chrono::milliseconds(20)))
            break;
        box = ShownWindow(display, kLongBoxCaption);
    }
    kill(helper, SIGKILL);
    waitpid(helper, nullptr, 0);
    XCloseDisplay(display);
    ASSERT_TRUE(box) << "no box was shown";
    EXPECT_GE(box->x, 0);
    EXPECT_GE(box->y, 0);
    EXPECT_LE(box->x + box->width, screen.width) << box->width;
    EXPECT_LE(box->y + box->height, screen.height) << box->height;
}

TEST(DesktopChild, TheBoxAndTheChooserEndWithAKilledGame)
{
    // Orphans fall to the test, which reaps them: a box left behind is then
    // seen to go, not kept as a zombie by an init that does not reap.
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    for (const std::string what : {"box", "chooser"})
    {
        SCOPED_TRACE(what);
        const pid_t helper = StartHelper(what);
        ASSERT_GT(helper, 0);
        const ProcessHandle helperHandle(helper);
        // Shown once the helper has the child that draws it; a helper that
        // ends first showed nothing.
        std::vector<pid_t> drawers;
        for (int turn = 0; turn < 3000 && drawers.size() != 1; ++turn)
        {
            if (helperHandle.AwaitEnd(std::chrono::milliseconds(20)))
                break;
            drawers = ChildrenOf(helper);
        }
        kill(helper, SIGKILL);
        waitpid(helper, nullptr, 0);
        ASSERT_EQ(drawers.size(), 1u) << "nothing was shown";
        const ProcessHandle drawer(drawers.front());
        const bool ended = drawer.AwaitEnd(std::chrono::seconds(60));
        kill(drawers.front(), SIGKILL);
        waitpid(drawers.front(), nullptr, 0);
        EXPECT_TRUE(ended) << "process " << drawers.front() << " outlived the game";
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
