#pragma once

#include "common/tag_file_fwd.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace VARDGraph
{
class CEffectParams;
} // namespace VARDGraph

namespace VARD
{

// Kinds of patch actions; the area dispatches on them.
enum : std::int32_t
{
    kPatchActionRemoveObject = 0,
    kPatchActionObject = 1,
    kPatchActionEncounter = 2,
    kPatchActionTiles = 3,
    kPatchActionEffect = 4,
    kPatchActionOpenDoor = 5,
};

// One change of a patch. The area file reuses the object and encounter
// records for its own placements.
class CPatchAction
{
public:
    virtual ~CPatchAction() = default;
    virtual std::int32_t GetKind() const = 0;
};

// <removeobject> object name </removeobject>
class CPatchActionRemoveObject : public CPatchAction
{
public:
    explicit CPatchActionRemoveObject(VARDCommon::CTagFileReader& reader);
    std::int32_t GetKind() const override { return kPatchActionRemoveObject; }

    const std::string& GetObjectName() const { return m_ObjectName; }

private:
    std::string m_ObjectName;
};

// <object> an object to place, with the items it holds.
class CPatchActionObject : public CPatchAction
{
public:
    explicit CPatchActionObject(VARDCommon::CTagFileReader& reader);
    std::int32_t GetKind() const override { return kPatchActionObject; }

    const std::string& GetDefinitionName() const { return m_DefinitionName; }
    const std::string& GetObjectName() const { return m_ObjectName; }
    double GetX() const { return m_X; }
    double GetY() const { return m_Y; }
    // 0 north, 1 east, 2 south, 3 west; 4 for a word that names no direction.
    std::uint32_t GetFacing() const { return m_Facing; }
    std::uint32_t GetLockValue() const { return m_LockValue; }
    // Item template name and number, in file order.
    const std::vector<std::pair<std::string, std::uint32_t>>& GetItems() const { return m_Items; }

private:
    std::string m_DefinitionName;
    std::string m_ObjectName;
    double m_X = 0.0;
    double m_Y = 0.0;
    std::uint32_t m_Facing = 0;
    std::uint32_t m_LockValue = 0;
    std::vector<std::pair<std::string, std::uint32_t>> m_Items;
};

// <encounter> a named group of monsters at a cell.
class CPatchActionEncounter : public CPatchAction
{
public:
    explicit CPatchActionEncounter(VARDCommon::CTagFileReader& reader);
    std::int32_t GetKind() const override { return kPatchActionEncounter; }

    const std::string& GetEncounterName() const { return m_EncounterName; }
    std::uint32_t GetColumn() const { return m_Column; }
    std::uint32_t GetRow() const { return m_Row; }
    // Kept with the record; placing the encounter does not use it.
    const std::string& GetText() const { return m_Text; }
    // Empty = none.
    const std::string& GetTagName() const { return m_TagName; }
    bool GetRespawn() const { return m_Respawn; }
    // Actor template name and second text (empty = none), in file order.
    const std::vector<std::pair<std::string, std::string>>& GetMonsters() const
    {
        return m_Monsters;
    }

private:
    std::string m_EncounterName;
    std::uint32_t m_Column = 0;
    std::uint32_t m_Row = 0;
    std::string m_Text;
    std::string m_TagName;
    bool m_Respawn = false;
    std::vector<std::pair<std::string, std::string>> m_Monsters;
};

// One tile that a patch lays.
struct CPatchTile
{
    std::uint32_t column = 0;
    std::uint32_t row = 0;
    std::string tileName;
    std::uint32_t orientation = 0; // a direction 0..3; 4 for a word that names none
};

// <tiles> tiles to lay </tiles>
class CPatchActionTiles : public CPatchAction
{
public:
    explicit CPatchActionTiles(VARDCommon::CTagFileReader& reader);
    std::int32_t GetKind() const override { return kPatchActionTiles; }

    const std::vector<std::shared_ptr<CPatchTile>>& GetTiles() const { return m_Tiles; }

private:
    std::vector<std::shared_ptr<CPatchTile>> m_Tiles;
};

// <effect> a particle effect shown at a point.
class CPatchActionEffect : public CPatchAction
{
public:
    explicit CPatchActionEffect(VARDCommon::CTagFileReader& reader);
    std::int32_t GetKind() const override { return kPatchActionEffect; }

    const std::string& GetEffectName() const { return m_EffectName; }
    double GetX() const { return m_X; }
    double GetY() const { return m_Y; }
    const std::shared_ptr<VARDGraph::CEffectParams>& GetParams() const { return m_Params; }

private:
    std::string m_EffectName;
    double m_X = 0.0;
    double m_Y = 0.0;
    std::shared_ptr<VARDGraph::CEffectParams> m_Params;
};

// <opendoor> door words </opendoor>
class CPatchActionOpenDoor : public CPatchAction
{
public:
    explicit CPatchActionOpenDoor(VARDCommon::CTagFileReader& reader);
    std::int32_t GetKind() const override { return kPatchActionOpenDoor; }

    const std::vector<std::string>& GetDoorWords() const { return m_DoorWords; }

private:
    std::vector<std::string> m_DoorWords;
};

// Builds the action whose start tag is current; code 1 for any other token.
std::shared_ptr<CPatchAction> ReadPatchAction(VARDCommon::CTagFileReader& reader);

// A named set of changes to an area, switched on by a quest tag.
class CPatch
{
public:
    // One <patch> record; code 1 for a malformed record.
    explicit CPatch(VARDCommon::CTagFileReader& reader);

    const std::string& GetName() const { return m_Name; }
    const std::string& GetTag() const { return m_Tag; }
    const std::vector<std::shared_ptr<CPatchAction>>& GetActions() const { return m_Actions; }

private:
    std::string m_Name;
    std::string m_Tag;
    std::vector<std::shared_ptr<CPatchAction>> m_Actions;
};

} // namespace VARD
