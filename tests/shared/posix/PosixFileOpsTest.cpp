// The file operations on real folders: nothing is ever replaced, a failed copy
// leaves nothing behind, a failed move leaves the source where it was.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <set>
#include <string>

#include "ScratchFolder.h"
#include "shared/FileSystem.h"
#include "shared/NativeName.h"
#include "shared/posix/PosixFileOps.h"
#include "shared/posix/PosixFileSystem.h"

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
    enum Setup { kNone, kExistingTarget, kHardLinkTarget, kNoSource } setup;
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
    if (c.setup != RenameCase::kNoSource) ScratchFolder::Write(from, content);
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
        if (c.setup != RenameCase::kNoSource) {
            EXPECT_TRUE(HoldsData(from, content));
        }
        return;
    }
    EXPECT_TRUE(HoldsData(to, content));
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
    enum Setup { kNone, kExistingTarget, kNoSource, kToItself } setup;
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
    if (c.setup != CopyCase::kNoSource) {
        ScratchFolder::Write(from, content);
        if (!c.dos.empty()) SetDos(from, c.dos);
        ::chmod(from.c_str(), c.mode);
        SetTimes(from, kOldTime + 5, kOldTime);
    }
    if (c.setup == CopyCase::kExistingTarget) ScratchFolder::Write(to, "keep me");
    const auto dstBefore = ScratchFolder::Names(dst);
    const struct stat srcBefore = Stat(from);

    NativeOutcome o = CopyNoReplace(from, to, ways);

    EXPECT_EQ(o.err, c.err) << std::strerror(o.err);
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
}

const CopyCase kCopyCases[] = {
    // Larger than any single read, and not a multiple of a block.
    {"LargeFile", (3u << 20) + 17, 0640, "0x20", CopyCase::kNone, 0, false},
    {"EmptyFile", 0, 0644, "", CopyCase::kNone, 0, false},
    {"OntoExisting", 1000, 0644, "", CopyCase::kExistingTarget, EEXIST, false},
    {"OntoItself", 1000, 0644, "", CopyCase::kToItself, EEXIST, false},
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

}  // namespace
}  // namespace zv::posix
