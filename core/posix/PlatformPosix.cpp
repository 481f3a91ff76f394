// POSIX stand-ins for the Windows services: only the native tests, benchmarks
// and fuzzing use them. Paths keep Windows backslashes; they are turned into
// slashes only at the system call. ZEMBRO_LOCALAPPDATA names the local
// application data folder ("" or unset: the system cannot tell).
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/Platform.h"

namespace platform {
namespace {

std::string ToNative(const std::u16string& path) {
    std::string out;
    for (char16_t ch : path) {
        if (ch == u'\\') out.push_back('/');
        else if (ch < 0x80) out.push_back(static_cast<char>(ch));
        else out += "_";  // tests use ASCII paths
    }
    return out;
}

std::u16string FromAscii(const char* s) {
    std::u16string out;
    for (; *s; ++s) out.push_back(static_cast<unsigned char>(*s));
    return out;
}

SystemError LastError() {
    return SystemError{static_cast<std::uint32_t>(errno), FromAscii(std::strerror(errno))};
}

}  // namespace

bool GetSpecialFolderPath(SpecialFolder folder, std::u16string& strPath) {
    switch (folder) {
    case SpecialFolder::LocalAppData: {
        const char* env = std::getenv("ZEMBRO_LOCALAPPDATA");
        if (!env || !*env) return false;
        strPath = FromAscii(env);
        return true;
    }
    case SpecialFolder::ProgramFiles: strPath = u"C:\\Program Files"; return true;
    case SpecialFolder::System: strPath = u"C:\\Windows\\system32"; return true;
    case SpecialFolder::Windows: strPath = u"C:\\Windows"; return true;
    }
    return false;
}

std::u16string GetApplicationTitle() { return u"Zembro by Brellow"; }

void CreateFolder(const std::u16string& strPath) { ::mkdir(ToNative(strPath).c_str(), 0755); }

ReadResult ReadWholeFile(const std::u16string& strPath, std::vector<std::uint8_t>& bytes, SystemError& error) {
    const int fd = ::open(ToNative(strPath).c_str(), O_RDONLY);
    if (fd < 0) {
        error = LastError();
        return ReadResult::Unavailable;
    }
    // An exclusive advisory lock stands in for Windows' no-sharing open.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = LastError();
        ::close(fd);
        return ReadResult::Unavailable;
    }
    std::vector<std::uint8_t> data;
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            error = LastError();
            ::close(fd);
            return ReadResult::Unavailable;
        }
        if (n == 0) break;
        data.insert(data.end(), chunk, chunk + n);
    }
    ::close(fd);
    bytes.swap(data);
    return ReadResult::Ok;
}

bool ReplaceFileContents(const std::u16string& strPath, const std::u16string& strTempPath,
                         const std::vector<std::uint8_t>& bytes, SystemError& error) {
    const std::string path = ToNative(strPath), temp = ToNative(strTempPath);
    // Root may write anything, so the read-only attribute is the owner's write bit.
    struct stat st{};
    if (::stat(path.c_str(), &st) == 0 && !(st.st_mode & S_IWUSR)) {
        error = SystemError{EACCES, FromAscii(std::strerror(EACCES))};
        return false;
    }
    // Another holder of the file (an advisory lock here) keeps it as it is.
    const int fdTarget = ::open(path.c_str(), O_RDONLY);
    if (fdTarget >= 0) {
        const bool bLocked = ::flock(fdTarget, LOCK_EX | LOCK_NB) != 0;
        if (bLocked) error = LastError();
        ::close(fdTarget);
        if (bLocked) return false;
    }
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        error = LastError();
        return false;
    }
    size_t nDone = 0;
    while (nDone < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + nDone, bytes.size() - nDone);
        if (n <= 0) break;
        nDone += static_cast<size_t>(n);
    }
    if (nDone != bytes.size() || ::fsync(fd) != 0) {
        error = LastError();
        ::close(fd);
        ::unlink(temp.c_str());
        return false;
    }
    ::close(fd);
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        error = LastError();
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

bool CopyFileOver(const std::u16string& strFrom, const std::u16string& strTo) {
    std::vector<std::uint8_t> bytes;
    SystemError error;
    if (ReadWholeFile(strFrom, bytes, error) != ReadResult::Ok) return false;
    FILE* f = std::fopen(ToNative(strTo).c_str(), "wb");
    if (!f) return false;
    const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace platform
