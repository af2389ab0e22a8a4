// Actors made from actor templates: by encounters, by summoning and by the
// console.

#include "world/actor_spawn.h"

#include "common/exception.h"
#include "world/actor.h"
#include "world/actor_template.h"
#include "world/brain.h"
#include "world/game.h"
#include "world/module.h"
#include "world/rule_tables.h"
#include "world/spell.h"

namespace VARD
{

namespace
{

void CopyTexts(CActor& actor, const CActorTemplate& source, const std::string& encounterName)
{
    actor.SetName(source.GetDisplayName());
    actor.SetSecondText(source.GetSecondText());
    actor.SetFigureColor(source.GetFigureColor());
    actor.SetFigureString(source.GetFigureString());
    actor.SetGraphicName(source.GetGraphicName());
    actor.SetTemplateName(source.GetName());
    actor.SetFurtherWord(kEncounterNameWord, encounterName);
    actor.SetTalkFiles(source.GetTalkStates());
}

// Level and level bonus come first: the reset sets the experience from them.
void CopyBody(CActor& actor, const CActorTemplate& source)
{
    actor.SetGender(source.GetGender());
    actor.SetCreatureKind(source.GetRace());
    actor.SetRadius(source.GetRadius());
    actor.SetSecondSize(source.GetSecondSize());
    actor.SetLevelBonus(source.GetLevelBonus());
    actor.SetClass(source.GetClass());
    actor.SetLevel(source.GetLevel());
    actor.SetFaction(source.GetFaction(), source.GetFactionRank());
}

// After the reset, which would otherwise undo them.
void CopyStats(CActor& actor, const CActorTemplate& source)
{
    for (std::uint32_t attribute = 0; attribute < source.GetAttributes().size(); ++attribute)
        actor.SetBaseAttribute(attribute, source.GetAttributes()[attribute]);
    actor.SetHitPointBase(source.GetHitPoints());
    actor.SetDefenseBase(source.GetDefense());
    actor.SetSaveBase(0, source.GetEscape());
    actor.SetSaveBase(1, source.GetFortitude());
    actor.SetSaveBase(2, source.GetResolve());
    actor.SetActionSpeedBase(source.GetActionSpeed());
    actor.SetMovementSpeedBase(source.GetMovementSpeed());
    actor.SetSpellResistanceBase(source.GetSpellResistance());
    actor.Attacks() = source.GetAttacks();
    actor.Skills() = source.GetSkills();
    actor.GetBuyTableForEdit() = source.GetBuyTable();
}

} // namespace

std::shared_ptr<CActor> CreateActorFromTemplate(const std::string& templateName,
                                                const std::string& encounterName,
                                                const CModule& module, CGame& game)
{
    const CActorTemplate* source = module.FindActorTemplate(templateName);
    if (source == nullptr)
        throw CVARDException(1, "the module has no actor template " +
                                    VARDCommon::QuoteForMessage(templateName));
    auto actor = std::make_shared<CActor>(game.NewThingId(kThingKindActor));

    CopyTexts(*actor, *source, encounterName);
    actor->SetAttitude(kAttitudeNeutral);
    actor->SetColors(source->GetColors());
    CopyBody(*actor, *source);
    actor->ResetCharacterStats();
    CopyStats(*actor, *source);

    for (const auto& item : source->GetItems())
        actor->AddBackpackItem(
            module.CreateItem(item.itemName, item.number, game.NewThingId(kThingKindItem), 0));

    for (const CSpell* spell : source->GetSpells())
        if (spell != nullptr && !actor->KnowsSpell(*spell))
            actor->AddSpell(*spell);
    actor->LearnQualifyingSpells(module, nullptr);
    actor->LearnFactionSpells(module, nullptr);

    // The brain holds the side the creature keeps to: townsfolk are friendly
    // and beasts hostile from the moment they appear.
    actor->SetBrain(source->CloneBrain());
    if (const auto& brain = actor->GetBrain())
        actor->SetAttitude(static_cast<std::uint32_t>(brain->GetAttitude()));

    actor->SetActivityState(kActivityIdle);
    actor->ClearCurrentTarget();

    if (actor->HasSkill(kSkillSneak))
        if (const CSpell* sneak = module.FindSpell("s_power-sneak"))
            actor->ActivatePower(*sneak, game.GetTick());
    return actor;
}

const std::string& GetEncounterName(const CActor& actor)
{
    return actor.GetFurtherWord(kEncounterNameWord);
}

} // namespace VARD
