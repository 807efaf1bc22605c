#include "shared/NativeName.h"

#include "shared/Utf8Codec.h"

namespace zv {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;  // byte b (0x80..0xFF) <-> U+DC00 + b

bool IsEscape(char16_t u) { return u >= 0xDC80 && u <= 0xDCFF; }

}  // namespace

// Lone surrogates outside U+DC80..U+DCFF name no byte and cannot be written
// as UTF-8; they become U+FFFD so that only well-formed names reach the disk.
// Such text never comes from a listing, only from typed input.
std::string ToNative(std::u16string_view name) {
    // Most names are ASCII throughout, and every path is converted several
    // times in a run of thousands of files: that part is copied as it is.
    std::size_t ascii = 0;
    while (ascii < name.size() && name[ascii] < 0x80) ++ascii;
    std::string out(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(ascii));
    if (ascii == name.size()) return out;
    out.reserve(name.size() + (name.size() - ascii) * 2);
    utf::ForEachCodePoint(name.substr(ascii), [&](char32_t cp, bool lone) {
        if (!lone) {
            utf::AppendUtf8(out, cp);
        } else if (IsEscape(static_cast<char16_t>(cp))) {
            out += static_cast<char>(cp - kEscapeBase);
        } else {
            utf::AppendUtf8(out, utf::kReplacement);
        }
    });
    return out;
}

std::u16string FromNative(std::string_view bytes) {
    std::size_t ascii = 0;
    while (ascii < bytes.size() && static_cast<unsigned char>(bytes[ascii]) < 0x80) ++ascii;
    std::u16string out(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(ascii));
    if (ascii == bytes.size()) return out;
    out += utf::DecodeText(bytes.substr(ascii), false, [](unsigned char b) { return char16_t(kEscapeBase + b); });
    return out;
}

std::size_t NativeNameLength(std::u16string_view name) { return ToNative(name).size(); }

std::size_t MaxNativeNameLength() { return 255; }

bool NativeNameHidden(std::u16string_view name) { return !name.empty() && name.front() == u'.'; }

}  // namespace zv
