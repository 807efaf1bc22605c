#include <gtest/gtest.h>

#include "engine/NameText.h"

namespace zv {
namespace {

struct SplitCase {
    std::u16string name, base, extension;
};

class SplitNameTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitNameTest, CutsTheLastFourCharacters) {
    const auto& c = GetParam();
    NameParts parts = SplitName(c.name);
    EXPECT_EQ(parts.base, c.base);
    EXPECT_EQ(parts.extension, c.extension);
    EXPECT_EQ(parts.base + parts.extension, c.name);
}

INSTANTIATE_TEST_SUITE_P(Names, SplitNameTest,
                         testing::Values(SplitCase{u"photo.jpg", u"photo", u".jpg"},
                                         SplitCase{u"photo.jpeg", u"photo.", u"jpeg"},
                                         SplitCase{u"README", u"RE", u"ADME"},
                                         SplitCase{u"abcd", u"", u"abcd"}, SplitCase{u"a.c", u"", u"a.c"},
                                         SplitCase{u"x", u"", u"x"}, SplitCase{u"", u"", u""},
                                         SplitCase{u"写真.jpg", u"写真", u".jpg"},
                                         // A surrogate pair across the cut goes whole to the extension part.
                                         SplitCase{u"x\U0001F600jpg", u"x", u"\U0001F600jpg"},
                                         SplitCase{u"\U0001F600.jpg", u"\U0001F600", u".jpg"},
                                         // Bytes that were no UTF-8 are single characters.
                                         SplitCase{u"a\xDCFF.txt", u"a\xDCFF", u".txt"}));

struct ReplaceCase {
    std::u16string text, search, replacement, result;
};

class ReplaceAllTest : public testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceAllTest, ReplacesEveryOccurrence) {
    const auto& c = GetParam();
    EXPECT_EQ(ReplaceAll(c.text, c.search, c.replacement), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReplaceAllTest,
    testing::Values(ReplaceCase{u"2001_2001", u"2001", u"2002", u"2002_2002"},
                    ReplaceCase{u"aaa", u"aa", u"b", u"ba"}, ReplaceCase{u"aba", u"a", u"aa", u"aabaa"},
                    ReplaceCase{u"abcabc", u"b", u"", u"acac"}, ReplaceCase{u"abc", u"", u"x", u"abc"},
                    ReplaceCase{u"abc", u"B", u"x", u"abc"}, ReplaceCase{u"ｔｘｔ", u"txt", u"x", u"ｔｘｔ"},
                    ReplaceCase{u"あア", u"ア", u"あ", u"ああ"}, ReplaceCase{u"abc", u"abcd", u"x", u"abc"},
                    ReplaceCase{u"abc", u"abc", u"", u""}));

TEST(WidenDigits, WidensDigitsOnly) {
    EXPECT_EQ(WidenDigits(u"0123456789"), u"０１２３４５６７８９");
    EXPECT_EQ(WidenDigits(u"-05a"), u"-０５a");
}

}  // namespace
}  // namespace zv
