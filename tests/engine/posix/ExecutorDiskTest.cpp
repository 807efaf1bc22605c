// The real run on real folders and on the file systems users plug in (tmpfs,
// ramfs, an NTFS image through ntfs-3g, bindfs, exFAT, mounted by the tests
// when they run as root): rename, copy and move with time stamp and
// attributes, names that are not valid UTF-8, thousands of files renumbered
// in place, failures part-way, and every kind of entry a selected name may
// have become. Nothing outside the selection may change and nothing be lost.
#include <acl/libacl.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "engine/EngineFakes.h"
#include "shared/posix/ScratchFolder.h"

namespace zv::test {
namespace {

inline constexpr long long kOldTime = 1000000000;
inline const LocalDateTime kStamp{2024, 3, 7, 9, 5, 3};  // what the window's time-stamp boxes hold

inline LocalDateTime ToLocal(std::time_t t) {
    std::tm tm{};
    ::localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}
inline const LocalDateTime kOld = ToLocal(kOldTime);
// The entry's own time (a link's, not its target's), as a local time.
inline LocalDateTime LocalTime(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return ToLocal(st.st_mtim.tv_sec);
}
inline void SetOldTime(const std::string& path) {
    struct timespec times[2] = {{kOldTime, 0}, {kOldTime, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}
inline int Attributes(const std::string& path) { return NativeFileSystem().GetAttributes(FromNative(path)); }

struct DiskRig {
    ScratchFolder scratch;
    FakeWindow ui;
    FixedClock clock{LocalDateTime{2025, 11, 30, 23, 59, 8}};
    ConversionEngine engine{EnginePorts{ui, ui, ui, clock, NativeFileSystem(), ui, ui}};

    void Job(const std::string& source, const std::string& destination, const Controls& controls) {
        ui.Set({{"F_Dir", FromNative(source)}, {"A_Dir", FromNative(destination)}});
        ui.Set(controls);
    }
    // Creates the files (content = name + pattern) and selects them all.
    void Files(const std::string& folder, const std::vector<std::string>& names) {
        Names listed;
        for (const auto& n : names) {
            ScratchFolder::Write(folder + "/" + n,
                                 n + ScratchFolder::Pattern(3000, static_cast<unsigned>(n.size())));
            SetOldTime(folder + "/" + n);
            listed.push_back(FromNative(n));
        }
        ui.SelectAll(listed);
    }
};

enum class Where { kSame, kFolder, kTmpfs, kSmallTmpfs, kReadOnly, kExfat };
enum class Trouble { kNone, kTakenMeanwhile, kDiskFull };

struct RunCase {
    const char* label;
    Where where;
    Controls controls;
    std::vector<std::string> from, to;  // native names before and after, in list order
    int attributes = 0;                 // of the new files; -1: not looked at
    bool time = false;                  // stamped
    Trouble trouble = Trouble::kNone;
    std::u16string message = u"";  // of the failure: on row 3, or on row 1 into a read-only folder
};
void PrintTo(const RunCase& c, std::ostream* os) { *os << c.label; }

class DiskRunTest : public testing::TestWithParam<RunCase> {};

// Rows before a failure are done, with their data, time and attributes; rows
// from it on keep their source untouched; nothing is lost or overwritten.
TEST_P(DiskRunTest, RowsBeforeAFailureAreDoneTheRestUntouched) {
    const RunCase& c = GetParam();
    DiskRig rig;
    ASSERT_TRUE(rig.scratch.ok());
    std::string src = rig.scratch.Folder("src"),
                dst = c.where == Where::kSame ? src : rig.scratch.Folder("dst");
    if (c.where >= Where::kTmpfs && ScratchFolder::IsRoot()) {
        dst = c.where == Where::kExfat
                  ? rig.scratch.MountExfat("dst", 8u << 20)
                  : rig.scratch.MountTmpfs("dst", c.where == Where::kTmpfs ? 8u << 20 : 1u << 20);
        if (dst.empty())
            GTEST_SKIP() << "the file system could not be mounted here (exfat-fuse, loop device)";
        if (c.where != Where::kExfat && !ScratchFolder::HoldsXattrs(dst))
            GTEST_SKIP() << "tmpfs without user xattrs";
        // Root passes permission checks; a read-only mount stops everyone.
        if (c.where == Where::kReadOnly && !ScratchFolder::RemountReadOnly(dst))
            GTEST_SKIP() << "no read-only mount";
    } else if (c.where == Where::kReadOnly) {
        ::chmod(dst.c_str(), 0555);
    } else if (c.where >= Where::kTmpfs) {
        GTEST_SKIP() << "mounting needs root";
    }
    if (c.where == Where::kExfat) src = dst;
    rig.Job(src, dst, c.controls);
    rig.Files(src, c.from);
    if (c.trouble == Trouble::kDiskFull)
        ScratchFolder::Write(src + "/a3.txt", ScratchFolder::Pattern(3u << 20));
    std::vector<std::string> content;
    for (const auto& n : c.from) content.push_back(ScratchFolder::Read(src + "/" + n));
    // The check refuses a name taken beforehand: another program takes it
    // while the run is under way.
    if (c.trouble == Trouble::kTakenMeanwhile) {
        rig.ui.onEvents = [&] {
            if (::access((dst + "/b1.txt").c_str(), F_OK) == 0 &&
                ::access((dst + "/b3.txt").c_str(), F_OK) != 0)
                ScratchFolder::Write(dst + "/b3.txt", "keep me");
        };
    }
    const bool copy = rig.ui.Value("Opt_Cpymov(0)") != 0 && src != dst;
    const std::size_t failing = c.message.empty() ? c.from.size() : c.where == Where::kReadOnly ? 0 : 2;

    EXPECT_EQ(rig.engine.RealRun(), c.message.empty() ? kGoOn : kStop);

    ASSERT_EQ(rig.ui.shown.size(), c.message.empty() ? 1u : 2u) << ToUtf8(rig.ui.shown.back().prompt);
    EXPECT_EQ(rig.ui.shown.back(), (c.message.empty() ? kQuestion : Box{u"ファイルエラー", c.message}));
    for (std::size_t i = 0; i < c.from.size(); ++i) {
        const std::string from = src + "/" + c.from[i], to = dst + "/" + c.to[i];
        SCOPED_TRACE(to);
        if (i < failing) {
            EXPECT_TRUE(HoldsData(to, content[i]));
            EXPECT_EQ(LocalTime(to), c.time ? kStamp : kOld);
            EXPECT_EQ(c.attributes < 0 ? -1 : Attributes(to), c.attributes);
            // Copied, the source stays; that it stays as it was is the file system's test.
            if (src == dst) continue;
            EXPECT_EQ(::access(from.c_str(), F_OK) == 0, copy);
        } else {
            EXPECT_TRUE(HoldsData(from, content[i])) << "lost its source";
            if (i == 2 && c.trouble == Trouble::kTakenMeanwhile)
                EXPECT_TRUE(HoldsData(to, "keep me")) << "an existing file was overwritten";
            else
                EXPECT_NE(::access(to.c_str(), F_OK), 0) << "something left there";
        }
    }
    // No temporary or partial copy left anywhere.
    for (const auto& name : ScratchFolder::Names(dst)) EXPECT_NE(name[0], '.') << name;
    const std::set<std::string> all(c.to.begin(), c.to.end());
    EXPECT_EQ(c.message.empty() ? ScratchFolder::Names(dst) : all, all);
}

const std::vector<std::string> kThree{"c.jpg", "a.jpg", "b.jpg"},
    kImg{"IMG_001.jpg", "IMG_002.jpg", "IMG_003.jpg"};
const std::vector<std::string> kA{"a1.txt", "a2.txt", "a3.txt", "a4.txt", "a5.txt"};
const std::vector<std::string> kB{"b1.txt", "b2.txt", "b3.txt", "b4.txt", "b5.txt"};
const std::u16string k1 = u"1", kExists = u"同名のファイル名がすでに存在します。",
                     kFull = u"ディスクの容量不足です。";
Controls With(Controls a, const Controls& b) { return a.insert(a.end(), b.begin(), b.end()), a; }
// clang-format off
const Controls kNumber{{"Txt_B_text", u"IMG_"}, {"Lbl_keta", u"3"}}, kMove{{"Opt_Cpymov(0)", u"0"}};
const Controls kHide{{"Chk_syori(1)", k1}, {"Txt_B_text", u"a"}, {"Txt_A_text", u"b"}, {"Chk_Attrib", k1}, {"Chk_Att_Set(1)", k1}};
// clang-format on

// Thousands of numbered files, in list order or reversed.
std::vector<std::string> Numbered(int first, int count, bool reverse = false) {
    std::vector<std::string> names;
    char buf[16];
    for (int k = 0; k < count; ++k) {
        std::snprintf(buf, sizeof buf, "%05d.dat", reverse ? first + count - 1 - k : first + k);
        names.push_back(buf);
    }
    return names;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Runs, DiskRunTest, testing::Values(
    RunCase{"CopyTimeAndHidden", Where::kFolder, With(kNumber, {{"Chk_DateLock", k1}, {"Chk_Attrib", k1}, {"Chk_Att_Set(1)", k1}}),
            kThree, kImg, kAttrHidden, true},
    RunCase{"CopyAllAttributes", Where::kFolder, With(kNumber, {{"Chk_Attrib", k1}, {"Chk_Att_Set(0)", k1}, {"Chk_Att_Set(1)", k1},
            {"Chk_Att_Set(2)", k1}, {"Chk_Att_Set(3)", k1}}), kThree, kImg, 39},
    RunCase{"MoveTimeAndSystemArchive", Where::kFolder, With(kNumber, {{"Opt_Cpymov(0)", u"0"}, {"Chk_DateLock", k1},
            {"Chk_Attrib", k1}, {"Chk_Att_Set(2)", k1}, {"Chk_Att_Set(3)", k1}}), kThree, kImg, kAttrSystem | kAttrArchive, true},
    RunCase{"MoveAcrossFileSystems", Where::kTmpfs, With(kNumber, {{"Opt_Cpymov(0)", u"0"}, {"Chk_DateLock", k1},
            {"Chk_Attrib", k1}, {"Chk_Att_Set(0)", k1}, {"Chk_Att_Set(3)", k1}}), kThree, kImg, 33, true},
    RunCase{"NumberingDropsBadBytes", Where::kSame, kNumber, {"\xff\xfe.jpg"}, {"IMG_001.jpg"}},
    RunCase{"AppendKeepsBadBytes", Where::kSame, {{"Chk_syori(0)", k1}, {"Txt_B_text", u"new_"}}, {"x\xff.jpg"}, {"new_x\xff.jpg"}},
    RunCase{"ReplaceNextToBadBytes", Where::kSame, {{"Chk_syori(1)", k1}, {"Txt_B_text", u"abc"}, {"Txt_A_text", u"z"}},
            {"\xe3\x81" "abc.txt"}, {"\xe3\x81" "z.txt"}},
    RunCase{"ValidJapaneseToo", Where::kSame, {{"Chk_syori(1)", k1}, {"Txt_B_text", u"写真"}, {"Txt_A_text", u"photo"}},
            {"写真01.jpg"}, {"photo01.jpg"}},
    // A USB stick's file system ignores case: a change of case only renames.
    RunCase{"ExfatCaseOnly", Where::kExfat, {{"Chk_syori(1)", k1}, {"Txt_B_text", u"photo"}, {"Txt_A_text", u"PHOTO"}},
            {"photo.txt", "memo.txt"}, {"PHOTO.txt", "memo.txt"}, -1},
    // Each name free when taken; the reversal swaps through a temporary name.
    RunCase{"RenumberUp", Where::kSame, {{"Lbl_keta", u"5"}, {"Txt_Startnum", u"2"}}, Numbered(1, 3000), Numbered(2, 3000)},
    RunCase{"RenumberDown", Where::kSame, {{"Lbl_keta", u"5"}}, Numbered(2, 3000), Numbered(1, 3000)},
    RunCase{"RenumberReversed", Where::kSame, {{"Lbl_keta", u"5"}}, Numbered(1, 3000, true), Numbered(1, 3000)},
    RunCase{"InPlaceOntoExisting", Where::kSame, kHide, kA, kB, kAttrHidden, false, Trouble::kTakenMeanwhile, kExists},
    RunCase{"CopyOntoExisting", Where::kFolder, kHide, kA, kB, kAttrHidden, false, Trouble::kTakenMeanwhile, kExists},
    RunCase{"CopyDiskFull", Where::kSmallTmpfs, kHide, kA, kB, kAttrHidden, false, Trouble::kDiskFull, kFull},
    RunCase{"MoveDiskFull", Where::kSmallTmpfs, With(kHide, kMove), kA, kB, kAttrHidden, false, Trouble::kDiskFull, kFull},
    RunCase{"MoveIntoReadOnly", Where::kReadOnly, With(kHide, kMove), kA, kB, kAttrHidden, false, Trouble::kNone,
            u"書き込みができません。"}),
    [](const auto& info) { return std::string(info.param.label); });
// clang-format on

// ------------------------------------------------ every kind of entry on every volume

enum class Volume { kDisk, kTmpfs, kRamfs, kNtfs, kBindfs };
enum class Op { kRename, kCopy, kMove, kMoveAcross };
enum class Stamp { kNone, kTime, kTimeAndAttributes };
enum class Entry { kFile, kLinkToFile, kDanglingLink, kLinkToFolder, kFolder, kFifo, kHardLink };

constexpr const char* kVolumeNames[] = {"Disk", "Tmpfs", "Ramfs", "Ntfs", "Bindfs"};
constexpr const char* kOpNames[] = {"Rename", "Copy", "Move", "MoveAcross"};
constexpr const char* kStampNames[] = {"Plain", "Time", "TimeAttributes"};
constexpr const char* kEntryNames[] = {"File",   "LinkToFile", "DanglingLink", "LinkToFolder",
                                       "Folder", "Fifo",       "HardLink"};
constexpr int kMask = kAttrHidden | kAttrArchive;

// One entry as the test sees it, links not followed.
struct Record {
    char type = '?';
    mode_t mode = 0;
    long long mtime = 0;  // not for folders: their entries change it
    std::string content, linkText;
    std::map<std::string, std::string> xattrs;  // access lists included
    int attributes = -1;
    bool operator==(const Record&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Record& r) {
    os << r.type << " mode " << std::oct << r.mode << std::dec << " mtime " << r.mtime << " attrs "
       << r.attributes << " bytes " << r.content.size() << " link '" << r.linkText << "' xattrs";
    for (const auto& [k, v] : r.xattrs) os << " " << k << "(" << v.size() << ")";
    return os;
}

Record Examine(const std::string& path) {
    Record r;
    struct stat st {};
    ::lstat(path.c_str(), &st);
    r.mode = st.st_mode & 07777;
    r.type = S_ISREG(st.st_mode) ? 'f' : S_ISLNK(st.st_mode) ? 'l' : S_ISDIR(st.st_mode) ? 'd' : 'p';
    if (r.type == 'f') r.content = ScratchFolder::Read(path), r.attributes = Attributes(path);
    if (r.type == 'l') r.linkText = std::filesystem::read_symlink(path).string();
    if (r.type != 'd') r.mtime = st.st_mtim.tv_sec;
    char names[4096], value[1024];
    const ssize_t n = ::llistxattr(path.c_str(), names, sizeof names);
    for (ssize_t pos = 0; pos < n; pos += static_cast<ssize_t>(std::strlen(names + pos)) + 1) {
        const ssize_t len = ::lgetxattr(path.c_str(), names + pos, value, sizeof value);
        r.xattrs[names + pos] = len < 0 ? "?" : std::string(value, static_cast<std::size_t>(len));
    }
    return r;
}

using Tree = std::map<std::string, Record>;

// Every entry below root, by path relative to it; the folder a bindfs shows
// is seen through the mount only.
Tree Snapshot(const std::string& root) {
    Tree tree;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        const std::string rel = it->path().lexically_relative(root).string();
        if (rel == "under" || rel.ends_with(".img"))
            it.disable_recursion_pending();
        else
            tree[rel] = Examine(it->path().string());
    }
    return tree;
}

// Names only the entries that differ.
testing::AssertionResult SameTree(const Tree& got, const Tree& want) {
    std::ostringstream diff;
    for (const auto& [path, r] : want) {
        auto it = got.find(path);
        if (it == got.end())
            diff << "\n  missing " << path;
        else if (!(it->second == r))
            diff << "\n  " << path << ": " << it->second << "\n    expected " << r;
    }
    for (const auto& [path, r] : got)
        if (!want.count(path)) diff << "\n  unexpected " << path << ": " << r;
    if (diff.str().empty()) return testing::AssertionSuccess();
    return testing::AssertionFailure() << diff.str();
}

bool IsLink(Entry e) {
    return e == Entry::kLinkToFile || e == Entry::kDanglingLink || e == Entry::kLinkToFolder;
}

// The selected name (source/sel.txt), a neighbour, a link target and the
// hard link's other name (in elsewhere).
void Build(Entry entry, const std::string& source, const std::string& elsewhere) {
    std::filesystem::create_directories(source);
    std::filesystem::create_directories(elsewhere + "/folder");
    ScratchFolder::Write(source + "/keep.txt", "a neighbour");
    ScratchFolder::Write(elsewhere + "/target.txt", "the target of a link");
    ::chmod((elsewhere + "/target.txt").c_str(), 0640);
    SetOldTime(elsewhere + "/target.txt");
    const std::string sel = source + "/sel.txt";
    const std::string up = std::filesystem::path(elsewhere).lexically_relative(source).string();
    if (entry == Entry::kFile || entry == Entry::kHardLink) {
        const std::string file = entry == Entry::kFile ? sel : elsewhere + "/shared.txt";
        ScratchFolder::Write(file, "the selected data");
        ::chmod(file.c_str(), 0600);
        ::setxattr(file.c_str(), "user.note", "kept", 4, 0);
        // Only group:: --- and a named user: the mask shows rw- in the group
        // bits, which a careless copy turns into real group rights.
        if (acl_t acl = acl_from_text("u::rw-,u:nobody:rw-,g::---,m::rw-,o::---")) {
            acl_set_file(file.c_str(), ACL_TYPE_ACCESS, acl);
            acl_free(acl);
        }
        SetOldTime(file);
        if (entry == Entry::kHardLink) ::link(file.c_str(), sel.c_str());
    }
    const char* target = entry == Entry::kLinkToFile     ? "/target.txt"
                         : entry == Entry::kDanglingLink ? "/gone.txt"
                         : entry == Entry::kLinkToFolder ? "/folder"
                                                         : nullptr;
    if (target) ::symlink((up + target).c_str(), sel.c_str()), SetOldTime(sel);
    if (entry == Entry::kFolder) std::filesystem::create_directories(sel);
    if (entry == Entry::kFifo) ::mkfifo(sel.c_str(), 0644);
}

// Volume, Op and Stamp as numbers: they index the name tables the test names are made of.
class VolumeRunTest : public testing::TestWithParam<std::tuple<int, int, int>> {};

TEST_P(VolumeRunTest, OnlyTheSelectionChanges) {
    const Volume volume = static_cast<Volume>(std::get<0>(GetParam()));
    const Op op = static_cast<Op>(std::get<1>(GetParam()));
    const Stamp stamp = static_cast<Stamp>(std::get<2>(GetParam()));
    if (!ScratchFolder::IsRoot()) GTEST_SKIP() << "mounting file systems needs root";
    DiskRig rig;
    ASSERT_TRUE(rig.scratch.ok());
    const std::string vol = volume == Volume::kDisk    ? rig.scratch.Folder("vol")
                            : volume == Volume::kTmpfs ? rig.scratch.MountTmpfs("vol", 4u << 20)
                            : volume == Volume::kRamfs ? rig.scratch.MountRamfs("vol")
                            : volume == Volume::kNtfs  ? rig.scratch.MountNtfs("vol", 8u << 20)
                                                       : rig.scratch.MountBindfs("vol", "under");
    if (vol.empty()) GTEST_SKIP() << kVolumeNames[static_cast<int>(volume)] << " could not be mounted here";
    // A move across takes the files from another file system onto the volume.
    std::string other;
    if (op == Op::kMoveAcross) {
        other =
            volume == Volume::kDisk ? rig.scratch.MountTmpfs("other", 4u << 20) : rig.scratch.Folder("other");
        if (other.empty()) GTEST_SKIP() << "no second file system";
    }
    const bool copy = op == Op::kCopy;
    const bool keepsHidden = volume != Volume::kRamfs;
    // Where the copy lands, mode and access list survive only on volumes
    // that hold them.
    const bool keepsPermissions =
        volume == Volume::kDisk || volume == Volume::kTmpfs || volume == Volume::kBindfs;
    const std::string root = rig.scratch.root();
    const auto rel = [&](const std::string& path) {
        return std::filesystem::path(path).lexically_relative(root).string();
    };

    for (int e = 0; e < 7; ++e) {
        const Entry entry = static_cast<Entry>(e);
        SCOPED_TRACE(kEntryNames[e]);
        const std::string base = (op == Op::kMoveAcross ? other : vol) + "/" + kEntryNames[e];
        const std::string src = base + "/src";
        const std::string dst = op == Op::kRename ? src : vol + "/" + kEntryNames[e] + "/dst";
        Build(entry, src, base + "/elsewhere");
        std::filesystem::create_directories(dst);
        rig.ui.shown.clear();
        rig.Job(src, dst,
                {{"Chk_syori(0)", u"1"},
                 {"Txt_B_text", u"new_"},
                 {"Opt_Cpymov(0)", copy ? u"-1" : u"0"},
                 {"Chk_DateLock", stamp != Stamp::kNone ? u"1" : u"0"},
                 {"Chk_Attrib", stamp == Stamp::kTimeAndAttributes ? u"1" : u"0"},
                 {"Chk_Att_Set(1)", u"1"},
                 {"Chk_Att_Set(3)", u"1"}});
        rig.ui.SelectAll({u"sel.txt"});
        const Tree before = Snapshot(root);

        rig.engine.RealRun();  // what it returns is the in-memory runs' test

        const bool refused =
            entry == Entry::kFolder || entry == Entry::kFifo ||
            (copy && (entry == Entry::kDanglingLink || entry == Entry::kLinkToFolder)) ||
            (stamp == Stamp::kTimeAndAttributes && (!keepsHidden || (IsLink(entry) && !copy)));
        ASSERT_EQ(rig.ui.shown.size(), refused ? 2u : 1u) << ToUtf8(rig.ui.shown.back().prompt);
        Tree expected = before;
        const std::string from = rel(src + "/sel.txt"), to = rel(dst + "/new_sel.txt");
        // Where the selected data live: a copy of a link copies its target.
        const std::string data = entry == Entry::kLinkToFile ? rel(base + "/elsewhere/target.txt") : from;
        std::set<std::string> stamped;  // entries whose mode and attributes the run sets
        if (!refused) {
            expected[to] = before.at(copy ? data : from);
            if (!copy) expected.erase(from);
            // Hard links share one file: what a rename sets, the other name shows.
            if (entry == Entry::kHardLink && (op == Op::kRename || op == Op::kMove) && stamp != Stamp::kNone)
                stamped.insert(rel(base + "/elsewhere/shared.txt"));
            if (stamp != Stamp::kNone) stamped.insert(to);
        }
        Tree after = Snapshot(root);
        const bool landedCopy = !refused && (copy || (op == Op::kMoveAcross && expected.at(to).type == 'f'));
        for (auto* tree : {&expected, &after}) {
            for (const std::string& path : stamped) {
                auto& r = (*tree)[path];
                r.mtime = r.mode = r.attributes = 0;
                r.xattrs.clear();
            }
            // A new file on a volume that keeps neither mode nor access list:
            // compared below for what matters, that nobody gained access.
            if (landedCopy && !keepsPermissions) {
                auto& r = (*tree)[to];
                r.mode = r.attributes = 0;
                r.xattrs.clear();
            }
        }
        EXPECT_TRUE(SameTree(after, expected));
        if (refused) continue;
        for (const std::string& path : stamped) {
            const std::string full = root + "/" + path;
            EXPECT_EQ(LocalTime(full), kStamp) << path << " (a link itself)";
            if (after[path].type != 'f') continue;
            // A new file on NTFS is marked archive, as Windows marks it.
            if (stamp == Stamp::kTimeAndAttributes || keepsPermissions) {
                EXPECT_EQ(Attributes(full),
                          stamp == Stamp::kTimeAndAttributes ? kMask : before.at(data).attributes)
                    << path;
            }
            // Windows reads the volume's own word, not ours.
            if (volume == Volume::kNtfs && stamp == Stamp::kTimeAndAttributes) {
                unsigned char word[4] = {};
                ::lgetxattr(full.c_str(), "system.ntfs_attrib_be", word, sizeof word);
                EXPECT_EQ(word[3] & 0x27, kMask) << path;
            }
        }
        if (landedCopy && volume == Volume::kRamfs && entry != Entry::kLinkToFile) {
            struct stat st {};
            ::stat((dst + "/new_sel.txt").c_str(), &st);
            EXPECT_EQ(st.st_mode & 077, 0u) << "the copy lost its access list and gave the group rights";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Volumes, VolumeRunTest,
                         testing::Combine(testing::Range(0, 5), testing::Range(0, 4), testing::Range(0, 3)),
                         [](const auto& info) {
                             return std::string(kVolumeNames[std::get<0>(info.param)]) +
                                    kOpNames[std::get<1>(info.param)] + kStampNames[std::get<2>(info.param)];
                         });

}  // namespace
}  // namespace zv::test
