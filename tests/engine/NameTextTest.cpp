#include <gtest/gtest.h>

#include "engine/NameText.h"

namespace zv {
namespace {

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
