#include "tool_support.h"

#include "rules/character_creation.h"
#include "rules/engine.h"
#include "world/actor.h"
#include "world/module.h"
#include "world/rule_tables.h"

#include <exception>
#include <memory>

namespace ToolSupport
{

std::uint32_t ParseWholeNumber(const std::string& text, const std::string& what)
{
    std::size_t used = 0;
    unsigned long value = 0;
    try
    {
        value = std::stoul(text, &used);
    }
    catch (const std::exception&)
    {
        used = 0;
    }
    if (used != text.size() || text.empty() || text[0] == '-' || value > 0xFFFFFFFFul)
        throw UsageError{what + " must be a whole number, not \"" + text + "\""};
    return static_cast<std::uint32_t>(value);
}

void CreateMainCharacter(VARD::CEngine& engine, const std::string& name,
                         const std::string& characterClass, const std::string& gender)
{
    const int genderIndex = gender == "male" ? 0 : gender == "female" ? 1 : -1;
    if (genderIndex < 0)
        throw UsageError{"the gender is male or female, not \"" + gender + "\""};
    const std::shared_ptr<VARD::CActor> actor = engine.NewGame();
    actor->SetGender(static_cast<std::uint32_t>(genderIndex));
    actor->SetClass(static_cast<std::uint32_t>(VARD::FindClassByKey(characterClass)));

    VARD::BeginCreationAttributes(*actor);
    for (bool raised = true; raised;)
    {
        raised = false;
        for (std::uint32_t attribute = 0; attribute < 5; ++attribute)
        {
            if (actor->GetAttributePoints() <
                VARD::CActor::GetAttributeRaiseCost(actor->GetBaseAttribute(attribute)))
                continue;
            actor->RaiseAttribute(attribute);
            raised = true;
        }
    }
    actor->ResetSkillPoints();
    for (int skill = 0; skill < VARD::kSkillCount; ++skill)
    {
        if (actor->CanLearnSkill(skill))
            actor->LearnSkill(skill);
    }
    VARD::ChooseCreationHead(engine.Module(), *actor, 0);
    VARD::ApplyCreationColours(*actor, 0, 0, 0);
    const std::string kept = VARD::CleanCreatedName(name);
    if (kept.empty())
        throw UsageError{"the name must hold more than blanks"};
    actor->SetName(kept);
    engine.SetMainCharacter(actor);
}

} // namespace ToolSupport
