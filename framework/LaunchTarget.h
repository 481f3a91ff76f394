#pragma once
// What a task's target becomes before it reaches the shell's link. Windows'
// IShellLinkW::SetPath resolves only a name on the search path, refuses one
// that only App Paths knows, and takes a web address for no file at all, so
// each task is published in a form the shell can launch. The data file keeps
// what the user typed; only the Jump List sees the result.
#include <optional>
#include <string>

struct CLaunchTarget {
    std::wstring m_strPath;       // a full path
    std::wstring m_strArguments;  // the command line after m_strPath
    std::wstring m_strName;       // what to call a task that has no title
};

// Resolves strTarget as the Run box would:
// - environment variables are expanded first;
// - a full path (C:\..., \\server\...) stays as it is, found or not;
// - a bare name is looked for in the system folder, the Windows folder and the
//   folders of PATH, as given and with each extension of PATHEXT, then in
//   App Paths (HKCU before HKLM); the first file found is the target;
// - an address with a scheme that the shell has a handler for ("https://...",
//   "mailto:...") becomes the Windows folder's explorer.exe, which opens it in
//   the user's default program; the task's own arguments cannot go along.
// Empty for an empty text, a name found nowhere, a relative path with folders
// (it would depend on the folder the shell launches from) or an unknown scheme.
std::optional<CLaunchTarget> ResolveLaunchTarget(const std::wstring& strTarget, const std::wstring& strArguments);

// The three texts of a task as the shell's link takes them: the resolved
// target, and a title that is never empty (the shell refuses a task without
// one), so an untitled task is called by its target's file name.
struct CShellTask {
    std::wstring m_strPath, m_strArguments, m_strTitle;
};
std::optional<CShellTask> MakeShellTask(const std::wstring& strPath, const std::wstring& strArguments,
                                        const std::wstring& strTitle);
