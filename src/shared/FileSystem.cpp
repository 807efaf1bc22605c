#include "FileSystem.h"

#include <algorithm>
#include <utility>

#include "CaseFold.h"

namespace zv {

std::u16string WithTrailingSeparator(const std::u16string& folder) {
    if (!folder.empty() && folder.back() == kPathSeparator) return folder;
    return folder + kPathSeparator;
}

std::vector<std::size_t> ListingOrder(const std::vector<std::u16string>& names) {
    // Fold once per name, not once per comparison.
    std::vector<std::u16string> folded;
    folded.reserve(names.size());
    for (const auto& n : names) folded.push_back(FoldCase(n));
    std::vector<std::size_t> order(names.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int c = folded[a].compare(folded[b]);
        return c != 0 ? c < 0 : names[a] < names[b];
    });
    return order;
}

void SortNamesForListing(std::vector<std::u16string>& names) {
    std::vector<std::u16string> sorted;
    sorted.reserve(names.size());
    for (std::size_t i : ListingOrder(names)) sorted.push_back(std::move(names[i]));
    names = std::move(sorted);
}

// Answers for file systems that know no links and keep every attribute.
EntryKind FileSystem::Examine(const std::u16string& path) {
    if (FileExists(path)) return EntryKind::kFile;
    return FolderExists(path) ? EntryKind::kFolder : EntryKind::kMissing;
}

std::vector<EntryKind> FileSystem::ExamineAll(const std::u16string& folder, const std::vector<std::u16string>& names,
                                              std::vector<FileIdentity>* numbers) {
    std::vector<EntryKind> kinds;
    kinds.reserve(names.size());
    for (const auto& name : names) kinds.push_back(Examine(JoinPath(folder, name)));
    if (numbers) {
        numbers->clear();
        for (const auto& name : names) numbers->push_back(Identify(JoinPath(folder, name), false));
    }
    return kinds;
}

VolumeAbilities FileSystem::Abilities(const std::u16string&) { return {}; }

void FileSystem::RemoveStaleTemporaries(const std::u16string&) {}

std::u16string JoinPath(const std::u16string& folder, const std::u16string& name) {
    return WithTrailingSeparator(folder) + name;
}

}  // namespace zv
