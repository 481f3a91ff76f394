// What a dropped path becomes, without a window: a folder, a program, a
// document, or nothing when it is gone.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "ui/main/DroppedFiles.h"
#include "win/WinText.h"

namespace {

TEST(DroppedFilesTest, EachKindOfPathBecomesItsTask) {
    wchar_t szTemp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH, szTemp), 0u);
    const std::wstring folder = std::wstring(szTemp) + L"zembro drop test";
    CreateDirectoryW(folder.c_str(), nullptr);
    for (const wchar_t* pszName : {L"\\Tool.v2.exe", L"\\notes.txt"}) {
        const HANDLE h = CreateFileW((folder + pszName).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        CloseHandle(h);
    }
    const struct {
        const char* name;
        std::wstring path;
        std::optional<std::u16string> title;  // none: no task
        bool bOwnIcon;                        // its own file is its icon file
    } cases[] = {
        {"folder, trailing backslash", folder + L"\\", u"zembro drop test", false},
        {"program", folder + L"\\Tool.v2.exe", u"Tool.v2", true},
        {"document", folder + L"\\notes.txt", u"notes", false},
        {"gone", folder + L"\\gone.txt", std::nullopt, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<CJumpListAction> task = TaskFromDroppedPath(c.path);
        ASSERT_EQ(task.has_value(), c.title.has_value());
        if (!task) continue;
        EXPECT_EQ(task->m_strTitle, *c.title);
        EXPECT_EQ(task->m_strPath, as_u16(c.path.c_str()));
        EXPECT_EQ(task->m_strIconPath, c.bOwnIcon ? task->m_strPath : u"");
        EXPECT_TRUE(task->m_strArguments.empty());
    }
    DeleteFileW((folder + L"\\Tool.v2.exe").c_str());
    DeleteFileW((folder + L"\\notes.txt").c_str());
    RemoveDirectoryW(folder.c_str());
}

}  // namespace
