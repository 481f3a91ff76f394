#pragma once
// What a user reads in the main window's message boxes: the texts and the
// buttons-and-icon of each, spelled here once for the in-process window tests
// and the end-to-end suite alike.
#include <windows.h>

#include <ostream>
#include <string>
#include "support/Narrow.h"

struct MessageSeen {
    std::u16string text;
    UINT type = 0;  // its buttons and icon, e.g. MB_YESNOCANCEL | MB_ICONQUESTION
    bool operator==(const MessageSeen&) const = default;
};

inline void PrintTo(const MessageSeen& box, std::ostream* os) {
    *os << "{\"" << Narrow(box.text) << "\" 0x" << std::hex << box.type << std::dec << "}";
}

// The system's wording of an error, as the program shows it: no line break at the end.
inline std::u16string SystemReason(DWORD dwError) {
    wchar_t szReason[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, dwError, 0, szReason, 512,
                   nullptr);
    std::u16string strReason(reinterpret_cast<const char16_t*>(szReason));
    while (!strReason.empty() && (strReason.back() == u'\n' || strReason.back() == u'\r' || strReason.back() == u' '))
        strReason.pop_back();
    return strReason;
}

inline constexpr UINT kRetryCancel = MB_RETRYCANCEL | MB_ICONWARNING;
inline constexpr char16_t kUnreadTail[] =
    u"\n\nNothing is saved over the file until it has been read. Choose Retry to read it again, or Cancel to close "
    u"without changing anything.";

// Data.dat is there but could not be opened or read, for the system's reason dwError.
inline MessageSeen NotRead(const std::u16string& strDataFile, DWORD dwError) {
    return {u"The Jump List could not be read from \"" + strDataFile + u"\".\n\n" + SystemReason(dwError) + kUnreadTail,
            kRetryCancel};
}

inline constexpr UINT kInfo = MB_OK | MB_ICONINFORMATION;
inline constexpr UINT kStop = MB_OK | MB_ICONERROR;
inline constexpr UINT kWarning = MB_OK | MB_ICONWARNING;
inline constexpr UINT kQuestion = MB_YESNOCANCEL | MB_ICONQUESTION;

inline const MessageSeen kSelectToEdit{u"Select a Jump List from the List to Edit and then try Again.", kInfo};
inline const MessageSeen kSeparatorNotEditable{
    u"Selected Jump List Action is a Seperator and Cannot be Edited, but can be Deleted or Moved Around with Buttons "
    u"on the Main Screen.",
    kInfo};
inline const MessageSeen kSelectToDelete{u"Select a Jump List from the List to Delete and then try Again.", kInfo};
inline const MessageSeen kSelectToMove{u"Select a Jump List from the List to Move and then try Again.", kInfo};
inline const MessageSeen kResetQuestion{u"Reset List of Jump Lists for this Software ?", kQuestion};
inline const MessageSeen kInitializeFailed{u"Failed to Initialize Jump List", kStop};
inline const MessageSeen kCommitFailed{u"Failed to Commit Jump List", kStop};
