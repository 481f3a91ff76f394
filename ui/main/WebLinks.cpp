#include "ui/main/WebLinks.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "core/ProductLinks.h"
#include "win/UniqueHandle.h"
#include "win/WinText.h"

namespace {

constexpr char16_t kShareEndpoint[] = u"http://www.facebook.com/sharer.php";

}  // namespace

std::u16string GetShareAddress() { return std::u16string(kShareEndpoint) + u"?u=" + kProductPage; }

void OpenWebPage(const std::u16string& url) {
    // No verb: the address's default action, which for a web address is the
    // browser. The result is deliberately not looked at.
    ShellExecuteW(nullptr, nullptr, as_wcstr(url), nullptr, nullptr, SW_SHOWMAXIMIZED);
}

void ShowInFileManager(const std::u16string& strPath) {
    if (strPath.empty()) return;
    const UniqueIdList pidl(::ILCreateFromPathW(as_wcstr(strPath)));
    if (pidl) ::SHOpenFolderAndSelectItems(pidl.get(), 0, nullptr, 0);
}
