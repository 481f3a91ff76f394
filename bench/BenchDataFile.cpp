// Load and save of a 10,000-entry data file, against a plain memcpy of the same
// bytes. Prints MB/s for the in-memory format and the time of a whole
// LoadSaveDataFile load + save through the file system.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/DataFile.h"
#include "core/JumpListAction.h"

namespace {

using Clock = std::chrono::steady_clock;

std::u16string Text(const char* s) { return std::u16string(s, s + std::strlen(s)); }

CTaskList MakeRealisticList(int n) {
    CTaskList list;
    for (int i = 0; i < n; ++i) {
        if (i % 10 == 9) {
            CJumpListAction separator;
            separator.m_bSeparator = 1;
            list.Add(separator);
            continue;
        }
        const std::u16string number = Text(std::to_string(i).c_str());
        CJumpListAction a;
        a.m_strTitle = u"Project report " + number;
        a.m_strDescription = u"Quarterly report " + number;
        a.m_strPath = u"C:\\Program Files\\Contoso\\editor.exe";
        a.m_strArguments = u"/open \"D:\\Reports\\Q" + number + u".docx\"";
        a.m_strIconPath = u"C:\\Program Files\\Contoso\\editor.exe";
        a.m_nIconIndex = i % 7;
        list.Add(a);
    }
    return list;
}

// Best of several runs, in seconds: the least disturbed measurement.
template <typename F>
double BestSeconds(int runs, F&& f) {
    double best = 1e9;
    for (int r = 0; r < runs; ++r) {
        const auto start = Clock::now();
        f();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

double MBps(size_t bytes, double seconds) { return bytes / 1e6 / seconds; }

}  // namespace

int main() {
    const int kEntries = 10000;
    const int kRuns = 20;
    CTaskList list = MakeRealisticList(kEntries);

    CArchive stored;
    ArchiveTaskList(list, stored);
    const std::vector<std::uint8_t> bytes = stored.GetBuffer();
    std::printf("data file: %d entries, %zu bytes\n", kEntries, bytes.size());

    std::vector<std::uint8_t> copy(bytes.size());
    const double tCopy = BestSeconds(kRuns, [&] {
        std::memcpy(copy.data(), bytes.data(), bytes.size());
        asm volatile("" : : "r"(copy.data()) : "memory");
    });
    const double tSave = BestSeconds(kRuns, [&] {
        CArchive ar;
        ArchiveTaskList(list, ar);
    });
    CTaskList loaded;
    const double tLoad = BestSeconds(kRuns, [&] {
        CArchive ar(bytes.data(), bytes.size());
        ArchiveTaskList(loaded, ar);
    });
    if (!(loaded == list)) {
        std::printf("FAILED: the loaded list differs from the saved one\n");
        return 1;
    }
    std::printf("memcpy:            %8.1f MB/s\n", MBps(bytes.size(), tCopy));
    std::printf("save (in memory):  %8.1f MB/s  (%.2f ms)\n", MBps(bytes.size(), tSave), tSave * 1e3);
    std::printf("load (in memory):  %8.1f MB/s  (%.2f ms)\n", MBps(bytes.size(), tLoad), tLoad * 1e3);

    if (GetDataFilePath().empty()) {
        std::printf("no local application data folder: file round trip skipped\n");
        return 0;
    }
    CDataFileStatus saved, loadedStatus;
    const double tFileSave = BestSeconds(kRuns, [&] { saved = LoadSaveDataFile(list, true); });
    const double tFileLoad = BestSeconds(kRuns, [&] { loadedStatus = LoadSaveDataFile(loaded, false); });
    const double tFileBoth = BestSeconds(kRuns, [&] {
        LoadSaveDataFile(list, true);
        LoadSaveDataFile(loaded, false);
    });
    if (!saved.Succeeded() || !loadedStatus.Succeeded() || !(loaded == list)) {
        std::printf("FAILED: the file round trip did not succeed\n");
        return 1;
    }
    std::printf("LoadSaveDataFile save:  %8.1f MB/s  (%.2f ms, flushed to disk)\n", MBps(bytes.size(), tFileSave),
                tFileSave * 1e3);
    std::printf("LoadSaveDataFile load:  %8.1f MB/s  (%.2f ms)\n", MBps(bytes.size(), tFileLoad), tFileLoad * 1e3);
    std::printf("LoadSaveDataFile save + load: %.2f ms\n", tFileBoth * 1e3);
    return 0;
}
