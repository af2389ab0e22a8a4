#pragma once

#include "rules/engine.h"
#include "world/actor.h"
#include "world/area.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace VARD
{

// Asks ahead of time for the lines of an actor that a pass over a crowd
// reads: the actors lie all over the heap, and a crowd of thousands does not
// stay in the processor's caches from one pass to the next.
inline void PrefetchActor(const CActor* actor)
{
    const char* start = reinterpret_cast<const char*>(actor);
    for (std::ptrdiff_t offset = 0; offset < CActor::kHotBytes; offset += 64)
        __builtin_prefetch(start + offset);
}

// The same for a brain: its settings and the behaviour it will run.
inline void PrefetchBrain(const CBrain* brain)
{
    __builtin_prefetch(brain);
    __builtin_prefetch(reinterpret_cast<const char*>(brain) + 64);
    __builtin_prefetch(reinterpret_cast<const char*>(brain) + 128);
}

// Actors of a list, each a few places ahead asked for as the walk goes on.
template <class List> class CPrefetchedActors
{
public:
    static constexpr std::ptrdiff_t kAhead = 4;

    explicit CPrefetchedActors(const List& list) : m_List(list) {}

    class Iterator
    {
    public:
        using Base = typename List::const_iterator;
        Iterator(Base at, Base end) : m_At(at), m_End(end) {}
        const std::shared_ptr<CActor>& operator*() const { return *m_At; }
        Iterator& operator++()
        {
            ++m_At;
            if (m_End - m_At > kAhead)
                PrefetchActor(m_At[kAhead].get());
            return *this;
        }
        bool operator!=(const Iterator& other) const { return m_At != other.m_At; }

    private:
        Base m_At;
        Base m_End;
    };

    Iterator begin() const
    {
        for (std::ptrdiff_t i = 0; i < kAhead && i < static_cast<std::ptrdiff_t>(m_List.size());
             ++i)
            PrefetchActor(m_List[static_cast<std::size_t>(i)].get());
        return Iterator(m_List.begin(), m_List.end());
    }
    Iterator end() const { return Iterator(m_List.end(), m_List.end()); }

private:
    const List& m_List;
};

// A copy of the current area's actors for one loop, so that actors added or
// removed by what the loop does leave it alone: the engine's snapshot, copied
// anew only when the list has changed since.
class CActorLoop
{
public:
    CActorLoop(CActorSnapshot& snapshot, const CArea& area)
    {
        if (snapshot.inUse)
        {
            m_Own.assign(area.Actors().begin(), area.Actors().end());
            return;
        }
        snapshot.inUse = true;
        m_Snapshot = &snapshot;
        if (snapshot.stamp != area.GetActorsStamp())
        {
            snapshot.actors.assign(area.Actors().begin(), area.Actors().end());
            snapshot.stamp = area.GetActorsStamp();
        }
        m_List = &snapshot.actors;
    }
    ~CActorLoop()
    {
        if (m_Snapshot != nullptr)
            m_Snapshot->inUse = false;
    }
    CActorLoop(const CActorLoop&) = delete;
    CActorLoop& operator=(const CActorLoop&) = delete;

    auto begin() const { return CPrefetchedActors(*m_List).begin(); }
    auto end() const { return CPrefetchedActors(*m_List).end(); }
    const std::vector<std::shared_ptr<CActor>>& List() const { return *m_List; }

private:
    CActorSnapshot* m_Snapshot = nullptr;
    std::vector<std::shared_ptr<CActor>> m_Own;
    const std::vector<std::shared_ptr<CActor>>* m_List = &m_Own;
};

} // namespace VARD
