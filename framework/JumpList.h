#pragma once
// The program's own Jump List through the shell's COM interfaces: one new list
// per object, holding the Tasks category only (no application identifier, no
// other categories). COM must be initialised on the calling thread.
#include <windows.h>
#include <objectarray.h>
#include <shobjidl.h>
#include <wrl/client.h>

class CJumpList {
public:
    // bAutoCommit: a list that was begun but not committed is committed when
    // the object goes; otherwise it is abandoned then.
    explicit CJumpList(bool bAutoCommit = true);
    ~CJumpList();
    CJumpList(const CJumpList&) = delete;
    CJumpList& operator=(const CJumpList&) = delete;

    // Begins a new list (abandoning one this object had begun). False when the
    // shell refuses; nothing can be added then.
    bool InitializeList();

    // Appends one entry to the Tasks category. The texts reach the shell as
    // given: a URL or a bare program name such as "cmd" is not made a path
    // here (the publisher's side does that first: LaunchTarget.h).
    // False when the entry could not be built; the list goes on without it.
    bool AddTask(const wchar_t* pszPath, const wchar_t* pszArguments, const wchar_t* pszTitle,
                 const wchar_t* pszIconLocation, int nIconIndex);
    bool AddTaskSeparator();

    // Hands the tasks over and commits: the new list replaces the program's
    // previous one as a whole. On failure the begun list is abandoned, so the
    // shell keeps the previous one.
    bool CommitList();

    // Abandons a begun list; does nothing otherwise.
    void AbortList();

    bool IsBegun() const { return m_bBegun; }

private:
    bool AddLink(const Microsoft::WRL::ComPtr<IShellLinkW>& pLink);

    Microsoft::WRL::ComPtr<ICustomDestinationList> m_pDestinationList;
    Microsoft::WRL::ComPtr<IObjectCollection> m_pTasks;
    bool m_bAutoCommit;
    bool m_bBegun = false;
};
