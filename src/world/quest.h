#pragma once

#include "common/tag_file_fwd.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace VARD
{

class CEngine;
class CModule;
class CScript;

// Quest tags (and revealed world-map places): name to value; a tag counts
// as set when it is present and non-zero.
using QuestTagMap = std::map<std::string, std::int32_t>;

// True when the tag is present with a non-zero value.
bool IsQuestTagSet(const QuestTagMap& tags, const std::string& name);

// A quest of the module: completed once its required tag is set and its
// script reports success; completion sets the tag of the quest's own name.
class CQuestInfo
{
public:
    // One <quest> record; code 1 for a malformed record.
    explicit CQuestInfo(VARDCommon::CTagFileReader& reader);
    CQuestInfo(std::string name, std::string displayName, std::uint32_t experience,
               std::string requiredTag, std::shared_ptr<CScript> script);

    const std::string& GetName() const { return m_Name; }
    const std::string& GetDisplayName() const { return m_DisplayName; }
    std::uint32_t GetExperience() const { return m_Experience; }
    // Empty when the quest needs no tag.
    const std::string& GetRequiredTag() const { return m_RequiredTag; }
    // Null for a quest written without a script.
    const std::shared_ptr<CScript>& GetScript() const { return m_Script; }

    // The completion test of one quest against the game's tags: false when
    // the quest is already completed, when its required tag is not set, or
    // when it has no script; otherwise the script's result (non-zero is
    // success). A quest without a script can only be completed by setting its
    // tag directly, so it never completes here. Code 6 from a failing script.
    bool TestCompletion(const QuestTagMap& tags, CEngine* engine) const;

private:
    std::string m_Name;
    std::string m_DisplayName;
    std::uint32_t m_Experience = 0;
    std::string m_RequiredTag;
    std::shared_ptr<CScript> m_Script;
};

// "quests.vard": <quests> <quest>... </quests>. Each quest is stored under its
// name; a later one of the same name replaces the earlier.
void ReadQuestsFile(VARDCommon::CTagFileReader& reader, CModule& module);

} // namespace VARD
