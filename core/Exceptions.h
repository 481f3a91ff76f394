#pragma once
// The errors the task list core raises: the framework's invalid-argument and
// archive errors, and a failed read from a file with the system's reason.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace platform {

// Why a file operation failed: the system's error code and its own wording.
struct SystemError {
    enum class EKind {
        other,
        notFound,  // no such file or folder
        busy,      // held by another program (a sharing or lock violation): may pass
        exists,    // the target exists and was not to be replaced
    };
    std::uint32_t m_dwCode = 0;
    std::u16string m_strMessage;
    EKind m_eKind = EKind::other;
};

}  // namespace platform

// An index outside the list was passed to GetAt or RemoveAt.
class CInvalidArgException : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// Reading an archive needed more bytes than it holds, or the bytes announce
// more entries than a task list may have.
class CArchiveException : public std::runtime_error {
public:
    enum { endOfFile = 3, tooManyEntries = 100 };
    explicit CArchiveException(int cause)
        : std::runtime_error(cause == endOfFile ? "The data file ended before the record was complete."
                                                : "The data file announces too many entries."),
          m_cause(cause) {}
    int m_cause;
};

// The system could not read a file that was open: never taken for its end.
class CFileException : public std::runtime_error {
public:
    explicit CFileException(platform::SystemError error)
        : std::runtime_error("The file could not be read."), m_error(std::move(error)) {}
    platform::SystemError m_error;
};
