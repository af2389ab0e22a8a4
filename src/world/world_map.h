#pragma once

#include "common/tag_file_fwd.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace VARD
{

// A place on the world map: where it is drawn and which area entry it leads to.
class CMap2Area
{
public:
    // One <area> record of a world map; code 1 for a malformed record.
    explicit CMap2Area(VARDCommon::CTagFileReader& reader);

    const std::string& GetName() const { return m_Name; }
    const std::string& GetDisplayName() const { return m_DisplayName; }
    double GetX1() const { return m_X1; }
    double GetY1() const { return m_Y1; }
    double GetX2() const { return m_X2; }
    double GetY2() const { return m_Y2; }
    const std::string& GetText() const { return m_Text; }
    // Set once the place is revealed on the map.
    bool GetFlag() const { return m_Flag; }
    void SetFlag(bool flag) { m_Flag = flag; }
    const std::string& GetAreaName() const { return m_AreaName; }
    // Empty when the place leads to the area's default arrival.
    const std::string& GetEntryName() const { return m_EntryName; }

private:
    std::string m_Name;
    std::string m_DisplayName;
    double m_X1 = 0.0;
    double m_Y1 = 0.0;
    double m_X2 = 0.0;
    double m_Y2 = 0.0;
    std::string m_Text;
    bool m_Flag = false;
    std::string m_AreaName;
    std::string m_EntryName;
};

// The travel map of the world: a grid of picture cells and the places on it.
class CMap2
{
public:
    // One <map> record; code 1 for rows of unequal length or a malformed record.
    explicit CMap2(VARDCommon::CTagFileReader& reader);

    const std::string& GetName() const { return m_Name; }
    std::uint32_t GetWidth() const { return m_Width; }
    std::uint32_t GetHeight() const { return m_Height; }
    std::uint32_t GetColumns() const { return m_Columns; }
    std::uint32_t GetRowCount() const { return m_RowCount; }
    const std::vector<std::string>& GetCells() const { return m_Cells; }
    // Code 2 for a cell outside the grid.
    const std::string& GetCell(std::uint32_t column, std::uint32_t row) const;
    const std::vector<std::shared_ptr<CMap2Area>>& GetAreas() const { return m_Areas; }
    // The first place of that name, or null.
    const CMap2Area* FindArea(const std::string& name) const;

private:
    void ReadRows(VARDCommon::CTagFileReader& reader);
    void ReadAreas(VARDCommon::CTagFileReader& reader);

    std::string m_Name;
    std::uint32_t m_Width = 0;
    std::uint32_t m_Height = 0;
    std::uint32_t m_Columns = 0;
    std::uint32_t m_RowCount = 0;
    std::vector<std::string> m_Cells;
    std::vector<std::shared_ptr<CMap2Area>> m_Areas;
};

// Reads the world map "<name>.vard" from the module root.
std::shared_ptr<CMap2> ReadWorldMapFile(VARDCommon::CDataFileFactory& factory,
                                        const std::string& name);

} // namespace VARD
