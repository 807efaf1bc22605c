// Names as the disk holds them and as Zorvik carries them.
#include <gtest/gtest.h>

#include "shared/NativeName.h"

namespace zv {
namespace {

TEST(NativeName, DecodesAndRoundTrips) {
    // clang-format off
    const std::pair<std::string, std::u16string> cases[] = {
        {"\xE5\x86\x99\xE7\x9C\x9F.jpg", u"写真.jpg"}, {"\xF0\x9F\x98\x80", u"\U0001F600"},
        // Shift-JIS "あ" from an old disk: neither byte is UTF-8; of a broken
        // sequence only its bytes are escaped and the rest reads normally.
        {"\x82\xA0.txt", u"\xDC82\xDCA0.txt"}, {"\xE3\x81\x61", u"\xDCE3\xDC81\x61"},
        // An overlong "/", an encoded surrogate and code points beyond U+10FFFF
        // are not UTF-8.
        {"\xC0\xAF", u"\xDCC0\xDCAF"}, {"\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"},
        {"\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"}, {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        // Lone surrogates that name no byte are written as U+FFFD, never as
        // ill-formed UTF-8.
        {"a\xEF\xBF\xBD", u"a\xD800"}, {"\xEF\xBF\xBDx", u"\xDC00x"},
        {"\xEF\xBF\xBD\xEF\xBF\xBD", u"\xDE00\xD83D"}};
    // clang-format on
    for (const auto& [bytes, name] : cases) {
        SCOPED_TRACE(bytes);
        EXPECT_EQ(ToNative(name), bytes);
        // Where U+FFFD stands for a lone surrogate, only typed text holds the name.
        if (bytes.find("\xEF\xBF\xBD") == std::string::npos) {
            EXPECT_EQ(FromNative(bytes), name);
        }
    }
    // All two-byte sequences, and each byte at the end of a longer name.
    for (int a = 0; a < 256; ++a)
        for (int b = -1; b < 256; ++b) {  // -1: byte a at the end of a longer name
            const std::string bytes =
                b < 0 ? "\xE6\x97\xA5" + std::string(1, char(a)) : std::string{char(a), char(b)};
            ASSERT_EQ(ToNative(FromNative(bytes)), bytes) << a << " " << b;
        }
}

}  // namespace
}  // namespace zv
