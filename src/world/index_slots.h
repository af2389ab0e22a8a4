#pragma once

#include "world/thing.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace VARD
{

// The entries of an index over an area's list, in slots reused as things
// leave. Each entry taken is stamped with the next place in join order, which
// keeps the list's order for ties.
template <class Entry> class CIndexSlots
{
public:
    // A fresh entry, stamped.
    std::uint32_t Take()
    {
        std::uint32_t slot = 0;
        if (!m_Free.empty())
        {
            slot = m_Free.back();
            m_Free.pop_back();
        }
        else
        {
            slot = static_cast<std::uint32_t>(m_Entries.size());
            m_Entries.emplace_back();
        }
        m_Entries[slot] = Entry{};
        m_Entries[slot].order = m_NextOrder++;
        return slot;
    }
    void Give(std::uint32_t slot) { m_Free.push_back(slot); }
    void Clear()
    {
        m_Entries.clear();
        m_Free.clear();
        m_NextOrder = 0;
    }

    Entry& operator[](std::uint32_t slot) { return m_Entries[slot]; }
    const Entry& operator[](std::uint32_t slot) const { return m_Entries[slot]; }
    std::size_t size() const { return m_Entries.size(); }
    auto begin() const { return m_Entries.begin(); }
    auto end() const { return m_Entries.end(); }

private:
    std::vector<Entry> m_Entries;
    std::vector<std::uint32_t> m_Free;
    std::uint64_t m_NextOrder = 0;
};

// Slots by thing id: a plain table for the numbers actors are given, a map
// for any other id. The first to claim an id keeps it until it gives it up.
class CSlotsById
{
public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

    // False when the id is taken already.
    bool Add(std::uint32_t id, std::uint32_t slot)
    {
        if (!IsPlain(id))
            return m_Other.emplace(id, slot).second;
        const std::uint32_t number = ThingNumberOf(id);
        if (number >= m_Plain.size())
            m_Plain.resize(std::max<std::size_t>(number + 1, m_Plain.size() * 2), kNone);
        if (m_Plain[number] != kNone)
            return false;
        m_Plain[number] = slot;
        return true;
    }
    std::uint32_t Find(std::uint32_t id) const
    {
        if (IsPlain(id))
        {
            const std::uint32_t number = ThingNumberOf(id);
            return number < m_Plain.size() ? m_Plain[number] : kNone;
        }
        const auto found = m_Other.find(id);
        return found == m_Other.end() ? kNone : found->second;
    }
    // Only while the id is still that slot's.
    void Remove(std::uint32_t id, std::uint32_t slot)
    {
        if (!IsPlain(id))
        {
            const auto found = m_Other.find(id);
            if (found != m_Other.end() && found->second == slot)
                m_Other.erase(found);
            return;
        }
        const std::uint32_t number = ThingNumberOf(id);
        if (number < m_Plain.size() && m_Plain[number] == slot)
            m_Plain[number] = kNone;
    }
    void Clear()
    {
        m_Plain.clear();
        m_Other.clear();
    }

private:
    // Actor numbers count up from one; far beyond what a game hands out (a
    // saved game may name any), the map costs less room than the table.
    static constexpr std::uint32_t kPlainNumbers = 1u << 20;
    static bool IsPlain(std::uint32_t id)
    {
        return ThingKindOf(id) == kThingKindActor && ThingNumberOf(id) < kPlainNumbers;
    }

    std::vector<std::uint32_t> m_Plain;
    std::unordered_map<std::uint32_t, std::uint32_t> m_Other;
};

} // namespace VARD
