#pragma once

#include "platform/rect.h"

#include <cstdint>
#include <string>

namespace VARDUI
{
class CUIManager;
}

// A page's title across the top third and a "Done" button below it, centred
// in the client rectangle on the translucent backdrop.
void AddPlainDialogWidgets(const gfx::Rect& client, VARDUI::CUIManager& ui,
                           const std::string& title, std::int32_t doneId);
