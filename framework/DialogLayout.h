#pragma once
// What a dialog's window looks like at its size and its DPI: the controls
// moved by the dialog's "AFX_DIALOG_LAYOUT" resource when it is resized, and,
// when the DPI changes, a font of the new DPI, every control's rectangle and
// the layout's starting rectangles scaled, and the window's icons and the
// template's pictures loaded again at the new size. Owned by CDialog, which
// hands it the messages that concern it.
#include <windows.h>

#include <vector>

#include "framework/LayoutResource.h"
#include "win/UniqueHandle.h"

class CDialogLayout {
public:
    // At WM_INITDIALOG, before the dialog's own code can change the z-order:
    // the children still stand in template order, which the layout resource
    // and the template's pictures count on. Turns the dialog manager's own DPI
    // scaling off (it would size by font metrics, not the straight ratio).
    void Attach(HWND hDlg, UINT nIDTemplate);
    // The window is gone: nothing draws with what this holds any more.
    void Detach();

    // Reads the layout resource against the controls' current rectangles.
    void LoadDynamicLayout();
    // Moves the controls for the client area's size, always from the starting
    // rectangles, so that rounding never adds up.
    void Apply();

    UINT GetDpi() const { return m_nDpi; }
    // The font after a DPI change; null before (the template's is in use).
    HFONT GetFont() const { return static_cast<HFONT>(m_font.get()); }
    // Rescales font, controls, starting rectangles, icons and pictures from
    // the current DPI to nNewDpi.
    void Rescale(UINT nNewDpi);
    // Takes the rectangle Windows suggests for the new DPI and lays out.
    void Place(const RECT& rcSuggested);

    // The window's icons at the sizes of its DPI, again after each change. The
    // layout owns them until the window is gone.
    void SetSmallIcon(UINT nIDIcon);
    void SetBigIcon(UINT nIDIcon);

private:
    struct CItem {
        HWND m_hWnd;
        RECT m_rcInitial;  // client coordinates of the dialog
        CLayoutEntry m_entry;
    };
    struct CPicture {
        HWND m_hWnd;         // the Static control
        UINT m_nIDIcon;      // the icon resource its template names
        UniqueIcon m_hIcon;  // what it shows, once loaded here
    };

    void LoadIcon(UINT nIDIcon, bool bBig);
    void FindPictures();
    void LoadPictures();

    HWND m_hDlg = nullptr;
    UINT m_nIDTemplate = 0;
    UINT m_nDpi = 96;
    std::vector<HWND> m_arrTemplateChildren;  // direct children in template order
    std::vector<CItem> m_arrItems;
    SIZE m_sizeInitial{};
    UniqueGdiObject m_font;
    UINT m_nIDSmallIcon = 0;
    UINT m_nIDBigIcon = 0;
    UniqueIcon m_hSmallIcon;
    UniqueIcon m_hBigIcon;
    std::vector<CPicture> m_arrPictures;
};
