// ZVPURGE's window, driven as the user does: what its buttons say and do to a
// registry file that also holds other programs' keys.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <optional>

#include "TempConfigHome.h"
#include "purge/Frm_Main.h"
#include "shared/qt/QtMessageBox.h"

using zv::purge::Frm_Main;
using zv::qt::QtMessageBox;
using zv::test::TempConfigHome;

namespace {

const std::string kOthers =
    "Windows Registry Editor Version 5.00\n\n"
    "[HKEY_CURRENT_USER\\Software]\n\n"
    "[HKEY_CURRENT_USER\\Software\\Other]\n\"kept\"=\"yes\"\n\n"
    "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings]\n\n"
    "[HKEY_CURRENT_USER\\Software\\VB and VBA Program "
    "Settings\\Neighbour]\n\"v\"=hex(7):41,00,00,00,00,00\n\n";
// Two sub keys, so every name of the listing is removed, not only the first.
const std::string kZorvik =
    "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Zorvik]\n\n"
    "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Zorvik\\Setting]\n"
    "\"DRIVE\"=\"/\"\n\"PATH\"=\"/srv/写真\"\n\n"
    "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Zorvik\\Window]\n\"Left\"=\"10\"\n\n";
// Where the settings would lie below the default user profile; never touched.
const std::string kUsers =
    "Windows Registry Editor Version 5.00\n\n"
    "[HKEY_USERS\\.Default\\Software\\VB and VBA Program Settings\\Zorvik\\Setting]\n\"PATH\"=\"x\"\n\n";

const std::u16string kConfirm = u"「Zorvik」の情報を削除しますか？",
                     kDone = u"削除しました。\r\n「Zorvik」のフォルダを削除して下さい。",
                     kNothing = u"「Zorvik」の情報は登録されていません。\r\n指定のキーがない",
                     kFailed = u"「Zorvik」の情報を削除できませんでした。\r\nエラーで終了";

// Presses of one button with the answers given to the boxes they raise.
struct ClickCase {
    const char* label;
    std::optional<std::string> before;  // HKEY_CURRENT_USER's file; none: no file
    const char* button;
    std::vector<int> answers;
    std::vector<std::u16string> shown;  // the boxes' texts; the first asks Yes/No, the others only inform
    std::optional<std::string> after;   // the file afterwards; none: no file (an empty one would be damaged)
    bool closes = true;
};

void PrintTo(const ClickCase& c, std::ostream* os) { *os << c.label; }

// clang-format off
const ClickCase kClicks[] = {
    {"YesRemovesOnlyZorviksKey", kOthers + kZorvik, "Cmd_Exec", {zv::kYes, zv::kOk}, {kConfirm, kDone}, kOthers},
    {"NoKeepsEverythingAndAsksAgain", kOthers + kZorvik, "Cmd_Exec", {zv::kNo, zv::kNo}, {kConfirm, kConfirm},
     kOthers + kZorvik, false},
    {"CancelEndsWithoutAsking", kOthers + kZorvik, "Cmd_Cancel", {}, {}, kOthers + kZorvik},
    {"NothingStored", kOthers, "Cmd_Exec", {zv::kYes}, {kConfirm, kNothing}, kOthers},
    {"NoRegistryYet", std::nullopt, "Cmd_Exec", {zv::kYes}, {kConfirm, kNothing}, std::nullopt},
    {"DamagedRegistry", "garbage\n", "Cmd_Exec", {zv::kYes}, {kConfirm, kFailed}, "garbage\n"},
};
// clang-format on

class PurgeClicks : public testing::TestWithParam<ClickCase> {};

TEST_P(PurgeClicks, SayAndDoWhatTheRegistryHolds) {
    TempConfigHome home;
    const auto& c = GetParam();
    if (c.before) home.Write("HKEY_CURRENT_USER", *c.before);
    home.Write("HKEY_USERS", kUsers);
    QtMessageBox::SetAnswering(true);
    QtMessageBox::ClearShown();
    QtMessageBox::PresetAnswers(c.answers);

    QtMessageBox messages;
    Frm_Main window(messages);
    window.show();
    auto* button = window.findChild<QPushButton*>(QString::fromUtf8(c.button));
    ASSERT_NE(button, nullptr);
    // Each press of Cmd_Exec asks once.
    const auto presses = std::max<std::ptrdiff_t>(1, std::count(c.shown.begin(), c.shown.end(), kConfirm));
    for (std::ptrdiff_t i = 0; i < presses; ++i) QTest::mouseClick(button, Qt::LeftButton);

    EXPECT_EQ(window.isVisible(), !c.closes);
    // Fixed in size, without minimise or maximise.
    EXPECT_EQ(window.maximumSize(), window.minimumSize());
    EXPECT_EQ(window.Cmd_Exec->nextInFocusChain(), window.Cmd_Cancel);
    EXPECT_FALSE(window.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    const auto& shown = QtMessageBox::Shown();
    ASSERT_EQ(shown.size(), c.shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i].prompt, c.shown[i]) << i;
        EXPECT_EQ(shown[i].title, c.shown[i] == kDone ? u"削除完了" : u"削除") << i;
        EXPECT_EQ(shown[i].buttons, c.shown[i] == kConfirm ? zv::kYesNo : zv::kOkOnly) << i;
    }
    EXPECT_EQ(home.Read("HKEY_CURRENT_USER"), c.after.value_or(""));
    EXPECT_EQ(home.Read("HKEY_USERS"), kUsers);
}

INSTANTIATE_TEST_SUITE_P(Frm_Main, PurgeClicks, testing::ValuesIn(kClicks),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
