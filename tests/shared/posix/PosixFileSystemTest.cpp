// The file system on real folders: listing and lookups, what each entry is
// and which file it holds in one pass over a folder, the failures the engine
// sees, and what undo relies on: which file a name holds, whether a copy
// still holds the source's bytes, a time given back exactly, a file removed
// but never a folder, and none of it through a symbolic link.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ScratchFolder.h"
#include "shared/FileSystem.h"
#include "shared/NativeName.h"
#include "shared/posix/DosAttrib.h"

namespace zv {
namespace {

using test::ScratchFolder;

void Populate(ScratchFolder& s, std::initializer_list<const char*> files,
              std::initializer_list<const char*> folders) {
    for (const char* n : files) ScratchFolder::Write(s.Path(n), "");
    for (const char* n : folders) s.Folder(n);
}

// Marks as Wine and Samba set them; false when the disk keeps no extended attributes.
bool Mark(ScratchFolder& s, const char* name, int bits) {
    return posix::WriteDosAttrib(s.Path(name), bits) == 0;
}

TEST(PosixFileSystem, ListsWhatTheListsShowSortedWithoutRegardToCase) {
    ScratchFolder s;
    Populate(s,
             {"b.txt", "C.txt", "a.TXT", "_x.txt", "10.txt", "2.txt", "B.txt", ".dotfile", "hidden.txt",
              "system.txt", "archived.txt", "\x82\xA0.txt" /* Shift-JIS "あ" */, "\xE3\x81\x82.txt"},
             {"beta", "Alpha", ".cache", "secret"});
    if (!Mark(s, "hidden.txt", kAttrHidden) || !Mark(s, "system.txt", kAttrSystem) ||
        !Mark(s, "archived.txt", kAttrArchive) || !Mark(s, "secret", kAttrHidden))
        GTEST_SKIP() << "no extended attributes on " << s.root();
    ::symlink(s.Path("b.txt").c_str(), s.Path("link.txt").c_str());
    ::symlink(s.Path("missing").c_str(), s.Path("dangling.txt").c_str());
    ::symlink(s.Path("beta").c_str(), s.Path("gamma").c_str());
    const std::u16string root = FromNative(s.root());
    const std::vector<std::u16string> files = {u"10.txt",       u"2.txt",  u"_x.txt",          u"a.TXT",
                                               u"archived.txt", u"B.txt",  u"b.txt",           u"C.txt",
                                               u"link.txt",     u"あ.txt", u"\xDC82\xDCA0.txt"};
    EXPECT_EQ(NativeFileSystem().ListFiles(root), files);
    EXPECT_EQ(NativeFileSystem().ListFolders(root),
              (std::vector<std::u16string>{u"Alpha", u"beta", u"gamma"}));
    EXPECT_TRUE(NativeFileSystem().FileExists(JoinPath(root, files.back())));
    EXPECT_TRUE(NativeFileSystem().ListFiles(u"/nonexistent/zorvik").empty());
}

TEST(PosixFileSystem, LooksUpNamesWithoutRegardToCase) {
    ScratchFolder s;
    Populate(s, {"IMG_001.jpg", ".Zorvik.ini", "\xFF.bin", "Ärger.txt", "twin.txt", "TWIN.txt"}, {"Album"});
    // Anything of that name blocks a new file, hidden files and folders too (the
    // capitals A and Z at the ends of the quick ASCII fold of entry names);
    // names equal but for case may lie side by side on a case-sensitive disk.
    const std::pair<std::u16string, std::size_t> cases[] = {
        {u"img_001.JPG", 1}, {u"IMG_001", 0}, {u".ZORVIK.INI", 1}, {u"ALBUM", 1}, {u"\xDCFF.bin", 1},
        {u"ärger.TXT", 1},   {u"", 0},        {u"Twin.TXT", 2}};
    const std::u16string root = FromNative(s.root());
    auto lookup = NativeFileSystem().OpenNameLookup(root);
    for (const auto& [name, count] : cases) {
        SCOPED_TRACE(ToUtf8(name));
        EXPECT_EQ(lookup->Exists(name), count > 0);
        EXPECT_EQ(lookup->Count(name), count);
    }
    // A path, not a lookup: exact, and files are told from folders.
    for (const auto& [name, file, folder] :
         {std::tuple{u"twin.txt", true, false}, {u"Twin.txt", false, false}, {u"Album", false, true}}) {
        EXPECT_EQ(NativeFileSystem().FileExists(JoinPath(root, name)), file) << ToUtf8(name);
        EXPECT_EQ(NativeFileSystem().FolderExists(JoinPath(root, name)), folder) << ToUtf8(name);
    }
}

// What the engine sees: the code of the failure and the path it concerns.
TEST(PosixFileSystem, CodeAndPathOfTheFailure) {
    enum Action { kRename, kCopy, kMakeDirectory };
    // The action, the paths ("x.txt" and the folder "sub" exist), the code and
    // whether it names the source.
    // clang-format off
    const std::tuple<Action, std::string, std::string, int, bool> cases[] = {
        {kRename, "none.txt", "y.txt", kFsFileNotFound, true}, {kCopy, "sub", "y", kFsNotAFile, true},
        {kCopy, "x.txt", "none/y.txt", kFsFileNotFound, false},
        {kMakeDirectory, "", "sub", kFsAlreadyExists, false},
        // A NUL would cut the name short at the system call and address "ab".
        {kRename, "x.txt", std::string("ab\0cd", 5), kFsGeneric, false},
        {kMakeDirectory, "", std::string("ab\0cd", 5), kFsGeneric, false}};
    // clang-format on
    ScratchFolder s;
    ScratchFolder::Write(s.Path("x.txt"), "x");
    s.Folder("sub");
    FileSystem& files = NativeFileSystem();
    for (const auto& [action, fromName, toName, code, aboutSource] : cases) {
        const std::u16string from = FromNative(s.Path(fromName)), to = FromNative(s.Path(toName));
        SCOPED_TRACE(fromName + " -> " + toName);
        const FsResult r = action == kRename ? files.Rename(from, to)
                           : action == kCopy ? files.Copy(from, to)
                                             : files.MakeDirectory(to);
        EXPECT_EQ(r.code, code);
        EXPECT_EQ(r.path, aboutSource ? from : to);
        EXPECT_NE(r.osError, 0);
        EXPECT_NE(::access(s.Path("ab").c_str(), F_OK), 0) << "a shortened name was created";
    }
}

// One pass over a folder answers for thousands of names: what each entry is,
// which file it holds, and which are hidden. It must answer exactly what a
// look at each entry would, on every kind of volume.
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
    } cases[] = {{"abc", "abc", true},    {"abc", "abd", false},      {"abc", "abcd", false},
                 {"", "", true},          {big, big, true},           {big, bigEnd, false},
                 {"abc", "@fifo", false}, {"abc", "@missing", false}, {"abc", "@link", false}};
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
