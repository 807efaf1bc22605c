#include <gtest/gtest.h>

#include "TestFiles.h"
#include "viewers/TextDecoder.h"

using zvtest::Utf8;

namespace {

struct DecodeCase {
    const char* name;
    std::string bytes;
    const char* expected;  // UTF-8
    const char* encoding;
};

class TextFileDecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(TextFileDecodeTest, FindsEncodingAndLineEnds) {
    const DecodeCase& c = GetParam();
    const zv::DecodedText result = zv::DecodeTextFile(c.bytes);
    EXPECT_EQ(Utf8(result.text), c.expected);
    EXPECT_EQ(result.encoding, c.encoding);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Encodings, TextFileDecodeTest,
    ::testing::Values(DecodeCase{"utf8_bom", "\xEF\xBB\xBF\xE6\x97\xA5\xE6\x9C\xAC", "日本", "UTF-8"},
                      DecodeCase{"utf16le_bom", "\xFF\xFE\xE5\x65\x2C\x67"s, "日本", "UTF-16LE"},
                      DecodeCase{"utf16be_bom", "\xFE\xFF\x65\xE5\x67\x2C"s, "日本", "UTF-16BE"},
                      DecodeCase{"utf32le_bom_not_utf16", "\xFF\xFE\x00\x00\xE5\x65\x00\x00"s, "日",
                                 "UTF-32LE"},
                      DecodeCase{"utf16le_without_bom", "a\0b\0c\0\r\0\n\0d\0"s, "abc\nd", "UTF-16LE"},
                      DecodeCase{"utf8_without_bom", "\xE3\x81\x82\xE3\x81\x84", "あい", "UTF-8"},
                      DecodeCase{"shift_jis", "\x82\xA0\x82\xA2\x93\xFA\x96\x7B", "あい日本", "windows-31j"},
                      DecodeCase{"shift_jis_trail_backslash", "\x83\x5C", "ソ", "windows-31j"},
                      DecodeCase{"euc_jp_not_misread_as_sjis",
                                 "\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\xA5\xC6\xA5\xAD\xA5\xB9\xA5\xC8",
                                 "日本語のテキスト", "EUC-JP"},
                      DecodeCase{"iso_2022_jp", "\x1B$B$\"$$\x1B(B", "あい", "ISO-2022-JP"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(LineEnds, TextFileDecodeTest,
                         ::testing::Values(DecodeCase{"crlf", "a\r\nb\r\n", "a\nb\n", "UTF-8"},
                                           DecodeCase{"cr_only", "a\rb\r", "a\nb\n", "UTF-8"},
                                           DecodeCase{"mixed", "a\r\n\rb\n\r\nc", "a\n\nb\n\nc", "UTF-8"},
                                           DecodeCase{"sjis_crlf", "\x82\xA0\r\n\x82\xA2\r", "あ\nい\n",
                                                      "windows-31j"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Malformed UTF-8 must never smuggle characters through: an overlong "/"
// stays no "/", an encoded surrogate becomes no surrogate.
TEST(TextFileDecode, MalformedUtf8GivesNoHiddenCharacters) {
    for (const std::string bytes :
         {"\xC0\xAF", "a\xE0\x80\xAF", "\xED\xA0\x80", "\xED\xBF\xBFz", "\xF4\x90\x80\x80"}) {
        const std::u16string text = zv::DecodeTextFile(bytes).text;
        EXPECT_EQ(text.find(u'/'), std::u16string::npos) << bytes;
        for (char16_t c : text) EXPECT_FALSE(c >= 0xD800 && c <= 0xDFFF) << bytes;
    }
    EXPECT_EQ(zv::DecodeTextFile("").text, u"");
}

// Samples whose text is known: the decoded file must hold these characters.
struct TextSample {
    const char* file;
    const char* contains;
};

TEST(TextFileSamples, DecodesJapaneseFiles) {
    const TextSample samples[] = {
        {"redsal_cp932-shift-jis.txt", "01: Japanese: 日本語のテキスト\n"},
        {"redsal_cp932-shift-jis.txt", "C:\\Temp\\ViewerText\\"},
        {"redsal_euc-jp.txt", "漢字 ひらがな カタカナ"},
        {"redsal_iso-2022-jp.txt", "01: Japanese: 日本語のテキスト\n"},
        {"redsal_utf8-no-bom.txt", "10: CJK: 漢字 日本語 한글"},
        {"redsal_utf16be-no-bom.txt", "10: CJK: 漢字 日本語 한글"},
    };
    int checked = 0;
    for (const TextSample& s : samples) {
        std::filesystem::path path;
        for (const auto& dir : {zvtest::CorpusDir("text"), zvtest::DataDir() / "text"})
            if (!dir.empty() && std::filesystem::exists(dir / s.file)) path = dir / s.file;
        if (path.empty()) continue;
        const std::string text = Utf8(zv::DecodeTextFile(zvtest::ReadAll(path)).text);
        EXPECT_NE(text.find(s.contains), std::string::npos) << s.file << " lacks " << s.contains;
        EXPECT_EQ(text.find('\r'), std::string::npos) << s.file;
        ++checked;
    }
    EXPECT_GE(checked, 4);
}

TEST(TextFileSamples, ReadsEveryCorpusFile) {
    const auto dir = zvtest::CorpusDir("text");
    if (dir.empty()) GTEST_SKIP() << "no corpus";
    for (const auto& path : zvtest::FilesIn(dir)) {
        const std::string bytes = zvtest::ReadAll(path);
        const zv::DecodedText result = zv::DecodeTextFile(bytes);
        EXPECT_FALSE(result.encoding.empty()) << path;
        EXPECT_EQ(result.text.empty(), bytes.empty()) << path;
        EXPECT_EQ(result.text.find(u'\r'), std::u16string::npos) << path;
    }
}

}  // namespace
