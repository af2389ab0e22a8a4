#include "tool_support.h"

#include "rules/engine.h"
#include "world/actor.h"
#include "world/effect_params.h"
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

std::shared_ptr<VARDGraph::CGraphicColors> CreationColours()
{
    return std::make_shared<VARDGraph::CGraphicColors>(0x5A3A1Eu, 0xE0B090u, 0x2848A0u);
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

    constexpr std::uint32_t kCreationAttributePoints = 72;
    actor->SetAttributePoints(kCreationAttributePoints);
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
    const auto& heads = engine.Module().GetHeads(genderIndex);
    if (!heads.empty())
        actor->SetGraphicName(heads.front()->head);
    actor->SetColors(CreationColours());
    actor->SetName(name);
    engine.SetMainCharacter(actor);
}

} // namespace ToolSupport
