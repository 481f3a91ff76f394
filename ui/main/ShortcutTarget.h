#pragma once
// What a task made from a dropped shortcut (.lnk) launches. Most shortcuts name
// a file, which the task launches itself. Two kinds do not:
// - an "advertised" Windows Installer shortcut (Office, many Start menu
//   entries): IShellLink::GetPath gives a file under %WINDIR%\Installer that is
//   only its icon; the program is the file of the component Windows Installer
//   names for it, when that is installed;
// - a shortcut to what is no file (a Store app, a Control Panel item): it has
//   no file-system target at all.
// Where no program file can be found the task launches the shortcut itself,
// which the shell opens as a double-click would.
#include <string>

// What was read from the shortcut and from Windows Installer.
struct CShortcutFacts {
    std::wstring m_strLinkPath;    // the .lnk, a full path
    std::wstring m_strTargetPath;  // IShellLink::GetPath; empty when it names no file
    // MsiGetShortcutTargetW named a product and a component for the shortcut.
    bool m_bAdvertised = false;
    // MsiGetComponentPathW's answer for that component when it is installed
    // (a file path, or "NN:\..." for a component kept in the registry); else empty.
    std::wstring m_strComponentPath;
    std::wstring m_strInstallerFolder;  // %WINDIR%\Installer
};

struct CShortcutTarget {
    std::wstring m_strPath;
    // The task launches the shortcut itself: its arguments are the shortcut's
    // own, and none go with the task.
    bool m_bThroughShortcut = false;
    bool operator==(const CShortcutTarget&) const = default;
};

// The program file (the installed component's for an advertised shortcut, else
// GetPath's, unless that lies in the Installer folder) or, when there is none,
// the shortcut itself.
CShortcutTarget ShortcutTarget(const CShortcutFacts& facts);
