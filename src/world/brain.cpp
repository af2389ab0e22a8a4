#include "world/brain.h"

#include "common/tag_file.h"
#include "world/ai.h"
#include "world/rule_tables.h"

namespace VARD
{

namespace
{

std::vector<std::string> ReadTagList(VARDCommon::CTagFileReader& reader)
{
    std::vector<std::string> tags;
    reader.ReadStartTag("tags");
    while (!reader.IsAtEndTag())
    {
        if (reader.IsAnyStartTag())
            reader.Fail(1, "expected a tag name or </tags>, found " +
                               VARDCommon::QuoteForMessage(reader.GetCurrentWord()));
        tags.push_back(reader.ReadWord());
    }
    reader.ReadEndTag();
    return tags;
}

std::shared_ptr<CAI> ReadBehaviour(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("ai");
    std::shared_ptr<CAI> ai = CAI::Create(reader);
    reader.ReadEndTag();
    return ai;
}

} // namespace

std::shared_ptr<CBrain> CBrain::Read(VARDCommon::CTagFileReader& reader)
{
    std::shared_ptr<CBrain> brain(new CBrain());
    reader.ReadStartTag("brain");
    brain->m_Attitude = reader.ReadConverted(ParseAttitude);
    brain->m_Provokable = reader.ReadBool();
    brain->m_SightRange = reader.ReadDouble();
    brain->m_TriggerTags = ReadTagList(reader);
    brain->m_CallTags = ReadTagList(reader);
    brain->m_CalmAI = ReadBehaviour(reader);
    brain->m_RousedAI = ReadBehaviour(reader);
    reader.ReadEndTag();
    return brain;
}

std::shared_ptr<CBrain> CBrain::Clone() const
{
    std::shared_ptr<CBrain> brain(new CBrain());
    brain->m_Attitude = m_Attitude;
    brain->m_Provokable = m_Provokable;
    brain->m_SightRange = m_SightRange;
    brain->m_TriggerTags = m_TriggerTags;
    brain->m_CallTags = m_CallTags;
    brain->m_CalmAI = m_CalmAI->Clone();
    brain->m_RousedAI = m_RousedAI->Clone();
    return brain;
}

void CBrain::ReadState(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("brain");
    m_Equipped = reader.ReadBool();
    m_CalmAI->ReadState(reader);
    m_RousedAI->ReadState(reader);
    reader.ReadEndTag();
}

bool CBrain::TakePendingAlert(std::string& tag)
{
    if (m_PendingAlerts.empty())
        return false;
    tag = std::move(m_PendingAlerts.front());
    m_PendingAlerts.erase(m_PendingAlerts.begin());
    return true;
}

void CBrain::WriteState(VARDCommon::CTagFileWriter& writer) const
{
    writer.WriteStartTag("brain");
    writer.WriteBool(m_Equipped);
    m_CalmAI->WriteState(writer);
    m_RousedAI->WriteState(writer);
    writer.WriteEndTag();
}

} // namespace VARD
