#include "DosAttrib.h"

#include <sys/xattr.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace zv::posix {

namespace {
constexpr int kStoredBits = 2 | 4 | 32;  // hidden, system, archive
}

// The l- calls never follow a symbolic link: a link's target is not the
// entry the user selected.
int ReadDosAttrib(const std::string& nativePath) {
    char buf[64];
    ssize_t n = lgetxattr(nativePath.c_str(), kDosAttribName, buf, sizeof buf - 1);
    if (n <= 0) return 0;
    buf[n] = '\0';
    // Samba writes "0x..." text; anything else is not ours to interpret.
    if (n < 3 || buf[0] != '0' || (buf[1] != 'x' && buf[1] != 'X')) return 0;
    char* end = nullptr;
    unsigned long v = std::strtoul(buf + 2, &end, 16);
    if (end == buf + 2) return 0;
    return static_cast<int>(v & 0xFFFF);
}

int WriteDosAttrib(const std::string& nativePath, int mask) {
    int bits = mask & kStoredBits;
    if (bits == 0) {
        if (lremovexattr(nativePath.c_str(), kDosAttribName) == 0 || errno == ENODATA) return 0;
        return errno;
    }
    char buf[16];
    int n = std::snprintf(buf, sizeof buf, "0x%x", static_cast<unsigned>(bits));
    if (lsetxattr(nativePath.c_str(), kDosAttribName, buf, static_cast<size_t>(n), 0) != 0) return errno;
    return 0;
}

}  // namespace zv::posix
