#pragma once

#include "common/exception.h"

#include <memory>
#include <vector>

// The empty trace hook: callers pass a text and numbers between steps.
template <typename... Args> inline void NoOperation(Args&&...)
{
}

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
