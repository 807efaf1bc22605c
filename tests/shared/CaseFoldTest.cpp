#include <gtest/gtest.h>

#include "PlatformTraits.h"
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
    if (c.a == u"Σ" && !zv::test::CaseTableFoldsFinalSigma()) GTEST_SKIP() << "case table lacks final sigma";
    EXPECT_EQ(FoldCase(c.a) == FoldCase(c.b), c.same);
}

INSTANTIATE_TEST_SUITE_P(Pairs, CaseFoldTest,
                         testing::Values(FoldCase_{u"IMG_001.JPG", u"img_001.jpg", true},
                                         FoldCase_{u"Ａ", u"ａ", true}, FoldCase_{u"Ä", u"ä", true},
                                         FoldCase_{u"Σ", u"ς", true},
                                         // Simple folding only: one character never becomes two.
                                         FoldCase_{u"ß", u"ss", false},
                                         // Different characters stay different.
                                         FoldCase_{u"あ", u"ア", false}, FoldCase_{u"a", u"ａ", false},
                                         FoldCase_{u"\xDCC4", u"\xDCE4", false}));

// Folding is for comparing: either case maps to one form, one unit for one
// unit, and lone surrogates (escaped bytes) pass through untouched.
TEST(CaseFold, KeepsLengthAndEscapedBytes) {
    const std::u16string upper = u"AbC\xDCFF\xD800Ｚ", lower = u"aBc\xDCFF\xD800ｚ";
    const std::u16string folded = FoldCase(upper);
    EXPECT_EQ(folded, FoldCase(lower));
    ASSERT_EQ(folded.size(), upper.size());
    EXPECT_EQ(folded.substr(3, 2), u"\xDCFF\xD800");
}

}  // namespace
}  // namespace zv
