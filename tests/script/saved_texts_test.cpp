// Texts a script or the player chooses survive a save: quest tags and journal
// entries set through the script functions, the main character's name as the
// name page leaves it and people-journal texts, saved, loaded and compared.

#include "script_test_util.h"
#include "test_util.h"

#include "rules/character_creation.h"
#include "world/journal.h"

#include <cstdio>
#include <random>

namespace
{

using ScriptTest::RunBody;

// A Lua string literal holding exactly these bytes.
std::string LuaLiteral(const std::string& text)
{
    std::string literal = "\"";
    for (const char c : text)
    {
        char escape[5];
        std::snprintf(escape, sizeof escape, "\\%03u", static_cast<unsigned char>(c));
        literal += escape;
    }
    return literal + "\"";
}

using Snapshot = std::tuple<std::map<std::string, std::int32_t>, std::vector<std::string>,
                            std::string, std::vector<std::string>>;

Snapshot Take(VARD::CEngine& engine)
{
    const VARD::CGame& game = engine.Game();
    Snapshot snapshot{game.GetQuestTags(), {}, RulesTest::Member(engine).GetName(), {}};
    for (const auto& entry : game.GetJournal())
        std::get<1>(snapshot).push_back(entry->textName + '|' + entry->questName);
    for (const auto& [key, person] : game.GetPeople())
    {
        std::get<3>(snapshot).push_back(key + '|' + person->displayName + '|' + person->text);
        for (const std::string& line : person->lines)
            std::get<3>(snapshot).back() += '|' + line;
    }
    return snapshot;
}

void ExpectSameAfterSaveAndLoad(VARD::CEngine& engine)
{
    const Snapshot before = Take(engine);
    const std::string path = TestUtil::ScratchPath("saved_texts").string();
    engine.SaveGame(std::nullopt, path);
    engine.LoadGame(path);
    std::filesystem::remove(path);
    EXPECT_EQ(Take(engine), before);
}

} // namespace

// Round 0 holds the marks that broke saves before; the others random bytes.
TEST(SavedTexts, TagsJournalNamesAndPeopleOfAnyBytesLoadBack)
{
    const auto engine = ScriptTest::EnteredDemoGame();
    std::mt19937 generator(54);
    const std::string marks = " \t\n\"'\\()#<>/0";
    const auto text = [&](std::size_t shortest)
    {
        std::string bytes(shortest + generator() % 20, '\0');
        for (char& c : bytes)
            c = generator() % 2 == 0 ? marks[generator() % marks.size()]
                                     : static_cast<char>(generator() % 256);
        return bytes;
    };
    for (int round = 0; round < 8; ++round)
    {
        std::vector<std::string> texts = {
            "met \"old\" Hob", "</questtags>", "0", "my entry", "0", "  Old \"Grim\"\tTom "};
        if (round > 0)
            texts = {text(1), text(1), text(1), text(1), text(0), text(1)};
        std::string body;
        for (int tag = 0; tag < 3; ++tag)
            body += "vard_set_tag_value( context , " + LuaLiteral(texts[tag]) + " , " +
                    std::to_string(static_cast<int>(generator() % 200) - 100) + " ) ";
        RunBody(engine.get(), body + "vard_journal( context , " + LuaLiteral(texts[3]) + " , " +
                                  LuaLiteral(texts[4]) + " )");
        EXPECT_EQ(engine->Game().GetJournal().back()->textName, texts[3]);
        const std::string name = VARD::CleanCreatedName(texts[5]);
        RulesTest::Member(*engine).SetName(name.empty() ? "Hero" : name);
        engine->Game().AddPeopleJournalLine(RulesTest::Member(*engine), text(1), text(0), text(0));
        ExpectSameAfterSaveAndLoad(*engine);
    }
    EXPECT_EQ(engine->Game().GetQuestTags().count("met \"old\" Hob"), 1u);
    EXPECT_EQ(engine->Game().GetJournal().front()->textName, "my entry");
    EXPECT_EQ(engine->Game().GetJournal().front()->questName, "0");
}

// An empty name would come back as the word "0": the script stops first.
TEST(SavedTexts, EmptyNamesAreRefusedBeforeAnythingIsKept)
{
    const auto engine = ScriptTest::EnteredDemoGame();
    const Snapshot before = Take(*engine);
    for (const char* body : {"vard_set_tag( context , '' )", "vard_journal( context , '' , 'q' )",
                             "vard_reveal_area( context , '' )"})
        EXPECT_EQ(ScriptTest::FailureCode(engine.get(), body), 6) << body;
    EXPECT_EQ(Take(*engine), before);
    EXPECT_TRUE(engine->Game().GetRevealed().empty());
}
