#pragma once
// Where the tests of the viewers find their sample files, and the messages they expect.

#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FakeMessageBox.h"
#include "shared/NativeName.h"

namespace zvtest {

// The shared corpus, or an empty path when it is not there.
inline std::filesystem::path CorpusDir(const char* kind) {
    const std::filesystem::path root = ZV_CORPUS;
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

// The corpus's samples of a kind, or else the copies in tests/data.
inline std::filesystem::path SampleDir(const char* kind) {
    const auto corpus = CorpusDir(kind);
    return corpus.empty() ? std::filesystem::path(ZV_TEST_DATA) / kind : corpus;
}

inline std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline std::u16string WriteFile(const QTemporaryDir& dir, const std::string& name, const std::string& bytes) {
    const QString path = dir.filePath(QString::fromStdString(name));
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
    return path.toStdU16String();
}

inline std::string Utf8(const std::u16string& text) { return zv::ToUtf8(text); }

inline const FakeMessageBox::Shown kCannotShow{u"このファイルは表示できません。", zv::kOkOnly,
                                               u"読み込みエラー"};
inline const FakeMessageBox::Shown kCannotPlay{u"正常に再生できません", zv::kOkOnly, u"再生エラー"};

}  // namespace zvtest
