// Stands in for the platform file system until its listing is built, so the
// list widgets link; the tests give every list a MemoryFileSystem anyway.
#include "MemoryFileSystem.h"

namespace zv {
FileSystem& NativeFileSystem() {
    static test::MemoryFileSystem fs;
    return fs;
}
}  // namespace zv
