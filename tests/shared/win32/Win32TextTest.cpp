// Code page and names as Windows itself answers them. The counts only
// mean something on a Japanese system, so the first test checks for one.
#include <gtest/gtest.h>
#include <windows.h>

#include "shared/CodePage.h"
#include "shared/NativeName.h"

namespace zv {
namespace {

TEST(Win32CodePage, SystemCodePageIsJapanese) { ASSERT_EQ(GetACP(), 932u) << "run with LANG=ja_JP.UTF-8"; }

struct AnsiCase {
    const char* label;
    std::u16string text;
    std::string bytes;
};

void PrintTo(const AnsiCase& c, std::ostream* os) { *os << c.label; }

// No best-fit mapping: a character the code page lacks becomes "?", never a
// look-alike. Above all "¥" must not turn into "\", the path separator.
const AnsiCase kAnsiCases[] = {
    {"Hiragana", u"あ", "\x82\xA0"},
    {"HalfWidthKatakana", u"ｱ", "\xB1"},
    {"YenSignIsNoSeparator", u"a¥b", "a?b"},
    {"WaveDashHasNoBestFit", u"\u301C", "?"},
    {"EmojiIsOneQuestionMark", u"\U0001F600", "?"},
};

class Win32Ansi : public testing::TestWithParam<AnsiCase> {};

TEST_P(Win32Ansi, WritesExactBytes) {
    EXPECT_EQ(ToAnsi(GetParam().text), GetParam().bytes);
    EXPECT_EQ(AnsiByteCount(GetParam().text), static_cast<int>(GetParam().bytes.size()));
}

INSTANTIATE_TEST_SUITE_P(Win32CodePage, Win32Ansi, testing::ValuesIn(kAnsiCases),
                         [](const auto& info) { return std::string(info.param.label); });

struct NameCase {
    const char* label;
    std::u16string name;
    std::size_t units;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.label; }

// Windows counts a name in UTF-16 units, so a character outside the BMP
// takes two; the byte form must bring back even a lone surrogate.
const NameCase kNameCases[] = {
    {"Japanese", u"写真.jpg", 6},
    {"OutsideBmp", u"\U0001F600", 2},
    {"LoneSurrogate",
     u"a\xD800"
     u"b",
     3},
};

class Win32Names : public testing::TestWithParam<NameCase> {};

TEST_P(Win32Names, CountsUnitsAndRoundTrips) {
    const auto& c = GetParam();
    EXPECT_EQ(NativeNameLength(c.name), c.units);
    EXPECT_EQ(FromNative(ToNative(c.name)), c.name);
}

INSTANTIATE_TEST_SUITE_P(Win32NativeName, Win32Names, testing::ValuesIn(kNameCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(Win32NativeName, ByteFormIsUtf8AndBrokenBytesReadAsReplacement) {
    EXPECT_EQ(ToNative(u"写"), "\xE5\x86\x99");
    EXPECT_EQ(FromNative("a\xFF"), u"a\xFFFD");
    EXPECT_EQ(MaxNativeNameLength(), 255u);
}

}  // namespace
}  // namespace zv
