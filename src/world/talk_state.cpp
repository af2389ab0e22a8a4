#include "world/talk_state.h"

#include "common/exception.h"
#include "common/tag_file.h"
#include "world/script_record.h"

namespace VARD
{

CTalkState::CTalkState(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("state");
    m_Name = reader.ReadWord();
    // The pairs after the name carry nothing that the game uses. A "0" is left
    // for the script reader, which takes it as the end of its own pairs.
    while (reader.ReadTupleStart(2, false))
    {
        reader.ReadWord();
        reader.ReadWord();
    }
    m_Script = CScript::Create(reader);
    if (!m_Script)
        reader.Fail(1,
                    "talk state " + VARDCommon::QuoteForMessage(m_Name) + " has no <lua> script");
    reader.ReadEndTag();
}

CTalkState::CTalkState(std::string name, std::shared_ptr<CScript> script)
    : m_Name(std::move(name)), m_Script(std::move(script))
{
    if (!m_Script)
        throw CVARDException(1, "talk state " + VARDCommon::QuoteForMessage(m_Name) +
                                    " has no script");
}

void ReadTalkStates(VARDCommon::CTagFileReader& reader, TalkStateList& states)
{
    reader.ReadStartTag("talk");
    while (reader.IsStartTag("state"))
        states.push_back(std::make_shared<CTalkState>(reader));
    reader.ReadEndTag();
}

CTalkState* FindTalkStateByName(const TalkStateList& states, const std::string& name)
{
    for (const auto& state : states)
        if (state && state->GetName() == name)
            return state.get();
    return nullptr;
}

} // namespace VARD
