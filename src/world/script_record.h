#pragma once

#include "common/tag_file_fwd.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace VARD
{

class CEngine;
class CActor;
class CThing;

// What one script run is handed, and what a talk script hands back. The caller
// builds a fresh one for every run and reads it afterwards.
struct CScriptContext
{
    // Run stores its engine here first, so callers need not fill it.
    CEngine* engine = nullptr;
    // The actor the script runs for: the speaker, the actor at a door, the
    // member who set off a trap; null for quest, entry and exit scripts.
    CActor* actor = nullptr;
    // The thing talked to; null outside talk.
    CThing* target = nullptr;
    // Set to 1 by the script to end the conversation.
    std::int32_t endTalk = 0;
    // The talk state to go on with; empty for none.
    std::string nextState;
};

// A script carried by module data (talk states, doors, traps, quests, entries,
// exits, heartbeats). Owners share it and never copy it.
class CScript
{
public:
    // Builds a script from its complete source text. The script host installs
    // one that makes runnable scripts; until then scripts only keep their text.
    using Factory = std::function<std::shared_ptr<CScript>(std::string source)>;

    CScript() = default;
    CScript(const CScript&) = delete;
    CScript& operator=(const CScript&) = delete;
    virtual ~CScript() = default;

    // Runs the script to its end and returns its result as an integer.
    // Failure: code 6.
    virtual std::int32_t Run(CEngine* engine, CScriptContext& context) = 0;

    // Skips any leading pairs of words (a "0" ends them and is consumed), then
    // reads a <lua> block if one stands there. Null, with nothing more read,
    // when there is none. Code 1 for a block without its end tag.
    static std::shared_ptr<CScript> Create(VARDCommon::CTagFileReader& reader);

    // Replaces the builder that Create uses and returns the previous one; an
    // empty factory puts back the one that keeps text only.
    static Factory SetFactory(Factory factory);
};

// The script as read, before any host can run it.
class CStoredScript : public CScript
{
public:
    explicit CStoredScript(std::string source) : m_Source(std::move(source)) {}

    // Throws code 6: nothing can run a script without the host.
    std::int32_t Run(CEngine* engine, CScriptContext& context) override;

    const std::string& GetSource() const { return m_Source; }

private:
    std::string m_Source;
};

// Runs started while one of these lives on this thread, and the runs they
// start in turn, spend one budget: the steps of one conversation cannot each
// take a whole run's worth. Groups may nest; the outermost one counts.
class CScriptRunGroup
{
public:
    CScriptRunGroup();
    ~CScriptRunGroup();
    CScriptRunGroup(const CScriptRunGroup&) = delete;
    CScriptRunGroup& operator=(const CScriptRunGroup&) = delete;

    // The outermost group open on this thread, a number never used before on
    // it; 0 while none is open.
    static std::uint64_t Current();
};

// True where a script block or its leading pairs begin. Records in which a
// script stands in place of another field ask this first: Create would take a
// "0" in that field for the end of its pairs.
bool IsAtScript(const VARDCommon::CTagFileReader& reader);

// Reads the body of the open <lua> element up to its end tag, which is left
// unread, and wraps it as the function vard_script. Every word is followed by
// one blank, so the body stands on one line; comments of the data file are
// gone. Code 1 when the input ends first.
std::string ReadScriptSource(VARDCommon::CTagFileReader& reader);

} // namespace VARD
