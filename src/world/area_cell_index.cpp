#include "world/area_cell_index.h"

#include "world/actor.h"
#include "world/area.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace VARD
{

std::uint8_t CAreaCellIndex::SideOf(std::uint32_t attitude)
{
    switch (attitude)
    {
    case kAttitudeParty:
    case kAttitudeFriendly:
        return kSideFriendly;
    case kAttitudeHostile:
        return kSideHostile;
    case kAttitudeBerserk:
        return kSideBerserk;
    default:
        return kSideOther;
    }
}

CAreaCellIndex::~CAreaCellIndex()
{
    for (const Entry& entry : m_Entries)
        if (entry.actor != nullptr)
            entry.actor->m_CellIndex = nullptr;
}

std::uint32_t CAreaCellIndex::CountOf(std::uint8_t sides) const
{
    std::uint32_t count = 0;
    for (int side = 0; side < kSideCount; ++side)
        if ((sides & (1u << side)) != 0)
            count += m_SideCounts[side];
    return count;
}

void CAreaCellIndex::Reset(std::uint32_t width, std::uint32_t height,
                           const std::vector<std::shared_ptr<CActor>>& actors)
{
    for (std::uint32_t slot = 0; slot < m_Entries.size(); ++slot)
        if (m_Entries[slot].actor != nullptr)
            m_Entries[slot].actor->m_CellIndex = nullptr;
    m_Entries.Clear();
    m_Width = width;
    m_Height = height;
    m_Columns = (width + kSquareCells - 1) / kSquareCells;
    m_Rows = (height + kSquareCells - 1) / kSquareCells;
    if (m_Columns == 0 || m_Rows == 0)
        m_Columns = m_Rows = 0;
    m_Lists.assign(static_cast<std::size_t>(m_Columns) * m_Rows + 1, {});
    std::fill(std::begin(m_SideHeads), std::end(m_SideHeads), kNone);
    std::fill(std::begin(m_SideCounts), std::end(m_SideCounts), 0u);
    m_Count = 0;
    m_Stale = false;
    m_ById.Clear();
    m_SharedIds = 0;
    m_MaxRadius = 0.0;
    for (const auto& actor : actors)
        if (actor)
            Attach(*actor);
}

void CAreaCellIndex::Add(CActor& actor)
{
    Attach(actor);
}

void CAreaCellIndex::Remove(CActor& actor)
{
    if (actor.m_CellIndex != this)
    {
        m_Stale = true;
        return;
    }
    Detach(actor.m_CellSlot);
}

void CAreaCellIndex::Attach(CActor& actor)
{
    if (actor.m_CellIndex == this)
    {
        // Listed twice, or put back without a word: only a fresh start is
        // sure to match the list.
        m_Stale = true;
        return;
    }
    if (actor.m_CellIndex != nullptr)
        actor.m_CellIndex->Forget(actor);
    const std::uint32_t slot = m_Entries.Take();
    Entry& entry = m_Entries[slot];
    entry.actor = &actor;
    actor.m_CellIndex = this;
    actor.m_CellSlot = slot;
    if (!m_ById.Add(actor.Id(), slot))
        ++m_SharedIds;
    ++m_Count;
    Link(slot);
}

void CAreaCellIndex::Detach(std::uint32_t slot)
{
    Unlink(slot);
    m_ById.Remove(m_Entries[slot].actor->Id(), slot);
    m_Entries[slot].actor->m_CellIndex = nullptr;
    m_Entries[slot].actor = nullptr;
    m_Entries.Give(slot);
    --m_Count;
}

void CAreaCellIndex::Link(std::uint32_t slot)
{
    Entry& entry = m_Entries[slot];
    const CActor& actor = *entry.actor;
    m_MaxRadius = std::max(m_MaxRadius, std::abs(actor.GetRadius()));
    entry.side = SideOf(actor.GetAttitude());
    entry.list = ListOf(actor.GetX(), actor.GetY());
    std::vector<Member>& members = m_Lists[entry.list];
    const Member member{actor.GetX(),      actor.GetY(), entry.actor, entry.order,
                        actor.GetRadius(), slot,         entry.side};
    if (entry.list == StrayList())
    {
        entry.place = static_cast<std::uint32_t>(members.size());
        members.push_back(member);
    }
    else
    {
        const auto at = std::upper_bound(members.begin(), members.end(), member.x,
                                         [](double x, const Member& other) { return x < other.x; });
        const auto place = static_cast<std::size_t>(at - members.begin());
        members.insert(at, member);
        Renumber(members, place);
    }

    const int side = std::countr_zero(entry.side);
    entry.sidePrev = kNone;
    entry.sideNext = m_SideHeads[side];
    if (entry.sideNext != kNone)
        m_Entries[entry.sideNext].sidePrev = slot;
    m_SideHeads[side] = slot;
    ++m_SideCounts[side];
}

void CAreaCellIndex::Unlink(std::uint32_t slot)
{
    Entry& entry = m_Entries[slot];
    std::vector<Member>& members = m_Lists[entry.list];
    if (entry.list == StrayList())
    {
        // The last stray takes the place of the one leaving.
        if (entry.place + 1 != members.size())
        {
            members[entry.place] = members.back();
            m_Entries[members[entry.place].slot].place = entry.place;
        }
        members.pop_back();
    }
    else
    {
        members.erase(members.begin() + entry.place);
        Renumber(members, entry.place);
    }

    const int side = std::countr_zero(entry.side);
    if (entry.sidePrev != kNone)
        m_Entries[entry.sidePrev].sideNext = entry.sideNext;
    else
        m_SideHeads[side] = entry.sideNext;
    if (entry.sideNext != kNone)
        m_Entries[entry.sideNext].sidePrev = entry.sidePrev;
    --m_SideCounts[side];
}

void CAreaCellIndex::Update(CActor& actor)
{
    const std::uint32_t slot = actor.m_CellSlot;
    const Entry& entry = m_Entries[slot];
    if (entry.list == ListOf(actor.GetX(), actor.GetY()) &&
        entry.side == SideOf(actor.GetAttitude()) && std::abs(actor.GetRadius()) <= m_MaxRadius)
    {
        std::vector<Member>& members = m_Lists[entry.list];
        Member& member = members[entry.place];
        const bool moved = member.x != actor.GetX();
        member.x = actor.GetX();
        member.y = actor.GetY();
        member.radius = actor.GetRadius();
        if (moved && entry.list != StrayList())
            Resort(members, entry.place);
        return;
    }
    Unlink(slot);
    Link(slot);
}

CActor* CAreaCellIndex::FirstOverlapping(const CActor* mover, double r, double x, double y) const
{
    // Those whose squares the circle could reach, with room for rounding.
    const double reach = std::abs(r) + m_MaxRadius;
    const double margin = 1e-6 * (1.0 + std::abs(x) + std::abs(y) + reach);
    const Member* first = nullptr;
    const auto consider = [&](const Member& other)
    {
        if (other.actor == mover || (first != nullptr && other.order > first->order))
            return;
        const double dx = x - other.x;
        const double dy = y - other.y;
        const double touch = other.radius + r;
        if (dx * dx + dy * dy <= touch * touch)
            first = &other;
    };
    VisitMembersNear(x, y, reach + margin, kAllSides, consider);
    return first != nullptr ? first->actor : nullptr;
}

void CAreaCellIndex::Resort(std::vector<Member>& members, std::uint32_t place)
{
    while (place > 0 && members[place - 1].x > members[place].x)
    {
        std::swap(members[place - 1], members[place]);
        m_Entries[members[place].slot].place = place;
        --place;
        m_Entries[members[place].slot].place = place;
    }
    while (place + 1 < members.size() && members[place + 1].x < members[place].x)
    {
        std::swap(members[place + 1], members[place]);
        m_Entries[members[place].slot].place = place;
        ++place;
        m_Entries[members[place].slot].place = place;
    }
}

void CAreaCellIndex::Renumber(const std::vector<Member>& members, std::size_t from)
{
    for (std::size_t place = from; place < members.size(); ++place)
        m_Entries[members[place].slot].place = static_cast<std::uint32_t>(place);
}

void CAreaCellIndex::Forget(CActor& actor)
{
    Detach(actor.m_CellSlot);
    // The area still lists it: only a fresh start matches the list again.
    m_Stale = true;
}

// ------------------------------------------------------------ the actor's side

void CActor::TellCellIndex()
{
    m_CellIndex->Update(*this);
}

} // namespace VARD
