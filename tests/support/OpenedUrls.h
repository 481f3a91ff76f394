#pragma once
// Puts zembro_url_recorder.exe in place of the browser in this Wine prefix and
// reads back what it was asked to open.
//
// Wine's ShellExecute only honours the protocol handlers under
// HKLM\Software\Classes (a per-user registration under HKCU is ignored), so the
// recorder is registered there for http and https while a CUrlRecorder lives;
// the previous commands come back when it is destroyed.
#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

struct COpenedUrl {
    int m_nShow = -1;  // the show command the opener was started with; -1 when none
    std::u16string m_strUrl;

    bool operator==(const COpenedUrl&) const = default;
};
void PrintTo(const COpenedUrl& opened, std::ostream* os);

// zembro_url_recorder.exe, built into the tests' top folder, where the test
// programs sit or in one of its subfolders; empty when it is not found. Run
// as a program, it records its arguments as the address.
std::wstring RecorderPath();

class CUrlRecorder {
public:
    // Registers the recorder and forgets every address recorded so far.
    CUrlRecorder();
    ~CUrlRecorder();
    CUrlRecorder(const CUrlRecorder&) = delete;
    CUrlRecorder& operator=(const CUrlRecorder&) = delete;

    // False (with a test failure) when the recorder could not be found or registered.
    bool Registered() const { return m_bRegistered; }

    // Everything recorded so far, in order.
    std::vector<COpenedUrl> Opened() const;
    // Waits until at least nCount addresses are recorded or the deadline
    // passes, and returns what was recorded by then.
    std::vector<COpenedUrl> WaitForOpened(size_t nCount, DWORD dwTimeoutMs = 15000) const;
    void Clear() const;

private:
    struct CSaved {
        std::wstring m_strKey;
        bool m_bExisted = false;
        std::wstring m_strCommand;
    };
    std::vector<CSaved> m_arrSaved;
    bool m_bRegistered = false;
};
