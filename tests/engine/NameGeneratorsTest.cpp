// New names of the three modes, driven through the table the engine builds.
#include <gtest/gtest.h>

#include "engine/EngineFakes.h"

namespace zv::test {
namespace {

constexpr char16_t kDigitTitle[] = u"桁数の超過";
constexpr char16_t kNumberTitle[] = u"連番の超過";

struct NumberingCase {
    const char* label;
    std::vector<std::u16string> files;
    std::u16string start = u"1", up = u"1", digits = u"3";
    int fixed = 1;
    bool halfWidth = true;
    std::u16string before = u"IMG_", after = u"";
    std::vector<std::u16string> names;
    std::u16string stopTitle;  // empty: the generator goes on
};

std::vector<std::u16string> Files(int n) {
    std::vector<std::u16string> out;
    for (int i = 0; i < n; ++i) out.push_back(u"f" + std::u16string(1, char16_t(u'a' + i)) + u".jpg");
    return out;
}

class NumberedNamesTest : public testing::TestWithParam<NumberingCase> {};

TEST_P(NumberedNamesTest, MakesNamesOrStops) {
    const auto& c = GetParam();
    EngineRig rig;
    rig.settings.SelectAll(c.files);
    rig.settings.SetText("Txt_Startnum", c.start);
    rig.settings.SetText("Lbl_up", c.up);
    rig.settings.SetText("Lbl_keta", c.digits);
    rig.settings.SetValue("Chk_keta_lock", c.fixed);
    rig.settings.SetValue("Opt_Han", c.halfWidth ? -1 : 0);
    rig.settings.SetValue("Opt_Zen", c.halfWidth ? 0 : -1);
    rig.settings.SetText("Txt_B_text", c.before);
    rig.settings.SetText("Txt_A_text", c.after);

    rig.engine.BuildConversionTable();
    const StepFlag flag = rig.engine.MakeNumberedNames();

    EXPECT_EQ(rig.engine.Table().newName, c.names);
    if (c.stopTitle.empty()) {
        EXPECT_EQ(flag, kGoOn);
        EXPECT_TRUE(rig.messages.shown.empty());
    } else {
        EXPECT_EQ(flag, kStop);
        ASSERT_EQ(rig.messages.shown.size(), 1u);
        const auto& m = rig.messages.shown[0];
        EXPECT_EQ(m.title, c.stopTitle);
        EXPECT_EQ(m.buttons, kOkOnly);
        EXPECT_EQ(m.prompt, c.stopTitle == kDigitTitle
                                ? u"オーバーフロー\r\n桁数を確認して下さい。"
                                : u"オーバーフロー\r\n連番が０未満または2147483648以上になりました。");
    }
}

using Names = std::vector<std::u16string>;
const Names kTwo = {u"a.jpg", u"b.jpg"};

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, NumberedNamesTest, testing::Values(
    //            label                           files       start   up   digits fix half before after names
    NumberingCase{"fixed_three",                  kTwo,       u"1",   u"1", u"3", 1, true,  u"IMG_", u"",
                  {u"IMG_001.jpg", u"IMG_002.jpg"}},
    NumberingCase{"full_width",                   kTwo,       u"1",   u"1", u"3", 1, false, u"IMG_", u"",
                  {u"IMG_００１.jpg", u"IMG_００２.jpg"}},
    NumberingCase{"tenth_file_overflows_one_digit", Files(10), u"1",  u"1", u"1", 1, true,  u"", u"",
                  {u"1.jpg", u"2.jpg", u"3.jpg", u"4.jpg", u"5.jpg", u"6.jpg", u"7.jpg", u"8.jpg", u"9.jpg"},
                  kDigitTitle},
    NumberingCase{"base_part_dropped", {u"photo.jpg", u"memo.txt"}, u"1", u"1", u"3", 0, true, u"", u"",
                  {u"1.jpg", u"2.txt"}},
    NumberingCase{"texts_around_number",          {u"a.jpg"}, u"7",   u"1", u"3", 0, true,  u"a", u"b", {u"a7b.jpg"}},
    NumberingCase{"next_number_below_zero_stops", Files(3),   u"5",  u"-2", u"3", 0, true,  u"", u"",
                  {u"5.jpg", u"3.jpg", u"1.jpg"}, kNumberTitle},
    NumberingCase{"largest_number_last",          Files(1),   u"2147483646", u"1", u"3", 0, true, u"", u"",
                  {u"2147483646.jpg"}},
    NumberingCase{"past_largest_number_stops",    Files(1),   u"2147483647", u"1", u"3", 0, true, u"", u"",
                  {u"2147483647.jpg"}, kNumberTitle},
    NumberingCase{"start_rounds_ties_to_even",    Files(2),   u"2.5", u"1", u"3", 0, true,  u"", u"",
                  {u"2.jpg", u"3.jpg"}},
    NumberingCase{"start_too_large_for_32_bits",  Files(1),   u"9e99", u"1", u"3", 0, true, u"", u"", {},
                  kNumberTitle},
    NumberingCase{"digit_count_rounded_for_padding", Files(1), u"12", u"1", u"2.5", 1, true, u"", u"", {u"12.jpg"}},
    NumberingCase{"digit_count_compared_unrounded",  Files(1), u"123", u"1", u"2.5", 1, true, u"", u"", {},
                  kDigitTitle},
    NumberingCase{"no_files",                     {},         u"1",   u"1", u"3", 1, true,  u"", u"", {}}),
    [](const auto& info) { return std::string(info.param.label); });
// clang-format on

TEST(NumberedNames, ReadsStartAndIncrementOnceAndTextsPerRow) {
    EngineRig rig;
    rig.settings.SelectAll(Files(3));
    rig.settings.SetValue("Chk_keta_lock", 0);
    rig.engine.BuildConversionTable();
    // What the user types while the names are made counts from the next row on.
    int pumps = 0;
    rig.events.onEvents = [&] {
        if (++pumps == 2) {
            rig.settings.SetText("Txt_A_text", u"_x");
            rig.settings.SetText("Txt_Startnum", u"100");
            rig.settings.SetText("Lbl_up", u"50");
        }
    };
    ASSERT_EQ(rig.engine.MakeNumberedNames(), kGoOn);
    EXPECT_EQ(rig.engine.Table().newName, (std::vector<std::u16string>{u"1.jpg", u"2_x.jpg", u"3_x.jpg"}));
}

// How a name splits, and what a whole test run makes of it in each mode:
// numbering with empty texts, append with "前_" and "_後", replace of "." by
// "_" (the extension part is never searched). An empty new name stands for
// the refusal of a name that is only its extension part.
struct SplitCase {
    const char* label;
    std::u16string name, base, extension, numbered, appended, replaced;
};

class SplitNamesTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitNamesTest, ColumnsAndNewNamesInEveryMode) {
    const auto& c = GetParam();
    for (int mode = 0; mode < 3; ++mode) {
        EngineRig rig;
        rig.settings.SelectAll({c.name});
        rig.settings.SetValue("Chk_keta_lock", 0);
        if (mode == 1) {
            rig.settings.SetValue("Chk_syori(0)", 1);
            rig.settings.SetText("Txt_B_text", u"前_");
            rig.settings.SetText("Txt_A_text", u"_後");
        }
        if (mode == 2) {
            rig.settings.SetValue("Chk_syori(1)", 1);
            rig.settings.SetText("Txt_B_text", u".");
            rig.settings.SetText("Txt_A_text", u"_");
        }
        const std::u16string& expected = mode == 0 ? c.numbered : mode == 1 ? c.appended : c.replaced;
        const StepFlag flag = rig.engine.RunConversion();
        const ConversionTable& t = rig.engine.Table();
        EXPECT_EQ(t.base, std::vector<std::u16string>{c.base});
        EXPECT_EQ(t.extension, std::vector<std::u16string>{c.extension});
        if (expected.empty()) {  // nothing before the extension part
            EXPECT_EQ(flag, kStop) << "mode " << mode;
            ASSERT_EQ(rig.messages.shown.size(), 1u);
            EXPECT_EQ(rig.messages.shown[0].prompt, u"ファイル名が空白です。");
            continue;
        }
        EXPECT_EQ(flag, kGoOn) << "mode " << mode;
        EXPECT_EQ(t.newName, std::vector<std::u16string>{expected}) << "mode " << mode;
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Names, SplitNamesTest, testing::Values(
    //       label                 name                  base             extension  numbered   appended                 replaced
    SplitCase{"three_letters",     u"photo.jpg",         u"photo",        u".jpg",   u"1.jpg",  u"前_photo_後.jpg",      u"photo.jpg"},
    SplitCase{"four_letters",      u"photo.jpeg",        u"photo",        u".jpeg",  u"1.jpeg", u"前_photo_後.jpeg",     u"photo.jpeg"},
    SplitCase{"five_letters",      u"report.docx",       u"report",       u".docx",  u"1.docx", u"前_report_後.docx",    u"report.docx"},
    SplitCase{"two_dots",          u"archive.tar.gz",    u"archive.tar",  u".gz",    u"1.gz",   u"前_archive.tar_後.gz", u"archive_tar.gz"},
    SplitCase{"classic_cut_first", u"x.y.z",             u"x",            u".y.z",   u"1.y.z",  u"前_x_後.y.z",          u"x.y.z"},
    SplitCase{"no_dot",            u"README",            u"README",       u"",       u"1",      u"前_README_後",         u"README"},
    SplitCase{"short",             u"a.c",               u"a",            u".c",     u"1.c",    u"前_a_後.c",            u"a.c"},
    SplitCase{"four_no_dot",       u"abcd",              u"abcd",         u"",       u"1",      u"前_abcd_後",           u"abcd"},
    SplitCase{"four_dot_third",    u"a.bc",              u"a",            u".bc",    u"1.bc",   u"前_a_後.bc",           u"a.bc"},
    SplitCase{"four_dot_first",    u".abc",              u"",             u".abc",   u"1.abc",  u"前__後.abc",           u""},
    SplitCase{"leading_dot_only",  u".profile",          u".profile",     u"",       u"1",      u"前_.profile_後",       u"_profile"},
    SplitCase{"trailing_dot",      u"photo.",            u"photo",        u".",      u"1.",     u"前_photo_後.",         u"photo."},
    SplitCase{"dots_and_trailing", u"name.tar.",         u"name.tar",     u".",      u"1.",     u"前_name.tar_後.",      u"name_tar."},
    SplitCase{"full_width_dot",    u"写真．jpg",          u"写真．jpg",     u"",       u"1",      u"前_写真．jpg_後",       u"写真．jpg"},
    SplitCase{"full_width_and_dot", u"資料．第2版.pdf",    u"資料．第2版",   u".pdf",   u"1.pdf",  u"前_資料．第2版_後.pdf",  u"資料．第2版.pdf"},
    SplitCase{"pair_before_dot",   u"\U0001F600.c",      u"\U0001F600",   u".c",     u"1.c",    u"前_\U0001F600_後.c",   u"\U0001F600.c"},
    SplitCase{"pair_then_four",    u"x\U0001F600.jpeg",  u"x\U0001F600",  u".jpeg",  u"1.jpeg", u"前_x\U0001F600_後.jpeg", u"x\U0001F600.jpeg"},
    SplitCase{"pair_no_dot",       u"x\U0001F600jpg",    u"x\U0001F600jpg", u"",     u"1",      u"前_x\U0001F600jpg_後",  u"x\U0001F600jpg"}),
    [](const auto& info) { return std::string(info.param.label); });
// clang-format on

struct TextModeCase {
    const char* label;
    int mode;  // 0 append, 1 replace
    std::u16string first, second;
    std::vector<std::u16string> files, names;
};

class TextModeNamesTest : public testing::TestWithParam<TextModeCase> {};

TEST_P(TextModeNamesTest, MakesNames) {
    const auto& c = GetParam();
    EngineRig rig;
    rig.settings.SelectAll(c.files);
    rig.settings.SetValue(c.mode == 0 ? "Chk_syori(0)" : "Chk_syori(1)", 1);
    rig.settings.SetText("Txt_B_text", c.first);
    rig.settings.SetText("Txt_A_text", c.second);
    rig.engine.BuildConversionTable();
    if (c.mode == 0) {
        rig.engine.MakeFixedStringNames();
    } else {
        rig.engine.MakeReplacedNames();
    }
    EXPECT_EQ(rig.engine.Table().newName, c.names);
    EXPECT_EQ(rig.events.count,
              static_cast<int>(2 * c.files.size()));  // building and naming, once a row each
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, TextModeNamesTest, testing::Values(
    TextModeCase{"replace_no_match", 1, u"2001", u"2002", {u"abc.txt"}, {u"abc.txt"}},
    TextModeCase{"replace_never_touches_extension", 1, u"txt", u"doc", {u"abc.txt", u"txt.txt"},
                 {u"abc.txt", u"doc.txt"}},
    TextModeCase{"replace_empty_search", 1, u"", u"x", {u"abc.jpg"}, {u"abc.jpg"}}),
    [](const auto& info) { return std::string(info.param.label); });
// clang-format on

}  // namespace
}  // namespace zv::test
