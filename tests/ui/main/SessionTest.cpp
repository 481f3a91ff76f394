// A user who never stops: a seeded random session of user and world steps
// against the real main window, each followed by one check of the rows,
// Data.dat, the Jump List and the messages against a plain model of the list.
// ZEMBRO_SESSION_SEED and ZEMBRO_SESSION_STEPS repeat a run exactly.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <random>
#include <sstream>

#include "MainWindowDriver.h"
#include "core/DataFile.h"
#include "win/WinText.h"
#include "res/resource.h"
#include "support/SampleTasks.h"
#include "tools/HostRecord.h"

namespace {

constexpr unsigned kCiSeed = 23;
constexpr int kCiSteps = 350;  // about a minute under Wine
constexpr int kFileNameEdit = 1152;  // the file dialog's "File name:" (Wine's)
enum { kReplaceList = 1001, kAddAfterLast = 1002 };
// The answerer's watchdog ends a window that lives 30 s: the user reopens it sooner.
constexpr ULONGLONG kWindowLifeMs = 15000;
constexpr DWORD kMaxGdiObjects = 3000, kMaxWindows = 200;

const MessageSeen kChangedOutside{
    u"Data.dat was changed by another program. The list now shows what it holds; your change was not made.", kStop};

CTaskList Joined(CTaskList a, const CTaskList& b) {
    for (int i = 0; i < b.GetSize(); ++i) a.Add(b.GetAt(i));
    return a;
}

// Wine answers 0 to GetGuiResources: its GDI objects are counted in the
// process's handle table (as bench/BenchProgram.cpp does), its USER objects as windows.
DWORD GdiObjects() {
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return n;
    const auto table = *reinterpret_cast<const BYTE* const*>(reinterpret_cast<const BYTE*>(NtCurrentTeb()->ProcessEnvironmentBlock) + 0xF8);
    DWORD n = 0;
    for (SIZE_T i = 0; table && i < 0x10000; ++i) n += table[i * 24 + 14] != 0;
    return n;
}
DWORD UserObjects() {
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) return n;
    DWORD n = 0;
    EnumThreadWindows(GetCurrentThreadId(), [](HWND h, LPARAM p) {
        ++*reinterpret_cast<DWORD*>(p);
        EnumChildWindows(h, [](HWND, LPARAM q) { return ++*reinterpret_cast<DWORD*>(q), TRUE; }, p);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&n));
    return n;
}

// The rows list should show, as far as ReadRows reads a text (1023 characters).
std::vector<Row> RowsOf(const CTaskList& list) {
    std::vector<Row> rows = ExpectedRows(list);
    for (Row& row : rows)
        for (std::u16string* text : {&row.number, &row.title, &row.description, &row.path, &row.arguments})
            text->resize(std::min<size_t>(text->size(), 1023));
    return rows;
}

unsigned EnvNumber(const char* pszName, unsigned nDefault) {
    const char* psz = getenv(pszName);
    return psz && *psz ? static_cast<unsigned>(strtoul(psz, nullptr, 10)) : nDefault;
}

class SessionTest;
SessionTest* g_session = nullptr;

// What the world does to the next change the user makes.
enum class EWorld { none, failBegin, failCommit, readOnly, held, rewritten, deleted };

class SessionTest : public MainWindowTest {
public:
    void Tick();

protected:
    using StepFn = void (SessionTest::*)();
    struct CStepKind {
        const char* m_pszName;
        int m_nWeight;
        StepFn m_pfn;
        bool m_bUser;
    };
    static const CStepKind kSteps[21];

    unsigned R(unsigned n) { return static_cast<unsigned>(m_rng() % n); }
    std::u16string Folder() const { return FolderOf(DataFilePath()); }
    std::u16string ImportFile() const { return Folder() + u"\\Import.dat"; }
    std::u16string ExportFile() const { return Folder() + u"\\Export.dat"; }

    std::u16string RandomText() {
        switch (R(8)) {
        case 0: return u"";
        case 1: return u"   ";
        case 2: return u"\"quoted\" and 'single'";
        case 3: return u"\U0001F600 \U00010348 beyond the BMP";
        case 4: return std::u16string(300 + R(2000), static_cast<char16_t>(u'a' + R(26)));
        default: return u"word " + as_u16(std::to_wstring(R(1000)));
        }
    }
    CJumpListAction RandomTask() {
        static const char16_t* const kPaths[] = {u"cmd.exe", u"notepad.exe", u"cmd", u"C:\\windows\\system32\\cmd.exe",
                                                 u"C:\\windows\\notepad.exe"};
        // The editor asks for a title that is more than blanks: that is its own test's.
        return MakeTask(u" " + RandomText() + u"x ", RandomText(), kPaths[R(5)], RandomText(),
                        R(2) ? u"" : u"shell32.dll", static_cast<std::int32_t>(R(4)));
    }
    CTaskList RandomList(unsigned nMax) {
        CTaskList list;
        for (unsigned i = R(nMax + 1); i > 0; --i) list.Add(R(4) ? (R(2) ? RandomTask() : kPad) : kSep);
        return list;
    }
    int RandomRow(bool bNone = true) {
        return bNone && R(10) == 0 ? -1 : static_cast<int>(R(static_cast<unsigned>(m_list.GetSize())));
    }
    void Select(int nRow) {
        if (nRow >= 0) SendMessageW(TaskList(m_h), LVM_ENSUREVISIBLE, nRow, FALSE);
        SelectRow(m_h, nRow);
    }
    void Require(const MessageSeen& box) { m_required.push_back(box); }
    bool Saw(const MessageSeen& box) const {
        return std::any_of(m_seen.begin(), m_seen.end(),
                           [&](const CRecordedMessageBox& b) { return b.m_strText == box.text; });
    }
    MessageSeen SaveFailed() const { return {u"The Jump List could not be saved to \"" + DataFilePath() + u"\".", kStop}; }

    // The model's side of a change the window tries to commit: after is the
    // list it tries; nStep -1 undo, +1 redo, 0 a new change.
    void Attempt(const CTaskList& after, int nStep = 0) {
        const CTaskList shown = after.GetSize() ? after : Defaults();
        const EWorld eWorld = m_eWorld;
        m_eWorld = EWorld::none;
        if (m_bUnseenDelete && Saw(kChangedOutside)) return Refused(kChangedOutside);
        m_bUnseenDelete = false;
        switch (eWorld) {
        case EWorld::failBegin: return Require(kInitializeFailed);
        case EWorld::readOnly: m_host = after; return Require(SaveFailed());
        case EWorld::held:
            Require(SaveFailed());
            return Require({u"The Jump List could not be read from \"" + DataFilePath() + u"\".", kRetryCancel});
        case EWorld::rewritten:
            m_list = m_written;
            m_file = EFile::whole;
            if (!m_list.GetSize()) m_list = m_host = Defaults();
            return Refused(kChangedOutside);
        case EWorld::deleted: m_file = EFile::missing; return Refused(kChangedOutside);
        default: break;
        }
        if (nStep < 0) m_redo.push_back(m_list), m_undo.pop_back();
        if (nStep > 0) m_undo.push_back(m_list), m_redo.pop_back();
        if (nStep == 0 && !(shown == m_list)) m_undo.push_back(m_list), m_redo.clear();
        m_list = shown;
        m_file = EFile::whole;
        if (eWorld != EWorld::failCommit) m_host = shown;
        if (eWorld == EWorld::failCommit) Require(kCommitFailed);
        // An empty list is published, then the defaults that replace it.
        if (eWorld == EWorld::failCommit && !after.GetSize()) Require(kCommitFailed);
    }
    void Refused(const MessageSeen& box) {
        Require(box);
        m_undo.clear(), m_redo.clear();
        m_bUnseenDelete = false;
    }
    // What an import or export sees first: the window reads Data.dat if it changed.
    void FollowNow() {
        if (m_eWorld == EWorld::rewritten) FollowRewrite();
        if (m_eWorld == EWorld::deleted || m_bUnseenDelete) m_undo.clear(), m_redo.clear();
        if (m_eWorld == EWorld::deleted) m_file = EFile::missing;
        if (m_eWorld == EWorld::rewritten || m_eWorld == EWorld::deleted) m_eWorld = EWorld::none;
        m_bUnseenDelete = false;
    }
    void FollowRewrite() {
        m_list = m_written;
        m_file = EFile::whole;
        if (!m_list.GetSize()) m_list = m_host = Defaults();
        m_undo.clear(), m_redo.clear();
        m_bUnseenDelete = false;
    }
    void WaitForRows() {
        m_wait = [this] { return ReadRows(m_h) == RowsOf(m_list); };
    }

    // The user's steps.
    void Editor(const CJumpListAction& task, bool bOk) {
        m_nested = [=](HWND hEditor) {
            TypeTask(hEditor, task);
            SendMessageW(hEditor, WM_COMMAND, bOk ? IDOK : IDCANCEL, 0);
        };
    }
    void AddNew() {
        const CJumpListAction task = RandomTask();
        const bool bOk = R(8) != 0;
        Editor(task, bOk);
        const unsigned nHow = R(3);
        nHow == 0 ? (void)Click(m_h, IDC_ADD_NEW) : nHow == 1 ? PressListKey(m_h, VK_INSERT) : (void)Choose(m_h, IDM_ADD_NEW);
        if (bOk) Attempt(Joined(m_list, MakeList({task})));
    }
    void Edit() {
        const int nRow = RandomRow();
        Select(nRow);
        const CJumpListAction task = RandomTask();
        const bool bOk = R(8) != 0;
        Editor(task, bOk);
        const unsigned nHow = R(4);
        if (nHow == 0 && nRow >= 0) DoubleClickRow(m_h, nRow);
        else if (nHow == 1) PressListKey(m_h, VK_F2);
        else if (nHow == 2) Choose(m_h, IDM_EDIT_SELECTED);
        else Click(m_h, IDC_EDIT);
        if (nRow < 0) return Require(kSelectToEdit);
        if (m_list.GetAt(nRow).m_bSeparator) return Require(kSeparatorNotEditable);
        if (!bOk) return;
        CTaskList after = m_list;
        after.SetAt(nRow, task);
        Attempt(after);
    }
    void Delete() {
        const int nRow = RandomRow();
        Select(nRow);
        const unsigned nHow = R(3);
        nHow == 0 ? (void)Click(m_h, IDC_DELETE) : nHow == 1 ? PressListKey(m_h, VK_DELETE) : (void)Choose(m_h, IDM_DELETE_SELECTED);
        if (nRow < 0) return Require(kSelectToDelete);
        CTaskList after = m_list;
        after.RemoveAt(nRow);
        Attempt(after);
    }
    void Move() {
        const int nRow = RandomRow(), nStep = R(2) ? 1 : -1;
        Select(nRow);
        if (R(2)) Click(m_h, nStep < 0 ? IDC_MOVE_UP : IDC_MOVE_DOWN);
        else PressListKey(m_h, nStep < 0 ? VK_UP : VK_DOWN, true);
        if (nRow < 0) return Require(kSelectToMove);
        if (nRow + nStep < 0 || nRow + nStep >= m_list.GetSize()) return;
        Attempt(Moved(nRow, nRow + nStep));
    }
    CTaskList Moved(int nFrom, int nTo) const {
        CTaskList after = m_list;
        const CJumpListAction a = after.GetAt(nFrom);
        after.RemoveAt(nFrom);
        after.InsertAt(nTo, a);
        return after;
    }
    void Drag() {
        const int n = m_list.GetSize();
        if (n < 2) return;
        const int nFrom = RandomRow(false), nTo = RandomRow(false);
        const HWND hList = TaskList(m_h);
        SendMessageW(hList, LVM_ENSUREVISIBLE, nTo, FALSE);
        // Not where the drag scrolls the list: the top row below others, the last one above others.
        const int nTop = static_cast<int>(SendMessageW(hList, LVM_GETTOPINDEX, 0, 0));
        const int nPage = static_cast<int>(SendMessageW(hList, LVM_GETCOUNTPERPAGE, 0, 0));
        if ((nTo == nTop && nTop > 0) || (nTo >= nTop + nPage - 1 && nTo < n - 1)) return;
        DragRow(m_h, nFrom, RowPoint(m_h, nTo), RowPoint(m_h, nTo));
        if (nFrom != nTo) Attempt(Moved(nFrom, nTo));
    }
    void AddSeparator() {
        const int nRow = RandomRow();
        Select(nRow);
        R(2) ? (void)Click(m_h, IDC_ADD_SEPARATOR) : (void)Choose(m_h, IDM_ADD_SEPARATOR);
        CTaskList after = m_list;
        if (nRow < 0) after.Add(kSep);
        else after.InsertAt(nRow, kSep);
        Attempt(after);
    }
    void Reset() {
        static const int kAnswers[] = {IDYES, IDYES, IDNO, IDCANCEL};
        m_nResetAnswer = kAnswers[R(4)];
        Click(m_h, IDC_RESET);
        Require(kResetQuestion);
        if (m_nResetAnswer == IDYES) Attempt(Defaults());
    }
    void UndoRedo() {
        const bool bUndo = R(3) != 0;
        if (R(2)) PressListKey(m_h, bUndo ? 'Z' : 'Y', true);
        else Choose(m_h, bUndo ? IDM_UNDO : IDM_REDO);
        const std::vector<CTaskList>& steps = bUndo ? m_undo : m_redo;
        if (!steps.empty()) return Attempt(steps.back(), bUndo ? -1 : 1);
        // The window may still hold steps from before a delete it has not seen.
        if (m_bUnseenDelete && Saw(kChangedOutside)) Refused(kChangedOutside);
    }
    void DropFilesStep() {
        const std::u16string doc = Folder() + u"\\Read me.txt", exe = Folder() + u"\\tool.EXE";
        const CJumpListAction aDoc = MakeTask(u"Read me", u"", doc), aExe = MakeTask(u"tool", u"", exe, u"", exe);
        const unsigned nWhich = R(4);
        if (nWhich < 2) {
            const bool bOk = R(4) != 0;
            m_nested = [=](HWND hEditor) { SendMessageW(hEditor, WM_COMMAND, bOk ? IDOK : IDCANCEL, 0); };
            DropFiles(m_h, {nWhich ? exe : doc});
            if (bOk) Attempt(Joined(m_list, MakeList({nWhich ? aExe : aDoc})));
            return;
        }
        DropFiles(m_h, {exe, doc});
        Attempt(Joined(m_list, MakeList({aExe, aDoc})));
    }
    void AnswerFileDialog(const std::u16string& strPath, int nChoice = IDCANCEL) {
        m_nested = [=](HWND hDlg) {
            if (GetDlgItem(hDlg, kFileNameEdit)) {
                SetDlgItemTextW(hDlg, kFileNameEdit, as_wcstr(strPath));
                SendMessageW(GetDlgItem(hDlg, IDOK), BM_CLICK, 0, 0);
            } else {
                SendMessageW(hDlg, TDM_CLICK_BUTTON, nChoice, 0);
            }
        };
    }
    void Import() {
        FollowNow();
        const bool bDamaged = R(6) == 0;
        const CTaskList imported = RandomList(4);
        Bytes bytes = Store(imported);
        if (bDamaged) bytes.clear(), AppendInt(bytes, 2), AppendRecord(bytes, kPad);
        WriteBytes(ImportFile(), bytes);
        const int nChoice = m_list.GetSize() > 30 || R(3) == 0 ? kReplaceList : R(4) ? kAddAfterLast : IDCANCEL;
        AnswerFileDialog(ImportFile(), nChoice);
        R(2) ? PressListKey(m_h, 'I', true) : (void)Choose(m_h, IDM_IMPORT_LIST);
        RemoveFile(ImportFile());
        if (bDamaged)
            return Require({u"The list could not be imported from \"" + ImportFile() +
                                u"\": the file is damaged (1 of 2 entries could be read).\n\nThe list has not been changed.",
                            kWarning});
        if (nChoice == kReplaceList) Attempt(imported);
        if (nChoice == kAddAfterLast) Attempt(Joined(m_list, imported));
    }
    void Export() {
        FollowNow();
        AnswerFileDialog(ExportFile());
        R(2) ? PressListKey(m_h, 'E', true) : (void)Choose(m_h, IDM_EXPORT_LIST);
        if (ReadBytes(ExportFile()) != Store(m_list)) m_problems << "the export does not hold the list\n";
        RemoveFile(ExportFile());
    }
    void Settings() {
        const int nEnd = R(2) ? IDOK : IDCANCEL;
        m_nested = [=](HWND hDlg) { SendMessageW(hDlg, WM_COMMAND, nEnd, 0); };
        Choose(m_h, IDM_SETTINGS);
    }

    // The world's steps. One another program sees and the window follows by itself.
    void RewriteSeen() {
        m_written = RandomList(4);
        if (ReadBytes(DataFilePath()) == Store(m_written)) return;
        WriteBytes(DataFilePath(), Store(m_written));
        FollowRewrite();
        WaitForRows();
    }
    void DeleteUnseen() {
        if (m_file == EFile::missing) return;
        RemoveFile(DataFilePath());
        m_file = EFile::missing;
        m_bUnseenDelete = true;
        // Whether or not the window has looked yet, no undo step survives the next change.
        m_undo.clear(), m_redo.clear();
    }
    void Damage() {
        CTaskList list = RandomList(4);
        if (!list.GetSize()) list.Add(kCmd);
        Bytes bytes;
        CTaskList read;
        std::u16string strWhat;
        const std::u16string n = as_u16(std::to_wstring(list.GetSize()));
        if (R(2)) {  // the last record cut short
            bytes = Store(list);
            bytes.resize(bytes.size() - 6);
            for (int i = 0; i + 1 < list.GetSize(); ++i) read.Add(list.GetAt(i));
            strWhat = as_u16(std::to_wstring(read.GetSize())) + u" of " + n + u" entries could be read.";
        } else {  // bytes after the last record
            bytes = Store(list);
            bytes.push_back(0x55);
            read = list;
            strWhat = u"bytes follow its " + n + u" entries, which could be read.";
        }
        if (ReadBytes(DataFilePath()) == bytes) return;
        if (FileExists(GetDamagedCopyPath(DataFilePath()))) RemoveFile(GetDamagedCopyPath(DataFilePath()));
        WriteBytes(DataFilePath(), bytes);
        m_written = read;
        FollowRewrite();
        if (read.GetSize()) m_file = EFile::damaged, m_damaged = bytes;
        m_damagedBox = {u"Data.dat is damaged: " + strWhat + u" A copy of the damaged file was kept as " +
                            GetDamagedCopyPath(DataFilePath()) + u".",
                        kWarning};
        Require(m_damagedBox);
        m_wait = [this] { return Saw(m_damagedBox) && ReadRows(m_h) == RowsOf(m_list); };
    }
    // The world acts, then the user changes something at once.
    void ThenAChange(EWorld eWorld) {
        m_eWorld = eWorld;
        const CStepKind* pUser = nullptr;
        while (!pUser || !pUser->m_bUser) pUser = &kSteps[R(static_cast<unsigned>(std::size(kSteps)))];
        m_strStep += std::string(", then ") + pUser->m_pszName;
        (this->*pUser->m_pfn)();
        if (m_eWorld == EWorld::rewritten) FollowRewrite(), WaitForRows();
        if (m_eWorld == EWorld::deleted) m_bUnseenDelete = true, m_undo.clear(), m_redo.clear();
        m_eWorld = EWorld::none;
    }
    void RewriteThenChange() {
        m_written = RandomList(4);
        if (ReadBytes(DataFilePath()) == Store(m_written)) m_written.Add(kCmd);
        WriteBytes(DataFilePath(), Store(m_written));
        m_bUnseenDelete = false;  // the window sees this write whatever it saw before
        ThenAChange(EWorld::rewritten);
    }
    void DeleteThenChange() {
        if (m_file == EFile::missing) return;
        RemoveFile(DataFilePath());
        m_file = EFile::missing;
        ThenAChange(EWorld::deleted);
    }
    void HoldDuringChange() {
        if (m_file == EFile::missing) return;
        m_hold = std::make_unique<FileLock>(DataFilePath());
        ThenAChange(EWorld::held);
        m_hold.reset();
    }
    void ReadOnlyDuringChange() {
        if (m_file == EFile::missing) return;
        SetReadOnly(DataFilePath(), true);
        ThenAChange(EWorld::readOnly);
        SetReadOnly(DataFilePath(), false);
    }
    void ShellRefusesBegin() {
        SetHostSwitch(L"FailBeginList", true);
        ThenAChange(EWorld::failBegin);
        SetHostSwitch(L"FailBeginList", false);
    }
    void ShellRefusesCommit() {
        SetHostSwitch(L"FailCommitList", true);
        ThenAChange(EWorld::failCommit);
        SetHostSwitch(L"FailCommitList", false);
    }

    // After every step: the invariants.
    void Check() {
        const std::vector<Row> rows = ReadRows(m_h);
        if (rows != RowsOf(m_list)) {
            m_problems << "the rows do not show the model's list:";
            for (const Row& row : rows) m_problems << " [" << Narrow(row.title.substr(0, 20)) << "]";
            m_problems << "; the model:";
            for (const Row& row : RowsOf(m_list)) m_problems << " [" << Narrow(row.title.substr(0, 20)) << "]";
            m_problems << "\n";
        }
        const Bytes bytes = ReadBytes(DataFilePath());
        if (m_file == EFile::whole && (!FileExists(DataFilePath()) || bytes != Store(m_list)))
            m_problems << "Data.dat does not hold the model's list\n";
        if (m_file == EFile::missing && FileExists(DataFilePath())) m_problems << "Data.dat is back\n";
        if (m_file == EFile::damaged && bytes != m_damaged) m_problems << "the damaged Data.dat was replaced\n";
        const std::optional<HostRecord> record = ReadHostRecord();
        if (!record || record->tasks != ExpectedEntries(m_host))
            m_problems << "the Jump List is not the last one the window published\n";
        std::vector<MessageSeen> seen;
        for (const CRecordedMessageBox& box : m_seen) seen.push_back({box.m_strText, box.m_nType});
        const bool bBoxes = seen.size() == m_required.size() &&
                            std::equal(seen.begin(), seen.end(), m_required.begin(), [](const auto& s, const auto& r) {
                                return s.type == r.type && s.text.compare(0, r.text.size(), r.text) == 0;
                            });
        if (!bBoxes) {
            m_problems << "messages shown:";
            for (const MessageSeen& box : seen) m_problems << " \"" << Narrow(box.text) << "\"";
            m_problems << "; expected:";
            for (const MessageSeen& box : m_required) m_problems << " \"" << Narrow(box.text) << "\"";
            m_problems << "\n";
        }
        if (std::find(m_required.begin(), m_required.end(), m_damagedBox) != m_required.end()) {
            if (ReadBytes(GetDamagedCopyPath(DataFilePath())) != m_damaged && m_file == EFile::damaged)
                m_problems << "no copy of the damaged file\n";
        }
        // The user clears the copy away once the list is whole again.
        if (m_file != EFile::damaged && FileExists(GetDamagedCopyPath(DataFilePath())))
            RemoveFile(GetDamagedCopyPath(DataFilePath()));
        for (const std::u16string& name : FolderEntries(Folder()))
            if (name != u"Data.dat" && name != u"Read me.txt" && name != u"tool.EXE" &&
                !(m_file == EFile::damaged && name == u"Data.dat.damaged")) m_problems << "left beside Data.dat: " << Narrow(name) << "\n";
        m_nPeakGdi = std::max(m_nPeakGdi, GdiObjects());
        m_nPeakUser = std::max(m_nPeakUser, UserObjects());
        if (m_nPeakGdi > kMaxGdiObjects || m_nPeakUser > kMaxWindows) m_problems << "GDI or USER objects pile up\n";
        if (m_problems.str().empty()) return;
        std::ostringstream last;
        for (const std::string& step : m_last) last << "\n  " << step;
        ADD_FAILURE() << "seed " << m_nSeed << ", step " << m_nDone << ":\n" << m_problems.str() << "last steps:" << last.str();
        m_bFailed = true;
    }

    void StartModel() {
        // A new window: Data.dat read afresh, nothing to undo.
        m_undo.clear(), m_redo.clear();
        m_bUnseenDelete = false;
        if (m_file == EFile::missing) m_list = m_host = Defaults(), m_file = EFile::whole;
        if (m_file == EFile::damaged) {
            m_damagedBox.text.resize(m_damagedBox.text.find(u" A copy"));
            m_damagedBox.text += u" A copy of the damaged file was kept as " + GetDamagedCopyPath(DataFilePath()) + u".";
            Require(m_damagedBox);
        }
    }

    std::mt19937 m_rng;
    unsigned m_nSeed = 0;
    int m_nSteps = 0, m_nDone = 0, m_nWindowEnd = 0;
    ULONGLONG m_ullWindowStart = 0;
    HWND m_h = nullptr;
    bool m_bFailed = false, m_bStarting = false;
    std::deque<std::string> m_last;
    std::string m_strStep;
    std::map<std::string, int> m_ran;
    DWORD m_nPeakGdi = 0, m_nPeakUser = 0;

    // The model: what Data.dat and the rows hold, the undo and redo steps,
    // and the list of the last Jump List the shell took.
    CTaskList m_list, m_host;
    std::vector<CTaskList> m_undo, m_redo;
    enum class EFile { whole, missing, damaged } m_file = EFile::missing;
    Bytes m_damaged;
    MessageSeen m_damagedBox;
    // Deleted by another program; the window may not have looked yet.
    bool m_bUnseenDelete = false;

    // The step under way.
    EWorld m_eWorld = EWorld::none;
    CTaskList m_written;  // what another program wrote
    std::unique_ptr<FileLock> m_hold;
    std::vector<MessageSeen> m_required;
    std::vector<CRecordedMessageBox> m_seen;
    int m_nResetAnswer = IDYES;
    std::function<void(HWND)> m_nested;
    std::function<bool()> m_wait;
    ULONGLONG m_ullWaitEnd = 0;
    std::ostringstream m_problems;

    void RunSession();
};

// Every user step may also come right after a world step.
const SessionTest::CStepKind SessionTest::kSteps[] = {
    {"add", 8, &SessionTest::AddNew, true},
    {"edit", 8, &SessionTest::Edit, true},
    {"delete", 10, &SessionTest::Delete, true},
    {"move", 12, &SessionTest::Move, true},
    {"drag", 6, &SessionTest::Drag, true},
    {"add separator", 8, &SessionTest::AddSeparator, true},
    {"reset", 3, &SessionTest::Reset, true},
    {"undo or redo", 12, &SessionTest::UndoRedo, true},
    {"drop files", 4, &SessionTest::DropFilesStep, true},
    {"import", 4, &SessionTest::Import, true},
    {"export", 2, &SessionTest::Export, true},
    {"settings", 2, &SessionTest::Settings, true},
    {"another program rewrites Data.dat; the window shows it", 3, &SessionTest::RewriteSeen, false},
    {"another program rewrites Data.dat", 3, &SessionTest::RewriteThenChange, false},
    {"another program deletes Data.dat; the user waits", 2, &SessionTest::DeleteUnseen, false},
    {"another program deletes Data.dat", 2, &SessionTest::DeleteThenChange, false},
    {"another program damages Data.dat", 2, &SessionTest::Damage, false},
    {"another program holds Data.dat", 1, &SessionTest::HoldDuringChange, false},
    {"Data.dat is read-only", 2, &SessionTest::ReadOnlyDuringChange, false},
    {"the shell refuses to begin", 2, &SessionTest::ShellRefusesBegin, false},
    {"the shell refuses to commit", 2, &SessionTest::ShellRefusesCommit, false},
};

void CALLBACK SessionTick(HWND, UINT, UINT_PTR idTimer, DWORD) {
    KillTimer(nullptr, idTimer);
    g_session->Tick();
}

void SessionTest::Tick() {
    const auto again = [] { SetTimer(nullptr, 0, 1, SessionTick); };
    if (m_wait) {
        if (!m_wait() && GetTickCount64() < m_ullWaitEnd) return again();
        m_wait = {};
    } else if (m_bStarting) {
        m_bStarting = false;
    } else {
        m_seen.clear(), m_required.clear(), m_nested = {};
        int nTotal = 0;
        for (const CStepKind& kind : kSteps) nTotal += kind.m_nWeight;
        int nPick = static_cast<int>(R(static_cast<unsigned>(nTotal)));
        const CStepKind* pKind = kSteps;
        while (nPick >= pKind->m_nWeight) nPick -= pKind->m_nWeight, ++pKind;
        m_strStep = pKind->m_pszName;
        ++m_ran[m_strStep];
        (this->*pKind->m_pfn)();
        if (m_wait) {
            m_ullWaitEnd = GetTickCount64() + 3000;
            return again();
        }
    }
    m_last.push_back(std::to_string(m_nDone) + ": " + m_strStep);
    if (m_last.size() > 20) m_last.pop_front();
    Check();
    ++m_nDone;
    if (m_bFailed || m_nDone >= m_nWindowEnd || GetTickCount64() - m_ullWindowStart > kWindowLifeMs) return Close(m_h);
    again();
}

void SessionTest::RunSession() {
    m_nSeed = EnvNumber("ZEMBRO_SESSION_SEED", kCiSeed);
    m_nSteps = static_cast<int>(EnvNumber("ZEMBRO_SESSION_STEPS", kCiSteps));
    m_rng.seed(m_nSeed);
    printf("session seed %u, %d steps (ZEMBRO_SESSION_SEED=%u ZEMBRO_SESSION_STEPS=%d repeats it)\n", m_nSeed,
           m_nSteps, m_nSeed, m_nSteps);
    fflush(stdout);
    g_session = this;
    WriteBytes(Folder() + u"\\Read me.txt", Bytes{1});
    WriteBytes(Folder() + u"\\tool.EXE", Bytes{1});
    const ULONGLONG ullStart = GetTickCount64();
    while (m_nDone < m_nSteps && !m_bFailed) {
        // The user closes the window now and then and opens it again.
        m_nWindowEnd = m_nDone + 1 + static_cast<int>(R(150));
        m_seen.clear(), m_required.clear();
        StartModel();
        m_strStep = "the window opens";
        m_bStarting = true;
        m_ullWindowStart = GetTickCount64();
        Run([this](HWND h) {
                m_h = h;
                SetTimer(nullptr, 0, 1, SessionTick);
            },
            [this](HWND hDlg) {
                if (m_nested) return m_nested(hDlg);
                m_problems << "an unexpected dialog opened: " << Narrow(WindowText(hDlg)) << "\n";
                SendMessageW(hDlg, WM_COMMAND, IDCANCEL, 0);
            },
            IDOK,
            [this](const CRecordedMessageBox& box) {
                m_seen.push_back(box);
                if ((box.m_nType & MB_TYPEMASK) == MB_YESNOCANCEL) return m_nResetAnswer;
                // Another program lets go of Data.dat, and the user retries.
                if ((box.m_nType & MB_TYPEMASK) == MB_RETRYCANCEL) return m_hold.reset(), IDRETRY;
                return (box.m_nType & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
            });
    }
    const double dSeconds = static_cast<double>(GetTickCount64() - ullStart) / 1000.0;
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    printf("%d steps in %.1f s: %.1f steps/s; peak memory %zu KiB (working set %zu KiB); peak GDI objects %lu, "
           "USER objects %lu\n",
           m_nDone, dSeconds, m_nDone / dSeconds, counters.PeakPagefileUsage / 1024, counters.PeakWorkingSetSize / 1024,
           m_nPeakGdi, m_nPeakUser);
    for (const auto& [name, n] : m_ran) printf("  %5d  %s\n", n, name.c_str());
    if (!getenv("ZEMBRO_SESSION_STEPS") && !m_bFailed)
        for (const CStepKind& kind : kSteps) EXPECT_GT(m_ran[kind.m_pszName], 0) << kind.m_pszName << " never ran";
}

TEST_F(SessionTest, RandomUserAndWorldStepsKeepTheListStoredShownAndPublished) { RunSession(); }

}  // namespace
