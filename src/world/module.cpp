#include "world/module.h"

#include "common/exception.h"

namespace VARD
{

CModule::CModule() = default;
CModule::~CModule() = default;

const std::vector<std::shared_ptr<CHeadInfo>>& CModule::GetHeads(int gender) const
{
    if (gender < 0 || gender >= static_cast<int>(m_Heads.size()))
        throw CVARDException(2, "no gender " + std::to_string(gender));
    return m_Heads[static_cast<std::size_t>(gender)];
}

std::shared_ptr<CItem> CModule::CreateItem(const std::string& templateName, std::uint32_t value1,
                                           std::uint32_t id, std::uint32_t value2) const
{
    const CItemTemplate* itemTemplate = StringMapGet(m_ItemTemplates, templateName);
    if (itemTemplate == nullptr)
        throw CVARDException(1, "no item template \"" + templateName + "\"");
    return std::make_shared<CItem>(id, itemTemplate, value1, value2);
}

const CTileTemplate* CModule::FindTileTemplate(const std::string& name) const
{
    return StringMapGet(m_TileTemplates, name);
}
const CObjectTemplate* CModule::FindObjectTemplate(const std::string& name) const
{
    return StringMapGet(m_ObjectTemplates, name);
}
const CItemTemplate* CModule::FindItemTemplate(const std::string& name) const
{
    return StringMapGet(m_ItemTemplates, name);
}
const CActorTemplate* CModule::FindActorTemplate(const std::string& name) const
{
    return StringMapGet(m_ActorTemplates, name);
}
const CQuestInfo* CModule::FindQuest(const std::string& name) const
{
    return StringMapGet(m_Quests, name);
}
const CSpell* CModule::FindSpell(const std::string& name) const
{
    return StringMapGet(m_Spells, name);
}
const CFaction* CModule::FindFaction(const std::string& name) const
{
    return StringMapGet(m_Factions, name);
}

CItem* FindItemById(const std::vector<std::shared_ptr<CItem>>& items, std::uint32_t id)
{
    return FindThingById(items, id);
}

} // namespace VARD
