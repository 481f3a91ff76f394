#pragma once
// The task editor: the modal dialog in which the user enters a new task or
// changes a copy of an existing one.
//
// The caller sets m_bEdit and m_action, runs DoModal, and takes m_action back
// only on IDOK: then the title is not blank and the path is not empty. On
// IDCANCEL m_action may hold half-read fields and is to be discarded. The editor
// never touches the task list, the data file or the published Jump List.
#include <windows.h>

#include <span>
#include <string>

#include "core/JumpListAction.h"
#include "framework/Dialog.h"
#include "ui/ActionIconProvider.h"

class CDlgAction : public CDialog {
public:
    CDlgAction();

    // What the Browse buttons do with the file the user chose, once the file
    // dialog has ended with OK. The other fields keep what the user typed.
    // The path: becomes the task's path, and its icon file path too when it
    // names a program (".exe", any case).
    void OnPathChosen(const std::u16string& strPath);
    // The icon file: becomes the icon file path; the icon index stays.
    void OnIconPathChosen(const std::u16string& strPath);

private:
    CActionIconProvider m_icons;  // owns the icon the preview shows
    bool m_bInitialised = false;  // false while the dialog starts: index changes are ignored
    RECT m_rcInitial{};           // window rectangle at start (screen): the minimum size

public:
    CJumpListAction m_action;  // the task being edited
    bool m_bEdit = false;      // true: editing an existing task; false: adding one

private:
    HWND m_stcIcon = nullptr;        // icon preview
    HWND m_stcIconStatus = nullptr;  // empty, or "-NA-" when the file has no icon at the index
    // True while a handler writes the members into the controls: the index
    // change this sends must not read the controls back half-written.
    bool m_bWritingControls = false;
    // The preview's icon at a monitor's DPI other than the system's; else empty.
    UniqueIcon m_hPreviewCopy;
    bool m_bPreviewShown = false;  // a lookup has replaced the template's icon

protected:
    BOOL OnInitDialog() override;
    // The smallest size and the preview follow the DPI.
    void OnDpiChanged(UINT nOldDpi, UINT nNewDpi) override;
    void DoDataExchange(CDataExchange& dx) override;
    std::span<const CMessageMapEntry> GetMessageMap() const override;

private:
    void OnClickedOk();
    void OnBrowsePath();
    void OnBrowseIcon();
    void OnIconIndexChange();
    void OnLocate();
    // The shell's icon picker on the icon file (or the path, when it has
    // none) and the index; OK fills both and the preview.
    void OnChangeIcon();
    LRESULT OnGetMinMaxInfo(WPARAM wParam, LPARAM lParam);
    LRESULT OnHelpInfo(WPARAM wParam, LPARAM lParam);

    // Shows the icon of the task's path (not its icon file path) at its index,
    // and "-NA-" when that icon did not come out of the file.
    void UpdateIconPreview();
    // UpdateData(FALSE) for the handlers, without the index change it sends.
    void WriteControls();
    // Runs the file-open dialog with one filter; false when it did not end with
    // OK or could not be shown.
    bool BrowseForFile(const wchar_t* pszFilterName, const wchar_t* pszFilterSpec, std::u16string& strPath);
    // Opens the folder that holds the file in the file manager with the file
    // selected. A path the shell cannot resolve does nothing, silently.
    static void LocateInExplorer(std::u16string strPath);
};
