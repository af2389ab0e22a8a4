#pragma once

#include <string>

// Program-wide constants, built before the entry point runs.
namespace VARDCommon
{

// What an empty action-bar slot names.
inline const std::string kEmptyText;

// The two help files the help pages link to.
inline const std::string kRulesHelpFile = "rules.htm";
inline const std::string kAppendixHelpFile = "appendix.htm";

} // namespace VARDCommon
