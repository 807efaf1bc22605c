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
constexpr const char* kEntryNames[] = {"File", "LinkToFile", "DanglingLink", "LinkToFolder",
                                       "Folder", "Fifo", "HardLink"};
constexpr Entry kEntries[] = {Entry::kFile,         Entry::kLinkToFile, Entry::kDanglingLink, Entry::kLinkToFolder,
                              Entry::kFolder,       Entry::kFifo,       Entry::kHardLink};
constexpr int kMask = kAttrHidden | kAttrArchive;
const LocalDateTime kStamp{2024, 3, 7, 9, 5, 3};

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
    os << r.type << " mode " << std::oct << r.mode << std::dec << " mtime " << r.mtime << " attrs " << r.attributes
       << " bytes " << r.content.size() << " link '" << r.linkText << "' xattrs";
    for (const auto& [k, v] : r.xattrs) os << " " << k << "(" << v.size() << ")";
    return os;
}

Record Examine(const std::string& path) {
    Record r;
    struct stat st {};
    ::lstat(path.c_str(), &st);
    r.mode = st.st_mode & 07777;
    if (S_ISREG(st.st_mode)) {
        r.type = 'f';
        r.content = ScratchFolder::Read(path);
        r.attributes = Attributes(path);
    } else if (S_ISLNK(st.st_mode)) {
        r.type = 'l';
        r.linkText = std::filesystem::read_symlink(path).string();
    } else if (S_ISDIR(st.st_mode)) {
        r.type = 'd';
    } else {
        r.type = 'p';
    }
    if (r.type != 'd') r.mtime = st.st_mtim.tv_sec;
    char names[4096];
    const ssize_t n = ::llistxattr(path.c_str(), names, sizeof names);
    for (ssize_t pos = 0; pos < n; pos += static_cast<ssize_t>(std::strlen(names + pos)) + 1) {
        char value[1024];
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
        if (rel == "under" || rel.ends_with(".img")) {
            it.disable_recursion_pending();
            continue;
        }
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

bool IsLink(Entry e) { return e == Entry::kLinkToFile || e == Entry::kDanglingLink || e == Entry::kLinkToFolder; }

// Builds one entry's world below base (volume side) and source (where the
// selected name lives): the selected name, a neighbour, a link target and
// the hard link's other name.
void Build(Entry entry, const std::string& source, const std::string& elsewhere) {
    std::filesystem::create_directories(source);
    std::filesystem::create_directories(elsewhere + "/folder");
    ScratchFolder::Write(source + "/keep.txt", "a neighbour");
    ScratchFolder::Write(elsewhere + "/target.txt", "the target of a link");
    ::chmod((elsewhere + "/target.txt").c_str(), 0640);
    SetMTime(elsewhere + "/target.txt", kOldTime);
    const std::string sel = source + "/sel.txt";
    const std::string up = std::filesystem::path(elsewhere).lexically_relative(source).string();
    switch (entry) {
        case Entry::kFile:
        case Entry::kHardLink: {
            const std::string file = entry == Entry::kFile ? sel : elsewhere + "/shared.txt";
            ScratchFolder::Write(file, "the selected data");
            ::chmod(file.c_str(), 0600);
            ::setxattr(file.c_str(), "user.note", "kept", 4, 0);
            // Only group:: --- and a named user: the mask shows rw- in the
            // group bits, which a careless copy turns into real group rights.
            if (acl_t acl = acl_from_text("u::rw-,u:nobody:rw-,g::---,m::rw-,o::---")) {
                acl_set_file(file.c_str(), ACL_TYPE_ACCESS, acl);
                acl_free(acl);
            }
            SetMTime(file, kOldTime);
            if (entry == Entry::kHardLink) ::link(file.c_str(), sel.c_str());
            break;
        }
        case Entry::kLinkToFile:
            ::symlink((up + "/target.txt").c_str(), sel.c_str());
            break;
        case Entry::kDanglingLink:
            ::symlink((up + "/gone.txt").c_str(), sel.c_str());
            break;
        case Entry::kLinkToFolder:
            ::symlink((up + "/folder").c_str(), sel.c_str());
            break;
        case Entry::kFolder:
            std::filesystem::create_directories(sel);
            break;
        case Entry::kFifo:
            ::mkfifo(sel.c_str(), 0644);
            break;
    }
    if (IsLink(entry)) {
        struct timespec t[2] = {{kOldTime, 0}, {kOldTime, 0}};
        ::utimensat(AT_FDCWD, sel.c_str(), t, AT_SYMLINK_NOFOLLOW);
    }
}

using VolumeCase = std::tuple<Volume, Op, Stamp>;

class VolumeRunTest : public testing::TestWithParam<VolumeCase> {};

TEST_P(VolumeRunTest, OnlyTheSelectionChanges) {
    const auto [volume, op, stamp] = GetParam();
    if (!ScratchFolder::IsRoot()) GTEST_SKIP() << "mounting file systems needs root";
    DiskRig rig;
    ASSERT_TRUE(rig.scratch.ok());
    std::string vol;
    switch (volume) {
        case Volume::kDisk:
            vol = rig.scratch.Folder("vol");
            break;
        case Volume::kTmpfs:
            vol = rig.scratch.MountTmpfs("vol", 4u << 20);
            break;
        case Volume::kRamfs:
            vol = rig.scratch.MountRamfs("vol");
            break;
        case Volume::kNtfs:
            vol = rig.scratch.MountNtfs("vol", 8u << 20);
            break;
        case Volume::kBindfs:
            vol = rig.scratch.MountBindfs("vol", "under");
            break;
    }
    if (vol.empty()) GTEST_SKIP() << kVolumeNames[static_cast<int>(volume)] << " could not be mounted here";
    // A move across takes the files from another file system onto the volume.
    std::string other;
    if (op == Op::kMoveAcross) {
        other = volume == Volume::kDisk ? rig.scratch.MountTmpfs("other", 4u << 20) : rig.scratch.Folder("other");
        if (other.empty()) GTEST_SKIP() << "no second file system";
    }
    const bool copy = op == Op::kCopy;
    const bool keepsHidden = volume != Volume::kRamfs;
    // Where the copy lands, mode and access list survive only on volumes
    // that hold them.
    const bool keepsPermissions = volume == Volume::kDisk || volume == Volume::kTmpfs || volume == Volume::kBindfs;

    for (Entry entry : kEntries) {
        const std::string label = kEntryNames[static_cast<int>(entry)];
        SCOPED_TRACE(label);
        const std::string base = (op == Op::kMoveAcross ? other : vol) + "/" + label;
        const std::string src = base + "/src";
        const std::string dst = op == Op::kRename ? src : vol + "/" + label + "/dst";
        Build(entry, src, base + "/elsewhere");
        std::filesystem::create_directories(dst);

        rig.messages.shown.clear();
        rig.Folders(src, dst);
        rig.settings.files.clear();
        rig.settings.SelectAll({u"sel.txt"});
        rig.settings.SetValue("Chk_syori(0)", 1);
        rig.settings.SetText("Txt_B_text", u"new_");
        rig.Operation(copy);
        rig.settings.SetValue("Chk_DateLock", stamp != Stamp::kNone);
        rig.settings.SetValue("Chk_Attrib", stamp == Stamp::kTimeAndAttributes);
        rig.settings.SetValue("Chk_Att_Set(1)", 1);
        rig.settings.SetValue("Chk_Att_Set(3)", 1);
        const std::string root = rig.scratch.root();
        const Tree before = Snapshot(root);

        const StepFlag flag = rig.engine.RealRun();

        const bool refused = entry == Entry::kFolder || entry == Entry::kFifo ||
                             (copy && (entry == Entry::kDanglingLink || entry == Entry::kLinkToFolder)) ||
                             (stamp == Stamp::kTimeAndAttributes && (!keepsHidden || (IsLink(entry) && !copy)));
        EXPECT_EQ(flag, refused ? kStop : kGoOn);
        Tree expected = before;
        const auto rel = [&](const std::string& path) {
            return std::filesystem::path(path).lexically_relative(root).string();
        };
        const std::string from = rel(src + "/sel.txt"), to = rel(dst + "/new_sel.txt");
        // Where the selected data live: a copy of a link copies its target.
        const std::string data = entry == Entry::kLinkToFile ? rel(base + "/elsewhere/target.txt") : from;
        std::set<std::string> stamped;  // entries whose mode and attributes the run sets
        if (!refused) {
            ASSERT_EQ(rig.messages.shown.size(), 1u) << ToUtf8(rig.messages.shown.back().prompt);
            if (copy) {
                expected[to] = before.at(data);
            } else {
                expected[to] = before.at(from);
                expected.erase(from);
            }
            // Hard links share one file: what a rename sets, the other name shows.
            if (entry == Entry::kHardLink && (op == Op::kRename || op == Op::kMove) && stamp != Stamp::kNone) {
                stamped.insert(rel(base + "/elsewhere/shared.txt"));
            }
            if (stamp != Stamp::kNone) stamped.insert(to);
        } else {
            ASSERT_EQ(rig.messages.shown.size(), 2u);
        }
        Tree after = Snapshot(root);
        const bool landedCopy = !refused && (copy || (op == Op::kMoveAcross && expected.at(to).type == 'f'));
        for (auto* tree : {&expected, &after}) {
            for (const std::string& path : stamped) {
                auto& r = (*tree)[path];
                r.mtime = 0;
                r.mode = 0;
                r.xattrs.clear();
                r.attributes = 0;
            }
            // A new file on a volume that keeps neither mode nor access list:
            // compared below for what matters, that nobody gained access.
            if (landedCopy && !keepsPermissions) {
                auto& r = (*tree)[to];
                r.mode = 0;
                r.xattrs.clear();
                r.attributes = 0;
            }
        }
        EXPECT_TRUE(SameTree(after, expected));
        if (refused) continue;
        const std::string landed = dst + "/new_sel.txt";
        for (const std::string& path : stamped) {
            const std::string full = root + "/" + path;
            if (after[path].type == 'f') {
                EXPECT_EQ(LocalOf(MTime(full)), kStamp) << path;
                // A new file on NTFS is marked archive, as Windows marks it.
                if (stamp == Stamp::kTimeAndAttributes || keepsPermissions)
                    EXPECT_EQ(Attributes(full), stamp == Stamp::kTimeAndAttributes ? kMask : before.at(data).attributes)
                        << path;
                // Windows reads the volume's own word, not ours.
                if (volume == Volume::kNtfs && stamp == Stamp::kTimeAndAttributes) {
                    unsigned char word[4] = {};
                    ::lgetxattr(full.c_str(), "system.ntfs_attrib_be", word, sizeof word);
                    EXPECT_EQ(word[3] & 0x27, kMask) << path;
                }
            } else {
                struct stat st {};
                ::lstat(full.c_str(), &st);
                EXPECT_EQ(LocalOf(st.st_mtim.tv_sec), kStamp) << path << " (the link itself)";
            }
        }
        if (landedCopy && volume == Volume::kRamfs && entry != Entry::kLinkToFile) {
            struct stat st {};
            ::stat(landed.c_str(), &st);
            EXPECT_EQ(st.st_mode & 077, 0u) << "the copy lost its access list and gave the group rights";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Volumes, VolumeRunTest,
    testing::Combine(testing::Values(Volume::kDisk, Volume::kTmpfs, Volume::kRamfs, Volume::kNtfs, Volume::kBindfs),
                     testing::Values(Op::kRename, Op::kCopy, Op::kMove, Op::kMoveAcross),
                     testing::Values(Stamp::kNone, Stamp::kTime, Stamp::kTimeAndAttributes)),
    [](const auto& info) {
        return std::string(kVolumeNames[static_cast<int>(std::get<0>(info.param))]) +
               kOpNames[static_cast<int>(std::get<1>(info.param))] +
               kStampNames[static_cast<int>(std::get<2>(info.param))];
    });

}  // namespace
}  // namespace zv::test
