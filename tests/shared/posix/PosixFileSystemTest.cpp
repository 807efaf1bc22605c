// Listing and lookups on real folders.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace zv
