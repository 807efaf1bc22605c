#pragma once
// Where the tests of the viewers find their sample files.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "shared/NativeName.h"

namespace zvtest {

inline std::filesystem::path DataDir() { return ZV_TEST_DATA; }

// The shared corpus, or an empty path when it is not there.
inline std::filesystem::path CorpusDir(const char* kind) {
    const char* env = std::getenv("ZV_CORPUS");
    std::filesystem::path root = env && *env ? env : ZV_CORPUS;
    if (root.empty() || !std::filesystem::is_directory(root / kind)) return {};
    return root / kind;
}

inline std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& dir) {
    std::vector<std::filesystem::path> files;
    if (dir.empty()) return files;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

inline std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline std::string Utf8(const std::u16string& text) { return zv::ToUtf8(text); }

}  // namespace zvtest
