#include "FileSystem.h"

#include <algorithm>
#include <utility>

#include "CaseFold.h"

namespace zv {

std::u16string WithTrailingSeparator(const std::u16string& folder) {
    if (!folder.empty() && folder.back() == kPathSeparator) return folder;
    return folder + kPathSeparator;
}

void SortNamesForListing(std::vector<std::u16string>& names) {
    // Fold once per name, not once per comparison.
    std::vector<std::pair<std::u16string, std::u16string>> keyed;
    keyed.reserve(names.size());
    for (auto& n : names) keyed.emplace_back(FoldCase(n), std::move(n));
    std::sort(keyed.begin(), keyed.end());
    names.clear();
    for (auto& k : keyed) names.push_back(std::move(k.second));
}

// Answers for file systems that know no links and keep every attribute.
EntryKind FileSystem::Examine(const std::u16string& path) {
    if (FileExists(path)) return EntryKind::kFile;
    return FolderExists(path) ? EntryKind::kFolder : EntryKind::kMissing;
}

VolumeAbilities FileSystem::Abilities(const std::u16string&) { return {}; }

void FileSystem::RemoveStaleTemporaries(const std::u16string&) {}

std::u16string JoinPath(const std::u16string& folder, const std::u16string& name) {
    return WithTrailingSeparator(folder) + name;
}

}  // namespace zv
