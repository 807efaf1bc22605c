// The pipeline both run buttons use, driven through the test run: the checks
// (each message, the focus it leaves, which failure wins) and the new names
// of the three modes.
#include <gtest/gtest.h>

#include "engine/EngineFakes.h"

namespace zv::test {
namespace {

// clang-format off
const std::u16string kError = u"入力エラー", kSuffix = u"\r\nファイル名に使用できない文字が有ります。";
const Box kFirst{kError, u"固定文字列（前半部）" + kSuffix}, kSecond{kError, u"固定文字列（後半部）" + kSuffix};
const Box kTimeStamp{kError, u"タイムスタンプが設定されていません。\r\n本日日付を使用しますか？", kOkCancel};
const Box kStartEmpty{kError, u"開始番号を入力して下さい。"}, kStartLong{kError, u"開始番号の最大値は、999999999です。"};
const Box kTextsEmpty{kError, u"固定文字列を入力して下さい。"};
const Box kSystem{u"ファイル選択エラー", u"このまま変換するとシステムが不安定になる可能性が有ります。\r\n選択したファイル名を確認して下さい。"};
const Box kEmpty{u"ファイル名無し", u"ファイル名が空白です。"};
const Box kDigits{u"桁数の超過", u"オーバーフロー\r\n桁数を確認して下さい。"};
const Box kNumbers{u"連番の超過", u"オーバーフロー\r\n連番が０未満または2147483648以上になりました。"};
const Box kTooLong{u"ファイル名超過", u"ファイル名が長すぎます。"};
const Box kHidden{u"ファイル名エラー", u"変換後のファイル名が「.」で始まっています。\r\n隠しファイルになり一覧に表示されなくなるため変換できません。"};
// clang-format on

struct Case {
    const char* label;
    int mode;                      // 0 numbering (three fixed digits), 1 texts around the name, 2 replace
    std::u16string first, second;  // Txt_B_text, Txt_A_text
    Names selected;                // in /src, in list order
    Names names;                   // the result list
    Box box = {};                  // the one message; none when empty
    Controls controls = {};
    std::string focus = "";
    Names taken = {};  // files outside the job in the destination folder
    std::vector<int> answers = {};
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.label; }

class PipelineTest : public testing::TestWithParam<Case> {};

TEST_P(PipelineTest, NamesOrOneRefusal) {
    const Case& c = GetParam();
    EngineRig rig;
    rig.ui.Set({{"Lbl_keta", u"3"}, {"Txt_B_text", c.first}, {"Txt_A_text", c.second}});
    if (c.mode != 0) rig.ui.Set(c.mode == 1 ? "Chk_syori(0)" : "Chk_syori(1)", u"1");
    rig.ui.Set(c.controls);
    rig.ui.answers.assign(c.answers.begin(), c.answers.end());
    rig.ui.SelectAll(c.selected);
    for (const auto& n : c.selected) rig.files.Add(OsPath(u"/src/") + n);
    for (const auto& n : c.taken) rig.files.Add(WithTrailingSeparator(rig.ui.Text("A_Dir")) + n);
    const bool passes = c.box.prompt.empty() || c.answers == std::vector<int>{kOk};

    EXPECT_EQ(rig.engine.TestRun(), passes ? kGoOn : kStop);

    EXPECT_EQ(rig.ui.results, c.names);
    EXPECT_EQ(rig.ui.shown, c.box.prompt.empty() ? std::vector<Box>{} : std::vector<Box>{c.box});
    EXPECT_EQ(rig.ui.focus, c.focus);
    EXPECT_FALSE(rig.ui.open);
    EXPECT_TRUE(rig.files.log.empty());
}

Names Files(int n) {
    Names out;
    for (int i = 0; i < n; ++i) out.push_back(u"f" + std::u16string(1, char16_t(u'a' + i)) + u".jpg");
    return out;
}

const Controls kElsewhere{{"A_Dir", OsPath(u"/dst")}}, kFree{{"Chk_keta_lock", u"0"}};
const std::u16string k250(250, u'a'), k300(300, u'a');

// clang-format off
INSTANTIATE_TEST_SUITE_P(Checks, PipelineTest, testing::Values(
    Case{"control_char_in_first", 0, u"\x1f", u"", {}, {}, kFirst, {}, "Txt_B_text"},
    Case{"listed_char_before_control", 0, std::u16string(1, u'\0'), u":", {}, {}, kSecond, {}, "Txt_A_text"},
    Case{"delete_in_second", 0, u"", u"a\x7f", {}, {}, kSecond, {}, "Txt_A_text"},
    Case{"space_and_c1_pass", 0, u" a", u"\x80\xa0", {u"x.jpg"}, {u" a001\x80\xa0.jpg"}},
    Case{"quote_in_first", 2, u"\"a\"", u"", {}, {}, kFirst, {}, "Txt_B_text"},
    // Each character in both boxes before the next.
    Case{"quote_tried_last", 0, u"\"", u"|", {}, {}, kSecond, {}, "Txt_A_text"},
    Case{"fullwidth_lookalikes_pass", 0, u"＊？／", u"：", {u"x.jpg"}, {u"＊？／001：.jpg"}},
    Case{"forbidden_before_empty_start", 0, u"?", u"", {}, {}, kFirst, {{"Txt_Startnum", u""}}, "Txt_B_text"},
    Case{"time_stamp_ok_goes_on", 0, u"", u"", {u"x.jpg"}, {u"001.jpg"}, kTimeStamp, {{"Chk_DateLock", u"1"}, {"Txt_S", u""}}, "", {}, {kOk}},
    Case{"time_stamp_cancel_before_start_check", 0, u"", u"", {}, {}, kTimeStamp,
         {{"Chk_DateLock", u"1"}, {"Txt_YY", u""}, {"Txt_Startnum", u""}}, "Txt_YY", {}, {kCancel}},
    Case{"time_stamp_off_ignores_empty_boxes", 0, u"", u"", {u"x.jpg"}, {u"001.jpg"}, {}, {{"Txt_DD", u""}}},
    Case{"start_empty", 0, u"", u"", {}, {}, kStartEmpty, {{"Txt_Startnum", u""}}, "Txt_Startnum"},
    Case{"start_nine_digits", 0, u"", u"", {}, {}, {}, {{"Txt_Startnum", u"999999999"}}},
    Case{"start_ten_digits", 0, u"", u"", {}, {}, kStartLong, {{"Txt_Startnum", u"1000000000"}}, "Txt_Startnum"},
    // Outside numbering mode the box is hidden: still checked, not focused.
    Case{"append_start_empty_no_focus", 1, u"A", u"", {}, {}, kStartEmpty, {{"Txt_Startnum", u""}}},
    Case{"append_both_texts_empty", 1, u"", u"", {}, {}, kTextsEmpty, {}, "Txt_B_text"},
    Case{"system_extension_last_row", 0, u"", u"", {u"readme.txt", u"photo.jpg", u"x.dll"}, {}, kSystem},
    Case{"system_lookalikes_pass", 0, u"", u"", {u"driver.sys2", u"config.ini.bak", u"a.ｅｘｅ"},
         {u"001.sys2", u"002.bak", u"003.ｅｘｅ"}},
    // Replacing nothing keeps the names, so the length checks see the old ones.
    Case{"bytes_254_pass", 2, u"", u"", {k250 + u".txt"}, {k250 + u".txt"}},
    Case{"bytes_255_too_long", 2, u"", u"", {k250 + u"a.txt"}, {}, kTooLong},
    Case{"first_failing_row_decides_empty", 2, u"", u"", {u"ok.txt", u".txt", k300}, {}, kEmpty},
    Case{"taken_elsewhere_other_case", 0, u"img_", u"", {u"x.jpg"}, {}, kDuplicate, kElsewhere, "", {u"IMG_001.JPG"}},
    Case{"taken_by_a_later_row", 0, u"", u"", {u"a.jpg", u"b.jpg", u"c.jpg"}, {}, kDuplicate, kElsewhere, "", {u"003.jpg"}},
    Case{"two_rows_one_name", 2, u"a", u"b", {u"xa.jpg", u"xb.jpg"}, {}, kDuplicate, kElsewhere},
    // A name the job gives up is free only in place.
    Case{"moving_onto_a_name_of_the_job", 0, u"", u"", {u"001.jpg", u"002.jpg"}, {}, kDuplicate,
         {{"A_Dir", OsPath(u"/dst")}, {"Txt_Startnum", u"2"}}, "", {u"002.jpg"}},
    Case{"replace_taken_outside", 2, u"2001", u"2002", {u"2001_2001.txt", u"2001_trip.jpg"}, {}, kDuplicate, {}, "",
         {u"2002_trip.jpg"}},
    Case{"replace_onto_an_unchanged_row", 2, u"a", u"b", {u"a_1.jpg", u"b_1.jpg"}, {}, kDuplicate},
    Case{"replace_unchanged_rows_pass", 2, u"a", u"b", {u"zz.jpg", u"b1.jpg", u"a2.jpg"}, {u"zz.jpg", u"b1.jpg", u"b2.jpg"}}),
    [](const auto& info) { return std::string(info.param.label); });

INSTANTIATE_TEST_SUITE_P(Names, PipelineTest, testing::Values(
    Case{"full_width", 0, u"IMG_", u"", {u"a.jpg", u"b.jpg"}, {u"IMG_００９.jpg", u"IMG_０１０.jpg"}, {},
         {{"Opt_Han", u"0"}, {"Txt_Startnum", u"9"}}},
    Case{"tenth_file_overflows_one_digit", 0, u"", u"", Files(10), {}, kDigits, {{"Lbl_keta", u"1"}}},
    Case{"base_part_dropped", 0, u"", u"", {u"photo.jpg", u"memo.txt"}, {u"1.jpg", u"2.txt"}, {}, kFree},
    Case{"texts_around_number", 0, u"a", u"b", {u"a.jpg"}, {u"a7b.jpg"}, {}, {{"Txt_Startnum", u"7"}, kFree[0]}},
    Case{"next_number_below_zero_stops", 0, u"", u"", Files(3), {}, kNumbers, {{"Txt_Startnum", u"5"}, {"Lbl_up", u"-2"}}},
    Case{"zero_is_a_number", 0, u"", u"", Files(1), {u"001.jpg"}, {}, {{"Lbl_up", u"-1"}}},
    // The number after the last row must fit too.
    Case{"largest_number_next", 0, u"", u"", Files(1), {u"001.jpg"}, {}, {{"Lbl_up", u"2147483646"}}},
    Case{"past_largest_number_stops", 0, u"", u"", Files(1), {}, kNumbers, {{"Lbl_up", u"2147483647"}}},
    Case{"start_rounds_ties_to_even", 0, u"", u"", Files(2), {u"2.jpg", u"3.jpg"}, {}, {{"Txt_Startnum", u"2.5"}, kFree[0]}},
    Case{"start_too_large_for_32_bits", 0, u"", u"", Files(1), {}, kNumbers, {{"Txt_Startnum", u"9e99"}}},
    Case{"digit_count_rounded_for_padding", 0, u"", u"", Files(1), {u"12.jpg"}, {},
         {{"Txt_Startnum", u"12"}, {"Lbl_keta", u"2.5"}}},
    Case{"digit_count_compared_unrounded", 0, u"", u"", Files(1), {}, kDigits,
         {{"Txt_Startnum", u"123"}, {"Lbl_keta", u"2.5"}}},
    Case{"texts_around_the_base", 1, u"前_", u"_後", {u"archive.tar.gz", u"README"}, {u"前_archive.tar_後.gz", u"前_README_後"}},
    Case{"both_mode_boxes_mean_append", 1, u"x", u"y", {u"a.jpg", u"b.jpg"}, {u"xay.jpg", u"xby.jpg"}, {},
         {{"Chk_syori(1)", u"1"}}},
    Case{"replace_left_to_right", 2, u"aa", u"b", {u"aaa.txt"}, {u"ba.txt"}},
    Case{"replacement_not_searched_again", 2, u"a", u"aa", {u"aba.txt"}, {u"aabaa.txt"}},
    Case{"replace_never_touches_extension", 2, u"txt", u"doc", {u"abc.txt", u"txt.txt"}, {u"abc.txt", u"doc.txt"}},
    Case{"replace_empty_search", 2, u"", u"x", {u"abc.jpg"}, {u"abc.jpg"}}),
    [](const auto& info) { return std::string(info.param.label); });
// clang-format on

// Where the disk's own limit is reached first depends on how the platform
// counts a name: UTF-8 bytes here (three for a kana), UTF-16 units on Windows
// (a kana one, a character outside the BMP two, which the code page writes as
// one "?"). A leading dot hides a file only here.
std::vector<Case> DiskCases() {
    const std::u16string kana = std::u16string(125, u'あ') + u".txt",
                         katakana = std::u16string(84, u'ｱ') + u".txt";
    std::u16string emoji = u".txt";
    for (int i = 0; i < 125; ++i) emoji.insert(0, u"\U0001F600");
    if (kPathSeparator == u'/')
        return {Case{"code_page_fits_disk_does_not", 2, u"", u"", {kana}, {}, kTooLong},
                Case{"disk_limit_255_pass", 2, u"", u"", {katakana.substr(1)}, {katakana.substr(1)}},
                Case{"disk_limit_256_refused", 2, u"", u"", {katakana}, {}, kTooLong},
                // Later rows are not looked at.
                Case{"leading_dot_hides", 2, u"", u"", {u"a.txt", u".photo.jpg", k300}, {}, kHidden},
                Case{"leading_dot_before_extension_hides", 2, u"", u"", {u".jpeg"}, {}, kHidden},
                Case{"inner_dot_passes", 2, u"", u"", {u"a..b.txt"}, {u"a..b.txt"}}};
    return {Case{"leading_dot_shown", 2, u"", u"", {u".photo.jpg", u".jpeg"}, {u".photo.jpg", u".jpeg"}},
            Case{"kana_one_unit_each", 2, u"", u"", {kana}, {kana}},
            Case{"half_width_katakana_one_unit", 2, u"", u"", {katakana}, {katakana}},
            // 125 emoji and ".txt": 129 code page bytes, 254 units; one more does not fit.
            Case{"disk_limit_254_units_pass", 2, u"", u"", {emoji}, {emoji}},
            Case{"code_page_fits_disk_does_not", 2, u"", u"", {u"\U0001F600" + emoji}, {}, kTooLong}};
}
INSTANTIATE_TEST_SUITE_P(Disk, PipelineTest, testing::ValuesIn(DiskCases()),
                         [](const auto& info) { return std::string(info.param.label); });

// Every mode pumps events once per row in each step, and the test run shows
// the names of the selected rows only, touching nothing.
TEST(TestRun, ShowsTheSelectedRowsNewNamesInEveryMode) {
    const std::pair<const char*, Names> modes[] = {{"", {u"IMG_001.jpg", u"IMG_002.jpg"}},
                                                   {"Chk_syori(0)", {u"IMG_a.jpg", u"IMG_b.jpg"}},
                                                   {"Chk_syori(1)", {u"a.jpg", u"b.jpg"}}};
    for (const auto& [mode, names] : modes) {
        EngineRig rig;
        rig.ui.Set({{"Txt_B_text", u"IMG_"}, {"Lbl_keta", u"3"}, {"A_Dir", OsPath(u"/dst")}, {mode, u"1"}});
        rig.ui.files = {{u"a.jpg", true}, {u"skip.jpg", false}, {u"b.jpg", true}};
        EXPECT_EQ(rig.engine.RunConversion(), kGoOn);
        EXPECT_TRUE(rig.ui.open && rig.ui.results.empty()) << "closed or filled by the caller";
        EXPECT_EQ(rig.ui.phases, (Names{u"チェック中", u"変換中", u"チェック中"}));
        rig.ui.pumps = 0;

        EXPECT_EQ(rig.engine.TestRun(), kGoOn);
        EXPECT_EQ(rig.ui.results, names);
        EXPECT_TRUE(rig.ui.refreshes == 1 && !rig.ui.open && rig.ui.shown.empty() && rig.files.log.empty());
        // Eleven forbidden characters, three list rows, and per selected row
        // the system check, the names, the duplicate check and the result list.
        EXPECT_EQ(rig.ui.pumps, 11 + 3 + 4 * 2);

        rig.files.Add(OsPath(u"/dst/") + names[0]);
        EXPECT_EQ(rig.engine.TestRun(), kStop);
        EXPECT_TRUE(rig.ui.results.empty()) << "names of an earlier run left";
    }
}

// The windows stay responsive during a run; a second click meanwhile must not
// rebuild the table under the running one or close its progress window.
TEST(TestRun, ASecondRunStartedMeanwhileIsRefused) {
    for (auto run : {&ConversionEngine::TestRun, &ConversionEngine::RealRun}) {
        EngineRig rig;
        rig.ui.SelectAll({u"a.jpg"});
        rig.files.Add(OsPath(u"/src/a.jpg"));
        StepFlag nested = kGoOn;
        int calls = 0;
        rig.ui.onEvents = [&] {
            if (calls++ != 0) return;
            EXPECT_TRUE(rig.engine.Running());
            nested = (rig.engine.*run)();
            EXPECT_TRUE(rig.ui.open);
        };
        EXPECT_EQ((rig.engine.*run)(), kGoOn);
        EXPECT_EQ(nested, kStop);
        EXPECT_EQ(rig.ui.shown.size(), run == &ConversionEngine::RealRun ? 1u : 0u) << "the nested run asked";
        EXPECT_EQ(rig.ui.clears, run == &ConversionEngine::RealRun ? 2 : 1);
    }
}

TEST(TestRun, StartAndIncrementAreReadOnceAndTextsPerRow) {
    EngineRig rig;
    rig.ui.SelectAll(Files(3));
    rig.ui.Set("Chk_keta_lock", u"0");
    // What the user types while the names are made counts from the next row on.
    rig.ui.onEvents = [&] {
        if (rig.ui.pumps != 11 + 3 + 3 + 2) return;
        rig.ui.Set({{"Txt_A_text", u"_x"}, {"Txt_Startnum", u"100"}, {"Lbl_up", u"50"}});
    };
    ASSERT_EQ(rig.engine.TestRun(), kGoOn);
    EXPECT_EQ(rig.ui.results, (Names{u"1.jpg", u"2_x.jpg", u"3_x.jpg"}));
}

}  // namespace
}  // namespace zv::test
