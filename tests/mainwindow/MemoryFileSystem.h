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
  public:
    std::map<std::u16string, std::vector<std::u16string>> folders;  // folder -> its file names

    // Adds a folder and every folder above it.
    void AddFolder(const std::u16string& path) {
        for (std::u16string p = path;; p = Parent(p)) {
            folders[p];
            if (p == u"/") break;
        }
    }
    void AddFile(const std::u16string& path) {
        AddFolder(Parent(path));
        folders[Parent(path)].push_back(path.substr(path.rfind(u'/') + 1));
    }
    // Removes a folder with everything below it.
    void Remove(const std::u16string& path) {
        std::erase_if(folders,
                      [&](const auto& f) { return f.first == path || f.first.starts_with(path + u"/"); });
    }

    std::vector<std::u16string> ListFiles(const std::u16string& folder) override {
        auto it = folders.find(Strip(folder));
        return Listed(it == folders.end() ? std::vector<std::u16string>{} : it->second);
    }
    std::vector<std::u16string> ListFolders(const std::u16string& folder) override {
        const std::u16string parent = Strip(folder);
        std::vector<std::u16string> names;
        for (const auto& [path, files] : folders)
            if (path != parent && Parent(path) == parent) names.push_back(path.substr(path.rfind(u'/') + 1));
        return Listed(names);
    }
    std::unique_ptr<zv::NameLookup> OpenNameLookup(const std::u16string& folder) override {
        struct Lookup final : zv::NameLookup {
            std::vector<std::u16string> names;
            bool Exists(const std::u16string& n) const override {
                return std::find(names.begin(), names.end(), n) != names.end();
            }
        };
        auto lookup = std::make_unique<Lookup>();
        lookup->names = ListFiles(folder);
        return lookup;
    }
    bool FileExists(const std::u16string&) override { return false; }
    bool FolderExists(const std::u16string& path) override { return folders.count(Strip(path)) != 0; }
    zv::FsResult Rename(const std::u16string&, const std::u16string& to) override {
        return {zv::kFsGeneric, to};
    }
    zv::FsResult Copy(const std::u16string&, const std::u16string& to) override {
        return {zv::kFsGeneric, to};
    }
    zv::FsResult SetLastWriteTime(const std::u16string& p, const zv::LocalDateTime&) override {
        return {zv::kFsGeneric, p};
    }
    zv::FsResult SetAttributes(const std::u16string& p, int) override { return {zv::kFsGeneric, p}; }
    int GetAttributes(const std::u16string&) override { return 0; }
    zv::FsResult MakeDirectory(const std::u16string& p) override { return {zv::kFsGeneric, p}; }

  private:
    static std::u16string Strip(std::u16string folder) {
        while (folder.size() > 1 && folder.back() == u'/') folder.pop_back();
        return folder;
    }
    static std::u16string Parent(const std::u16string& path) {
        const size_t slash = path.rfind(u'/');
        return slash == 0 || slash == std::u16string::npos ? u"/" : path.substr(0, slash);
    }
    static std::vector<std::u16string> Listed(std::vector<std::u16string> names) {
        std::erase_if(names, [](const auto& n) { return n.empty() || n[0] == u'.'; });
        std::stable_sort(names.begin(), names.end(), [](const auto& a, const auto& b) {
            return QStringView(a).compare(QStringView(b), Qt::CaseInsensitive) < 0;
        });
        return names;
    }
};

}  // namespace zvtest
