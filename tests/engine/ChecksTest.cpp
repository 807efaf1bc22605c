// The four checks: each message, its buttons, the focus it leaves, and which
// failure wins when several apply.
#include <gtest/gtest.h>

#include "engine/EngineFakes.h"

namespace zv::test {
namespace {

const std::u16string kForbiddenFirst = u"固定文字列（前半部）\r\nファイル名に使用できない文字が有ります。";
const std::u16string kForbiddenSecond = u"固定文字列（後半部）\r\nファイル名に使用できない文字が有ります。";
const std::u16string kTimeStamp = u"タイムスタンプが設定されていません。\r\n本日日付を使用しますか？";
const std::u16string kStartEmpty = u"開始番号を入力して下さい。";
const std::u16string kStartTooLong = u"開始番号の最大値は、999999999です。";

enum Mode { kNumbering, kAppend, kReplace };

struct InputCase {
    const char* label;
    Mode mode = kNumbering;
    std::u16string first, second, start = u"1";
    bool dateLock = false;
    std::vector<const char*> emptyBoxes;
    std::vector<int> answers;
    StepFlag flag = kGoOn;
    std::u16string prompt;  // the one message expected, or none
    int buttons = kOkOnly;
    std::vector<std::string> focus;
};

class CheckInputsTest : public testing::TestWithParam<InputCase> {};

TEST_P(CheckInputsTest, RefusesWithMessageAndFocus) {
    const auto& c = GetParam();
    EngineRig rig;
    if (c.mode == kAppend) rig.settings.SetValue("Chk_syori(0)", 1);
    if (c.mode == kReplace) rig.settings.SetValue("Chk_syori(1)", 1);
    rig.settings.SetText("Txt_B_text", c.first);
    rig.settings.SetText("Txt_A_text", c.second);
    rig.settings.SetText("Txt_Startnum", c.start);
    rig.settings.SetValue("Chk_DateLock", c.dateLock ? 1 : 0);
    for (const char* box : c.emptyBoxes) rig.settings.SetText(box, u"");
    rig.messages.answers.assign(c.answers.begin(), c.answers.end());

    EXPECT_EQ(rig.engine.CheckInputs(), c.flag);
    if (c.prompt.empty()) {
        EXPECT_TRUE(rig.messages.shown.empty());
    } else {
        ASSERT_EQ(rig.messages.shown.size(), 1u);
        EXPECT_EQ(rig.messages.shown[0].prompt, c.prompt);
        EXPECT_EQ(rig.messages.shown[0].title, u"入力エラー");
        EXPECT_EQ(rig.messages.shown[0].buttons, c.buttons);
    }
    EXPECT_EQ(rig.settings.focus, c.focus);
}

const std::u16string kNul(1, u'\0');
const std::vector<std::string> kFirstBox = {"Txt_B_text"}, kSecondBox = {"Txt_A_text"},
                               kStartBox = {"Txt_Startnum"};
const std::vector<const char*> kAllBoxes = {"Txt_YY", "Txt_MM", "Txt_DD", "Txt_H", "Txt_M", "Txt_S"};

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, CheckInputsTest, testing::Values(
    InputCase{"nul_in_first", kNumbering, u"a" + kNul, u"", u"1", false, {}, {}, kStop, kForbiddenFirst, kOkOnly,
              kFirstBox},
    InputCase{"listed_character_before_nul", kNumbering, kNul, u":", u"1", false, {}, {}, kStop, kForbiddenSecond,
              kOkOnly, kSecondBox},
    InputCase{"double_quote_in_first", kReplace, u"\"a\"", u"", u"1", false, {}, {}, kStop, kForbiddenFirst, kOkOnly,
              kFirstBox},
    // The double quote is tried last of all.
    InputCase{"double_quote_after_listed", kNumbering, u"\"", u"|", u"1", false, {}, {}, kStop, kForbiddenSecond,
              kOkOnly, kSecondBox},
    InputCase{"fullwidth_lookalikes_pass", kNumbering, u"＊？／", u"："},
    // The characters are tried in order, each in both boxes before the next.
    InputCase{"second_box_first_char_wins", kNumbering, u"|", u"\\", u"1", false, {}, {}, kStop, kForbiddenSecond,
              kOkOnly, kSecondBox},
    InputCase{"first_box_wins_same_char", kNumbering, u"<", u"<", u"1", false, {}, {}, kStop, kForbiddenFirst, kOkOnly,
              kFirstBox},
    InputCase{"forbidden_before_empty_start", kNumbering, u"?", u"", u"", false, {}, {}, kStop, kForbiddenFirst,
              kOkOnly, kFirstBox},
    InputCase{"time_stamp_ok_goes_on", kNumbering, u"", u"", u"1", true, {"Txt_S"}, {kOk}, kGoOn, kTimeStamp,
              kOkCancel, {}},
    InputCase{"time_stamp_cancel_before_start_check", kNumbering, u"", u"", u"", true, {"Txt_YY"}, {kCancel}, kStop,
              kTimeStamp, kOkCancel, {"Txt_YY"}},
    InputCase{"time_stamp_off_ignores_empty_boxes", kNumbering, u"", u"", u"1", false, kAllBoxes},
    InputCase{"time_stamp_complete_asks_nothing", kNumbering, u"", u"", u"1", true},
    InputCase{"start_nine_digits", kNumbering, u"", u"", u"999999999"},
    InputCase{"start_ten_digits", kNumbering, u"", u"", u"1000000000", false, {}, {}, kStop, kStartTooLong, kOkOnly,
              kStartBox},
    // Outside numbering mode the box is hidden: still checked, not focused.
    InputCase{"append_start_empty_no_focus", kAppend, u"A", u"", u"", false, {}, {}, kStop, kStartEmpty, kOkOnly, {}},
    InputCase{"replace_both_empty_passes", kReplace, u"", u""},
    InputCase{"numbering_both_empty_passes", kNumbering, u"", u""}),
    [](const auto& info) { return std::string(info.param.label); });
// clang-format on

struct SystemCase {
    std::vector<std::u16string> files;
    StepFlag flag;
};

class CheckSystemFilesTest : public testing::TestWithParam<SystemCase> {};

TEST_P(CheckSystemFilesTest, RefusesSystemExtensions) {
    EngineRig rig;
    rig.settings.SelectAll(GetParam().files);
    rig.engine.BuildConversionTable();
    EXPECT_EQ(rig.engine.CheckSystemFiles(), GetParam().flag);
    if (GetParam().flag == kStop) {
        ASSERT_EQ(rig.messages.shown.size(), 1u);
        EXPECT_EQ(rig.messages.shown[0].prompt,
                  u"このまま変換するとシステムが不安定になる可能性が有ります。\r\n選択したファイル名を確認し"
                  u"て下さい。");
        EXPECT_EQ(rig.messages.shown[0].title, u"ファイル選択エラー");
        EXPECT_EQ(rig.messages.shown[0].buttons, kOkOnly);
    } else {
        EXPECT_TRUE(rig.messages.shown.empty());
    }
    EXPECT_TRUE(rig.settings.focus.empty());
}

INSTANTIATE_TEST_SUITE_P(Names, CheckSystemFilesTest,
                         testing::Values(SystemCase{{u"SETUP.EXE"}, kStop}, SystemCase{{u"a.Sys"}, kStop},
                                         SystemCase{{u"win.ini"}, kStop},
                                         SystemCase{{u"readme.txt", u"photo.jpg", u"x.dll"}, kStop},
                                         SystemCase{{u"driver.sys2"}, kGoOn},
                                         SystemCase{{u"config.ini.bak"}, kGoOn},
                                         SystemCase{{u"a.ｅｘｅ"}, kGoOn}, SystemCase{{u".exe"}, kStop},
                                         SystemCase{{u"exe"}, kGoOn}, SystemCase{{}, kGoOn}));

}  // namespace
}  // namespace zv::test
