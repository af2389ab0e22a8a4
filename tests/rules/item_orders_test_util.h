#pragma once

// The demo town with the hero standing in it, and short ways to hand out
// items and run one instant order the way a dialog does.

#include "rules_test_util.h"
#include "test_util.h"

#include "world/item_template.h"
#include "world/order.h"
#include "world/world_object.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace OrderTest
{

struct Town
{
    std::unique_ptr<VARD::CEngine> engine;
    VARD::CGame* game = nullptr;
    VARD::CArea* area = nullptr;
    VARD::CActor* hero = nullptr;
};

// The party entered the town; the messages of entering are drained.
inline Town EnterTown(std::uint32_t seed = 1)
{
    Town town;
    town.engine = RulesTest::NewDemoGame(seed);
    town.engine->EnterArea();
    town.game = &town.engine->Game();
    town.area = town.game->GetCurrentArea();
    town.hero = &RulesTest::Member(*town.engine);
    RulesTest::DrainMessages(*town.game);
    return town;
}

inline std::shared_ptr<VARD::CItem> MakeItem(const Town& town, const std::string& name,
                                             std::uint32_t count)
{
    return town.engine->Module().CreateItem(name, count,
                                            town.game->NewThingId(VARD::kThingKindItem), 0);
}

inline std::shared_ptr<VARD::CItem> GiveItem(const Town& town, VARD::CActor& actor,
                                             const std::string& name, std::uint32_t count)
{
    auto item = MakeItem(town, name, count);
    actor.AddBackpackItem(item);
    return item;
}

// The demo holds nothing that may be neither given away nor dropped (its
// temple key is dropped by its bearer where he falls): the rules that refuse
// such an item get a sealed letter, added to the loaded module.
inline std::shared_ptr<VARD::CItem> GiveSealedLetter(const Town& town, VARD::CActor& actor)
{
    VARD::CModule& module = *town.engine->GetModule();
    if (module.FindItemTemplate("sealed_letter") == nullptr)
    {
        auto reader = TestUtil::ReaderOf("<item> sealed_letter \"Sealed Letter\" \"Sealed.\" "
                                         "(0 0 0) \"\" letter 0 0 0.1 0 misc nogive </item>");
        reader.ReadStartTag("item");
        module.ItemTemplates()["sealed_letter"] =
            std::make_shared<VARD::CItemTemplate>(reader, module);
        reader.ReadEndTag();
    }
    return GiveItem(town, actor, "sealed_letter", 1);
}

// Queued and run at once; the code of the failure, -1 when none.
inline int RunOrder(const Town& town, VARD::CActor& actor, std::shared_ptr<VARD::COrder> order)
{
    actor.QueueInstantOrder(std::move(order));
    return TestUtil::CodeOf([&] { town.engine->ExecuteInstantOrders(); });
}

inline VARD::CActor* FindActor(const Town& town, const std::string& templateName)
{
    for (const auto& actor : town.area->Actors())
        if (actor->GetTemplateName() == templateName)
            return actor.get();
    return nullptr;
}

inline VARD::CObject* FindObject(const Town& town, const std::string& instanceName)
{
    for (const auto& object : town.area->Objects())
        if (object->GetInstanceName() == instanceName)
            return object.get();
    return nullptr;
}

inline std::uint32_t CountOf(const VARD::CActor& actor, const std::string& name)
{
    std::uint32_t count = 0;
    for (const auto& item : actor.Backpack())
        if (item->GetTemplate()->GetName() == name)
            count += item->GetValue1();
    return count;
}

// The events posted since the last drain: messages as "KIND TEXT", talk and
// inventory events with their two ids, others by kind.
inline std::vector<std::string> DrainEvents(VARD::CGame& game)
{
    std::vector<std::string> lines;
    while (const auto event = game.PopEvent())
    {
        if (const auto* message = dynamic_cast<const VARD::CMessageEvent*>(event.get()))
            lines.push_back(std::to_string(message->GetKind()) + ' ' + message->GetText());
        else if (const auto* talk = dynamic_cast<const VARD::CTalkEvent*>(event.get()))
            lines.push_back("talk " + std::to_string(talk->GetFirstId()) + ' ' +
                            std::to_string(talk->GetSecondId()));
        else if (const auto* inventory = dynamic_cast<const VARD::CInvEvent*>(event.get()))
            lines.push_back("inventory " + std::to_string(inventory->GetFirstId()) + ' ' +
                            std::to_string(inventory->GetSecondId()));
        else
            lines.push_back("event " + std::to_string(event->GetKind()));
    }
    return lines;
}

} // namespace OrderTest
