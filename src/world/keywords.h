#pragma once

#include "common/tag_file_fwd.h"

#include <string>

// Keyword fields that several records share. Each reader takes the current
// word and advances; each writer writes one item.
namespace VARD
{

// "weapon" 0 .. "money" 10; any other word is code 1.
int ReadItemType(VARDCommon::CTagFileReader& reader);

// "0" gives 83 (no skill); any other word goes through FindSkillByKey (code 2).
int ReadSkillOrNone(VARDCommon::CTagFileReader& reader);
// 83 is written "0", so that ReadSkillOrNone reads it back.
void WriteSkillOrNone(VARDCommon::CTagFileWriter& writer, int skill);

// A modifier's stacking kind: "escape", "fortitude", "resolve" 0..2 (a save
// key), "power" 3, "music" 4. Unknown words are code 2, from the save lookup.
int ReadSaveOrPower(VARDCommon::CTagFileReader& reader);
void WriteSaveOrPower(VARDCommon::CTagFileWriter& writer, int kind);

// "male" 0, "female" 1, "none" 2. Reading another word is code 1; writing
// another value is code 2.
int ReadSex(VARDCommon::CTagFileReader& reader);
void WriteSex(VARDCommon::CTagFileWriter& writer, int sex);

// The keyword of a table row; code 2 for a row the table lacks.
void WriteClassKey(VARDCommon::CTagFileWriter& writer, int characterClass);
void WriteRaceKey(VARDCommon::CTagFileWriter& writer, int race);
void WriteTileKindKey(VARDCommon::CTagFileWriter& writer, int tileKind);
// Direction 4 (none) is written "0", which ParseDirection reads back as 4.
void WriteDirectionKey(VARDCommon::CTagFileWriter& writer, int direction);

} // namespace VARD
