#include "support/OpenedUrls.h"

#include <shlobj.h>

#include <cstdlib>

#include <gtest/gtest.h>

#include "win/WinText.h"
#include "support/BuiltProgram.h"
#include "support/FileText.h"

namespace {

constexpr wchar_t kRecorderName[] = L"zembro_url_recorder.exe";

std::wstring RecordFile() {
    wchar_t szFolder[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, szFolder);
    return std::wstring(szFolder) + L"\\ZembroUrlRecorder\\opened.txt";
}

std::u16string FromUtf8(const std::string& text) {
    if (text.empty()) return {};
    const int cch = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(cch), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), cch);
    return as_u16(wide);
}

bool ReadCommand(const std::wstring& key, std::wstring& command) {
    HKEY hKey = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS) return false;
    wchar_t sz[1024] = {};
    DWORD cb = sizeof(sz) - sizeof(wchar_t);
    DWORD dwType = REG_NONE;
    const LONG lResult = RegQueryValueExW(hKey, nullptr, nullptr, &dwType, reinterpret_cast<BYTE*>(sz), &cb);
    RegCloseKey(hKey);
    if (lResult != ERROR_SUCCESS || (dwType != REG_SZ && dwType != REG_EXPAND_SZ)) return false;
    command.assign(sz, cb / sizeof(wchar_t));
    while (!command.empty() && command.back() == L'\0') command.pop_back();
    return true;
}

bool WriteCommand(const std::wstring& key, const std::wstring& command) {
    HKEY hKey = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &hKey, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG lResult = RegSetValueExW(hKey, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                                       static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(hKey);
    return lResult == ERROR_SUCCESS;
}

}  // namespace

std::wstring RecorderPath() { return FindBuiltProgram(kRecorderName); }

void PrintTo(const COpenedUrl& opened, std::ostream* os) {
    *os << "{show " << opened.m_nShow << ", \"";
    for (char16_t ch : opened.m_strUrl) *os << (ch < 0x80 ? static_cast<char>(ch) : '?');
    *os << "\"}";
}

CUrlRecorder::CUrlRecorder() {
    const std::wstring recorder = RecorderPath();
    if (recorder.empty()) {
        ADD_FAILURE() << "zembro_url_recorder.exe is not built next to the tests";
        return;
    }
    Clear();
    m_bRegistered = true;
    for (const wchar_t* pszScheme : {L"http", L"https"}) {
        CSaved saved;
        saved.m_strKey = std::wstring(L"Software\\Classes\\") + pszScheme + L"\\shell\\open\\command";
        saved.m_bExisted = ReadCommand(saved.m_strKey, saved.m_strCommand);
        m_arrSaved.push_back(saved);
        if (!WriteCommand(saved.m_strKey, L"\"" + recorder + L"\" \"%1\"")) {
            ADD_FAILURE() << "cannot register the URL recorder for " << (pszScheme[4] ? "https" : "http");
            m_bRegistered = false;
        }
    }
}

CUrlRecorder::~CUrlRecorder() {
    for (const CSaved& saved : m_arrSaved) {
        if (saved.m_bExisted) WriteCommand(saved.m_strKey, saved.m_strCommand);
        else RegDeleteKeyW(HKEY_LOCAL_MACHINE, saved.m_strKey.c_str());
    }
}

std::vector<COpenedUrl> CUrlRecorder::Opened() const {
    std::vector<COpenedUrl> opened;
    const std::string text = ReadFileText(RecordFile());
    size_t start = 0;
    // Only whole lines: a recorder may be writing the last one right now.
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = text.substr(start, end - start);
        const size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        COpenedUrl entry;
        entry.m_nShow = std::atoi(line.substr(0, tab).c_str());
        entry.m_strUrl = FromUtf8(line.substr(tab + 1));
        opened.push_back(entry);
    }
    return opened;
}

std::vector<COpenedUrl> CUrlRecorder::WaitForOpened(size_t nCount, DWORD dwTimeoutMs) const {
    const ULONGLONG ullDeadline = GetTickCount64() + dwTimeoutMs;
    for (;;) {
        std::vector<COpenedUrl> opened = Opened();
        if (opened.size() >= nCount || GetTickCount64() >= ullDeadline) return opened;
        Sleep(20);
    }
}

void CUrlRecorder::Clear() const { DeleteFileW(RecordFile().c_str()); }
