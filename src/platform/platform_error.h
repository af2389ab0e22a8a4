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

} // namespace platform
