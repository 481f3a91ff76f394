#include "HostRecord.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "framework/LaunchTarget.h"
#include "win/WinText.h"
#include "support/FileText.h"
#include "support/Json.h"
#include "support/Narrow.h"

namespace {

std::wstring HostFolder() {
    wchar_t szFolder[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, szFolder);
    return std::wstring(szFolder) + L"\\ZembroJumpListHost";
}

bool ReadEntry(const JsonValue& value, HostEntry& entry) {
    const JsonValue* kind = value.Find("kind");
    if (!kind || kind->type != JsonValue::Type::String) return false;
    entry.kind = Narrow(kind->string);
    if (entry.kind != "task") return value.object.size() == 1;
    const JsonValue* path = value.Find("path");
    const JsonValue* arguments = value.Find("arguments");
    const JsonValue* title = value.Find("title");
    const JsonValue* iconLocation = value.Find("iconLocation");
    const JsonValue* iconIndex = value.Find("iconIndex");
    const JsonValue* launchable = value.Find("launchable");
    for (const JsonValue* text : {path, arguments, iconLocation})
        if (!text || text->type != JsonValue::Type::String) return false;
    if (!title || (title->type != JsonValue::Type::String && title->type != JsonValue::Type::Null)) return false;
    if (!iconIndex || iconIndex->type != JsonValue::Type::Integer) return false;
    if (!launchable || launchable->type != JsonValue::Type::Bool) return false;
    entry.path = path->string;
    entry.arguments = arguments->string;
    entry.iconLocation = iconLocation->string;
    if (title->type == JsonValue::Type::String) entry.title = title->string;
    entry.iconIndex = iconIndex->integer;
    entry.launchable = launchable->boolean;
    return true;
}

}  // namespace

void PrintTo(const HostEntry& entry, std::ostream* os) {
    *os << "{" << entry.kind;
    if (entry.kind == "task") {
        *os << " path=\"" << Narrow(entry.path) << "\" arguments=\"" << Narrow(entry.arguments) << "\" title=";
        if (entry.title) *os << "\"" << Narrow(*entry.title) << "\"";
        else *os << "null";
        *os << " icon=\"" << Narrow(entry.iconLocation) << "\"," << entry.iconIndex
            << (entry.launchable ? " launchable" : " NOT launchable");
    }
    *os << "}";
}

std::vector<HostEntry> ExpectedEntries(const CTaskList& list) {
    std::vector<HostEntry> entries;
    for (int i = 0; i < list.GetSize(); ++i) {
        const CJumpListAction& action = list.GetAt(i);
        HostEntry entry;
        if (action.m_bSeparator) {
            entry.kind = "separator";
        } else {
            const std::optional<CShellTask> task =
                MakeShellTask(as_wcstr(action.m_strPath), as_wcstr(action.m_strArguments), as_wcstr(action.m_strTitle),
                              as_wcstr(action.m_strIconPath), action.m_nIconIndex);
            if (!task) continue;
            entry.kind = "task";
            entry.path = as_u16(task->m_strPath);
            entry.arguments = as_u16(task->m_strArguments);
            entry.title = as_u16(task->m_strTitle);
            entry.iconLocation = as_u16(task->m_strIconPath);
            entry.iconIndex = task->m_nIconIndex;
            entry.launchable = true;
        }
        entries.push_back(entry);
    }
    return entries;
}

std::string ReadHostRecordBytes() { return ReadFileText(HostFolder() + L"\\jumplist.json"); }

bool HostRecordExists() { return GetFileAttributesW((HostFolder() + L"\\jumplist.json").c_str()) != INVALID_FILE_ATTRIBUTES; }

std::optional<HostRecord> ReadHostRecord() {
    const std::string text = ReadHostRecordBytes();
    const std::optional<JsonValue> json = ParseJson(text);
    if (!json) {
        ADD_FAILURE() << "jumplist.json is missing or malformed:\n" << text;
        return std::nullopt;
    }
    const JsonValue* appId = json->Find("appId");
    const JsonValue* categories = json->Find("categories");
    const JsonValue* tasks = json->Find("tasks");
    if (!appId || !categories || categories->type != JsonValue::Type::Array || !tasks ||
        tasks->type != JsonValue::Type::Array) {
        ADD_FAILURE() << "jumplist.json lacks appId, categories or tasks:\n" << text;
        return std::nullopt;
    }
    HostRecord record;
    record.appIdSet = appId->type != JsonValue::Type::Null;
    for (const JsonValue& category : categories->array) record.categories.push_back(category.string);
    for (const JsonValue& task : tasks->array) {
        HostEntry entry;
        if (!ReadEntry(task, entry)) {
            ADD_FAILURE() << "jumplist.json holds a malformed entry:\n" << text;
            return std::nullopt;
        }
        record.tasks.push_back(entry);
    }
    return record;
}

std::vector<std::string> ReadHostCalls() {
    std::vector<std::string> calls;
    const std::string text = ReadFileText(HostFolder() + L"\\calls.log");
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        calls.push_back(text.substr(start, end - start));
    return calls;
}

void ClearHostFiles() {
    for (const wchar_t* name : {L"\\jumplist.json", L"\\calls.log"}) DeleteFileW((HostFolder() + name).c_str());
}

bool IsHostRegistered() {
    // CLSID_DestinationList, CLSID_EnumerableObjectCollection, CLSID_ShellLink
    for (const wchar_t* pszClsid : {L"{77F10CF0-3DB5-4966-B520-B7C54FD35ED6}", L"{2D3468C1-36A7-43B6-AC24-D3F02FD9607A}",
                                    L"{00021401-0000-0000-C000-000000000046}"}) {
        const std::wstring key = std::wstring(L"Software\\Classes\\CLSID\\") + pszClsid + L"\\InprocServer32";
        wchar_t szServer[MAX_PATH] = {};
        DWORD cb = sizeof(szServer);
        RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, szServer, &cb);
        if (std::wstring(szServer).find(L"ZembroJumpListHost") == std::wstring::npos) return false;
    }
    return true;
}

void ClearHostCalls() { DeleteFileW((HostFolder() + L"\\calls.log").c_str()); }

void SetHostSwitch(const wchar_t* pszName, bool bOn) {
    HKEY hKey = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\ZembroJumpListHost", 0, nullptr, 0, KEY_WRITE, nullptr,
                              &hKey, nullptr),
              ERROR_SUCCESS);
    const DWORD dwValue = bOn ? 1 : 0;
    RegSetValueExW(hKey, pszName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue), sizeof(dwValue));
    RegCloseKey(hKey);
}

void ClearHostSwitches() {
    for (const wchar_t* pszName : {L"FailBeginList", L"FailAddUserTasks", L"FailCommitList"}) SetHostSwitch(pszName, false);
}
