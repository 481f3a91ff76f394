// Saves two lists to Data.dat in turn, as the store does, until it is killed.
#include <windows.h>

#include "core/DataFile.h"
#include "core/KillDuringSave.h"

int wmain() {
    CTaskList lists[] = {MegabyteList(u'a'), MegabyteList(u'b')};
    HANDLE hReady = CreateEventW(nullptr, TRUE, FALSE, kSaverReadyEvent);
    const std::u16string strPath = GetDataFilePath();
    for (unsigned n = 0;; ++n) {
        if (n == 1) SetEvent(hReady);
        SaveTaskListFile(strPath, lists[n % 2]);
    }
}
