#include "platform/file_chooser.h"

#include "platform/child_lifetime.h"
#include "platform/desktop.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform
{

const char* const kFileChooserCaption = "File Chooser";
const char* const kZenityMissingText =
    "The file chooser cannot be shown: the program \"zenity\" is not installed. "
    "Install the zenity package to choose files.";

namespace
{

// Closes a descriptor when it goes out of scope.
class Descriptor
{
public:
    explicit Descriptor(int fd = -1) : m_Fd(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return m_Fd; }
    void Close()
    {
        if (m_Fd >= 0)
        {
            close(m_Fd);
            m_Fd = -1;
        }
    }

private:
    int m_Fd;
};

// The file a program name runs, searched on PATH as execvp would; empty
// when none is there to run.
std::string FindProgram(const std::string& name)
{
    if (name.empty())
    {
        return {};
    }
    if (name.find('/') != std::string::npos)
    {
        return access(name.c_str(), X_OK) == 0 ? name : std::string();
    }
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/bin:/usr/bin";
    std::size_t start = 0;
    for (;;)
    {
        const std::size_t end = folders.find(':', start);
        std::string folder = folders.substr(start, end - start);
        // An empty entry is the current folder.
        const std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + name;
        struct stat status;
        if (stat(candidate.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
        {
            return candidate;
        }
        if (end == std::string::npos)
        {
            return {};
        }
        start = end + 1;
    }
}

// Reads exactly `size` bytes unless the writer closes first: true when all came.
bool ReadWhole(int fd, void* into, std::size_t size)
{
    std::size_t got = 0;
    while (got < size)
    {
        const ssize_t n = read(fd, static_cast<char*>(into) + got, size - got);
        if (n > 0)
        {
            got += static_cast<std::size_t>(n);
        }
        else if (n == 0 || errno != EINTR)
        {
            return false;
        }
    }
    return true;
}

std::string FolderStart(const std::string& folder)
{
    if (folder.empty() || folder.back() == '/')
    {
        return folder;
    }
    return folder + "/";
}

} // namespace

ChildResult RunChild(const std::vector<std::string>& argv)
{
    ChildResult result;
    if (argv.empty())
    {
        return result;
    }
    const std::string program = FindProgram(argv[0]);
    if (program.empty())
    {
        return result;
    }
    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0)
    {
        return result;
    }
    Descriptor readEnd(output[0]);
    Descriptor writeEnd(output[1]);
    // Closed by a successful exec; a failed one writes its errno there.
    int failure[2];
    if (pipe2(failure, O_CLOEXEC) != 0)
    {
        return result;
    }
    Descriptor failureRead(failure[0]);
    Descriptor failureWrite(failure[1]);

    // Everything the child needs is made before the fork: after it, in a
    // process with threads, only async-signal-safe calls may run.
    std::vector<char*> args;
    for (const std::string& arg : argv)
    {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0)
    {
        return result;
    }
    if (child == 0)
    {
        // The chooser goes with the game, however the game ends.
        EndWithParent(parent);
        if (dup2(writeEnd.Get(), STDOUT_FILENO) >= 0)
        {
            execve(program.c_str(), args.data(), environ);
        }
        const int error = errno;
        (void)!write(failureWrite.Get(), &error, sizeof error);
        _exit(127);
    }
    writeEnd.Close();
    failureWrite.Close();
    int execError = 0;
    const bool execFailed = ReadWhole(failureRead.Get(), &execError, sizeof execError);

    if (!execFailed)
    {
        result.started = true;
        char buffer[4096];
        for (;;)
        {
            const ssize_t got = read(readEnd.Get(), buffer, sizeof buffer);
            if (got > 0)
            {
                result.output.append(buffer, static_cast<std::size_t>(got));
            }
            else if (got == 0 || errno != EINTR)
            {
                break;
            }
        }
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0)
    {
        if (errno != EINTR)
        {
            return result;
        }
    }
    if (result.started)
    {
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return result;
}

std::vector<std::string> ZenityFileCommand(const FileChoice& choice, const std::string& startPath)
{
    std::vector<std::string> argv = {"zenity", "--file-selection"};
    if (choice.save)
    {
        argv.push_back("--save");
        argv.push_back("--confirm-overwrite");
    }
    if (!startPath.empty())
    {
        argv.push_back("--filename=" + startPath);
    }
    return argv;
}

std::optional<std::string> ChooseFileWithZenity(const FileChoice& choice, const ChildRunner& runner,
                                                Desktop& messages)
{
    namespace fs = std::filesystem;
    std::string start = FolderStart(choice.initialFolder);
    for (;;)
    {
        const ChildResult run = runner(ZenityFileCommand(choice, start));
        if (!run.started)
        {
            messages.ShowMessageBox(kFileChooserCaption, kZenityMissingText, MessageBoxButtons::Ok,
                                    MessageBoxIcon::Error);
            return std::nullopt;
        }
        std::string path = run.output;
        if (!path.empty() && path.back() == '\n')
        {
            path.pop_back();
        }
        if (run.exitCode != 0 || path.empty())
        {
            return std::nullopt;
        }
        const bool bare = !fs::path(path).has_extension() && !choice.defaultExtension.empty();
        const std::string withExtension = bare ? path + "." + choice.defaultExtension : path;
        std::error_code error;
        if (!choice.save)
        {
            if (fs::is_regular_file(path, error))
            {
                return path;
            }
            if (bare && fs::is_regular_file(withExtension, error))
            {
                return withExtension;
            }
            messages.ShowMessageBox("Open",
                                    path + "\nFile not found.\nCheck the file name and try again.",
                                    MessageBoxButtons::Ok, MessageBoxIcon::Warning);
            start = FolderStart(fs::path(path).parent_path().string());
            continue;
        }
        // zenity has confirmed replacing the name as given; a name that gains
        // the extension here may hit another file, which needs its own answer.
        if (bare && fs::exists(withExtension, error))
        {
            const MessageBoxResult answer =
                messages.ShowMessageBox("Confirm Save As",
                                        fs::path(withExtension).filename().string() +
                                            " already exists.\nDo you want to replace it?",
                                        MessageBoxButtons::OkCancel, MessageBoxIcon::Warning);
            if (answer != MessageBoxResult::Ok)
            {
                start = withExtension;
                continue;
            }
        }
        return withExtension;
    }
}

} // namespace platform
