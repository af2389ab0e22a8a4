#pragma once

#include "common/exception.h"

#include <array>
#include <cstddef>
#include <string>

// Row access shared by the rule-table sources. Each table row begins with its
// own index; a row that does not carry the index asked for is a broken table
// and fails like a missing row.
namespace VARD::RuleTableLookup
{

template <typename Row, std::size_t N>
const Row& RowAt(const std::array<Row, N>& table, int index, const char* tableName)
{
    if (index < 0 || static_cast<std::size_t>(index) >= N ||
        table[static_cast<std::size_t>(index)].index != index)
        throw CVARDException(2, std::string("no row ") + std::to_string(index) + " in the " +
                                    tableName + " table");
    return table[static_cast<std::size_t>(index)];
}

// The first row whose text column equals the text exactly, or -1.
template <typename Row, std::size_t N>
int FindIndex(const std::array<Row, N>& table, const char* Row::*column, const std::string& text)
{
    for (const Row& row : table)
        if (text == row.*column)
            return row.index;
    return -1;
}

template <typename Row, std::size_t N>
int FindOrThrow(const std::array<Row, N>& table, const char* Row::*column, const std::string& text,
                const char* tableName)
{
    const int index = FindIndex(table, column, text);
    if (index < 0)
        throw CVARDException(2, VARDCommon::QuoteForMessage(text) + " is no " + tableName +
                                    " keyword");
    return index;
}

} // namespace VARD::RuleTableLookup
