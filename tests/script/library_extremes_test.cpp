// The library functions a script gets, called with extreme arguments: each
// call gives its result or a clear code 6, never a crash or a hang, and the
// game runs the next script as before.

#include "script_test_util.h"

#include <fstream>
#include <string>
#include <vector>

namespace
{

struct ExtremeCall
{
    int line = 0;
    std::string header;
    std::string body;
};

std::vector<ExtremeCall> ReadCases()
{
    std::ifstream file(std::string(VARD_TEST_DATA) + "/fuzz/library_extremes.lua");
    std::vector<ExtremeCall> cases;
    std::string line;
    std::string header;
    for (int number = 1; std::getline(file, line); ++number)
    {
        if (line.rfind("-- gives ", 0) == 0 || line.rfind("-- fails: ", 0) == 0)
            header = line;
        else if (!header.empty())
        {
            cases.push_back({number, header, line});
            header.clear();
        }
    }
    return cases;
}

// What a run came to, in the words of the headers.
std::string RunExtreme(VARD::CEngine& engine, const std::string& body)
{
    VARD::CLuaScript script("function vard_script( context )\n" + body + "\nend\n");
    VARD::CScriptContext context;
    context.actor = &RulesTest::Member(engine);
    try
    {
        return "-- gives " + std::to_string(script.Run(&engine, context));
    }
    catch (const CVARDException& error)
    {
        return "-- fails: " + error.Describe();
    }
}

bool Matches(const std::string& outcome, const std::string& header)
{
    if (header.rfind("-- gives ", 0) == 0)
        return outcome == header;
    const std::string expected = header.substr(10);
    return outcome.rfind("-- fails: code 6: ", 0) == 0 &&
           outcome.find(expected) != std::string::npos;
}

TEST(LibraryExtremes, EveryCallGivesItsResultOrACleanCodeSix)
{
    const auto engine = ScriptTest::EnteredDemoGame();
    const std::vector<ExtremeCall> cases = ReadCases();
    ASSERT_GE(cases.size(), 100u);
    for (const auto& c : cases)
    {
        const std::string outcome = RunExtreme(*engine, c.body);
        EXPECT_TRUE(Matches(outcome, c.header))
            << "line " << c.line << ": " << c.body.substr(0, 120) << "\n  expected " << c.header
            << "\n  got      " << outcome;
        // Nothing of the failed run lingers in the next one.
        ASSERT_EQ(ScriptTest::RunBody(engine.get(), "return 7"), 7) << "line " << c.line;
    }
}

} // namespace
