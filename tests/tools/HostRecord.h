#pragma once
// What the stand-in Jump List host recorded in this prefix, and its switches.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/JumpListAction.h"

struct HostEntry {
    std::string kind;  // "task", "separator" or "other"
    std::u16string path, arguments, iconLocation;
    std::optional<std::u16string> title;
    long long iconIndex = 0;
    bool launchable = false;  // the shell could start it (a task's path names an existing file)

    bool operator==(const HostEntry&) const = default;
};
void PrintTo(const HostEntry& entry, std::ostream* os);

struct HostRecord {
    bool appIdSet = true;
    std::vector<std::u16string> categories;
    std::vector<HostEntry> tasks;
};

// What the shell should hold after list is published: descriptions and
// everything of a separator but its kind stay behind, each task's target as
// MakeShellTask publishes it, with its icon (a task it cannot publish is left out), and every
// published task launchable.
std::vector<HostEntry> ExpectedEntries(const CTaskList& list);

// jumplist.json, read and checked for its shape; empty when it is missing or
// malformed (a failure is added in that case).
std::optional<HostRecord> ReadHostRecord();
std::string ReadHostRecordBytes();
bool HostRecordExists();

// The calls the host saw since calls.log was removed, one per line.
std::vector<std::string> ReadHostCalls();

// Removes jumplist.json and calls.log.
void ClearHostFiles();
// Removes calls.log only.
void ClearHostCalls();

// Whether the prefix sends the Jump List classes to the stand-in host
// (tools/register-jumplist-host.sh does that).
bool IsHostRegistered();

// Turns one of "FailBeginList", "FailAddUserTasks", "FailCommitList" on or off.
void SetHostSwitch(const wchar_t* pszName, bool bOn);
// Turns all three off.
void ClearHostSwitches();
