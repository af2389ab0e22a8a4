#pragma once

#include "common/exception.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <vector>

// Appends a line to a list that keeps only its newest lines: no more than
// mostLines of them, and no more text than mostBytes unless the newest line
// alone holds more (it always stays). bytes is the text the list holds, kept
// up to date.
template <typename Lines>
void AppendNewest(Lines& lines, std::size_t& bytes, std::string line, std::size_t mostLines,
                  std::size_t mostBytes)
{
    bytes += line.size();
    lines.push_back(std::move(line));
    while (lines.size() > mostLines || (bytes > mostBytes && lines.size() > 1))
    {
        bytes -= std::min(bytes, lines.front().size());
        lines.erase(lines.begin());
    }
}

// The empty trace hook: callers pass a text and numbers between steps.
template <typename... Args> inline void NoOperation(Args&&...) {}

template <typename T> std::shared_ptr<T> WeakPtrLock(const std::weak_ptr<T>& weak)
{
    return weak.lock();
}

// The element whose raw pointer is the key; code 2 when none is.
template <typename T>
std::shared_ptr<T> FindSharedByPointer(const std::vector<std::shared_ptr<T>>& items, const T* key)
{
    for (const auto& item : items)
        if (item.get() == key)
            return item;
    throw CVARDException(2, "thing not found");
}

// dynamic_cast with a shortcut for an object whose class is exactly T: two
// type_info records compare in a few instructions, where the walk through the
// class tree costs about a hundred on the tick's hottest paths.
template <typename T, typename U> const T* FastDynamicCast(const U* object)
{
    if constexpr (std::is_base_of_v<U, T>)
        if (object != nullptr && typeid(*object) == typeid(T))
            return static_cast<const T*>(object);
    return dynamic_cast<const T*>(object);
}
