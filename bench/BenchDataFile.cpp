// Load and save of a 10,000-entry data file, against a plain memcpy of the same
// bytes. Prints MB/s for the in-memory format and the time of a whole
// LoadSaveDataFile load + save through the file system.
// With the argument "undo": the memory the undo history takes for 10,000 moves
// in a 1,000-entry list, in a process of its own so that no other measurement
// has raised its peak.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/ChangeHistory.h"
#include "core/DataFile.h"
#include "core/JumpListAction.h"

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

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

// The process's peak memory so far, in bytes.
std::uint64_t PeakMemory() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) return 0;
    return std::max(counters.PeakPagefileUsage, counters.PeakWorkingSetSize);
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<std::uint64_t>(usage.ru_maxrss) * 1024;
#endif
}

// Loads a data file of about 60 MiB (written record by record, so that only
// the load itself needs the memory) and prints how far the peak rose.
bool MeasureLargeLoad() {
    CJumpListAction task;
    task.m_strTitle = std::u16string(200, u't');
    task.m_strDescription = std::u16string(200, u'd');
    task.m_strPath = u"C:\\Program Files\\Contoso\\" + std::u16string(34, u'p') + u".exe";
    task.m_strArguments = std::u16string(40, u'a');
    task.m_strIconPath = std::u16string(20, u'i');
    CArchive record;
    task.Store(record);
    const std::vector<std::uint8_t>& recordBytes = record.GetBuffer();
    const auto nEntries = static_cast<std::int32_t>((60u << 20) / recordBytes.size());
    const std::u16string strPath = GetDataFilePath();
    platform::SystemError error;
    const bool bWritten = platform::ReplaceFileContents(
        strPath, platform::EReplace::replaceExisting,
        [&](CArchiveFile& file) {
            CArchive ar(file, CArchive::store);
            ar << nEntries;
            for (std::int32_t i = 0; i < nEntries; ++i) task.Store(ar);
            return ar.Close();
        },
        error);
    if (!bWritten) {
        std::printf("FAILED: the 60 MiB data file could not be written\n");
        return false;
    }
    const std::uint64_t cbFile = 4 + static_cast<std::uint64_t>(nEntries) * recordBytes.size();
    const std::uint64_t peakBefore = PeakMemory();
    const auto start = Clock::now();
    CTaskList loaded;
    const CDataFileStatus status = CDataFileStore(GetDataFilePath()).Load(loaded);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const std::uint64_t peakAfter = PeakMemory();
    if (!status.Succeeded() || loaded.GetSize() != nEntries) {
        std::printf("FAILED: the 60 MiB data file did not load\n");
        return false;
    }
    std::printf("60 MiB load: %d entries, %.1f MiB, %.0f ms; peak memory rose by %.1f MiB (%.2f times the file)\n",
                nEntries, cbFile / 1048576.0, seconds * 1e3, (peakAfter - peakBefore) / 1048576.0,
                static_cast<double>(peakAfter - peakBefore) / static_cast<double>(cbFile));
    return true;
}

// Records 10,000 moves, near and far, in a 1,000-entry list and prints how far
// the process's peak memory rose; fails above 16 MiB.
bool MeasureUndoMemory() {
    const int kEntries = 1000;
    const int kMoves = 10000;
    const std::uint64_t kLimit = 16u << 20;
    // Two lists a move apart, so that the loop copies no list.
    CTaskList before = MakeRealisticList(kEntries);
    CTaskList after = before;
    CChangeHistory history;
    const std::uint64_t peakBefore = PeakMemory();
    const auto start = Clock::now();
    std::uint32_t nRandom = 12345;
    for (int i = 0; i < kMoves; ++i) {
        nRandom = nRandom * 1103515245u + 12345u;
        const int nFrom = static_cast<int>((nRandom >> 8) % kEntries);
        // Mostly a row up or down, as the keys move it; every fourth one dragged anywhere.
        const int nFar = static_cast<int>((nRandom >> 20) % kEntries);
        const int nTo = i % 4 == 3 ? nFar : (nFrom + ((nRandom & 1) ? 1 : kEntries - 1)) % kEntries;
        for (CTaskList* pList : {&after, &before}) {
            const CJumpListAction moved = pList->GetAt(nFrom);
            pList->RemoveAt(nFrom);
            pList->InsertAt(nTo, moved);
            if (pList == &after) history.Record(before, after);
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const std::uint64_t cbRise = PeakMemory() - peakBefore;
    std::printf("undo history: %d moves at %d entries: peak memory rose by %.1f MiB (limit %.0f MiB); "
                "the history counts %.1f MiB in its steps; %.0f ms\n",
                kMoves, kEntries, cbRise / 1048576.0, kLimit / 1048576.0, history.Bytes() / 1048576.0, seconds * 1e3);
    if (cbRise >= kLimit) {
        std::printf("FAILED: the undo history takes more than %.0f MiB\n", kLimit / 1048576.0);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "undo") == 0) return MeasureUndoMemory() ? 0 : 1;

    // First, while the process's peak is still low.
    if (!GetDataFilePath().empty() && !MeasureLargeLoad()) return 1;

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
    // One store, as the window keeps one: each save first checks what Data.dat holds.
    CDataFileStore store(GetDataFilePath());
    store.Load(loaded);
    const double tFileSave = BestSeconds(kRuns, [&] { saved = store.Save(list); });
    const double tFileLoad = BestSeconds(kRuns, [&] { loadedStatus = store.Load(loaded); });
    const double tFileBoth = BestSeconds(kRuns, [&] {
        store.Save(list);
        store.Load(loaded);
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
