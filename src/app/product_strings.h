#pragma once

#include <string>

// The names the program shows in its window title and its messages.
std::string GetProductName();
std::string GetProductVersion();
std::string GetMakerName();
// The addresses the about box and the victory page point at. They sit on
// the reserved ".invalid" domain until the game has pages of its own, so no
// one else's site is ever opened by mistake.
std::string GetProductWebPage();
std::string GetMakerWebPage();
std::string GetFeedbackPage();
std::string GetContactMail();
