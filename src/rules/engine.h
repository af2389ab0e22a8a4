#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace VARDCommon
{
class CDataFileFactory;
} // namespace VARDCommon

namespace VARD
{

class CActor;
class CAreaEntry;
class CGame;
class CItem;
class CModule;
class COrder;
class CScript;
class CSpell;
class CTalkState;
class CTalkTarget;

// The one object through which the shell reaches the game: it owns the data
// files, the loaded module and the running game, and runs the ticks. Nothing
// here knows a window, a clock or a file chooser.
class CEngine
{
public:
    CEngine();
    ~CEngine();
    CEngine(const CEngine&) = delete;
    CEngine& operator=(const CEngine&) = delete;

    const std::shared_ptr<VARDCommon::CDataFileFactory>& GetFactory() const { return m_Factory; }
    const std::shared_ptr<CGame>& GetGame() const { return m_Game; }
    const std::shared_ptr<CModule>& GetModule() const { return m_Module; }
    // The running game; code 2 before a game exists.
    CGame& Game() const;
    // The loaded module; code 2 before one is loaded.
    const CModule& Module() const;

    // ------------------------------------------------- set-up (engine.cpp)
    // A folder (packed false) or an archive file (packed true).
    void LoadModule(const std::string& rootPath, bool packed);
    // A path opens as an archive exactly when it names an existing file.
    void LoadModule(const std::string& rootPath);
    // A fresh game whose travel target is the module's start; the main
    // character it returns is for the creation pages to finish.
    std::shared_ptr<CActor> NewGame();
    void SetMainCharacter(const std::shared_ptr<CActor>& actor);
    // Readies an actor for the party: spells, idle, no target, full health.
    void JoinPartyMember(CActor& actor);
    // Code 2 unless the party is on the world map (state 4).
    void SetTravelDestination(const std::string& area, const std::string& entry);

    // --------------------------------------- areas (engine_areas.cpp)
    void EnterArea();
    void LeaveArea();
    void ResurrectParty();
    // Code 1 for an entry the current area lacks.
    void PlaceParty(const std::string& entryName);
    void PlacePartyMember(const CAreaEntry& entry);

    // ------------------------------------------------------ tick (tick.cpp)
    void Tick();
    void ExecuteInstantOrders();

    // --------------------------------- console and quests (console.cpp)
    void CompleteQuest(const std::string& tag, std::int32_t value);
    void OnItemAcquired(const CItem& item);
    void WizardCreateItem(const std::string& templateName);
    void WizardSetSkill(CActor& actor, const std::string& skillName, std::int32_t value);
    void WizardHeal();
    void WizardMoveParty(double x, double y);
    void AddPersonOnTalk(CTalkTarget& target);

    // -------------------------- actor update and timed orders (actor_update.cpp)
    void UpdateActors();
    void UpkeepPowers();
    void ExecuteTimedOrders();

    // ------------------------------------------ effects in flight (effects.cpp)
    void UpdateEffects();

    // --------------------------------------------------- upkeep (upkeep.cpp)
    void PropagateAlerts();
    bool IsPartySafe();
    void UpdateTraps();
    void UpdateAmbience();
    void ProcessDeaths();
    void ExpireCreatedItems();
    void UpdateStealth();
    void CheckAreaExits();
    // Schedules the next heartbeat 150 to 449 ticks ahead.
    void ScheduleAmbience();

    // ------------------------------------ item orders (item_orders.cpp)
    void DoWield(CActor& actor, const COrder& order);
    void DoUnwield(CActor& actor, const COrder& order);
    void DoGet(CActor& actor, const COrder& order);
    void DoDrop(CActor& actor, const COrder& order);
    void DoSplit(CActor& actor, const COrder& order);
    void DoCombine(CActor& actor, const COrder& order);
    void DoGive(CActor& actor, const COrder& order);

    // ------------------- talk, party, points, power, store (party_orders.cpp)
    void DoTalk(CActor& actor, const COrder& order);
    void DismissPartyMember(CActor& actor, const COrder& order);
    void DoSpendPoints(CActor& actor, const COrder& order);
    void DoPower(CActor& actor, const COrder& order);
    void DoStore(CActor& actor, const COrder& order);
    void RefreshPartyMembers();

    // ------------------------------- using items, doors, containers (use_items.cpp)
    // The instant form: only an item use (kind 5) runs here.
    void DoUse(CActor& actor, const COrder& order);

private:
    void CreateMainCharacter(CActor& actor);
    void LoadTravelArea();
    void RestoreMember(CActor& actor);
    // Runs a script with a fresh context; the result is the script's.
    std::int32_t RunScript(CScript& script, CActor* actor);
    void RunInstantOrder(CActor& actor, const std::shared_ptr<COrder>& order);

    // Released in the reverse order: module, game, factory.
    std::shared_ptr<VARDCommon::CDataFileFactory> m_Factory;
    std::shared_ptr<CGame> m_Game;
    std::shared_ptr<CModule> m_Module;
};

} // namespace VARD
