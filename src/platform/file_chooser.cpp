#include "platform/file_chooser.h"

#include "platform/desktop.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
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
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
    {
        return result;
    }
    Descriptor readEnd(ends[0]);
    Descriptor writeEnd(ends[1]);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.Get(), STDOUT_FILENO);
    std::vector<char*> args;
    for (const std::string& arg : argv)
    {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
    {
        return result;
    }
    result.started = true;
    writeEnd.Close();

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
    int status = 0;
    while (waitpid(child, &status, 0) < 0)
    {
        if (errno != EINTR)
        {
            return result;
        }
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
