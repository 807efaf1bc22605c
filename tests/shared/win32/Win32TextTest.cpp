// Code page and names as Windows itself answers them. The counts only
// mean something on a Japanese system, so the first test checks for one.
#include <gtest/gtest.h>
#include <windows.h>

#include "shared/CodePage.h"
#include "shared/NativeName.h"

namespace zv {
namespace {

TEST(Win32CodePage, SystemCodePageIsJapanese) { ASSERT_EQ(GetACP(), 932u) << "run with LANG=ja_JP.UTF-8"; }

// No best-fit mapping: a character the code page lacks becomes "?", never a
// look-alike. Above all "¥" must not turn into "\", the path separator. (What
// the code page holds, and one "?" for a pair, the neutral code page test has.)
TEST(Win32CodePage, WritesExactBytes) {
    const std::pair<std::u16string, std::string> cases[] = {{u"a¥b", "a?b"}, {u"\u301C", "?"}};
    for (const auto& [text, bytes] : cases) {
        EXPECT_EQ(ToAnsi(text), bytes);
        EXPECT_EQ(AnsiByteCount(text), static_cast<int>(bytes.size()));
    }
}

// Windows counts a name in UTF-16 units, so a character outside the BMP
// takes two; the byte form is UTF-8 and must bring back even a lone surrogate.
TEST(Win32NativeName, CountsUnitsAndRoundTrips) {
    const std::pair<std::u16string, std::size_t> cases[] = {
        {u"写真.jpg", 6}, {u"\U0001F600", 2}, {std::u16string(u"a") + char16_t(0xD800) + u"b", 3}};
    for (const auto& [name, units] : cases) {
        EXPECT_EQ(NativeNameLength(name), units);
        EXPECT_EQ(FromNative(ToNative(name)), name);
    }
    EXPECT_EQ(ToNative(u"写"), "\xE5\x86\x99");
    EXPECT_EQ(FromNative("a\xFF"), u"a\xFFFD");
}

}  // namespace
}  // namespace zv
