#pragma once
// What every end-to-end test starts from and looks at: the files and registry
// values that Zembro.exe leaves in this prefix, and what the stand-in Jump
// List host received.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ZembroDriver.h"
#include "support/Bytes.h"
#include "support/ProfileValues.h"
#include "support/SampleTasks.h"
#include "support/TempFolder.h"
#include "tools/HostRecord.h"

// %LOCALAPPDATA%\Zembro-by-Brellow\Data.dat, and the copy kept of a damaged one.
std::u16string DataFile();
std::u16string DamagedCopy();
// Writes Data.dat, creating its folder.
void WriteDataFile(const Bytes& bytes);
// Temporary files that saves left in Data.dat's folder.
std::vector<std::u16string> TempFilesLeft();


// Each test starts and ends with no Zembro running, no Data.dat (nor its
// folder), no profile, no Explorer value, no Jump List recorded and no
// failure asked of the host.
class E2ETest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    static void ResetState();
};
