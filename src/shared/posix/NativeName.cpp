#include "shared/NativeName.h"

#include <cstdint>

namespace zv {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char16_t kEscapeBase = 0xDC00;  // byte b (0x80..0xFF) <-> U+DC00 + b

bool IsHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }
bool IsEscape(char16_t u) { return u >= 0xDC80 && u <= 0xDCFF; }

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

// Decodes one well-formed UTF-8 sequence at bytes[i]. Returns its length, or 0
// when the byte there does not start one (overlong forms, encoded surrogates
// and values above U+10FFFF are not well formed).
std::size_t DecodeUtf8(std::string_view bytes, std::size_t i, char32_t& cp) {
    const auto b = [&](std::size_t k) { return static_cast<std::uint8_t>(bytes[k]); };
    std::uint8_t b0 = b(i);
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    std::size_t len;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > bytes.size()) return 0;
    for (std::size_t k = 1; k < len; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

// Walks the UTF-16 text by code point. Lone surrogates are reported as such.
template <typename F>
void ForEachCodePoint(std::u16string_view text, F&& f) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t u = text[i];
        if (IsHigh(u) && i + 1 < text.size() && IsLow(text[i + 1])) {
            f(0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00), false);
            ++i;
        } else {
            f(char32_t(u), IsHigh(u) || IsLow(u));
        }
    }
}

std::u16string Decode(std::string_view bytes, bool escapeInvalid) {
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t cp;
        std::size_t n = DecodeUtf8(bytes, i, cp);
        if (n == 0) {
            // One byte at a time, so the bytes after a broken sequence are
            // still read as what they are.
            out += escapeInvalid ? char16_t(kEscapeBase + static_cast<std::uint8_t>(bytes[i]))
                                 : char16_t(kReplacement);
            ++i;
        } else {
            AppendUtf16(out, cp);
            i += n;
        }
    }
    return out;
}

}  // namespace

// Lone surrogates outside U+DC80..U+DCFF name no byte and cannot be written
// as UTF-8; they become U+FFFD so that only well-formed names reach the disk.
// Such text never comes from a listing, only from typed input.
std::string ToNative(std::u16string_view name) {
    std::string out;
    out.reserve(name.size());
    ForEachCodePoint(name, [&](char32_t cp, bool lone) {
        if (!lone) {
            AppendUtf8(out, cp);
        } else if (IsEscape(static_cast<char16_t>(cp))) {
            out += static_cast<char>(cp - kEscapeBase);
        } else {
            AppendUtf8(out, kReplacement);
        }
    });
    return out;
}

std::u16string FromNative(std::string_view bytes) { return Decode(bytes, true); }

std::size_t NativeNameLength(std::u16string_view name) { return ToNative(name).size(); }

std::size_t MaxNativeNameLength() { return 255; }

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    ForEachCodePoint(text, [&](char32_t cp, bool lone) { AppendUtf8(out, lone ? kReplacement : cp); });
    return out;
}

std::u16string FromUtf8(std::string_view text) { return Decode(text, false); }

}  // namespace zv
