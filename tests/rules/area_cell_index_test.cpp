// The area's indexes of actors and of blocking objects by cell against plain
// walks over the lists: random crowds that move, change sides and sizes, join
// and leave, with stacked actors and equal distances, must get the same
// targets, the same first actor in the way, the same first party member in
// sight, the same actor for an id and everyone near a point; random objects
// that move, turn, come and go must give the same first object in the way and
// the same answer for a line of fire.

#include "ai_test_util.h"

#include "world/actor.h"
#include "world/ai.h"
#include "world/area.h"
#include "world/index_slots.h"
#include "world/module.h"
#include "world/object.h"
#include "world/tile.h"
#include "world/world_object.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <random>

namespace
{

using VARD::CActor;

// The first actor of the list that a circle of the mover's radius at (x, y)
// would overlap.
CActor* FirstInTheWay(const VARD::CArea& area, const CActor* mover, double x, double y)
{
    const double r = mover != nullptr ? mover->GetRadius() : 0.0;
    for (const auto& other : area.Actors())
    {
        if (other.get() == mover)
            continue;
        const double dx = x - other->GetX();
        const double dy = y - other->GetY();
        const double reach = other->GetRadius() + r;
        if (dx * dx + dy * dy <= reach * reach)
            return other.get();
    }
    return nullptr;
}

// The first friendly actor of the list, not sneaking, within range of the
// watcher; nobody, for a watcher off the grid (in sight everywhere else).
CActor* FirstInSight(const VARD::CArea& area, const CActor& watcher, double range)
{
    if (!(watcher.GetX() >= 0.0 && watcher.GetY() >= 0.0 &&
          watcher.GetX() < area.GetWidth() * VARD::kCellSize &&
          watcher.GetY() < area.GetHeight() * VARD::kCellSize))
        return nullptr;
    for (const auto& actor : area.Actors())
        if (actor.get() != &watcher && actor->IsFriendly() && !actor->IsSneaking() &&
            watcher.DistanceTo(actor->GetX(), actor->GetY()) <= range)
            return actor.get();
    return nullptr;
}

// The first object of the list that blocks a circle of radius r at (x, y).
VARD::CObject* FirstObjectInTheWay(const VARD::CArea& area, double r, double x, double y)
{
    for (const auto& object : area.Objects())
        if (object->GetTileKind() != VARD::kTileKindFloor && object->DistanceToFootprint(x, y) < r)
            return object.get();
    return nullptr;
}

// Whether the segment crosses an edge of a solid object's footprint.
bool SegmentCrossesAnObject(const VARD::CArea& area, double ax, double ay, double x, double y)
{
    for (const auto& object : area.Objects())
    {
        const double halfX = object->GetSizeX() / 2.0;
        const double halfY = object->GetSizeY() / 2.0;
        const double left = object->GetX() - halfX, right = object->GetX() + halfX;
        const double top = object->GetY() - halfY, bottom = object->GetY() + halfY;
        if (object->GetTileKind() != VARD::kTileKindSolid)
            continue;
        for (const double xe : {left, right})
            if (ax != x && std::min(ax, x) <= xe && xe <= std::max(ax, x))
                if (const double ye = (xe - ax) * (ay - y) / (ax - x) + ay;
                    top <= ye && ye <= bottom)
                    return true;
        for (const double ye : {top, bottom})
            if (ay != y && std::min(ay, y) <= ye && ye <= std::max(ay, y))
                if (const double xe = (ye - ay) * (ax - x) / (ay - y) + ax;
                    left <= xe && xe <= right)
                    return true;
    }
    return false;
}

TEST(AreaCellIndex, AnswersAsThePlainWalksDoWhileTheCrowdChanges)
{
    constexpr std::uint32_t kWidth = 90;
    constexpr std::uint32_t kHeight = 70;
    AITest::Arena arena = AITest::NewArena(4242, kWidth, kHeight);
    VARD::CArea& area = *arena.area;
    std::mt19937 random(77);
    const auto pick = [&random](std::uint32_t count)
    { return static_cast<std::uint32_t>(random() % count); };
    // Places on a coarse lattice so that many candidates tie on distance.
    const auto place = [&](bool stray)
    {
        const double width = kWidth * VARD::kCellSize;
        const double height = kHeight * VARD::kCellSize;
        if (stray)
            return std::pair{pick(2) == 0 ? -3.75 : width + 5.0, pick(40) * 1.25};
        return std::pair{pick(static_cast<std::uint32_t>(width / 2.5)) * 2.5,
                         pick(static_cast<std::uint32_t>(height / 2.5)) * 2.5};
    };
    static const std::array<const char*, 5> kKinds = {"orc_warrior", "orc_archer", "cultist",
                                                      "wolf", "town_guard"};
    static const std::array<std::uint32_t, 5> kSides = {
        VARD::kAttitudeParty, VARD::kAttitudeFriendly, VARD::kAttitudeNeutral,
        VARD::kAttitudeHostile, VARD::kAttitudeBerserk};
    const auto spawn = [&]
    {
        const auto [x, y] = place(false);
        const auto actor = arena.Spawn(kKinds[pick(kKinds.size())], x, y);
        actor->SetAttitude(kSides[pick(kSides.size())]);
    };
    for (int i = 0; i < 160; ++i)
        spawn();
    // Solid, empty and floor objects as the demo has them, and a rampart too
    // large to file square by square.
    std::vector<std::shared_ptr<VARD::CObjectTemplate>> objectKinds;
    for (const char* text : {"<object> barrel \"B\" obj_barrel solid true 1 1 1.5 </object>",
                             "<object> chest \"C\" obj_chest solid true 1.5 1 1 </object>",
                             "<object> exit \"E\" obj_exit empty false 2.5 2.5 0.1 </object>",
                             "<object> plate \"P\" obj_plate floor false 2.5 2.5 0.1 </object>",
                             "<object> rampart \"R\" obj_barrel solid true 160 40 4 </object>"})
    {
        auto reader = TestUtil::ReaderOf(text);
        objectKinds.push_back(std::make_shared<VARD::CObjectTemplate>(reader));
    }
    const auto addObject = [&](bool stray)
    {
        auto object = std::make_shared<VARD::CObject>(
            &area, arena.Game().NewThingId(VARD::kThingKindObject), std::string(),
            *objectKinds[pick(60) == 0 ? 4 : pick(4)]);
        object->SetPosition(place(stray).first, place(stray).second);
        object->SetFacing(static_cast<int>(pick(5)));
        area.AddObject(object);
    };
    for (int i = 0; i < 120; ++i)
        addObject(false);
    const VARD::CSpell* spell = arena.engine->Module().FindSpell("heal");
    ASSERT_NE(spell, nullptr);

    int found = 0;
    int narrowed = 0;
    int sighted = 0;
    int blocked = 0;
    int objectBlocked = 0;
    int crossed = 0;
    for (int round = 0; round < 400; ++round)
    {
        // Strays (off the grid) only in some rounds: they send the searches
        // down the plain walk.
        const bool strays = round % 100 >= 80;
        for (int change = 0; change < 6; ++change)
        {
            const auto& actors = area.Actors();
            const std::shared_ptr<CActor> actor = actors[pick(actors.size())];
            switch (pick(6))
            {
            case 0:
            case 1:
            {
                const auto [x, y] = place(strays && pick(4) == 0);
                actor->SetPosition(x, y);
                break;
            }
            case 2:
                actor->SetAttitude(kSides[pick(kSides.size())]);
                break;
            case 3:
                actor->SetRadius(0.5 * (1 + pick(8)));
                break;
            case 4:
                if (actor.get() != &arena.Hero() && actors.size() > 100)
                    area.RemoveActor(actor.get());
                break;
            default:
                spawn();
                break;
            }
        }
        for (int change = 0; change < 3; ++change)
        {
            const auto& objects = area.Objects();
            const std::shared_ptr<VARD::CObject> object = objects[pick(objects.size())];
            switch (pick(5))
            {
            case 0:
                object->SetPosition(place(strays && pick(4) == 0).first, place(false).second);
                break;
            case 1:
                object->SetFacing(static_cast<int>(pick(5)));
                break;
            case 2:
                if (objects.size() > 100)
                    area.RemoveObject(object.get());
                break;
            case 3:
                area.CreatePile(place(false).first, place(false).second);
                break;
            default:
                addObject(strays && pick(4) == 0);
                break;
            }
        }
        if (round % 100 == 80)
            area.Objects()[pick(area.Objects().size())]->SetPosition(std::nan(""), 40.0);
        if (!strays)
        {
            for (const auto& actor : area.Actors())
                if (!(actor->GetX() >= 0.0 && actor->GetX() < kWidth * VARD::kCellSize))
                    actor->SetPosition(place(false).first, place(false).second);
            for (const auto& object : area.Objects())
                if (!(object->GetX() >= 0.0 && object->GetX() < kWidth * VARD::kCellSize))
                    object->SetPosition(place(false).first, place(false).second);
        }

        const auto& actors = area.Actors();
        for (int query = 0; query < 12; ++query)
        {
            CActor& seeker = *actors[pick(actors.size())];
            const std::uint32_t flags = pick(8);
            const double range = 5.0 + pick(60);
            const VARD::CSpell* with = pick(3) == 0 ? spell : nullptr;
            CActor* target = VARD::CAI::FindTarget(*arena.engine, seeker, flags, with, range);
            EXPECT_EQ(target,
                      VARD::CAI::FindTargetByWalk(*arena.engine, seeker, flags, with, range))
                << "round " << round << " flags " << flags;
            found += target != nullptr ? 1 : 0;

            // Those who may stand within range along both axes: in list
            // order, leaving out none that does.
            std::vector<CActor*> near;
            area.CollectActorsNear(seeker.GetX(), seeker.GetY(), range, near);
            std::vector<std::size_t> places;
            for (const CActor* actor : near)
                places.push_back(static_cast<std::size_t>(
                    std::find_if(actors.begin(), actors.end(),
                                 [actor](const auto& listed) { return listed.get() == actor; }) -
                    actors.begin()));
            EXPECT_TRUE(std::is_sorted(places.begin(), places.end()) &&
                        std::adjacent_find(places.begin(), places.end()) == places.end() &&
                        (places.empty() || places.back() < actors.size()))
                << "round " << round;
            for (std::size_t i = 0; i < actors.size(); ++i)
            {
                const bool within = std::abs(actors[i]->GetX() - seeker.GetX()) <= range &&
                                    std::abs(actors[i]->GetY() - seeker.GetY()) <= range;
                EXPECT_TRUE(!within || std::binary_search(places.begin(), places.end(), i))
                    << "round " << round;
            }
            narrowed += near.size() < actors.size() / 2 ? 1 : 0;

            CActor* seen = nullptr;
            area.FindVisiblePartyMember(seeker, &seen, range);
            EXPECT_EQ(seen, FirstInSight(area, seeker, range)) << "round " << round;
            sighted += seen != nullptr ? 1 : 0;

            for (const std::uint32_t id : {seeker.Id(), seeker.Id() + 1, seeker.Id() + 7})
                EXPECT_EQ(area.FindActorById(id), VARD::FindThingById(area.Actors(), id));

            const CActor* mover = pick(5) == 0 ? nullptr : actors[pick(actors.size())].get();
            const auto [x, y] = place(false);
            VARD::CActor* inTheWay = nullptr;
            const bool free = area.IsClearOfActors(mover, &inTheWay, x, y);
            EXPECT_EQ(inTheWay, FirstInTheWay(area, mover, x, y)) << "round " << round;
            EXPECT_EQ(free, inTheWay == nullptr);
            blocked += free ? 0 : 1;

            VARD::CObject* objectInTheWay = nullptr;
            area.IsClearOfObjects(mover, &objectInTheWay, x, y);
            const double r = mover != nullptr ? mover->GetRadius() : 0.0;
            EXPECT_EQ(objectInTheWay, FirstObjectInTheWay(area, r, x, y)) << "round " << round;
            objectBlocked += objectInTheWay != nullptr ? 1 : 0;
            const bool clear = area.IsSegmentClearOfObjects(seeker, x, y);
            EXPECT_EQ(clear, !SegmentCrossesAnObject(area, seeker.GetX(), seeker.GetY(), x, y))
                << "round " << round;
            crossed += clear ? 0 : 1;
        }
    }
    // Both kinds of answer came up often enough to mean something.
    EXPECT_GT(found, 1500);
    EXPECT_GT(narrowed, 1500);
    EXPECT_GT(sighted, 500);
    EXPECT_GT(blocked, 300);
    EXPECT_LT(blocked, 4500);
    EXPECT_GT(objectBlocked, 300);
    EXPECT_LT(objectBlocked, 4000);
    EXPECT_GT(crossed, 300);
    EXPECT_LT(crossed, 4500);
}

// The table of slots by id against a map that keeps each id's first claim:
// actor numbers in and far beyond the plain table, the same numbers under
// other kinds, claims given up by their holders or by others.
TEST(SlotsById, KeepsEachIdsFirstClaimAsAMapDoes)
{
    using VARD::MakeThingId;
    std::vector<std::uint32_t> ids = {0u, MakeThingId(VARD::kThingKindActor, 0xFFFFFFu)};
    for (const std::uint32_t number : {1u, 2u, 7u, 300u, (1u << 20) - 1, 1u << 20, 5000000u})
        for (const std::uint32_t kind : {VARD::kThingKindActor, VARD::kThingKindObject})
            ids.push_back(MakeThingId(kind, number));
    VARD::CSlotsById table;
    std::map<std::uint32_t, std::uint32_t> plain;
    std::mt19937 random(57);
    int refused = 0;
    int kept = 0;
    for (int step = 0; step < 4000; ++step)
    {
        const std::uint32_t id = ids[random() % ids.size()];
        const std::uint32_t slot = random() % 6;
        switch (random() % 9)
        {
        case 0:
        case 1:
        case 2:
        case 3:
        {
            const bool added = table.Add(id, slot);
            EXPECT_EQ(added, plain.emplace(id, slot).second) << "step " << step;
            refused += added ? 0 : 1;
            break;
        }
        case 4:
        case 5:
        case 6:
        {
            const auto held = plain.find(id);
            if (held != plain.end() && held->second == slot)
                plain.erase(held);
            else
                kept += held != plain.end() ? 1 : 0;
            table.Remove(id, slot);
            break;
        }
        case 7:
        {
            // Given up by its holder.
            const auto held = plain.find(id);
            if (held != plain.end())
            {
                table.Remove(id, held->second);
                plain.erase(held);
            }
            break;
        }
        default:
            if (step % 500 == 0)
            {
                table.Clear();
                plain.clear();
            }
            break;
        }
        for (const std::uint32_t asked : ids)
        {
            const auto held = plain.find(asked);
            EXPECT_EQ(table.Find(asked),
                      held == plain.end() ? VARD::CSlotsById::kNone : held->second)
                << "step " << step << " id " << asked;
        }
    }
    EXPECT_GT(refused, 300);
    EXPECT_GT(kept, 300);
}

} // namespace
