#pragma once

#include "app/shell_dialogs.h"

// The factory the game installs: the real pages where they exist, the
// stand-in pages for the rest.
class CGameDialogFactory : public CPlainDialogFactory
{
};
