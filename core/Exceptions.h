#pragma once
// The two errors the task list core raises. They stand for the framework's
// invalid-argument error and the archive's end-of-file error.
#include <stdexcept>

// An index outside the list was passed to GetAt or RemoveAt.
class CInvalidArgException : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// Reading an archive needed more bytes than it holds.
class CArchiveException : public std::runtime_error {
public:
    enum { endOfFile = 3 };
    explicit CArchiveException(int cause)
        : std::runtime_error("The data file ended before the record was complete."), m_cause(cause) {}
    int m_cause;
};
