// The Windows backend of FileSystem: wide (W) functions throughout, so every
// name reaches the disk exactly as the user sees it.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "shared/CaseFold.h"
#include "shared/FileSystem.h"

namespace zv {

const char16_t kPathSeparator = u'\\';

namespace {

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

std::u16string U(const wchar_t* s) { return std::u16string(reinterpret_cast<const char16_t*>(s)); }

// The one place Windows error numbers become the codes the real run reports.
FsResult Win32Error(DWORD err, const std::u16string& path) {
    int code;
    switch (err) {
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            code = kFsAlreadyExists;
            break;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            code = kFsDiskFull;
            break;
        case ERROR_TOO_MANY_OPEN_FILES:
            code = kFsTooManyFiles;
            break;
        case ERROR_DEV_NOT_EXIST:
        case ERROR_BAD_UNIT:
        case ERROR_BAD_NETPATH:
            code = kFsDeviceUnavailable;
            break;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            code = kFsPermissionDenied;
            break;
        case ERROR_NOT_READY:
            code = kFsDiskNotReady;
            break;
        case ERROR_FILE_NOT_FOUND:
            code = kFsFileNotFound;
            break;
        case ERROR_PATH_NOT_FOUND:
            code = kFsPathNotFound;
            break;
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_DIRECTORY:
            code = kFsPathFileAccess;
            break;
        default:
            code = kFsGeneric;
            break;
    }
    return {code, path, static_cast<int>(err)};
}

FsResult LastError(const std::u16string& path) { return Win32Error(GetLastError(), path); }

// Windows would roll 31 February over into March instead of refusing it.
bool IsValidDate(const LocalDateTime& t) {
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (t.year < 1601 || t.year > 30827 || t.month < 1 || t.month > 12 || t.day < 1) return false;
    const bool leap = (t.year % 4 == 0 && t.year % 100 != 0) || t.year % 400 == 0;
    if (t.day > kDays[t.month - 1] || (t.month == 2 && t.day == 29 && !leap)) return false;
    return t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

bool IsHiddenOrSystem(DWORD attrs) { return (attrs & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0; }

std::vector<std::u16string> List(const std::u16string& folder, bool wantFolders) {
    std::vector<std::u16string> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(W(JoinPath(folder, u"*")), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        const bool isFolder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder != wantFolders || IsHiddenOrSystem(fd.dwFileAttributes)) continue;
        // Dot names (".", "..", ".git") are left out as on every platform.
        if (fd.cFileName[0] == L'.') continue;
        names.push_back(U(fd.cFileName));
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    SortNamesForListing(names);
    return names;
}

// SearchPathW asks the file system itself, so its idea of "same name" is the
// one that decides whether a rename collides.
class SearchPathLookup final : public NameLookup {
  public:
    explicit SearchPathLookup(std::u16string folder) : folder_(std::move(folder)) {}
    bool Exists(const std::u16string& name) const override {
        // A name with a separator is no name in this folder; SearchPathW
        // would look elsewhere for it.
        if (name.empty() || name.find_first_of(u"\\/") != std::u16string::npos) return false;
        wchar_t buf[MAX_PATH * 4];
        DWORD n = SearchPathW(W(folder_), W(name), nullptr, static_cast<DWORD>(std::size(buf)), buf, nullptr);
        return n != 0;
    }

  private:
    std::u16string folder_;
};

class Win32FileSystem final : public FileSystem {
  public:
    std::vector<std::u16string> ListFiles(const std::u16string& folder) override {
        return List(folder, false);
    }
    std::vector<std::u16string> ListFolders(const std::u16string& folder) override {
        return List(folder, true);
    }

    std::unique_ptr<NameLookup> OpenNameLookup(const std::u16string& folder) override {
        return std::make_unique<SearchPathLookup>(folder);
    }

    bool FileExists(const std::u16string& path) override {
        DWORD a = GetFileAttributesW(W(path));
        return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
    }
    bool FolderExists(const std::u16string& path) override {
        DWORD a = GetFileAttributesW(W(path));
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
    }

    // Without MOVEFILE_REPLACE_EXISTING an existing destination is refused;
    // MOVEFILE_COPY_ALLOWED lets a move cross volumes (copy, then delete).
    FsResult Rename(const std::u16string& from, const std::u16string& to) override {
        if (MoveFileExW(W(from), W(to), MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH)) return {};
        return LastError(to);
    }

    FsResult Copy(const std::u16string& from, const std::u16string& to) override {
        if (CopyFileW(W(from), W(to), TRUE)) return {};
        return LastError(to);
    }

    FsResult SetLastWriteTime(const std::u16string& path, const LocalDateTime& local) override {
        SYSTEMTIME lt{};
        lt.wYear = static_cast<WORD>(local.year);
        lt.wMonth = static_cast<WORD>(local.month);
        lt.wDay = static_cast<WORD>(local.day);
        lt.wHour = static_cast<WORD>(local.hour);
        lt.wMinute = static_cast<WORD>(local.minute);
        lt.wSecond = static_cast<WORD>(local.second);
        SYSTEMTIME utc{};
        FILETIME ft{};
        // The rule of that date, not of today: a summer date keeps its hour
        // when the stamp is set in winter. A value that is no date leaves the
        // file as it is.
        if (!IsValidDate(local) || !TzSpecificLocalTimeToSystemTime(nullptr, &lt, &utc) ||
            !SystemTimeToFileTime(&utc, &ft)) {
            return {};
        }
        // Others may keep the file open meanwhile; only its time is touched.
        HANDLE h = CreateFileW(W(path), FILE_WRITE_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE) return LastError(path);
        BOOL ok = SetFileTime(h, nullptr, nullptr, &ft);
        FsResult r = ok ? FsResult{} : LastError(path);
        CloseHandle(h);
        return r;
    }

    FsResult SetAttributes(const std::u16string& path, int mask) override {
        DWORD attrs = static_cast<DWORD>(mask) & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive);
        if (attrs == 0) attrs = FILE_ATTRIBUTE_NORMAL;
        if (SetFileAttributesW(W(path), attrs)) return {};
        return LastError(path);
    }

    int GetAttributes(const std::u16string& path) override {
        DWORD a = GetFileAttributesW(W(path));
        if (a == INVALID_FILE_ATTRIBUTES) return -1;
        return static_cast<int>(a & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive));
    }

    FsResult MakeDirectory(const std::u16string& path) override {
        if (CreateDirectoryW(W(path), nullptr)) return {};
        return LastError(path);
    }

    // The volume serial number and the file index name the file; the
    // reparse point itself is opened, never what it points to.
    FileIdentity Identify(const std::u16string& path, bool withAttributes) override {
        HANDLE h = CreateFileW(W(path), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                               nullptr);
        if (h == INVALID_HANDLE_VALUE) return {};
        BY_HANDLE_FILE_INFORMATION info{};
        const BOOL ok = GetFileInformationByHandle(h, &info);
        CloseHandle(h);
        if (!ok) return {};
        FileIdentity id;
        id.exists = true;
        id.device = info.dwVolumeSerialNumber;
        id.file = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
        id.size = static_cast<std::int64_t>((static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
        id.writeTime = static_cast<std::int64_t>(
            (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime);
        if (withAttributes)
            id.attributes =
                static_cast<int>(info.dwFileAttributes & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive));
        return id;
    }

    FsResult RestoreWriteTime(const std::u16string& path, std::int64_t writeTime) override {
        HANDLE h = CreateFileW(W(path), FILE_WRITE_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (h == INVALID_HANDLE_VALUE) return LastError(path);
        FILETIME ft;
        ft.dwLowDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(writeTime) & 0xFFFFFFFFu);
        ft.dwHighDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(writeTime) >> 32);
        BOOL ok = SetFileTime(h, nullptr, nullptr, &ft);
        FsResult r = ok ? FsResult{} : LastError(path);
        CloseHandle(h);
        return r;
    }

    // A read-only file cannot be deleted as it is: the attribute goes first.
    FsResult RemoveFile(const std::u16string& path) override {
        DWORD a = GetFileAttributesW(W(path));
        if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY))
            SetFileAttributesW(W(path), a & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
        if (DeleteFileW(W(path))) return {};
        return LastError(path);
    }

    bool SameContent(const std::u16string& a, const std::u16string& b) override {
        auto open = [](const std::u16string& p) {
            return CreateFileW(W(p), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        };
        HANDLE ha = open(a), hb = open(b);
        bool same = ha != INVALID_HANDLE_VALUE && hb != INVALID_HANDLE_VALUE;
        std::vector<char> ba(std::size_t{256} << 10), bb(ba.size());
        while (same) {
            DWORD na = 0, nb = 0;
            if (!ReadFile(ha, ba.data(), static_cast<DWORD>(ba.size()), &na, nullptr) ||
                !ReadFile(hb, bb.data(), static_cast<DWORD>(bb.size()), &nb, nullptr) || na != nb) {
                same = false;
                break;
            }
            if (na == 0) break;
            same = std::equal(ba.begin(), ba.begin() + na, bb.begin());
        }
        if (ha != INVALID_HANDLE_VALUE) CloseHandle(ha);
        if (hb != INVALID_HANDLE_VALUE) CloseHandle(hb);
        return same;
    }

    // A symbolic link is a reparse point; Windows tells file links from
    // folder links by the directory bit of the link itself.
    EntryKind Examine(const std::u16string& path) override {
        DWORD a = GetFileAttributesW(W(path));
        if (a == INVALID_FILE_ATTRIBUTES) return EntryKind::kMissing;
        const bool folder = (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (a & FILE_ATTRIBUTE_REPARSE_POINT) {
            if (folder) return EntryKind::kOtherLink;
            // Opening follows the link: it succeeds only where a file is there
            // (a folder would need FILE_FLAG_BACKUP_SEMANTICS).
            HANDLE h = CreateFileW(W(path), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
            if (h == INVALID_HANDLE_VALUE) return EntryKind::kOtherLink;
            CloseHandle(h);
            return EntryKind::kLinkToFile;
        }
        return folder ? EntryKind::kFolder : EntryKind::kFile;
    }

    // Every Windows volume keeps the four attributes on files. The time and
    // attribute calls here follow links, so links take neither.
    VolumeAbilities Abilities(const std::u16string&) override { return {}; }
};

}  // namespace

FileSystem& NativeFileSystem() {
    static Win32FileSystem fs;
    return fs;
}

}  // namespace zv
