#include "PosixFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "PosixFileOps.h"
#include "VolumeAttributes.h"
#include "shared/CaseFold.h"
#include "shared/NativeName.h"

namespace zv {

const char16_t kPathSeparator = u'/';

namespace {

enum class ListKind { kFile, kFolder };

bool IsDotName(const char* name) { return name[0] == '.'; }

std::string NativeFolder(const std::u16string& folder) {
    std::string path = ToNative(folder);
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

// Entries of one kind, as the file and folder lists show them: no dot names,
// nothing marked hidden or system, case-insensitive order. A symbolic link
// counts as what it points to; a dangling one is left out.
std::vector<std::u16string> ListEntries(const std::u16string& folder, ListKind kind) {
    std::vector<std::u16string> names;
    const std::string base = NativeFolder(folder);
    DIR* dir = opendir(base.c_str());
    if (!dir) return names;
    const posix::AttributeStore store = posix::DecideAttributeStore(base);
    while (const dirent* e = readdir(dir)) {
        if (IsDotName(e->d_name)) continue;
        const std::string path = base + e->d_name;
        // The entry's type usually comes with the folder read; only links and
        // file systems that do not report it need a stat of their own.
        bool isFile = e->d_type == DT_REG;
        bool isFolder = e->d_type == DT_DIR;
        if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
            struct stat st {};
            if (stat(path.c_str(), &st) != 0) continue;
            isFile = S_ISREG(st.st_mode);
            isFolder = S_ISDIR(st.st_mode);
        }
        if (!(kind == ListKind::kFile ? isFile : isFolder)) continue;
        if (posix::HiddenOrSystem(store, path)) continue;
        names.push_back(FromNative(e->d_name));
    }
    closedir(dir);

    SortNamesForListing(names);
    return names;
}

class FoldedNameSet final : public NameLookup {
  public:
    explicit FoldedNameSet(std::unordered_map<std::u16string, std::size_t> names) : names_(std::move(names)) {}
    bool Exists(const std::u16string& name) const override { return names_.count(FoldCase(name)) != 0; }
    std::size_t Count(const std::u16string& name) const override {
        auto it = names_.find(FoldCase(name));
        return it == names_.end() ? 0 : it->second;
    }

  private:
    std::unordered_map<std::u16string, std::size_t> names_;
};

}  // namespace

std::vector<std::u16string> PosixFileSystem::ListFiles(const std::u16string& folder) {
    return ListEntries(folder, ListKind::kFile);
}

std::vector<std::u16string> PosixFileSystem::ListFolders(const std::u16string& folder) {
    return ListEntries(folder, ListKind::kFolder);
}

// Every entry counts, hidden ones and folders included: a new name that
// matches any of them could not be created.
std::unique_ptr<NameLookup> PosixFileSystem::OpenNameLookup(const std::u16string& folder) {
    std::vector<std::u16string> folded;
    if (DIR* dir = opendir(NativeFolder(folder).c_str())) {
        while (const dirent* e = readdir(dir)) {
            if (std::string_view(e->d_name) == "." || std::string_view(e->d_name) == "..") continue;
            folded.push_back(FoldCase(FromNative(e->d_name)));
        }
        closedir(dir);
    }
    // Sized once: growing a set of many thousand names rehashes it repeatedly.
    std::unordered_map<std::u16string, std::size_t> names(folded.size() * 2 + 1);
    for (auto& n : folded) ++names[std::move(n)];
    return std::make_unique<FoldedNameSet>(std::move(names));
}

bool PosixFileSystem::FileExists(const std::u16string& path) {
    struct stat st {};
    return stat(ToNative(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool PosixFileSystem::FolderExists(const std::u16string& path) {
    struct stat st {};
    return stat(ToNative(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The folder's entries carry their own type, so one pass over it answers for
// thousands of names without a stat each; only links (to tell what they lead
// to) and file systems that leave the type out are looked at one by one.
std::vector<EntryKind> PosixFileSystem::ExamineAll(const std::u16string& folder,
                                                   const std::vector<std::u16string>& names) {
    std::vector<EntryKind> kinds(names.size(), EntryKind::kMissing);
    std::vector<std::string> native;
    native.reserve(names.size());
    std::unordered_map<std::string_view, std::size_t> wanted(names.size() * 2 + 1);
    for (const auto& name : names) native.push_back(ToNative(name));
    for (std::size_t i = 0; i < native.size(); ++i) wanted.emplace(native[i], i);
    const std::string base = NativeFolder(folder);
    DIR* dir = opendir(base.c_str());
    if (!dir) return kinds;
    const int fd = dirfd(dir);
    while (const dirent* e = readdir(dir)) {
        auto it = wanted.find(std::string_view(e->d_name));
        if (it == wanted.end()) continue;
        EntryKind& kind = kinds[it->second];
        struct stat st {};
        switch (e->d_type) {
            case DT_REG:
                kind = EntryKind::kFile;
                break;
            case DT_DIR:
                kind = EntryKind::kFolder;
                break;
            case DT_LNK:
                kind = fstatat(fd, e->d_name, &st, 0) == 0 && S_ISREG(st.st_mode) ? EntryKind::kLinkToFile
                                                                                   : EntryKind::kOtherLink;
                break;
            case DT_UNKNOWN:
                kind = posix::ExamineEntry(base + e->d_name);
                break;
            default:
                kind = EntryKind::kOther;
                break;
        }
    }
    closedir(dir);
    return kinds;
}

FileSystem& NativeFileSystem() {
    static PosixFileSystem fs;
    return fs;
}

}  // namespace zv
