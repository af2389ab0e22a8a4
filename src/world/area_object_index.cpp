#include "world/area_object_index.h"

#include "world/area.h"
#include "world/tile.h"
#include "world/world_object.h"

#include <algorithm>

namespace VARD
{

CAreaObjectIndex::~CAreaObjectIndex()
{
    for (const Entry& entry : m_Entries)
        if (entry.object != nullptr)
            entry.object->m_BlockIndex = nullptr;
}

void CAreaObjectIndex::Reset(std::uint32_t width, std::uint32_t height,
                             const std::vector<std::shared_ptr<CObject>>& objects)
{
    for (const Entry& entry : m_Entries)
        if (entry.object != nullptr)
            entry.object->m_BlockIndex = nullptr;
    m_Entries.Clear();
    m_Loose.clear();
    m_Width = width;
    m_Height = height;
    m_Columns = (width + kSquareCells - 1) / kSquareCells;
    m_Rows = (height + kSquareCells - 1) / kSquareCells;
    if (m_Columns == 0 || m_Rows == 0)
        m_Columns = m_Rows = 0;
    m_Squares.assign(static_cast<std::size_t>(m_Columns) * m_Rows, {});
    m_Count = 0;
    m_Stale = false;
    for (const auto& object : objects)
        if (object)
            Attach(*object);
}

void CAreaObjectIndex::Add(CObject& object)
{
    Attach(object);
}

void CAreaObjectIndex::Remove(CObject& object)
{
    if (object.m_BlockIndex != this)
    {
        m_Stale = true;
        return;
    }
    Detach(object.m_BlockSlot);
}

void CAreaObjectIndex::Attach(CObject& object)
{
    if (object.m_BlockIndex == this)
    {
        // Listed twice: only a fresh start is sure to match the list.
        m_Stale = true;
        return;
    }
    if (object.m_BlockIndex != nullptr)
        object.m_BlockIndex->Forget(object);
    const std::uint32_t slot = m_Entries.Take();
    Entry& entry = m_Entries[slot];
    entry.object = &object;
    object.m_BlockIndex = this;
    object.m_BlockSlot = slot;
    ++m_Count;
    File(slot);
}

void CAreaObjectIndex::Detach(std::uint32_t slot)
{
    Unfile(slot);
    m_Entries[slot].object->m_BlockIndex = nullptr;
    m_Entries[slot].object = nullptr;
    m_Entries.Give(slot);
    --m_Count;
}

void CAreaObjectIndex::File(std::uint32_t slot)
{
    Entry& entry = m_Entries[slot];
    const CObject& object = *entry.object;
    if (object.GetTileKind() == kTileKindFloor)
        return;
    entry.filed = true;
    // The footprint as the distance test computes it.
    const auto [left, top, right, bottom] = object.GetFootprint();
    if (m_Columns == 0 || std::isnan(left) || std::isnan(right) || std::isnan(top) ||
        std::isnan(bottom))
    {
        entry.loose = true;
        m_Loose.push_back(slot);
        return;
    }
    entry.column0 = SquareOf(std::min(left, right), m_Columns);
    entry.column1 = SquareOf(std::max(left, right), m_Columns);
    entry.row0 = SquareOf(std::min(top, bottom), m_Rows);
    entry.row1 = SquareOf(std::max(top, bottom), m_Rows);
    const std::uint64_t squares = std::uint64_t{entry.column1 - entry.column0 + 1} *
                                  std::uint64_t{entry.row1 - entry.row0 + 1};
    if (squares > kMostSquares)
    {
        entry.loose = true;
        m_Loose.push_back(slot);
        return;
    }
    for (std::uint32_t row = entry.row0; row <= entry.row1; ++row)
        for (std::uint32_t column = entry.column0; column <= entry.column1; ++column)
            m_Squares[row * m_Columns + column].push_back(slot);
}

void CAreaObjectIndex::Unfile(std::uint32_t slot)
{
    Entry& entry = m_Entries[slot];
    const auto drop = [slot](std::vector<std::uint32_t>& slots)
    { slots.erase(std::find(slots.begin(), slots.end(), slot)); };
    if (entry.loose)
        drop(m_Loose);
    else if (entry.filed)
    {
        for (std::uint32_t row = entry.row0; row <= entry.row1; ++row)
            for (std::uint32_t column = entry.column0; column <= entry.column1; ++column)
                drop(m_Squares[row * m_Columns + column]);
    }
    entry.filed = false;
    entry.loose = false;
}

void CAreaObjectIndex::Update(CObject& object)
{
    Unfile(object.m_BlockSlot);
    File(object.m_BlockSlot);
}

void CAreaObjectIndex::Forget(CObject& object)
{
    Detach(object.m_BlockSlot);
    // The area still lists it: only a fresh start matches the list again.
    m_Stale = true;
}

// ----------------------------------------------------------- the object's side

void CObject::TellBlockIndex()
{
    m_BlockIndex->Update(*this);
}

} // namespace VARD
