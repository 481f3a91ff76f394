#pragma once
// The application object: start-up and shutdown flow, the application title,
// the per-user registry profile and the wait cursor.
#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

class CDialog;

// m_dwRestartManagerSupportFlags: ask Windows to restart the program after a
// crash or an update (no recovery, no autosave).
constexpr DWORD AFX_RESTART_MANAGER_SUPPORT_RESTART = 0x01;
// The string-table id of the application title: the application object's name.
constexpr UINT AFX_IDS_APP_TITLE = 0xE000;
// The framework's own messages, which the program's string table holds:
// a number field that holds no 32-bit number, and an error no handler caught.
constexpr UINT AFX_IDP_PARSE_INT = 0xF110;
constexpr UINT AFX_IDP_PARSE_UINT = 0xF117;
constexpr UINT AFX_IDP_INTERNAL_FAILURE = 0xF108;  // %1: what went wrong, or nothing

class CWinApp {
public:
    // No name: the title is string resource IDS_APPLICATION_TITLE of the program,
    // or, when the program has none, its file name without extension.
    explicit CWinApp(const wchar_t* pszAppName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // FALSE ends the program at once: AfxWinMain then returns ExitInstance().
    // The base registers for restart when m_dwRestartManagerSupportFlags asks.
    virtual BOOL InitInstance();
    // The program's exit code. The base gives the WM_QUIT code of Run, else 0.
    virtual int ExitInstance();
    // After a TRUE InitInstance: pumps messages until WM_QUIT, then ExitInstance().
    virtual int Run();

    // The application title (also the profile's application key and the caption
    // of message boxes that name none).
    const wchar_t* GetAppName() const { return m_strAppName.c_str(); }

    // Profile values live under HKEY_CURRENT_USER\Software\<company>\<title>\<section>.
    // Without a registry key the reads give their defaults and the writes fail.
    void SetRegistryKey(const wchar_t* pszCompany);
    // A REG_DWORD, or nDefault when it is missing or of another type or size.
    UINT GetProfileInt(const wchar_t* pszSection, const wchar_t* pszEntry, int nDefault) const;
    // Creates the keys on the way; FALSE when the value could not be written.
    BOOL WriteProfileInt(const wchar_t* pszSection, const wchar_t* pszEntry, int nValue);
    // A REG_BINARY of any length, as stored. FALSE (data untouched) when it is
    // missing or of another type.
    BOOL GetProfileBinary(const wchar_t* pszSection, const wchar_t* pszEntry, std::vector<BYTE>& data) const;
    BOOL WriteProfileBinary(const wchar_t* pszSection, const wchar_t* pszEntry, const void* pData, UINT nBytes);

    // The hourglass, nestable: shown from the first Begin until the matching
    // last End, then the cursor from before comes back. An End without a Begin
    // does nothing. Dialogs keep the hourglass while it is on.
    void BeginWaitCursor();
    void EndWaitCursor();
    bool IsWaitCursorOn() const { return m_nWaitCursorCount > 0; }

    HINSTANCE m_hInstance = nullptr;
    HINSTANCE m_hPrevInstance = nullptr;
    LPWSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    // The window that owns dialogs and message boxes that name no parent.
    CDialog* m_pMainWnd = nullptr;
    DWORD m_dwRestartManagerSupportFlags = 0;

protected:
    int m_nExitCode = 0;

private:
    std::wstring ProfileKeyPath(const wchar_t* pszSection) const;

    std::wstring m_strAppName;
    std::wstring m_strRegistryKey;
    int m_nWaitCursorCount = 0;
    HCURSOR m_hcurWaitCursorRestore = nullptr;
    CWinApp* m_pPreviousApp = nullptr;
};

// The application object, or null when none exists.
CWinApp* AfxGetApp();
// The application object's title; without one, the program's title string
// (empty when it has none).
std::wstring AfxGetAppTitle();

// Lets messages reach hWnd from processes at a lower integrity level, which
// Windows blocks while the program runs elevated. Windows 7 and later
// (ChangeWindowMessageFilterEx); nothing on earlier ones.
void AfxAllowMessagesFromLowerIntegrity(HWND hWnd, std::initializer_list<UINT> messages);

// A text of the program's string table; empty when there is none.
std::wstring AfxLoadText(UINT nID);
// AfxLoadText(nID) with each %1 ... %9 replaced by args[0] ... args[8]. What
// an argument holds (a path with a % in it) is never taken for an insert.
std::wstring AfxFormatText(UINT nID, std::initializer_list<std::wstring_view> args);
// The system's words for dwError, without the line break they end with; its
// number when the system has none.
std::wstring AfxSystemMessage(DWORD dwError);
// Where dialog templates and resources are loaded from.
HINSTANCE AfxGetResourceHandle();
// Runs the application object: InitInstance, then Run or (on FALSE) ExitInstance.
// Returns the process exit code; -1 when there is no application object.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);

// Shows the hourglass for its lifetime, on the application object.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    CWinApp* m_pApp;
};
