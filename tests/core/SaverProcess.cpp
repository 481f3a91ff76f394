// Saves two lists to Data.dat in turn, through the store, until it is killed.
#include <windows.h>

#include "core/DataFile.h"
#include "core/KillDuringSave.h"

int wmain() {
    CTaskList lists[] = {MegabyteList(u'a'), MegabyteList(u'b')};
    HANDLE hReady = CreateEventW(nullptr, TRUE, FALSE, kSaverReadyEvent);
    for (unsigned n = 0;; ++n) {
        if (n == 1) SetEvent(hReady);
        LoadSaveDataFile(lists[n % 2], true);
    }
}
