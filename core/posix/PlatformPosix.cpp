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

namespace {

class CPosixFile : public CArchiveFile {
public:
    explicit CPosixFile(int fd) : m_fd(fd) {}
    ~CPosixFile() override { ::close(m_fd); }
    std::size_t Read(std::uint8_t* p, std::size_t cb) override {
        const ssize_t n = ::read(m_fd, p, cb);
        return n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    bool Write(const std::uint8_t* p, std::size_t cb) override {
        while (cb > 0) {
            const ssize_t n = ::write(m_fd, p, cb);
            if (n <= 0) {
                m_nError = errno ? errno : EIO;
                return false;
            }
            p += n;
            cb -= static_cast<std::size_t>(n);
        }
        return true;
    }
    int Descriptor() const { return m_fd; }
    int m_nError = 0;

private:
    int m_fd;
};

// Holds an exclusive advisory lock, the stand-in for Windows' no-sharing open.
bool IsLockedByOther(int fd) { return ::flock(fd, LOCK_EX | LOCK_NB) != 0; }

}  // namespace

std::unique_ptr<CArchiveFile> OpenFileForReading(const std::u16string& strPath, SystemError& error) {
    const int fd = ::open(ToNative(strPath).c_str(), O_RDONLY);
    if (fd < 0) {
        error = LastError();
        return nullptr;
    }
    if (IsLockedByOther(fd)) {
        error = LastError();
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<CPosixFile>(fd);
}

bool ReplaceFileContents(const std::u16string& strPath, const std::u16string& strTempPath,
                         const std::function<bool(CArchiveFile&)>& write, SystemError& error) {
    const std::string path = ToNative(strPath), temp = ToNative(strTempPath);
    // Root may write anything, so the read-only attribute is the owner's write bit.
    struct stat st{};
    if (::stat(path.c_str(), &st) == 0 && !(st.st_mode & S_IWUSR)) {
        error = SystemError{EACCES, FromAscii(std::strerror(EACCES))};
        return false;
    }
    const int fdTarget = ::open(path.c_str(), O_RDONLY);
    if (fdTarget >= 0) {
        const bool bLocked = IsLockedByOther(fdTarget);
        if (bLocked) error = LastError();
        ::close(fdTarget);
        if (bLocked) return false;
    }
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        error = LastError();
        return false;
    }
    bool ok;
    {
        CPosixFile file(fd);
        errno = 0;
        ok = write(file);
        if (!ok) {
            const int nError = file.m_nError ? file.m_nError : EIO;
            error = SystemError{static_cast<std::uint32_t>(nError), FromAscii(std::strerror(nError))};
        }
        if (ok && ::fsync(file.Descriptor()) != 0) {
            error = LastError();
            ok = false;
        }
    }
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
        error = LastError();
        ok = false;
    }
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

bool CopyFileOver(const std::u16string& strFrom, const std::u16string& strTo) {
    FILE* in = std::fopen(ToNative(strFrom).c_str(), "rb");
    if (!in) return false;
    FILE* out = std::fopen(ToNative(strTo).c_str(), "wb");
    bool ok = out != nullptr;
    char chunk[65536];
    std::size_t n;
    while (ok && (n = std::fread(chunk, 1, sizeof chunk, in)) > 0) ok = std::fwrite(chunk, 1, n, out) == n;
    std::fclose(in);
    return out && std::fclose(out) == 0 && ok;
}

}  // namespace platform
