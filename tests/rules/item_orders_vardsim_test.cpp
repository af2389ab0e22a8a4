// The item and store verbs of vardsim on the demo town: the ids come from a
// first run's report, the second run uses them.

#include "test_util.h"
#include "vardsim_run.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace
{

std::string RunOrders(const std::string& orders, const std::string& ticks)
{
    const auto path = TestUtil::ScratchPath("item_orders");
    std::ofstream(path) << orders;
    const std::string out =
        TestUtil::RunVardsim("--report --ticks " + ticks + " --orders " + path.string()).out;
    std::filesystem::remove(path);
    return out;
}

// "item ID NAME xCOUNT in HOLDER" lines: the id under "NAME in HOLDER".
std::map<std::string, std::string> ItemIds(const std::string& report)
{
    std::map<std::string, std::string> ids;
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);)
    {
        std::istringstream words(line);
        std::string word, id, name, count, in, holder;
        if (words >> word >> id >> name >> count >> in >> holder && word == "item")
            ids.emplace(name + " in " + holder, id);
    }
    return ids;
}

// The id of the first "actor ID TEMPLATE side" or "object ID DEFINITION at"
// line of the report.
std::string IdOf(const std::string& report, const std::string& kind, const std::string& name)
{
    const std::size_t at = report.find(' ' + name + (kind == "actor" ? " side " : " at "));
    if (at == std::string::npos)
        return {};
    const std::size_t start = report.rfind(kind + ' ', at) + kind.size() + 1;
    return report.substr(start, at - start);
}

TEST(ItemOrdersVardsim, GetDropAndBuyOnTheDemoTown)
{
    const std::string walk = "1 game moveparty 21 36\n";
    const std::string first = RunOrders(walk, "2");
    const std::string merchant = IdOf(first, "actor", "merchant");
    const std::string chest = IdOf(first, "object", "chest");
    auto ids = ItemIds(first);
    const std::string gold = ids["gold in " + chest];
    const std::string bread = ids["bread in " + chest];
    const std::string potion = ids["i_potion-heal in " + merchant];
    ASSERT_FALSE(merchant.empty() || gold.empty() || bread.empty() || potion.empty()) << first;

    const std::string orders =
        walk + "2 0 get " + gold + "\n2 0 get " + bread + "\n2 0 get " + bread + "\n3 0 drop " +
        bread + "\n4 game moveparty 16 31\n5 0 buy " + merchant + ' ' + potion + " 2\n5 0 buy " +
        merchant + ' ' + potion + " 0\n5 0 sell " + potion + " 1\n";
    const std::string out = RunOrders(orders, "7");
    EXPECT_NE(out.find("2\t19\tThe party has gained 80 gold.\n"), std::string::npos) << out;
    EXPECT_NE(out.find("2\terror\tcode 3: no object 0 to take from"), std::string::npos) << out;
    EXPECT_NE(out.find(" pile at 21.25 36.25\n"), std::string::npos) << out;
    EXPECT_NE(out.find("5\terror\tcode 3: a trade needs a count of at least 1"), std::string::npos)
        << out;
    EXPECT_NE(out.find("5\terror\tcode 3: no merchant 0"), std::string::npos)
        << "selling needs a conversation first\n"
        << out;
    EXPECT_NE(out.find("item " + potion + " i_potion-heal x3 in " + merchant + "\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find(" i_potion-heal x2 in " + IdOf(out, "actor", "main") + "\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find(" gold=6 party=1 area=town\n"), std::string::npos) << out;
}

} // namespace
