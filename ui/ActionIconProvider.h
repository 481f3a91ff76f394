#pragma once
// The icon shown for a task: taken from the file at the task's icon index where
// the file has one, else the icon the shell shows for the path, and a fixed
// separator icon for an empty path (separators are the records without a path).
#include <windows.h>

#include <string>

#include "win/UniqueHandle.h"

class CActionIconProvider {
public:
    // Loads the separator icon from the program's resources.
    CActionIconProvider();
    ~CActionIconProvider() = default;
    CActionIconProvider(const CActionIconProvider&) = delete;
    CActionIconProvider& operator=(const CActionIconProvider&) = delete;

    // The icon for `path` at `index` (a negative index names an icon resource id),
    // in the system's large (SM_CXICON) or small (SM_CXSMICON) size.
    // `extracted` is true only when the icon came out of the file at that index.
    //
    // Ownership: the returned icon is the provider's and stays valid only until the
    // next GetIcon call or the provider's destruction, whatever it came from; the
    // caller copies it at once (ImageList_ReplaceIcon, or a preview it replaces
    // before the next lookup) and never destroys it. The shell fallback is always
    // the extra-large icon, whatever `large` says.
    //
    // The result may be null when the shell has no icon either. A caller that keeps
    // one image per row must still append a placeholder then, so row n keeps image n.
    HICON GetIcon(const std::u16string& path, int index, bool large, bool& extracted);
    // The same, with the icon taken from the file at cxSize pixels square (the
    // small or large size at a window's DPI), drawn from the file's image
    // nearest that size.
    HICON GetIcon(const std::u16string& path, int index, int cxSize, bool& extracted);

private:
    // The extra-large icon of the shell's system image list for `path` (the first
    // icon of that list when the shell cannot resolve the path), or null. The
    // provider keeps it until the next lookup.
    HICON GetShellIcon(const std::u16string& path);

    HICON m_hSeparatorIcon;       // shared resource icon: never destroyed
    UniqueIcon m_hExtractedIcon;  // taken from a file by the last lookup
    UniqueIcon m_hShellIcon;      // handed out by the last lookup's shell fallback
};
