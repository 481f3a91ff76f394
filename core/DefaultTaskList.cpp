#include "core/DefaultTaskList.h"

#include "core/Platform.h"
#include "core/ProductLinks.h"

namespace {

// folder + "\" + leaf. When the system cannot name the folder the bare leaf is
// used, which the shell can still resolve, rather than a path from nowhere.
std::u16string PathIn(platform::SpecialFolder folder, const std::u16string& strLeaf) {
    std::u16string strFolder;
    if (!platform::GetSpecialFolderPath(folder, strFolder)) return strLeaf;
    return strFolder + u"\\" + strLeaf;
}

}  // namespace

void AddDefaultTask(CTaskList& list, const std::u16string& strTitle, const std::u16string& strPath,
                    const std::u16string& strDescription, const std::u16string& strArguments,
                    const std::u16string& strIconPath, std::int32_t nIconIndex) {
    CJumpListAction action;
    action.m_strTitle = strTitle;
    action.m_strDescription = strDescription;
    action.m_strPath = strPath;
    action.m_strArguments = strArguments;
    action.m_strIconPath = strIconPath;
    action.m_nIconIndex = nIconIndex;
    list.Add(action);
}

void AddDefaultSeparator(CTaskList& list) {
    CJumpListAction action;
    action.m_bSeparator = 1;
    list.Add(action);
}

void FillDefaultTaskList(CTaskList& list) {
    using platform::SpecialFolder;
    list.RemoveAll();

    const std::u16string strIE = PathIn(SpecialFolder::ProgramFiles, u"Internet Explorer\\iexplore.exe");
    AddDefaultTask(list, u"Internet Explorer", strIE, u"Launch Internet Explorer", u"", strIE, 0);
    AddDefaultTask(list, u"Visit Brellow", kMakerHomePage, u"Visit Brellow", u"", u"", 0);
    AddDefaultSeparator(list);

    const std::u16string strNotepad = PathIn(SpecialFolder::System, u"notepad.exe");
    const std::u16string strCalc = PathIn(SpecialFolder::System, u"calc.exe");
    AddDefaultTask(list, u"Open Notepad", strNotepad, u"Launch Notepad", u"", strNotepad, 0);
    AddDefaultTask(list, u"Open Calculator", strCalc, u"Launch Calculator", u"", strCalc, 0);

    const std::u16string strExplorer = PathIn(SpecialFolder::Windows, u"explorer.exe");
    AddDefaultTask(list, u"Windows Explorer", strExplorer, u"Launch Windows Explorer", u"", strExplorer, 0);
    AddDefaultSeparator(list);

    AddDefaultTask(list, u"Task Manager", u"taskmgr", u"Launch Task Manager", u"", u"", 0);
    AddDefaultTask(list, u"Command Prompt", u"cmd", u"Open Command Prompt", u"", u"", 0);
}
