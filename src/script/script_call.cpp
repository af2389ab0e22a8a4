#include "script/script_call.h"

#include "common/exception.h"
#include "rules/engine.h"
#include "script/script_run.h"
#include "world/actor.h"
#include "world/game.h"
#include "world/script_record.h"

#include <lua.hpp>

namespace VARD::ScriptHost
{

CEngine& CScriptCall::Engine() const
{
    if (m_Context.engine == nullptr)
        throw CVARDException(2, "the script runs without an engine");
    return *m_Context.engine;
}

CGame& CScriptCall::Game() const
{
    return Engine().Game();
}

const CModule& CScriptCall::Module() const
{
    return Engine().Module();
}

std::string CScriptCall::TextAt(int argument) const
{
    const int index = argument + 1;
    const int type = lua_type(m_State, index);
    if (type != LUA_TSTRING && type != LUA_TNUMBER)
        throw CScriptArgError{kBadStringError};
    std::size_t length = 0;
    const char* text = lua_tolstring(m_State, index, &length);
    return std::string(text, length);
}

std::string CScriptCall::Text(int argument) const
{
    return TextAt(argument);
}

std::string CScriptCall::SavedName(int argument) const
{
    std::string text = TextAt(argument);
    if (text.empty())
        throw CScriptArgError{kEmptyNameError};
    return text;
}

std::int32_t CScriptCall::Number(int argument) const
{
    const int index = argument + 1;
    if (lua_isnumber(m_State, index) == 0)
        return 0;
    return ToInteger(lua_tonumber(m_State, index));
}

CActor* CScriptCall::Resolve(const std::string& name) const
{
    if (name == "actor")
        return m_Context.actor;
    if (name == "target")
        return m_Context.target != nullptr ? &PartnerActor() : nullptr;
    for (const auto& member : Game().GetParty())
        if (member->GetTemplateName() == name)
            return member.get();
    return nullptr;
}

CActor* CScriptCall::Who(int argument) const
{
    const std::string name = TextAt(argument);
    if (name == "party")
        return nullptr;
    CActor* actor = Resolve(name);
    if (actor == nullptr)
        throw CScriptArgError{kBadActorError};
    return actor;
}

CActor& CScriptCall::OneActor(int argument) const
{
    CActor* actor = Who(argument);
    if (actor == nullptr)
        throw CScriptArgError{kBadActorError};
    return *actor;
}

CActor* CScriptCall::Name(int argument) const
{
    return Resolve(TextAt(argument));
}

CTalkTarget& CScriptCall::PartnerTalk() const
{
    auto* partner = dynamic_cast<CTalkTarget*>(m_Context.target);
    if (partner == nullptr)
        throw CVARDException(2, "the talk partner cannot be talked to");
    return *partner;
}

CActor& CScriptCall::PartnerActor() const
{
    auto* partner = dynamic_cast<CActor*>(m_Context.target);
    if (partner == nullptr)
        throw CVARDException(2, "the talk partner is not an actor");
    return *partner;
}

CActor* CScriptCall::PartnerOrActor() const
{
    return m_Context.target != nullptr ? &PartnerActor() : m_Context.actor;
}

CScriptBudget& CScriptCall::Budget() const
{
    return *RunOf(m_State).budget;
}

void CScriptCall::Keep(std::size_t bytes) const
{
    if (!CBudgetKeeper(Budget()).Pay(bytes))
        throw CScriptStopped{};
}

std::size_t CScriptCall::Room() const
{
    return CBudgetKeeper(Budget()).Room();
}

void CScriptCall::Stop(const char* reason) const
{
    CBudgetKeeper(Budget()).Stop(reason);
}

bool CBudgetKeeper::Pay(std::size_t bytes)
{
    // A budget spent, or to be, pays for nothing more, whatever is asked.
    if (bytes > Room())
    {
        StopAfterCall(kHandedTooMuchReason);
        return false;
    }
    m_Budget.gameBytes += bytes;
    return true;
}

std::size_t CBudgetKeeper::Room() const
{
    const std::size_t spent = m_Budget.gameBytes;
    if (m_Budget.stopped || m_Budget.pendingReason != nullptr || spent >= kGameBytesBudget)
        return 0;
    return kGameBytesBudget - spent;
}

bool CBudgetKeeper::IsStopped() const
{
    return m_Budget.stopped;
}

void CBudgetKeeper::StopAfterCall(const char* reason)
{
    if (!m_Budget.stopped && m_Budget.pendingReason == nullptr)
        m_Budget.pendingReason = reason;
}

void CBudgetKeeper::Stop(const char* reason)
{
    MarkStopped(m_Budget, reason != nullptr ? reason : kHandedTooMuchReason);
    throw CScriptStopped{};
}

int CScriptCall::Return(bool value) const
{
    lua_pushboolean(m_State, value ? 1 : 0);
    return 1;
}

int CScriptCall::Return(std::int32_t value) const
{
    lua_pushnumber(m_State, static_cast<lua_Number>(value));
    return 1;
}

int CScriptCall::Return(const std::string& value) const
{
    lua_pushlstring(m_State, value.data(), value.size());
    return 1;
}

} // namespace VARD::ScriptHost
