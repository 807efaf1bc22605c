#pragma once
// The POSIX backend of FileSystem. Listing and lookups live in
// PosixFileSystem.cpp, the operations that change files in PosixFileOps.cpp.

#include "shared/FileSystem.h"

namespace zv {

class PosixFileSystem final : public FileSystem {
public:
    std::vector<std::u16string> ListFiles(const std::u16string& folder) override;
    std::vector<std::u16string> ListFolders(const std::u16string& folder) override;
    std::unique_ptr<NameLookup> OpenNameLookup(const std::u16string& folder) override;
    bool FileExists(const std::u16string& path) override;
    bool FolderExists(const std::u16string& path) override;

    FsResult Rename(const std::u16string& from, const std::u16string& to) override;
    FsResult Copy(const std::u16string& from, const std::u16string& to) override;
    FsResult SetLastWriteTime(const std::u16string& path, const LocalDateTime& local) override;
    FsResult SetAttributes(const std::u16string& path, int mask) override;
    int GetAttributes(const std::u16string& path) override;
    FsResult MakeDirectory(const std::u16string& path) override;

    FileIdentity Identify(const std::u16string& path, bool withAttributes) override;
    FsResult RestoreWriteTime(const std::u16string& path, std::int64_t writeTime) override;
    FsResult RemoveFile(const std::u16string& path) override;
    bool SameContent(const std::u16string& a, const std::u16string& b) override;
    EntryKind Examine(const std::u16string& path) override;
    std::vector<EntryKind> ExamineAll(const std::u16string& folder, const std::vector<std::u16string>& names,
                                      std::vector<FileIdentity>* numbers = nullptr) override;
    VolumeAbilities Abilities(const std::u16string& folder) override;
    void RemoveStaleTemporaries(const std::u16string& folder) override;
};

}  // namespace zv
