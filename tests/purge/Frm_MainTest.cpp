// ZVPURGE's window, driven as the user does: its controls, and what its
// buttons do to a registry file that also holds other programs' keys.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "TempConfigHome.h"
#include "purge/Frm_Main.h"
#include "shared/SettingsStore.h"
#include "shared/qt/QtMessageBox.h"

using zv::purge::Frm_Main;
using zv::qt::QtMessageBox;
using zv::test::TempConfigHome;

namespace {

TEST(PurgeWindow, FixedSizeWithoutMinimiseOrMaximise) {
    QtMessageBox messages;
    Frm_Main window(messages);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("「Zorvik」レジストリ削除"));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(window.size(), QSize(window.ToPixels(4740), window.ToPixels(930)));
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(window.Cmd_Exec->nextInFocusChain(), window.Cmd_Cancel);
    EXPECT_EQ(window.Label1->focusPolicy(), Qt::NoFocus);
}

const std::string kOthers =
    "Windows Registry Editor Version 5.00\n\n"
    "[HKEY_CURRENT_USER\\Software]\n\n"
    "[HKEY_CURRENT_USER\\Software\\Other]\n\"kept\"=\"yes\"\n\n"
    "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings]\n\n"
    "[HKEY_CURRENT_USER\\Software\\VB and VBA Program "
    "Settings\\Neighbour]\n\"v\"=hex(7):41,00,00,00,00,00\n\n";
const std::string kZorvik =
    "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Zorvik]\n\n"
    "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Zorvik\\Setting]\n"
    "\"DRIVE\"=\"/\"\n\"PATH\"=\"/srv/写真\"\n\n";

// One press of a button with the answers given to the boxes it raises.
struct ClickCase {
    const char* label;
    const char* button;
    std::vector<int> answers;
    int clicks;
    bool closes;
    std::string after;
    int boxes;
};

void PrintTo(const ClickCase& c, std::ostream* os) { *os << c.label; }

const ClickCase kClicks[] = {
    {"ExecYesRemovesAndEnds", "Cmd_Exec", {zv::kYes, zv::kOk}, 1, true, kOthers, 2},
    {"ExecNoKeepsEverythingAndAsksAgain", "Cmd_Exec", {zv::kNo, zv::kNo}, 2, false, kOthers + kZorvik, 2},
    {"CancelEndsWithoutAsking", "Cmd_Cancel", {}, 1, true, kOthers + kZorvik, 0},
};

class PurgeClicks : public testing::TestWithParam<ClickCase> {
  protected:
    void SetUp() override {
        QtMessageBox::SetAnswering(true);
        QtMessageBox::ClearShown();
    }
    void TearDown() override { QtMessageBox::SetAnswering(false); }
};

TEST_P(PurgeClicks, ChangeOnlyZorviksKey) {
    TempConfigHome home;
    home.Write("HKEY_CURRENT_USER", kOthers + kZorvik);
    const auto& c = GetParam();
    QtMessageBox::PresetAnswers(c.answers);

    QtMessageBox messages;
    Frm_Main window(messages);
    window.show();
    auto* button = window.findChild<QPushButton*>(QString::fromUtf8(c.button));
    ASSERT_NE(button, nullptr);
    for (int i = 0; i < c.clicks; ++i) QTest::mouseClick(button, Qt::LeftButton);

    EXPECT_EQ(window.isVisible(), !c.closes);
    EXPECT_EQ(static_cast<int>(QtMessageBox::Shown().size()), c.boxes);
    EXPECT_EQ(home.Read("HKEY_CURRENT_USER"), c.after);
}

INSTANTIATE_TEST_SUITE_P(Frm_Main, PurgeClicks, testing::ValuesIn(kClicks),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
