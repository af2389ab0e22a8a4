#pragma once

#include "common/tag_file_fwd.h"
#include "world/talk_state.h"

#include <memory>
#include <string>

namespace VARD
{

class CTrap;

// An object definition of the world file's <objectdefs>: what every object
// placed from it starts with.
class CObjectTemplate
{
public:
    // Reads one <object> block: name, display text, graphic, tile kind, flag,
    // three sizes, then optional <talk>, <trap> and <sound> blocks in that
    // order. Code 1 for a bad token, a negative or non-finite size or sound
    // radius; code 2 for a tile kind outside "floor" "empty" "solid".
    explicit CObjectTemplate(VARDCommon::CTagFileReader& reader);

    const std::string& GetName() const { return m_Name; }
    const std::string& GetText() const { return m_Text; }
    const std::string& GetGraphicName() const { return m_GraphicName; }
    // How much it blocks placement and sight: 0 floor, 1 empty, 2 solid.
    int GetTileKind() const { return m_TileKind; }
    // The screens take it as the container flag.
    bool GetFlag() const { return m_Flag; }
    double GetSizeX() const { return m_SizeX; }
    double GetSizeY() const { return m_SizeY; }
    double GetSizeZ() const { return m_SizeZ; }
    const TalkStateList& GetTalkStates() const { return m_TalkStates; }
    // Null when the definition has no trap; placed objects take a copy.
    const std::shared_ptr<CTrap>& GetTrap() const { return m_Trap; }
    bool HasSound() const { return m_HasSound; }
    // Empty without a sound.
    const std::string& GetSoundName() const { return m_SoundName; }
    double GetSoundRadius() const { return m_SoundRadius; }

    // Objects of these two definitions are item piles and exit markers.
    bool IsPile() const { return IsPileName(m_Name); }
    bool IsExit() const { return IsExitName(m_Name); }
    static bool IsPileName(const std::string& name) { return name == "pile"; }
    static bool IsExitName(const std::string& name) { return name == "exit"; }

private:
    void ReadSound(VARDCommon::CTagFileReader& reader);

    std::string m_Name;
    std::string m_Text;
    std::string m_GraphicName;
    int m_TileKind = 0;
    bool m_Flag = false;
    double m_SizeX = 0.0;
    double m_SizeY = 0.0;
    double m_SizeZ = 0.0;
    TalkStateList m_TalkStates;
    std::shared_ptr<CTrap> m_Trap;
    bool m_HasSound = false;
    std::string m_SoundName;
    double m_SoundRadius = 0.0;
};

} // namespace VARD
