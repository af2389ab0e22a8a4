#pragma once

#include <stdexcept>
#include <string>

namespace platform
{

// A failure of the window, desktop or sound services: no window or context,
// a folder that cannot be made, a sound that cannot be decoded. The shell
// turns it into the system's exception with the code its step calls for.
class Error : public std::runtime_error
{
public:
    explicit Error(const std::string& what) : std::runtime_error(what) {}
};

// The window could be made but no OpenGL 3.3 core context on it: the machine
// lacks the driver, which the shell tells the user apart from other failures.
class NoGlContextError : public Error
{
public:
    explicit NoGlContextError(const std::string& what) : Error(what) {}
};

} // namespace platform
