#include "ui_game_test_util.h"

#include "ui/ui_buttons.h"
#include "ui/ui_hover_text.h"
#include "ui/ui_lists.h"
#include "world/game.h"
#include "world/object.h"
#include "world/tile.h"
#include "world/world_object.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

using namespace VARDUI;
using namespace UIGameTest;
using TestUtil::CodeOf;

namespace
{

std::string TextOf(const VARD::CThing* thing, const VARD::CGame* game = nullptr)
{
    CUIHoverInfo record;
    FillHoverInfo(thing, record, game);
    return record.title + "|" + record.text;
}

} // namespace

TEST(HoverTexts, DoorsTilesAndContainers)
{
    VARD::CTileTemplate doorTemplate("door_a", "Oak Door", 3, "door_gfx", 1, 1);
    VARD::CTileTemplate floorTemplate("floor_a", "Flagstones", 0, "floor_gfx", 1, 1);
    VARD::CTileTemplate blankTemplate("blank", "", 2, "wall_gfx", 1, 1);
    VARD::CMasterTileDoor door(&doorTemplate, 0, nullptr, 0, 0);
    VARD::CMasterTile floor(&floorTemplate, 0, nullptr, 1, 0);
    VARD::CMasterTile blank(&blankTemplate, 0, nullptr, 2, 0);
    VARD::CTile doorTile(0, 0), floorTile(1, 0), blankTile(2, 0);
    doorTile.SetMasterTile(&door);
    floorTile.SetMasterTile(&floor);
    blankTile.SetMasterTile(&blank);

    door.SetLockValue(40);
    EXPECT_EQ(TextOf(&doorTile), "Oak Door|Door (Closed) (Locked)");
    door.SetLockValue(0);
    EXPECT_EQ(TextOf(&doorTile), "Oak Door|Door (Closed)");
    door.SetOpen(true);
    EXPECT_EQ(TextOf(&doorTile), "Oak Door|Door");
    EXPECT_EQ(TextOf(&floorTile), "Flagstones|Floor");
    // Nothing to name: the record stays reset, as for no thing at all.
    EXPECT_EQ(TextOf(&blankTile), "|");
    EXPECT_EQ(TextOf(nullptr), "|");

    auto reader = TestUtil::ReaderOf("<object> chest \"Iron Chest\" chest_a solid true 1 1 1 "
                                     "</object> <object> exit \"Way Out\" exit_a empty false 1 1 "
                                     "1 </object>");
    VARD::CObjectTemplate chestDefinition(reader);
    VARD::CObjectTemplate exitDefinition(reader);
    VARD::CObject chest(nullptr, VARD::MakeThingId(VARD::kThingKindObject, 4), "", chestDefinition);
    VARD::CObject exit(nullptr, VARD::MakeThingId(VARD::kThingKindObject, 5), "", exitDefinition);
    VARD::CModule module;
    const auto& coin = *AddItemTemplate(module, "coin", "Coin", 1, "money");

    EXPECT_EQ(TextOf(&chest), "Iron Chest|Container (Empty)");
    chest.AddItem(MakeItem(coin, 9, 3));
    EXPECT_EQ(TextOf(&chest), "Iron Chest|Container");
    chest.SetLockValue(20);
    EXPECT_EQ(TextOf(&chest), "Iron Chest|Container (Locked)");
    chest.RemoveItem(chest.GetItems().front().get());
    EXPECT_EQ(TextOf(&chest), "Iron Chest|Container (Locked)");
    EXPECT_EQ(TextOf(&exit), "Way Out|");
    exit.SetExitText("To the Marsh");
    EXPECT_EQ(TextOf(&exit), "Way Out|To the Marsh");
}

TEST(HoverTexts, ItemStacksTemplatesAndPrices)
{
    VARD::CModule module;
    const auto& knife = *AddItemTemplate(module, "knife", "Bone Knife", 12,
                                         "weapon <weapon> axe false 3 8 1 </weapon>");
    const auto& potion = *AddItemTemplate(module, "tonic", "Tonic", 5, "potion");

    CUIHoverInfo record;
    FillHoverInfo(MakeItem(potion, 1, 1).get(), record);
    EXPECT_EQ(record.title, "Tonic");
    EXPECT_EQ(record.text, "");
    EXPECT_EQ(record.icon, 171u);
    EXPECT_EQ(record.iconColour, 0xFF0A141Eu);
    FillHoverInfo(MakeItem(potion, 2, 12).get(), record);
    EXPECT_EQ(record.text, "Count: 12");

    FillPricedItemHoverInfo(*MakeItem(knife, 3, 1), 7, record);
    EXPECT_EQ(record.title, "Bone Knife (7 gold)");
    EXPECT_EQ(record.icon, 113u); // an axe

    record.text = "stale";
    FillItemTemplateHoverInfo(knife, record);
    EXPECT_EQ(record.title, "Bone Knife");
    EXPECT_EQ(record.text, "");
    EXPECT_EQ(record.icon, 113u);

    // A weapon with no weapon kind has no icon to show.
    const auto& club = *AddItemTemplate(module, "club", "Club", 1, "weapon");
    EXPECT_EQ(CodeOf([&] { FillItemTemplateHoverInfo(club, record); }), 4);
}

TEST(HoverTexts, HostileOrcFighterOfLevelThree)
{
    VARD::CGame game;
    auto watcher = MakeActor(1, "Ayla", VARD::kAttitudeParty);
    game.Party().push_back(watcher);
    auto orc = MakeActor(2, "Grub", VARD::kAttitudeHostile);
    orc->SetCreatureKind(8);
    orc->SetClass(0);
    orc->SetGender(1);
    orc->SetFigureColor(0x123456);
    orc->SetDamageTaken(10);
    orc->AddModifier(std::make_shared<VARD::CModifier>("sting", 0, 1, 5, 0, 1, true));
    orc->AddModifier(std::make_shared<VARD::CModifier>("curse", 0, 1, -2, 0, 1, false));

    CUIHoverInfo record;
    FillHoverInfo(orc.get(), record, &game);
    EXPECT_EQ(record.title, "Grub");
    EXPECT_EQ(record.titleColour, 0xFFFF0000u);
    EXPECT_EQ(record.text, "Orc Fighter 3");
    EXPECT_EQ(record.icon, 151u);
    EXPECT_EQ(record.iconColour, 0xFF123456u);
    EXPECT_EQ(record.markBottomLeft, 126u);
    EXPECT_EQ(record.markBottomRight, 139u);
    EXPECT_EQ(record.markTopLeft, 0u);
    // The silent bonus is not counted: bad modifiers only.
    EXPECT_EQ(record.markTopRight, 197u);
    EXPECT_EQ(record.showHealthBar, 1u);
    EXPECT_DOUBLE_EQ(record.healthFraction, 20.0 / 30.0);
    EXPECT_EQ(record.showEnergyBar, 0u);

    // A party member: green, with its energy bar; a dead one the dead icon.
    orc->AddStatus(0, 0);
    FillHoverInfo(watcher.get(), record, &game);
    EXPECT_EQ(record.titleColour, 0xFF00FF00u);
    EXPECT_EQ(record.text, "Human Fighter 3");
    EXPECT_EQ(record.showEnergyBar, 1u);
    FillHoverInfo(orc.get(), record, &game);
    EXPECT_EQ(record.markTopLeft, 199u);
    orc->SetActivityState(VARD::kActivityDead);
    FillHoverInfo(orc.get(), record, &game);
    EXPECT_EQ(record.icon, 144u);
    EXPECT_DOUBLE_EQ(record.healthFraction, 0.0);

    orc->SetGender(3);
    EXPECT_EQ(CodeOf([&] { FillHoverInfo(orc.get(), record, &game); }), 2);
}

TEST(HoverTexts, GroupKindsShowTheirFirstKindsIconAndKindsPastTheTableFail)
{
    VARD::CGame game;
    auto beast = MakeActor(2, "Rat", VARD::kAttitudeHostile);
    beast->SetClass(3);
    const struct
    {
        std::uint32_t kind;
        std::uint32_t icon;
        const char* text;
    } cases[] = {
        {0, 141, "Civilized "}, {1, 151, "Savage "}, {2, 145, "Undead "},     {3, 147, "Cosmic "},
        {4, 146, "Magic "},     {6, 133, "Elf "},    {16, 146, "Construct "},
    };
    CUIHoverInfo record;
    for (const auto& c : cases)
    {
        beast->SetCreatureKind(c.kind);
        FillHoverInfo(beast.get(), record, &game);
        EXPECT_EQ(record.icon, c.icon) << c.kind;
        EXPECT_EQ(record.text.rfind(c.text, 0), 0u) << c.kind << " " << record.text;
    }
    beast->SetCreatureKind(17);
    EXPECT_EQ(CodeOf([&] { FillHoverInfo(beast.get(), record, &game); }), 2);
}

TEST(HoverTexts, InsightMarginHidesTheClassOfWhatOutsneaksTheParty)
{
    VARD::CGame game;
    game.Party().push_back(MakeActor(1, "Ayla", VARD::kAttitudeParty));
    auto orc = MakeActor(2, "Grub", VARD::kAttitudeNeutral);
    orc->SetCreatureKind(8);
    const auto text = [&](const VARD::CGame* seenBy)
    {
        CUIHoverInfo record;
        FillHoverInfo(orc.get(), record, seenBy);
        return record.text + "|" + std::to_string(record.markBottomLeft);
    };
    // The party's best observation is 0 against concealment 0: seen.
    EXPECT_EQ(GetInsightMargin(*orc, &game), 0);
    EXPECT_EQ(text(&game), "Orc Fighter 3|126");
    // One point of stealth from a modifier tips it.
    orc->AddModifier(
        std::make_shared<VARD::CModifier>("shade", 0, VARD::kModStealth, 1, 0, 1, true));
    EXPECT_EQ(GetInsightMargin(*orc, &game), -1);
    EXPECT_EQ(text(&game), "Orc Unknown|131");
    // The stealth skill rates (level 3 + 1) x 5.
    orc->Skills().insert(VARD::kSkillSneak);
    EXPECT_EQ(GetInsightMargin(*orc, &game), -21);
    // A party that sees nothing knows no stranger; friends are always known.
    orc->Skills().clear();
    EXPECT_EQ(text(nullptr), "Orc Unknown|131");
    orc->SetAttitude(VARD::kAttitudeFriendly);
    EXPECT_EQ(GetInsightMargin(*orc, nullptr), 25);
    EXPECT_EQ(text(nullptr), "Orc Fighter 3|126");
}

TEST(HoverTexts, ActorsAtTheEdgesOfSneakingBarsAndModifiers)
{
    VARD::CGame game;
    game.Party().push_back(MakeActor(1, "Ayla", VARD::kAttitudeParty));
    const VARD::CSpell sneak(VARD::kSneakPowerKey);
    using Setup = std::function<void(VARD::CActor&)>;
    const Setup sneaks = [&](VARD::CActor& actor) { ASSERT_TRUE(actor.ActivatePower(sneak, 0)); };
    // One point of stealth more than the party's observation.
    const Setup hides = [&](VARD::CActor& actor)
    {
        sneaks(actor);
        actor.AddModifier(
            std::make_shared<VARD::CModifier>("shade", 0, VARD::kModStealth, 1, 0, 1, true));
    };
    const Setup exhausted = [](VARD::CActor& actor)
    { actor.SetEnergySpent(actor.GetMaxEnergyPoints()); };
    const auto modified = [](std::vector<std::int32_t> values) -> Setup
    {
        return [values](VARD::CActor& actor)
        {
            for (const std::int32_t value : values)
                actor.AddModifier(std::make_shared<VARD::CModifier>(
                    "mark", 0, VARD::kModAttackBonus, value, 0, 1, false));
        };
    };
    const Setup plain = [](VARD::CActor&) {};
    VARD::CModule module;
    const VARD::CSpell& song = AddSpell(module, "song", "War Song", "singing", 0, "power");
    const Setup sings = [&](VARD::CActor& actor) { ASSERT_TRUE(actor.ActivatePower(song, 0)); };
    // The text, the top-right mark, and the energy bar: shown, and how full.
    const std::tuple<const char*, std::uint32_t, Setup, std::string> rows[] = {
        {"a monster sneaking in sight", VARD::kAttitudeHostile, sneaks,
         "Human Fighter 3 (Sneaking) | 0 | 0"},
        {"a monster sneaking unseen", VARD::kAttitudeHostile, hides, "Human Unknown | 0 | 0"},
        {"a member sneaking", VARD::kAttitudeParty, sneaks,
         "Human Fighter 3 (Sneaking) | 0 | 1 full"},
        {"a member singing", VARD::kAttitudeParty, sings, "Human Fighter 3 | 0 | 1 some"},
        {"a member without energy", VARD::kAttitudeParty, exhausted,
         "Human Fighter 3 | 0 | 1 none"},
        {"a friend", VARD::kAttitudeFriendly, plain, "Human Fighter 3 | 0 | 0"},
        {"a modifier of 0", VARD::kAttitudeNeutral, modified({0}), "Human Fighter 3 | 197 | 0"},
        {"a modifier of 1", VARD::kAttitudeNeutral, modified({1}), "Human Fighter 3 | 196 | 0"},
        {"modifiers of 1 and 0", VARD::kAttitudeNeutral, modified({1, 0}),
         "Human Fighter 3 | 198 | 0"},
    };
    for (const auto& [what, attitude, setup, after] : rows)
    {
        SCOPED_TRACE(what);
        auto actor = MakeActor(2, "Grub", attitude);
        setup(*actor);
        CUIHoverInfo record;
        FillHoverInfo(actor.get(), record, &game);
        std::string bar = std::to_string(record.showEnergyBar);
        if (record.showEnergyBar != 0)
            bar += record.energyFraction == 1.0   ? " full"
                   : record.energyFraction == 0.0 ? " none"
                                                  : " some";
        EXPECT_EQ(record.text + " | " + std::to_string(record.markTopRight) + " | " + bar, after);
    }
}

TEST(HoverTexts, SpellsAndPowers)
{
    VARD::CModule module;
    const auto& bolt = AddSpell(module, "bolt", "Void Bolt", "void_magic", 1);
    const auto& storm = AddSpell(module, "storm", "Star Storm", "cosmic_magic", 20);
    const auto& song = AddSpell(module, "song", "War Song", "singing", 1, "power");
    auto caster = MakeActor(1, "Ayla", VARD::kAttitudeParty);
    caster->SetClass(2);
    caster->Skills().insert(42);
    caster->Skills().insert(47);
    ASSERT_TRUE(caster->MeetsRequirement(bolt));
    ASSERT_FALSE(caster->MeetsRequirement(storm));

    CUIHoverInfo record;
    FillSpellHoverInfo(bolt, *caster, record);
    EXPECT_EQ(record.icon, 116u);
    EXPECT_EQ(record.title, "Void Bolt");
    EXPECT_EQ(record.iconColour, 0xFF010203u);
    EXPECT_EQ(record.text, "Void Magic 1 (" + std::to_string(bolt.GetEnergyCost()) + " energy)");
    FillSpellHoverInfo(storm, *caster, record);
    EXPECT_EQ(record.icon, 121u);
    EXPECT_EQ(record.text, "Cosmic Magic 20 (-)");
    FillSpellHoverInfo(song, *caster, record);
    EXPECT_EQ(record.icon, 124u);
    FillSpellHoverInfo(VARD::CSpell(VARD::kSneakPowerKey), *caster, record);
    EXPECT_EQ(record.icon, 176u);
}

TEST(ActionTokens, SlotsFromTheBarAreLabelledF1ToF10)
{
    VARD::CModule module;
    AddSpell(module, "bolt", "Void Bolt", "void_magic", 1);
    AddItemTemplate(module, "tonic", "Tonic", 5, "potion");
    auto actor = MakeActor(1, "Ayla", VARD::kAttitudeParty);
    FakeBarSource source;
    source.module = &module;
    CUIActionBar& bar = source.bars[actor->Id()];
    bar.slotType[2] = kActionSlotCast;
    bar.slotSpell[2] = "bolt";
    bar.slotType[3] = kActionSlotUseItem;
    bar.slotItem[3] = "tonic";
    bar.slotType[4] = kActionSlotCast;
    bar.slotSpell[4] = "forgotten";
    bar.slotType[5] = kActionSlotUseItem;
    bar.slotType[6] = 99;

    const struct
    {
        std::int32_t slot;
        const char* label;
        const char* title;
        std::uint32_t icon;
    } cases[] = {
        {0, "F1", "Attack", 143}, {1, "F2", "Talk", 130},  {2, "F3", "Void Bolt", 116},
        {3, "F4", "Tonic", 171},  {4, "F5", "", 0},        {5, "F6", "", 0},
        {6, "F7", "Ayla", 0},     {9, "F10", "Talk", 130},
    };
    CUIActionElement2 token(0, 1);
    for (const auto& c : cases)
    {
        token.SetCount(5);
        CUIActionElement2::SetFromActionSlot(token, *actor, c.slot, source);
        EXPECT_EQ(token.GetLabel(), c.label);
        EXPECT_EQ(token.GetHoverInfo().title, c.title) << c.label;
        EXPECT_EQ(token.GetHoverInfo().icon, c.icon) << c.label;
        EXPECT_EQ(token.GetCount(), 0u);
    }

    auto stranger = MakeActor(2, "Grub", VARD::kAttitudeHostile);
    EXPECT_EQ(CodeOf([&] { CUIActionElement2::SetFromActionSlot(token, *stranger, 0, source); }),
              4);
    EXPECT_EQ(CodeOf([&] { CUIActionElement2::SetFromActionSlot(token, *actor, 10, source); }), 4);
}

TEST(ActionTokens, ClicksUnlessDraggableWithAnIconAndTheMoveButtonsCorner)
{
    CUIActionElement2 token(9, 4);
    token.SetRect({100, 100, 148, 148});
    const Point inside{110, 120}, onButton{140, 105};
    EXPECT_EQ(token.ClassifyMouse(kUIMouseLeftDown, &inside), kUIClassifyClick);
    token.GetHoverInfo().icon = 171;
    EXPECT_EQ(token.ClassifyMouse(kUIMouseLeftDown, &inside), kUIClassifyClick);
    token.SetFlags(kUIFlagDraggable, 1);
    EXPECT_EQ(token.ClassifyMouse(kUIMouseRight, &inside), kUIClassifyRightClick);

    CUIElement* hit = nullptr;
    std::int32_t id = 0;
    ASSERT_TRUE(token.HitTest(&onButton, &hit, &id));
    EXPECT_EQ(id, 9);
    EXPECT_EQ(hit, token.GetMoveButton());
    EXPECT_EQ(token.GetMoveButton()->GetRect(), (Rect{134, 102, 146, 114}));
    EXPECT_EQ(token.ClassifyMouse(kUIMouseLeftDown, &inside), kUIClassifyPress);
    EXPECT_FALSE(token.HitTest(&inside, nullptr, nullptr));
}

TEST(ListOrderings, ItemsBySortKindThenValueThenKey)
{
    VARD::CModule module;
    const auto add = [&](const char* key, std::uint32_t value, const char* type)
    { return AddItemTemplate(module, key, key, value, type); };
    const std::vector<std::shared_ptr<VARD::CItemTemplate>> templates = {
        add("ring_b", 50, "ring"),
        add("bow", 10, "weapon <weapon> bow false 0 6 1 </weapon>"),
        add("vest", 30, "armor <armor> light_armor 2 0 0 0 </armor>"),
        add("axe", 10, "weapon <weapon> axe false 0 6 1 </weapon>"),
        add("ring_a", 50, "ring"),
        add("robe", 90, "armor <armor> 0 1 0 0 0 </armor>"),
        add("gem", 80, "ring"),
        add("hatchet", 20, "weapon <weapon> axe false 0 6 1 </weapon>"),
    };
    std::vector<std::shared_ptr<VARD::CItem>> items;
    for (std::size_t i = 0; i < templates.size(); ++i)
        items.push_back(MakeItem(*templates[i], static_cast<std::uint32_t>(i + 1), 1));
    std::vector<CUISortedItem> sorted;
    BuildSortedItemList(sorted, items, 500);
    std::string order;
    for (const auto& [id, item] : sorted)
        order += item->GetTemplate()->GetName() + ":" + std::to_string(id) + " ";
    // Axes (kind 4) before bows (5), the dearer axe first; light armour
    // before armour that needs no skill (83); rings dearer first, then by key.
    EXPECT_EQ(order, "hatchet:507 axe:503 bow:501 vest:502 robe:505 gem:506 ring_a:504 "
                     "ring_b:500 ");
}

TEST(SpellList, UsableOnlyKeepsThePlacesOfTheActorsList)
{
    VARD::CModule module;
    const auto& high = AddSpell(module, "zap", "Zap", "void_magic", 20);
    const auto& bolt = AddSpell(module, "bolt", "Bolt", "void_magic", 1);
    const auto& flare = AddSpell(module, "flare", "Flare", "void_magic", 1);
    const auto& shield = AddSpell(module, "shield", "Shield", "matter_magic", 1);
    const auto& song = AddSpell(module, "song", "Song", "singing", 1, "power");
    const auto& hum = AddSpell(module, "hum", "Hum", "singing", 1, "power");
    auto caster = MakeActor(1, "Ayla", VARD::kAttitudeParty);
    caster->SetClass(2);
    caster->Skills().insert({42, 43, 72});
    for (const VARD::CSpell* spell : {&high, &flare, &song, &shield, &bolt, &hum})
        caster->AddSpell(*spell);

    const auto listed = [](const CUISpellListWindow& window)
    {
        std::string out;
        for (std::size_t s = 0; s < window.GetSectionCount(); ++s)
            for (const auto& element : window.GetSectionElements(s))
            {
                const auto& token = static_cast<const CUIActionElement2&>(*element);
                out += std::to_string(s) + ":" + token.GetHoverInfo().title + ":" +
                       std::to_string(token.GetId()) + ":" + std::to_string(token.GetPowerBox()) +
                       (token.TestFlags(kUIFlagDraggable) ? " " : "! ");
            }
        return out;
    };
    CUISpellListWindow spells(0, "Spells");
    spells.SetShowSpells(1);
    spells.SetSpells(*caster, 100, false);
    // Void magic (42), the higher level first, then matter magic (43).
    EXPECT_EQ(listed(spells), "0:Zap:100:0 1:Bolt:104:0 2:Flare:101:0 3:Shield:103:0 ");
    spells.SetSpells(*caster, 100, true);
    EXPECT_EQ(listed(spells), "0:Bolt:104:0 1:Flare:101:0 2:Shield:103:0 ");

    CUISpellListWindow powers(0, "Powers");
    powers.SetShowPowers(1);
    powers.SetSpells(*caster, 100, false);
    EXPECT_EQ(listed(powers), "0:Hum:105:1 1:Song:102:1 ");
}

TEST(ItemsList, StoreModesDecideWhatCanBeDragged)
{
    VARD::CModule module;
    const auto& cheap = *AddItemTemplate(module, "bread", "Bread", 4, "misc");
    const auto& dear = *AddItemTemplate(module, "crown", "Crown", 400, "helmet");
    const std::vector<std::shared_ptr<VARD::CItem>> items = {MakeItem(cheap, 1, 2),
                                                             MakeItem(dear, 2, 1)};
    VARD::CGame game;
    game.SetGold(100);
    auto keeper = MakeActor(3, "Keeper", VARD::kAttitudeFriendly);
    keeper->GetBuyTableForEdit()[9] = 1;

    const auto listed = [](const CUIItemsListWindow& window)
    {
        std::string out;
        for (std::size_t s = 0; s < window.GetSectionCount(); ++s)
            for (const auto& element : window.GetSectionElements(s))
                out += element->GetHoverInfo().title + ":" + std::to_string(element->GetId()) +
                       (element->TestFlags(kUIFlagDraggable) ? " " : "! ");
        return out;
    };
    CUIItemsListWindow window(3, "Store");
    window.SetItems(2000, items, CUIItemsListWindow::kModeOwn, nullptr, nullptr);
    EXPECT_EQ(listed(window), "Crown:2001 Bread:2000 ");
    window.SetItems(2000, items, CUIItemsListWindow::kModeBuy, &game, nullptr);
    EXPECT_EQ(listed(window), "Crown (400 gold):2001! Bread (4 gold):2000 ");
    // A ware is offered at its full value, and can be dragged exactly when
    // the party's gold reaches it.
    for (const auto& [gold, after] : std::vector<std::pair<std::int32_t, std::string>>{
             {399, "Crown (400 gold):2001! Bread (4 gold):2000 "},
             {400, "Crown (400 gold):2001 Bread (4 gold):2000 "},
             {3, "Crown (400 gold):2001! Bread (4 gold):2000! "}})
    {
        game.SetGold(gold);
        window.SetItems(2000, items, CUIItemsListWindow::kModeBuy, &game, nullptr);
        EXPECT_EQ(listed(window), after) << gold;
    }
    window.SetItems(1000, items, CUIItemsListWindow::kModeSell, nullptr, keeper.get());
    EXPECT_EQ(listed(window), "Crown:1001! Bread (2 gold):1000 ");
    EXPECT_EQ(CodeOf([&] { window.SetItems(0, items, 3, &game, keeper.get()); }), 4);

    // Below the title, away from every token and the bar: a list with an id
    // takes the drop itself, one without lets it through.
    window.SetRect({0, 0, 216, 160});
    const Point emptyCell{100, 100};
    std::int32_t id = 0;
    EXPECT_TRUE(window.HitTest(&emptyCell, nullptr, &id));
    EXPECT_EQ(id, 3);
    CUIItemsListWindow anonymous(0, "");
    anonymous.SetRect({0, 0, 216, 160});
    EXPECT_FALSE(anonymous.HitTest(&emptyCell, nullptr, nullptr));
    EXPECT_EQ(CodeOf([&] { window.SetItems(0, items, 1, nullptr, nullptr); }), 4);
}
