// The real run on the file systems users plug in: every kind of entry a
// selected name may have become, renamed, copied and moved, with and without
// time stamp and attributes. After each run every entry of the tree is
// compared with what that run may change: nothing outside the selection (a
// link's target, a neighbour, the other name of a hard link) moves.
#include <acl/libacl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "DiskRig.h"

namespace zv::test {
namespace {

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

using VolumeCase = std::tuple<Volume, Op, Stamp>;

class VolumeRunTest : public testing::TestWithParam<VolumeCase> {};

TEST_P(VolumeRunTest, OnlyTheSelectionChanges) {
    const auto [volume, op, stamp] = GetParam();
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

        const StepFlag flag = rig.engine.RealRun();

        const bool refused =
            entry == Entry::kFolder || entry == Entry::kFifo ||
            (copy && (entry == Entry::kDanglingLink || entry == Entry::kLinkToFolder)) ||
            (stamp == Stamp::kTimeAndAttributes && (!keepsHidden || (IsLink(entry) && !copy)));
        EXPECT_EQ(flag, refused ? kStop : kGoOn);
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
                         testing::Combine(testing::Values(Volume::kDisk, Volume::kTmpfs, Volume::kRamfs,
                                                          Volume::kNtfs, Volume::kBindfs),
                                          testing::Values(Op::kRename, Op::kCopy, Op::kMove, Op::kMoveAcross),
                                          testing::Values(Stamp::kNone, Stamp::kTime,
                                                          Stamp::kTimeAndAttributes)),
                         [](const auto& info) {
                             return std::string(kVolumeNames[static_cast<int>(std::get<0>(info.param))]) +
                                    kOpNames[static_cast<int>(std::get<1>(info.param))] +
                                    kStampNames[static_cast<int>(std::get<2>(info.param))];
                         });

}  // namespace
}  // namespace zv::test
