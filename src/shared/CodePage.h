#pragma once
// The system's multi-byte ("ANSI") code page. On the Japanese systems Zorvik is
// written for this is code page 932 (Shift-JIS with Windows' extensions); the
// POSIX backend uses exactly that mapping so the name-length limits match.

#include <string>
#include <string_view>

namespace zv {

// Bytes the text takes in the code page. ASCII and half-width katakana take one
// byte, other mapped characters two, and every character the code page cannot
// hold is written as one "?" byte.
int AnsiByteCount(std::u16string_view text);

// Text to and from the code page (unmappable characters become "?").
std::string ToAnsi(std::u16string_view text);
std::u16string FromAnsi(std::string_view bytes);

}  // namespace zv
