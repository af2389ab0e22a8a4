#pragma once

#include <cstdint>
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

} // namespace VARD
