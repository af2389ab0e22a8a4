// Texts a script or the player chooses survive a save: quest tags and journal
// entries set by the script functions and the name as the name page leaves
// it, saved, loaded and compared; empty names stop the script first.

#include "script_test_util.h"
#include "test_util.h"

#include "rules/character_creation.h"
#include "world/journal.h"

#include <random>

namespace
{

// The tags, the journal's text and quest names and the main character's name.
std::string Texts(VARD::CEngine& engine)
{
    std::string texts = RulesTest::Member(engine).GetName();
    for (const auto& [tag, value] : engine.Game().GetQuestTags())
        texts += '|' + tag + '=' + std::to_string(value);
    for (const auto& entry : engine.Game().GetJournal())
        texts += '|' + entry->textName + '/' + entry->questName;
    return texts;
}

} // namespace

// Round 0 holds the marks that broke saves before, the others random bytes.
TEST(SavedTexts, TagsJournalEntriesAndNamesOfAnyBytesLoadBack)
{
    const auto engine = ScriptTest::EnteredDemoGame();
    std::mt19937 generator(54);
    const std::string marks = " \t\n\"'\\()#<>/0";
    const auto text = [&]
    {
        std::string bytes(1 + generator() % 20, '\0');
        for (char& c : bytes)
            c = generator() % 2 == 0 ? marks[generator() % marks.size()]
                                     : static_cast<char>(generator() % 256);
        return bytes;
    };
    for (int round = 0; round < 8; ++round)
    {
        std::vector<std::string> texts = {"met \"old\" Hob", "</questtags>", "my entry", "0",
                                          "  Old \"Grim\"\tTom "};
        if (round > 0)
            texts = {text(), text(), text(), text(), text()};
        // Every byte as a decimal escape of a Lua literal.
        std::vector<std::string> literals;
        for (const std::string& bytes : texts)
        {
            literals.push_back("\"");
            for (const char c : bytes)
                literals.back() +=
                    "\\" + std::to_string(static_cast<unsigned char>(c) + 1000).substr(1);
            literals.back() += "\"";
        }
        ScriptTest::RunBody(engine.get(), "vard_set_tag( context , " + literals[0] +
                                              " ) vard_set_tag_value( context , " + literals[1] +
                                              " , -3 ) vard_journal( context , " + literals[2] +
                                              " , " + literals[3] + " )");
        const std::string name = VARD::CleanCreatedName(texts[4]);
        RulesTest::Member(*engine).SetName(name.empty() ? "Hero" : name);
        EXPECT_EQ(engine->Game().GetJournal().back()->questName, texts[3]);
        const std::string before = Texts(*engine);
        const std::string path = TestUtil::ScratchPath("saved_texts").string();
        engine->SaveGame(std::nullopt, path);
        engine->LoadGame(path);
        std::filesystem::remove(path);
        EXPECT_EQ(Texts(*engine), before);
    }
    EXPECT_EQ(engine->Game().GetQuestTag("met \"old\" Hob"), 1);
    EXPECT_EQ(engine->Game().GetJournal().front()->textName, "my entry");

    const std::string before = Texts(*engine);
    for (const char* body : {"vard_set_tag( context , '' )", "vard_journal( context , '' , 'q' )",
                             "vard_reveal_area( context , '' )"})
        EXPECT_EQ(ScriptTest::FailureCode(engine.get(), body), 6) << body;
    EXPECT_EQ(Texts(*engine), before);
    EXPECT_TRUE(engine->Game().GetRevealed().empty());
}
