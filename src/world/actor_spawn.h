#pragma once

#include "world/area.h"

#include <memory>
#include <string>

namespace VARD
{

class CActor;
class CGame;
class CModule;

// A new actor made from the actor template of that name, not yet placed:
// the template's values copied in, its items made, its spells learnt, its
// brain cloned (the actor takes the brain's attitude as its side), idle, and
// sneaking when it has the skill. Code 1 for a template the module lacks.
std::shared_ptr<CActor> CreateActorFromTemplate(const std::string& templateName,
                                                const std::string& encounterName,
                                                const CModule& module, CGame& game);

// The encounter that spawned the actor; empty for any other actor.
const std::string& GetEncounterName(const CActor& actor);

} // namespace VARD
