#include "world/world_map.h"

#include "common/data_file.h"
#include "common/exception.h"
#include "common/tag_file.h"

namespace VARD
{

CMap2Area::CMap2Area(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("area");
    m_Name = reader.ReadWord();
    m_DisplayName = reader.ReadQuoted();
    // Each position may stand bare, after a null word or inside a pair.
    reader.ReadTupleStart(2, true);
    m_X1 = reader.ReadDouble();
    m_Y1 = reader.ReadDouble();
    reader.ReadTupleStart(2, true);
    m_X2 = reader.ReadDouble();
    m_Y2 = reader.ReadDouble();
    m_Text = reader.ReadQuoted();
    m_Flag = reader.ReadBool();
    if (reader.ReadTupleStart(2, false))
    {
        m_AreaName = reader.ReadWord();
        m_EntryName = reader.ReadString();
    }
    else
    {
        m_AreaName = reader.ReadWord();
    }
    reader.ReadEndTag();
}

CMap2::CMap2(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("map");
    m_Name = reader.ReadWord();
    reader.ReadTupleStart(2, false);
    m_Width = reader.ReadUnsigned();
    m_Height = reader.ReadUnsigned();
    ReadRows(reader);
    ReadAreas(reader);
    reader.ReadEndTag();
}

void CMap2::ReadRows(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("rows");
    while (reader.IsStartTag("row"))
    {
        reader.ReadStartTag("row");
        std::uint32_t count = 0;
        while (!reader.IsAtEndTag())
        {
            m_Cells.push_back(reader.ReadQuoted());
            ++count;
        }
        reader.ReadEndTag();
        // The first row fixes the width of the grid; the cells are kept flat.
        if (m_RowCount == 0)
            m_Columns = count;
        else if (count != m_Columns)
            throw CVARDException(1, reader.Where() + ": row " + std::to_string(m_RowCount + 1) +
                                        " of map " + VARDCommon::QuoteForMessage(m_Name) + " has " +
                                        std::to_string(count) + " cells, the first has " +
                                        std::to_string(m_Columns));
        ++m_RowCount;
    }
    reader.ReadEndTag();
}

void CMap2::ReadAreas(VARDCommon::CTagFileReader& reader)
{
    reader.ReadStartTag("areas");
    while (reader.IsStartTag("area"))
        m_Areas.push_back(std::make_shared<CMap2Area>(reader));
    reader.ReadEndTag();
}

const std::string& CMap2::GetCell(std::uint32_t column, std::uint32_t row) const
{
    if (column >= m_Columns || row >= m_RowCount)
        throw CVARDException(2, "no cell (" + std::to_string(column) + ", " + std::to_string(row) +
                                    ") in map " + VARDCommon::QuoteForMessage(m_Name));
    return m_Cells[static_cast<std::size_t>(row) * m_Columns + column];
}

const CMap2Area* CMap2::FindArea(const std::string& name) const
{
    for (const auto& area : m_Areas)
        if (area->GetName() == name)
            return area.get();
    return nullptr;
}

std::shared_ptr<CMap2> ReadWorldMapFile(VARDCommon::CDataFileFactory& factory,
                                        const std::string& name)
{
    VARDCommon::CTagFileReader reader(factory, VARDCommon::kDataKindRoot,
                                      VARDCommon::kDataSubKindNone, name + ".vard");
    return std::make_shared<CMap2>(reader);
}

} // namespace VARD
