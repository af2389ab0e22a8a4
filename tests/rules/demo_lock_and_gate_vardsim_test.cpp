// The demo's locked alms box and the crypt's stair that a quest tag opens,
// played through vardsim as a module author would.

#include "test_util.h"
#include "vardsim_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace
{

std::string RunOrders(const std::string& name, const std::string& orders, int ticks)
{
    const auto path = TestUtil::ScratchPath(name);
    std::ofstream(path) << orders;
    const std::string out = TestUtil::RunVardsim("--report --ticks " + std::to_string(ticks) +
                                                 " --orders " + path.string())
                                .out;
    std::filesystem::remove(path);
    return out;
}

// The id of the report line that ends in the text, as "KIND ID ...".
std::string IdBefore(const std::string& report, const std::string& ending)
{
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);)
    {
        if (line.size() < ending.size() ||
            line.compare(line.size() - ending.size(), ending.size(), ending) != 0)
            continue;
        std::istringstream words(line);
        std::string kind, id;
        words >> kind >> id;
        return id;
    }
    return {};
}

std::size_t Count(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST(DemoLockAndGate, TheAlmsBoxOpensOnlyToAPickedLock)
{
    const std::string walk = "1 game moveparty 6 6\n";
    const std::string first = RunOrders("alms_ids", walk, 2);
    const std::string box = IdBefore(first, " chest at 3.75 3.75");
    const std::string gold = IdBefore(first, " gold x25 in " + box);
    const std::string potion = IdBefore(first, " i_potion-heal x1 in " + box);
    ASSERT_FALSE(box.empty() || gold.empty() || potion.empty()) << first;

    // Without the skill the lock holds; with it the lock is picked once and
    // stays open for the next item.
    const std::string out =
        RunOrders("alms",
                  walk + "2 0 get " + gold + ' ' + box + "\n3 game skill 0 locks 1\n4 0 get " +
                      gold + ' ' + box + "\n5 0 get " + potion + ' ' + box + "\n",
                  6);
    EXPECT_NE(out.find("2\t21\tHero can't unlock Wooden chest [Locks 50 +0 vs 52].\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(out.find("2\t19\t"), std::string::npos) << "nothing taken through the lock";
    EXPECT_NE(out.find("4\t2\tHero picks the lock on Wooden chest [Locks 50 +10 vs 52].\n"
                       "4\t19\tThe party has gained 25 gold.\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(Count(out, "picks the lock"), 1u) << out;
    const std::string potionLine = "item " + potion + " i_potion-heal x1 in ";
    EXPECT_NE(out.find(potionLine), std::string::npos) << out;
    EXPECT_EQ(out.find(potionLine + box + "\n"), std::string::npos) << "taken from the box";
    EXPECT_NE(out.find(" gold=25 party=1 area=town\n"), std::string::npos) << out;
}

TEST(DemoLockAndGate, TheSunStairTakesThePartyOnlyOnceTheKeyIsFound)
{
    // Into the crypt by the world map, then to the foot of the sealed stair.
    const std::string toCrypt = "1 game travel crypt stairs\n1 game moveparty 58 21\n";
    const std::string toStair = "5 game moveparty 18 4\n";
    struct Case
    {
        const char* name;
        std::string orders;
        const char* area;
    } cases[] = {
        {"sealed", toCrypt + toStair, "crypt"},
        {"found_away", toCrypt + "5 game tag temple_key_found 1\n", "crypt"},
        {"found", toCrypt + "5 game tag temple_key_found 1\n" + toStair, "town"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const std::string out = RunOrders(std::string("gate_") + c.name, c.orders, 12);
        EXPECT_NE(out.find(std::string(" party=1 area=") + c.area + "\n"), std::string::npos)
            << out;
    }
}

} // namespace
