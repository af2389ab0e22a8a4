#pragma once

#include <sys/types.h>

namespace platform
{

// While one lives, every process forked from this one (the child SDL draws
// its message box in, or any other) ends when this process ends, even by
// SIGKILL: a box or chooser must not stay on the desktop of a game that is
// gone. Nests; any thread may hold one.
class ChildrenEndWithUs
{
public:
    ChildrenEndWithUs();
    ~ChildrenEndWithUs();
    ChildrenEndWithUs(const ChildrenEndWithUs&) = delete;
    ChildrenEndWithUs& operator=(const ChildrenEndWithUs&) = delete;
};

// Called in a new child (between fork and exec; async-signal-safe): it gets
// SIGKILL when `parent` ends, and ends at once if `parent` has gone already.
void EndWithParent(pid_t parent);

} // namespace platform
