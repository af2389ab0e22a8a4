#pragma once

#include <cstddef>
#include <string>

namespace platform
{

// Text for the desktop (window titles, message boxes), which wants UTF-8.
// The game's own texts are Windows-1252 bytes, while paths chosen through the
// desktop come back as UTF-8: text that is valid UTF-8 is kept as it is, any
// other is read as Windows-1252.
std::string DisplayText(const std::string& text);

// The UTF-8 text in lines of at most `columns` characters: a line breaks at
// its last blank that fits (the blank goes), a word longer than a line after
// its last slash or backslash that fits, else at the column. The text's own
// line breaks stay; 0 columns leaves it as it is.
std::string WrapText(const std::string& text, std::size_t columns);

// How many characters a message box's line may hold on a screen this many
// pixels wide (0 when unknown), so that the box never runs past its edge.
std::size_t MessageBoxColumns(int screenWidth);

// The text's first lines, as many as `lines`: when some are left out, the
// last one kept gives way to "...", which says so. 0 lines leaves it as it is.
std::string CutLines(const std::string& text, std::size_t lines);

// How many lines a message box may hold on a screen this many pixels high
// (0 when unknown), so that the box and its button stay on the screen.
std::size_t MessageBoxLines(int screenHeight);

} // namespace platform
