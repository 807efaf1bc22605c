// What undo relies on: which file a name holds, whether a copy still holds
// the source's bytes, a time given back exactly, a file removed but never a
// folder, and none of it through a symbolic link.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ScratchFolder.h"
#include "shared/FileSystem.h"
#include "shared/NativeName.h"

namespace zv {
namespace {

using test::ScratchFolder;

TEST(FileIdentity, SameContentComparesEveryByteOfTwoRegularFiles) {
    ScratchFolder s;
    const std::string big = ScratchFolder::Pattern(600 << 10, 3);  // beyond one read
    std::string bigEnd = big;
    bigEnd.back() ^= 1;
    ::mkfifo(s.Path("fifo").c_str(), 0600);
    ScratchFolder::Write(s.Path("abc"), "abc");
    ::symlink(s.Path("abc").c_str(), s.Path("link").c_str());
    const struct {
        std::string a, b;  // contents; "@name" takes the entry of that name
        bool same;
    } cases[] = {{"abc", "abc", true},     {"abc", "abd", false},     {"abc", "abcd", false}, {"", "", true},
                 {big, big, true},         {big, bigEnd, false},      {"abc", "@fifo", false},
                 {"abc", "@missing", false}, {"abc", "@link", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.b.substr(0, 12));
        ScratchFolder::Write(s.Path("a"), c.a);
        std::string b = s.Path("b");
        if (c.b.rfind('@', 0) == 0)
            b = s.Path(c.b.substr(1));
        else
            ScratchFolder::Write(b, c.b);
        EXPECT_EQ(NativeFileSystem().SameContent(FromNative(s.Path("a")), FromNative(b)), c.same);
    }
}

TEST(FileIdentity, LinksAnswerForThemselvesAndFoldersAreNeverRemoved) {
    ScratchFolder s;
    FileSystem& fs = NativeFileSystem();
    ScratchFolder::Write(s.Path("target"), "data");
    ::symlink("target", s.Path("link").c_str());
    const std::u16string target = FromNative(s.Path("target")), link = FromNative(s.Path("link"));
    const FileIdentity t = fs.Identify(target, true), l = fs.Identify(link, true);
    EXPECT_TRUE(t.exists && l.exists && !t.SameFile(l));
    EXPECT_EQ(t.size, 4);
    EXPECT_FALSE(fs.Identify(FromNative(s.Path("missing")), false).exists);
    ::chmod(s.Path("target").c_str(), 0444);
    EXPECT_EQ(fs.Identify(target, true).attributes & kAttrReadOnly, kAttrReadOnly);

    // A time with nanoseconds comes back exactly, on the link and not its target.
    const std::int64_t when = 1234567890123456789;
    ASSERT_TRUE(fs.RestoreWriteTime(link, when).ok());
    struct stat st {};
    ::lstat(s.Path("link").c_str(), &st);
    EXPECT_EQ(std::pair(st.st_mtim.tv_sec, st.st_mtim.tv_nsec), std::pair(1234567890L, 123456789L));
    EXPECT_EQ(fs.Identify(target, false).writeTime, t.writeTime);
    ASSERT_TRUE(fs.RestoreWriteTime(target, -1500000000).ok()) << "before 1970";
    EXPECT_EQ(fs.Identify(target, false).writeTime, -1500000000);

    EXPECT_TRUE(fs.RemoveFile(link).ok());
    EXPECT_TRUE(fs.Identify(target, false).exists) << "the link went, not its target";
    EXPECT_TRUE(fs.RemoveFile(target).ok()) << "read-only or not";
    s.Folder("sub");
    EXPECT_FALSE(fs.RemoveFile(FromNative(s.Path("sub"))).ok());
    EXPECT_TRUE(fs.FolderExists(FromNative(s.Path("sub"))));
}

}  // namespace
}  // namespace zv
