// What the journal of a real run records of a file, and the few operations
// undo needs beyond the run's own: every one of them works on the entry
// itself and never follows a symbolic link.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "DosAttrib.h"
#include "PosixFileOps.h"
#include "PosixFileSystem.h"
#include "shared/NativeName.h"

namespace zv {

namespace {

constexpr std::int64_t kNanosPerSecond = 1000000000;

FsResult Result(int err, const std::u16string& path) {
    if (err == 0) return {};
    return {posix::CodeForErrno(err), path, err};
}

class ReadFd {
  public:
    explicit ReadFd(const std::string& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY)) {}
    ~ReadFd() {
        if (fd_ >= 0) ::close(fd_);
    }
    ReadFd(const ReadFd&) = delete;
    ReadFd& operator=(const ReadFd&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

// Reads as much as asked for unless the file ends first.
ssize_t ReadFull(int fd, char* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = ::read(fd, buffer + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

}  // namespace

FileIdentity PosixFileSystem::Identify(const std::u16string& path, bool withAttributes) {
    const std::string p = ToNative(path);
    struct stat st;
    if (p.find('\0') != std::string::npos || ::lstat(p.c_str(), &st) != 0) return {};
    FileIdentity id;
    id.exists = true;
    id.device = static_cast<std::uint64_t>(st.st_dev);
    id.file = static_cast<std::uint64_t>(st.st_ino);
    id.size = static_cast<std::int64_t>(st.st_size);
    id.writeTime = static_cast<std::int64_t>(st.st_mtim.tv_sec) * kNanosPerSecond + st.st_mtim.tv_nsec;
    if (withAttributes && S_ISREG(st.st_mode)) {
        id.attributes = ((st.st_mode & 0222) == 0 ? kAttrReadOnly : 0) |
                        (posix::ReadDosAttrib(p) & (kAttrHidden | kAttrSystem | kAttrArchive));
    }
    return id;
}

FsResult PosixFileSystem::RestoreWriteTime(const std::u16string& path, std::int64_t writeTime) {
    const std::string p = ToNative(path);
    if (p.find('\0') != std::string::npos) return Result(EINVAL, path);
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    std::int64_t seconds = writeTime / kNanosPerSecond, nanos = writeTime % kNanosPerSecond;
    if (nanos < 0) nanos += kNanosPerSecond, --seconds;
    times[1].tv_sec = static_cast<time_t>(seconds);
    times[1].tv_nsec = static_cast<long>(nanos);
    return Result(::utimensat(AT_FDCWD, p.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno, path);
}

FsResult PosixFileSystem::RemoveFile(const std::u16string& path) {
    const std::string p = ToNative(path);
    if (p.find('\0') != std::string::npos) return Result(EINVAL, path);
    return Result(::unlink(p.c_str()) == 0 ? 0 : errno, path);
}

bool PosixFileSystem::SameContent(const std::u16string& a, const std::u16string& b) {
    ReadFd fa(ToNative(a)), fb(ToNative(b));
    struct stat sa, sb;
    if (fa.get() < 0 || fb.get() < 0 || ::fstat(fa.get(), &sa) != 0 || ::fstat(fb.get(), &sb) != 0) return false;
    if (!S_ISREG(sa.st_mode) || !S_ISREG(sb.st_mode) || sa.st_size != sb.st_size) return false;
    std::vector<char> ba(std::size_t{256} << 10), bb(ba.size());
    for (;;) {
        ssize_t na = ReadFull(fa.get(), ba.data(), ba.size());
        ssize_t nb = ReadFull(fb.get(), bb.data(), bb.size());
        if (na < 0 || nb < 0 || na != nb) return false;
        if (na == 0) return true;
        if (std::memcmp(ba.data(), bb.data(), static_cast<std::size_t>(na)) != 0) return false;
    }
}

}  // namespace zv
