#pragma once

#include "common/exception.h"
#include "common/shared_helpers.h"
#include "world/order.h"

#include <string>

namespace VARD
{

// The order's own class; code 2 when a record carries a type code that its
// class does not match (the handler could not read its fields).
template <typename T> const T& OrderAs(const COrder& order)
{
    const T* typed = FastDynamicCast<T>(&order);
    if (typed == nullptr)
        throw CVARDException(2, "order " + std::to_string(order.GetType()) +
                                    " does not carry the fields of its kind");
    return *typed;
}

} // namespace VARD
