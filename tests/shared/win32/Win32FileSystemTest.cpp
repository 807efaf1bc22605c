// The Windows file system backend on real folders of the test machine.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "PlatformTraits.h"
#include "shared/FileSystem.h"

namespace zv {
namespace {

namespace fs = std::filesystem;

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

// A fresh folder under the temporary folder, removed with its contents.
class Scratch {
  public:
    Scratch() {
        static int count = 0;
        const std::wstring name =
            L"zvwin" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(++count);
        root_ = (fs::temp_directory_path() / name).u16string();
        fs::create_directories(W(root_));
    }
    ~Scratch() {
        std::error_code ec;
        for (const auto& e : fs::recursive_directory_iterator(W(root_), ec))
            SetFileAttributesW(e.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(W(root_), ec);
    }

    const std::u16string& root() const { return root_; }
    std::u16string Path(const std::u16string& name) const { return JoinPath(root_, name); }
    void Make(const std::u16string& name, const std::string& content = "x") const {
        std::ofstream(fs::path(W(Path(name))), std::ios::binary) << content;
    }
    // The content, or "<missing>" for no file.
    std::string Content(const std::u16string& name) const {
        std::ifstream in(fs::path(W(Path(name))), std::ios::binary);
        return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
    }

  private:
    std::u16string root_;
};

// The folder holds a.txt ("A"), b.txt ("B") and the sub folder sub.
TEST(Win32FileSystem, RenameAndCopyNeverReplace) {
    // Copy or rename, from, to, the code, and what the two names hold after.
    // clang-format off
    const std::tuple<bool, std::u16string, std::u16string, int, std::string, std::string> cases[] = {
        {false, u"a.txt", u"写真.txt", kFsOk, "<missing>", "A"}, {false, u"a.txt", u"A.TXT", kFsOk, "A", "A"},
        {false, u"a.txt", u"b.txt", kFsAlreadyExists, "A", "B"}, {true, u"a.txt", u"c.txt", kFsOk, "A", "A"},
        {false, u"a.txt", u"B.TXT", kFsAlreadyExists, "A", "B"},
        {true, u"a.txt", u"b.txt", kFsAlreadyExists, "A", "B"},
        {false, u"none.txt", u"c.txt", kFsFileNotFound, "<missing>", "<missing>"},
        {false, u"a.txt", u"nope\\a.txt", kFsPathNotFound, "A", "<missing>"},
        {false, u"a.txt", u"a?.txt", kFsPathFileAccess, "A", "<missing>"}};
    // clang-format on
    for (const auto& [copy, from, to, code, fromAfter, toAfter] : cases) {
        SCOPED_TRACE(std::string(to.begin(), to.end()));
        Scratch s;
        s.Make(u"a.txt", "A");
        s.Make(u"b.txt", "B");
        FileSystem& files = NativeFileSystem();
        ASSERT_TRUE(files.MakeDirectory(s.Path(u"sub")).ok());
        const FsResult r =
            copy ? files.Copy(s.Path(from), s.Path(to)) : files.Rename(s.Path(from), s.Path(to));
        EXPECT_EQ(r.code, code) << "Windows error " << r.osError;
        EXPECT_EQ(s.Content(from), fromAfter);
        EXPECT_EQ(s.Content(to), toAfter);
    }
}

LocalDateTime ReadLastWrite(const std::u16string& path) {
    HANDLE h = CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME ft{};
    GetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
    SYSTEMTIME utc{}, local{};
    FileTimeToSystemTime(&ft, &utc);
    SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
    return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

// What is set reads back to the second; a value that is no date leaves the
// file alone and still counts as done.
TEST(Win32FileSystem, StampsReadBackExactly) {
    // clang-format off
    const std::pair<LocalDateTime, bool> cases[] = {
        {{2024, 1, 15, 9, 30, 45}, true}, {{2024, 7, 15, 23, 59, 59}, true}, {{2024, 2, 29, 0, 0, 0}, true},
        {{2023, 2, 29, 12, 0, 0}, false}, {{2024, 5, 1, 24, 0, 0}, false}};
    // clang-format on
    Scratch s;
    s.Make(u"a.txt");
    for (const auto& [set, changes] : cases) {
        SCOPED_TRACE(set.month);
        const LocalDateTime before = ReadLastWrite(s.Path(u"a.txt"));
        const FsResult r = NativeFileSystem().SetLastWriteTime(s.Path(u"a.txt"), set);
        EXPECT_TRUE(r.ok()) << "Windows error " << r.osError;
        EXPECT_EQ(ReadLastWrite(s.Path(u"a.txt")), changes ? set : before);
    }
    EXPECT_EQ(NativeFileSystem().SetLastWriteTime(s.Path(u"none.txt"), {2024, 1, 1, 0, 0, 0}).code,
              kFsFileNotFound);
}

// Attributes read back as set (only the four known bits), and hidden or
// system files leave the list.
TEST(Win32FileSystem, AttributesReadBackAndDecideTheList) {
    // clang-format off
    const std::pair<int, bool> cases[] = {
        {0, true}, {kAttrReadOnly, true}, {kAttrHidden, false}, {kAttrSystem, false},
        {kAttrReadOnly | 0x10 | 0x100, true}};
    // clang-format on
    // The host may add the archive bit to every file; compare it only where it is kept.
    const int known = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;
    const int mask = test::KeepsArchiveAndHiddenOnReadOnly() ? known : known & ~kAttrArchive;
    Scratch s;
    s.Make(u"f.txt");
    s.Make(u"other.txt");
    FileSystem& files = NativeFileSystem();
    for (const auto& [set, listed] : cases) {
        SCOPED_TRACE(set);
        ASSERT_TRUE(files.SetAttributes(s.Path(u"f.txt"), set).ok());
        EXPECT_EQ(files.GetAttributes(s.Path(u"f.txt")) & mask, set & mask);
        EXPECT_EQ(files.ListFiles(s.root()).size(), listed ? 2u : 1u);
        files.SetAttributes(s.Path(u"f.txt"), 0);
    }
    EXPECT_EQ(files.GetAttributes(s.Path(u"none.txt")), -1);
}

TEST(Win32FileSystem, ListsAndLooksUpWithoutRegardToCase) {
    Scratch s;
    for (auto name :
         {u"b.txt", u"A.txt", u".dot", u"ｚ.txt", u"Ｙ.txt", u"写真.txt", u"secret.txt", u"ärger.txt"})
        s.Make(name);
    FileSystem& files = NativeFileSystem();
    ASSERT_TRUE(files.SetAttributes(s.Path(u"secret.txt"), kAttrHidden).ok());
    ASSERT_TRUE(files.MakeDirectory(s.Path(u"Sub")).ok());
    ASSERT_TRUE(files.MakeDirectory(s.Path(u"a-dir")).ok());
    EXPECT_EQ(files.MakeDirectory(s.Path(u"Sub")).code, kFsAlreadyExists);
    EXPECT_EQ(files.ListFiles(s.root()), (std::vector<std::u16string>{u"A.txt", u"b.txt", u"ärger.txt",
                                                                      u"写真.txt", u"Ｙ.txt", u"ｚ.txt"}));
    EXPECT_EQ(files.ListFolders(s.root()), (std::vector<std::u16string>{u"a-dir", u"Sub"}));
    // Letters whose capitals Wine's case table lacks (final sigma) are not
    // asked for: Wine's lookup would miss a file NTFS finds.
    const std::pair<std::u16string, bool> cases[] = {
        {u"ÄRGER.TXT", true},  {u"ｙ.txt", true}, {u"B.TXT", true}, {u"b.png", false},
        {u"SECRET.txt", true}, {u"sub", true},    {u"", false}};
    auto lookup = files.OpenNameLookup(s.root());
    for (const auto& [name, exists] : cases) EXPECT_EQ(lookup->Exists(name), exists) << name.size();
}

}  // namespace
}  // namespace zv
