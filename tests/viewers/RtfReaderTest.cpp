#include <gtest/gtest.h>

#include <chrono>

#include "TestFiles.h"
#include "viewers/RtfReader.h"

using zv::RtfDocument;
using zv::RtfReader;
using zvtest::Utf8;

namespace {

struct TextCase {
    const char* name;
    std::string rtf;
    const char* expected;  // UTF-8
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

class RtfTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(RtfTextTest, DecodesText) {
    const TextCase& c = GetParam();
    EXPECT_EQ(Utf8(RtfReader::Parse(c.rtf).PlainText()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Encoding, RtfTextTest,
    ::testing::Values(
        TextCase{"hex_cp1252", R"({\rtf1\ansi\ansicpg1252 caf\'e9})", "café"},
        TextCase{"fcharset128_under_1252",
                 R"({\rtf1\ansi\ansicpg1252{\fonttbl{\f0\fnil\fcharset128 MS Gothic;}}\f0 \'93\'fa\'96\'7b})",
                 "日本"},
        TextCase{"ansicpg932_without_font", R"({\rtf1\ansi\ansicpg932 \'82\'a0\'82\'a2})", "あい"},
        TextCase{
            "font_switch_changes_code_page",
            R"({\rtf1\ansi\ansicpg1252{\fonttbl{\f0\fcharset0 Arial;}{\f1\fcharset128 Goth;}}\f1\'93\'fa\f0\'e9})",
            "日é"},
        TextCase{"dbcs_trail_byte_written_as_escaped_backslash", R"({\rtf1\ansi\ansicpg932 \'83\\})", "ソ"},
        TextCase{"cyrillic_font_under_1252", R"({\rtf1\ansicpg1252{\fonttbl{\f0\fcharset204 C;}}\f0\'c0})",
                 "А"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Unicode, RtfTextTest,
    ::testing::Values(TextCase{"u_with_default_fallback", R"({\rtf1 A\u8364?B})", "A€B"},
                      TextCase{"uc0_keeps_following_text", R"({\rtf1\uc0\u8364 ?})", "€?"},
                      TextCase{"uc2_skips_two_byte_fallback", R"({\rtf1\ansicpg932\uc2\u26085\'93\'fa!})",
                               "日!"},
                      TextCase{"negative_u_surrogate_pair", R"({\rtf1\u-10179?\u-9047?})", "💩"},
                      TextCase{"lone_surrogate_replaced", R"({\rtf1 a\u-10179?b})",
                               "a\xEF\xBF\xBD"
                               "b"},
                      TextCase{"uc_scoped_to_group", R"({\rtf1{\uc2\u26085 xy}z\u26085 ab})", "日z日b"},
                      TextCase{"skip_counts_control_word", R"({\rtf1\u26085\par x})", "日x"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Structure, RtfTextTest,
    ::testing::Values(TextCase{"bin_data_skipped", R"({\rtf1 a\bin3 x}yb})", "ab"},
                      TextCase{"bin_longer_than_file", R"({\rtf1 a\bin999999 xyz)", "a"},
                      TextCase{"bin_negative_length", R"({\rtf1 a\bin-5 b})", "ab"},
                      TextCase{"ignorable_destination", R"({\rtf1 a{\*\unknowndest hidden}b})", "ab"},
                      TextCase{"field_shows_result_only",
                               R"({\rtf1{\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}}})", "link"},
                      TextCase{"par_line_tab", R"({\rtf1 a\par b\line c\tab d})", "a\nb\nc\td"},
                      TextCase{"table_row", R"({\rtf1\trowd\cellx100\cellx200 A\cell B\cell\row C})",
                               "A\tB\nC"},
                      TextCase{"missing_closing_braces", R"({\rtf1 abc{\b def)", "abcdef"},
                      TextCase{"junk_after_document", R"({\rtf1 abc}junk})", "abc"},
                      TextCase{"nested_rtf_group", R"({\rtf1 a{\rtf1 b}c})", "abc"},
                      TextCase{"empty_input", "", ""}, TextCase{"cut_off_hex_escape", R"({\rtf1 a\'4)", "a"},
                      TextCase{"huge_parameter", R"({\rtf1 a\fs99999999999999999999 b})", "ab"},
                      TextCase{"trailing_par_adds_no_line", R"({\rtf1 a\par })", "a"},
                      TextCase{"hidden_text_stays_hidden",
                               R"({\rtf1 a{\v x\par\u26085?}b\v c\v0 d\plain\v e\plain f})", "abdf"}),
    [](const auto& info) { return std::string(info.param.name); });

// Finds the run that holds ch.
const zv::RtfRun* RunWith(const RtfDocument& doc, char16_t ch) {
    for (const auto& p : doc.paragraphs)
        for (const auto& r : p.runs)
            if (r.text.find(ch) != std::u16string::npos) return &r;
    return nullptr;
}

struct FormatCase {
    char16_t ch;
    bool bold, italic, underline, strike;
    int halfPoints;
    bool hasColor;
    uint32_t color;
    const char* font;
};

class RtfFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(RtfFormatTest, KeepsCharacterFormat) {
    static const RtfDocument doc = RtfReader::Parse(
        R"({\rtf1{\fonttbl{\f0 Arial;}{\f1 Courier New;}}{\colortbl;\red255\green0\blue0;\red0\green0\blue255;})"
        R"(\deff0 a{\b b}\i c\i0\ul d\ulnone\fs40 e\cf1 f\plain g{\strike h}\f1 i\cf2\b\b0 j\cf9 k})");
    const FormatCase& c = GetParam();
    const zv::RtfRun* run = RunWith(doc, c.ch);
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(run->format.bold, c.bold);
    EXPECT_EQ(run->format.italic, c.italic);
    EXPECT_EQ(run->format.underline, c.underline);
    EXPECT_EQ(run->format.strike, c.strike);
    EXPECT_EQ(run->format.halfPoints, c.halfPoints);
    EXPECT_EQ(run->format.hasColor, c.hasColor);
    if (c.hasColor) EXPECT_EQ(run->format.color, c.color);
    EXPECT_EQ(Utf8(run->format.fontName), c.font);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, RtfFormatTest,
    ::testing::Values(FormatCase{u'b', true, false, false, false, 24, false, 0, "Arial"},
                      FormatCase{u'd', false, false, true, false, 24, false, 0, "Arial"},
                      FormatCase{u'f', false, false, false, false, 40, true, 0xFF0000, "Arial"},
                      FormatCase{u'g', false, false, false, false, 24, false, 0, "Arial"},
                      FormatCase{u'h', false, false, false, true, 24, false, 0, "Arial"},
                      FormatCase{u'i', false, false, false, false, 24, false, 0, "Courier New"},
                      FormatCase{u'k', false, false, false, false, 24, false, 0, "Courier New"}));

TEST(RtfReaderLimits, DeepNestingIsBoundedAndFast) {
    struct Depth {
        int depth;
        const char* expected;
    };
    for (const Depth& d : {Depth{10, "axb"}, Depth{RtfReader::kMaxDepth + 10, "ab"}, Depth{200000, "ab"}}) {
        const std::string rtf =
            "{\\rtf1 a" + std::string(d.depth, '{') + "x" + std::string(d.depth, '}') + "b}";
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(Utf8(RtfReader::Parse(rtf).PlainText()), d.expected) << d.depth;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << d.depth;
    }
    // Unclosed groups to the end of a large input.
    EXPECT_EQ(RtfReader::Parse(std::string(1 << 20, '{')).PlainText(), u"");
}

// Japanese (and other) documents whose text a reader must get right.
struct SampleCase {
    const char* file;
    std::vector<const char*> contains;
};

const std::vector<SampleCase>& Samples() {
    static const std::vector<SampleCase> samples = {
        {"tika_testRTF-ms932.rtf", {"こんにちは", "テスト"}},
        {"tika_testRTFJapanese.rtf", {"ゾルゲの処刑記録、"}},
        {"tika_testRTFUnicodeUCNControlWordCharacterDoubling.rtf", {"0 年 abc 念"}},
        {"rtfpipe_RtfParserTest_4.rtf", {"バージョンアップ注文書（銀行振込）"}},
        {"rtfpipe_RtfParserTest_7.rtf", {"これはテストです。", "“This is just a test”"}},
        {"rtfparserkit_testJapaneseJisEncoding.rtf", {"中國"}},
        {"rtfparserkit_testMultiByteHex.rtf", {"お元気ですか？"}},
        {"rtfparserkit_testNecCharacters.rtf", {"からシワ発生。", "時に表層"}},
        {"rtfparserkit_test10001Encoding.rtf", {"お読みください"}},
        {"rtfjs_pile-of-poo.rtf", {"Iñtërnâtiônàlizætiøn☃💩"}},
    };
    return samples;
}

std::filesystem::path FindSample(const char* file) {
    for (const auto& dir : {zvtest::CorpusDir("rtf"), zvtest::DataDir() / "rtf"})
        if (!dir.empty() && std::filesystem::exists(dir / file)) return dir / file;
    return {};
}

TEST(RtfReaderSamples, DecodesTheCharactersTheyHold) {
    int checked = 0;
    for (const SampleCase& s : Samples()) {
        const auto path = FindSample(s.file);
        if (path.empty()) continue;
        const std::string text = Utf8(RtfReader::Parse(zvtest::ReadAll(path)).PlainText());
        for (const char* expected : s.contains)
            EXPECT_NE(text.find(expected), std::string::npos) << s.file << " lacks " << expected;
        ++checked;
    }
    EXPECT_GE(checked, 5);  // the copies in tests/data are always there
}

TEST(RtfReaderSamples, ReadsEveryCorpusFile) {
    const auto dir = zvtest::CorpusDir("rtf");
    if (dir.empty()) GTEST_SKIP() << "no corpus";
    for (const auto& path : zvtest::FilesIn(dir)) {
        const std::string bytes = zvtest::ReadAll(path);
        const auto start = std::chrono::steady_clock::now();
        const RtfDocument doc = RtfReader::Parse(bytes);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << path;
        // Every document of the corpus has some visible text, and the reader
        // never lets markup through as text.
        const std::string text = Utf8(doc.PlainText());
        EXPECT_FALSE(doc.paragraphs.empty()) << path;
        EXPECT_EQ(text.find("\\rtf1"), std::string::npos) << path;
        EXPECT_EQ(text.find("\\fonttbl"), std::string::npos) << path;
        // Truncated prefixes must not trip the reader either.
        for (size_t cut : {bytes.size() / 3, bytes.size() / 2, bytes.size() - 1})
            RtfReader::Parse(std::string_view(bytes).substr(0, cut));
    }
}

}  // namespace
