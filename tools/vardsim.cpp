// Runs a game without a window: loads a module, starts a new game (or loads a
// saved one), runs ticks while driving the game's state word as the shell
// would, feeds it orders from a file and prints every event it posts.
// Integration tests, module authors and the tick benchmark use it.

#include "tool_support.h"

#include "common/exception.h"
#include "common/program_usage.h"
#include "common/random.h"
#include "rules/engine.h"
#include "script/lua_script.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/effect_params.h"
#include "world/event.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/object.h"
#include "world/order.h"
#include "world/rule_tables.h"
#include "world/tile.h"
#include "world/world_map.h"
#include "world/world_object.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace
{

using VARD::CActor;
using VARD::CEngine;
using VARD::CGame;

const char* const kUsageText =
    "usage: vardsim --module PATH [--seed N] [--ticks N] [--name NAME] [--class WORD]\n"
    "               [--gender WORD] [--orders FILE] [--random-orders SEED] [--save FILE]\n"
    "               [--load FILE] [--report]\n"
    "\n"
    "Runs a game of the module (a folder or a packed archive) without a window.\n"
    "A new game gets a main character made as the creation pages make one\n"
    "(defaults: name Hero, class fighter, gender male) and enters the start area.\n"
    "  --seed N     seed of the random generator (default 1)\n"
    "  --ticks N    ticks to run (default 300)\n"
    "  --orders F   one order a line: TICK WHO VERB ARGS; WHO is a party index or\n"
    "               \"game\"; '#' starts a comment\n"
    "      member verbs: move X Y, attack ID, talk ID (a person or an object),\n"
    "                    choose N, use ID [TARGET],\n"
    "                    cast SPELL ID, get ID [FROM], drop ID, buy MERCHANT ITEM N,\n"
    "                    sell ITEM N, wield ITEM, unwield SLOT, give ITEM MEMBER,\n"
    "                    spend ATTRIBUTE SKILL, power NAME|-\n"
    "      game verbs:   tag NAME VALUE, item NAME, skill INDEX SKILL VALUE, heal,\n"
    "                    moveparty X Y, travel AREA ENTRY\n"
    "  --random-orders SEED\n"
    "               also gives orders drawn by a generator of that seed (its own,\n"
    "               apart from the game's): any verb, on the things of the current\n"
    "               area; each is printed as an \"order\" line before it runs\n"
    "  --report     prints quest tags, party, journal, actors, objects and items at\n"
    "               the end\n"
    "  --save F     saves the game after the last tick (a failed save ends with 1)\n"
    "  --load F     starts from a saved game instead of a new one; --name, --class\n"
    "               and --gender are then not used\n"
    "\n"
    "Output: one line per event, TICK<TAB>KIND<TAB>TEXT, where TICK counts the\n"
    "ticks vardsim ran; then state=S tick=T gold=G party=N area=NAME.\n";

const VARDCommon::ProgramUsage kUsage{"vardsim",
                                      kUsageText,
                                      {"--report"},
                                      {"--module", "--seed", "--ticks", "--name", "--class",
                                       "--gender", "--orders", "--random-orders", "--save",
                                       "--load"}};

struct Options
{
    std::string module;
    std::uint32_t seed = 1;
    std::uint32_t ticks = 300;
    std::string name = "Hero";
    std::string characterClass = "fighter";
    std::string gender = "male";
    std::optional<std::string> orders;
    std::optional<std::string> save;
    std::string load;
    bool report = false;
    bool randomOrders = false;
    std::uint32_t randomSeed = 0;
};

struct OrderLine
{
    std::uint32_t tick = 0;
    std::string who;
    std::string verb;
    std::vector<std::string> args;
    int line = 0;
};

using ToolSupport::UsageError;

std::uint32_t ParseUnsigned(const std::string& text, const std::string& what)
{
    return ToolSupport::ParseWholeNumber(text, what);
}

std::int32_t ParseInt(const std::string& text, const std::string& what)
{
    std::size_t used = 0;
    long value = 0;
    try
    {
        value = std::stol(text, &used);
    }
    catch (const std::exception&)
    {
        used = 0;
    }
    if (used != text.size() || text.empty() || value < INT32_MIN || value > INT32_MAX)
        throw UsageError{what + " must be a number, not \"" + text + "\""};
    return static_cast<std::int32_t>(value);
}

double ParseReal(const std::string& text, const std::string& what)
{
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double value = 0.0;
    if (!(in >> value) || !in.eof())
        throw UsageError{what + " must be a number, not \"" + text + "\""};
    return value;
}

Options ParseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string
        {
            if (i + 1 >= argc)
                throw UsageError{arg + " needs a value"};
            return argv[++i];
        };
        if (arg == "--module")
            options.module = value();
        else if (arg == "--seed")
            options.seed = ParseUnsigned(value(), "--seed");
        else if (arg == "--ticks")
            options.ticks = ParseUnsigned(value(), "--ticks");
        else if (arg == "--name")
            options.name = value();
        else if (arg == "--class")
            options.characterClass = value();
        else if (arg == "--gender")
            options.gender = value();
        else if (arg == "--orders")
            options.orders = value();
        else if (arg == "--save")
            options.save = value();
        else if (arg == "--load")
            options.load = value();
        else if (arg == "--report")
            options.report = true;
        else if (arg == "--random-orders")
        {
            options.randomOrders = true;
            options.randomSeed = ParseUnsigned(value(), "--random-orders");
        }
        else
            throw UsageError{"unexpected argument \"" + arg + "\""};
    }
    if (options.module.empty())
        throw UsageError{"--module is required"};
    return options;
}

// Verbs and how many arguments each takes (least, most).
const std::map<std::string, std::pair<std::size_t, std::size_t>>& MemberVerbs()
{
    static const std::map<std::string, std::pair<std::size_t, std::size_t>> verbs = {
        {"move", {2, 2}}, {"attack", {1, 1}}, {"talk", {1, 1}},  {"choose", {1, 1}},
        {"use", {1, 2}},  {"cast", {2, 2}},   {"get", {1, 2}},   {"drop", {1, 1}},
        {"buy", {3, 3}},  {"sell", {2, 2}},   {"wield", {1, 1}}, {"unwield", {1, 1}},
        {"give", {2, 2}}, {"spend", {2, 2}},  {"power", {1, 1}},
    };
    return verbs;
}

const std::map<std::string, std::pair<std::size_t, std::size_t>>& GameVerbs()
{
    static const std::map<std::string, std::pair<std::size_t, std::size_t>> verbs = {
        {"tag", {2, 2}},  {"item", {1, 1}},      {"skill", {3, 3}},
        {"heal", {0, 0}}, {"moveparty", {2, 2}}, {"travel", {2, 2}},
    };
    return verbs;
}

// Far more than any hand-written or recorded run needs; a larger file is a
// mistake (a device, a log given in its place), not orders to hold in memory.
constexpr std::uintmax_t kMaxOrdersFileSize = 64u * 1024u * 1024u;
constexpr std::size_t kMaxOrderLineLength = 4096;

std::vector<OrderLine> ReadOrders(const std::string& path)
{
    // As the module readers do: only a regular file, of a bounded size.
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status))
        throw UsageError{"cannot read the orders file \"" + path + "\": it does not exist"};
    if (!std::filesystem::is_regular_file(status))
        throw UsageError{"cannot read the orders file \"" + path + "\": it is not a regular file"};
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > kMaxOrdersFileSize)
        throw UsageError{
            "cannot read the orders file \"" + path + "\": " +
            (error ? error.message()
                   : "it is larger than " + std::to_string(kMaxOrdersFileSize) + " bytes")};
    std::ifstream in(path);
    if (!in)
        throw UsageError{"cannot read the orders file \"" + path + "\""};
    std::vector<OrderLine> orders;
    std::string text;
    int number = 0;
    while (std::getline(in, text))
    {
        ++number;
        const std::string where = path + ":" + std::to_string(number) + ": ";
        if (text.size() > kMaxOrderLineLength)
            throw UsageError{where + "a line longer than " + std::to_string(kMaxOrderLineLength) +
                             " bytes is no order"};
        text = text.substr(0, text.find('#'));
        std::istringstream words(text);
        std::vector<std::string> fields;
        for (std::string word; words >> word;)
            fields.push_back(word);
        if (fields.empty())
            continue;
        if (fields.size() < 3)
            throw UsageError{where + "an order is TICK WHO VERB ARGS"};
        OrderLine order;
        order.line = number;
        try
        {
            order.tick = ParseUnsigned(fields[0], "the tick");
            order.who = fields[1];
            if (order.who != "game")
                ParseUnsigned(order.who, "WHO");
        }
        catch (const UsageError& error)
        {
            throw UsageError{where + error.text};
        }
        order.verb = fields[2];
        order.args.assign(fields.begin() + 3, fields.end());
        const auto& verbs = order.who == "game" ? GameVerbs() : MemberVerbs();
        const auto found = verbs.find(order.verb);
        if (found == verbs.end())
            throw UsageError{where + "unknown verb \"" + order.verb + "\" for " +
                             (order.who == "game" ? "game" : "a party member")};
        if (order.args.size() < found->second.first || order.args.size() > found->second.second)
            throw UsageError{where + "wrong number of arguments for \"" + order.verb + "\""};
        orders.push_back(std::move(order));
    }
    std::stable_sort(orders.begin(), orders.end(),
                     [](const OrderLine& a, const OrderLine& b) { return a.tick < b.tick; });
    return orders;
}

std::string FormatNumber(double value)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.setf(std::ios::fixed);
    out.precision(2);
    out << value;
    return out.str();
}

class CSimulation
{
public:
    CSimulation(CEngine& engine, std::ostream& out) : m_Engine(engine), m_Out(out) {}

    void Run(std::uint32_t ticks, const std::vector<OrderLine>& orders);
    // Orders drawn at random on every step from now on.
    void DrawOrders(std::uint32_t seed) { m_Random.emplace(seed); }
    // After the last tick, as the shell's save command does.
    void Save(const std::string& path);
    void Report();
    void Summary();

private:
    CGame& Game() { return m_Engine.Game(); }
    void Step();
    void ChooseDestination();
    void GiveOrder(const OrderLine& order);
    void GiveGameOrder(const OrderLine& order);
    void GiveMemberOrder(CActor& member, const OrderLine& order);
    void RunAtOnce(CActor& member, std::shared_ptr<VARD::COrder> order);
    void Drain();
    void PrintEvent(const VARD::CEvent& event);
    void Print(const std::string& kind, const std::string& text);
    void Error(const CVARDException& error);
    // The conversation: its choices are printed, answered or closed.
    VARD::CTalkTarget* FindTalkTarget(std::uint32_t id);
    // The talk window opens in the partner's first talk state.
    void EnterFirstState();
    void ShowChoices();
    void Choose(std::uint32_t index);
    void CloseTalk();
    // The object of the current area that holds the item; 0 for none.
    std::uint32_t FindItemHolder(std::uint32_t itemId);
    // The random orders: some steps get one, open conversations get answers.
    std::uint32_t Draw(std::uint32_t count) { return count == 0 ? 0 : (*m_Random)() % count; }
    std::string DrawId(const std::vector<std::uint32_t>& ids);
    std::string DrawPosition(const VARD::CArea& area);
    void DrawOrder(std::vector<OrderLine>& orders, std::vector<OrderLine>& choices);
    void DrawMemberOrder(OrderLine& order, const CActor& member, const VARD::CArea& area);
    void DrawGameOrder(OrderLine& order, const VARD::CArea& area);

    CEngine& m_Engine;
    std::ostream& m_Out;
    std::uint32_t m_Step = 0;
    // An exit script failed on the last step: the next one is a tick.
    bool m_StayedAfterFailedLeave = false;
    std::string m_TravelArea;
    std::string m_TravelEntry;
    bool m_TalkOpen = false;
    bool m_TalkStarting = false;
    std::uint32_t m_Speaker = 0;
    std::uint32_t m_Partner = 0;
    std::optional<std::mt19937> m_Random;
};

void CSimulation::Print(const std::string& kind, const std::string& text)
{
    m_Out << m_Step << '\t' << kind << '\t' << text << '\n';
}

void CSimulation::Error(const CVARDException& error)
{
    Print("error", error.Describe());
}

void CSimulation::PrintEvent(const VARD::CEvent& event)
{
    using namespace VARD;
    const std::int32_t kind = event.GetKind();
    if (const auto* message = dynamic_cast<const CMessageEvent*>(&event))
        Print(std::to_string(kind), message->GetText());
    else if (const auto* info = dynamic_cast<const CActorInfoEvent*>(&event))
        Print("actor", std::to_string(kind) + ' ' + std::to_string(info->GetActorId()));
    else if (const auto* box = dynamic_cast<const CDialogBoxEvent*>(&event))
        Print("dialog", box->GetFirstText() + " | " + box->GetSecondText());
    else if (const auto* talk = dynamic_cast<const CTalkEvent*>(&event))
    {
        Print("talk",
              std::to_string(talk->GetFirstId()) + ' ' + std::to_string(talk->GetSecondId()));
        m_TalkOpen = true;
        m_TalkStarting = true;
        m_Speaker = talk->GetFirstId();
        m_Partner = talk->GetSecondId();
    }
    else if (const auto* inventory = dynamic_cast<const CInvEvent*>(&event))
        Print("inventory", std::to_string(inventory->GetFirstId()) + ' ' +
                               std::to_string(inventory->GetSecondId()));
    else if (const auto* effect = dynamic_cast<const CEffectEvent*>(&event))
    {
        std::string text = effect->GetEffect();
        if (const auto& params = effect->GetParams())
            text += ' ' + params->GetName() + ' ' + std::to_string(params->GetColor()) + ' ' +
                    FormatNumber(params->GetValue());
        Print("effect",
              text + " at " + FormatNumber(effect->GetX()) + ' ' + FormatNumber(effect->GetY()));
    }
    else
        Print("info", std::to_string(kind));
}

void CSimulation::Drain()
{
    while (const auto event = Game().PopEvent())
        PrintEvent(*event);
}

VARD::CTalkTarget* CSimulation::FindTalkTarget(std::uint32_t id)
{
    VARD::CArea* area = Game().GetCurrentArea();
    if (area == nullptr)
        return nullptr;
    if (CActor* actor = area->FindActorById(id))
        return actor;
    return area->FindObjectById(id);
}

void CSimulation::EnterFirstState()
{
    m_TalkStarting = false;
    VARD::CTalkTarget* partner = FindTalkTarget(m_Partner);
    VARD::CArea* area = Game().GetCurrentArea();
    CActor* speaker = area != nullptr ? area->FindActorById(m_Speaker) : nullptr;
    if (partner == nullptr || speaker == nullptr)
    {
        m_TalkOpen = false;
        return;
    }
    const std::string state = partner->GetFirstTalkFile();
    if (state.empty())
    {
        Print("talk", partner->GetTalkName() + " has nothing to say.");
        m_TalkOpen = false;
        return;
    }
    RunAtOnce(*speaker, std::make_shared<VARD::CTalkOrder>(m_Partner, state, ""));
}

void CSimulation::ShowChoices()
{
    VARD::CTalkTarget* partner = FindTalkTarget(m_Partner);
    if (partner == nullptr || partner->GetTalkQueue().empty())
    {
        m_TalkOpen = false;
        return;
    }
    std::uint32_t number = 0;
    for (const auto& choice : partner->GetTalkQueue())
        Print("choice", std::to_string(++number) + ' ' + choice->GetText());
}

void CSimulation::Choose(std::uint32_t index)
{
    VARD::CTalkTarget* partner = FindTalkTarget(m_Partner);
    VARD::CArea* area = Game().GetCurrentArea();
    CActor* speaker = area != nullptr ? area->FindActorById(m_Speaker) : nullptr;
    const auto choices = partner != nullptr ? partner->GetTalkQueue() : VARD::TalkChoiceList{};
    if (speaker == nullptr || index == 0 || index > choices.size())
    {
        Print("error", "no choice " + std::to_string(index) + " in the conversation");
        return;
    }
    const auto& choice = choices[index - 1];
    RunAtOnce(*speaker, std::make_shared<VARD::CTalkOrder>(m_Partner, choice->GetStateName(),
                                                           choice->GetText()));
}

void CSimulation::CloseTalk()
{
    if (VARD::CTalkTarget* partner = FindTalkTarget(m_Partner))
        partner->ClearTalkQueue();
    m_TalkOpen = false;
    Print("talk", "closed");
}

void CSimulation::RunAtOnce(CActor& member, std::shared_ptr<VARD::COrder> order)
{
    // As a dialog does: queue it, run the instant orders, show what happened.
    member.QueueInstantOrder(std::move(order));
    try
    {
        m_Engine.ExecuteInstantOrders();
    }
    catch (const CVARDException& error)
    {
        Error(error);
    }
    Drain();
}

std::uint32_t CSimulation::FindItemHolder(std::uint32_t itemId)
{
    VARD::CArea* area = Game().GetCurrentArea();
    if (area == nullptr)
        return 0;
    for (const auto& object : area->Objects())
        for (const auto& item : object->GetItems())
            if (item->Id() == itemId)
                return object->Id();
    return 0;
}

void CSimulation::GiveMemberOrder(CActor& member, const OrderLine& order)
{
    using namespace VARD;
    const auto& args = order.args;
    auto id = [&](std::size_t i) { return ParseUnsigned(args[i], "an id"); };
    const std::string& verb = order.verb;
    if (verb == "move")
    {
        member.ClearOrders();
        member.QueueOrder(
            std::make_shared<CMoveOrder>(ParseReal(args[0], "X"), ParseReal(args[1], "Y")), false);
    }
    else if (verb == "attack")
    {
        member.ClearOrders();
        member.QueueOrder(std::make_shared<CAttackOrder>(id(0)), false);
    }
    else if (verb == "talk")
    {
        // As a click does: people are walked up to and talked to, an object
        // that talks is used, and its talk opens once it is reached.
        member.ClearOrders();
        if (ThingKindOf(id(0)) == kThingKindObject)
            member.QueueOrder(std::make_shared<CUseOrder>(kUseObject, id(0), 0), false);
        else
            member.QueueOrder(std::make_shared<CMoveTalkOrder>(id(0)), false);
    }
    else if (verb == "use")
    {
        const std::uint32_t target = id(0);
        const std::uint32_t kind = target >> 24;
        if (kind == kThingKindItem)
        {
            const std::uint32_t on = args.size() > 1 ? id(1) : member.Id();
            auto use = std::make_shared<CUseOrder>(kUseItem, on, target);
            // As the item dialog does: a scroll is read at once, a potion or
            // wand is used when play resumes.
            const CItem* item = FindItemById(member.Backpack(), target);
            if (item == nullptr || member.CanUseItem(*item, true))
                RunAtOnce(member, std::move(use));
            else
                member.QueueOrder(std::move(use), false);
        }
        else
        {
            member.ClearOrders();
            member.QueueOrder(std::make_shared<CUseOrder>(
                                  kind == kThingKindTile ? kUseDoor : kUseObject, target, 0),
                              false);
        }
    }
    else if (verb == "cast")
    {
        member.ClearOrders();
        member.QueueOrder(std::make_shared<CCastOrder>(args[0], id(1)), false);
    }
    else if (verb == "get")
    {
        const std::uint32_t from = args.size() > 1 ? id(1) : FindItemHolder(id(0));
        RunAtOnce(member, std::make_shared<CGetOrder>(from, id(0)));
    }
    else if (verb == "drop")
        RunAtOnce(member, std::make_shared<CDropOrder>(0, id(0)));
    else if (verb == "buy")
        RunAtOnce(member, std::make_shared<CStoreOrder>(1, id(0), id(1), id(2)));
    else if (verb == "sell")
        RunAtOnce(member, std::make_shared<CStoreOrder>(0, m_Partner, id(0), id(1)));
    else if (verb == "wield")
    {
        const std::uint32_t itemId = id(0);
        std::int32_t slot = 0;
        if (const CItem* item = FindItemById(member.Backpack(), itemId))
        {
            for (std::uint32_t s = 0; s < kEquipmentSlotCount; ++s)
                if (member.CanEquipInSlot(s, *item))
                {
                    slot = static_cast<std::int32_t>(s);
                    break;
                }
        }
        RunAtOnce(member, std::make_shared<CWieldOrder>(itemId, slot));
    }
    else if (verb == "unwield")
        RunAtOnce(member, std::make_shared<CUnwieldOrder>(ParseInt(args[0], "the slot")));
    else if (verb == "give")
    {
        const std::uint32_t index = ParseUnsigned(args[1], "the member");
        const auto party = Game().GetParty();
        if (index >= party.size())
            throw UsageError{"no party member " + args[1]};
        RunAtOnce(member, std::make_shared<CGiveOrder>(party[index]->Id(), id(0)));
    }
    else if (verb == "spend")
        RunAtOnce(member, std::make_shared<CSpendPointsOrder>(ParseInt(args[0], "the attribute"),
                                                              ParseInt(args[1], "the skill")));
    else if (verb == "power")
        RunAtOnce(member, std::make_shared<CPowerOrder>(args[0] == "-" ? "" : args[0]));
}

void CSimulation::GiveGameOrder(const OrderLine& order)
{
    const auto& args = order.args;
    const std::string& verb = order.verb;
    if (verb == "tag")
        m_Engine.CompleteQuest(args[0], ParseInt(args[1], "the value"));
    else if (verb == "item")
        m_Engine.WizardCreateItem(args[0]);
    else if (verb == "skill")
    {
        const std::uint32_t index = ParseUnsigned(args[0], "the member");
        const auto party = Game().GetParty();
        if (index >= party.size())
            throw UsageError{"no party member " + args[0]};
        m_Engine.WizardSetSkill(*party[index], args[1], ParseInt(args[2], "the value"));
    }
    else if (verb == "heal")
        m_Engine.WizardHeal();
    else if (verb == "moveparty")
        m_Engine.WizardMoveParty(ParseReal(args[0], "X"), ParseReal(args[1], "Y"));
    else if (verb == "travel")
    {
        m_TravelArea = args[0];
        m_TravelEntry = args[1];
    }
    Drain();
}

void CSimulation::GiveOrder(const OrderLine& order)
{
    try
    {
        if (order.who == "game")
        {
            GiveGameOrder(order);
            return;
        }
        const std::uint32_t index = ParseUnsigned(order.who, "WHO");
        const auto party = Game().GetParty();
        if (index >= party.size())
        {
            Print("error", "line " + std::to_string(order.line) + ": no party member " + order.who);
            return;
        }
        GiveMemberOrder(*party[index], order);
    }
    catch (const CVARDException& error)
    {
        Error(error);
        Drain();
    }
    catch (const UsageError& error)
    {
        Print("error", "line " + std::to_string(order.line) + ": " + error.text);
    }
}

void CSimulation::ChooseDestination()
{
    if (m_TravelArea.empty())
    {
        // Travel on: the first place of the map that leads somewhere.
        if (const VARD::CMap2* map = Game().GetCurrentWorldMap())
        {
            for (const auto& place : map->GetAreas())
            {
                if (!place->GetAreaName().empty() && place->GetAreaName() != Game().GetLeftArea())
                {
                    m_TravelArea = place->GetAreaName();
                    m_TravelEntry = place->GetEntryName();
                    break;
                }
            }
        }
    }
    if (m_TravelArea.empty())
        throw CVARDException(2, "the world map offers no destination");
    Print("travel", m_TravelArea + ' ' + m_TravelEntry);
    m_Engine.SetTravelDestination(m_TravelArea, m_TravelEntry);
    m_TravelArea.clear();
    m_TravelEntry.clear();
}

void CSimulation::Step()
{
    using namespace VARD;
    const std::int32_t before = Game().GetState();
    const std::int32_t step = m_StayedAfterFailedLeave ? kGameRunning : before;
    m_StayedAfterFailedLeave = false;
    try
    {
        switch (step)
        {
        case kGameTravelAtExit:
        case kGameRestNeeded:
        case kGameTravelByScript:
            m_Engine.LeaveArea();
            break;
        case kGameOnWorldMap:
            ChooseDestination();
            break;
        case kGameDestinationKnown:
            m_Engine.EnterArea();
            break;
        case kGameLeftForRest:
            m_Engine.ResurrectParty();
            break;
        case kGameWon:
            break;
        default:
            m_Engine.Tick();
            break;
        }
    }
    catch (const CVARDException& error)
    {
        // The shell shows a failed tick and plays on. Entering an area ends
        // with a tick, whose failure (an order given on the way) is no
        // failed entry; a step of the journey that did not happen ends the
        // run, unless a script stopped it: an exit script that fails keeps
        // the party in its area, which then plays on from the next tick.
        const bool ticked = step == kGameRunning || Game().GetState() != before;
        if (!ticked && error.GetCode() != 6)
            throw;
        Error(error);
        m_StayedAfterFailedLeave = !ticked;
    }
}

// An id that may not exist at all, now and then, to try the orders' checks.
std::string CSimulation::DrawId(const std::vector<std::uint32_t>& ids)
{
    if (ids.empty() || Draw(16) == 0)
        return std::to_string(Draw(8) == 0 ? 0u : 0x03000000u + Draw(64));
    return std::to_string(ids[Draw(static_cast<std::uint32_t>(ids.size()))]);
}

std::string CSimulation::DrawPosition(const VARD::CArea& area)
{
    // Somewhat past the edges too.
    const auto coordinate = [this](std::uint32_t cells)
    {
        const double span = (cells + 2) * VARD::kCellSize;
        return FormatNumber(static_cast<double>(Draw(100000)) / 100000.0 * span - VARD::kCellSize);
    };
    // Two statements: the operands of + may be drawn in either order, and
    // every compiler must print the same run.
    const std::string x = coordinate(area.GetWidth());
    const std::string y = coordinate(area.GetHeight());
    return x + ' ' + y;
}

void CSimulation::DrawMemberOrder(OrderLine& order, const CActor& member, const VARD::CArea& area)
{
    static const char* const kVerbs[] = {"move",  "move",    "move", "attack", "attack", "talk",
                                         "use",   "cast",    "get",  "drop",   "buy",    "sell",
                                         "wield", "unwield", "give", "spend",  "power"};
    order.verb = kVerbs[Draw(std::size(kVerbs))];
    // Only the lists the verb can name: the piles and tiles of a long game
    // are many. Gathering draws nothing.
    const std::string& verb = order.verb;
    const bool namesGround = verb == "talk" || verb == "use" || verb == "get";
    std::vector<std::uint32_t> actors, objects, tiles, doors, groundItems, ownItems;
    for (const auto& actor : area.Actors())
        actors.push_back(actor->Id());
    if (namesGround)
    {
        for (const auto& object : area.Objects())
        {
            objects.push_back(object->Id());
            for (const auto& item : object->Items())
                groundItems.push_back(item->Id());
        }
    }
    if (verb == "use")
    {
        for (const auto& tile : area.GetTiles())
        {
            tiles.push_back(tile->Id());
            if (dynamic_cast<const VARD::CMasterTileDoor*>(tile->GetMasterTile()) != nullptr)
                doors.push_back(tile->Id());
        }
    }
    for (const auto& item : member.Backpack())
        ownItems.push_back(item->Id());
    auto& args = order.args;
    const auto& spells = Game().GetModule()->GetSpells();
    auto spell = [&]
    {
        auto it = spells.begin();
        std::advance(it, Draw(static_cast<std::uint32_t>(spells.size())));
        return it == spells.end() ? std::string("none") : it->first;
    };
    const auto number = [this](std::uint32_t below) { return std::to_string(Draw(below)); };
    if (order.verb == "move")
    {
        std::istringstream words(DrawPosition(area));
        for (std::string word; words >> word;)
            args.push_back(word);
    }
    else if (order.verb == "attack")
        args = {DrawId(actors)};
    else if (order.verb == "talk")
        args = {Draw(2) == 0 ? DrawId(actors) : DrawId(objects)};
    else if (order.verb == "use")
    {
        const std::uint32_t what = Draw(8);
        if (what < 3)
            args = {DrawId(ownItems), DrawId(actors)};
        else if (what < 5)
            args = {DrawId(objects)};
        else if (what < 7)
            args = {DrawId(doors)};
        else
            args = {DrawId(tiles)};
    }
    else if (order.verb == "cast")
        args = {spell(), DrawId(actors)};
    else if (order.verb == "get")
        args = {DrawId(groundItems)};
    else if (order.verb == "drop" || order.verb == "wield")
        args = {DrawId(ownItems)};
    else if (order.verb == "buy")
    {
        const std::string merchant = DrawId(actors);
        std::vector<std::uint32_t> wares;
        if (const CActor* seller = area.FindActorById(ParseUnsigned(merchant, "an id")))
            for (const auto& item : seller->Backpack())
                wares.push_back(item->Id());
        args = {merchant, DrawId(wares), std::to_string(1 + Draw(3))};
    }
    else if (order.verb == "sell")
        args = {DrawId(ownItems), std::to_string(1 + Draw(3))};
    else if (order.verb == "unwield")
        args = {number(VARD::kEquipmentSlotCount + 1)};
    else if (order.verb == "give")
        args = {DrawId(ownItems), number(static_cast<std::uint32_t>(Game().GetParty().size()))};
    else if (order.verb == "spend")
        args = {std::to_string(static_cast<int>(Draw(7)) - 1),
                std::to_string(static_cast<int>(Draw(VARD::kSkillCount + 2)) - 1)};
    else
        args = {Draw(2) == 0 ? std::string("-") : spell()};
}

void CSimulation::DrawGameOrder(OrderLine& order, const VARD::CArea& area)
{
    auto& args = order.args;
    switch (Draw(5))
    {
    case 0:
    {
        order.verb = "heal";
        break;
    }
    case 1:
    {
        // Now and then onto an exit, so the party travels.
        order.verb = "moveparty";
        const auto& exits = area.GetExits();
        if (!exits.empty() && Draw(2) == 0)
        {
            const auto& exit = exits[Draw(static_cast<std::uint32_t>(exits.size()))];
            args = {FormatNumber(exit->GetX()), FormatNumber(exit->GetY())};
        }
        else
        {
            std::istringstream words(DrawPosition(area));
            for (std::string word; words >> word;)
                args.push_back(word);
        }
        break;
    }
    case 2:
    {
        order.verb = "item";
        const auto& items = Game().GetModule()->GetItemTemplates();
        auto it = items.begin();
        std::advance(it, Draw(static_cast<std::uint32_t>(items.size())));
        args = {it == items.end() ? std::string("none") : it->first};
        break;
    }
    default:
    {
        // Tags the game holds already, so the quests move on.
        order.verb = "tag";
        const auto& tags = Game().GetQuestTags();
        auto it = tags.begin();
        std::advance(it, Draw(static_cast<std::uint32_t>(tags.size())));
        args = {it == tags.end() ? std::string("random_tag") : it->first, std::to_string(Draw(4))};
        break;
    }
    }
}

void CSimulation::DrawOrder(std::vector<OrderLine>& orders, std::vector<OrderLine>& choices)
{
    const VARD::CArea* area = Game().GetCurrentArea();
    const auto party = Game().GetParty();
    if (area == nullptr || party.empty())
        return;
    if (Draw(12) == 0)
    {
        OrderLine order;
        order.tick = m_Step;
        if (Draw(10) == 0)
        {
            order.who = "game";
            DrawGameOrder(order, *area);
        }
        else
        {
            // Now and then one past the party.
            const auto size = static_cast<std::uint32_t>(party.size());
            const std::uint32_t index = Draw(10) == 0 ? size : Draw(size);
            order.who = std::to_string(index);
            DrawMemberOrder(order, index < party.size() ? *party[index] : *party[0], *area);
        }
        orders.push_back(std::move(order));
    }
    // Answers for a conversation that may open on this step: the choice
    // numbers run one past the longest list.
    for (std::uint32_t answers = Draw(3); answers > 0; --answers)
    {
        OrderLine choice;
        choice.tick = m_Step;
        choice.who = "0";
        choice.verb = "choose";
        choice.args = {std::to_string(1 + Draw(5))};
        choices.push_back(std::move(choice));
    }
}

void CSimulation::Run(std::uint32_t ticks, const std::vector<OrderLine>& orders)
{
    auto next = orders.begin();
    for (m_Step = 0; m_Step < ticks && Game().GetState() != VARD::kGameWon; ++m_Step)
    {
        std::vector<const OrderLine*> choices;
        for (; next != orders.end() && next->tick <= m_Step; ++next)
        {
            if (next->verb == "choose")
                choices.push_back(&*next);
            else
                GiveOrder(*next);
        }
        std::vector<OrderLine> drawn, drawnChoices;
        if (m_Random)
            DrawOrder(drawn, drawnChoices);
        for (const OrderLine& order : drawn)
        {
            std::string text = order.who + ' ' + order.verb;
            for (const auto& arg : order.args)
                text += ' ' + arg;
            Print("order", text);
            GiveOrder(order);
        }
        for (const OrderLine& choice : drawnChoices)
            choices.push_back(&choice);
        Step();
        Drain();
        if (m_TalkStarting)
            EnterFirstState();
        if (!m_TalkOpen)
            continue;
        ShowChoices();
        for (const OrderLine* choice : choices)
        {
            if (!m_TalkOpen)
                break;
            Choose(ParseUnsigned(choice->args[0], "the choice"));
            ShowChoices();
        }
        // Nobody answered: the player closes the talk window.
        if (m_TalkOpen)
            CloseTalk();
    }
}

void CSimulation::Save(const std::string& path)
{
    m_Engine.SaveGame(std::nullopt, path);
    Drain();
}

void CSimulation::Report()
{
    CGame& game = Game();
    std::vector<std::string> lines;
    for (const auto& [tag, value] : game.GetQuestTags())
        lines.push_back("tag " + tag + ' ' + std::to_string(value));
    for (const auto& member : game.Party())
        lines.push_back("member " + std::to_string(member->GetPartyIndex()) + ' ' +
                        member->GetName() + " level " + std::to_string(member->GetLevel()) +
                        " hp " + std::to_string(member->GetHitPoints()) + '/' +
                        std::to_string(member->GetMaxHitPoints()) + " at " +
                        FormatNumber(member->GetX()) + ' ' + FormatNumber(member->GetY()));
    for (const auto& entry : game.GetJournal())
        lines.push_back("journal " + (entry->questName.empty() ? "0" : entry->questName) + ' ' +
                        entry->textName);
    if (const VARD::CArea* area = game.GetCurrentArea())
    {
        for (const auto& actor : area->Actors())
            lines.push_back("actor " + std::to_string(actor->Id()) + ' ' +
                            actor->GetTemplateName() + " side " +
                            std::to_string(actor->GetAttitude()) + " hp " +
                            std::to_string(actor->GetHitPoints()) + '/' +
                            std::to_string(actor->GetMaxHitPoints()) + " at " +
                            FormatNumber(actor->GetX()) + ' ' + FormatNumber(actor->GetY()));
        for (const auto& object : area->Objects())
            lines.push_back("object " + std::to_string(object->Id()) + ' ' +
                            object->GetDefinitionName() + " at " + FormatNumber(object->GetX()) +
                            ' ' + FormatNumber(object->GetY()));
        // The ids that the item orders name.
        auto addItem = [&lines](const VARD::CItem& item, const VARD::CThing& holder)
        {
            lines.push_back(
                "item " + std::to_string(item.Id()) + ' ' + item.GetTemplate()->GetName() + " x" +
                std::to_string(item.GetValue1()) + " in " + std::to_string(holder.Id()));
        };
        for (const auto& actor : area->Actors())
        {
            for (const auto& item : actor->Backpack())
                addItem(*item, *actor);
            for (std::uint32_t slot = 0; slot < VARD::kEquipmentSlotCount; ++slot)
                if (const auto& item = actor->GetEquipmentSlot(slot))
                    addItem(*item, *actor);
        }
        for (const auto& object : area->Objects())
            for (const auto& item : object->GetItems())
                addItem(*item, *object);
    }
    std::sort(lines.begin(), lines.end());
    for (const auto& line : lines)
        m_Out << line << '\n';
}

void CSimulation::Summary()
{
    CGame& game = Game();
    const VARD::CArea* area = game.GetCurrentArea();
    m_Out << "state=" << game.GetState() << " tick=" << game.GetTick() << " gold=" << game.GetGold()
          << " party=" << game.Party().size()
          << " area=" << (area != nullptr ? area->GetName() : std::string("none")) << '\n';
}

} // namespace

int main(int argc, char** argv)
{
    if (const std::optional<int> answered = VARDCommon::AnswerUsageOptions(argc, argv, kUsage))
        return *answered;
    Options options;
    std::vector<OrderLine> orders;
    try
    {
        options = ParseOptions(argc, argv);
        if (options.orders)
            orders = ReadOrders(*options.orders);
    }
    catch (const UsageError& error)
    {
        return VARDCommon::RefuseCommandLine(kUsage, error.text);
    }

    try
    {
        VARD::InstallLuaScriptHost();
        CEngine engine;
        engine.LoadModule(options.module);
        SeedRandom(options.seed);
        if (options.load.empty())
            ToolSupport::CreateMainCharacter(engine, options.name, options.characterClass,
                                             options.gender);
        else
            engine.LoadGame(options.load);

        CSimulation simulation(engine, std::cout);
        if (options.randomOrders)
            simulation.DrawOrders(options.randomSeed);
        simulation.Run(options.ticks, orders);
        if (options.save)
            simulation.Save(*options.save);
        if (options.report)
            simulation.Report();
        simulation.Summary();
        return 0;
    }
    catch (const UsageError& error)
    {
        std::cerr << "vardsim: " << error.text << '\n';
        return 2;
    }
    catch (const CVARDException& error)
    {
        std::cerr << "vardsim: error " << error.Describe() << '\n';
        return 1;
    }
}
