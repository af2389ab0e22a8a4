#include "app/action_bar_text.h"

#include "common/exception.h"

#include <cctype>
#include <sstream>

namespace
{

using VARDUI::kActionSlotAttack;
using VARDUI::kActionSlotCast;
using VARDUI::kActionSlotCount;
using VARDUI::kActionSlotNone;
using VARDUI::kActionSlotTalk;
using VARDUI::kActionSlotUseItem;

const char* ActionWord(int type)
{
    switch (type)
    {
    case kActionSlotAttack:
        return "attack";
    case kActionSlotUseItem:
        return "use";
    case kActionSlotCast:
        return "cast";
    case kActionSlotTalk:
        return "talk";
    default:
        throw CVARDException(2, "action slot of type " + std::to_string(type));
    }
}

int ActionType(const std::string& word)
{
    if (word == "talk")
        return kActionSlotTalk;
    if (word == "attack")
        return kActionSlotAttack;
    if (word == "cast")
        return kActionSlotCast;
    if (word == "use")
        return kActionSlotUseItem;
    throw CVARDException(1, "unknown action " + VARDCommon::QuoteForMessage(word) +
                                " in the action bars");
}

// A name is written as it stands, so it must be one word to come back; the
// saved game's quoted text would turn a double quote into another mark.
std::string NameToken(const std::string& name)
{
    if (name.empty())
        return "0";
    for (const char c : name)
        if (std::isspace(static_cast<unsigned char>(c)) != 0 || c == '"')
            throw CVARDException(2, "action slot name " + VARDCommon::QuoteForMessage(name) +
                                        " is not one word");
    return name;
}

std::string ReadWord(std::istringstream& stream)
{
    std::string word;
    if (!(stream >> word))
        throw CVARDException(1, "the action bars end too early");
    return word;
}

// Unsigned decimal digits only: a sign or a fraction is no count.
unsigned long ReadNumber(std::istringstream& stream)
{
    const std::string word = ReadWord(stream);
    if (word.size() > 9)
        throw CVARDException(1, "number " + VARDCommon::QuoteForMessage(word) +
                                    " in the action bars is too long");
    for (const char c : word)
        if (std::isdigit(static_cast<unsigned char>(c)) == 0)
            throw CVARDException(1, VARDCommon::QuoteForMessage(word) +
                                        " in the action bars is not a number");
    return std::stoul(word);
}

} // namespace

std::string WriteActionBarsText(const std::vector<const VARDUI::CUIActionBar*>& members)
{
    std::ostringstream text;
    text << members.size() << ' ';
    for (const VARDUI::CUIActionBar* bar : members)
    {
        if (bar == nullptr)
            throw CVARDException(4, "a party member has no action bar");
        text << kActionSlotNone << ' ';
        for (int slot = 0; slot < kActionSlotCount; ++slot)
        {
            text << ActionWord(bar->slotType[static_cast<std::size_t>(slot)]) << ' ';
            text << NameToken(bar->slotItem[static_cast<std::size_t>(slot)]) << ' ';
            text << NameToken(bar->slotSpell[static_cast<std::size_t>(slot)]) << ' ';
        }
    }
    return text.str();
}

std::vector<VARDUI::CUIActionBar> ReadActionBarsText(const std::string& text, std::size_t partySize)
{
    std::istringstream stream(text);
    // The party size comes first and must be this party's.
    const unsigned long count = ReadNumber(stream);
    if (count != partySize)
        throw CVARDException(1, "the action bars are for " + std::to_string(count) +
                                    " members, the party has " + std::to_string(partySize));
    // Then each member's bar: its selected slot and its slots.
    std::vector<VARDUI::CUIActionBar> bars(partySize);
    for (VARDUI::CUIActionBar& bar : bars)
    {
        const unsigned long selected = ReadNumber(stream);
        if (selected > static_cast<unsigned long>(kActionSlotNone))
            throw CVARDException(4, "selected action slot " + std::to_string(selected));
        bar.selectedSlot = static_cast<int>(selected);
        for (std::size_t slot = 0; slot < static_cast<std::size_t>(kActionSlotCount); ++slot)
        {
            bar.slotType[slot] = ActionType(ReadWord(stream));
            const std::string item = ReadWord(stream);
            bar.slotItem[slot] = item == "0" ? std::string() : item;
            const std::string spell = ReadWord(stream);
            bar.slotSpell[slot] = spell == "0" ? std::string() : spell;
        }
    }
    return bars;
}
