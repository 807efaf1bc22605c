// Listing and lookups on real folders.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "shared/FileSystem.h"
#include "shared/NativeName.h"
#include "shared/posix/DosAttrib.h"

namespace zv {
namespace {

namespace fs = std::filesystem;

class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "zv-list-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempFolder() { fs::remove_all(path_); }
    const std::string& path() const { return path_; }
    std::u16string u16() const { return FromNative(path_); }

    void File(const std::string& name) const {
        int fd = ::open((path_ + "/" + name).c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0) << name;
        ::close(fd);
    }
    void Folder(const std::string& name) const { fs::create_directory(path_ + "/" + name); }
    // Marks the file as Wine and Samba do; false when the disk keeps no
    // extended attributes.
    bool Mark(const std::string& name, int bits) const {
        return posix::WriteDosAttrib(path_ + "/" + name, bits) == 0;
    }

  private:
    std::string path_;
};

TEST(PosixListFiles, SortsWithoutRegardToCase) {
    TempFolder dir;
    for (const char* n : {"b.txt", "C.txt", "a.TXT", "_x.txt", "10.txt", "2.txt", "B.txt"}) dir.File(n);
    const std::vector<std::u16string> expected = {u"10.txt", u"2.txt", u"_x.txt", u"a.TXT",
                                                  u"B.txt",  u"b.txt", u"C.txt"};
    EXPECT_EQ(NativeFileSystem().ListFiles(dir.u16()), expected);
    EXPECT_EQ(NativeFileSystem().ListFiles(dir.u16() + u"/"), expected);
}

TEST(PosixListFiles, LeavesOutWhatTheFileListDoesNotShow) {
    TempFolder dir;
    dir.File("shown.txt");
    dir.File(".dotfile");
    dir.Folder("sub");
    dir.Folder(".git");
    fs::create_symlink(dir.path() + "/shown.txt", dir.path() + "/link.txt");
    fs::create_symlink(dir.path() + "/missing", dir.path() + "/dangling.txt");
    dir.File("hidden.txt");
    dir.File("system.txt");
    dir.File("archived.txt");
    dir.File("readonly_archive.txt");
    std::vector<std::u16string> expected = {u"link.txt", u"shown.txt"};
    if (dir.Mark("hidden.txt", kAttrHidden) && dir.Mark("system.txt", kAttrSystem) &&
        dir.Mark("archived.txt", kAttrArchive) && dir.Mark("readonly_archive.txt", kAttrArchive)) {
        expected = {u"archived.txt", u"link.txt", u"readonly_archive.txt", u"shown.txt"};
    } else {
        GTEST_SKIP() << "no extended attributes on " << dir.path();
    }
    EXPECT_EQ(NativeFileSystem().ListFiles(dir.u16()), expected);
}

TEST(PosixListFiles, CarriesNamesThatAreNotUtf8) {
    TempFolder dir;
    dir.File("\x82\xA0.txt");  // Shift-JIS "あ"
    dir.File("\xE3\x81\x82.txt");
    const auto names = NativeFileSystem().ListFiles(dir.u16());
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], u"あ.txt");
    EXPECT_EQ(names[1], u"\xDC82\xDCA0.txt");
    EXPECT_TRUE(NativeFileSystem().FileExists(JoinPath(dir.u16(), names[1])));
}

TEST(PosixListFiles, UnreadableFolderGivesNothing) {
    EXPECT_TRUE(NativeFileSystem().ListFiles(u"/nonexistent/zorvik").empty());
    EXPECT_TRUE(NativeFileSystem().ListFolders(u"/nonexistent/zorvik").empty());
}

TEST(PosixListFolders, ListsSubFoldersOnly) {
    TempFolder dir;
    dir.Folder("beta");
    dir.Folder("Alpha");
    dir.Folder(".cache");
    dir.File("file.txt");
    fs::create_symlink(dir.path() + "/beta", dir.path() + "/gamma");
    dir.Folder("secret");
    std::vector<std::u16string> expected = {u"Alpha", u"beta", u"gamma"};
    if (!dir.Mark("secret", kAttrHidden)) expected.push_back(u"secret");
    EXPECT_EQ(NativeFileSystem().ListFolders(dir.u16()), expected);
}

struct LookupCase {
    std::u16string name;
    bool exists;
    std::size_t count = exists ? 1 : 0;
};

class PosixNameLookupTest : public testing::TestWithParam<LookupCase> {};

TEST_P(PosixNameLookupTest, FindsNamesWithoutRegardToCase) {
    TempFolder dir;
    dir.File("IMG_001.jpg");
    dir.File(".hidden.jpg");
    dir.File("\xFF.bin");
    dir.File("Ärger.txt");
    dir.Folder("album");
    dir.File("twin.txt");
    dir.File("TWIN.txt");
    auto lookup = NativeFileSystem().OpenNameLookup(dir.u16());
    EXPECT_EQ(lookup->Exists(GetParam().name), GetParam().exists);
    EXPECT_EQ(lookup->Count(GetParam().name), GetParam().count);
}

INSTANTIATE_TEST_SUITE_P(
    Names, PosixNameLookupTest,
    testing::Values(LookupCase{u"img_001.JPG", true}, LookupCase{u"IMG_001", false},
                    // Anything of that name blocks a new file: hidden files and folders too.
                    LookupCase{u".HIDDEN.jpg", true}, LookupCase{u"Album", true},
                    LookupCase{u"\xDCFF.bin", true}, LookupCase{u"ärger.TXT", true}, LookupCase{u"", false},
                    // Names equal but for case, side by side on a case-sensitive disk.
                    LookupCase{u"Twin.TXT", true, 2}));

TEST(PosixExists, TellsFilesFromFolders) {
    TempFolder dir;
    dir.File("a.txt");
    dir.Folder("sub");
    auto& fsys = NativeFileSystem();
    EXPECT_TRUE(fsys.FileExists(JoinPath(dir.u16(), u"a.txt")));
    EXPECT_FALSE(fsys.FileExists(JoinPath(dir.u16(), u"A.txt")));  // a path, not a lookup: exact
    EXPECT_FALSE(fsys.FileExists(JoinPath(dir.u16(), u"sub")));
    EXPECT_TRUE(fsys.FolderExists(JoinPath(dir.u16(), u"sub")));
    EXPECT_FALSE(fsys.FolderExists(JoinPath(dir.u16(), u"a.txt")));
    EXPECT_FALSE(fsys.FolderExists(u"/nonexistent/zorvik"));
}

}  // namespace
}  // namespace zv
