#include "ui/ActionIconProvider.h"

#include <commctrl.h>
#include <commoncontrols.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <utility>

#include "win/WinText.h"
#include "res/resource.h"

CActionIconProvider::CActionIconProvider()
    : m_hSeparatorIcon(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_SEPARATOR))) {}

HICON CActionIconProvider::GetIcon(const std::u16string& path, int index, bool large, bool& extracted) {
    return GetIcon(path, index, ::GetSystemMetrics(large ? SM_CXICON : SM_CXSMICON), extracted);
}

HICON CActionIconProvider::GetIcon(const std::u16string& path, int index, int cxSize, bool& extracted) {
    extracted = false;
    // Whatever the last lookup handed out is invalid from here on.
    m_hExtractedIcon.reset();
    m_hShellIcon.reset();

    if (path.empty()) return m_hSeparatorIcon;

    // Exactly one icon, drawn from the file's image nearest the size asked for
    // (not the system's size stretched); the index goes through unchanged. The
    // size goes in both halves: the large icon's and the small one's.
    HICON hIcon = nullptr;
    const UINT nSizes = MAKELONG(cxSize, cxSize);
    const HRESULT hr = ::SHDefExtractIconW(as_wcstr(path), index, 0, &hIcon, nullptr, nSizes);
    m_hExtractedIcon.reset(hIcon);
    if (hr == S_OK && m_hExtractedIcon) {
        extracted = true;
        return m_hExtractedIcon.get();
    }
    m_hExtractedIcon.reset();
    return GetShellIcon(path);
}

HICON CActionIconProvider::GetShellIcon(const std::u16string& path) {
    // No attributes and no SHGFI_USEFILEATTRIBUTES: the shell looks at the real file.
    // When it cannot resolve the path, iIcon stays 0, the first icon of the list.
    SHFILEINFOW info{};
    ::SHGetFileInfoW(as_wcstr(path), 0, &info, sizeof(info), SHGFI_SYSICONINDEX);

    Microsoft::WRL::ComPtr<IImageList> list;
    if (::SHGetImageList(SHIL_EXTRALARGE, IID_PPV_ARGS(&list)) != S_OK) return nullptr;

    HICON hIcon = nullptr;
    const HRESULT hr = list->GetIcon(info.iIcon, ILD_TRANSPARENT, &hIcon);
    UniqueIcon icon(hIcon);  // ours even when the call failed after making it
    if (hr != S_OK) return nullptr;
    m_hShellIcon = std::move(icon);
    return m_hShellIcon.get();
}
