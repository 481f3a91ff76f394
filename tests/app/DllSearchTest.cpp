// Start-up restricts loading DLLs by name to the system folder.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/DllSearch.h"

namespace {

TEST(DllSearchTest, ADllBesideTheProgramIsNoLongerLoadedByName) {
    HMODULE hPlanted = LoadLibraryW(L"zembro_planted.dll");
    ASSERT_NE(hPlanted, nullptr) << "the DLL beside the test must load before the restriction";
    ASSERT_TRUE(FreeLibrary(hPlanted));
    ASSERT_EQ(GetModuleHandleW(L"zembro_planted.dll"), nullptr);

    EXPECT_TRUE(RestrictDllSearchToSystemFolder());

    struct Case {
        const char* pszWhat;
        const wchar_t* pszName;
        bool bLoads;
    };
    const Case cases[] = {
        {"the planted DLL", L"zembro_planted.dll", false},
        {"a system DLL", L"version.dll", true},
        {"another system DLL", L"shlwapi.dll", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        HMODULE h = LoadLibraryW(c.pszName);
        EXPECT_EQ(h != nullptr, c.bLoads);
        if (h) FreeLibrary(h);
    }

    // The rest of this process searches as usual again.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
}

}  // namespace
