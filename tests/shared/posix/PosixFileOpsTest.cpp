// The file operations on real folders: nothing is ever replaced, a failed copy
// leaves nothing behind, a failed move leaves the source where it was.
#include <acl/libacl.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <cstring>
#include <ctime>
#include <set>
#include <string>

#include "ScratchFolder.h"
#include "shared/FileSystem.h"
#include "shared/NativeName.h"
#include "shared/posix/PosixFileOps.h"
#include "shared/posix/PosixFileSystem.h"
#include "shared/posix/VolumeAttributes.h"

namespace zv::posix {
namespace {

using test::HoldsData;
using test::ScratchFolder;

constexpr long long kOldTime = 1000000000;  // 2001-09-09, a time no test sets by accident

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
    ::setxattr(path.c_str(), "user.DOSATTRIB", text.data(), text.size(), 0);
}

std::string WaysName(const FileOpWays& w) {
    return std::string(w.renameNoReplace ? "NoReplace" : "LinkUnlink") +
           (w.unnamedTemp ? "Unnamed" : "Named");
}

const FileOpWays kAllWays[] = {{true, true}, {false, false}};

}  // namespace

// Readable parameter names in failure reports.
void PrintTo(const FileOpWays& w, std::ostream* os) { *os << WaysName(w); }

namespace {

// ---------------------------------------------------------------- rename

struct RenameCase {
    const char* label;
    std::string from, to;
    enum Setup { kNone, kExistingTarget, kHardLinkTarget, kNoSource, kFifoSource, kLinkSource } setup;
    int err;
    bool atSource;
};

void PrintTo(const RenameCase& c, std::ostream* os) { *os << c.label; }

class RenameTest : public ::testing::TestWithParam<std::tuple<RenameCase, FileOpWays>> {};

TEST_P(RenameTest, MovesOrRefusesWithoutLoss) {
    const auto& [c, ways] = GetParam();
    ScratchFolder s;
    ASSERT_TRUE(s.ok());
    s.Folder("dir");
    const std::string from = s.Path(c.from), to = s.Path(c.to);
    const std::string content = ScratchFolder::Pattern(5000);
    if (c.setup == RenameCase::kFifoSource) {
        ::mkfifo(from.c_str(), 0644);
    } else if (c.setup == RenameCase::kLinkSource) {
        // The link is what moves; its target stays where it is.
        ScratchFolder::Write(s.Path("target.txt"), content);
        ::symlink("../target.txt", from.c_str());
    } else if (c.setup != RenameCase::kNoSource) {
        ScratchFolder::Write(from, content);
    }
    if (c.setup == RenameCase::kExistingTarget) ScratchFolder::Write(to, "keep me");
    if (c.setup == RenameCase::kHardLinkTarget) {
        ASSERT_EQ(::link(from.c_str(), to.c_str()), 0);
    }
    const auto before = ScratchFolder::Names(s.Path("dir"));

    NativeOutcome o = RenameNoReplace(from, to, ways);

    EXPECT_EQ(o.err, c.err) << std::strerror(o.err);
    if (c.err != 0) {
        EXPECT_EQ(o.atSource, c.atSource);
        EXPECT_EQ(ScratchFolder::Names(s.Path("dir")), before) << "a refused rename changed the folder";
        if (c.setup == RenameCase::kExistingTarget) {
            EXPECT_TRUE(HoldsData(to, "keep me"));
        }
        if (c.setup != RenameCase::kNoSource && c.setup != RenameCase::kFifoSource) {
            EXPECT_TRUE(HoldsData(from, content));
        }
        return;
    }
    EXPECT_TRUE(HoldsData(to, content));
    if (c.setup == RenameCase::kLinkSource) {
        struct stat st {};
        EXPECT_TRUE(::lstat(to.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) << "the link was not moved itself";
        EXPECT_TRUE(HoldsData(s.Path("target.txt"), content));
    }
    if (c.from != c.to) {
        EXPECT_NE(::access(from.c_str(), F_OK), 0) << "the old name is still there";
    }
}

const RenameCase kRenameCases[] = {
    {"InFolder", "dir/a.txt", "dir/b.txt", RenameCase::kNone, 0, false},
    {"OntoExisting", "dir/a.txt", "dir/b.txt", RenameCase::kExistingTarget, EEXIST, false},
    // Another link of the same file is still another name: refusing is the
    // only outcome that does not report an unchanged folder as renamed.
    {"OntoOwnHardLink", "dir/a.txt", "dir/b.txt", RenameCase::kHardLinkTarget, EEXIST, false},
    {"ToItself", "dir/a.txt", "dir/a.txt", RenameCase::kNone, 0, false},
    {"CaseOnly", "dir/photo.txt", "dir/PHOTO.txt", RenameCase::kNone, 0, false},
    // Where case counts, a name that differs only in case is another file.
    {"OntoOtherCaseOfName", "dir/photo.txt", "dir/PHOTO.txt", RenameCase::kExistingTarget, EEXIST, false},
    {"MissingSource", "dir/a.txt", "dir/b.txt", RenameCase::kNoSource, ENOENT, true},
    {"InvalidUtf8ToValid", "dir/\xff\x80name.txt", "dir/ok.txt", RenameCase::kNone, 0, false},
    {"FifoIsNoFile", "dir/a.txt", "dir/b.txt", RenameCase::kFifoSource, kNotAFileErr, true},
    {"LinkItself", "dir/a.txt", "dir/b.txt", RenameCase::kLinkSource, 0, false},
};

INSTANTIATE_TEST_SUITE_P(Cases, RenameTest,
                         ::testing::Combine(::testing::ValuesIn(kRenameCases), ::testing::ValuesIn(kAllWays)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).label) + "_" +
                                    WaysName(std::get<1>(info.param));
                         });

// On a volume that ignores case (exFAT through FUSE, which gives the two
// spellings of one name different inode numbers) a change of case renames the
// file itself; a name held by another file is still refused.
class CaseBlindRenameTest : public ::testing::TestWithParam<FileOpWays> {};

TEST_P(CaseBlindRenameTest, OwnNameTakenOtherFileRefused) {
    if (!ScratchFolder::IsRoot()) GTEST_SKIP() << "mounting an image needs root";
    ScratchFolder s;
    ASSERT_TRUE(s.ok());
    const std::string stick = s.MountExfat("stick", 8u << 20);
    if (stick.empty())
        GTEST_SKIP() << "no exFAT volume here (mkfs.exfat, exfat-fuse or a loop device missing)";
    const std::string photo = ScratchFolder::Pattern(5000), a = ScratchFolder::Pattern(700, 2);
    ScratchFolder::Write(stick + "/photo.txt", photo);
    ScratchFolder::Write(stick + "/été.txt", "été");
    ScratchFolder::Write(stick + "/a.txt", a);
    ScratchFolder::Write(stick + "/b.txt", "keep me");

    EXPECT_EQ(RenameNoReplace(stick + "/photo.txt", stick + "/PHOTO.txt", GetParam()).err, 0);
    EXPECT_EQ(RenameNoReplace(stick + "/été.txt", stick + "/ÉTÉ.txt", GetParam()).err, 0);
    const NativeOutcome other = RenameNoReplace(stick + "/a.txt", stick + "/B.txt", GetParam());

    EXPECT_EQ(other.err, EEXIST);
    EXPECT_FALSE(other.atSource);
    EXPECT_EQ(ScratchFolder::Names(stick), (std::set<std::string>{"PHOTO.txt", "ÉTÉ.txt", "a.txt", "b.txt"}));
    EXPECT_TRUE(HoldsData(stick + "/PHOTO.txt", photo));
    EXPECT_TRUE(HoldsData(stick + "/a.txt", a));
    EXPECT_TRUE(HoldsData(stick + "/b.txt", "keep me"));
}

INSTANTIATE_TEST_SUITE_P(Ways, CaseBlindRenameTest, ::testing::ValuesIn(kAllWays),
                         [](const auto& info) { return WaysName(info.param); });

// ---------------------------------------------------------------- copy

struct CopyCase {
    const char* label;
    std::size_t size;
    mode_t mode;
    std::string dos;  // user.DOSATTRIB of the source, empty for none
    enum Setup { kNone, kExistingTarget, kNoSource, kToItself, kFifoSource, kAccessList } setup;
    int err;
    bool atSource;
};

void PrintTo(const CopyCase& c, std::ostream* os) { *os << c.label; }

class CopyTest : public ::testing::TestWithParam<std::tuple<CopyCase, FileOpWays>> {};

TEST_P(CopyTest, CopiesCompletelyOrNotAtAll) {
    const auto& [c, ways] = GetParam();
    ScratchFolder s;
    ASSERT_TRUE(s.ok());
    const std::string src = s.Folder("src"), dst = s.Folder("dst");
    const std::string from = src + "/photo.jpg";
    const std::string to = c.setup == CopyCase::kToItself ? from : dst + "/IMG_001.jpg";
    const std::string content = ScratchFolder::Pattern(c.size, 7);
    if (c.setup == CopyCase::kFifoSource) {
        // Opening a FIFO for reading would wait for a writer for ever.
        ::mkfifo(from.c_str(), c.mode);
    } else if (c.setup != CopyCase::kNoSource) {
        ScratchFolder::Write(from, content);
        if (!c.dos.empty()) SetDos(from, c.dos);
        ::chmod(from.c_str(), c.mode);
        if (c.setup == CopyCase::kAccessList) {
            acl_t acl = acl_from_text("u::rw-,u:nobody:r--,g::---,m::r--,o::---");
            ASSERT_EQ(acl_set_file(from.c_str(), ACL_TYPE_ACCESS, acl), 0);
            acl_free(acl);
        }
        SetTimes(from, kOldTime + 5, kOldTime);
    }
    if (c.setup == CopyCase::kExistingTarget) ScratchFolder::Write(to, "keep me");
    const auto dstBefore = ScratchFolder::Names(dst);
    const struct stat srcBefore = Stat(from);

    NativeOutcome o = CopyNoReplace(from, to, ways);

    EXPECT_EQ(o.err, c.err) << std::strerror(o.err);
    if (c.setup == CopyCase::kFifoSource) {
        EXPECT_EQ(ScratchFolder::Names(dst), dstBefore);
        return;
    }
    if (c.setup != CopyCase::kNoSource) {
        // The source keeps its name, data, time and attributes in every case.
        EXPECT_TRUE(HoldsData(from, content));
        const struct stat srcAfter = Stat(from);
        EXPECT_EQ(srcAfter.st_mtim.tv_sec, srcBefore.st_mtim.tv_sec);
        EXPECT_EQ(srcAfter.st_mode, srcBefore.st_mode);
        EXPECT_EQ(ScratchFolder::Xattr(from, "user.DOSATTRIB"), c.dos.empty() ? "<none>" : c.dos);
        EXPECT_EQ(ScratchFolder::Names(src), std::set<std::string>{"photo.jpg"});
    }
    if (c.err != 0) {
        EXPECT_EQ(o.atSource, c.atSource);
        EXPECT_EQ(ScratchFolder::Names(dst), dstBefore) << "a failed copy left something behind";
        if (c.setup == CopyCase::kExistingTarget) {
            EXPECT_TRUE(HoldsData(to, "keep me"));
        }
        return;
    }
    EXPECT_EQ(ScratchFolder::Names(dst), std::set<std::string>{"IMG_001.jpg"});
    EXPECT_TRUE(HoldsData(to, content));
    const struct stat copied = Stat(to);
    EXPECT_EQ(copied.st_mode & 07777, c.mode);
    EXPECT_EQ(copied.st_mtim.tv_sec, kOldTime);
    EXPECT_EQ(ScratchFolder::Xattr(to, "user.DOSATTRIB"), c.dos.empty() ? "<none>" : c.dos);
    EXPECT_EQ(ScratchFolder::Xattr(to, "system.posix_acl_access"), ScratchFolder::Xattr(from, "system.posix_acl_access"));
}

const CopyCase kCopyCases[] = {
    // Larger than any single read, and not a multiple of a block.
    {"LargeFile", (3u << 20) + 17, 0640, "0x20", CopyCase::kNone, 0, false},
    {"EmptyFile", 0, 0644, "", CopyCase::kNone, 0, false},
    {"OntoExisting", 1000, 0644, "", CopyCase::kExistingTarget, EEXIST, false},
    {"OntoItself", 1000, 0644, "", CopyCase::kToItself, EEXIST, false},
    {"FifoIsNoFile", 0, 0644, "", CopyCase::kFifoSource, kNotAFileErr, true},
    {"AccessListKept", 100, 0640, "", CopyCase::kAccessList, 0, false},
};

INSTANTIATE_TEST_SUITE_P(Cases, CopyTest,
                         ::testing::Combine(::testing::ValuesIn(kCopyCases), ::testing::ValuesIn(kAllWays)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).label) + "_" +
                                    WaysName(std::get<1>(info.param));
                         });

// ------------------------------------------- other file systems (root only)

enum class Op { kCopy, kMove };

struct MountCase {
    const char* label;
    Op op;
    std::size_t mountBytes;  // the destination tmpfs
    std::size_t fileBytes;
    bool targetExists;
    bool sourceReadOnlyMount;  // the source lies on a read-only file system
    bool targetReadOnlyMount;
    int err;
};

void PrintTo(const MountCase& c, std::ostream* os) { *os << c.label; }

class OtherFileSystemTest : public ::testing::TestWithParam<std::tuple<MountCase, FileOpWays>> {};

TEST_P(OtherFileSystemTest, NothingLostNothingPartial) {
    const auto& [c, ways] = GetParam();
    if (!ScratchFolder::IsRoot()) GTEST_SKIP() << "mounting a tmpfs needs root";
    ScratchFolder s;
    ASSERT_TRUE(s.ok());
    const std::string dst = s.MountTmpfs("dst", c.mountBytes);
    if (dst.empty()) GTEST_SKIP() << "tmpfs could not be mounted";
    if (!ScratchFolder::HoldsXattrs(dst)) GTEST_SKIP() << "this kernel's tmpfs holds no user attributes";
    const std::string src = c.sourceReadOnlyMount ? s.MountTmpfs("src", 8u << 20) : s.Folder("src");
    ASSERT_FALSE(src.empty());

    const std::string from = src + "/song.mid", to = dst + "/track01.mid";
    const std::string content = ScratchFolder::Pattern(c.fileBytes, 3);
    ScratchFolder::Write(from, content);
    ::chmod(from.c_str(), 0604);
    SetDos(from, "0x4");
    SetTimes(from, kOldTime + 9, kOldTime);
    if (c.targetExists) ScratchFolder::Write(to, "keep me");
    if (c.sourceReadOnlyMount) {
        ASSERT_TRUE(ScratchFolder::RemountReadOnly(src));
    }
    if (c.targetReadOnlyMount) {
        ASSERT_TRUE(ScratchFolder::RemountReadOnly(dst));
    }
    const auto dstBefore = ScratchFolder::Names(dst);

    NativeOutcome o = c.op == Op::kCopy ? CopyNoReplace(from, to, ways) : RenameNoReplace(from, to, ways);

    EXPECT_EQ(o.err, c.err) << std::strerror(o.err);
    if (c.err != 0) {
        EXPECT_TRUE(HoldsData(from, content)) << "the source was harmed";
        EXPECT_EQ(ScratchFolder::Names(dst), dstBefore) << "a partial file was left behind";
        if (c.targetExists) {
            EXPECT_TRUE(HoldsData(to, "keep me"));
        }
        return;
    }
    EXPECT_TRUE(HoldsData(to, content));
    EXPECT_EQ(ScratchFolder::Names(dst), std::set<std::string>{"track01.mid"});
    EXPECT_EQ(Stat(to).st_mode & 07777, 0604u);
    EXPECT_EQ(Stat(to).st_mtim.tv_sec, kOldTime);
    EXPECT_EQ(ScratchFolder::Xattr(to, "user.DOSATTRIB"), "0x4");
    EXPECT_EQ(::access(from.c_str(), F_OK) == 0, c.op == Op::kCopy);
}

const MountCase kMountCases[] = {
    {"MoveAcross", Op::kMove, 8u << 20, 2u << 20, false, false, false, 0},
    {"CopyDiskFull", Op::kCopy, 256u << 10, 2u << 20, false, false, false, ENOSPC},
    // The copy succeeds but the source cannot be removed: the copy goes again.
    {"MoveSourceNotRemovable", Op::kMove, 8u << 20, 1000, false, true, false, EROFS},
};

INSTANTIATE_TEST_SUITE_P(Cases, OtherFileSystemTest,
                         ::testing::Combine(::testing::ValuesIn(kMountCases), ::testing::ValuesIn(kAllWays)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).label) + "_" +
                                    WaysName(std::get<1>(info.param));
                         });

// ---------------------------------------------------------------- time

class ZoneScope {
  public:
    explicit ZoneScope(const char* zone) {
        const char* old = std::getenv("TZ");
        had_ = old != nullptr;
        if (had_) old_ = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ZoneScope() {
        if (had_)
            ::setenv("TZ", old_.c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

  private:
    bool had_ = false;
    std::string old_;
};

struct TimeCase {
    const char* label;
    const char* zone;
    LocalDateTime local;
    long long expected;  // seconds since the epoch; kOldTime = left unchanged
};

void PrintTo(const TimeCase& c, std::ostream* os) { *os << c.label; }

class LastWriteTimeTest : public ::testing::TestWithParam<TimeCase> {};

TEST_P(LastWriteTimeTest, SetsOnlyTheLastWriteTime) {
    const TimeCase& c = GetParam();
    if (::access((std::string("/usr/share/zoneinfo/") + c.zone).c_str(), R_OK) != 0)
        GTEST_SKIP() << "time zone data missing";
    ZoneScope zone(c.zone);
    ScratchFolder s;
    ASSERT_TRUE(s.ok());
    const std::string file = s.Path("f.txt");
    ScratchFolder::Write(file, "x");
    SetTimes(file, kOldTime + 77, kOldTime);

    EXPECT_EQ(SetLastWriteTime(file, c.local), 0);

    const struct stat st = Stat(file);
    EXPECT_EQ(st.st_mtim.tv_sec, c.expected);
    EXPECT_EQ(st.st_atim.tv_sec, kOldTime + 77) << "the access time moved";
}

const TimeCase kTimeCases[] = {
    {"WinterInBerlin", "Europe/Berlin", {2024, 3, 7, 9, 5, 3}, 1709798703},
    // Summer time by the rule of that date, whatever the date of the run.
    {"SummerInBerlin", "Europe/Berlin", {2024, 7, 7, 9, 5, 3}, 1720335903},
    {"LeapDay", "UTC", {2024, 2, 29, 0, 0, 0}, 1709164800},
    {"Month13", "Europe/Berlin", {2024, 13, 1, 0, 0, 0}, kOldTime},
    {"Feb29NoLeap", "Europe/Berlin", {2023, 2, 29, 0, 0, 0}, kOldTime},
    {"Year1600", "Europe/Berlin", {1600, 3, 7, 9, 5, 3}, kOldTime},
};

INSTANTIATE_TEST_SUITE_P(Cases, LastWriteTimeTest, ::testing::ValuesIn(kTimeCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(LastWriteTimeTest, MissingFileIsAFailure) {
    ScratchFolder s;
    ASSERT_TRUE(s.ok());
    EXPECT_EQ(SetLastWriteTime(s.Path("none"), {2024, 3, 7, 9, 5, 3}), ENOENT);
}

// ---------------------------------------------------------------- attributes

struct AttributeCase {
    const char* label;
    mode_t modeBefore;
    std::string dosBefore;
    int mask;
    mode_t modeAfter;
    std::string dosAfter;
};

void PrintTo(const AttributeCase& c, std::ostream* os) { *os << c.label; }

class AttributeTest : public ::testing::TestWithParam<AttributeCase> {};

TEST_P(AttributeTest, MaskReplacesTheFourAttributes) {
    const AttributeCase& c = GetParam();
    ScratchFolder s;
    ASSERT_TRUE(s.ok());
    const std::string file = s.Path("f.txt");
    ScratchFolder::Write(file, "x");
    if (!c.dosBefore.empty()) SetDos(file, c.dosBefore);
    ::chmod(file.c_str(), c.modeBefore);

    ASSERT_EQ(SetAttributes(file, c.mask), 0);

    EXPECT_EQ(Stat(file).st_mode & 07777, c.modeAfter);
    EXPECT_EQ(ScratchFolder::Xattr(file, "user.DOSATTRIB"), c.dosAfter);
    EXPECT_EQ(GetAttributes(file), c.mask);
}

const AttributeCase kAttributeCases[] = {
    {"ReadOnlyOwnerOnly", 0600, "", kAttrReadOnly, 0400, "<none>"},
    {"AllFour", 0644, "", 39, 0444, "0x26"},
    {"NoneClearsEverything", 0444, "0x26", 0, 0644, "<none>"},
    // A writable file keeps its own write bits when read-only is cleared.
    {"ClearingKeepsGroupWrite", 0664, "", 0, 0664, "<none>"},
};

INSTANTIATE_TEST_SUITE_P(Cases, AttributeTest, ::testing::ValuesIn(kAttributeCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(AttributeTest, MissingFile) {
    ScratchFolder s;
    ASSERT_TRUE(s.ok());
    EXPECT_EQ(SetAttributes(s.Path("none"), kAttrHidden), ENOENT);
    EXPECT_EQ(GetAttributes(s.Path("none")), -1);
}

// ---------------------------------------------------------------- the interface

// What the engine sees: the code of the failure and the path it concerns.
struct InterfaceCase {
    const char* label;
    enum Action { kRename, kCopy, kMakeDirectory } action;
    std::string from, to;  // relative to the scratch folder; "x.txt" exists there
    int code;
    bool aboutSource;
};

void PrintTo(const InterfaceCase& c, std::ostream* os) { *os << c.label; }

class InterfaceTest : public ::testing::TestWithParam<InterfaceCase> {};

TEST_P(InterfaceTest, CodeAndPathOfTheFailure) {
    const InterfaceCase& c = GetParam();
    ScratchFolder s;
    ASSERT_TRUE(s.ok());
    ScratchFolder::Write(s.Path("x.txt"), "x");
    s.Folder("sub");
    PosixFileSystem files;
    const std::u16string from = FromNative(s.Path(c.from)), to = FromNative(s.Path(c.to));

    FsResult r = c.action == InterfaceCase::kRename ? files.Rename(from, to)
                 : c.action == InterfaceCase::kCopy ? files.Copy(from, to)
                                                    : files.MakeDirectory(to);

    EXPECT_EQ(r.code, c.code);
    EXPECT_NE(access(s.Path("ab").c_str(), F_OK), 0) << "a shortened name was created";
    if (c.code != kFsOk) {
        EXPECT_EQ(r.path, c.aboutSource ? from : to);
        EXPECT_NE(r.osError, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InterfaceTest,
    ::testing::Values(
        InterfaceCase{"RenameMissingSource", InterfaceCase::kRename, "none.txt", "y.txt", kFsFileNotFound,
                      true},
        InterfaceCase{"CopyAFolder", InterfaceCase::kCopy, "sub", "y", kFsNotAFile, true},
        InterfaceCase{"CopyIntoMissingFolder", InterfaceCase::kCopy, "x.txt", "none/y.txt", kFsFileNotFound,
                      false},
        InterfaceCase{"FolderExists", InterfaceCase::kMakeDirectory, "", "sub", kFsAlreadyExists, false},
        // A NUL would cut the name short at the system call and address "ab".
        InterfaceCase{"RenameToNameWithNul", InterfaceCase::kRename, "x.txt", std::string("ab\0cd", 5),
                      kFsGeneric, false},
        InterfaceCase{"FolderWithNul", InterfaceCase::kMakeDirectory, "", std::string("ab\0cd", 5), kFsGeneric,
                      false}),
    [](const auto& info) { return std::string(info.param.label); });

// ---------------------------------------------------------------- stale temporaries

// What an interrupted copy may have left, and what merely looks like it.
struct LeftoverCase {
    const char* label;
    enum Maker { kDeadProcess, kThisProcess, kLockedByLiveProcess, kNotOurName, kFolder, kLink } maker;
    bool removed;
};

void PrintTo(const LeftoverCase& c, std::ostream* os) { *os << c.label; }

class LeftoverTest : public ::testing::TestWithParam<LeftoverCase> {};

pid_t DeadPid() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

TEST_P(LeftoverTest, OnlyFilesOfGoneProcessesAreRemoved) {
    const LeftoverCase& c = GetParam();
    ScratchFolder s;
    ASSERT_TRUE(s.ok());
    const pid_t pid = c.maker == LeftoverCase::kThisProcess ? ::getpid() : DeadPid();
    std::string name = std::string(kTempPrefix) + std::to_string(pid) + "-a1B2c3";
    if (c.maker == LeftoverCase::kNotOurName) name += "x";
    const std::string path = s.Path(name);
    if (c.maker == LeftoverCase::kFolder) {
        s.Folder(name);
    } else if (c.maker == LeftoverCase::kLink) {
        ScratchFolder::Write(s.Path("user.txt"), "the user's");
        ::symlink("user.txt", path.c_str());
    } else {
        ScratchFolder::Write(path, "partial");
    }
    // A process that still holds the lock is at work, whatever its number.
    int pipeFds[2] = {-1, -1};
    pid_t holder = -1;
    if (c.maker == LeftoverCase::kLockedByLiveProcess) {
        ASSERT_EQ(::pipe(pipeFds), 0);
        holder = ::fork();
        if (holder == 0) {
            const int fd = ::open(path.c_str(), O_RDONLY);
            ::flock(fd, LOCK_EX);
            const char go = 0;
            ::write(pipeFds[1], &go, 1);
            ::pause();  // until the parent kills it
            ::_exit(0);
        }
        char ready = 0;
        ASSERT_EQ(::read(pipeFds[0], &ready, 1), 1);
    }

    RemoveStaleTemporaries(s.root());

    EXPECT_EQ(::access(path.c_str(), F_OK) != 0, c.removed);
    if (c.maker == LeftoverCase::kLink) {
        EXPECT_TRUE(HoldsData(s.Path("user.txt"), "the user's"));
    }
    if (holder > 0) {
        ::kill(holder, SIGKILL);
        ::waitpid(holder, nullptr, 0);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, LeftoverTest,
                         ::testing::Values(LeftoverCase{"DeadProcess", LeftoverCase::kDeadProcess, true},
                                           LeftoverCase{"ThisProcess", LeftoverCase::kThisProcess, false},
                                           LeftoverCase{"LockHeld", LeftoverCase::kLockedByLiveProcess, false},
                                           LeftoverCase{"NotOurName", LeftoverCase::kNotOurName, false},
                                           LeftoverCase{"Folder", LeftoverCase::kFolder, false},
                                           LeftoverCase{"Link", LeftoverCase::kLink, false}),
                         [](const auto& info) { return std::string(info.param.label); });

// ---------------------------------------------------------------- where volumes keep attributes

struct StoreCase {
    const char* label;
    enum Kind { kTmpfs, kRamfs, kNtfs, kBindfs, kExfat } kind;
    AttributeStore store;
    int kept;
};

void PrintTo(const StoreCase& c, std::ostream* os) { *os << c.label; }

class VolumeStoreTest : public ::testing::TestWithParam<StoreCase> {};

TEST_P(VolumeStoreTest, DecidedFromTheVolumeItself) {
    const StoreCase& c = GetParam();
    if (!ScratchFolder::IsRoot()) GTEST_SKIP() << "mounting file systems needs root";
    ScratchFolder s;
    ASSERT_TRUE(s.ok());
    std::string where;
    switch (c.kind) {
        case StoreCase::kTmpfs:
            where = s.MountTmpfs("v", 1u << 20);
            if (!where.empty() && !ScratchFolder::HoldsXattrs(where)) GTEST_SKIP() << "tmpfs without user attributes";
            break;
        case StoreCase::kRamfs:
            where = s.MountRamfs("v");
            break;
        case StoreCase::kNtfs:
            where = s.MountNtfs("v", 8u << 20);
            break;
        case StoreCase::kBindfs:
            where = s.MountBindfs("v", "under");
            break;
        case StoreCase::kExfat:
            where = s.MountExfat("v", 8u << 20);
            break;
    }
    if (where.empty()) GTEST_SKIP() << c.label << " could not be mounted here";

    EXPECT_EQ(DecideAttributeStore(where), c.store);
    EXPECT_EQ(KeptAttributes(c.store), c.kept);
    // What is kept reads back; what is not is refused, never dropped.
    const std::string file = where + "/f.txt";
    ScratchFolder::Write(file, "x");
    const int all = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;
    EXPECT_EQ(SetAttributes(file, all) == 0, c.kept == all);
    ASSERT_EQ(SetAttributes(file, c.kept), 0);
    EXPECT_EQ(GetAttributes(file), c.kept);
}

constexpr int kAllFour = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;

INSTANTIATE_TEST_SUITE_P(
    Volumes, VolumeStoreTest,
    ::testing::Values(StoreCase{"Tmpfs", StoreCase::kTmpfs, AttributeStore::kDosAttrib, kAllFour},
                      StoreCase{"Ramfs", StoreCase::kRamfs, AttributeStore::kWriteBits, kAttrReadOnly},
                      StoreCase{"Ntfs", StoreCase::kNtfs, AttributeStore::kNtfsWord, kAllFour},
                      StoreCase{"Bindfs", StoreCase::kBindfs, AttributeStore::kDosAttrib, kAllFour},
                      // exfat-fuse takes a change of mode and keeps nothing.
                      StoreCase{"ExfatFuse", StoreCase::kExfat, AttributeStore::kNothing, 0}),
    [](const auto& info) { return std::string(info.param.label); });

// ---------------------------------------------------------------- FAT's attribute byte

// The kernel's vfat keeps the four attributes in the directory entry, reached
// by ioctl. Where this kernel has no vfat the calls are swapped for a byte
// kept per file, so the road (keep the other bits, read back what was set)
// is still taken.
class FatSeam {
  public:
    FatSeam() : saved_(Volume()) {
        Volume().fsType = [](const char*) -> long { return 0x4d44; };
        Volume().getFat = [](int fd, std::uint32_t* a) {
            *a = Bytes()[Key(fd)];
            return 0;
        };
        Volume().setFat = [](int fd, std::uint32_t a) {
            Bytes()[Key(fd)] = a;
            return 0;
        };
    }
    ~FatSeam() { Volume() = saved_; }
    static std::map<ino_t, std::uint32_t>& Bytes() {
        static std::map<ino_t, std::uint32_t> bytes;
        return bytes;
    }

  private:
    static ino_t Key(int fd) {
        struct stat st {};
        ::fstat(fd, &st);
        return st.st_ino;
    }
    VolumeCalls saved_;
};

TEST(FatAttributes, TheByteTakesTheFourBitsAndKeepsTheRest) {
    ScratchFolder s;
    ASSERT_TRUE(s.ok());
    const std::string file = s.Path("f.txt");
    ScratchFolder::Write(file, "x");
    FatSeam fat;
    FatSeam::Bytes()[Stat(file).st_ino] = 0x20 | 0x08;  // archive, and a bit that is not ours
    const mode_t mode = Stat(file).st_mode;

    EXPECT_EQ(DecideAttributeStore(s.root()), AttributeStore::kFatWord);
    ASSERT_EQ(SetAttributes(file, kAttrReadOnly | kAttrSystem), 0);

    EXPECT_EQ(FatSeam::Bytes()[Stat(file).st_ino], 0x01u | 0x04u | 0x08u);
    EXPECT_EQ(GetAttributes(file), kAttrReadOnly | kAttrSystem);
    EXPECT_EQ(Stat(file).st_mode, mode) << "the byte alone carries read-only on FAT";
}

}  // namespace
}  // namespace zv::posix
