#pragma once

#include "common/tag_file_fwd.h"
#include "world/thing.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace VARD
{

class CTileTemplate;
class CObjectTemplate;
class CItemTemplate;
class CActorTemplate;
class CQuestInfo;
class CSpell;
class CFaction;
class CItemAttribute;

// One head choice of character creation.
struct CHeadInfo
{
    std::string displayName;
    std::string head;
};

// One item in the world. Its template lives as long as the module.
class CItem : public CThing
{
public:
    CItem(std::uint32_t id, const CItemTemplate* itemTemplate, std::uint32_t value1,
          std::uint32_t value2)
        : m_Id(id), m_Template(itemTemplate), m_Value1(value1), m_Value2(value2)
    {
        if (m_Value2 != 0)
            ++s_Expiring;
    }
    CItem(const CItem& other)
        : CThing(other), m_Id(other.m_Id), m_Unused(other.m_Unused), m_Template(other.m_Template),
          m_Value1(other.m_Value1), m_Value2(other.m_Value2)
    {
        if (m_Value2 != 0)
            ++s_Expiring;
    }
    CItem& operator=(const CItem&) = delete;
    ~CItem() override
    {
        if (m_Value2 != 0)
            --s_Expiring;
    }
    // How many items with an end exist, in any game: while there are none,
    // nothing needs to look for items whose time is up.
    static std::size_t CountExpiring() { return s_Expiring; }

    void GetId(std::uint32_t& id) const override { id = m_Id; }
    const CItemTemplate* GetTemplate() const { return m_Template; }
    // The first creation value is the item's count.
    std::uint32_t GetValue1() const { return m_Value1; }
    void SetValue1(std::uint32_t value) { m_Value1 = value; }
    std::uint32_t GetValue2() const { return m_Value2; }
    int GetUnused() const { return m_Unused; }
    // The id of the actor carrying the item; 0 until an order hands it on.
    int GetHolder() const { return m_Unused; }
    void SetHolder(std::uint32_t actorId) { m_Unused = static_cast<int>(actorId); }
    // Pass-throughs to the template.
    const CItemAttribute* FindAttribute(std::int32_t kind) const;
    int GetWandTargetMode() const;

private:
    std::uint32_t m_Id;
    int m_Unused = 0;
    const CItemTemplate* m_Template;
    std::uint32_t m_Value1;
    const std::uint32_t m_Value2;
    static inline std::size_t s_Expiring = 0;
};

template <typename T> using StringMap = std::map<std::string, std::shared_ptr<T>>;

template <typename Map>
typename Map::const_iterator StringMapFind(const Map& map, const std::string& name)
{
    return map.find(name);
}

template <typename T> T* StringMapGet(const StringMap<T>& map, const std::string& name)
{
    const auto found = map.find(name);
    return found == map.end() ? nullptr : found->second.get();
}

// All static data of one module; read-only once loaded.
class CModule
{
public:
    CModule();
    ~CModule();

    void Load(std::shared_ptr<VARDCommon::CDataFileFactory> factory);

    // Code 1 for a template name the module lacks.
    std::shared_ptr<CItem> CreateItem(const std::string& templateName, std::uint32_t value1,
                                      std::uint32_t id, std::uint32_t value2) const;

    std::shared_ptr<VARDCommon::CDataFileFactory> GetDataFileFactory() const { return m_Factory; }

    const std::string& GetStartArea() const { return m_StartArea; }
    const std::string& GetStartEntry() const { return m_StartEntry; }
    std::uint32_t GetStartYear() const { return m_StartYear; }
    std::uint32_t GetStartDay() const { return m_StartDay; }
    std::uint32_t GetStartHour() const { return m_StartHour; }
    const std::vector<std::shared_ptr<CHeadInfo>>& GetHeads(int gender) const;

    const StringMap<CTileTemplate>& GetTileTemplates() const { return m_TileTemplates; }
    const StringMap<CObjectTemplate>& GetObjectTemplates() const { return m_ObjectTemplates; }
    const StringMap<CItemTemplate>& GetItemTemplates() const { return m_ItemTemplates; }
    const StringMap<CActorTemplate>& GetActorTemplates() const { return m_ActorTemplates; }
    const StringMap<CQuestInfo>& GetQuests() const { return m_Quests; }
    const std::map<std::string, std::string>& GetJournal() const { return m_Journal; }
    const StringMap<CSpell>& GetSpells() const { return m_Spells; }
    const StringMap<CFaction>& GetFactions() const { return m_Factions; }

    // Lookups by name: null when absent.
    const CTileTemplate* FindTileTemplate(const std::string& name) const;
    const CObjectTemplate* FindObjectTemplate(const std::string& name) const;
    const CItemTemplate* FindItemTemplate(const std::string& name) const;
    const CActorTemplate* FindActorTemplate(const std::string& name) const;
    const CQuestInfo* FindQuest(const std::string& name) const;
    const CSpell* FindSpell(const std::string& name) const;
    const CFaction* FindFaction(const std::string& name) const;

    // A public item template of some type, as <auto> stock lists take it.
    struct CStockItem
    {
        const std::string* name;
        std::uint32_t value;
    };
    // The public item templates of a type in name order; built once and
    // again after any change through ItemTemplates().
    const std::vector<CStockItem>& GetPublicItemsOfType(std::uint32_t itemType) const;

    // Filled by the loaders; open so that tests can build small modules by hand.
    StringMap<CTileTemplate>& TileTemplates() { return m_TileTemplates; }
    StringMap<CObjectTemplate>& ObjectTemplates() { return m_ObjectTemplates; }
    StringMap<CItemTemplate>& ItemTemplates()
    {
        m_PublicItems.Reset();
        return m_ItemTemplates;
    }
    StringMap<CActorTemplate>& ActorTemplates() { return m_ActorTemplates; }
    StringMap<CQuestInfo>& Quests() { return m_Quests; }
    std::map<std::string, std::string>& Journal() { return m_Journal; }
    StringMap<CSpell>& Spells()
    {
        m_SpellsSerial = NextSpellsSerial();
        return m_Spells;
    }
    // Changes whenever the spells may have changed, and no two modules share
    // one, so a spell found once can be kept while it stays the same.
    std::uint64_t GetSpellsSerial() const { return m_SpellsSerial; }
    StringMap<CFaction>& Factions() { return m_Factions; }

    // The module files, in the order Load reads them.
    void LoadWorld(VARDCommon::CTagFileReader& reader);
    void LoadMagic(VARDCommon::CTagFileReader& reader);
    void LoadItems(VARDCommon::CTagFileReader& reader);
    void LoadFactions(VARDCommon::CTagFileReader& reader);
    void LoadMonsters(VARDCommon::CTagFileReader& reader);
    void LoadQuests(VARDCommon::CTagFileReader& reader);
    void LoadJournal(VARDCommon::CTagFileReader& reader);

private:
    static std::uint64_t NextSpellsSerial();
    void ReadMultiTile(VARDCommon::CTagFileReader& reader);
    void ReadHeads(VARDCommon::CTagFileReader& reader, const std::string& tag, int gender);

    std::shared_ptr<VARDCommon::CDataFileFactory> m_Factory;
    std::string m_StartArea;
    std::string m_StartEntry;
    std::uint32_t m_StartYear = 0;
    std::uint32_t m_StartDay = 0;
    std::uint32_t m_StartHour = 0;
    std::array<std::vector<std::shared_ptr<CHeadInfo>>, 3> m_Heads;
    StringMap<CTileTemplate> m_TileTemplates;
    StringMap<CObjectTemplate> m_ObjectTemplates;
    StringMap<CItemTemplate> m_ItemTemplates;
    StringMap<CActorTemplate> m_ActorTemplates;
    StringMap<CQuestInfo> m_Quests;
    std::map<std::string, std::string> m_Journal;
    StringMap<CSpell> m_Spells;
    std::uint64_t m_SpellsSerial = NextSpellsSerial();
    StringMap<CFaction> m_Factions;
    // Copies start without it: its names point into the map it was built from.
    struct CStockCache
    {
        CStockCache() = default;
        CStockCache(const CStockCache&) {}
        CStockCache& operator=(const CStockCache&)
        {
            Reset();
            return *this;
        }
        void Reset()
        {
            built = false;
            lists.clear();
        }
        bool built = false;
        std::map<std::uint32_t, std::vector<CStockItem>> lists;
    };
    mutable CStockCache m_PublicItems;
};

// Linear searches over item and thing vectors; null when absent.
template <typename T>
T* FindThingById(const std::vector<std::shared_ptr<T>>& things, std::uint32_t id)
{
    for (const auto& thing : things)
        if (thing && thing->Id() == id)
            return thing.get();
    return nullptr;
}
CItem* FindItemById(const std::vector<std::shared_ptr<CItem>>& items, std::uint32_t id);
CItem* FindItemByName(const std::vector<std::shared_ptr<CItem>>& items, const std::string& name);

// One item as a tuple of three: template name, first and second creation value.
void WriteItem(VARDCommon::CTagFileWriter& writer, const CItem& item);

} // namespace VARD
