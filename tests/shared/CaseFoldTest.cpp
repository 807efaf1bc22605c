#include <gtest/gtest.h>

#include "shared/CaseFold.h"

namespace zv {
namespace {

struct FoldCase_ {
    std::u16string a, b;
    bool same;
};

class CaseFoldTest : public testing::TestWithParam<FoldCase_> {};

TEST_P(CaseFoldTest, ComparesWithoutRegardToCase) {
    const auto& c = GetParam();
    EXPECT_EQ(FoldCase(c.a) == FoldCase(c.b), c.same);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, CaseFoldTest,
    testing::Values(FoldCase_{u"IMG_001.JPG", u"img_001.jpg", true}, FoldCase_{u"Ａ", u"ａ", true},
                    FoldCase_{u"Ä", u"ä", true}, FoldCase_{u"Σ", u"ς", true}, FoldCase_{u"Ω", u"ω", true},
                    FoldCase_{u"\U00010400", u"\U00010428", true},  // Deseret, outside the BMP
                    // Simple folding only: one character never becomes two.
                    FoldCase_{u"ß", u"ss", false}, FoldCase_{u"ﬁ", u"fi", false},
                    // Different characters stay different.
                    FoldCase_{u"あ", u"ア", false}, FoldCase_{u"a", u"ａ", false},
                    FoldCase_{u"0", u"０", false}, FoldCase_{u"\xDCC4", u"\xDCE4", false}));

TEST(CaseFold, KeepsLengthAndEscapedBytes) {
    const std::u16string text = u"AbC\xDCFF\xD800Ｚ\U00010400";
    const std::u16string folded = FoldCase(text);
    EXPECT_EQ(folded, u"abc\xDCFF\xD800ｚ\U00010428");
}

}  // namespace
}  // namespace zv
