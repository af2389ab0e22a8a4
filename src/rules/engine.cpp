// The engine object: module set-up, new game and the main character.

#include "rules/engine.h"

#include "common/data_file.h"
#include "common/exception.h"
#include "world/actor.h"
#include "world/game.h"
#include "world/module.h"
#include "world/script_record.h"
#include "world/thing.h"

#include <filesystem>

namespace VARD
{

namespace
{

constexpr double kMainCharacterRadius = 1.5;
constexpr double kMainCharacterSecondSize = 6.0;
constexpr std::uint32_t kCreatureKindHuman = 5;

} // namespace

CEngine::CEngine() = default;
CEngine::~CEngine()
{
    // Before the game and its areas go.
    m_ActorSnapshot.actors.clear();
}

CGame& CEngine::Game() const
{
    if (!m_Game)
        throw CVARDException(2, "no game is running");
    return *m_Game;
}

const CModule& CEngine::Module() const
{
    if (!m_Module)
        throw CVARDException(2, "no module is loaded");
    return *m_Module;
}

void CEngine::LoadModule(const std::string& rootPath, bool packed)
{
    if (packed)
        m_Factory = std::make_shared<VARDCommon::CDataFileFactoryPacked>(rootPath);
    else
        m_Factory = std::make_shared<VARDCommon::CDataFileFactoryPath>(rootPath);
    m_Module = std::make_shared<CModule>();
    m_Module->Load(m_Factory);
}

void CEngine::LoadModule(const std::string& rootPath)
{
    // A module that is not there at all is named as such, not by the first
    // file that cannot be found inside it.
    std::error_code error;
    const auto status = std::filesystem::status(rootPath, error);
    if (!std::filesystem::exists(status))
        throw CVARDException(1, rootPath + ": no module folder or archive is there");
    if (!std::filesystem::is_regular_file(status) && !std::filesystem::is_directory(status))
        throw CVARDException(1, rootPath + ": a module is a folder or an archive file");
    LoadModule(rootPath, std::filesystem::is_regular_file(status));
}

std::shared_ptr<CActor> CEngine::NewGame()
{
    const CModule& module = Module();
    m_Game = std::make_shared<CGame>();
    m_Game->Reset();
    m_Game->SetModule(&module);
    m_Game->SetStartDate(static_cast<std::int32_t>(module.GetStartYear()),
                         static_cast<std::int32_t>(module.GetStartDay()),
                         static_cast<std::int32_t>(module.GetStartHour()));
    // The first EnterArea needs a destination: the module's start.
    m_Game->SetTravel(module.GetStartArea(), module.GetStartEntry());

    auto actor = std::make_shared<CActor>(m_Game->NewThingId(kThingKindActor));
    CreateMainCharacter(*actor);
    return actor;
}

void CEngine::CreateMainCharacter(CActor& actor)
{
    actor.SetName("NoName");
    actor.SetTemplateName(kMainTemplateName);
    actor.SetSecondText("");
    actor.SetLevelBonus(-1);
    actor.SetLevel(1);
    actor.ResetCharacterStats();
    actor.SetRadius(kMainCharacterRadius);
    actor.SetSecondSize(kMainCharacterSecondSize);
    actor.SetCreatureKind(kCreatureKindHuman);
    Game().SetGold(0);
}

void CEngine::SetMainCharacter(const std::shared_ptr<CActor>& actor)
{
    CGame& game = Game();
    JoinPartyMember(*actor);
    game.Party().clear();
    game.AddPartyMember(actor);
    game.AddNonLocated(actor);
}

void CEngine::JoinPartyMember(CActor& actor)
{
    const CModule& module = Module();
    actor.LearnQualifyingSpells(module, nullptr);
    actor.LearnFactionSpells(module, nullptr);
    actor.SetActivityState(kActivityIdle);
    actor.ClearCurrentTarget();
    actor.SetInterrupted(false);
    actor.RollHitPoints();
    actor.SetDamageTaken(0);
    actor.SetLastDamage(0);
    actor.SetLastDamageSource(0);
    actor.SetFurtherCounter(0);
    actor.SetEnergySpent(0);
    actor.SetAlarmTick(0);
    actor.SetNextActionTick(0);
}

void CEngine::SetTravelDestination(const std::string& area, const std::string& entry)
{
    CGame& game = Game();
    if (game.GetState() != kGameOnWorldMap)
        throw CVARDException(2, "a destination is chosen only on the world map");
    game.SetTravel(area, entry);
    game.SetExitScript(nullptr);
    game.SetState(kGameDestinationKnown);
}

std::int32_t CEngine::RunScript(CScript& script, CActor* actor)
{
    CScriptContext context;
    context.engine = this;
    context.actor = actor;
    return script.Run(this, context);
}

} // namespace VARD
