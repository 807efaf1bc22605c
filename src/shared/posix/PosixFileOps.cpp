// The operations that change files. Nothing here ever replaces an existing
// file, and a copy becomes visible under its name only after its data are
// complete and on disk, so a failure at any step (disk full, a folder that
// cannot be written, a crash) leaves the user's files as they were.
#include "PosixFileOps.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>   // renameat2
#include <stdlib.h>  // mkostemp
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <string>
#include <vector>

#include "DosAttrib.h"
#include "PosixFileSystem.h"
#include "shared/CaseFold.h"
#include "shared/NativeName.h"

namespace zv::posix {

namespace {

constexpr int kDosBits = kAttrHidden | kAttrSystem | kAttrArchive;

// Closes the descriptor when it goes out of scope. An unnamed temporary file
// vanishes with its last descriptor, which is what discards a failed copy.
class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and reports the error: some file systems (NFS) only report a
    // failed write when the file is closed.
    int Close() {
        int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

  private:
    int fd_;
};

std::string ParentOf(const std::string& path) {
    std::string::size_type slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

// A failure whose cause may lie on either side: a missing source is the
// source's, everything else is reported against the destination.
NativeOutcome Failure(int err, const std::string& from) {
    return {err, (err == ENOENT || err == ENOTDIR) && !Exists(from)};
}

// True when both paths lead to one and the same directory entry: the same
// spelling, or a change of case only on a file system that ignores case. A
// file with a single link can only be reached through one entry, so the same
// inode with one link settles it; two hard links of one file are two entries
// and the destination then counts as an existing file.
bool OneEntry(const std::string& from, const std::string& to) {
    struct stat a, b;
    if (::lstat(from.c_str(), &a) != 0 || ::lstat(to.c_str(), &b) != 0) return false;
    if (a.st_dev != b.st_dev || a.st_ino != b.st_ino) return false;
    return from == to || a.st_nlink == 1;
}

NativeOutcome RenameOneEntry(const std::string& from, const std::string& to) {
    if (from == to) return {};
    if (::rename(from.c_str(), to.c_str()) != 0) return Failure(errno, from);
    return {};
}

// The name part of a path (after its last separator).
std::string NameOf(const std::string& path) {
    const std::string::size_type slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A target that exists only because the file system ignores case: the same
// folder, names equal but for case, and no entry spelt exactly like the target
// ("photo.txt" -> "PHOTO.txt" on a FAT or exFAT stick, where a FUSE driver may
// give the two spellings different inode numbers).
bool OnlyCaseDiffers(const std::string& from, const std::string& to) {
    if (from == to || ParentOf(from) != ParentOf(to)) return false;
    const std::string name = NameOf(to);
    if (FoldCase(FromNative(NameOf(from))) != FoldCase(FromNative(name))) return false;
    DIR* dir = ::opendir(ParentOf(to).c_str());
    if (dir == nullptr) return false;
    bool spelt = false;
    while (const dirent* e = ::readdir(dir)) {
        if (name == e->d_name) {
            spelt = true;
            break;
        }
    }
    ::closedir(dir);
    return !spelt;
}

// The case-only rename through a hidden temporary name, each step without
// replacing anything. Once the file has left its name, the target is free if
// it was the file's own; if another file holds it, the last step is refused
// and the file goes back to its name. (The target is not looked up in
// between: a FUSE driver may still answer from a cached entry.)
NativeOutcome RenameThroughTemp(const std::string& from, const std::string& to, const FileOpWays& ways) {
    std::string temp;
    for (int n = 0;; ++n) {
        temp = ParentOf(from) + "/.zv-case-" + std::to_string(::getpid()) + "-" + std::to_string(n);
        const NativeOutcome parked = RenameNoReplace(from, temp, ways);
        if (parked.ok()) break;
        if (parked.err != EEXIST || n == 99) return parked;
    }
    const NativeOutcome outcome = RenameNoReplace(temp, to, ways);
    if (outcome.ok()) return {};
    if (const NativeOutcome back = RenameNoReplace(temp, from, ways); !back.ok()) return {back.err, true};
    return {outcome.err, false};
}

// What a rename does when its target name is taken.
NativeOutcome ExistingTarget(const std::string& from, const std::string& to, const FileOpWays& ways) {
    if (OneEntry(from, to)) return RenameOneEntry(from, to);
    if (OnlyCaseDiffers(from, to)) return RenameThroughTemp(from, to, ways);
    return {EEXIST, false};
}

int SyncFolder(const std::string& folder) {
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid()) return errno;
    // Some file systems cannot sync a folder and say so with EINVAL; their
    // entries are as durable as they will get.
    if (::fsync(dir.get()) != 0 && errno != EINVAL) return errno;
    return 0;
}

int CopyData(int in, int out, off_t expectedSize) {
    bool useRange = true;
    bool copiedAny = false;
    std::vector<char> buffer;
    for (;;) {
        if (useRange) {
            ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, std::size_t{1} << 30, 0);
            if (n > 0) {
                copiedAny = true;
                continue;
            }
            // A pseudo file may claim a size and still answer 0 at once;
            // reading it the plain way settles whether it is empty.
            if (n == 0 && (copiedAny || expectedSize == 0)) return 0;
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP &&
                errno != EBADF)
                return errno;
            useRange = false;
            buffer.resize(std::size_t{256} << 10);
            continue;
        }
        ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got == 0) return 0;
        if (got < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        for (ssize_t done = 0; done < got;) {
            ssize_t put = ::write(out, buffer.data() + done, static_cast<std::size_t>(got - done));
            if (put < 0) {
                if (errno == EINTR) continue;
                return errno;
            }
            done += put;
        }
    }
}

// The user namespace carries what people and file servers attach to a file
// (the DOS attributes among them). Access lists and security labels are the
// destination folder's business, as for any new file there.
int CopyUserXattrs(int in, int out) {
    ssize_t size = ::flistxattr(in, nullptr, 0);
    if (size < 0) return (errno == ENOTSUP || errno == EOPNOTSUPP) ? 0 : errno;
    if (size == 0) return 0;
    std::vector<char> names(static_cast<std::size_t>(size));
    size = ::flistxattr(in, names.data(), names.size());
    if (size < 0) return errno;
    std::vector<char> value;
    for (ssize_t pos = 0; pos < size;) {
        const char* name = names.data() + pos;
        pos += static_cast<ssize_t>(std::char_traits<char>::length(name)) + 1;
        if (std::char_traits<char>::compare(name, "user.", 5) != 0) continue;
        ssize_t len = ::fgetxattr(in, name, nullptr, 0);
        if (len < 0) {
            if (errno == ENODATA) continue;  // removed meanwhile
            return errno;
        }
        value.resize(static_cast<std::size_t>(len));
        len = ::fgetxattr(in, name, value.data(), value.size());
        if (len < 0) return errno;
        if (::fsetxattr(out, name, value.data(), static_cast<std::size_t>(len), 0) != 0) {
            // A destination that cannot hold extended attributes at all still
            // takes the data; anything else (disk full) is a failure.
            if (errno == ENOTSUP || errno == EOPNOTSUPP) return 0;
            return errno;
        }
    }
    return 0;
}

// Fills a not yet published copy and makes it durable.
int FillCopy(int in, int out, const struct stat& source, bool keepOwner) {
    if (int e = CopyData(in, out, source.st_size)) return e;
    if (int e = CopyUserXattrs(in, out)) return e;
    // Only a privileged user may give a file away; an ordinary user's move
    // makes the file theirs, as any copy does.
    if (keepOwner && ::fchown(out, source.st_uid, source.st_gid) != 0 && errno != EPERM) return errno;
    if (::fchmod(out, source.st_mode & 0777) != 0) return errno;
    struct timespec times[2] = {source.st_atim, source.st_mtim};
    if (::futimens(out, times) != 0) return errno;
    if (::fsync(out) != 0) return errno;
    return 0;
}

bool ProcFdAvailable() {
    static const bool available = ::access("/proc/self/fd", X_OK) == 0;
    return available;
}

NativeOutcome CopyFile(const std::string& from, const std::string& to, const FileOpWays& ways, bool keepOwner,
                       bool syncFolder) {
    Fd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (!in.valid()) return {errno, true};
    struct stat st;
    if (::fstat(in.get(), &st) != 0) return {errno, true};
    if (!S_ISREG(st.st_mode)) return {S_ISDIR(st.st_mode) ? EISDIR : EINVAL, true};

    const std::string folder = ParentOf(to);
    if (ways.unnamedTemp && ProcFdAvailable()) {
        Fd out(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
        if (out.valid()) {
            if (int e = FillCopy(in.get(), out.get(), st, keepOwner)) return {e, false};
            char self[64];
            std::snprintf(self, sizeof self, "/proc/self/fd/%d", out.get());
            // linkat refuses an existing name, so publishing never replaces.
            if (::linkat(AT_FDCWD, self, AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW) != 0) return {errno, false};
            out.Close();  // the data are synced; the name is what matters now
            if (syncFolder) {
                if (int e = SyncFolder(folder)) {
                    ::unlink(to.c_str());
                    return {e, false};
                }
            }
            return {};
        }
        // Without O_TMPFILE the kernel or file system answers one of these;
        // everything else (no such folder, no permission, disk full) is real.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return {errno, false};
    }

    // A hidden temporary name in the destination folder, removed on every
    // failure and published with the no-replace rename.
    std::string temp = folder + "/.zv-copy-XXXXXX";
    Fd out(::mkostemp(temp.data(), O_CLOEXEC));
    if (!out.valid()) return {errno, false};
    int e = FillCopy(in.get(), out.get(), st, keepOwner);
    int closed = out.Close();
    if (e == 0) e = closed;
    if (e == 0) {
        e = RenameNoReplace(temp, to, ways).err;
    }
    if (e != 0) {
        ::unlink(temp.c_str());
        return {e, false};
    }
    if (syncFolder) {
        if (int s = SyncFolder(folder)) {
            ::unlink(to.c_str());
            return {s, false};
        }
    }
    return {};
}

// Into another file system: a durable copy first, the source removed only
// once the copy is safely in place; if the source cannot be removed the copy
// goes again, so the file exists exactly once.
NativeOutcome MoveAcross(const std::string& from, const std::string& to, const FileOpWays& ways) {
    struct stat st;
    if (::lstat(from.c_str(), &st) != 0) return {errno, true};
    if (!S_ISREG(st.st_mode)) return {EXDEV, true};
    NativeOutcome copied = CopyFile(from, to, ways, true, true);
    if (!copied.ok()) return copied;
    if (::unlink(from.c_str()) != 0) {
        int e = errno;
        ::unlink(to.c_str());
        return {e, true};
    }
    SyncFolder(ParentOf(from));  // a lost removal leaves two copies, never none
    return {};
}

// For file systems without RENAME_NOREPLACE: a second name, then the old one
// removed. Regular files only; a link that is refused falls back to a checked
// rename, the best such a file system allows.
NativeOutcome LinkThenUnlink(const std::string& from, const std::string& to, const FileOpWays& ways) {
    struct stat st;
    if (::lstat(from.c_str(), &st) != 0) return {errno, true};
    if (!S_ISREG(st.st_mode)) return {EINVAL, true};
    if (::link(from.c_str(), to.c_str()) != 0) {
        int e = errno;
        if (e == EEXIST) return ExistingTarget(from, to, ways);
        if (e == EXDEV) return MoveAcross(from, to, ways);
        if (e != EPERM && e != EOPNOTSUPP && e != EMLINK) return Failure(e, from);
        if (Exists(to)) return ExistingTarget(from, to, ways);
        if (::rename(from.c_str(), to.c_str()) != 0) return Failure(errno, from);
        return {};
    }
    if (::unlink(from.c_str()) != 0) {
        int e2 = errno;
        ::unlink(to.c_str());
        return {e2, true};
    }
    return {};
}

}  // namespace

int CodeForErrno(int err) {
    switch (err) {
        case 0:
            return kFsOk;
        case EEXIST:
        case ENOTEMPTY:
            return kFsAlreadyExists;
        case ENOSPC:
        case EDQUOT:
            return kFsDiskFull;
        case EMFILE:
        case ENFILE:
            return kFsTooManyFiles;
        case ENXIO:
        case ENODEV:
            return kFsDeviceUnavailable;
        case EACCES:
        case EPERM:
        case EROFS:
        case ETXTBSY:
            return kFsPermissionDenied;
        case EIO:
        case ENOMEDIUM:
            return kFsDiskNotReady;
        case ENOENT:
            return kFsFileNotFound;
        default:
            return kFsGeneric;
    }
}

NativeOutcome RenameNoReplace(const std::string& from, const std::string& to, const FileOpWays& ways) {
    int err = EINVAL;
    if (ways.renameNoReplace) {
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return {};
        err = errno;
    }
    switch (err) {
        case EEXIST:
            return ExistingTarget(from, to, ways);
        case EINVAL:
        case ENOSYS:
        case EOPNOTSUPP:
            return LinkThenUnlink(from, to, ways);
        case EXDEV:
            return MoveAcross(from, to, ways);
        default:
            return Failure(err, from);
    }
}

NativeOutcome CopyNoReplace(const std::string& from, const std::string& to, const FileOpWays& ways) {
    return CopyFile(from, to, ways, false, false);
}

bool LocalToEpoch(const LocalDateTime& local, long long& seconds) {
    // The years a Windows file time can hold; outside them the date is refused
    // there too, so a job behaves alike on both systems.
    if (local.year < 1601 || local.year > 30827) return false;
    std::tm want{};
    want.tm_year = local.year - 1900;
    want.tm_mon = local.month - 1;
    want.tm_mday = local.day;
    want.tm_hour = local.hour;
    want.tm_min = local.minute;
    want.tm_sec = local.second;
    // Calendar check without time zones: a valid date and time comes back
    // unchanged, anything else (month 13, 30 February, 24:00) is normalised.
    std::tm probe = want;
    ::timegm(&probe);
    if (probe.tm_year != want.tm_year || probe.tm_mon != want.tm_mon || probe.tm_mday != want.tm_mday ||
        probe.tm_hour != want.tm_hour || probe.tm_min != want.tm_min || probe.tm_sec != want.tm_sec)
        return false;
    // tm_isdst = -1: the offset in force on that date, not today's.
    std::tm when = want;
    when.tm_isdst = -1;
    errno = 0;
    std::time_t t = std::mktime(&when);
    if (t == static_cast<std::time_t>(-1) && errno != 0) return false;
    seconds = static_cast<long long>(t);
    return true;
}

int SetLastWriteTime(const std::string& path, const LocalDateTime& local) {
    long long seconds = 0;
    if (!LocalToEpoch(local, seconds)) return 0;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<std::time_t>(seconds);
    times[1].tv_nsec = 0;
    if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) return errno;
    return 0;
}

int SetAttributes(const std::string& path, int mask) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return errno;
    const mode_t mode = st.st_mode & 07777;
    const bool readOnly = (mask & kAttrReadOnly) != 0;
    mode_t wanted = mode;
    if (readOnly)
        wanted = mode & ~static_cast<mode_t>(0222);
    else if ((mode & 0222) == 0)
        wanted = mode | S_IWUSR;

    auto writeDos = [&]() -> int {
        int e = WriteDosAttrib(path, mask);
        // Nothing to store and nowhere to store it is no failure.
        if ((e == ENOTSUP || e == EOPNOTSUPP) && (mask & kDosBits) == 0) return 0;
        return e;
    };
    auto writeMode = [&]() -> int {
        if (wanted == mode) return 0;
        return ::chmod(path.c_str(), wanted) == 0 ? 0 : errno;
    };
    // Extended attributes need write permission: store them while the file
    // is still writable, and make it writable before storing them.
    if (readOnly) {
        if (int e = writeDos()) return e;
        return writeMode();
    }
    if (int e = writeMode()) return e;
    return writeDos();
}

int GetAttributes(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return -1;
    int attrs = (st.st_mode & 0222) == 0 ? kAttrReadOnly : 0;
    return attrs | (ReadDosAttrib(path) & kDosBits);
}

}  // namespace zv::posix

namespace zv {

namespace {

FsResult Result(int err, const std::u16string& path) {
    if (err == 0) return {};
    return {posix::CodeForErrno(err), path, err};
}

}  // namespace

// A NUL ends a path at the system call, so "ab\0cd" would quietly address
// "ab": such a path is refused before it reaches the disk.
static bool HasNul(const std::string& p) { return p.find('\0') != std::string::npos; }

FsResult PosixFileSystem::Rename(const std::u16string& from, const std::u16string& to) {
    const std::string f = ToNative(from), t = ToNative(to);
    if (HasNul(f) || HasNul(t)) return Result(EINVAL, HasNul(f) ? from : to);
    posix::NativeOutcome o = posix::RenameNoReplace(f, t);
    return Result(o.err, o.atSource ? from : to);
}

FsResult PosixFileSystem::Copy(const std::u16string& from, const std::u16string& to) {
    const std::string f = ToNative(from), t = ToNative(to);
    if (HasNul(f) || HasNul(t)) return Result(EINVAL, HasNul(f) ? from : to);
    posix::NativeOutcome o = posix::CopyNoReplace(f, t);
    return Result(o.err, o.atSource ? from : to);
}

FsResult PosixFileSystem::SetLastWriteTime(const std::u16string& path, const LocalDateTime& local) {
    const std::string p = ToNative(path);
    if (HasNul(p)) return Result(EINVAL, path);
    return Result(posix::SetLastWriteTime(p, local), path);
}

FsResult PosixFileSystem::SetAttributes(const std::u16string& path, int mask) {
    const std::string p = ToNative(path);
    if (HasNul(p)) return Result(EINVAL, path);
    return Result(posix::SetAttributes(p, mask), path);
}

int PosixFileSystem::GetAttributes(const std::u16string& path) {
    const std::string p = ToNative(path);
    return HasNul(p) ? -1 : posix::GetAttributes(p);
}

FsResult PosixFileSystem::MakeDirectory(const std::u16string& path) {
    const std::string p = ToNative(path);
    if (HasNul(p)) return Result(EINVAL, path);
    return Result(::mkdir(p.c_str(), 0777) == 0 ? 0 : errno, path);
}

}  // namespace zv
