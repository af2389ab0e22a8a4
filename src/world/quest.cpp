#include "world/quest.h"

#include "common/tag_file.h"
#include "world/module.h"
#include "world/script_record.h"

namespace VARD
{

bool IsQuestTagSet(const QuestTagMap& tags, const std::string& name)
{
    const auto found = tags.find(name);
    return found != tags.end() && found->second != 0;
}

CQuestInfo::CQuestInfo(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("quest");
    m_Name = reader.ReadWord();
    m_DisplayName = reader.ReadQuoted();
    m_Experience = reader.ReadUnsigned();
    m_RequiredTag = reader.ReadString();
    m_Script = CScript::Create(reader);
    reader.ReadEndTag();
}

CQuestInfo::CQuestInfo(std::string name, std::string displayName, std::uint32_t experience,
                       std::string requiredTag, std::shared_ptr<CScript> script)
    : m_Name(std::move(name)), m_DisplayName(std::move(displayName)), m_Experience(experience),
      m_RequiredTag(std::move(requiredTag)), m_Script(std::move(script))
{
}

bool CQuestInfo::TestCompletion(const QuestTagMap& tags, CEngine* engine) const
{
    if (IsQuestTagSet(tags, m_Name))
        return false;
    if (!m_RequiredTag.empty() && !IsQuestTagSet(tags, m_RequiredTag))
        return false;
    if (!m_Script)
        return false;
    CScriptContext context;
    return m_Script->Run(engine, context) != 0;
}

void ReadQuestsFile(VARDCommon::CTagFileReader& reader, CModule& module)
{
    reader.ReadStartTag("quests");
    while (reader.IsStartTag("quest"))
    {
        auto quest = std::make_shared<CQuestInfo>(reader);
        module.Quests()[quest->GetName()] = std::move(quest);
    }
    reader.ReadEndTag();
}

} // namespace VARD
