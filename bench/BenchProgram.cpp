// Measures the real Zembro.exe from outside, as a user would meet it:
//  1. start-up: process start until the main window's first row is drawn on
//     the screen, against a minimal dialog program built the same way, and
//     until the rows also have their icons;
//  2. a change at scale: one Move Up in a list of 1,000 entries (publish, save,
//     reload, rebuild rows and icons) against 1,000 bare icon lookups, and one
//     in a list of 20;
//  3. resources: private memory and GDI/USER objects after the first and after
//     500 refreshes, and the peak private memory with 10,000 entries.
// Usage: zembro_bench_program ZEMBRO.EXE MINIMAL.EXE
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>
#include <winternl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/DataFile.h"
#include "core/DefaultTaskList.h"
#include "core/JumpListAction.h"
#include "win/WinText.h"
#include "res/resource.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kDeadline = std::chrono::seconds(60);
constexpr int kRefreshes = 500;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

struct CRunningProgram {
    PROCESS_INFORMATION m_pi{};
    HWND m_hWnd = nullptr;
    HWND m_hList = nullptr;
    ~CRunningProgram() {
        if (m_pi.hProcess) {
            if (m_hWnd) PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(m_pi.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(m_pi.hProcess, 1);
            CloseHandle(m_pi.hProcess);
            CloseHandle(m_pi.hThread);
        }
    }
};

int RowCount(HWND hList) { return static_cast<int>(SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0)); }

// Whether the list's first row shows text on the screen: a dark pixel in the
// band below its header. Read from the screen, so it asks nothing of the
// program's thread and counts only what has really been drawn.
bool FirstRowDrawn(HWND hList) {
    const HWND hHeader = GetWindow(hList, GW_CHILD);
    RECT rcList{}, rcHeader{};
    if (!IsWindowVisible(hList) || !hHeader || !GetWindowRect(hList, &rcList) || !GetWindowRect(hHeader, &rcHeader))
        return false;
    const int x = rcList.left + 2, y = rcHeader.bottom + 1;
    const int cx = std::min<int>(rcList.right - 2 - x, 400), cy = std::min<int>(rcList.bottom - 2 - y, 16);
    if (cx <= 0 || cy <= 0) return false;
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* pBits = nullptr;
    const HDC hdcScreen = GetDC(nullptr);
    const HDC hdc = CreateCompatibleDC(hdcScreen);
    const HBITMAP hbm = CreateDIBSection(hdc, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    bool bDrawn = false;
    if (hbm) {
        const HGDIOBJ hOld = SelectObject(hdc, hbm);
        if (BitBlt(hdc, 0, 0, cx, cy, hdcScreen, x, y, SRCCOPY)) {
            const auto* pPixels = static_cast<const DWORD*>(pBits);
            for (int i = 0; i < cx * cy && !bDrawn; ++i)
                bDrawn = (pPixels[i] & 0xFF) < 0x60 && ((pPixels[i] >> 8) & 0xFF) < 0x60 && ((pPixels[i] >> 16) & 0xFF) < 0x60;
        }
        SelectObject(hdc, hOld);
        DeleteObject(hbm);
    }
    DeleteDC(hdc);
    ReleaseDC(nullptr, hdcScreen);
    return bDrawn;
}

// Starts the program and waits until its window titled pszTitle shows nRows rows
// or more. Returns the seconds that took, or a negative number on failure.
// bOnScreen: until the first row is drawn on the screen instead (nRows is 1).
double StartAndWaitForRows(const std::wstring& exe, const wchar_t* pszTitle, int nRows, CRunningProgram& program,
                           bool bOnScreen = false) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    const auto start = Clock::now();
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &program.m_pi))
        return -1;
    while (Seconds(start) < std::chrono::duration<double>(kDeadline).count()) {
        if (!program.m_hWnd) program.m_hWnd = FindWindowW(nullptr, pszTitle);
        if (program.m_hWnd && !program.m_hList) program.m_hList = GetDlgItem(program.m_hWnd, 1000);
        if (program.m_hList && (bOnScreen ? FirstRowDrawn(program.m_hList) : RowCount(program.m_hList) >= nRows))
            return Seconds(start);
        if (WaitForSingleObject(program.m_pi.hProcess, bOnScreen ? 0 : 1) == WAIT_OBJECT_0) return -1;
    }
    return -1;
}

// After StartAndWaitForRows: waits until the rows have their images (the
// window installs their image list once every image is made). Returns the
// seconds from the start, or a negative number on failure.
double WaitForRowImages(CRunningProgram& program, Clock::time_point start) {
    while (!SendMessageW(program.m_hList, LVM_GETIMAGELIST, LVSIL_SMALL, 0)) {
        if (Seconds(start) >= std::chrono::duration<double>(kDeadline).count() ||
            WaitForSingleObject(program.m_pi.hProcess, 1) == WAIT_OBJECT_0)
            return -1;
    }
    return Seconds(start);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Selects row nRow of another process's list view (the item must live in its memory).
bool SelectRow(HANDLE hProcess, HWND hList, int nRow) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    void* pRemote = VirtualAllocEx(hProcess, nullptr, sizeof item, MEM_COMMIT, PAGE_READWRITE);
    if (!pRemote) return false;
    const bool ok = WriteProcessMemory(hProcess, pRemote, &item, sizeof item, nullptr) &&
                    SendMessageW(hList, LVM_SETITEMSTATE, nRow, reinterpret_cast<LPARAM>(pRemote));
    VirtualFreeEx(hProcess, pRemote, 0, MEM_RELEASE);
    return ok;
}

void Click(HWND hWnd, int nID) { SendMessageW(hWnd, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), 0); }

struct CResources {
    SIZE_T m_cbPrivate = 0;
    SIZE_T m_cbPeak = 0;
    DWORD m_nGdi = 0, m_nUser = 0;
};

// Wine answers 0 to GetGuiResources, so there the GDI objects are counted in
// the process's own GDI handle table, which its PEB points to (a table of
// 24-byte entries, a non-zero type byte marking a live object). Icons hold
// their bitmaps as GDI objects, so a leaked icon shows here too.
DWORD CountGdiObjectsInTable(HANDLE hProcess) {
    using QueryInformationProcess = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<QueryInformationProcess>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION info{};
    if (!query || query(hProcess, 0 /* ProcessBasicInformation */, &info, sizeof info, nullptr) != 0) return 0;
    constexpr SIZE_T kTableOffsetInPeb = 0xF8, kEntrySize = 24, kEntries = 0x10000, kTypeOffset = 14;
    UINT64 table = 0;
    if (!ReadProcessMemory(hProcess, reinterpret_cast<const BYTE*>(info.PebBaseAddress) + kTableOffsetInPeb, &table,
                           sizeof table, nullptr) || !table)
        return 0;
    std::vector<BYTE> entries(kEntrySize * kEntries);
    if (!ReadProcessMemory(hProcess, reinterpret_cast<const void*>(table), entries.data(), entries.size(), nullptr))
        return 0;
    DWORD n = 0;
    for (SIZE_T i = 0; i < kEntries; ++i) n += entries[i * kEntrySize + kTypeOffset] != 0;
    return n;
}

CResources Measure(HANDLE hProcess) {
    CResources r;
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
    {
        r.m_cbPrivate = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
        r.m_cbPeak = counters.PeakPagefileUsage;
    }
    r.m_nGdi = GetGuiResources(hProcess, GR_GDIOBJECTS);
    if (!r.m_nGdi) r.m_nGdi = CountGdiObjectsInTable(hProcess);
    r.m_nUser = GetGuiResources(hProcess, GR_USEROBJECTS);
    return r;
}

// A list of n tasks, each with its own icon index in one of the system's programs.
CTaskList MakeList(int n, const std::u16string& strIconFile) {
    CTaskList list;
    for (int i = 0; i < n; ++i) {
        CJumpListAction a;
        a.m_strTitle = u"Task " + as_u16(std::to_wstring(i));
        a.m_strPath = strIconFile;
        a.m_strIconPath = strIconFile;
        a.m_nIconIndex = i % 3;
        list.Add(a);
    }
    return list;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fwprintf(stderr, L"usage: %ls ZEMBRO.EXE MINIMAL.EXE\n", argv[0]);
        return 2;
    }
    const std::wstring zembro = argv[1], minimal = argv[2];
    const wchar_t* const pszTitle = L"Zembro by Brellow";
    const std::u16string strDataFile = GetDataFilePath();
    wchar_t szSystem[MAX_PATH];
    GetSystemDirectoryW(szSystem, MAX_PATH);
    const std::u16string strIconFile = as_u16(szSystem) + u"\\shell32.dll";

    // 1. Start-up with the default list, alternating the two programs so that
    // both see the same machine.
    {
        CTaskList defaults;
        FillDefaultTaskList(defaults);
        if (!SaveTaskListFile(GetDataFilePath(), defaults).Succeeded()) {
            std::printf("FAILED: could not write the data file\n");
            return 1;
        }
    }
    constexpr int kRuns = 11;
    std::vector<double> tZembro, tMinimal, tZembroIcons;
    for (int r = 0; r < kRuns; ++r) {
        {
            CRunningProgram program;
            tMinimal.push_back(StartAndWaitForRows(minimal, L"Zembro minimal", 1, program, true));
        }
        {
            CRunningProgram program;
            const auto start = Clock::now();
            tZembro.push_back(StartAndWaitForRows(zembro, pszTitle, 1, program, true));
            tZembroIcons.push_back(tZembro.back() < 0 ? -1 : WaitForRowImages(program, start));
        }
    }
    if (*std::min_element(tZembro.begin(), tZembro.end()) < 0 || *std::min_element(tZembroIcons.begin(), tZembroIcons.end()) < 0 ||
        *std::min_element(tMinimal.begin(), tMinimal.end()) < 0) {
        std::printf("FAILED: a program did not show its rows\n");
        return 1;
    }
    const double startZembro = Median(tZembro), startMinimal = Median(tMinimal), iconsZembro = Median(tZembroIcons);
    std::printf("start-up until the first row is drawn (median of %d): Zembro %.0f ms, minimal dialog %.0f ms, ratio %.2f (target <= 1.25)\n",
                kRuns, startZembro * 1e3, startMinimal * 1e3, startZembro / startMinimal);
    std::printf("  until the rows also show their icons: Zembro %.0f ms, ratio %.2f\n", iconsZembro * 1e3,
                iconsZembro / startMinimal);

    // 2. One Move Up at 1,000 entries, against 1,000 bare icon lookups; then at 20.
    const auto timeMoveUp = [&](int nEntries, double& tMove) {
        CRunningProgram program;
        if (StartAndWaitForRows(zembro, pszTitle, nEntries, program) < 0 ||
            !SelectRow(program.m_pi.hProcess, program.m_hList, nEntries / 2))
            return false;
        std::vector<double> tMoves;
        for (int r = 0; r < 5; ++r) {
            const auto start = Clock::now();
            Click(program.m_hWnd, IDC_MOVE_UP);  // returns when the window has rebuilt its rows
            tMoves.push_back(Seconds(start));
        }
        tMove = Median(tMoves);
        return true;
    };
    constexpr int kEntries = 1000;
    CTaskList list = MakeList(kEntries, strIconFile);
    if (!SaveTaskListFile(GetDataFilePath(), list).Succeeded()) {
        std::printf("FAILED: could not write the data file\n");
        return 1;
    }
    const auto lookupStart = Clock::now();
    for (int i = 0; i < kEntries; ++i) {
        HICON hIcon = nullptr;
        if (ExtractIconExW(as_wcstr(strIconFile), i % 3, nullptr, &hIcon, 1) && hIcon) DestroyIcon(hIcon);
    }
    const double tLookups = Seconds(lookupStart);
    double tMove = 0;
    if (!timeMoveUp(kEntries, tMove)) {
        std::printf("FAILED: Zembro did not show %d rows\n", kEntries);
        return 1;
    }
    std::printf("Move Up at %d entries (median of 5): %.0f ms; %d bare icon lookups: %.0f ms; ratio %.2f (target <= 1.0)\n",
                kEntries, tMove * 1e3, kEntries, tLookups * 1e3, tMove / tLookups);
    constexpr int kFewEntries = 20;
    CTaskList few = MakeList(kFewEntries, strIconFile);
    if (!SaveTaskListFile(GetDataFilePath(), few).Succeeded() || !timeMoveUp(kFewEntries, tMove)) {
        std::printf("FAILED: Zembro did not show %d rows\n", kFewEntries);
        return 1;
    }
    std::printf("Move Up at %d entries (median of 5): %.1f ms (target < 30)\n", kFewEntries, tMove * 1e3);

    // 3. Resources over 500 refreshes (each Move Up / Move Down is one). The
    // counter must first see 100 bitmaps made here.
    {
        const DWORD nBefore = Measure(GetCurrentProcess()).m_nGdi;
        std::vector<HBITMAP> bitmaps;
        for (int i = 0; i < 100; ++i) bitmaps.push_back(CreateBitmap(16, 16, 1, 32, nullptr));
        const DWORD nAfter = Measure(GetCurrentProcess()).m_nGdi;
        for (HBITMAP hbm : bitmaps) DeleteObject(hbm);
        std::printf("GDI object counter: %lu -> %lu with 100 bitmaps made\n", nBefore, nAfter);
    }
    CTaskList small = MakeList(10, strIconFile);
    SaveTaskListFile(GetDataFilePath(), small);
    {
        CRunningProgram program;
        if (StartAndWaitForRows(zembro, pszTitle, 10, program) < 0 || !SelectRow(program.m_pi.hProcess, program.m_hList, 5)) {
            std::printf("FAILED: Zembro did not start for the resource run\n");
            return 1;
        }
        // Measured along the way, so that growth that levels off can be told
        // from a leak, which grows with every refresh.
        std::vector<CResources> samples;
        for (int r = 1; r <= kRefreshes; ++r) {
            Click(program.m_hWnd, r % 2 ? IDC_MOVE_UP : IDC_MOVE_DOWN);
            if (r == 1 || r % 100 == 0) samples.push_back(Measure(program.m_pi.hProcess));
        }
        std::printf("after refresh 1, 100, ..., %d:\n  private memory (MB):", kRefreshes);
        for (const CResources& r : samples) std::printf(" %.2f", r.m_cbPrivate / 1e6);
        std::printf("\n  GDI objects:");
        for (const CResources& r : samples) std::printf(" %lu", r.m_nGdi);
        std::printf("\n  USER objects (0: not counted by this system):");
        for (const CResources& r : samples) std::printf(" %lu", r.m_nUser);
        std::printf("\n");
    }
    // 4. The peak private memory with a large list shown.
    {
        constexpr int kLarge = 10000;
        CTaskList large = MakeList(kLarge, strIconFile);
        SaveTaskListFile(GetDataFilePath(), large);
        CRunningProgram program;
        if (StartAndWaitForRows(zembro, pszTitle, kLarge, program) < 0) {
            std::printf("FAILED: Zembro did not show %d rows\n", kLarge);
            return 1;
        }
        const CResources r = Measure(program.m_pi.hProcess);
        std::printf("%d entries shown: private memory %.1f MB, peak %.1f MB (0: not counted by this system)\n", kLarge,
                    r.m_cbPrivate / 1e6, r.m_cbPeak / 1e6);
    }
    DeleteFileW(as_wcstr(strDataFile));
    return 0;
}
