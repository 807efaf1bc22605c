#include "PosixFileSystem.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <unordered_set>

#include "DosAttrib.h"
#include "shared/CaseFold.h"
#include "shared/NativeName.h"

namespace zv {

const char16_t kPathSeparator = u'/';

namespace {

enum class EntryKind { kFile, kFolder };

bool IsDotName(const char* name) { return name[0] == '.'; }

std::string NativeFolder(const std::u16string& folder) {
    std::string path = ToNative(folder);
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

// Entries of one kind, as the file and folder lists show them: no dot names,
// nothing marked hidden or system, case-insensitive order. A symbolic link
// counts as what it points to; a dangling one is left out.
std::vector<std::u16string> ListEntries(const std::u16string& folder, EntryKind kind) {
    std::vector<std::u16string> names;
    const std::string base = NativeFolder(folder);
    DIR* dir = opendir(base.c_str());
    if (!dir) return names;
    while (const dirent* e = readdir(dir)) {
        if (IsDotName(e->d_name)) continue;
        const std::string path = base + e->d_name;
        struct stat st {};
        if (stat(path.c_str(), &st) != 0) continue;
        const bool wanted = kind == EntryKind::kFile ? S_ISREG(st.st_mode) : S_ISDIR(st.st_mode);
        if (!wanted) continue;
        if (posix::ReadDosAttrib(path) & (kAttrHidden | kAttrSystem)) continue;
        names.push_back(FromNative(e->d_name));
    }
    closedir(dir);

    // Fold once per name, not once per comparison.
    std::vector<std::pair<std::u16string, std::u16string>> keyed;
    keyed.reserve(names.size());
    for (auto& n : names) keyed.emplace_back(FoldCase(n), std::move(n));
    // Names equal but for case (possible here, unlike on Windows) keep a
    // fixed order: the exact name decides.
    std::sort(keyed.begin(), keyed.end());
    names.clear();
    for (auto& k : keyed) names.push_back(std::move(k.second));
    return names;
}

class FoldedNameSet final : public NameLookup {
  public:
    explicit FoldedNameSet(std::unordered_set<std::u16string> names) : names_(std::move(names)) {}
    bool Exists(const std::u16string& name) const override { return names_.count(FoldCase(name)) != 0; }

  private:
    std::unordered_set<std::u16string> names_;
};

}  // namespace

std::vector<std::u16string> PosixFileSystem::ListFiles(const std::u16string& folder) {
    return ListEntries(folder, EntryKind::kFile);
}

std::vector<std::u16string> PosixFileSystem::ListFolders(const std::u16string& folder) {
    return ListEntries(folder, EntryKind::kFolder);
}

// Every entry counts, hidden ones and folders included: a new name that
// matches any of them could not be created.
std::unique_ptr<NameLookup> PosixFileSystem::OpenNameLookup(const std::u16string& folder) {
    std::unordered_set<std::u16string> names;
    if (DIR* dir = opendir(NativeFolder(folder).c_str())) {
        while (const dirent* e = readdir(dir)) {
            if (std::string_view(e->d_name) == "." || std::string_view(e->d_name) == "..") continue;
            names.insert(FoldCase(FromNative(e->d_name)));
        }
        closedir(dir);
    }
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

FileSystem& NativeFileSystem() {
    static PosixFileSystem fs;
    return fs;
}

}  // namespace zv
