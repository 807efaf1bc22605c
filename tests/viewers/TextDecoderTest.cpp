// Text files: the encoding found and the line ends made "\n".

#include <gtest/gtest.h>

#include <map>

#include "TestFiles.h"
#include "viewers/TextDecoder.h"

using namespace std::string_literals;
using zvtest::Utf8;

namespace {

// Bytes, the text (UTF-8) and the encoding found. UTF-32 is not read as
// UTF-16 with NULs; half-width katakana, valid EUC-JP too, is what the system
// code page says; Korean, valid Shift-JIS too, stays Korean; a character cut
// by the end of the file does not decide the encoding.
TEST(TextFileDecode, FindsEncodingAndLineEnds) {
    // clang-format off
    const std::tuple<std::string, const char*, const char*> cases[] = {
        {"\xEF\xBB\xBF\xE6\x97\xA5\xE6\x9C\xAC", "日本", "UTF-8"},
        {"\xFF\xFE\xE5\x65\x2C\x67"s, "日本", "UTF-16LE"}, {"\xFE\xFF\x65\xE5\x67\x2C"s, "日本", "UTF-16BE"},
        {"\xFF\xFE\x00\x00\xE5\x65\x00\x00"s, "日", "UTF-32LE"},
        {"a\0b\0c\0\r\0\n\0d\0"s, "abc\nd", "UTF-16LE"}, {"\xE3\x81\x82\xE3\x81\x84", "あい", "UTF-8"},
        {"\x82\xA0\x82\xA2\x93\xFA\x96\x7B", "あい日本", "windows-31j"}, {"\x83\x5C", "ソ", "windows-31j"},
        {"\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\xA5\xC6\xA5\xAD\xA5\xB9\xA5\xC8", "日本語のテキスト", "EUC-JP"},
        {"\x1B$B$\"$$\x1B(B", "あい", "ISO-2022-JP"},
        {"\xB6\xC0\xB6\xC5 \xC3\xDE\xB0\xC0", "ｶﾀｶﾅ ﾃﾞｰﾀ", "windows-31j"},
        {"\x93\xFA\x96\x7B\x8C", "日本\xEF\xBF\xBD", "windows-31j"}, {"caf\xE9", "café", "windows-1252"},
        {"\xE6\x97\xA5\xE6\x97", "日\xEF\xBF\xBD", "UTF-8"},
        {"\xBE\xC8\xB3\xE7\xC7\xCF\xBC\xBC\xBF\xE4 \xBC\xBC\xB0\xE8", "안녕하세요 세계", "windows-949"},
        {"\xC4\xE3\xBA\xC3\xA3\xAC\xCA\xC0\xBD\xE7\xA1\xA3\xD6\xD0\xCE\xC4\xCE\xC4\xB1\xBE\xA1\xA3",
         "你好，世界。中文文本。", "GB18030"},
        {"\xA7\x41\xA6\x6E\xA1\x41\xA5\x40\xAC\xC9\xA1\x43\xC1\x63\xC5\xE9\xA4\xA4\xA4\xE5\xA1\x43",
         "你好，世界。繁體中文。", "windows-950"},
        {"a\r\nb\r\n", "a\nb\n", "UTF-8"}, {"a\rb\r", "a\nb\n", "UTF-8"},
        {"a\r\n\rb\n\r\nc", "a\n\nb\n\nc", "UTF-8"}, {"\x82\xA0\r\n\x82\xA2\r", "あ\nい\n", "windows-31j"},
        {"", "", "UTF-8"}};
    // clang-format on
    for (const auto& [bytes, expected, encoding] : cases) {
        const zv::DecodedText result = zv::DecodeTextFile(bytes);
        EXPECT_EQ(Utf8(result.text), expected) << expected;
        EXPECT_EQ(result.encoding, encoding) << expected;
    }
}

// Malformed UTF-8 must never smuggle characters through: an overlong "/"
// stays no "/", an encoded surrogate becomes no surrogate.
TEST(TextFileDecode, MalformedUtf8GivesNoHiddenCharacters) {
    for (const std::string bytes :
         {"\xC0\xAF", "a\xE0\x80\xAF", "\xED\xA0\x80", "\xED\xBF\xBFz", "\xF4\x90\x80\x80"}) {
        const std::u16string text = zv::DecodeTextFile(bytes).text;
        EXPECT_EQ(text.find(u'/'), std::u16string::npos) << bytes;
        for (char16_t c : text) EXPECT_FALSE(c >= 0xD800 && c <= 0xDFFF) << bytes;
    }
}

// Every sample (the corpus's, or else the copies in tests/data) is read in the
// encoding its name gives, and those whose text is known hold these characters.
TEST(TextFileSamples, DecodesEverySampleInItsEncoding) {
    const std::pair<const char*, const char*> byName[] = {
        {"ascii", "UTF-8"},           {"utf32be", "UTF-32BE"},     {"utf32le", "UTF-32LE"},
        {"utf16be", "UTF-16BE"},      {"utf16le", "UTF-16LE"},     {"utf8", "UTF-8"},
        {"iso2022jp", "ISO-2022-JP"}, {"shiftjis", "windows-31j"}, {"cp932", "windows-31j"},
        {"eucjp", "EUC-JP"},          {"euckr", "windows-949"},    {"big5", "windows-950"},
        {"cp936", "GB18030"},         {"1252", "windows-1252"}};
    const std::multimap<std::string, const char*> contains = {
        {"redsal_cp932-shift-jis.txt", "01: Japanese: 日本語のテキスト\n"},
        {"redsal_cp932-shift-jis.txt", "C:\\Temp\\ViewerText\\"},
        {"redsal_euc-jp.txt", "漢字 ひらがな カタカナ"},
        {"redsal_iso-2022-jp.txt", "01: Japanese: 日本語のテキスト\n"},
        {"redsal_utf8-no-bom.txt", "10: CJK: 漢字 日本語 한글"},
        {"redsal_utf16be-no-bom.txt", "10: CJK: 漢字 日本語 한글"},
        {"redsal_euc-kr.txt", "01: Korean: 안녕하세요 세계\n"},
        {"redsal_big5.txt", "05: Chinese: 繁體中文\n"},
        {"redsal_cp936-gb2312.txt", "01: Chinese: 你好，世界\n"}};
    size_t checked = 0;
    for (const auto& path : zvtest::FilesIn(zvtest::SampleDir("text"))) {
        const std::string bytes = zvtest::ReadAll(path);
        const zv::DecodedText result = zv::DecodeTextFile(bytes);
        const std::string text = Utf8(result.text);
        EXPECT_EQ(text.empty(), bytes.empty()) << path;
        EXPECT_EQ(text.find('\r'), std::string::npos) << path;
        const auto [from, to] = contains.equal_range(path.filename().string());
        for (auto it = from; it != to; ++it, ++checked)
            EXPECT_NE(text.find(it->second), std::string::npos) << path << " lacks " << it->second;
        std::string name;
        for (char c : path.filename().string())
            if (c != '-' && c != '_') name += char(std::tolower(static_cast<unsigned char>(c)));
        for (const auto& [key, encoding] : byName) {
            if (name.find(key) == std::string::npos) continue;
            EXPECT_EQ(result.encoding, encoding) << path;
            break;
        }
    }
    EXPECT_GE(checked, 4u);
}

}  // namespace
