#pragma once

#include "common/tag_file_fwd.h"

#include <memory>
#include <string>
#include <vector>

namespace VARD
{

class CScript;

// One named step of a conversation and the script that runs when it is entered.
class CTalkState
{
public:
    // Reads one <state> block: name, ignored pairs, script. Code 1 when the
    // block holds no <lua> script.
    explicit CTalkState(VARDCommon::CTagFileReader& reader);
    // For states built in code; code 1 for a null script.
    CTalkState(std::string name, std::shared_ptr<CScript> script);

    const std::string& GetName() const { return m_Name; }
    // Never null.
    const std::shared_ptr<CScript>& GetScript() const { return m_Script; }

private:
    std::string m_Name;
    std::shared_ptr<CScript> m_Script;
};

using TalkStateList = std::vector<std::shared_ptr<CTalkState>>;

// A choice offered to the player: its text and the state it leads to.
class CTalkChoice
{
public:
    CTalkChoice(std::string text, std::string stateName)
        : m_Text(std::move(text)), m_StateName(std::move(stateName))
    {
    }

    const std::string& GetText() const { return m_Text; }
    std::string GetStateName() const { return m_StateName; }

private:
    std::string m_Text;
    std::string m_StateName;
};

using TalkChoiceList = std::vector<std::shared_ptr<CTalkChoice>>;

// Things that can be talked to: actors and objects.
class CTalkTarget
{
public:
    virtual ~CTalkTarget() = default;

    virtual std::string GetTalkName() const = 0;
    // The talk states of its template.
    virtual const TalkStateList& GetTalkFiles() const = 0;
    virtual void ClearTalkQueue() = 0;
    virtual void QueueTalk(std::shared_ptr<CTalkChoice> choice) = 0;
    // The first state's name, or the empty text.
    virtual std::string GetFirstTalkFile() const = 0;
    virtual TalkChoiceList GetTalkQueue() const = 0;
};

// Reads a <talk> block, appending its states in file order, and leaves the
// reader after </talk>. Code 1 for anything but <state> blocks inside.
void ReadTalkStates(VARDCommon::CTagFileReader& reader, TalkStateList& states);

// The first state with exactly that name, or null.
CTalkState* FindTalkStateByName(const TalkStateList& states, const std::string& name);

} // namespace VARD
