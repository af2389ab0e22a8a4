#include "world/ai.h"

#include "common/exception.h"
#include "common/tag_file.h"

#include <cmath>
#include <utility>

namespace VARD
{

namespace
{

// The word at hand inside an <ai> block, not yet consumed; code 1 when the
// input ends before </ai>.
const std::string& CurrentSettingWord(VARDCommon::CTagFileReader& reader)
{
    if (reader.IsAtEnd())
        reader.Fail(1, "<ai> block is not closed");
    return reader.GetCurrentWord();
}

// A tag standing where a name belongs means the block is malformed; taking it
// as a name would only fail much later, far from the fault.
std::string ReadNameWord(VARDCommon::CTagFileReader& reader, const char* what)
{
    const std::string& word = CurrentSettingWord(reader);
    if (!word.empty() && word[0] == '<')
        reader.Fail(1, std::string("expected ") + what + ", found " +
                           VARDCommon::QuoteForMessage(word));
    return reader.ReadWord();
}

// Setting words up to </ai>, each ORing the flag of its entry in the list.
struct FlagWord
{
    const char* word;
    std::uint32_t flag;
};

template <std::size_t N>
std::uint32_t ReadFlagWords(VARDCommon::CTagFileReader& reader, const char* keyword,
                            const FlagWord (&words)[N])
{
    std::uint32_t flags = 0;
    while (!reader.IsAtEndTag())
    {
        const std::string& word = CurrentSettingWord(reader);
        bool known = false;
        for (const FlagWord& entry : words)
            if (word == entry.word)
            {
                flags |= entry.flag;
                known = true;
                break;
            }
        if (!known)
            reader.Fail(1, VARDCommon::QuoteForMessage(word) + " is no setting of the " + keyword +
                               " behaviour");
        reader.NextToken();
    }
    return flags;
}

// A cast behaviour holds its fallback, which may cast in turn. Reading,
// cloning, saving and freeing all recurse along that chain, so a chain as deep
// as the file is long would overflow the stack; no monster needs more.
constexpr int kMaxCastNesting = 32;

std::shared_ptr<CAI> ReadBehaviourBody(VARDCommon::CTagFileReader& reader, int castNesting);

std::shared_ptr<CAI> ReadCast(VARDCommon::CTagFileReader& reader, int castNesting)
{
    std::vector<std::string> spellNames;
    while (!reader.IsStartTag("ai"))
    {
        if (reader.IsAtEndTag())
            reader.Fail(1, "the cast behaviour has no fallback <ai> block");
        spellNames.push_back(ReadNameWord(reader, "a spell name or the fallback <ai>"));
    }
    if (castNesting >= kMaxCastNesting)
        reader.Fail(1,
                    "cast behaviours nest more than " + std::to_string(kMaxCastNesting) + " deep");
    reader.ReadStartTag("ai");
    std::shared_ptr<CAI> fallback = ReadBehaviourBody(reader, castNesting + 1);
    reader.ReadEndTag();
    return std::make_shared<CAICast>(std::move(spellNames), std::move(fallback));
}

std::shared_ptr<CAI> ReadForceTalk(VARDCommon::CTagFileReader& reader)
{
    const std::uint32_t range = reader.ReadUnsigned();
    std::vector<std::string> tags;
    while (!reader.IsAtEndTag())
        tags.push_back(ReadNameWord(reader, "a quest tag"));
    return std::make_shared<CAIForceTalk>(range, std::move(tags));
}

std::shared_ptr<CAI> ReadBehaviourBody(VARDCommon::CTagFileReader& reader, int castNesting)
{
    if (reader.IsAtEndTag())
        reader.Fail(1, "<ai> block without a behaviour keyword");
    const std::string keyword = CurrentSettingWord(reader);
    if (keyword == "stand")
    {
        reader.NextToken();
        static const FlagWord kWords[] = {{"sneak", CAIStand::kFlagSneak}};
        return std::make_shared<CAIStand>(ReadFlagWords(reader, "stand", kWords));
    }
    if (keyword == "charge")
    {
        reader.NextToken();
        static const FlagWord kWords[] = {{"spellcaster", CAICharge::kFlagSpellcaster}};
        return std::make_shared<CAICharge>(ReadFlagWords(reader, "charge", kWords));
    }
    if (keyword == "cast")
    {
        reader.NextToken();
        return ReadCast(reader, castNesting);
    }
    if (keyword == "forcetalk")
    {
        reader.NextToken();
        return ReadForceTalk(reader);
    }
    if (keyword == "wander")
    {
        reader.NextToken();
        return std::make_shared<CAIWander>(reader.ReadDouble());
    }
    if (keyword == "shoot")
    {
        reader.NextToken();
        return std::make_shared<CAIShoot>();
    }
    if (keyword == "autocast")
    {
        reader.NextToken();
        static const FlagWord kWords[] = {{"summon", CAIAutocast::kFlagSummon},
                                          {"hinder", CAIAutocast::kFlagHinder},
                                          {"aid", CAIAutocast::kFlagAid},
                                          {"heal", CAIAutocast::kFlagHeal},
                                          {"damage", CAIAutocast::kFlagDamage}};
        return std::make_shared<CAIAutocast>(ReadFlagWords(reader, "autocast", kWords));
    }
    reader.Fail(1, VARDCommon::QuoteForMessage(keyword) + " is no AI behaviour");
}

} // namespace

std::shared_ptr<CAI> CAI::Create(VARDCommon::CTagFileReader& reader)
{
    return ReadBehaviourBody(reader, 0);
}

// ------------------------------------------------------------- stand

std::shared_ptr<CAI> CAIStand::Clone() const
{
    return std::make_shared<CAIStand>(m_Flags);
}
void CAIStand::ReadState(VARDCommon::CTagFileReader&) {}
void CAIStand::WriteState(VARDCommon::CTagFileWriter&) const {}

// ------------------------------------------------------------ charge

std::shared_ptr<CAI> CAICharge::Clone() const
{
    return std::make_shared<CAICharge>(m_Flags);
}
void CAICharge::ReadState(VARDCommon::CTagFileReader&) {}
void CAICharge::WriteState(VARDCommon::CTagFileWriter&) const {}

// ------------------------------------------------------------ wander

std::shared_ptr<CAI> CAIWander::Clone() const
{
    return std::make_shared<CAIWander>(m_Radius);
}

void CAIWander::ReadState(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("ai-wander");
    const std::string where = reader.Where();
    m_HomeX = reader.ReadDouble();
    m_HomeY = reader.ReadDouble();
    // Every wander point is drawn around home.
    if (!std::isfinite(m_HomeX) || !std::isfinite(m_HomeY))
        throw CVARDException(1, where + ": the wander home is not a finite point");
    reader.ReadEndTag();
}

void CAIWander::WriteState(VARDCommon::CTagFileWriter& writer) const
{
    writer.WriteStartTag("ai-wander");
    writer.WriteDouble(m_HomeX);
    writer.WriteDouble(m_HomeY);
    writer.WriteEndTag();
}

// ------------------------------------------------------------- shoot

std::shared_ptr<CAI> CAIShoot::Clone() const
{
    return std::make_shared<CAIShoot>();
}
void CAIShoot::ReadState(VARDCommon::CTagFileReader&) {}
void CAIShoot::WriteState(VARDCommon::CTagFileWriter&) const {}

// --------------------------------------------------------- forcetalk

std::shared_ptr<CAI> CAIForceTalk::Clone() const
{
    return std::make_shared<CAIForceTalk>(m_Range, m_Tags);
}
void CAIForceTalk::ReadState(VARDCommon::CTagFileReader&) {}
void CAIForceTalk::WriteState(VARDCommon::CTagFileWriter&) const {}

// -------------------------------------------------------------- cast

CAICast::CAICast(std::vector<std::string> spellNames, std::shared_ptr<CAI> fallback)
    : CAIBaseCast(Kind::kCast), m_Fallback(std::move(fallback)), m_SpellNames(std::move(spellNames))
{
    if (!m_Fallback)
        throw CVARDException(1, "the cast behaviour has no fallback behaviour");
}

std::shared_ptr<CAI> CAICast::Clone() const
{
    return std::make_shared<CAICast>(m_SpellNames, m_Fallback->Clone());
}

void CAICast::ReadState(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("ai-cast");
    m_Position = reader.ReadUnsigned();
    m_LastCastTick = reader.ReadUnsigned();
    m_Fallback->ReadState(reader);
    reader.ReadEndTag();
}

void CAICast::WriteState(VARDCommon::CTagFileWriter& writer) const
{
    writer.WriteStartTag("ai-cast");
    writer.WriteUnsigned(m_Position);
    writer.WriteUnsigned(m_LastCastTick);
    m_Fallback->WriteState(writer);
    writer.WriteEndTag();
}

// ---------------------------------------------------------- autocast

std::shared_ptr<CAI> CAIAutocast::Clone() const
{
    return std::make_shared<CAIAutocast>(m_Flags);
}

void CAIAutocast::ReadState(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("ai-autocast");
    m_NextSummonTick = reader.ReadUnsigned();
    m_NextHinderTick = reader.ReadUnsigned();
    m_NextAidTick = reader.ReadUnsigned();
    reader.ReadEndTag();
}

void CAIAutocast::WriteState(VARDCommon::CTagFileWriter& writer) const
{
    writer.WriteStartTag("ai-autocast");
    writer.WriteUnsigned(m_NextSummonTick);
    writer.WriteUnsigned(m_NextHinderTick);
    writer.WriteUnsigned(m_NextAidTick);
    writer.WriteEndTag();
}

} // namespace VARD
