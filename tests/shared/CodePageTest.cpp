#include <gtest/gtest.h>

#include "shared/CodePage.h"

namespace zv {
namespace {

struct CountCase {
    std::u16string text;
    int bytes;
};

class AnsiByteCountTest : public testing::TestWithParam<CountCase> {};

TEST_P(AnsiByteCountTest, CountsCodePage932Bytes) {
    EXPECT_EQ(AnsiByteCount(GetParam().text), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Texts, AnsiByteCountTest,
                         testing::Values(CountCase{u"", 0}, CountCase{u"あ", 2}, CountCase{u"ｱ", 1},
                                         CountCase{u"ｱｲｳ.txt", 7}, CountCase{u"Ａ", 2},
                                         CountCase{u"①", 2},   // NEC special characters are mapped
                                         CountCase{u"～", 2},  // FULLWIDTH TILDE, Windows' own mapping
                                         CountCase{u"\U0001F600", 1},  // not in the code page: one "?"
                                         CountCase{u"\U0001F600\U0001F600あ", 4}, CountCase{u"\xDCFF", 1},
                                         CountCase{u"あｱa\U0001F600", 5}));

TEST(CodePage, ToAnsiWritesShiftJisAndQuestionMarks) {
    EXPECT_EQ(ToAnsi(u"aあｱ\U0001F600"), std::string("a\x82\xA0\xB1?"));
}

TEST(CodePage, MappedTextRoundTrips) {
    const std::u16string text = u"写真_０１２ｱｲｳ①.jpg";
    EXPECT_EQ(FromAnsi(ToAnsi(text)), text);
}

}  // namespace
}  // namespace zv
