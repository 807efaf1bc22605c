#pragma once
// An in-memory file system for the list tests: folders and files by full
// path, names with any UTF-16 units (lone surrogates included), listing sorted
// without regard to case like the real one. Only listing and existence work;
// every change is refused.

#include <map>
#include <set>

#include "shared/FileSystem.h"

namespace zv::test {

class MemoryFileSystem final : public FileSystem {
  public:
    // Adds a folder and every folder above it.
    void AddFolder(const std::u16string& path);
    // Adds a file (and its folders).
    void AddFile(const std::u16string& path);
    // Removes a folder with everything below it, or a file.
    void Remove(const std::u16string& path);
    int listCalls = 0;

    std::vector<std::u16string> ListFiles(const std::u16string& folder) override;
    std::vector<std::u16string> ListFolders(const std::u16string& folder) override;
    std::unique_ptr<NameLookup> OpenNameLookup(const std::u16string& folder) override;
    bool FileExists(const std::u16string& path) override { return files_.count(path) != 0; }
    bool FolderExists(const std::u16string& path) override { return folders_.count(path) != 0; }
    FsResult Rename(const std::u16string&, const std::u16string& to) override { return {kFsGeneric, to}; }
    FsResult Copy(const std::u16string&, const std::u16string& to) override { return {kFsGeneric, to}; }
    FsResult SetLastWriteTime(const std::u16string& p, const LocalDateTime&) override {
        return {kFsGeneric, p};
    }
    FsResult SetAttributes(const std::u16string& p, int) override { return {kFsGeneric, p}; }
    int GetAttributes(const std::u16string&) override { return -1; }
    FsResult MakeDirectory(const std::u16string& p) override { return {kFsGeneric, p}; }

  private:
    std::vector<std::u16string> Children(const std::set<std::u16string>& from, const std::u16string& folder);
    std::set<std::u16string> folders_{u"/"};
    std::set<std::u16string> files_;
};

}  // namespace zv::test
