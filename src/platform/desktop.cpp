#include "platform/desktop.h"

#include "platform/child_lifetime.h"
#include "platform/display_text.h"
#include "platform/window.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace platform
{

namespace
{

// Clicks and keys given to the window while a box or chooser had the user's
// attention are not meant for the game.
void DropInputMadeMeanwhile()
{
    SDL_FlushEvents(SDL_KEYDOWN, SDL_MOUSEWHEEL);
}

// The size of the screen the box will be shown on, 0 by 0 when unknown.
SDL_DisplayMode BoxScreen(Window* owner)
{
    int display = 0;
    if (owner != nullptr && owner->GetNativeWindow() != nullptr)
    {
        display = std::max(SDL_GetWindowDisplayIndex(owner->GetNativeWindow()), 0);
    }
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(display, &mode) != 0)
    {
        return {};
    }
    return mode;
}

} // namespace

bool IsWebAddress(const std::string& address)
{
    const bool web = address.rfind("http://", 0) == 0 || address.rfind("https://", 0) == 0;
    if (!web)
    {
        return false;
    }
    for (const char c : address)
    {
        if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F)
        {
            return false;
        }
    }
    return true;
}

SystemDesktop::SystemDesktop(Window* owner, ChildRunner runner)
    : m_Owner(owner), m_Runner(std::move(runner))
{
}

MessageBoxResult SystemDesktop::ShowMessageBox(const std::string& caption, const std::string& text,
                                               MessageBoxButtons buttons, MessageBoxIcon icon)
{
    const std::string title = DisplayText(caption);
    // The box is as wide as its longest line and as high as its lines: either
    // would run off the screen, its button with it.
    const SDL_DisplayMode screen = BoxScreen(m_Owner);
    const std::string message = CutLines(WrapText(DisplayText(text), MessageBoxColumns(screen.w)),
                                         MessageBoxLines(screen.h));
    Uint32 flags = SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    switch (icon)
    {
    case MessageBoxIcon::Error:
        flags |= SDL_MESSAGEBOX_ERROR;
        break;
    case MessageBoxIcon::Warning:
        flags |= SDL_MESSAGEBOX_WARNING;
        break;
    default:
        flags |= SDL_MESSAGEBOX_INFORMATION;
        break;
    }
    const bool withCancel = buttons == MessageBoxButtons::OkCancel;
    const SDL_MessageBoxButtonData choices[] = {
        {static_cast<Uint32>(withCancel ? SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT
                                        : SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT |
                                              SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT),
         1, "OK"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "Cancel"},
    };
    SDL_MessageBoxData data{};
    data.flags = flags;
    data.window = m_Owner != nullptr ? m_Owner->GetNativeWindow() : nullptr;
    data.title = title.c_str();
    data.message = message.c_str();
    data.numbuttons = withCancel ? 2 : 1;
    data.buttons = choices;
    int pressed = -1;
    // SDL draws the box in a child process it forks, which would stay on
    // the screen if the game were killed while it waits.
    const ChildrenEndWithUs boxChild;
    if (SDL_ShowMessageBox(&data, &pressed) != 0)
    {
        // Nobody can answer: say it where someone may read it, and take the
        // answer that changes nothing.
        std::fprintf(stderr, "%s: %s\n", title.c_str(), message.c_str());
        return withCancel ? MessageBoxResult::Cancel : MessageBoxResult::Ok;
    }
    DropInputMadeMeanwhile();
    if (!withCancel)
    {
        return MessageBoxResult::Ok;
    }
    return pressed == 1 ? MessageBoxResult::Ok : MessageBoxResult::Cancel;
}

std::optional<std::string> SystemDesktop::ChooseFile(const FileChoice& choice)
{
    std::optional<std::string> chosen = ChooseFileWithZenity(choice, m_Runner, *this);
    DropInputMadeMeanwhile();
    return chosen;
}

bool SystemDesktop::OpenWebPage(const std::string& address)
{
    return IsWebAddress(address) && SDL_OpenURL(address.c_str()) == 0;
}

MessageBoxResult FakeDesktop::ShowMessageBox(const std::string& caption, const std::string& text,
                                             MessageBoxButtons buttons, MessageBoxIcon icon)
{
    boxes.push_back(Box{caption, text, buttons, icon});
    if (boxAnswers.empty())
    {
        return buttons == MessageBoxButtons::Ok ? MessageBoxResult::Ok : MessageBoxResult::Cancel;
    }
    const MessageBoxResult answer = boxAnswers.front();
    boxAnswers.pop_front();
    return answer;
}

std::optional<std::string> FakeDesktop::ChooseFile(const FileChoice& choice)
{
    choices.push_back(choice);
    if (fileAnswers.empty())
    {
        return std::nullopt;
    }
    std::optional<std::string> answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

bool FakeDesktop::OpenWebPage(const std::string& address)
{
    webPages.push_back(address);
    return IsWebAddress(address);
}

} // namespace platform
