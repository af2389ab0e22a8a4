#pragma once

#include <string>

namespace platform
{

// Text for the desktop (window titles, message boxes), which wants UTF-8.
// The game's own texts are Windows-1252 bytes, while paths chosen through the
// desktop come back as UTF-8: text that is valid UTF-8 is kept as it is, any
// other is read as Windows-1252.
std::string DisplayText(const std::string& text);

} // namespace platform
