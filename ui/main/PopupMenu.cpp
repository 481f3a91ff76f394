#include "ui/main/PopupMenu.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/App.h"
#include "res/resource.h"

void CPopupMenu::Show(HWND hOwner, POINT pt, const CState& state) {
    if (!m_menu) m_menu.reset(::LoadMenuW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_POPUP_MENU)));
    const HMENU hPopup = m_menu ? ::GetSubMenu(m_menu.get(), 0) : nullptr;
    if (!hPopup) return;
    ::EnableMenuItem(hPopup, IDM_UNDO, MF_BYCOMMAND | (state.m_bCanUndo ? MF_ENABLED : MF_GRAYED));
    ::EnableMenuItem(hPopup, IDM_REDO, MF_BYCOMMAND | (state.m_bCanRedo ? MF_ENABLED : MF_GRAYED));
    ::EnableMenuItem(hPopup, IDM_RUN_TASK, MF_BYCOMMAND | (state.m_bCanRun ? MF_ENABLED : MF_GRAYED));
    ::TrackPopupMenu(hPopup, 0, pt.x, pt.y, 0, hOwner, nullptr);
}

POINT KeyboardMenuPoint(HWND hList) {
    RECT rc{};
    const int nSelected = static_cast<int>(::SendMessageW(hList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    rc.left = LVIR_BOUNDS;
    if (nSelected >= 0) ::SendMessageW(hList, LVM_ENSUREVISIBLE, nSelected, FALSE);
    if (nSelected >= 0 && ::SendMessageW(hList, LVM_GETITEMRECT, nSelected, reinterpret_cast<LPARAM>(&rc))) {
        POINT pt{std::max<LONG>(rc.left, 0), rc.bottom};
        ::ClientToScreen(hList, &pt);
        return pt;
    }
    ::GetWindowRect(hList, &rc);
    return {rc.left, rc.top};
}
