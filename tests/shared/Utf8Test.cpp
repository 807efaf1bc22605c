#include <gtest/gtest.h>

#include "shared/NativeName.h"

namespace zv {
namespace {

TEST(Utf8, TextConversionReplacesWhatItCannotCarry) {
    EXPECT_EQ(ToUtf8(u"aあ\U0001F600"), "a\xE3\x81\x82\xF0\x9F\x98\x80");
    EXPECT_EQ(ToUtf8(u"\xDCFF"), "\xEF\xBF\xBD");
    EXPECT_EQ(FromUtf8("a\xFF"), u"a\xFFFD");
    EXPECT_EQ(FromUtf8("\xE3\x81\x82"), u"あ");
}

}  // namespace
}  // namespace zv
