#pragma once

#include "platform/file_chooser.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace platform
{

class Window;

enum class MessageBoxButtons
{
    Ok,
    OkCancel,
};

enum class MessageBoxIcon
{
    None,
    Error,
    Warning,
    Question,
    Information,
};

enum class MessageBoxResult
{
    Ok,
    Cancel,
};

// The desktop's services the shell calls on: message boxes, the file
// chooser and the web browser. Every call blocks until the user has answered.
class Desktop
{
public:
    virtual ~Desktop() = default;

    virtual MessageBoxResult ShowMessageBox(const std::string& caption, const std::string& text,
                                            MessageBoxButtons buttons, MessageBoxIcon icon) = 0;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<std::string> ChooseFile(const FileChoice& choice) = 0;
    // Opens an http or https address in the user's browser; false when that
    // could not be started or the address is of another kind.
    virtual bool OpenWebPage(const std::string& address) = 0;
};

// SDL's message boxes over the window, zenity's file chooser and the
// desktop's URL opener.
class SystemDesktop final : public Desktop
{
public:
    // `owner` may be null (no window yet); `runner` starts the chooser.
    explicit SystemDesktop(Window* owner, ChildRunner runner = RunChild);

    MessageBoxResult ShowMessageBox(const std::string& caption, const std::string& text,
                                    MessageBoxButtons buttons, MessageBoxIcon icon) override;
    std::optional<std::string> ChooseFile(const FileChoice& choice) override;
    bool OpenWebPage(const std::string& address) override;

private:
    Window* m_Owner;
    ChildRunner m_Runner;
};

// A desktop for tests: answers from queues and records every call. With an
// empty queue an OK box answers OK, an OK/Cancel box Cancel, the chooser
// nothing.
class FakeDesktop final : public Desktop
{
public:
    struct Box
    {
        std::string caption;
        std::string text;
        MessageBoxButtons buttons;
        MessageBoxIcon icon;
    };

    MessageBoxResult ShowMessageBox(const std::string& caption, const std::string& text,
                                    MessageBoxButtons buttons, MessageBoxIcon icon) override;
    std::optional<std::string> ChooseFile(const FileChoice& choice) override;
    bool OpenWebPage(const std::string& address) override;

    std::deque<MessageBoxResult> boxAnswers;
    std::deque<std::optional<std::string>> fileAnswers;
    std::vector<Box> boxes;
    std::vector<FileChoice> choices;
    std::vector<std::string> webPages;
};

bool IsWebAddress(const std::string& address);

} // namespace platform
