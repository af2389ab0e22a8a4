#include "world/trap.h"

#include "common/exception.h"
#include "common/tag_file.h"
#include "world/script_record.h"

#include <cmath>
#include <limits>

namespace VARD
{

namespace
{

bool IsValidDelay(double seconds)
{
    return std::isfinite(seconds) && seconds >= 0.0;
}

double ReadDelay(VARDCommon::CTagFileReader& reader)
{
    const double seconds = reader.ReadDouble();
    // A negative delay would wrap the re-arm tick around.
    if (!IsValidDelay(seconds))
        throw CVARDException(1, reader.Where() + ": trap re-arm delay " + std::to_string(seconds) +
                                    " is not a number of seconds from 0 up");
    return seconds;
}

} // namespace

void CTrap::ReadDefinition(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("trap");
    m_Flag = reader.ReadBool();
    m_Difficulty = reader.ReadUnsigned();
    m_Level = reader.ReadInt();
    // A script or a spell name, never both.
    m_Script = nullptr;
    m_SpellName.clear();
    if (IsAtScript(reader))
        m_Script = CScript::Create(reader);
    if (!m_Script)
        m_SpellName = reader.ReadString();
    m_RearmDelay = ReadDelay(reader);
    reader.ReadEndTag();
}

void CTrap::ReadSaved(VARDCommon::CTagFileReader& reader, const CTrap* definition)
{
    reader.ReadStartTag("trap");
    m_Difficulty = reader.ReadUnsigned();
    m_Level = reader.ReadInt();
    m_SpellName = reader.ReadString();
    m_RearmDelay = ReadDelay(reader);
    m_Flag = reader.ReadBool();
    m_RearmTick = reader.ReadUnsigned();
    reader.ReadEndTag();
    m_Script = definition ? definition->m_Script : nullptr;
}

void CTrap::Write(VARDCommon::CTagFileWriter& writer) const
{
    writer.WriteStartTag("trap");
    writer.WriteUnsigned(m_Difficulty);
    writer.WriteInt(m_Level);
    writer.WriteString(m_SpellName);
    writer.WriteDouble(m_RearmDelay);
    writer.WriteBool(m_Flag);
    writer.WriteUnsigned(m_RearmTick);
    writer.WriteEndTag();
}

std::shared_ptr<CTrap> CTrap::Copy() const
{
    auto copy = std::make_shared<CTrap>();
    copy->m_Difficulty = m_Difficulty;
    copy->m_Level = m_Level;
    copy->m_SpellName = m_SpellName;
    copy->m_Script = m_Script;
    copy->m_RearmDelay = m_RearmDelay;
    copy->m_Flag = m_Flag;
    copy->m_RearmTick = 0;
    return copy;
}

bool CTrap::ScheduleRearm(std::uint32_t currentTick, bool clearFlag)
{
    if (clearFlag)
        m_Flag = false;
    if (m_RearmDelay == 0.0)
        return false;
    // A delay too long for the tick counter leaves the trap unarmed for good.
    const double ticks = std::trunc(m_RearmDelay * 30.0);
    const double limit =
        static_cast<double>(std::numeric_limits<std::uint32_t>::max() - currentTick);
    m_RearmTick = ticks >= limit ? std::numeric_limits<std::uint32_t>::max()
                                 : currentTick + static_cast<std::uint32_t>(ticks);
    return true;
}

void CTrap::SetRearmDelay(double seconds)
{
    if (!IsValidDelay(seconds))
        throw CVARDException(1, "trap re-arm delay " + std::to_string(seconds) +
                                    " is not a number of seconds from 0 up");
    m_RearmDelay = seconds;
}

} // namespace VARD
