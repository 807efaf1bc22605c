#pragma once
// Reading the file a preview shows, by the UTF-16 path the file list gives.

#include <cstddef>
#include <string>

namespace zv {

// Largest file a preview reads; a bigger one is refused rather than letting a
// stray double-click fill the memory.
inline constexpr std::size_t kMaxPreviewBytes = 256u * 1024 * 1024;

// The whole file into out. False when it is missing, unreadable, not a regular
// file or larger than maxBytes.
bool ReadPreviewFile(const std::u16string& path, std::string& out, std::size_t maxBytes = kMaxPreviewBytes);

}  // namespace zv
