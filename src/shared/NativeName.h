#pragma once
// File names as the operating system stores them.
//
// Inside Zorvik every name is UTF-16. On POSIX the file system holds raw bytes,
// normally UTF-8: each byte b that is not part of valid UTF-8 (always 0x80 or
// above) is carried as the lone surrogate U+DC00 + b (U+DC80..U+DCFF) and
// turned back into that very byte, so every name survives the round trip and
// no file is ever mistaken for another. Other lone surrogates (only typed text
// can hold them) are written as U+FFFD.

#include <cstddef>
#include <string>
#include <string_view>

namespace zv {

std::string ToNative(std::u16string_view name);
std::u16string FromNative(std::string_view bytes);

// Length of a single name component as the file system counts it
// (bytes on POSIX, UTF-16 units on Windows), and the largest it accepts.
std::size_t NativeNameLength(std::u16string_view name);
std::size_t MaxNativeNameLength();
// Whether the system hides a file of this name from listings (on POSIX a
// name that begins with "."; on Windows no name does).
bool NativeNameHidden(std::u16string_view name);

// UTF-8 <-> UTF-16 for texts that are not file names (JSON, Qt strings).
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

}  // namespace zv
