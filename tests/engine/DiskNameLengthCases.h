#pragma once
// Name-length cases whose answer depends on how the platform's disk counts
// a name (UTF-8 bytes on POSIX, UTF-16 units on Windows); each platform
// folder supplies its own.

#include "engine/EngineFakes.h"

namespace zv::test {

struct LengthCase {
    const char* label;
    std::vector<std::u16string> names;
    Box box;  // none: the names pass
};

inline const Box kTooLong{u"ファイル名超過", u"ファイル名が長すぎます。"};
inline const Box kHidden{u"ファイル名エラー",
                         u"変換後のファイル名が「.」で始まっています。\r\n"
                         u"隠しファイルになり一覧に表示されなくなるため変換できません。"};

inline std::u16string Repeat(std::u16string_view s, int n) {
    std::u16string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

std::vector<LengthCase> DiskNameLengthCases();

}  // namespace zv::test
