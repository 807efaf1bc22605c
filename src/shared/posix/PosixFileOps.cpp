// The operations that change files. Nothing here ever replaces an existing
// file, and a copy becomes visible under its name only after its data are
// complete and on disk, so a failure at any step (disk full, a folder that
// cannot be written, a crash) leaves the user's files as they were.
#include "PosixFileOps.h"

#include <acl/libacl.h>
#include <attr/error_context.h>
#include <attr/libattr.h>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>   // renameat2
#include <stdlib.h>  // mkostemp
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "PosixFileSystem.h"
#include "VolumeAttributes.h"
#include "shared/CaseFold.h"
#include "shared/NativeName.h"

namespace zv::posix {

namespace {

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

bool FileOrLink(const struct stat& st) { return S_ISREG(st.st_mode) || S_ISLNK(st.st_mode); }

// The source of a rename or move, checked just before it is moved: a regular
// file or a symbolic link, nothing else.
int CheckMovable(const std::string& from, struct stat& st) {
    if (::lstat(from.c_str(), &st) != 0) return errno;
    return FileOrLink(st) ? 0 : kNotAFileErr;
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

// Collects what libattr and libacl report: the first failure that matters.
// A destination that cannot hold an attribute or an access list at all, or a
// name only a privileged user may set, still takes the data, as cp -a does.
struct CopyErrors {
    error_context ctx{&CopyErrors::Report, nullptr, nullptr};
    int serious = 0;
    bool aclLost = false;
    bool inPerm = false;

    static void Report(error_context* c, const char*, ...) {
        const int e = errno;
        auto* self = reinterpret_cast<CopyErrors*>(c);
        if (e == ENOTSUP || e == EOPNOTSUPP || e == EPERM || e == EINVAL || e == ERANGE || e == E2BIG) {
            if (self->inPerm) self->aclLost = true;
            return;
        }
        if (self->serious == 0) self->serious = e ? e : EIO;
    }
};
static_assert(offsetof(CopyErrors, ctx) == 0);

// Owner first (a change of owner clears set-id bits and file capabilities),
// then the extended attributes while the copy is still writable, then the
// permissions with their access list, then the times.
int CopyMetadata(int in, int out, const std::string& from, const std::string& to, const struct stat& source) {
    // Only a privileged user may give a file away; an ordinary user keeps
    // at least the group where they belong to it.
    if (::fchown(out, source.st_uid, source.st_gid) != 0) {
        if (errno != EPERM) return errno;
        ::fchown(out, static_cast<uid_t>(-1), source.st_gid);
    }
    CopyErrors errors;
    attr_copy_fd(from.c_str(), in, to.c_str(), out, nullptr, &errors.ctx);
    if (errors.serious) return errors.serious;
    errors.inPerm = true;
    if (perm_copy_fd(from.c_str(), in, to.c_str(), out, &errors.ctx) != 0 && errors.serious == 0 &&
        errors.aclLost && acl_extended_fd(in) == 1) {
        // The access list cannot live there, and its group bits are the
        // mask, which may be wider than the owning group's own entry: only
        // the owner and the others keep what they had, nobody gains access.
        if (::fchmod(out, source.st_mode & 07707) != 0) return errno;
    }
    if (errors.serious) return errors.serious;
    struct timespec times[2] = {source.st_atim, source.st_mtim};
    if (::futimens(out, times) != 0) return errno;
    return 0;
}

// Fills a not yet published copy and makes it durable.
int FillCopy(int in, int out, const std::string& from, const std::string& to, const struct stat& source) {
    if (int e = CopyData(in, out, source.st_size)) return e;
    if (int e = CopyMetadata(in, out, from, to, source)) return e;
    if (::fsync(out) != 0) return errno;
    return 0;
}

bool ProcFdAvailable() {
    static const bool available = ::access("/proc/self/fd", X_OK) == 0;
    return available;
}

// The regular file at path (or the one a link there leads to) opened for
// reading, or -errno. The entry is pinned and examined with O_PATH first, so
// a FIFO is never waited on and a device never opened; without /proc the
// open itself neither follows a link of another kind nor blocks.
int OpenRegularForReading(const std::string& path, struct stat& st) {
    if (ProcFdAvailable()) {
        Fd entry(::open(path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        if (!entry.valid()) return -errno;
        if (::fstat(entry.get(), &st) != 0) return -errno;
        // A link: what it leads to, pinned and examined the same way.
        Fd target(S_ISLNK(st.st_mode) ? ::open(path.c_str(), O_PATH | O_CLOEXEC) : -1);
        if (S_ISLNK(st.st_mode) && (!target.valid() || ::fstat(target.get(), &st) != 0)) return -errno;
        const Fd& pinned = target.valid() ? target : entry;
        if (!S_ISREG(st.st_mode)) return -kNotAFileErr;
        char self[64];
        std::snprintf(self, sizeof self, "/proc/self/fd/%d", pinned.get());
        int fd = ::open(self, O_RDONLY | O_NOCTTY | O_CLOEXEC);
        return fd < 0 ? -errno : fd;
    }
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 && errno == ELOOP) fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -errno;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -kNotAFileErr;
    }
    return fd;
}

// A named temporary copy: ".zorvik-copy-<pid>-XXXXXX", locked for as long as
// this process may still write it.
int MakeNamedTemp(const std::string& folder, std::string& temp) {
    temp = folder + "/" + kTempPrefix + std::to_string(::getpid()) + "-XXXXXX";
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return -errno;
    ::flock(fd, LOCK_EX | LOCK_NB);
    return fd;
}

NativeOutcome CopyFile(const std::string& from, const std::string& to, const FileOpWays& ways, bool syncFolder) {
    struct stat st;
    const int opened = OpenRegularForReading(from, st);
    if (opened < 0) return {-opened, true};
    Fd in(opened);

    const std::string folder = ParentOf(to);
    if (ways.unnamedTemp && ProcFdAvailable()) {
        Fd out(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
        if (out.valid()) {
            if (int e = FillCopy(in.get(), out.get(), from, to, st)) return {e, false};
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
    // failure and published with the no-replace rename. The lock is held
    // until the name is published, so no other run takes it for stale.
    std::string temp;
    const int made = MakeNamedTemp(folder, temp);
    if (made < 0) return {-made, false};
    Fd out(made);
    int e = FillCopy(in.get(), out.get(), from, temp, st);
    if (e == 0) e = RenameNoReplace(temp, to, ways).err;
    int closed = out.Close();
    if (e == 0 && closed != 0) {
        ::unlink(to.c_str());
        e = closed;
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

// A symbolic link made anew on another file system: the same text, owner
// where permitted, time. symlink() refuses an existing name.
NativeOutcome CopyLink(const std::string& from, const std::string& to, const struct stat& st) {
    std::string text(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    const ssize_t n = ::readlink(from.c_str(), text.data(), text.size());
    if (n < 0) return {errno, true};
    if (static_cast<std::size_t>(n) >= text.size()) return {EAGAIN, true};  // changed meanwhile
    text.resize(static_cast<std::size_t>(n));
    if (::symlink(text.c_str(), to.c_str()) != 0) return {errno, false};
    if (::lchown(to.c_str(), st.st_uid, st.st_gid) != 0 && errno != EPERM) {
        const int e = errno;
        ::unlink(to.c_str());
        return {e, false};
    }
    struct timespec times[2] = {st.st_atim, st.st_mtim};
    ::utimensat(AT_FDCWD, to.c_str(), times, AT_SYMLINK_NOFOLLOW);
    if (int e = SyncFolder(ParentOf(to))) {
        ::unlink(to.c_str());
        return {e, false};
    }
    return {};
}

// Into another file system: a durable copy first, the source removed only
// once the copy is safely in place; if the source cannot be removed the copy
// goes again, so the file exists exactly once.
NativeOutcome MoveAcross(const std::string& from, const std::string& to, const FileOpWays& ways) {
    struct stat st;
    if (int e = CheckMovable(from, st)) return {e, true};
    NativeOutcome copied = S_ISLNK(st.st_mode) ? CopyLink(from, to, st) : CopyFile(from, to, ways, true);
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
// removed (link() takes a symbolic link itself, not its target). Where a
// hard link is refused, a checked rename is the best such a file system
// allows.
NativeOutcome LinkThenUnlink(const std::string& from, const std::string& to, const FileOpWays& ways) {
    struct stat st;
    if (int e = CheckMovable(from, st)) return {e, true};
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
        case kNotAFileErr:
            return kFsNotAFile;
        default:
            return kFsGeneric;
    }
}

NativeOutcome RenameNoReplace(const std::string& from, const std::string& to, const FileOpWays& ways) {
    // Checked just before the move: another program may have put a folder
    // or a FIFO under the selected name since the run began.
    struct stat st;
    if (int e = CheckMovable(from, st)) return {e, true};
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
    return CopyFile(from, to, ways, false);
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
    struct stat st;
    if (int e = CheckMovable(path, st)) return e;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<std::time_t>(seconds);
    times[1].tv_nsec = 0;
    if (::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) return errno;
    return 0;
}

int SetAttributes(const std::string& path, int mask) {
    struct stat st;
    if (int e = CheckMovable(path, st)) return e;
    if (S_ISLNK(st.st_mode)) return EPERM;
    return WriteAttributes(DecideAttributeStore(ParentOf(path)), path, mask);
}

int GetAttributes(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return -1;
    if (S_ISLNK(st.st_mode)) return 0;
    return ReadAttributes(DecideAttributeStore(S_ISDIR(st.st_mode) ? path : ParentOf(path)), path);
}

EntryKind ExamineEntry(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return EntryKind::kMissing;
    if (S_ISREG(st.st_mode)) return EntryKind::kFile;
    if (S_ISDIR(st.st_mode)) return EntryKind::kFolder;
    if (!S_ISLNK(st.st_mode)) return EntryKind::kOther;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? EntryKind::kLinkToFile : EntryKind::kOtherLink;
}

namespace {

// When the process of that number started, in seconds since the epoch; -1
// when there is no such process.
long long ProcessStart(long pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM ? 0 : -1;
    // Fields after the command: state is the 3rd, start time the 22nd.
    std::size_t pos = close + 1;
    for (int field = 3; field < 22 && pos != std::string::npos; ++field) pos = text.find(' ', pos + 1);
    if (pos == std::string::npos) return 0;
    const unsigned long long ticks = std::strtoull(text.c_str() + pos + 1, nullptr, 10);
    std::ifstream global("/proc/stat");
    std::string line;
    long long boot = 0;
    while (std::getline(global, line))
        if (line.rfind("btime ", 0) == 0) boot = std::atoll(line.c_str() + 6);
    return boot + static_cast<long long>(ticks / static_cast<unsigned long long>(::sysconf(_SC_CLK_TCK)));
}

// Whether the temporary's maker is gone for sure; unsure counts as alive.
bool MakerGone(long pid, const struct stat& st) {
    if (pid == ::getpid()) return false;
    const long long started = ProcessStart(pid);
    if (started < 0) return true;
    // A process of that number that began after the file was last written
    // cannot have written it (0: start unknown).
    return started > 0 && started > static_cast<long long>(st.st_mtim.tv_sec) + 1;
}

}  // namespace

void RemoveStaleTemporaries(const std::string& folder) {
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid()) return;
    DIR* listing = ::fdopendir(::dup(dir.get()));
    if (!listing) return;
    std::vector<std::string> candidates;
    while (const dirent* e = ::readdir(listing))
        if (std::strncmp(e->d_name, kTempPrefix, sizeof kTempPrefix - 1) == 0) candidates.emplace_back(e->d_name);
    ::closedir(listing);
    for (const std::string& name : candidates) {
        // ".zorvik-copy-<digits>-<six characters>", nothing else.
        const char* rest = name.c_str() + sizeof kTempPrefix - 1;
        char* end = nullptr;
        const long pid = std::strtol(rest, &end, 10);
        if (end == rest || pid <= 0 || *end != '-' || std::strlen(end + 1) != 6) continue;
        Fd file(::openat(dir.get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        struct stat st;
        if (!file.valid() || ::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1) continue;
        if (st.st_uid != ::geteuid() && ::geteuid() != 0) continue;
        if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) continue;  // its maker is at work
        if (!MakerGone(pid, st)) continue;
        // Still the entry that was examined: the same inode under that name.
        struct stat now;
        if (::fstatat(dir.get(), name.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0 || now.st_ino != st.st_ino ||
            now.st_dev != st.st_dev)
            continue;
        ::unlinkat(dir.get(), name.c_str(), 0);
    }
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

EntryKind PosixFileSystem::Examine(const std::u16string& path) {
    const std::string p = ToNative(path);
    return HasNul(p) ? EntryKind::kMissing : posix::ExamineEntry(p);
}

// Links on Linux take a time of their own (utimensat without following) but
// no attributes: their mode is fixed and user attributes are not allowed.
VolumeAbilities PosixFileSystem::Abilities(const std::u16string& folder) {
    VolumeAbilities a;
    a.fileAttributes = posix::KeptAttributes(posix::DecideAttributeStore(ToNative(folder)));
    a.linkTime = true;
    a.linkAttributes = false;
    return a;
}

void PosixFileSystem::RemoveStaleTemporaries(const std::u16string& folder) {
    const std::string p = ToNative(folder);
    if (!HasNul(p)) posix::RemoveStaleTemporaries(p);
}

FsResult PosixFileSystem::MakeDirectory(const std::u16string& path) {
    const std::string p = ToNative(path);
    if (HasNul(p)) return Result(EINVAL, path);
    return Result(::mkdir(p.c_str(), 0777) == 0 ? 0 : errno, path);
}

}  // namespace zv
