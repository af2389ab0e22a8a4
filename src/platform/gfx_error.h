#pragma once

#include <stdexcept>
#include <string>

namespace gfx
{

// The one failure of the platform's graphics helpers: a malformed mesh or
// image, a mesh built from inconsistent arrays, a misused matrix stack. The
// drawing code turns it into the system's exception with the code its step
// calls for, since the same failure means different things to different
// callers (a mesh file that cannot be loaded, a merge that fails).
class Error : public std::runtime_error
{
public:
    explicit Error(const std::string& what) : std::runtime_error(what) {}
};

} // namespace gfx
