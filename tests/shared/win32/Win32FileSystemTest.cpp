// The Windows file system backend on real folders of the test machine.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>

#include "PlatformTraits.h"
#include "shared/FileSystem.h"

namespace zv {
namespace {

// A fresh folder under the temporary folder, removed with its contents.
class Scratch {
  public:
    Scratch() {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        for (int i = 0; root_.empty() && i < 1000; ++i) {
            std::u16string candidate = Str(base) + u"zvwin" + Num(GetCurrentProcessId()) + u"_" + Num(i);
            if (CreateDirectoryW(W(candidate), nullptr)) root_ = candidate;
        }
    }
    ~Scratch() { Remove(root_); }

    std::u16string Path(const std::u16string& name) const { return JoinPath(root_, name); }
    void Make(const std::u16string& name, const std::string& content) const {
        HANDLE h = CreateFileW(W(Path(name)), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        DWORD written = 0;
        WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        CloseHandle(h);
    }
    std::string Content(const std::u16string& name) const {
        HANDLE h =
            CreateFileW(W(Path(name)), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return "<missing>";
        char buf[256];
        DWORD got = 0;
        ReadFile(h, buf, sizeof buf, &got, nullptr);
        CloseHandle(h);
        return std::string(buf, got);
    }
    const std::u16string& root() const { return root_; }

  private:
    static const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
    static std::u16string Str(const wchar_t* s) { return reinterpret_cast<const char16_t*>(s); }
    static std::u16string Num(unsigned long n) {
        std::string s = std::to_string(n);
        return std::u16string(s.begin(), s.end());
    }
    static void Remove(const std::u16string& folder) {
        if (folder.empty()) return;
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW(W(JoinPath(folder, u"*")), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                const std::u16string name = Str(fd.cFileName);
                if (name == u"." || name == u"..") continue;
                const std::u16string path = JoinPath(folder, name);
                SetFileAttributesW(W(path), FILE_ATTRIBUTE_NORMAL);
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    Remove(path);
                else
                    DeleteFileW(W(path));
            } while (FindNextFileW(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryW(W(folder));
    }
    std::u16string root_;
};

enum class Op { Rename, Copy };

struct MoveCase {
    const char* label;
    Op op;
    std::u16string from, to;
    int code;
    // Contents afterwards: "<missing>" for no file.
    std::string fromAfter, toAfter;
};

void PrintTo(const MoveCase& c, std::ostream* os) { *os << c.label; }

// The folder holds a.txt ("A"), b.txt ("B") and the sub folder sub.
const MoveCase kMoveCases[] = {
    {"RenameToNewName", Op::Rename, u"a.txt", u"写真.txt", kFsOk, "<missing>", "A"},
    {"RenameRefusesToReplace", Op::Rename, u"a.txt", u"b.txt", kFsAlreadyExists, "A", "B"},
    {"RenameRefusesOtherCaseOfExisting", Op::Rename, u"a.txt", u"B.TXT", kFsAlreadyExists, "A", "B"},
    {"RenameOnlyChangesCase", Op::Rename, u"a.txt", u"A.TXT", kFsOk, "A", "A"},
    {"RenameMissingSource", Op::Rename, u"none.txt", u"c.txt", kFsFileNotFound, "<missing>", "<missing>"},
    {"RenameIntoMissingFolder", Op::Rename, u"a.txt", u"nope\\a.txt", kFsPathNotFound, "A", "<missing>"},
    {"RenameToInvalidName", Op::Rename, u"a.txt", u"a?.txt", kFsPathFileAccess, "A", "<missing>"},
    {"CopyToNewName", Op::Copy, u"a.txt", u"c.txt", kFsOk, "A", "A"},
    {"CopyRefusesToReplace", Op::Copy, u"a.txt", u"b.txt", kFsAlreadyExists, "A", "B"},
};

class Win32Moves : public testing::TestWithParam<MoveCase> {};

TEST_P(Win32Moves, AnswerAndFilesAfterwards) {
    const auto& c = GetParam();
    Scratch s;
    ASSERT_FALSE(s.root().empty());
    s.Make(u"a.txt", "A");
    s.Make(u"b.txt", "B");
    ASSERT_TRUE(NativeFileSystem().MakeDirectory(s.Path(u"sub")).ok());
    FileSystem& fs = NativeFileSystem();
    const FsResult r =
        c.op == Op::Rename ? fs.Rename(s.Path(c.from), s.Path(c.to)) : fs.Copy(s.Path(c.from), s.Path(c.to));
    EXPECT_EQ(r.code, c.code) << "Windows error " << r.osError;
    EXPECT_EQ(s.Content(c.from), c.fromAfter);
    EXPECT_EQ(s.Content(c.to), c.toAfter);
}

INSTANTIATE_TEST_SUITE_P(Win32FileSystem, Win32Moves, testing::ValuesIn(kMoveCases),
                         [](const auto& info) { return std::string(info.param.label); });

LocalDateTime ReadLastWrite(const std::u16string& path) {
    HANDLE h = CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_READ, FILE_SHARE_READ,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME ft{};
    GetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
    SYSTEMTIME utc{}, local{};
    FileTimeToSystemTime(&ft, &utc);
    SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
    return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

struct StampCase {
    const char* label;
    LocalDateTime set;
    bool changes;
};

void PrintTo(const StampCase& c, std::ostream* os) { *os << c.label; }

const StampCase kStampCases[] = {
    {"Winter", {2024, 1, 15, 9, 30, 45}, true},    {"Summer", {2024, 7, 15, 23, 59, 59}, true},
    {"LeapDay", {2024, 2, 29, 0, 0, 0}, true},     {"NoLeapDay", {2023, 2, 29, 12, 0, 0}, false},
    {"Hour24", {2024, 5, 1, 24, 0, 0}, false},
};

class Win32Stamps : public testing::TestWithParam<StampCase> {};

// What is set reads back to the second; a value that is no date leaves the
// file alone and still counts as done.
TEST_P(Win32Stamps, ReadsBackExactly) {
    const auto& c = GetParam();
    Scratch s;
    s.Make(u"a.txt", "A");
    const LocalDateTime before = ReadLastWrite(s.Path(u"a.txt"));
    const FsResult r = NativeFileSystem().SetLastWriteTime(s.Path(u"a.txt"), c.set);
    EXPECT_TRUE(r.ok()) << "Windows error " << r.osError;
    EXPECT_EQ(ReadLastWrite(s.Path(u"a.txt")), c.changes ? c.set : before);
}

INSTANTIATE_TEST_SUITE_P(Win32FileSystem, Win32Stamps, testing::ValuesIn(kStampCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(Win32FileSystem, StampOfMissingFileIsFileNotFound) {
    Scratch s;
    EXPECT_EQ(NativeFileSystem().SetLastWriteTime(s.Path(u"none.txt"), {2024, 1, 1, 0, 0, 0}).code,
              kFsFileNotFound);
}

struct AttrCase {
    const char* label;
    int set;
    bool listed;
};

void PrintTo(const AttrCase& c, std::ostream* os) { *os << c.label; }

const AttrCase kAttrCases[] = {
    {"None", 0, true},
    {"ReadOnly", kAttrReadOnly, true},
    {"Hidden", kAttrHidden, false},
    {"System", kAttrSystem, false},
    {"IgnoresOtherBits", kAttrReadOnly | 0x10 | 0x100, true},
};

class Win32Attributes : public testing::TestWithParam<AttrCase> {};

// Attributes read back as set (only the four known bits), and hidden or
// system files leave the list.
TEST_P(Win32Attributes, ReadBackAndDecideTheList) {
    const auto& c = GetParam();
    const int known = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;
    const bool kept = test::KeepsArchiveAndHiddenOnReadOnly();
    if (!kept && (c.set & kAttrReadOnly) && (c.set & (kAttrHidden | kAttrSystem)))
        GTEST_SKIP() << "this host cannot keep hidden or system on a read-only file";
    Scratch s;
    s.Make(u"f.txt", "x");
    s.Make(u"other.txt", "x");
    FileSystem& fs = NativeFileSystem();
    ASSERT_TRUE(fs.SetAttributes(s.Path(u"f.txt"), c.set).ok());
    // The host may add the archive bit to every file; compare it only where it is kept.
    const int mask = kept ? known : known & ~kAttrArchive;
    EXPECT_EQ(fs.GetAttributes(s.Path(u"f.txt")) & mask, c.set & mask);
    const auto listed = fs.ListFiles(s.root());
    EXPECT_EQ(listed.size(), c.listed ? 2u : 1u);
    fs.SetAttributes(s.Path(u"f.txt"), 0);
}

INSTANTIATE_TEST_SUITE_P(Win32FileSystem, Win32Attributes, testing::ValuesIn(kAttrCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(Win32FileSystem, ListLeavesOutDotNamesAndFoldersAndSortsWithoutCase) {
    Scratch s;
    for (auto name : {u"b.txt", u"A.txt", u"c.txt", u".dot", u"ｚ.txt", u"Ｙ.txt"}) s.Make(name, "x");
    FileSystem& fs = NativeFileSystem();
    ASSERT_TRUE(fs.MakeDirectory(s.Path(u"Sub")).ok());
    ASSERT_TRUE(fs.MakeDirectory(s.Path(u"a-dir")).ok());
    EXPECT_EQ(fs.ListFiles(s.root()),
              (std::vector<std::u16string>{u"A.txt", u"b.txt", u"c.txt", u"Ｙ.txt", u"ｚ.txt"}));
    EXPECT_EQ(fs.ListFolders(s.root()), (std::vector<std::u16string>{u"a-dir", u"Sub"}));
    EXPECT_EQ(fs.GetAttributes(s.Path(u"none.txt")), -1);
    EXPECT_EQ(fs.MakeDirectory(s.Path(u"Sub")).code, kFsAlreadyExists);
}

struct LookupCase {
    const char* label;
    std::u16string name;
    bool exists;
};

void PrintTo(const LookupCase& c, std::ostream* os) { *os << c.label; }

// Letters whose capitals Wine's case table lacks (final sigma) are not asked
// for: Wine's lookup would miss a file NTFS finds.
const LookupCase kLookupCases[] = {
    {"OtherLatinCase", u"ÄRGER.TXT", true},    {"OtherFullWidthCase", u"ｐｈｏｔｏ.txt", true},
    {"OtherAsciiCase", u"PHOTO.JPG", true},    {"Missing", u"photo.png", false},
    {"HiddenFileCounts", u"secret.txt", true}, {"FolderCounts", u"sub", true},
    {"Empty", u"", false},
};

class Win32Lookup : public testing::TestWithParam<LookupCase> {};

TEST_P(Win32Lookup, FindsNamesOfTheFolder) {
    Scratch s;
    for (auto name : {u"Photo.jpg", u"写真.txt", u"secret.txt", u"ärger.txt", u"ＰＨＯＴＯ.txt"})
        s.Make(name, "x");
    ASSERT_TRUE(NativeFileSystem().SetAttributes(s.Path(u"secret.txt"), kAttrHidden).ok());
    ASSERT_TRUE(NativeFileSystem().MakeDirectory(s.Path(u"sub")).ok());
    EXPECT_EQ(NativeFileSystem().OpenNameLookup(s.root())->Exists(GetParam().name), GetParam().exists);
}

INSTANTIATE_TEST_SUITE_P(Win32FileSystem, Win32Lookup, testing::ValuesIn(kLookupCases),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace zv
