#include "viewers/PreviewFile.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>

namespace zv {

std::string PreviewNativePath(const std::u16string& path) {
    std::string out;
    out.reserve(path.size() * 3);
    for (size_t i = 0; i < path.size(); ++i) {
        char32_t c = path[i];
        if (c >= 0xDC80 && c <= 0xDCFF) {
            out.push_back(static_cast<char>(c - 0xDC00));
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < path.size() && path[i + 1] >= 0xDC00 &&
            path[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (path[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

bool ReadPreviewFile(const std::u16string& path, std::string& out, std::size_t maxBytes) {
    out.clear();
    const std::string native = PreviewNativePath(path);
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
