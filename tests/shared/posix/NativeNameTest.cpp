#include <gtest/gtest.h>

#include "shared/NativeName.h"

namespace zv {
namespace {

struct BytesCase {
    std::string bytes;
    std::u16string name;
};

// Names as the disk holds them and as Zorvik carries them.
class NativeNameTest : public testing::TestWithParam<BytesCase> {};

TEST_P(NativeNameTest, DecodesAndRoundTrips) {
    const auto& c = GetParam();
    EXPECT_EQ(FromNative(c.bytes), c.name);
    EXPECT_EQ(ToNative(c.name), c.bytes);
    EXPECT_EQ(NativeNameLength(c.name), c.bytes.size());
}

INSTANTIATE_TEST_SUITE_P(
    Names, NativeNameTest,
    testing::Values(BytesCase{"\xE5\x86\x99\xE7\x9C\x9F.jpg", u"写真.jpg"},
                    BytesCase{"\xF0\x9F\x98\x80", u"\U0001F600"},
                    // Shift-JIS "あ" from an old disk: neither byte is UTF-8.
                    BytesCase{"\x82\xA0.txt", u"\xDC82\xDCA0.txt"},
                    // A broken sequence: only its bytes are escaped, the rest reads normally.
                    BytesCase{"\xE3\x81"
                              "a",
                              u"\xDCE3\xDC81"
                              "a"},
                    // Overlong form of "/" and an encoded surrogate are not UTF-8.
                    BytesCase{"\xC0\xAF", u"\xDCC0\xDCAF"}, BytesCase{"\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"},
                    // Beyond U+10FFFF.
                    BytesCase{"\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"},
                    BytesCase{"\xF4\x8F\xBF\xBF", u"\U0010FFFF"}));

TEST(NativeName, EveryByteSequenceSurvivesTheRoundTrip) {
    // All two-byte sequences, and each byte at the end of a longer name.
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            const std::string bytes{static_cast<char>(a), static_cast<char>(b)};
            ASSERT_EQ(ToNative(FromNative(bytes)), bytes) << a << " " << b;
        }
        const std::string tail = "\xE6\x97\xA5" + std::string(1, static_cast<char>(a));
        ASSERT_EQ(ToNative(FromNative(tail)), tail) << a;
    }
}

struct LoneCase {
    std::u16string name;
    std::string bytes;
};

class LoneSurrogateTest : public testing::TestWithParam<LoneCase> {};

// Lone surrogates that name no byte (only typed text holds them) are written
// as U+FFFD, never as ill-formed UTF-8.
TEST_P(LoneSurrogateTest, WritesReplacementCharacter) {
    EXPECT_EQ(ToNative(GetParam().name), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Names, LoneSurrogateTest,
                         testing::Values(LoneCase{u"a\xD800", "a\xEF\xBF\xBD"},
                                         LoneCase{u"\xDC00x", "\xEF\xBF\xBDx"},
                                         LoneCase{u"\xDE00\xD83D", "\xEF\xBF\xBD\xEF\xBF\xBD"}));

}  // namespace
}  // namespace zv
