#include "world/script_record.h"

#include "common/exception.h"
#include "common/tag_file.h"

#include <utility>

namespace VARD
{

namespace
{

std::shared_ptr<CScript> MakeStoredScript(std::string source)
{
    return std::make_shared<CStoredScript>(std::move(source));
}

CScript::Factory& InstalledFactory()
{
    static CScript::Factory factory = MakeStoredScript;
    return factory;
}

} // namespace

bool IsAtScript(const VARDCommon::CTagFileReader& reader)
{
    const std::string& word = reader.GetCurrentWord();
    return !reader.IsAtEnd() &&
           (reader.IsStartTag("lua") || (!word.empty() && word.front() == '('));
}

std::string ReadScriptSource(VARDCommon::CTagFileReader& reader)
{
    std::string source = "function vard_script( context )\n";
    while (!reader.IsAtEndTag())
    {
        if (reader.IsAtEnd())
            reader.Fail(1, "script block is not closed");
        source += reader.GetCurrentWord();
        source += ' ';
        reader.NextToken();
    }
    source += "\nend\n";
    return source;
}

std::shared_ptr<CScript> CScript::Create(VARDCommon::CTagFileReader& reader)
{
    // The pairs in front of a script carry nothing that the game uses.
    while (reader.ReadPairStart())
    {
        reader.ReadWord();
        reader.ReadWord();
    }
    if (!reader.IsStartTag("lua"))
        return nullptr;
    reader.ReadStartTag("lua");
    std::shared_ptr<CScript> script = InstalledFactory()(ReadScriptSource(reader));
    if (!script)
        throw CVARDException(1, reader.Where() + ": the script host made no script");
    reader.ReadEndTag();
    return script;
}

CScript::Factory CScript::SetFactory(Factory factory)
{
    Factory previous = std::move(InstalledFactory());
    InstalledFactory() = factory ? std::move(factory) : Factory(MakeStoredScript);
    return previous;
}

namespace
{

thread_local int t_GroupDepth = 0;
thread_local std::uint64_t t_GroupsOpened = 0;
thread_local std::uint64_t t_CurrentGroup = 0;

} // namespace

CScriptRunGroup::CScriptRunGroup()
{
    if (t_GroupDepth++ == 0)
        t_CurrentGroup = ++t_GroupsOpened;
}

CScriptRunGroup::~CScriptRunGroup()
{
    if (--t_GroupDepth == 0)
        t_CurrentGroup = 0;
}

std::uint64_t CScriptRunGroup::Current()
{
    return t_CurrentGroup;
}

std::int32_t CStoredScript::Run(CEngine* engine, CScriptContext& context)
{
    context.engine = engine;
    throw CVARDException(6, "no script host is installed to run scripts");
}

} // namespace VARD
