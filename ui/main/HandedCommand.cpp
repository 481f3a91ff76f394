#include "ui/main/HandedCommand.h"

#include <cwchar>
#include <iterator>
#include <string>

#include "res/resource.h"
#include "win/WinText.h"

HWND FindMainWindow(const wchar_t* pszTitle) {
    struct CSearch {
        const wchar_t* m_pszTitle;
        HWND m_hFound;
    } search{pszTitle, nullptr};
    ::EnumWindows(
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* pSearch = reinterpret_cast<CSearch*>(lParam);
            wchar_t szTitle[256] = {};
            ::GetWindowTextW(hWnd, szTitle, static_cast<int>(std::size(szTitle)));
            if (std::wcscmp(szTitle, pSearch->m_pszTitle) != 0 || !::GetDlgItem(hWnd, IDC_TASK_LIST)) return TRUE;
            pSearch->m_hFound = hWnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.m_hFound;
}

int HandToRunningWindow(HWND hWnd, CCommandLine commandLine) {
    constexpr UINT kAnswerTimeoutMs = 30000;
    if (commandLine.m_eCommand == CCommandLine::importList) {
        // The window's current folder is not this one's.
        const DWORD cch = ::GetFullPathNameW(as_wcstr(commandLine.m_strFile), 0, nullptr, nullptr);
        std::wstring strFull(cch, L'\0');
        const DWORD cchCopied = cch ? ::GetFullPathNameW(as_wcstr(commandLine.m_strFile), cch, strFull.data(), nullptr) : 0;
        if (cchCopied == 0 || cchCopied >= cch) return kExitListUnreadable;
        strFull.resize(cchCopied);
        commandLine.m_strFile = as_u16(strFull.c_str());
    }
    const std::u16string strData = EncodeWindowCommand(commandLine);
    COPYDATASTRUCT data{};
    data.dwData = kWindowCommandTag;
    data.cbData = static_cast<DWORD>(strData.size() * sizeof(char16_t));
    data.lpData = const_cast<char16_t*>(strData.data());
    DWORD_PTR dwAnswer = kExitWindowBusy;
    if (!::SendMessageTimeoutW(hWnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                               kAnswerTimeoutMs, &dwAnswer))
        return kExitWindowBusy;
    return dwAnswer <= kExitWindowBusy ? static_cast<int>(dwAnswer) : kExitWindowBusy;
}

CCommandLine HandedCommandOf(const COPYDATASTRUCT* pData) {
    if (!pData || pData->dwData != kWindowCommandTag || !pData->lpData || pData->cbData % sizeof(char16_t))
        return CCommandLine{CCommandLine::bad, {}};
    const CCommandLine command = DecodeWindowCommand(
        std::u16string(static_cast<const char16_t*>(pData->lpData), pData->cbData / sizeof(char16_t)));
    if (command.m_eCommand != CCommandLine::publish && command.m_eCommand != CCommandLine::importList)
        return CCommandLine{CCommandLine::bad, {}};
    return command;
}
