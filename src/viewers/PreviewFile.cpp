#include "viewers/PreviewFile.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>

#include "shared/NativeName.h"

namespace zv {

bool ReadPreviewFile(const std::u16string& path, std::string& out, std::size_t maxBytes) {
    out.clear();
    const std::string native = ToNative(path);
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(native.c_str(), "rb"), &std::fclose);
    if (!file) return false;
    struct stat info {};
    if (fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    if (static_cast<unsigned long long>(info.st_size) > maxBytes) return false;
    out.reserve(static_cast<size_t>(info.st_size));
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        if (out.size() + got > maxBytes) return false;
        out.append(buffer, got);
    }
    return !std::ferror(file.get());
}

}  // namespace zv
