#pragma once

// The party's action bars as one line of text, the form a saved game
// carries them in: the member count, then per member the selected slot and
// for each of the ten slots its action word, item name and spell key, every
// token followed by one blank; "0" stands for an empty name.

#include "ui/ui_action.h"

#include <cstddef>
#include <string>
#include <vector>

// The text for the members' bars in party order; the selected slot is
// always written as none. Code 4 for a member without a bar (null); code 2
// for a slot of another type, or a name that would not read back as one
// word.
std::string WriteActionBarsText(const std::vector<const VARDUI::CUIActionBar*>& members);

// The bars of a party of `partySize` read from the text, whole before any is
// applied: code 1 for a short text, a count other than the party's size or
// an unknown action word; code 4 for a selected slot above 10.
std::vector<VARDUI::CUIActionBar> ReadActionBarsText(const std::string& text,
                                                     std::size_t partySize);
