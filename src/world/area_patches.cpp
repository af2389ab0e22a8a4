// The area side of patches, open doors, objects made from records and
// encounters.

#include "world/area.h"

#include "common/exception.h"
#include "world/actor.h"
#include "world/actor_spawn.h"
#include "world/event.h"
#include "world/game.h"
#include "world/module.h"
#include "world/object.h"
#include "world/patch.h"
#include "world/tile.h"
#include "world/world_object.h"

#include <algorithm>
#include <charconv>

namespace VARD
{

namespace
{

bool IsTagSet(const CGame* game, const std::string& tag)
{
    return game != nullptr && !tag.empty() && game->GetQuestTag(tag) != 0;
}

std::uint32_t DoorNumber(const std::string& word, const std::string& patchArea)
{
    // Door words are read as strings, which turn "0" into the empty word.
    if (word.empty())
        return 0;
    std::uint32_t value = 0;
    const auto parsed = std::from_chars(word.data(), word.data() + word.size(), value);
    if (parsed.ec != std::errc() || parsed.ptr != word.data() + word.size())
        throw CVARDException(
            1, "area " + VARDCommon::QuoteForMessage(patchArea) + ": an open-door patch names " +
                   VARDCommon::QuoteForMessage(word) + " where a column or row number belongs");
    return value;
}

} // namespace

// ---------------------------------------------------------------- patches

void CArea::ApplyTaggedPatches(const CModule& module, int mode, bool reset)
{
    const auto patches = m_Patches;
    for (const auto& patch : patches)
    {
        const bool tagSet = IsTagSet(m_Game, patch->GetTag());
        const auto applied = std::find(m_Applied.begin(), m_Applied.end(), patch->GetName());
        if (applied == m_Applied.end())
        {
            if (tagSet)
            {
                m_Applied.push_back(patch->GetName());
                ApplyPatch(*patch, module, mode, reset, false);
            }
        }
        else if (reset && !tagSet)
        {
            // The objects it made stay; only its tiles and doors are not laid again.
            m_Applied.erase(applied);
        }
        else
        {
            ApplyPatch(*patch, module, mode, reset, true);
        }
    }
}

void CArea::ApplyPatch(const CPatch& patch, const CModule& module, int mode, bool reset,
                       bool reapplication)
{
    for (const auto& action : patch.GetActions())
    {
        switch (action->GetKind())
        {
        case kPatchActionRemoveObject:
            if (!reapplication)
                RemoveObjectNamed(
                    static_cast<const CPatchActionRemoveObject&>(*action).GetObjectName());
            break;
        case kPatchActionObject:
            if (!reapplication)
                CreateObjectFromRecord(static_cast<const CPatchActionObject&>(*action), module);
            break;
        case kPatchActionEncounter:
        {
            const auto& record = static_cast<const CPatchActionEncounter&>(*action);
            // A patch whose tag was cleared and set again is applied anew to
            // an area whose encounter may still stand there: that is no
            // encounter placed twice, as it would be in a fresh file.
            if (!reapplication && mode != kAreaReadFresh &&
                BearsEncounterName(record.GetEncounterName()))
                break;
            if (!reapplication)
                PlaceEncounter(record, module, kAreaReadFresh, false);
            else if (mode == kAreaReadFresh || mode == kAreaReadLayout)
                PlaceEncounter(record, module, mode, reset);
            break;
        }
        case kPatchActionTiles:
            LayPatchTiles(static_cast<const CPatchActionTiles&>(*action), module);
            break;
        case kPatchActionEffect:
            if (!reapplication && m_Game != nullptr)
            {
                const auto& effect = static_cast<const CPatchActionEffect&>(*action);
                m_Game->PostEvent(std::make_shared<CEffectEvent>(
                    effect.GetEffectName(), effect.GetParams(), effect.GetX(), effect.GetY()));
            }
            break;
        case kPatchActionOpenDoor:
            OpenDoorsOfAction(static_cast<const CPatchActionOpenDoor&>(*action));
            break;
        default:
            throw CVARDException(2, "area " + VARDCommon::QuoteForMessage(m_Name) + ": patch " +
                                        VARDCommon::QuoteForMessage(patch.GetName()) +
                                        " has an action of kind " +
                                        std::to_string(action->GetKind()));
        }
    }
}

void CArea::ApplyPatchByName(const std::string& name, const CModule& module)
{
    const auto patches = m_Patches;
    for (const auto& patch : patches)
    {
        if (patch->GetName() != name)
            continue;
        if (std::find(m_Applied.begin(), m_Applied.end(), name) != m_Applied.end())
            continue;
        m_Applied.push_back(name);
        ApplyPatch(*patch, module, kAreaReadLayout, false, false);
    }
}

void CArea::RemoveObjectNamed(const std::string& name)
{
    for (const auto& object : m_Objects)
    {
        if (object->GetInstanceName() == name)
        {
            RemoveObject(object.get());
            return;
        }
    }
}

// ---------------------------------------------------------------- doors

void CArea::AddOpenDoor(std::uint32_t column, std::uint32_t row)
{
    auto door = std::make_shared<CAreaOpenDoor>();
    door->column = column;
    door->row = row;
    m_OpenDoors.push_back(std::move(door));
}

void CArea::RemoveOpenDoor(std::uint32_t column, std::uint32_t row)
{
    m_OpenDoors.remove_if([&](const auto& door)
                          { return door->column == column && door->row == row; });
}

// The door words are cells, a column and a row each.
void CArea::OpenDoorsOfAction(const CPatchActionOpenDoor& action)
{
    const auto& words = action.GetDoorWords();
    if (words.size() % 2 != 0)
        throw CVARDException(1, "area " + VARDCommon::QuoteForMessage(m_Name) +
                                    ": an open-door patch needs a column and a row per door");
    for (std::size_t i = 0; i < words.size(); i += 2)
    {
        const std::uint32_t column = DoorNumber(words[i], m_Name);
        const std::uint32_t row = DoorNumber(words[i + 1], m_Name);
        OpenDoorCell(column, row);
        // Applied again on every load: one record per cell is enough.
        const bool recorded = std::any_of(m_OpenDoors.begin(), m_OpenDoors.end(),
                                          [&](const auto& door)
                                          { return door->column == column && door->row == row; });
        if (!recorded)
            AddOpenDoor(column, row);
    }
    // The screen redraws the doors a patch opened.
    if (!words.empty() && m_Game != nullptr)
        m_Game->PostEvent(std::make_shared<CInfoEvent>(kEventDoorOpened));
}

void CArea::OpenDoorCell(std::uint32_t column, std::uint32_t row)
{
    const CTile* tile = GetTile(column, row);
    if (tile == nullptr)
        throw CVARDException(2, "area " + VARDCommon::QuoteForMessage(m_Name) + ": door cell (" +
                                    std::to_string(column) + ", " + std::to_string(row) +
                                    ") lies off the grid");
    tile->GetDoor()->SetOpen(true);
}

void CArea::ReopenDoors(bool reset)
{
    for (auto it = m_OpenDoors.begin(); it != m_OpenDoors.end();)
    {
        const std::uint32_t column = (*it)->column;
        const std::uint32_t row = (*it)->row;
        const CTile* tile = GetTile(column, row);
        if (tile == nullptr)
            throw CVARDException(2, "area " + VARDCommon::QuoteForMessage(m_Name) +
                                        ": open door (" + std::to_string(column) + ", " +
                                        std::to_string(row) + ") lies off the grid");
        CMasterTileDoor* door = tile->GetDoor();
        if (reset && door->GetTemplate()->GetReset())
        {
            it = m_OpenDoors.erase(it);
            continue;
        }
        door->SetOpen(true);
        ++it;
    }
}

// ---------------------------------------------------------------- objects

std::shared_ptr<CObject> CArea::CreateObjectFromRecord(const CPatchActionObject& record,
                                                       const CModule& module)
{
    const CObjectTemplate* definition = module.FindObjectTemplate(record.GetDefinitionName());
    if (definition == nullptr)
        throw CVARDException(1, "area " + VARDCommon::QuoteForMessage(m_Name) +
                                    ": the module has no object definition " +
                                    VARDCommon::QuoteForMessage(record.GetDefinitionName()));
    RequireOnGrid(m_Name + ".vard",
                  "object " + VARDCommon::QuoteForMessage(record.GetDefinitionName()),
                  record.GetX(), record.GetY());
    CGame& game = RequireGame("place objects");
    auto object = std::make_shared<CObject>(this, game.NewThingId(kThingKindObject),
                                            record.GetObjectName(), *definition);
    object->SetPosition(record.GetX(), record.GetY());
    object->SetFacing(static_cast<int>(record.GetFacing()));
    object->SetLockValue(record.GetLockValue());
    for (const auto& [itemName, number] : record.GetItems())
        object->AddItem(module.CreateItem(itemName, number, game.NewThingId(kThingKindItem), 0));
    AddObject(object);
    return object;
}

// ---------------------------------------------------------------- encounters

bool CArea::BearsEncounterName(const std::string& name) const
{
    // Actors of no encounter have an empty name, which no encounter claims.
    if (name.empty())
        return false;
    const auto bears = [&name](const std::shared_ptr<CActor>& actor)
    { return actor && GetEncounterName(*actor) == name; };
    if (std::any_of(m_Actors.begin(), m_Actors.end(), bears))
        return true;
    if (m_Game == nullptr)
        return false;
    const auto& party = m_Game->Party();
    return std::any_of(party.begin(), party.end(), bears);
}

void CArea::RemoveActorsBearing(const std::string& name)
{
    if (name.empty())
        return;
    const auto actors = m_Actors;
    for (const auto& actor : actors)
        if (GetEncounterName(*actor) == name)
            RemoveActor(actor.get());
}

void CArea::PlaceEncounter(const CPatchActionEncounter& record, const CModule& module, int mode,
                           bool reset)
{
    const std::string& name = record.GetEncounterName();
    if (mode == kAreaReadFresh)
    {
        if (BearsEncounterName(name))
            throw CVARDException(1, "area " + VARDCommon::QuoteForMessage(m_Name) + ": encounter " +
                                        VARDCommon::QuoteForMessage(name) + " is placed twice");
        SpawnEncounter(record, module);
        return;
    }
    if (mode != kAreaReadLayout || !record.GetRespawn())
        return;
    if (IsTagSet(m_Game, record.GetTagName()))
    {
        RemoveActorsBearing(name);
        return;
    }
    if (reset)
        RemoveActorsBearing(name);
    if (!BearsEncounterName(name))
        SpawnEncounter(record, module);
}

void CArea::SpawnEncounter(const CPatchActionEncounter& record, const CModule& module)
{
    CGame& game = RequireGame("spawn encounters");
    for (const auto& [templateName, secondText] : record.GetMonsters())
    {
        auto actor = CreateActorFromTemplate(templateName, record.GetEncounterName(), module, game);
        if (!secondText.empty())
            actor->SetSecondText(secondText);
        if (!FindFreeSpotNear(record.GetColumn(), record.GetRow(), false, actor))
            throw CVARDException(
                2, "area " + VARDCommon::QuoteForMessage(m_Name) + ": no free spot for " +
                       VARDCommon::QuoteForMessage(actor->GetName()) + " of encounter " +
                       VARDCommon::QuoteForMessage(record.GetEncounterName()) + " near (" +
                       std::to_string(record.GetColumn()) + ", " + std::to_string(record.GetRow()) +
                       ")");
    }
}

} // namespace VARD
