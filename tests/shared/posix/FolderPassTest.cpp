// One pass over a folder answers for thousands of names: what each entry is,
// which file it holds, and which are hidden. It must answer exactly what a
// look at each entry would, on every kind of volume.
#include <gtest/gtest.h>
#include <unistd.h>

#include "ScratchFolder.h"
#include "shared/FileSystem.h"
#include "shared/NativeName.h"
#include "shared/posix/DosAttrib.h"

namespace zv {
namespace {

using test::ScratchFolder;

TEST(FolderPass, KindsAndFileNumbersMatchALookAtEachEntry) {
    ScratchFolder s;
    // Empty where mounting is not permitted. FUSE: folder entries may carry
    // numbers of their own, so each entry is looked at.
    for (const std::string& dir : {s.Folder("plain"), s.MountTmpfs("tmpfs", 1 << 20), s.MountRamfs("ramfs"),
                                   s.MountBindfs("bindfs", "under")}) {
        SCOPED_TRACE(dir);
        if (dir.empty()) continue;
        ScratchFolder::Write(dir + "/a.txt", "a");
        ScratchFolder::Write(dir + "/\xFF.bin", "b");
        ::symlink("a.txt", (dir + "/link").c_str());
        ::mkdir((dir + "/sub").c_str(), 0755);
        const std::vector<std::u16string> names{u"a.txt", u"\xDCFF.bin", u"link", u"sub", u"gone", u"a.txt"};
        std::vector<FileIdentity> numbers;
        FileSystem& fs = NativeFileSystem();
        const std::u16string folder = FromNative(dir);
        const auto kinds = fs.ExamineAll(folder, names, &numbers);
        using enum EntryKind;
        EXPECT_EQ(kinds, (std::vector<EntryKind>{kFile, kFile, kLinkToFile, kFolder, kMissing, kMissing}));
        ASSERT_EQ(numbers.size(), names.size());
        for (std::size_t i = 0; i < 4; ++i) {
            const FileIdentity id = fs.Identify(JoinPath(folder, names[i]), false);
            EXPECT_TRUE(numbers[i].SameFile(id)) << i;
        }
        EXPECT_FALSE(numbers[4].exists);
    }
}

// A long list reads its hidden marks on helper threads, a share each: the
// marks must land on their own names wherever the shares divide the list.
TEST(FolderPass, LongListLeavesOutExactlyTheHiddenFiles) {
    ScratchFolder s;
    std::string dir = s.MountTmpfs("many", 16 << 20);
    if (dir.empty()) dir = s.Folder("many");
    constexpr int kFiles = 2100;
    std::vector<std::u16string> expected;
    for (int i = 0; i < kFiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "F%05d.jpg", i);
        ScratchFolder::Write(dir + "/" + name, "");
        const bool hide = i == 0 || i == 1049 || i == 1050 || i == kFiles - 1;
        if (hide && posix::WriteDosAttrib(dir + "/" + name, kAttrHidden) != 0)
            GTEST_SKIP() << "no extended attributes on " << dir;
        if (!hide) expected.push_back(FromNative(name));
    }
    EXPECT_EQ(NativeFileSystem().ListFiles(FromNative(dir)), expected);
}

}  // namespace
}  // namespace zv
