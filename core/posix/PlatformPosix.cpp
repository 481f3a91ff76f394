// POSIX stand-ins for the Windows services: only the native tests, benchmarks
// and fuzzing use them. Paths keep Windows backslashes; they are turned into
// slashes only at the system call. ZEMBRO_LOCALAPPDATA names the local
// application data folder ("" or unset: the system cannot tell).
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
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

SystemError ErrorFrom(int nError) {
    SystemError error{static_cast<std::uint32_t>(nError), FromAscii(std::strerror(nError))};
    if (nError == ENOENT || nError == ENOTDIR) error.m_eKind = SystemError::EKind::notFound;
    else if (nError == EWOULDBLOCK) error.m_eKind = SystemError::EKind::busy;  // flock's answer to a holder
    else if (nError == EEXIST) error.m_eKind = SystemError::EKind::exists;
    return error;
}

SystemError LastError() { return ErrorFrom(errno); }

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

class CPosixFile : public CReadFile {
public:
    explicit CPosixFile(int fd) : m_fd(fd) {}
    ~CPosixFile() override { ::close(m_fd); }
    std::size_t Read(std::uint8_t* p, std::size_t cb) override {
        for (;;) {
            const ssize_t n = ::read(m_fd, p, cb);
            if (n >= 0) return static_cast<std::size_t>(n);
            if (errno != EINTR) throw CFileException(LastError());
        }
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
    std::uint64_t GetLength() const override {
        struct stat st{};
        return ::fstat(m_fd, &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    }
    int Descriptor() const { return m_fd; }
    int m_nError = 0;

private:
    int m_fd;
};

// Holds an exclusive advisory lock, the stand-in for Windows' no-sharing open.
bool IsLockedByOther(int fd) { return ::flock(fd, LOCK_EX | LOCK_NB) != 0; }

std::atomic<unsigned> s_nTempFiles{0};

// strPath.~<process>-<n>.tmp: unique among this process's saves and others'.
std::string TempPathFor(const std::string& path) {
    return path + ".~" + std::to_string(::getpid()) + "-" + std::to_string(++s_nTempFiles) + ".tmp";
}

}  // namespace

std::unique_ptr<CReadFile> OpenFileForReading(const std::u16string& strPath, SystemError& error) {
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

bool ReplaceFileContents(const std::u16string& strPath, EReplace eReplace,
                         const std::function<bool(CArchiveFile&)>& write, SystemError& error) {
    const std::string path = ToNative(strPath);
    if (eReplace == EReplace::replaceExisting) {
        // Root may write anything, so the read-only attribute is the owner's write bit.
        struct stat st{};
        if (::stat(path.c_str(), &st) == 0 && !(st.st_mode & S_IWUSR)) {
            error = ErrorFrom(EACCES);
            return false;
        }
        const int fdTarget = ::open(path.c_str(), O_RDONLY);
        if (fdTarget >= 0) {
            const bool bLocked = IsLockedByOther(fdTarget);
            if (bLocked) error = LastError();
            ::close(fdTarget);
            if (bLocked) return false;
        }
    }
    const std::string temp = TempPathFor(path);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) {
        error = LastError();
        return false;
    }
    bool ok;
    {
        CPosixFile file(fd);
        errno = 0;
        ok = write(file);
        if (!ok) error = ErrorFrom(file.m_nError ? file.m_nError : EIO);
        if (ok && ::fsync(file.Descriptor()) != 0) {
            error = LastError();
            ok = false;
        }
    }
    if (ok) {
        // link() fails on an existing name where rename() would replace it.
        const bool bMoved = eReplace == EReplace::replaceExisting ? ::rename(temp.c_str(), path.c_str()) == 0
                                                                  : ::link(temp.c_str(), path.c_str()) == 0;
        if (!bMoved) {
            error = LastError();
            ok = false;
        }
    }
    if (!ok || eReplace == EReplace::keepExisting) ::unlink(temp.c_str());
    return ok;
}

void RemoveLeftoverTempFiles(const std::u16string& strPath) {
    const std::string path = ToNative(strPath);
    const std::size_t nSlash = path.find_last_of('/');
    const std::string folder = nSlash == std::string::npos ? "." : path.substr(0, nSlash);
    const std::string prefix = path.substr(nSlash + 1) + ".~";
    ::unlink((path + ".tmp").c_str());
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() > prefix.size() + 4 && name.compare(0, prefix.size(), prefix) == 0 &&
            name.compare(name.size() - 4, 4, ".tmp") == 0)
            ::unlink((folder + "/" + name).c_str());
    }
    ::closedir(dir);
}

}  // namespace platform
