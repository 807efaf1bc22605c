#pragma once
// UTF-8 and UTF-16 pieces shared by the name backends and the text
// conversions. Internal to src/shared.

#include <cstddef>
#include <string>
#include <string_view>

namespace zv::utf {

inline constexpr char32_t kReplacement = 0xFFFD;

inline bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
inline bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Appends one code point. Surrogate values (U+D800..U+DFFF) are written in
// the three-byte form, which only the Windows name form uses.
void AppendUtf8(std::string& out, char32_t cp);
void AppendUtf16(std::u16string& out, char32_t cp);

// Decodes one sequence at bytes[i]. Returns its length, or 0 when the byte
// there does not start a well-formed one (overlong forms, values above
// U+10FFFF, and encoded surrogates unless allowSurrogates).
std::size_t DecodeUtf8(std::string_view bytes, std::size_t i, char32_t& cp, bool allowSurrogates = false);

// Walks UTF-16 text by code point; f(cp, lone) gets lone == true for a
// surrogate that is not half of a pair.
template <typename F>
void ForEachCodePoint(std::u16string_view text, F&& f) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (IsHighSurrogate(u) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            f(0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00), false);
            ++i;
        } else {
            f(char32_t(u), IsHighSurrogate(u) || IsLowSurrogate(u));
        }
    }
}

// Decodes a whole text. Each byte that starts no sequence is handed to
// invalidByte, one byte at a time, so the bytes after a broken sequence are
// still read as what they are.
template <typename F>
std::u16string DecodeText(std::string_view bytes, bool allowSurrogates, F&& invalidByte) {
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t cp;
        const std::size_t n = DecodeUtf8(bytes, i, cp, allowSurrogates);
        if (n == 0) {
            out += invalidByte(static_cast<unsigned char>(bytes[i]));
            ++i;
        } else {
            AppendUtf16(out, cp);
            i += n;
        }
    }
    return out;
}

}  // namespace zv::utf
