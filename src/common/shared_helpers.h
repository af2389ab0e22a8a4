#pragma once

#include "common/exception.h"

#include <memory>
#include <type_traits>
#include <typeinfo>
#include <vector>

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
