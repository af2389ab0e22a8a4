#include "world/object.h"

#include "common/exception.h"
#include "common/tag_file.h"
#include "world/rule_tables.h"
#include "world/trap.h"

#include <cmath>

namespace VARD
{

namespace
{

// Footprints, heights and sound ranges are measured from zero up.
double ReadExtent(VARDCommon::CTagFileReader& reader, const std::string& objectName,
                  const char* what)
{
    const double value = reader.ReadDouble();
    if (!std::isfinite(value) || value < 0.0)
        throw CVARDException(1, reader.Where() + ": object " +
                                    VARDCommon::QuoteForMessage(objectName) + " has " + what + " " +
                                    std::to_string(value));
    return value;
}

} // namespace

CObjectTemplate::CObjectTemplate(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("object");
    m_Name = reader.ReadWord();
    m_Text = reader.ReadQuoted();
    m_GraphicName = reader.ReadString();
    m_TileKind = reader.ReadConverted(FindTileKindByKey);
    m_Flag = reader.ReadBool();
    m_SizeX = ReadExtent(reader, m_Name, "size x");
    m_SizeY = ReadExtent(reader, m_Name, "size y");
    m_SizeZ = ReadExtent(reader, m_Name, "size z");
    if (reader.IsStartTag("talk"))
        ReadTalkStates(reader, m_TalkStates);
    if (reader.IsStartTag("trap"))
    {
        m_Trap = std::make_shared<CTrap>();
        m_Trap->ReadDefinition(reader);
    }
    if (reader.IsStartTag("sound"))
        ReadSound(reader);
    reader.ReadEndTag();
}

void CObjectTemplate::ReadSound(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("sound");
    m_SoundName = reader.ReadQuoted();
    m_SoundRadius = ReadExtent(reader, m_Name, "sound radius");
    m_HasSound = true;
    reader.ReadEndTag();
}

} // namespace VARD
