#include "FileSystem.h"

namespace zv {

std::u16string WithTrailingSeparator(const std::u16string& folder) {
    if (!folder.empty() && folder.back() == kPathSeparator) return folder;
    return folder + kPathSeparator;
}

std::u16string JoinPath(const std::u16string& folder, const std::u16string& name) {
    return WithTrailingSeparator(folder) + name;
}

}  // namespace zv
