// The file operations on real folders: nothing is ever replaced, a failed copy
// leaves nothing behind, a failed move leaves the source where it was.
#include <acl/libacl.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>

#include <cstring>
#include <map>

#include "ScratchFolder.h"
#include "shared/posix/PosixFileOps.h"
#include "shared/posix/VolumeAttributes.h"

namespace zv::posix {
namespace {

using test::HoldsData;
using test::ScratchFolder;

constexpr long long kOldTime = 1000000000;  // 2001-09-09, a time no test sets by accident
constexpr int kAllFour = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;
const FileOpWays kAllWays[] = {{true, true}, {false, false}};
const char* const kDos = "user.DOSATTRIB";
const char* const kAcl = "system.posix_acl_access";

struct stat Stat(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st;
}

void SetTimes(const std::string& path, long long atime, long long mtime) {
    struct timespec t[2] = {{static_cast<time_t>(atime), 0}, {static_cast<time_t>(mtime), 0}};
    ::utimensat(AT_FDCWD, path.c_str(), t, 0);
}

void SetDos(const std::string& path, const std::string& text) {
    ::setxattr(path.c_str(), kDos, text.data(), text.size(), 0);
}

// ---------------------------------------------------------------- rename, move and copy

// Paths are "s/..." and "d/..."; the place says what file system "d" is (and
// whether "s" is a read-only one).
constexpr bool kCopy = true, kMove = false;  // a rename is a move within the volume
enum Setup { kFile, kTargetTaken, kHardLinkTarget, kNoSource, kFifo, kLink, kAccessList };
enum Place { kSameDisk, kTmpfs, kSmallTmpfs, kReadOnlySource, kExfat };

struct TransferCase {
    const char* label;
    bool copy;
    Setup setup;
    const char *from, *to;
    int err;
    bool atSource;
    Place place = kSameDisk;
    std::size_t size = 5000;
    mode_t mode = 0640;  // 0: the volume keeps no mode
    const char* dos = "";
};

const TransferCase kTransferCases[] = {
    {"RenameInFolder", kMove, kFile, "d/a.txt", "d/b.txt", 0, false},
    {"RenameOntoExisting", kMove, kTargetTaken, "d/a.txt", "d/b.txt", EEXIST, false},
    // Another link of the same file is still another name: refusing is the
    // only outcome that does not report an unchanged folder as renamed.
    {"RenameOntoOwnHardLink", kMove, kHardLinkTarget, "d/a.txt", "d/b.txt", EEXIST, false},
    {"RenameToItself", kMove, kFile, "d/a.txt", "d/a.txt", 0, false},
    {"RenameMissingSource", kMove, kNoSource, "d/a.txt", "d/b.txt", ENOENT, true},
    {"RenameInvalidUtf8ToValid", kMove, kFile, "d/\xff\x80name.txt", "d/ok.txt", 0, false},
    {"RenameFifoIsNoFile", kMove, kFifo, "d/a.txt", "d/b.txt", kNotAFileErr, true},
    // The link is what moves; its target stays where it is.
    {"RenameLinkItself", kMove, kLink, "d/a.txt", "d/b.txt", 0, false},
    {"MoveLinkAcross", kMove, kLink, "s/a.txt", "d/b.txt", 0, false, kTmpfs},
    // Larger than any single read, and not a multiple of a block.
    {"CopyLargeFile", kCopy, kFile, "s/photo.jpg", "d/IMG_001.jpg", 0, false, kSameDisk, (3u << 20) + 17,
     0640, "0x20"},
    {"CopyEmptyFile", kCopy, kFile, "s/photo.jpg", "d/IMG_001.jpg", 0, false, kSameDisk, 0, 0644},
    {"CopyOntoExisting", kCopy, kTargetTaken, "s/photo.jpg", "d/IMG_001.jpg", EEXIST, false},
    // Opening a FIFO for reading would wait for a writer for ever.
    {"CopyFifoIsNoFile", kCopy, kFifo, "s/photo.jpg", "d/IMG_001.jpg", kNotAFileErr, true},
    {"CopyKeepsAccessList", kCopy, kAccessList, "s/photo.jpg", "d/IMG_001.jpg", 0, false},
    {"MoveAcross", kMove, kFile, "s/song.mid", "d/track01.mid", 0, false, kTmpfs, 2u << 20, 0604, "0x4"},
    {"CopyDiskFull", kCopy, kFile, "s/song.mid", "d/track01.mid", ENOSPC, false, kSmallTmpfs, 2u << 20},
    // The copy succeeds but the source cannot be removed: the copy goes again.
    {"MoveSourceNotRemovable", kMove, kFile, "s/song.mid", "d/track01.mid", EROFS, true, kReadOnlySource,
     1000, 0604, "0x4"},
    // On a volume that ignores case (exFAT through FUSE, which gives the two
    // spellings of one name different inode numbers) a change of case renames
    // the file itself; a name held by another file is still refused.
    {"CaseBlindOwnName", kMove, kFile, "d/photo.txt", "d/PHOTO.txt", 0, false, kExfat, 5000, 0},
    {"CaseBlindOwnNameNotAscii", kMove, kFile, "d/été.txt", "d/ÉTÉ.txt", 0, false, kExfat, 5000, 0},
    {"CaseBlindOtherFile", kMove, kTargetTaken, "d/a.txt", "d/B.txt", EEXIST, false, kExfat, 5000, 0}};

// "d" as the case asks; empty when that cannot be made here.
std::string Destination(ScratchFolder& s, Place place) {
    if (place != kSameDisk && !ScratchFolder::IsRoot()) return {};
    std::string d = place == kSameDisk     ? s.Folder("d")
                    : place == kExfat      ? s.MountExfat("d", 8u << 20)
                    : place == kSmallTmpfs ? s.MountTmpfs("d", 256u << 10)
                                           : s.MountTmpfs("d", 8u << 20);
    if (place == kReadOnlySource && s.MountTmpfs("s", 8u << 20).empty()) return {};
    if (!d.empty() && place != kSameDisk && place != kExfat && !ScratchFolder::HoldsXattrs(d)) return {};
    return d;
}

void Transfer(const TransferCase& c, const FileOpWays& ways, std::string& missing) {
    ScratchFolder s;
    ASSERT_TRUE(s.ok());
    s.Folder("s");
    if (Destination(s, c.place).empty()) {
        missing += std::string(" ") + c.label;
        return;
    }
    const std::string from = s.Path(c.from), to = s.Path(c.to), target = s.Path("target.txt");
    const std::string content = ScratchFolder::Pattern(c.size, 7);
    if (c.setup == kFifo) ::mkfifo(from.c_str(), 0644);
    // A link's text longer than a name may be (255 bytes), as deep paths make it.
    const std::string linkText = s.root() + std::string(260, '/') + "target.txt";
    if (c.setup == kLink) ::symlink(linkText.c_str(), from.c_str());
    const bool hasFile = c.setup != kNoSource && c.setup != kFifo;
    if (hasFile) {
        ScratchFolder::Write(c.setup == kLink ? target : from, content);
        if (*c.dos) SetDos(from, c.dos);
        if (c.mode) ::chmod(from.c_str(), c.mode);
        if (c.setup == kAccessList) {
            acl_t acl = acl_from_text("u::rw-,u:nobody:r--,g::---,m::r--,o::---");
            ASSERT_EQ(acl_set_file(from.c_str(), ACL_TYPE_ACCESS, acl), 0);
            acl_free(acl);
        }
        SetTimes(from, kOldTime + 5, kOldTime);
    }
    if (c.setup == kTargetTaken) ScratchFolder::Write(to, "keep me");
    if (c.setup == kHardLinkTarget) ::link(from.c_str(), to.c_str());
    if (c.place == kReadOnlySource) ScratchFolder::RemountReadOnly(s.Path("s"));
    const std::string acl = ScratchFolder::Xattr(from, kAcl);
    std::map<std::string, std::set<std::string>> expected{{"s", ScratchFolder::Names(s.Path("s"))},
                                                          {"d", ScratchFolder::Names(s.Path("d"))}};

    const NativeOutcome o = c.copy ? CopyNoReplace(from, to, ways) : RenameNoReplace(from, to, ways);

    EXPECT_EQ(o.err, c.err) << std::strerror(o.err);
    EXPECT_EQ(o.atSource, c.atSource);
    EXPECT_TRUE(c.setup != kTargetTaken || HoldsData(to, "keep me")) << "the taken name was overwritten";
    if (c.err == 0 && !c.copy) expected[std::string(c.from, 1)].erase(c.from + 2);
    if (c.err == 0) expected[std::string(c.to, 1)].insert(c.to + 2);
    for (const auto& [folder, names] : expected)
        EXPECT_EQ(ScratchFolder::Names(s.Path(folder)), names) << "left behind or lost in " << folder;
    // What stays and what arrives carries the data, mode, time and attributes.
    std::vector<std::string> holders;
    if (hasFile && (c.err != 0 || c.copy)) holders.push_back(from);
    if (c.err == 0) holders.push_back(to);
    for (const std::string& path : holders) {
        SCOPED_TRACE(path);
        EXPECT_TRUE(HoldsData(path, content));
        EXPECT_EQ(Stat(path).st_mode & (c.mode ? 07777 : 0), c.mode);
        EXPECT_EQ(Stat(path).st_mtim.tv_sec, kOldTime);
        EXPECT_EQ(ScratchFolder::Xattr(path, kDos), *c.dos ? c.dos : "<none>");
        EXPECT_EQ(ScratchFolder::Xattr(path, kAcl), acl);
    }
    if (c.setup == kLink && c.err == 0) {
        EXPECT_TRUE(std::filesystem::is_symlink(to) && HoldsData(target, content)) << "the link itself moves";
        EXPECT_EQ(std::filesystem::read_symlink(to).string(), linkText);
    }
}

TEST(FileOps, RenameMoveAndCopyNeverLoseOrReplace) {
    std::string missing;
    for (const TransferCase& c : kTransferCases)
        for (const FileOpWays& ways : kAllWays) {
            SCOPED_TRACE(std::string(c.label) +
                         (ways.renameNoReplace ? " RENAME_NOREPLACE, O_TMPFILE" : " link, temporary name"));
            Transfer(c, ways, missing);
        }
    if (!missing.empty())
        GTEST_SKIP() << "could not make the volume (root, exFAT, tmpfs attributes) of" << missing;
}

// ---------------------------------------------------------------- time and attributes

// Local times are read in a zone with summer time, by the rule of their own
// date, whatever the date of the run.
TEST(FileOps, SetsOnlyTheLastWriteTime) {
    if (::access("/usr/share/zoneinfo/Europe/Berlin", R_OK) != 0) GTEST_SKIP() << "time zone data missing";
    // The local time, and the seconds since the epoch it sets (kOldTime: left unchanged).
    const std::pair<LocalDateTime, long long> cases[] = {
        {{2024, 3, 7, 9, 5, 3}, 1709798703},  {{2024, 7, 7, 9, 5, 3}, 1720335903},
        {{2024, 2, 29, 0, 0, 0}, 1709161200}, {{2024, 13, 1, 0, 0, 0}, kOldTime},
        {{2023, 2, 29, 0, 0, 0}, kOldTime},   {{1600, 3, 7, 9, 5, 3}, kOldTime}};
    const test::ScopedEnv zone("TZ", "Europe/Berlin");
    ScratchFolder s;
    const std::string file = s.Path("f.txt");
    ScratchFolder::Write(file, "x");
    for (const auto& [local, expected] : cases) {
        SetTimes(file, kOldTime + 77, kOldTime);
        EXPECT_EQ(SetLastWriteTime(file, local), 0);
        EXPECT_EQ(Stat(file).st_mtim.tv_sec, expected);
        EXPECT_EQ(Stat(file).st_atim.tv_sec, kOldTime + 77) << "the access time moved";
    }
    EXPECT_EQ(SetLastWriteTime(s.Path("none"), {2024, 3, 7, 9, 5, 3}), ENOENT);
}

TEST(FileOps, AttributeMaskReplacesTheFour) {
    // The mode and DOS attributes before, the mask, the mode and attributes after.
    // clang-format off
    const std::tuple<mode_t, const char*, int, mode_t, const char*> cases[] = {
        // Read-only still, whoever may run it; a writable file keeps its own write
        // bits when read-only is cleared.
        {0600, "", kAttrReadOnly, 0400, "<none>"}, {0755, "", kAttrReadOnly, 0555, "<none>"},
        {0644, "", 39, 0444, "0x26"}, {0444, "0x26", 0, 0644, "<none>"}, {0664, "", 0, 0664, "<none>"}};
    // clang-format on
    ScratchFolder s;
    for (const auto& [modeBefore, dosBefore, mask, modeAfter, dosAfter] : cases) {
        SCOPED_TRACE(mask);
        const std::string file = s.Path(std::to_string(modeBefore));
        ScratchFolder::Write(file, "x");
        if (*dosBefore) SetDos(file, dosBefore);
        ::chmod(file.c_str(), modeBefore);
        ASSERT_EQ(SetAttributes(file, mask), 0);
        EXPECT_EQ(Stat(file).st_mode & 07777, modeAfter);
        EXPECT_EQ(ScratchFolder::Xattr(file, kDos), dosAfter);
        EXPECT_EQ(GetAttributes(file), mask);
    }
    EXPECT_EQ(SetAttributes(s.Path("none"), kAttrHidden), ENOENT);
    EXPECT_EQ(GetAttributes(s.Path("none")), -1);
}

// What a volume keeps is decided from the volume itself; what it keeps reads
// back, what it does not is refused, never dropped.
TEST(FileOps, VolumesKeepTheAttributesTheyCan) {
    if (!ScratchFolder::IsRoot()) GTEST_SKIP() << "mounting file systems needs root";
    ScratchFolder s;
    const std::tuple<const char*, std::string, AttributeStore, int> cases[] = {
        {"tmpfs", s.MountTmpfs("tmpfs", 1u << 20), AttributeStore::kDosAttrib, kAllFour},
        {"ramfs", s.MountRamfs("ramfs"), AttributeStore::kWriteBits, kAttrReadOnly},
        {"ntfs-3g", s.MountNtfs("ntfs", 8u << 20), AttributeStore::kNtfsWord, kAllFour},
        {"bindfs", s.MountBindfs("bindfs", "under"), AttributeStore::kDosAttrib, kAllFour},
        // exfat-fuse takes a change of mode and keeps nothing.
        {"exfat-fuse", s.MountExfat("exfat", 8u << 20), AttributeStore::kNothing, 0}};
    std::string missing;
    for (const auto& [label, where, store, kept] : cases) {
        SCOPED_TRACE(label);
        if (where.empty() || (label == std::string("tmpfs") && !ScratchFolder::HoldsXattrs(where))) {
            missing += std::string(" ") + label;
            continue;
        }
        EXPECT_EQ(DecideAttributeStore(where), store);
        EXPECT_EQ(KeptAttributes(store), kept);
        const std::string file = where + "/f.txt";
        ScratchFolder::Write(file, "x");
        EXPECT_EQ(SetAttributes(file, kAllFour) == 0, kept == kAllFour);
        ASSERT_EQ(SetAttributes(file, kept), 0);
        EXPECT_EQ(GetAttributes(file), kept);
    }
    if (!missing.empty()) GTEST_SKIP() << "could not mount (or no user attributes on)" << missing;
}

// The kernel's vfat keeps the four attributes in the directory entry, reached
// by ioctl. Where this kernel has no vfat the calls are swapped for a byte of
// the test's own, so the road (keep the other bits, read back what was set)
// is still taken.
std::uint32_t fatByte = 0;

TEST(FileOps, FatByteTakesTheFourBitsAndKeepsTheRest) {
    ScratchFolder s;
    const std::string file = s.Path("f.txt");
    ScratchFolder::Write(file, "x");
    const VolumeCalls saved = Volume();
    Volume().fsType = [](const char*) -> long { return 0x4d44; };
    Volume().getFat = [](int, std::uint32_t* a) { return *a = fatByte, 0; };
    Volume().setFat = [](int, std::uint32_t a) { return fatByte = a, 0; };
    fatByte = 0x20 | 0x08;  // archive, and a bit that is not ours
    const mode_t mode = Stat(file).st_mode;

    EXPECT_EQ(DecideAttributeStore(s.root()), AttributeStore::kFatWord);
    EXPECT_EQ(SetAttributes(file, kAttrReadOnly | kAttrSystem), 0);
    EXPECT_EQ(fatByte, 0x01u | 0x04u | 0x08u);
    EXPECT_EQ(GetAttributes(file), kAttrReadOnly | kAttrSystem);
    EXPECT_EQ(Stat(file).st_mode, mode) << "the byte alone carries read-only on FAT";
    Volume() = saved;
}

// ---------------------------------------------------------------- stale temporaries

pid_t DeadPid() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

// What an interrupted copy may have left, and what merely looks like it.
TEST(FileOps, OnlyTemporariesOfGoneProcessesAreRemoved) {
    enum Maker { kDeadProcess, kThisProcess, kLockHeld, kNotOurName, kFolder, kLink };
    for (const Maker maker : {kDeadProcess, kThisProcess, kLockHeld, kNotOurName, kFolder, kLink}) {
        SCOPED_TRACE(maker);  // only the first one is removed
        ScratchFolder s;
        const pid_t pid = maker == kThisProcess ? ::getpid() : DeadPid();
        const std::string name =
            kTempPrefix + std::to_string(pid) + "-a1B2c3" + (maker == kNotOurName ? "x" : "");
        const std::string path = s.Path(name);
        if (maker == kFolder) s.Folder(name);
        if (maker == kLink) ::symlink("user.txt", path.c_str());
        if (maker != kFolder) ScratchFolder::Write(maker == kLink ? s.Path("user.txt") : path, "the user's");
        // A lock held (here through another open file of this process) means
        // its maker is at work, whatever its number.
        const int held = maker == kLockHeld ? ::open(path.c_str(), O_RDONLY) : -1;
        if (held >= 0) ::flock(held, LOCK_EX);

        RemoveStaleTemporaries(s.root());

        EXPECT_EQ(::access(path.c_str(), F_OK) != 0, maker == kDeadProcess);
        EXPECT_TRUE(maker != kLink || HoldsData(s.Path("user.txt"), "the user's"));
        if (held >= 0) ::close(held);
    }
}

}  // namespace
}  // namespace zv::posix
