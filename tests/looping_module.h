#pragma once

// A copy of the demo module whose scripts of the chosen callers are replaced
// by one that never ends, as a module author might get them wrong, or by
// another script block given, with any records added that a test needs.
// Entries
// and exits without a script get it too, so that every way into and out of
// an area runs one; monsters without a heartbeat get one, and traps cannot
// be disarmed.

#include "scratch_files.h"

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace TestUtil
{

enum class ScriptCaller
{
    Talk,
    Heartbeat,
    Trap,
    Door,
    Quest,
    Entry,
    Exit,
};

// Records added to a module file, in front of the first place its text
// holds `before` (a closing tag).
struct ModuleAddition
{
    std::string file;
    std::string before;
    std::string text;
};

// A quest "feat" of a display name `length` bytes long, which completes once
// the tag "work" is set.
inline ModuleAddition QuestOfLongName(std::size_t length)
{
    return {"quests.vard", "</quests>",
            "<quest> feat \"" + std::string(length, 'd') +
                "\" 1 work <lua> return true </lua> </quest>"};
}

// A faction "order" whose first rank teaches `count` spells, and the spells.
inline std::vector<ModuleAddition> RankOfManySpells(int count)
{
    std::string spells;
    std::string granted;
    for (int i = 0; i < count; ++i)
    {
        spells += "<spell> sp" + std::to_string(i) +
                  " \"S\" (1 1 1) \"d\" 0 life_magic 1 0 0 0 <effect> heal <value> 10 (6 10) "
                  "(2 6) </value> </effect> </spell>\n";
        granted += " sp" + std::to_string(i);
    }
    return {{"magic.vard", "</spells>", spells},
            {"factions.vard", "</factions>",
             "<faction> order \"Order\" \"d\" <rank> \"Adept\"" + granted + " </rank> </faction>"}};
}

class LoopingModule
{
public:
    explicit LoopingModule(std::initializer_list<ScriptCaller> callers,
                           std::string script = "<lua> while true do end </lua>",
                           std::vector<ModuleAddition> additions = {})
        : m_Callers(callers), m_Script(std::move(script)), m_Additions(std::move(additions)),
          m_Root(ScratchPath("looping", ""))
    {
        std::filesystem::copy(VARD_DEMO_MODULE, m_Root, std::filesystem::copy_options::recursive);
        for (const auto& entry : std::filesystem::directory_iterator(m_Root))
        {
            if (entry.path().extension() != ".vard")
                continue;
            std::stringstream text;
            text << std::ifstream(entry.path()).rdbuf();
            std::string rewritten = Rewrite(text.str());
            for (const auto& addition : m_Additions)
                if (entry.path().filename() == addition.file)
                    rewritten.insert(rewritten.find(addition.before), addition.text + "\n");
            std::ofstream(entry.path(), std::ios::trunc) << rewritten;
        }
    }
    ~LoopingModule() { std::filesystem::remove_all(m_Root); }
    LoopingModule(const LoopingModule&) = delete;
    LoopingModule& operator=(const LoopingModule&) = delete;

    std::string Path() const { return m_Root.string(); }

private:
    bool Chosen(ScriptCaller caller) const { return m_Callers.count(caller) != 0; }

    // The caller a script at this place belongs to: the nearest block
    // before it that carries scripts.
    static bool CallerAt(const std::string& text, std::size_t at, ScriptCaller& caller)
    {
        static const std::pair<const char*, ScriptCaller> kTags[] = {
            {"<state>", ScriptCaller::Talk},  {"<heartbeat>", ScriptCaller::Heartbeat},
            {"<trap>", ScriptCaller::Trap},   {"<tile>", ScriptCaller::Door},
            {"<quest>", ScriptCaller::Quest}, {"<entry>", ScriptCaller::Entry},
            {"<exit>", ScriptCaller::Exit}};
        std::size_t nearest = std::string::npos;
        for (const auto& [tag, kind] : kTags)
        {
            const std::size_t found = text.rfind(tag, at);
            if (found != std::string::npos && (nearest == std::string::npos || found > nearest))
            {
                nearest = found;
                caller = kind;
            }
        }
        return nearest != std::string::npos;
    }

    std::string Rewrite(const std::string& text) const
    {
        std::string out;
        std::size_t from = 0;
        for (std::size_t at; (at = text.find("<lua>", from)) != std::string::npos;)
        {
            const std::size_t end = text.find("</lua>", at) + 6;
            ScriptCaller caller{};
            const bool chosen = CallerAt(text, at, caller) && Chosen(caller);
            out += text.substr(from, at - from) + (chosen ? m_Script : text.substr(at, end - at));
            from = end;
        }
        out += text.substr(from);
        // An entry or exit ends in the word 0 where it has no script.
        for (const auto& [closing, caller] :
             {std::pair{"0 </entry>", ScriptCaller::Entry}, {"0 </exit>", ScriptCaller::Exit}})
        {
            if (!Chosen(caller))
                continue;
            for (std::size_t at; (at = out.find(closing)) != std::string::npos;)
                out.replace(at, 1, m_Script);
        }
        if (Chosen(ScriptCaller::Heartbeat))
            out = GiveHeartbeats(out, m_Script);
        if (Chosen(ScriptCaller::Trap))
            out = MakeTrapsSure(out);
        return out;
    }

    // Every monster with a brain gets a heartbeat, so that whoever stands
    // nearest to the party has one.
    static std::string GiveHeartbeats(std::string text, const std::string& script)
    {
        for (std::size_t at = 0; (at = text.find("<monster>", at)) != std::string::npos; ++at)
        {
            const std::size_t end = text.find("</monster>", at);
            const std::size_t brain = text.find("<brain>", at);
            const std::size_t heartbeat = text.find("<heartbeat>", at);
            if (brain < end && !(heartbeat < end))
                text.insert(brain, "<heartbeat> " + script + " </heartbeat> ");
        }
        return text;
    }

    // Traps of difficulty 0, which nobody disarms: whoever steps on one
    // springs it.
    static std::string MakeTrapsSure(std::string text)
    {
        for (std::size_t at = 0; (at = text.find("<trap>", at)) != std::string::npos; ++at)
        {
            std::istringstream words(text.substr(at + 6, 64));
            std::string armed;
            std::string difficulty;
            words >> armed >> difficulty;
            const std::size_t place =
                text.find(difficulty, text.find(armed, at + 6) + armed.size());
            text.erase(place, difficulty.size());
            text.insert(place, 1, '0');
        }
        return text;
    }

    std::set<ScriptCaller> m_Callers;
    std::string m_Script;
    std::vector<ModuleAddition> m_Additions;
    std::filesystem::path m_Root;
};

} // namespace TestUtil
