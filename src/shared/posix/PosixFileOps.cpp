// Placeholder until the safe file operations land: every change is refused.
#include "PosixFileSystem.h"

namespace zv {

FsResult PosixFileSystem::Rename(const std::u16string&, const std::u16string& to) { return {kFsGeneric, to}; }
FsResult PosixFileSystem::Copy(const std::u16string&, const std::u16string& to) { return {kFsGeneric, to}; }
FsResult PosixFileSystem::SetLastWriteTime(const std::u16string& path, const LocalDateTime&) {
    return {kFsGeneric, path};
}
FsResult PosixFileSystem::SetAttributes(const std::u16string& path, int) { return {kFsGeneric, path}; }
int PosixFileSystem::GetAttributes(const std::u16string&) { return -1; }
FsResult PosixFileSystem::MakeDirectory(const std::u16string& path) { return {kFsGeneric, path}; }

}  // namespace zv
