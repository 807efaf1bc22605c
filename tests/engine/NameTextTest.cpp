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
                         testing::Values(SplitCase{u"photo.jpeg", u"photo.", u"jpeg"},
                                         SplitCase{u"abcd", u"", u"abcd"}, SplitCase{u"", u"", u""},
                                         // A surrogate pair across the cut goes whole to the extension part.
                                         SplitCase{u"x\U0001F600jpg", u"x", u"\U0001F600jpg"},
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
    testing::Values(ReplaceCase{u"aaa", u"aa", u"b", u"ba"}, ReplaceCase{u"aba", u"a", u"aa", u"aabaa"},
                    ReplaceCase{u"abc", u"", u"x", u"abc"}, ReplaceCase{u"あア", u"ア", u"あ", u"ああ"},
                    ReplaceCase{u"abc", u"abcd", u"x", u"abc"}));
}  // namespace
}  // namespace zv
