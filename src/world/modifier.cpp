#include "world/modifier.h"

#include "common/exception.h"
#include "common/tag_file.h"
#include "world/keywords.h"
#include "world/rule_tables.h"

namespace VARD
{

namespace
{

// The stacking word of a saved modifier; the item kind has no word.
std::uint32_t StackingKindFromWord(const std::string& word)
{
    if (word == "power")
        return kStackingPower;
    if (word == "music")
        return kStackingMusic;
    return static_cast<std::uint32_t>(FindSaveByKey(word));
}

std::shared_ptr<CModifier> ReadModifier(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("mod");
    std::string name = reader.ReadQuoted();
    const std::uint32_t expiry = reader.ReadUnsigned();
    const std::uint32_t mask = reader.ReadUnsigned();
    const std::int32_t value = reader.ReadInt();
    const std::uint32_t stacking = reader.ReadConverted(StackingKindFromWord);
    const std::int32_t level = reader.ReadInt();
    const bool silent = reader.ReadBool();
    reader.ReadEndTag();
    return std::make_shared<CModifier>(std::move(name), expiry, mask, value, stacking, level,
                                       silent);
}

} // namespace

CActorStatus::CActorStatus(std::uint32_t kind, std::uint32_t expiryTick)
    : m_Kind(kind), m_ExpiryTick(expiryTick)
{
    if (kind >= kStatusKindCount)
        throw CVARDException(2, "no status kind " + std::to_string(kind));
}

std::string CActorStatus::GetDisplayName() const
{
    return GetStatusDisplayName(static_cast<int>(m_Kind));
}

std::uint32_t LaterExpiry(std::uint32_t a, std::uint32_t b)
{
    if (a == 0 || b == 0)
        return 0;
    return a > b ? a : b;
}

void WriteModifierList(VARDCommon::CTagFileWriter& writer, const ModifierList& modifiers)
{
    writer.WriteStartTag("mods");
    for (const auto& modifier : modifiers)
    {
        if (modifier->GetStackingKind() >= kStackingItem)
            throw CVARDException(2, "modifier " + VARDCommon::QuoteForMessage(modifier->GetName()) +
                                        " has a stacking kind that a saved game cannot hold");
        writer.WriteStartTag("mod");
        writer.WriteQuoted(modifier->GetName());
        writer.WriteUnsigned(modifier->GetExpiryTick());
        writer.WriteUnsigned(modifier->GetMask());
        writer.WriteInt(modifier->GetValue());
        WriteSaveOrPower(writer, static_cast<int>(modifier->GetStackingKind()));
        writer.WriteInt(modifier->GetLevel());
        writer.WriteBool(modifier->IsSilent());
        writer.WriteEndTag();
    }
    writer.WriteEndTag();
}

void ReadModifierList(VARDCommon::CTagFileReader& reader, ModifierList& modifiers)
{
    reader.ReadStartTag("mods");
    while (reader.IsStartTag("mod"))
        modifiers.push_back(ReadModifier(reader));
    reader.ReadEndTag();
}

void WriteStatusList(VARDCommon::CTagFileWriter& writer, const StatusList& statuses)
{
    writer.WriteStartTag("statuslist");
    for (const auto& status : statuses)
    {
        writer.WriteStartTag("status");
        writer.WriteUnsigned(status->GetKind());
        writer.WriteUnsigned(status->GetExpiryTick());
        writer.WriteEndTag();
    }
    writer.WriteEndTag();
}

void ReadStatusList(VARDCommon::CTagFileReader& reader, StatusList& statuses)
{
    reader.ReadStartTag("statuslist");
    while (reader.IsStartTag("status"))
    {
        reader.ReadStartTag("status");
        const std::string where = reader.Where();
        const std::uint32_t kind = reader.ReadUnsigned();
        const std::uint32_t expiry = reader.ReadUnsigned();
        reader.ReadEndTag();
        if (kind >= kStatusKindCount)
            throw CVARDException(2, where + ": no status kind " + std::to_string(kind));
        for (const auto& held : statuses)
            if (held->GetKind() == kind)
                throw CVARDException(1, where + ": status kind " + std::to_string(kind) +
                                            " is listed twice");
        statuses.push_back(std::make_shared<CActorStatus>(kind, expiry));
    }
    reader.ReadEndTag();
}

} // namespace VARD
