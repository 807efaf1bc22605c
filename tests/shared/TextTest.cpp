// Case folding, the code page and UTF-8 for texts that are not file names.
#include <gtest/gtest.h>

#include "PlatformTraits.h"
#include "shared/CaseFold.h"
#include "shared/CodePage.h"
#include "shared/NativeName.h"

namespace zv {
namespace {

// Simple folding only (one character never becomes two), and different
// characters stay different.
TEST(CaseFold, ComparesWithoutRegardToCase) {
    // clang-format off
    const std::tuple<std::u16string, std::u16string, bool> cases[] = {
        {u"IMG_001.JPG", u"img_001.jpg", true}, {u"Ａ", u"ａ", true}, {u"Ä", u"ä", true}, {u"Σ", u"ς", true},
        {u"ß", u"ss", false}, {u"あ", u"ア", false}, {u"a", u"ａ", false}, {u"\xDCC4", u"\xDCE4", false}};
    // clang-format on
    for (const auto& [a, b, same] : cases) {
        if (b == u"ς" && !test::CaseTableFoldsFinalSigma()) continue;  // the case table lacks it
        EXPECT_EQ(FoldCase(a) == FoldCase(b), same) << ToUtf8(a) << " " << ToUtf8(b);
    }
    // Folding is for comparing: either case maps to one form, one unit for
    // one unit, and lone surrogates (escaped bytes) pass through untouched.
    const std::u16string folded = FoldCase(u"AbC\xDCFF\xD800Ｚ");
    EXPECT_EQ(folded, FoldCase(u"aBc\xDCFF\xD800ｚ"));
    ASSERT_EQ(folded.size(), 6u);
    EXPECT_EQ(folded.substr(3, 2), u"\xDCFF\xD800");
}

// NEC special characters and FULLWIDTH TILDE are mapped as Windows maps them;
// what the code page lacks is one "?".
TEST(CodePage, CountsCodePage932Bytes) {
    // clang-format off
    const std::pair<std::u16string, int> cases[] = {
        {u"", 0}, {u"あ", 2}, {u"ｱ", 1}, {u"ｱｲｳ.txt", 7}, {u"Ａ", 2}, {u"①", 2}, {u"～", 2},
        {u"\U0001F600", 1}, {u"\U0001F600\U0001F600あ", 4}, {u"\xDCFF", 1}, {u"あｱa\U0001F600", 5}};
    // clang-format on
    for (const auto& [text, bytes] : cases) EXPECT_EQ(AnsiByteCount(text), bytes) << ToUtf8(text);
    EXPECT_EQ(ToAnsi(u"aあｱ\U0001F600"), std::string("a\x82\xA0\xB1?"));
    const std::u16string text = u"写真_０１２ｱｲｳ①.jpg";
    EXPECT_EQ(FromAnsi(ToAnsi(text)), text);
}

TEST(Utf8, TextConversionReplacesWhatItCannotCarry) {
    EXPECT_EQ(ToUtf8(u"aあ\U0001F600\xDCFF"), "a\xE3\x81\x82\xF0\x9F\x98\x80\xEF\xBF\xBD");
    EXPECT_EQ(FromUtf8("a\xFF\xE3\x81\x82"), u"a\xFFFDあ");
}

}  // namespace
}  // namespace zv
