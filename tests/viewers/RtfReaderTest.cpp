// The RTF reader: text in the document's code pages, Unicode escapes, the
// structure kept and skipped, character formats, and real-world documents.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>

#include "TestFiles.h"
#include "viewers/RtfReader.h"

using zv::RtfReader;
using zvtest::Utf8;

namespace {

std::string Text(std::string_view rtf) { return Utf8(RtfReader::Parse(rtf).PlainText()); }

TEST(RtfReader, DecodesText) {
    // clang-format off
    const std::pair<std::string, const char*> cases[] = {
        // Code pages: the document's, a font's charset, switched with the font.
        {R"({\rtf1\ansi\ansicpg1252 caf\'e9})", "café"}, {R"({\rtf1 a\fs99999999999999999999 b})", "ab"},
        {R"({\rtf1\ansi\ansicpg932 \'82\'a0\'82\'a2})", "あい"}, {R"({\rtf1 a\par })", "a"},
        {R"({\rtf1\ansi\ansicpg1252{\fonttbl{\f0\fnil\fcharset128 MS Gothic;}}\f0 \'93\'fa\'96\'7b})",
         "日本"},
        {R"({\rtf1\ansi\ansicpg1252{\fonttbl{\f0\fcharset0 Arial;}{\f1\fcharset128 Goth;}}\f1\'93\'fa\f0\'e9})",
         "日é"},
        {R"({\rtf1\ansi\ansicpg932 \'83\\})", "ソ"},  // a trail byte written as an escaped backslash
        {R"({\rtf1\ansicpg1252{\fonttbl{\f0\fcharset204 C;}}\f0\'c0})", "А"},
        // Unicode escapes and the fallback characters they skip; a lone surrogate is replaced; a
        // control word counts as one skipped character.
        {R"({\rtf1 A\u8364?B})", "A€B"}, {R"({\rtf1\uc0\u8364 ?})", "€?"},
        {R"({\rtf1\u-10179?\u-9047?})", "💩"}, {R"({\rtf1\ansicpg932\uc2\u26085\'93\'fa!})", "日!"},
        {R"({\rtf1 a\u-10179?b})", "a\xEF\xBF\xBD" "b"}, {R"({\rtf1\u26085\par x})", "日x"},
        {R"({\rtf1{\uc2\u26085 xy}z\u26085 ab})", "日z日b"},
        // Structure; a backslash before a line end ends the paragraph; hidden text stays hidden.
        {R"({\rtf1 a\bin3 x}yb})", "ab"}, {R"({\rtf1 a\bin999999 xyz)", "a"}, {R"({\rtf1 a\bin-5 b})", "ab"},
        {R"({\rtf1 a{\*\unknowndest hidden}b})", "ab"}, {R"({\rtf1 a\par b\line c\tab d})", "a\nb\nc\td"},
        {R"({\rtf1{\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}}})", "link"},
        {"{\\rtf1 a\\\nb\\\r\nc}", "a\nb\nc"}, {R"({\rtf1 abc{\b def)", "abcdef"},
        {R"({\rtf1\trowd\cellx100\cellx200 A\cell B\cell\row C})", "A\tB\nC"},
        {R"({\rtf1 abc}junk})", "abc"}, {R"({\rtf1 a{\rtf1 b}c})", "abc"}, {"", ""}, {R"({\rtf1 a\'4)", "a"},
        {R"({\rtf1 a{\v x\par\u26085?}b\v c\v0 d\plain\v e\plain f})", "abdf"}};
    // clang-format on
    for (const auto& [rtf, expected] : cases) EXPECT_EQ(Text(rtf), expected) << rtf;
}

// bold, italic, underline, strike, size in half points, colour, font.
std::string Describe(const zv::RtfCharFormat& f) {
    char color[16] = "";
    if (f.hasColor) std::snprintf(color, sizeof color, " #%06x", f.color);
    return std::string(f.bold ? "b" : "") + (f.italic ? "i" : "") + (f.underline ? "u" : "") +
           (f.strike ? "s" : "") + std::to_string(f.halfPoints) + color + " " + Utf8(f.fontName);
}

TEST(RtfReader, KeepsCharacterFormat) {
    const zv::RtfDocument doc = RtfReader::Parse(
        R"({\rtf1{\fonttbl{\f0 Arial;}{\f1 Courier New;}}{\colortbl;\red255\green0\blue0;\red0\green0\blue255;})"
        R"(\deff0 a{\b b}\i c\i0\ul d\ulnone\fs40 e\cf1 f\plain g{\strike h}\f1 i\cf2\b\b0 j\cf9 k})");
    std::map<char16_t, std::string> formats;
    for (const auto& p : doc.paragraphs)
        for (const auto& r : p.runs)
            for (char16_t ch : r.text) formats[ch] = Describe(r.format);
    // clang-format off
    EXPECT_EQ(formats, (std::map<char16_t, std::string>{
                           {u'a', "24 Arial"}, {u'b', "b24 Arial"}, {u'c', "i24 Arial"}, {u'd', "u24 Arial"},
                           {u'e', "40 Arial"}, {u'f', "40 #ff0000 Arial"}, {u'g', "24 Arial"},
                           {u'h', "s24 Arial"}, {u'i', "24 Courier New"}, {u'j', "24 #0000ff Courier New"},
                           {u'k', "24 Courier New"}}));
    // clang-format on
}

TEST(RtfReader, DeepNestingIsBoundedAndFast) {
    for (const auto& [depth, expected] :
         {std::pair{10, "axb"}, std::pair{RtfReader::kMaxDepth + 10, "ab"}, std::pair{200000, "ab"}}) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(Text("{\\rtf1 a" + std::string(depth, '{') + "x" + std::string(depth, '}') + "b}"),
                  expected);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << depth;
    }
    // Unclosed groups to the end of a large input.
    EXPECT_EQ(Text(std::string(1 << 20, '{')), "");
}

// Every sample document (the corpus's, or else the copies in tests/data) is
// read in time, has visible text and never lets markup through as text, nor
// do cut-off copies trip the reader; Japanese (and other) documents whose
// text a reader must get right hold these characters.
TEST(RtfReader, ReadsEverySample) {
    const std::multimap<std::string, const char*> contains = {
        {"tika_testRTF-ms932.rtf", "こんにちは"},
        {"tika_testRTF-ms932.rtf", "テスト"},
        {"tika_testRTFJapanese.rtf", "ゾルゲの処刑記録、"},
        {"tika_testRTFUnicodeUCNControlWordCharacterDoubling.rtf", "0 年 abc 念"},
        {"rtfpipe_RtfParserTest_4.rtf", "バージョンアップ注文書（銀行振込）"},
        {"rtfpipe_RtfParserTest_7.rtf", "これはテストです。"},
        {"rtfpipe_RtfParserTest_7.rtf", "“This is just a test”"},
        {"rtfparserkit_testJapaneseJisEncoding.rtf", "中國"},
        {"rtfjs_pile-of-poo.rtf", "Iñtërnâtiônàlizætiøn☃💩"},
        {"rtfparserkit_testMultiByteHex.rtf", "お元気ですか？"},
        {"rtfparserkit_test10001Encoding.rtf", "お読みください"},
        {"rtfparserkit_testNecCharacters.rtf", "からシワ発生。"},
        {"rtfparserkit_testNecCharacters.rtf", "時に表層"}};
    size_t checked = 0;
    for (const auto& path : zvtest::FilesIn(zvtest::SampleDir("rtf"))) {
        const std::string bytes = zvtest::ReadAll(path);
        const auto start = std::chrono::steady_clock::now();
        const zv::RtfDocument doc = RtfReader::Parse(bytes);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << path;
        const std::string text = Utf8(doc.PlainText());
        EXPECT_FALSE(doc.paragraphs.empty()) << path;
        EXPECT_EQ(text.find("\\rtf1"), std::string::npos) << path;
        EXPECT_EQ(text.find("\\fonttbl"), std::string::npos) << path;
        const auto [from, to] = contains.equal_range(path.filename().string());
        for (auto it = from; it != to; ++it, ++checked)
            EXPECT_NE(text.find(it->second), std::string::npos) << path << " lacks " << it->second;
        for (size_t cut : {bytes.size() / 3, bytes.size() / 2, bytes.size() - 1})
            RtfReader::Parse(std::string_view(bytes).substr(0, cut));
    }
    EXPECT_GE(checked, 6u);  // the copies in tests/data are always there
}

}  // namespace
