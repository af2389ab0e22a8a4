#include "world/keywords.h"

#include "common/exception.h"
#include "common/tag_file.h"
#include "world/rule_tables.h"

namespace VARD
{

int ReadItemType(VARDCommon::CTagFileReader& reader)
{
    return reader.ReadConverted(
        [](const std::string& word)
        {
            for (int itemType = 0; itemType < kItemTypeCount; ++itemType)
                if (word == GetItemTypeInfo(itemType).key)
                    return itemType;
            throw CVARDException(1, VARDCommon::QuoteForMessage(word) + " is no item type");
        });
}

int ReadSkillOrNone(VARDCommon::CTagFileReader& reader)
{
    return reader.ReadConverted([](const std::string& word)
                                { return word == "0" ? kSkillNone : FindSkillByKey(word); });
}

void WriteSkillOrNone(VARDCommon::CTagFileWriter& writer, int skill)
{
    if (skill == kSkillNone)
        writer.WriteString("0");
    else
        writer.WriteString(GetSkillKey(skill));
}

int ReadSaveOrPower(VARDCommon::CTagFileReader& reader)
{
    return reader.ReadConverted(
        [](const std::string& word)
        {
            if (word == "power")
                return 3;
            if (word == "music")
                return 4;
            return FindSaveByKey(word);
        });
}

void WriteSaveOrPower(VARDCommon::CTagFileWriter& writer, int kind)
{
    if (kind == 3)
        writer.WriteString("power");
    else if (kind == 4)
        writer.WriteString("music");
    else
        writer.WriteString(GetSaveKey(kind));
}

namespace
{

const char* const kSexKeys[] = {"male", "female", "none"};

} // namespace

int ReadSex(VARDCommon::CTagFileReader& reader)
{
    return reader.ReadConverted(
        [](const std::string& word)
        {
            for (int sex = 0; sex < 3; ++sex)
                if (word == kSexKeys[sex])
                    return sex;
            throw CVARDException(1, VARDCommon::QuoteForMessage(word) +
                                        " is no gender (male, female or none)");
        });
}

void WriteSex(VARDCommon::CTagFileWriter& writer, int sex)
{
    if (sex < 0 || sex > 2)
        throw CVARDException(2, "no gender " + std::to_string(sex));
    writer.WriteString(kSexKeys[sex]);
}

void WriteClassKey(VARDCommon::CTagFileWriter& writer, int characterClass)
{
    writer.WriteString(GetClassKey(characterClass));
}

void WriteRaceKey(VARDCommon::CTagFileWriter& writer, int race)
{
    writer.WriteString(GetRaceKey(race));
}

void WriteTileKindKey(VARDCommon::CTagFileWriter& writer, int tileKind)
{
    writer.WriteString(GetTileKindKey(tileKind));
}

void WriteDirectionKey(VARDCommon::CTagFileWriter& writer, int direction)
{
    if (direction == kDirectionNone)
        writer.WriteString("0");
    else
        writer.WriteString(GetDirectionKey(direction));
}

} // namespace VARD
