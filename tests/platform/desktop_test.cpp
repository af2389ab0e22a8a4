#include "platform/desktop.h"
#include "platform/display_text.h"
#include "platform/file_chooser.h"
#include "platform/folders.h"
#include "platform/platform_error.h"
#include "scratch_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace
{

namespace fs = std::filesystem;

using TestUtil::ScratchFolder;

// Sets an environment variable (or unsets it, for nothing) until the end of the scope.
class EnvironmentVariable
{
public:
    EnvironmentVariable(const char* name, const std::optional<std::string>& value) : m_Name(name)
    {
        if (const char* old = std::getenv(name))
        {
            m_Old = old;
        }
        Set(value);
    }
    ~EnvironmentVariable() { Set(m_Old); }

private:
    void Set(const std::optional<std::string>& value)
    {
        if (value)
        {
            setenv(m_Name, value->c_str(), 1);
        }
        else
        {
            unsetenv(m_Name);
        }
    }

    const char* m_Name;
    std::optional<std::string> m_Old;
};

void WriteFile(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

TEST(DocumentsFolder, XdgFolderElseDocumentsInHome)
{
    ScratchFolder home("desktop_home");
    ScratchFolder config("desktop_config");
    EnvironmentVariable homeVariable("HOME", home.Path().string());
    EnvironmentVariable configVariable("XDG_CONFIG_HOME", std::nullopt);

    EXPECT_EQ(platform::DocumentsFolder(), home.Path() / "Documents");

    const fs::path dirs = home.Path() / ".config" / "user-dirs.dirs";
    WriteFile(dirs, "# XDG_DOCUMENTS_DIR=\"$HOME/Commented\"\n"
                    "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                    "XDG_DOCUMENTS_DIR=\"$HOME/Papiere\"\n");
    EXPECT_EQ(platform::DocumentsFolder(), home.Path() / "Papiere");

    // A relative value is not a folder the file format allows.
    WriteFile(dirs, "XDG_DOCUMENTS_DIR=\"Papiere\"\n");
    EXPECT_EQ(platform::DocumentsFolder(), home.Path() / "Documents");

    WriteFile(dirs, "XDG_DOCUMENTS_DIR=\"$HOME/\"\n");
    EXPECT_EQ(platform::DocumentsFolder(), home.Path());

    // XDG_CONFIG_HOME moves the file; an absolute value stands as it is.
    EnvironmentVariable movedConfig("XDG_CONFIG_HOME", config.Path().string());
    WriteFile(config.Path() / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"/srv/papers\"\n");
    EXPECT_EQ(platform::DocumentsFolder(), fs::path("/srv/papers"));
}

TEST(DocumentsFolder, SavedGamesFolderIsCreatedOnceAndAFileInTheWayFails)
{
    ScratchFolder home("desktop_home");
    EnvironmentVariable homeVariable("HOME", home.Path().string());
    EnvironmentVariable configVariable("XDG_CONFIG_HOME", std::nullopt);

    const fs::path saved = platform::DocumentsFolder() / "BRLM Saved Games";
    platform::CreateFolder(saved);
    EXPECT_TRUE(fs::is_directory(saved));
    std::ofstream(saved / "a.vard") << "kept";
    platform::CreateFolder(saved); // existing: no error, nothing lost
    EXPECT_TRUE(fs::exists(saved / "a.vard"));

    EXPECT_THROW(platform::CreateFolder(saved / "a.vard"), platform::Error);
    EXPECT_THROW(platform::CreateFolder(saved / "a.vard" / "below"), platform::Error);
}

TEST(ExecutableFolder, IsTheFolderOfThisTest)
{
    const fs::path folder = platform::ExecutableFolder();
    EXPECT_TRUE(fs::exists(folder / "platform_shell_tests"));
}

TEST(ChildProcess, ArgumentsPassWithoutAShellAndWhatCannotRunIsReported)
{
    const platform::ChildResult printed =
        platform::RunChild({"printf", "%s|%s", "two words", "$HOME;*"});
    EXPECT_TRUE(printed.started);
    EXPECT_EQ(printed.exitCode, 0);
    EXPECT_EQ(printed.output, "two words|$HOME;*");

    const platform::ChildResult failed = platform::RunChild({"false"});
    EXPECT_TRUE(failed.started);
    EXPECT_EQ(failed.exitCode, 1);

    EXPECT_FALSE(platform::RunChild({"vard-no-such-program"}).started);
    EXPECT_FALSE(platform::RunChild({}).started);

    // A folder named like the program, earlier on PATH, is passed over.
    ScratchFolder scratch("desktop_path");
    fs::create_directories(scratch.Path() / "printf");
    const char* path = std::getenv("PATH");
    const EnvironmentVariable searched("PATH", scratch.Path().string() + ":" +
                                                   (path != nullptr ? path : "/usr/bin:/bin"));
    const platform::ChildResult found = platform::RunChild({"printf", "found"});
    EXPECT_TRUE(found.started);
    EXPECT_EQ(found.output, "found");

    // Found, but refused by the system once forked (its interpreter is
    // missing): not started either.
    const fs::path broken = scratch.Path() / "vard-broken";
    WriteFile(broken, "#!/vard/no/such/interpreter\n");
    fs::permissions(broken, fs::perms::owner_all);
    EXPECT_FALSE(platform::RunChild({"vard-broken"}).started);
}

TEST(FileChooser, ZenityCommandLines)
{
    platform::FileChoice open;
    open.initialFolder = "/home/u/Documents/BRLM Saved Games";
    open.defaultExtension = "vard";
    EXPECT_EQ(platform::ZenityFileCommand(open, "/home/u/Documents/BRLM Saved Games/"),
              (std::vector<std::string>{"zenity", "--file-selection",
                                        "--filename=/home/u/Documents/BRLM Saved Games/"}));
    platform::FileChoice save = open;
    save.save = true;
    EXPECT_EQ(platform::ZenityFileCommand(save, "/home/u/x.vard"),
              (std::vector<std::string>{"zenity", "--file-selection", "--save",
                                        "--confirm-overwrite", "--filename=/home/u/x.vard"}));
    EXPECT_EQ(
        platform::ZenityFileCommand(save, ""),
        (std::vector<std::string>{"zenity", "--file-selection", "--save", "--confirm-overwrite"}));
}

// Plays zenity's part from a script and keeps the command lines it was given.
struct ScriptedZenity
{
    platform::ChildResult operator()(const std::vector<std::string>& argv)
    {
        calls->push_back(argv);
        if (answers->empty())
        {
            return {true, 1, ""};
        }
        const platform::ChildResult answer = answers->front();
        answers->pop_front();
        return answer;
    }

    std::deque<platform::ChildResult>* answers;
    std::vector<std::vector<std::string>>* calls;
};

class FileChooserTest : public ::testing::Test
{
protected:
    std::optional<std::string> Choose(bool save)
    {
        platform::FileChoice choice;
        choice.save = save;
        choice.initialFolder = folder.Path().string();
        choice.defaultExtension = "vard";
        return platform::ChooseFileWithZenity(choice, ScriptedZenity{&answers, &calls}, desktop);
    }

    std::string In(const std::string& name) const { return (folder.Path() / name).string(); }

    ScratchFolder folder{"desktop_chooser"};
    platform::FakeDesktop desktop;
    std::deque<platform::ChildResult> answers;
    std::vector<std::vector<std::string>> calls;
};

TEST_F(FileChooserTest, OpenStartsInTheFolderAndGivesAnExistingFile)
{
    std::ofstream(In("hero.vard")) << "x";
    answers = {{true, 0, In("hero.vard") + "\n"}};
    EXPECT_EQ(Choose(false), In("hero.vard"));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].back(), "--filename=" + In(""));
    EXPECT_TRUE(desktop.boxes.empty());

    // A name typed without its extension finds the file with it.
    calls.clear();
    answers = {{true, 0, In("hero") + "\n"}};
    EXPECT_EQ(Choose(false), In("hero.vard"));
}

TEST_F(FileChooserTest, OpenOfAMissingFileSaysSoAndAsksAgain)
{
    answers = {{true, 0, In("gone.vard") + "\n"}, {true, 1, ""}};
    EXPECT_EQ(Choose(false), std::nullopt);
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].text,
              In("gone.vard") + "\nFile not found.\nCheck the file name and try again.");
    EXPECT_EQ(calls.size(), 2u);
}

TEST_F(FileChooserTest, CancelAndFailureGiveNothing)
{
    answers = {{true, 1, ""}};
    EXPECT_EQ(Choose(true), std::nullopt);
    answers = {{true, 0, ""}};
    EXPECT_EQ(Choose(true), std::nullopt);
    answers = {{true, 255, In("x.vard")}};
    EXPECT_EQ(Choose(true), std::nullopt);
    EXPECT_TRUE(desktop.boxes.empty());
}

TEST_F(FileChooserTest, SaveAddsTheExtensionAndAsksBeforeReplacingWhatThatHits)
{
    answers = {{true, 0, In("new game") + "\n"}};
    EXPECT_EQ(Choose(true), In("new game.vard"));
    EXPECT_TRUE(desktop.boxes.empty());

    // zenity confirmed "old"; "old.vard" needs its own answer. No: back to
    // the chooser at that name; yes: that name.
    std::ofstream(In("old.vard")) << "x";
    calls.clear();
    answers = {{true, 0, In("old") + "\n"}, {true, 0, In("old") + "\n"}};
    desktop.boxAnswers = {platform::MessageBoxResult::Cancel, platform::MessageBoxResult::Ok};
    EXPECT_EQ(Choose(true), In("old.vard"));
    ASSERT_EQ(desktop.boxes.size(), 2u);
    EXPECT_EQ(desktop.boxes[0].text, "old.vard already exists.\nDo you want to replace it?");
    EXPECT_EQ(desktop.boxes[0].buttons, platform::MessageBoxButtons::OkCancel);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].back(), "--filename=" + In("old.vard"));

    // A name with an extension is left as zenity gave it.
    answers = {{true, 0, In("notes.txt") + "\n"}};
    EXPECT_EQ(Choose(true), In("notes.txt"));
}

TEST_F(FileChooserTest, MissingZenityIsReportedInABox)
{
    answers = {{false, -1, ""}};
    EXPECT_EQ(Choose(false), std::nullopt);
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].caption, platform::kFileChooserCaption);
    EXPECT_EQ(desktop.boxes[0].text, platform::kZenityMissingText);
    EXPECT_EQ(desktop.boxes[0].icon, platform::MessageBoxIcon::Error);
}

TEST(DisplayText, Utf8StaysAndWindows1252IsConverted)
{
    EXPECT_EQ(platform::DisplayText("Brelmoor - Welcome"), "Brelmoor - Welcome");
    EXPECT_EQ(platform::DisplayText("/home/j\xC3\xBCrgen/a.vard"), "/home/j\xC3\xBCrgen/a.vard");
    // "Caf\xE9" and the euro sign, 0x80, in Windows-1252.
    EXPECT_EQ(platform::DisplayText("Caf\xE9 \x80"), "Caf\xC3\xA9 \xE2\x82\xAC");
    // A lead byte at the end, an overlong form and a surrogate are not UTF-8.
    EXPECT_EQ(platform::DisplayText("a\xC3"), "a\xC3\x83");
    EXPECT_EQ(platform::DisplayText("\xC0\xAF"), "\xC3\x80\xC2\xAF");
    EXPECT_EQ(platform::DisplayText("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xE2\x82\xAC");
}

TEST(DisplayText, BoxTextsWrapToTheScreen)
{
    struct Case
    {
        std::string text;
        std::size_t columns;
        std::string wrapped;
    };
    const std::string path = "/home/player/Documents/BRLM Saved Games/s1.vard";
    const Case cases[] = {
        // At the last blank that fits, the blank dropped, a line of exactly
        // the column count kept whole.
        {"Failed to load module", 10, "Failed to\nload\nmodule"},
        {"abc defgh", 4, "abc\ndefg\nh"},
        // Runs of blanks go with the break, not into the next line.
        {"one   two   ", 4, "one\ntwo"},
        // The text's own breaks stay, and each of its lines wraps alone.
        {"Failed to save.\nno space left on device", 12,
         "Failed to\nsave.\nno space\nleft on\ndevice"},
        // A path breaks after a slash; a word with none at the column.
        {path, 20, "/home/player/\nDocuments/BRLM Saved\nGames/s1.vard"},
        {"C:\\Games\\BRLM\\save.vard", 12, "C:\\Games\\\nBRLM\\\nsave.vard"},
        // Characters, not bytes, are counted, and none is cut in two.
        {"\xC3\xA9\xC3\xA9\xC3\xA9 \xC3\xA9", 3, "\xC3\xA9\xC3\xA9\xC3\xA9\n\xC3\xA9"},
        {"\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC", 2, "\xE2\x82\xAC\xE2\x82\xAC\n\xE2\x82\xAC"},
        // Short texts and no column count are left as they are.
        {"Script Error", 40, "Script Error"},
        {path, 0, path},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        const std::string wrapped = platform::WrapText(c.text, c.columns);
        EXPECT_EQ(wrapped, c.wrapped);
    }

    // A box's line fits the screen it is shown on, within bounds that keep
    // it readable.
    const std::pair<int, std::size_t> screens[] = {{0, 80},   {-1, 80},   {320, 32}, {640, 56},
                                                   {800, 74}, {1024, 96}, {3840, 96}};
    for (const auto& [width, columns] : screens)
        EXPECT_EQ(platform::MessageBoxColumns(width), columns) << width;

    // Its lines are cut to what the screen's height holds, the last shown
    // saying that more were left out.
    const std::tuple<std::string, std::size_t, std::string> cuts[] = {
        {"a\nb\nc\nd", 2, "a\n..."}, {"a\nb\nc\nd", 3, "a\nb\n..."}, {"a\nb\nc", 3, "a\nb\nc"},
        {"a\nb\n", 2, "a\nb\n"},     {"\n\n\n", 1, "..."},           {"one line", 1, "one line"},
        {"a\nb\nc", 0, "a\nb\nc"},
    };
    for (const auto& [text, lines, cut] : cuts)
        EXPECT_EQ(platform::CutLines(text, lines), cut) << text << " in " << lines;
    const std::pair<int, std::size_t> heights[] = {{0, 24},   {-1, 24},  {100, 4},
                                                   {480, 24}, {768, 40}, {2160, 40}};
    for (const auto& [height, lines] : heights)
        EXPECT_EQ(platform::MessageBoxLines(height), lines) << height;
}

TEST(WebPage, OnlyWebAddressesAreOpened)
{
    EXPECT_TRUE(platform::IsWebAddress("https://example.org/feedback"));
    EXPECT_TRUE(platform::IsWebAddress("http://example.org"));
    EXPECT_FALSE(platform::IsWebAddress("--help"));
    EXPECT_FALSE(platform::IsWebAddress("file:///etc/passwd"));
    EXPECT_FALSE(platform::IsWebAddress("https://example.org/a b"));
    EXPECT_FALSE(platform::IsWebAddress("https://example.org/\n"));
}

} // namespace
