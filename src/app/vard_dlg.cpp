#include "app/vard_dlg.h"

namespace
{

constexpr int kKeyEscape = 27;
constexpr int kKeyEnter = 13;

} // namespace

int CVARDDlg::OnKey(int virtualKey, int)
{
    return virtualKey == kKeyEscape || virtualKey == kKeyEnter ? 1 : 0;
}

int CVARDDlg::OnRightClick(int)
{
    return 0;
}

void CVARDDlg::OnDragStart(int) {}

void CVARDDlg::OnDragCancel() {}

void CVARDDlg::OnDrop(int, int) {}
