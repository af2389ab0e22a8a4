#include "world/module.h"

#include "common/data_file.h"
#include "common/exception.h"
#include "common/tag_file.h"
#include "world/actor_template.h"
#include "world/faction.h"
#include "world/item_template.h"
#include "world/journal.h"
#include "world/object.h"
#include "world/quest.h"
#include "world/rule_tables.h"
#include "world/skill_powers.h"
#include "world/spell.h"
#include "world/tile.h"

#include <atomic>

namespace VARD
{

namespace
{
constexpr std::uint64_t kMaxMultiTilePieces = 10000;
} // namespace

std::uint64_t CModule::NextSpellsSerial()
{
    static std::atomic<std::uint64_t> s_Last{0};
    return ++s_Last;
}

CModule::CModule() = default;
CModule::~CModule() = default;

void CModule::Load(std::shared_ptr<VARDCommon::CDataFileFactory> factory)
{
    m_Factory = std::move(factory);
    // Items look spells up, monsters look factions, spells and items up.
    using Loader = void (CModule::*)(VARDCommon::CTagFileReader&);
    const std::pair<const char*, Loader> files[] = {
        {"world.vard", &CModule::LoadWorld},       {"magic.vard", &CModule::LoadMagic},
        {"items.vard", &CModule::LoadItems},       {"factions.vard", &CModule::LoadFactions},
        {"monsters.vard", &CModule::LoadMonsters}, {"quests.vard", &CModule::LoadQuests},
        {"journal.vard", &CModule::LoadJournal},
    };
    for (const auto& [name, loader] : files)
    {
        VARDCommon::CTagFileReader reader(*m_Factory, VARDCommon::kDataKindRoot,
                                          VARDCommon::kDataSubKindNone, name);
        (this->*loader)(reader);
    }
}

void CModule::LoadWorld(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("world");
    m_StartArea = reader.ReadWord();
    m_StartEntry = reader.ReadWord();
    // The start date may stand bare, after a "0", or in a tuple of three.
    reader.ReadTupleStart(3, true);
    m_StartYear = reader.ReadUnsigned();
    m_StartDay = reader.ReadUnsigned();
    m_StartHour = reader.ReadUnsigned();

    ReadHeads(reader, "male", 0);
    ReadHeads(reader, "female", 1);

    reader.ReadStartTag("tiles");
    while (!reader.IsAtEndTag())
    {
        if (reader.IsStartTag("tile"))
        {
            auto tile = std::make_shared<CTileTemplate>(reader);
            m_TileTemplates[tile->GetName()] = tile;
        }
        else if (reader.IsStartTag("multitile"))
        {
            ReadMultiTile(reader);
        }
        else
        {
            reader.Fail(1, "expected <tile> or <multitile>");
        }
    }
    reader.ReadEndTag();

    reader.ReadStartTag("objectdefs");
    while (reader.IsStartTag("object"))
    {
        auto object = std::make_shared<CObjectTemplate>(reader);
        m_ObjectTemplates[object->GetName()] = object;
    }
    reader.ReadEndTag();
    reader.ReadEndTag();
}

void CModule::ReadHeads(VARDCommon::CTagFileReader& reader, const std::string& tag, int gender)
{
    reader.ReadStartTag(tag);
    while (reader.IsStartTag("head"))
    {
        reader.ReadStartTag("head");
        auto head = std::make_shared<CHeadInfo>();
        head->displayName = reader.ReadQuoted();
        head->head = reader.ReadWord();
        reader.ReadEndTag();
        m_Heads[static_cast<std::size_t>(gender)].push_back(head);
    }
    reader.ReadEndTag();
}

void CModule::ReadMultiTile(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("multitile");
    const std::string base = reader.ReadString();
    if (!reader.ReadTupleStart(2, false))
        reader.Fail(1, "a multitile needs its (width height) in cells");
    const std::uint32_t width = reader.ReadUnsigned();
    const std::uint32_t height = reader.ReadUnsigned();
    const std::string text = reader.ReadQuoted();
    const std::string graphic = reader.ReadString();
    if (!reader.ReadTupleStart(2, false))
        reader.Fail(1, "a multitile needs the (size x size y) of its pieces");
    const std::uint32_t sizeX = reader.ReadUnsigned();
    const std::uint32_t sizeY = reader.ReadUnsigned();
    const int kind = reader.ReadConverted(ParseTileKind);
    reader.ReadEndTag();
    // Every piece is a template of its own: a count no area could hold is a typo.
    if (std::uint64_t(width) * height > kMaxMultiTilePieces)
        reader.Fail(1, "a multitile of " + std::to_string(width) + " x " + std::to_string(height) +
                           " pieces is too large");
    for (std::uint32_t i = 0; i < width; ++i)
    {
        for (std::uint32_t j = 0; j < height; ++j)
        {
            const std::string suffix = "#" + std::to_string(i) + "#" + std::to_string(j);
            auto tile = std::make_shared<CTileTemplate>(base + suffix, text, kind, graphic + suffix,
                                                        sizeX, sizeY);
            m_TileTemplates[tile->GetName()] = tile;
        }
    }
}

void CModule::LoadMagic(VARDCommon::CTagFileReader& reader)
{
    m_SpellsSerial = NextSpellsSerial();
    reader.ReadStartTag("magic");
    reader.ReadStartTag("spells");
    while (reader.IsStartTag("spell"))
    {
        auto spell = std::make_shared<CSpell>(reader);
        m_Spells[spell->GetKey()] = spell;
    }
    reader.ReadEndTag();
    reader.ReadEndTag();
    AddSkillPowers(m_Spells);
}

void CModule::LoadItems(VARDCommon::CTagFileReader& reader)
{
    ReadItemsFile(reader, *this);
    AddSpellItems(*this);
}

void CModule::LoadFactions(VARDCommon::CTagFileReader& reader)
{
    ReadFactionsFile(reader, *this);
}

void CModule::LoadMonsters(VARDCommon::CTagFileReader& reader)
{
    ReadMonstersFile(reader, *this);
}

void CModule::LoadQuests(VARDCommon::CTagFileReader& reader)
{
    ReadQuestsFile(reader, *this);
}

void CModule::LoadJournal(VARDCommon::CTagFileReader& reader)
{
    ReadJournalFile(reader, *this);
}

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
        throw CVARDException(1, "no item template " + VARDCommon::QuoteForMessage(templateName));
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
const std::vector<CModule::CStockItem>& CModule::GetPublicItemsOfType(std::uint32_t itemType) const
{
    if (!m_PublicItems.built)
    {
        for (const auto& [name, itemTemplate] : m_ItemTemplates)
            if (itemTemplate && itemTemplate->HasFlag(kItemFlagPublic))
                m_PublicItems.lists[itemTemplate->GetItemType()].push_back(
                    CStockItem{&name, itemTemplate->GetValue()});
        m_PublicItems.built = true;
    }
    static const std::vector<CStockItem> kNone;
    const auto found = m_PublicItems.lists.find(itemType);
    return found == m_PublicItems.lists.end() ? kNone : found->second;
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
