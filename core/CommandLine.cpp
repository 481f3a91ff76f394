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

CCommandLineResult Ended(int nExit, CDataFileStatus status = {}) { return {nExit, std::move(status)}; }

// The stored list as a start would show it: the defaults when there is none.
// Reads only: a damaged Data.dat is not copied, since nothing is saved over it.
bool LoadStoredList(CDataFileStore& store, CTaskList& list, CDataFileStatus& status) {
    status = store.Load(list, CDataFileStore::EDamaged::leaveAlone);
    if (status.m_eResult != CDataFileStatus::ok && status.m_eResult != CDataFileStatus::missing) return false;
    if (list.GetSize() == 0) FillDefaultTaskList(list);
    return true;
}

CCommandLineResult Publish(CDataFileStore& store, IJumpListEnvironment& env) {
    CTaskList list;
    CDataFileStatus load;
    if (!LoadStoredList(store, list, load)) return Ended(kExitListUnreadable, load);
    const CPublishResult result = PublishJumpList(list, env, store);
    return Ended(ExitCodeOf(result), result.SaveFailed() ? *result.m_save : CDataFileStatus{});
}

CCommandLineResult Export(CDataFileStore& store, const std::u16string& strFile) {
    CTaskList list;
    CDataFileStatus load;
    if (!LoadStoredList(store, list, load)) return Ended(kExitListUnreadable, load);
    CDataFileStatus saved = SaveTaskListFile(strFile, list);
    return saved.Succeeded() ? Ended(kExitDone) : Ended(kExitNotWritten, saved);
}

// Saved first and published after, so that the exit code tells the truth:
// 4 and nothing changed, or 1 with Data.dat holding the import.
CCommandLineResult Import(CDataFileStore& store, IJumpListEnvironment& env, const std::u16string& strFile) {
    CTaskList imported;
    CDataFileStatus read = LoadTaskListFile(strFile, imported);
    if (!read.Succeeded()) return Ended(kExitListUnreadable, read);

    CTaskList stored;
    CDataFileStatus load = store.Load(stored);
    // A list that was not read whole is kept aside before it is replaced, as
    // the window keeps it; one that cannot be read at all is not replaced.
    if (load.m_eResult == CDataFileStatus::tooLarge && !store.SetAsideUnreadFile(load))
        return Ended(kExitNotWritten, load);
    if (load.m_eResult == CDataFileStatus::unreadable) return Ended(kExitNotWritten, load);

    CDataFileStatus saved = store.Save(imported);
    if (saved.m_eResult == CDataFileStatus::overLimits) return Ended(kExitListUnreadable, saved);
    if (!saved.Succeeded()) return Ended(kExitNotWritten, saved);
    const CPublishResult published = PublishToShell(imported, env);
    return published.m_bInitialized && published.m_bCommitted ? Ended(kExitDone) : Ended(kExitShellRefused);
}

}  // namespace

int ExitCodeOf(const CPublishResult& result) {
    if (result.SaveFailed())
        return result.m_save->m_eResult == CDataFileStatus::overLimits ? kExitListUnreadable : kExitNotWritten;
    return result.m_bInitialized && result.m_bCommitted ? kExitDone : kExitShellRefused;
}

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
    } else if (args.size() == 1 && (IsSwitch(args[0], u"?") || IsSwitch(args[0], u"help"))) {
        commandLine.m_eCommand = CCommandLine::help;
    } else {
        commandLine.m_eCommand = CCommandLine::bad;
    }
    return commandLine;
}

std::u16string EncodeWindowCommand(const CCommandLine& commandLine) {
    switch (commandLine.m_eCommand) {
    case CCommandLine::publish: return u"P";
    case CCommandLine::importList: return u"I" + commandLine.m_strFile;
    default: return u"";
    }
}

CCommandLine DecodeWindowCommand(const std::u16string& strData) {
    CCommandLine commandLine;
    commandLine.m_eCommand = CCommandLine::bad;
    if (strData == u"P") {
        commandLine.m_eCommand = CCommandLine::publish;
    } else if (strData.size() > 1 && strData[0] == u'I' && strData.find(u'\0') == std::u16string::npos) {
        commandLine.m_eCommand = CCommandLine::importList;
        commandLine.m_strFile = strData.substr(1);
    }
    return commandLine;
}

CCommandLineResult RunCommandLine(const CCommandLine& commandLine, IJumpListEnvironment& env, CDataFileStore& store) {
    switch (commandLine.m_eCommand) {
    case CCommandLine::publish: return Publish(store, env);
    case CCommandLine::exportList: return Export(store, commandLine.m_strFile);
    case CCommandLine::importList: return Import(store, env, commandLine.m_strFile);
    case CCommandLine::window:
    case CCommandLine::help:
    case CCommandLine::bad: break;
    }
    return Ended(kExitBadCommandLine);
}
