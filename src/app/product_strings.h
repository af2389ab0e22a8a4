#pragma once

#include <string>

// The names the program shows in its window title and its messages.
std::string GetProductName();
std::string GetMakerName();
