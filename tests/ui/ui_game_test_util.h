#pragma once

// Small worlds for the widgets that show game things: item templates and
// spells read from their records, actors set up by hand, and the UI events
// a manager queued, as text.

#include "test_util.h"
#include "ui/ui_action.h"
#include "ui/ui_events.h"
#include "ui/ui_manager.h"
#include "world/actor.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/spell.h"

#include <map>
#include <memory>
#include <string>

namespace UIGameTest
{

// body: the words between <item> and </item> after the display name:
// "<type> [attributes]", with the value given apart.
inline std::shared_ptr<VARD::CItemTemplate>
AddItemTemplate(VARD::CModule& module, const std::string& key, const std::string& displayName,
                std::uint32_t value, const std::string& typeAndAttributes)
{
    auto reader = TestUtil::ReaderOf("<item> " + key + " \"" + displayName +
                                     "\" \"Words.\" (10 20 30) \"\" gfx 0 0 1.0 " +
                                     std::to_string(value) + " " + typeAndAttributes + " </item>");
    reader.ReadStartTag("item");
    auto itemTemplate = std::make_shared<VARD::CItemTemplate>(reader, module);
    reader.ReadEndTag();
    module.ItemTemplates()[key] = itemTemplate;
    return itemTemplate;
}

// A spell without effects; flags as words ("power").
inline const VARD::CSpell& AddSpell(VARD::CModule& module, const std::string& key,
                                    const std::string& displayName, const std::string& skill,
                                    int level, const std::string& flags = "")
{
    auto reader =
        TestUtil::ReaderOf("<spell> " + key + " \"" + displayName + "\" (1 2 3) \"Words.\" 0 " +
                           skill + " " + std::to_string(level) + " 0 0 0 " + flags + " </spell>");
    auto spell = std::make_shared<VARD::CSpell>(reader);
    module.Spells()[key] = spell;
    return *spell;
}

inline std::shared_ptr<VARD::CItem> MakeItem(const VARD::CItemTemplate& itemTemplate,
                                             std::uint32_t number, std::uint32_t count)
{
    return std::make_shared<VARD::CItem>(VARD::MakeThingId(VARD::kThingKindItem, number),
                                         &itemTemplate, count, 0);
}

// Alive, attributes 10 (no bonus), 30 hit points.
inline std::shared_ptr<VARD::CActor> MakeActor(std::uint32_t number, const std::string& name,
                                               std::uint32_t attitude)
{
    auto actor = std::make_shared<VARD::CActor>(VARD::MakeThingId(VARD::kThingKindActor, number));
    actor->SetName(name);
    actor->SetAttitude(attitude);
    actor->SetActivityState(VARD::kActivityIdle);
    actor->SetCreatureKind(5);
    actor->SetLevel(3);
    actor->SetHitPointBase(30);
    for (std::uint32_t attribute = 0; attribute < 5; ++attribute)
        actor->SetBaseAttribute(attribute, 10);
    return actor;
}

// The action bars of the shell, kept by actor id.
class FakeBarSource : public VARDUI::CUIActionBarSource
{
public:
    const VARDUI::CUIActionBar* FindActionBar(std::uint32_t actorId) const override
    {
        const auto found = bars.find(actorId);
        return found == bars.end() ? nullptr : &found->second;
    }
    VARD::CActor* GetSelectedActor() const override { return selected; }
    const VARD::CModule* GetModule() const override { return module; }

    std::map<std::uint32_t, VARDUI::CUIActionBar> bars;
    VARD::CActor* selected = nullptr;
    const VARD::CModule* module = nullptr;
};

// "3:1001 0 5:1001>77 0" for drag start, redraw, drop, redraw; the queue
// is emptied.
inline std::string TakeEvents(VARDUI::CUIManager& manager)
{
    std::string out;
    for (const auto& event : manager.GetEvents())
    {
        if (!out.empty())
            out += " ";
        out += std::to_string(event->GetType());
        if (auto* button = dynamic_cast<VARDUI::CUIEventButton*>(event.get()))
            out += ":" + std::to_string(button->GetId());
        else if (auto* drop = dynamic_cast<VARDUI::CUIEventDrop*>(event.get()))
            out +=
                ":" + std::to_string(drop->GetSource()) + ">" + std::to_string(drop->GetTarget());
    }
    manager.GetEvents().clear();
    return out;
}

} // namespace UIGameTest
