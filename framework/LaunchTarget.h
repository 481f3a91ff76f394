#pragma once
// What a task's target becomes before it reaches the shell's link. Windows'
// IShellLinkW::SetPath resolves only a name on the search path, refuses one
// that only App Paths knows, and takes a web address for no file at all, so
// each task is published in a form the shell can launch. The data file keeps
// what the user typed; only the Jump List sees the result.
#include <optional>
#include <string>

// An icon as the shell's link takes it: a full path and an index (negative: a
// resource id).
struct CIconLocation {
    std::wstring m_strPath;
    int m_nIndex = 0;
    bool operator==(const CIconLocation&) const = default;
};

struct CLaunchTarget {
    std::wstring m_strPath;       // a full path
    std::wstring m_strArguments;  // the command line after m_strPath
    std::wstring m_strName;       // what to call a task that has no title
    // For a web address, the scheme's own icon, shown in place of the icon of
    // m_strPath (explorer.exe) when the task names none; empty when the
    // scheme has none the shell can load.
    std::optional<CIconLocation> m_icon = std::nullopt;
};

// What the shell's associations answer for a URL scheme; each empty when they
// have no answer.
struct CSchemeAssociation {
    std::optional<std::wstring> m_strCommand;          // the "open" verb's command line
    std::optional<std::wstring> m_strDelegateExecute;  // the "open" verb's DelegateExecute object
    std::optional<std::wstring> m_strAppId;            // the packaged app that handles it
    std::optional<std::wstring> m_strDefaultIcon;      // "path,index", as DefaultIcon has it
};
CSchemeAssociation QuerySchemeAssociation(const std::wstring& strScheme);

// Whether the answers name something that opens the scheme's addresses: a
// command; a DelegateExecute object, which has no command (ms-settings:); or a
// packaged app, which has neither (mailto: with the Mail app).
bool NamesHandler(const CSchemeAssociation& answers);

// A DefaultIcon text as an icon location: "path", "path,index" or
// "\"path\",index", environment variables expanded. None for a packaged app's
// resource reference ("@{...}"), an index that is no number, or a path that
// is not full.
std::optional<CIconLocation> ParseIconLocation(const std::wstring& strText);

// s with its environment variables (%SystemRoot%) expanded; s itself when
// that fails.
std::wstring ExpandEnvironmentText(const std::wstring& s);

// Resolves strTarget as the Run box would:
// - environment variables are expanded first;
// - a full path (C:\..., \\server\...) stays as it is, found or not;
// - a bare name is looked for in the Windows folder, the system folder and the
//   folders of PATH (Microsoft's order for finding an application), as given
//   and with each extension of PATHEXT, then in App Paths (HKCU before HKLM);
//   the first file found is the target;
// - an address with a scheme that the shell has a handler for ("https://...",
//   "mailto:...", "ms-settings:...": see NamesHandler) becomes the Windows
//   folder's explorer.exe, which opens it in the user's default program; the
//   task's own arguments cannot go along.
// Empty for an empty text, a name found nowhere, a relative path with folders
// (it would depend on the folder the shell launches from) or an unknown scheme.
std::optional<CLaunchTarget> ResolveLaunchTarget(const std::wstring& strTarget, const std::wstring& strArguments);

// A task as the shell's link takes it: the resolved target; a title that is
// never empty (the shell refuses a task without one), so an untitled task is
// called by its target's file name; and the task's icon, or for a web address
// that names none, its scheme's (else the link shows explorer.exe's).
struct CShellTask {
    std::wstring m_strPath, m_strArguments, m_strTitle;
    std::wstring m_strIconPath;
    int m_nIconIndex = 0;
};
std::optional<CShellTask> MakeShellTask(const std::wstring& strPath, const std::wstring& strArguments,
                                        const std::wstring& strTitle, const std::wstring& strIconPath = {},
                                        int nIconIndex = 0);
