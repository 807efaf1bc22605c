#pragma once
// Name-length cases whose answer depends on how the platform's disk counts
// a name (UTF-8 bytes on POSIX, UTF-16 units on Windows); each platform
// folder supplies its own.

#include <string>
#include <vector>

namespace zv::test {

struct LengthCase {
    const char* label;
    std::vector<std::u16string> names;
    std::u16string prompt;  // empty: passes
};

inline const std::u16string kTooLong = u"ファイル名が長すぎます。";
inline const std::u16string kHidden =
    u"変換後のファイル名が「."
    u"」で始まっています。\r\n隠しファイルになり一覧に表示されなくなるため変換できません。";

inline std::u16string Repeat(char16_t c, int n) { return std::u16string(static_cast<std::size_t>(n), c); }
inline std::u16string Repeat(std::u16string_view s, int n) {
    std::u16string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

std::vector<LengthCase> DiskNameLengthCases();

}  // namespace zv::test
