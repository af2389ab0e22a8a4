#pragma once

#include <cstdint>

namespace VARD
{

// Thing kinds, kept in the top byte of a thing id.
enum : std::uint32_t
{
    kThingKindTile = 1,
    kThingKindObject = 2,
    kThingKindActor = 3,
    kThingKindEffect = 4,
    kThingKindItem = 5,
};

constexpr std::uint32_t MakeThingId(std::uint32_t kind, std::uint32_t number)
{
    return (kind << 24) | (number & 0xFFFFFFu);
}
constexpr std::uint32_t ThingKindOf(std::uint32_t id)
{
    return id >> 24;
}
constexpr std::uint32_t ThingNumberOf(std::uint32_t id)
{
    return id & 0xFFFFFFu;
}

// Base of every placed thing: tiles, objects, actors, effects in flight, items.
class CThing
{
public:
    virtual ~CThing() = default;
    virtual void GetId(std::uint32_t& id) const = 0;

    // Convenience for callers that want the id as a value.
    std::uint32_t Id() const
    {
        std::uint32_t id = 0;
        GetId(id);
        return id;
    }
};

} // namespace VARD
