#pragma once

// What the headless tools share: reading numbers from their command lines and
// making the main character of a new game as the creation pages make one.

#include <cstdint>
#include <memory>
#include <string>

namespace VARDGraph
{
class CGraphicColors;
} // namespace VARDGraph

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

// The colours the colours page starts from: brown hair, fair skin, blue trim.
std::shared_ptr<VARDGraph::CGraphicColors> CreationColours();

// A new game whose main character is left as the creation pages leave it:
// gender ("male" or "female") and class, the 72 attribute points spent one at
// a time across the five attributes, skill points spent on the skills it may
// learn in table order, the first head of its gender, the colours the
// colours page starts from, and the name. The game waits at its destination.
void CreateMainCharacter(VARD::CEngine& engine, const std::string& name,
                         const std::string& characterClass, const std::string& gender);

} // namespace ToolSupport
