#include "core/CommandLine.h"

#include "core/DataFile.h"
#include "core/DefaultTaskList.h"

namespace {

bool IsSwitch(const std::u16string& arg, const char16_t* pszName) {
    if (arg.size() < 2 || (arg[0] != u'/' && arg[0] != u'-')) return false;
    size_t i = 1;
    for (; pszName[i - 1]; ++i) {
        if (i >= arg.size()) return false;
        char16_t ch = arg[i];
        if (ch >= u'A' && ch <= u'Z') ch = static_cast<char16_t>(ch - u'A' + u'a');
        if (ch != pszName[i - 1]) return false;
    }
    return i == arg.size();
}

// The stored list as a start would show it: the defaults when there is none.
// False when Data.dat is there but cannot be taken whole.
bool LoadStoredList(CTaskList& list) {
    const CDataFileStatus load = LoadSaveDataFile(list, false);
    if (load.m_eResult != CDataFileStatus::ok && load.m_eResult != CDataFileStatus::missing) return false;
    if (list.GetSize() == 0) FillDefaultTaskList(list);
    return true;
}

int Publish(CTaskList& list, IJumpListEnvironment& env) {
    const CPublishResult result = PublishJumpList(list, env);
    if (!result.m_bInitialized || !result.m_bCommitted) return kExitShellRefused;
    return result.SaveFailed() ? kExitNotWritten : kExitDone;
}

}  // namespace

CCommandLine ParseCommandLine(const std::vector<std::u16string>& args) {
    CCommandLine commandLine;
    if (args.empty()) return commandLine;
    if (args.size() == 1 && IsSwitch(args[0], u"publish")) {
        commandLine.m_eCommand = CCommandLine::publish;
    } else if (args.size() == 2 && !args[1].empty() && IsSwitch(args[0], u"export")) {
        commandLine.m_eCommand = CCommandLine::exportList;
        commandLine.m_strFile = args[1];
    } else if (args.size() == 2 && !args[1].empty() && IsSwitch(args[0], u"import")) {
        commandLine.m_eCommand = CCommandLine::importList;
        commandLine.m_strFile = args[1];
    } else {
        commandLine.m_eCommand = CCommandLine::bad;
    }
    return commandLine;
}

int RunCommandLine(const CCommandLine& commandLine, IJumpListEnvironment& env) {
    CTaskList list;
    switch (commandLine.m_eCommand) {
    case CCommandLine::publish:
        if (!LoadStoredList(list)) return kExitListUnreadable;
        return Publish(list, env);
    case CCommandLine::exportList:
        if (!LoadStoredList(list)) return kExitListUnreadable;
        return SaveTaskListFile(commandLine.m_strFile, list).Succeeded() ? kExitDone : kExitNotWritten;
    case CCommandLine::importList:
        if (!LoadTaskListFile(commandLine.m_strFile, list).Succeeded()) return kExitListUnreadable;
        return Publish(list, env);
    case CCommandLine::window:
    case CCommandLine::bad: break;
    }
    return kExitBadCommandLine;
}
