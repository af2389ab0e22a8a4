#pragma once

// What the headless tools share: reading numbers from their command lines and
// making the main character of a new game as the creation pages make one.

#include <cstdint>
#include <memory>
#include <string>

namespace VARD
{
class CEngine;
} // namespace VARD

namespace ToolSupport
{

// A bad command line or input file: the tool reports it and ends with 2.
struct UsageError
{
    std::string text;
};

// A whole number from 0 to 2^32 − 1; UsageError naming `what` otherwise.
std::uint32_t ParseWholeNumber(const std::string& text, const std::string& what);

// A new game whose main character is left as the creation pages leave it:
// gender ("male" or "female") and class, the 72 attribute points spent one at
// a time across the five attributes, skill points spent on the skills it may
// learn in table order, the first head of its gender, the first colour
// of each palette, and the name (blanks trimmed; UsageError when nothing
// else is left). The game waits at its destination.
void CreateMainCharacter(VARD::CEngine& engine, const std::string& name,
                         const std::string& characterClass, const std::string& gender);

} // namespace ToolSupport
