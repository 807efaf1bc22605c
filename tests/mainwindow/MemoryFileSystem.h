#pragma once
// Folders of file names in memory, listed like the real file system: sorted
// without regard to case, names starting with a dot left out. Names may hold
// any UTF-16 units (lone surrogates included). Every change is refused.

#include <QString>
#include <algorithm>
#include <map>
#include <vector>

#include "shared/FileSystem.h"

namespace zvtest {

class FakeFileSystem final : public zv::FileSystem {
    using S = std::u16string;

  public:
    std::map<S, std::vector<S>> folders;  // folder -> its file names

    std::vector<S> ListFiles(const S& folder) override {
        auto it = folders.find(Strip(folder));
        return Listed(it == folders.end() ? std::vector<S>{} : it->second);
    }
    std::vector<S> ListFolders(const S& folder) override {
        const S parent = Strip(folder);
        std::vector<S> names;
        for (const auto& [path, files] : folders)
            if (path != parent && Parent(path) == parent) names.push_back(path.substr(path.rfind(u'/') + 1));
        return Listed(names);
    }
    // No new name is ever taken: which names clash is the engine's own test.
    std::unique_ptr<zv::NameLookup> OpenNameLookup(const S&) override {
        struct None final : zv::NameLookup {
            bool Exists(const S&) const override { return false; }
        };
        return std::make_unique<None>();
    }
    bool FileExists(const S&) override { return false; }
    bool FolderExists(const S& path) override { return folders.count(Strip(path)) != 0; }
    zv::FsResult Rename(const S&, const S& to) override { return {zv::kFsGeneric, to}; }
    zv::FsResult Copy(const S&, const S& to) override { return {zv::kFsGeneric, to}; }
    zv::FsResult SetLastWriteTime(const S& p, const zv::LocalDateTime&) override {
        return {zv::kFsGeneric, p};
    }
    zv::FsResult SetAttributes(const S& p, int) override { return {zv::kFsGeneric, p}; }
    int GetAttributes(const S&) override { return 0; }
    zv::FsResult MakeDirectory(const S& p) override { return {zv::kFsGeneric, p}; }

  private:
    static S Strip(S folder) {
        while (folder.size() > 1 && folder.back() == u'/') folder.pop_back();
        return folder;
    }
    static S Parent(const S& path) {
        const size_t slash = path.rfind(u'/');
        return slash == 0 || slash == S::npos ? u"/" : path.substr(0, slash);
    }
    static std::vector<S> Listed(std::vector<S> names) {
        std::erase_if(names, [](const auto& n) { return n.empty() || n[0] == u'.'; });
        std::stable_sort(names.begin(), names.end(), [](const auto& a, const auto& b) {
            return QStringView(a).compare(QStringView(b), Qt::CaseInsensitive) < 0;
        });
        return names;
    }
};

}  // namespace zvtest
