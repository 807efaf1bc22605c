#include "shared/NativeName.h"

#include "shared/Utf8Codec.h"

namespace zv {

// Windows names are UTF-16 already and may hold lone surrogates. Their byte
// form (JSON jobs, logs) writes each lone surrogate in the three-byte form
// (WTF-8), so even such a name comes back unchanged; bytes that are no
// sequence at all can only come from outside and read as U+FFFD.
std::string ToNative(std::u16string_view name) {
    std::string out;
    out.reserve(name.size());
    utf::ForEachCodePoint(name, [&](char32_t cp, bool) { utf::AppendUtf8(out, cp); });
    return out;
}

std::u16string FromNative(std::string_view bytes) {
    return utf::DecodeText(bytes, true, [](unsigned char) { return char16_t(utf::kReplacement); });
}

std::size_t NativeNameLength(std::u16string_view name) { return name.size(); }

std::size_t MaxNativeNameLength() { return 255; }

bool NativeNameHidden(std::u16string_view) { return false; }

}  // namespace zv
