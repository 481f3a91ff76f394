#pragma once
// The base of every dialog: modal run, message map, data exchange and the
// dynamic layout from the dialog's "AFX_DIALOG_LAYOUT" resource.
//
// A dialog binds its C++ object to its window once (DialogBoxParamW with this,
// kept under DWLP_USER, which is therefore not free for other use) and routes messages through a static table of
// CMessageMapEntry {message, id, notification code, &Class::Handler} that its
// GetMessageMap override returns. The handler's signature says how it is called:
//
//   void OnX()                     WM_COMMAND from the control or menu item nID
//                                  with notification nCode. Buttons, menu items
//                                  and the Enter key all send BN_CLICKED (0).
//                                  Also any other message nMessage whose
//                                  parameters the handler does not need (WM_DESTROY).
//   LRESULT OnX(NMHDR* pNMHDR)     WM_NOTIFY from control nID with code nCode.
//                                  The result goes back to the sender (the base
//                                  writes DWLP_MSGRESULT).
//   LRESULT OnX(WPARAM, LPARAM)    any other message nMessage; nID and nCode are
//                                  not looked at (write 0). The result goes back
//                                  to the sender: through DWLP_MSGRESULT, or
//                                  directly for the messages whose result a dialog
//                                  returns itself (WM_QUERYDRAGICON, WM_CTLCOLOR*,
//                                  WM_COMPAREITEM, WM_VKEYTOITEM, WM_CHARTOITEM).
//                                  Used for WM_SIZE, WM_GETMINMAXINFO, WM_PAINT,
//                                  WM_CONTEXTMENU, WM_SYSCOMMAND, WM_HELP,
//                                  WM_DESTROY and the like.
//
// For example:
//   std::span<const CMessageMapEntry> CDlgX::GetMessageMap() const {
//       static const CMessageMapEntry map[] = {
//           {WM_COMMAND, IDC_MOVE_UP, BN_CLICKED, &CDlgX::OnMoveUp},
//           {WM_NOTIFY, IDC_TASK_LIST, NM_DBLCLK, &CDlgX::OnListDoubleClick},
//           {WM_GETMINMAXINFO, 0, 0, &CDlgX::OnGetMinMaxInfo},
//       };
//       return map;
//   }
//
// A handler that calls Default() lets the dialog manager process the message as
// usual after the handler returns; its result then replaces the handler's.
// The first matching entry wins. IDOK and IDCANCEL without an entry go to OnOK
// and OnCancel.
//
// Exceptions never leave the window procedure: one that a handler lets through
// ends that handler and is reported in one message box; the dialog goes on.
//
// DPI: the base handles WM_DPICHANGED for every dialog. It gives the dialog and
// its controls a font of the new DPI, scales every control's rectangle and the
// layout's starting rectangles, calls OnDpiChanged for what the dialog itself
// sized in pixels, and then takes the rectangle that Windows suggests. The
// dialog manager's own DPI scaling (Windows 10 1703 and later) is turned off at
// WM_INITDIALOG, so that the suggested rectangle is the straight ratio too.
// The template's pictures (Static controls with SS_ICON showing an icon
// resource) show that icon at the large-icon size of the dialog's DPI, from
// WM_INITDIALOG on and again after each change; a dialog that shows another
// icon in such a control sets it again in OnDpiChanged.
#include <windows.h>

#include <span>
#include <vector>

#include "framework/DialogLayout.h"
#include "win/UniqueHandle.h"

class CDataExchange;
class CDialog;

struct CMessageMapEntry {
    enum class EKind { command, notify, message };
    using PfnCommand = void (CDialog::*)();
    using PfnNotify = LRESULT (CDialog::*)(NMHDR*);
    using PfnMessage = LRESULT (CDialog::*)(WPARAM, LPARAM);

    template <class T>
    CMessageMapEntry(UINT nMessage, UINT nID, UINT nCode, void (T::*pfn)());
    template <class T>
    CMessageMapEntry(UINT nMessage, UINT nID, UINT nCode, LRESULT (T::*pfn)(NMHDR*));
    template <class T>
    CMessageMapEntry(UINT nMessage, UINT nID, UINT nCode, LRESULT (T::*pfn)(WPARAM, LPARAM));

    UINT m_nMessage;
    UINT m_nID;
    UINT m_nCode;
    EKind m_eKind;
    union {
        PfnCommand m_pfnCommand;
        PfnNotify m_pfnNotify;
        PfnMessage m_pfnMessage;
    };
};

class CDialog {
public:
    // pParentWnd null: the application's main window owns the dialog (none when
    // this dialog is the main window).
    explicit CDialog(UINT nIDTemplate, CDialog* pParentWnd = nullptr);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog until it ends: the id it ended with (IDOK, IDCANCEL), or
    // -1 when its window could not be created.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    // TRUE: reads the controls into the members in DoDataExchange order; a value
    // that does not read stops there (prompt shown, control focused) and gives
    // FALSE. FALSE: writes the members into the controls.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // A modal message box owned by this dialog; no caption means the
    // application title.
    int MessageBox(const wchar_t* pszText, const wchar_t* pszCaption = nullptr, UINT nType = MB_OK);

    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    // Over the owner when there is one, else over the work area; always fully
    // on the owner's monitor.
    void CenterWindow();
    UINT GetTemplateID() const { return m_nIDTemplate; }
    // The DPI the dialog is drawn at: taken when it opens, followed on WM_DPICHANGED.
    UINT GetDpi() const { return m_layout.GetDpi(); }
    // Shows icon resource nIDIcon in the title bar at the small-icon size of the
    // dialog's DPI (not a shrunk big icon), again after each DPI change. The
    // dialog owns that icon until its window is gone.
    void SetSmallIcon(UINT nIDIcon);
    // The same for the big icon (the task switcher's), at the large-icon size.
    void SetBigIcon(UINT nIDIcon);

    // The dialog's window while it exists, else null.
    HWND m_hWnd = nullptr;

    // How many of this dialog's messages are being handled now: more than one
    // while a handler waits in a nested loop (a message box, a menu, a drag)
    // and the dialog is handed another.
    int GetHandlingDepth() const { return m_nHandlingDepth; }

protected:
    // Base: exchanges the members into the controls and applies the layout
    // resource of the dialog's id. TRUE lets the dialog manager focus the first
    // tab stop.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange& dx);
    // Base: ends with IDOK only when UpdateData(TRUE) succeeds.
    virtual void OnOK();
    // Base: ends with IDCANCEL without any exchange.
    virtual void OnCancel();
    virtual std::span<const CMessageMapEntry> GetMessageMap() const;

    // WM_PAINT of a minimised dialog: hIcon centred on the icon's background.
    // False when the dialog is not minimised (nothing painted).
    bool PaintMinimisedIcon(HICON hIcon);

    // Asks for the dialog manager's own processing of the current message.
    void Default() { m_bDefault = true; }

    // After the base has rescaled the font and the controls, before the window
    // takes its new size: rescale what the dialog sized in pixels itself.
    virtual void OnDpiChanged(UINT nOldDpi, UINT nNewDpi);

    // A dialog that waits for kernel objects besides its messages (a change
    // notification, say) asks for it in its constructor: DoModal then runs its
    // own loop, which waits for both with MsgWaitForMultipleObjectsEx. Nested
    // dialogs and message boxes run their own loops meanwhile, so a handle
    // signalled then is seen when they end.
    void UseOwnModalLoop() { m_bOwnModalLoop = true; }
    // Waited for from now until RemoveWaitHandle or the window's end; the
    // handle stays the caller's.
    void AddWaitHandle(HANDLE hHandle);
    void RemoveWaitHandle(HANDLE hHandle);
    // hHandle is signalled; the dialog resets or re-arms it.
    virtual void OnWaitHandleSignalled(HANDLE hHandle);

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    const CMessageMapEntry* FindEntry(UINT message, WPARAM wParam, LPARAM lParam) const;
    void ReportException(const char* pszWhat);
    INT_PTR RunOwnModalLoop(HWND hWndOwner);

    UINT m_nIDTemplate;
    CDialog* m_pParentWnd;
    bool m_bDefault = false;
    CDialogLayout m_layout;
    int m_nHandlingDepth = 0;
    bool m_bOwnModalLoop = false;
    bool m_bInOwnModalLoop = false;
    bool m_bEndModal = false;
    INT_PTR m_nModalResult = IDCANCEL;
    std::vector<HANDLE> m_arrWaitHandles;
};

template <class T>
CMessageMapEntry::CMessageMapEntry(UINT nMessage, UINT nID, UINT nCode, void (T::*pfn)())
    : m_nMessage(nMessage), m_nID(nID), m_nCode(nCode), m_eKind(EKind::command),
      m_pfnCommand(static_cast<PfnCommand>(pfn)) {}

template <class T>
CMessageMapEntry::CMessageMapEntry(UINT nMessage, UINT nID, UINT nCode, LRESULT (T::*pfn)(NMHDR*))
    : m_nMessage(nMessage), m_nID(nID), m_nCode(nCode), m_eKind(EKind::notify),
      m_pfnNotify(static_cast<PfnNotify>(pfn)) {}

template <class T>
CMessageMapEntry::CMessageMapEntry(UINT nMessage, UINT nID, UINT nCode, LRESULT (T::*pfn)(WPARAM, LPARAM))
    : m_nMessage(nMessage), m_nID(nID), m_nCode(nCode), m_eKind(EKind::message),
      m_pfnMessage(static_cast<PfnMessage>(pfn)) {}
