#include <gtest/gtest.h>

#include <optional>

#include "FakeMessages.h"
#include "TempConfigHome.h"
#include "purge/SettingsRemover.h"

using zv::SettingsRemover;
using zv::test::FakeMessages;
using zv::test::Shown;
using zv::test::TempConfigHome;
using Outcome = SettingsRemover::Outcome;

namespace {

std::string Repeat(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

const std::string kHeader = "Windows Registry Editor Version 5.00\n\n";
const std::string kSoftware = "[HKEY_CURRENT_USER\\Software]\n\n";
const std::string kOther = "[HKEY_CURRENT_USER\\Software\\Other]\n\"n\"=dword:0000002a\n\n";
const std::string kVb = "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings]\n\n";
const std::string kNeighbour =
    "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Neighbour]\n\n"
    "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Neighbour\\Setting]\n\"DRIVE\"=\"N:\"\n\n";
const std::string kZorvik =
    "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Zorvik]\n\n"
    "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Zorvik\\Setting]\n"
    "\"DRIVE\"=\"C:\"\n\"PATH\"=\"/home/user/写真\"\n\n";
const std::string kWithout = kHeader + kSoftware + kOther + kVb + kNeighbour;
const std::string kWith = kWithout + kZorvik;

// Where the settings would lie below the default user profile; never touched.
const std::string kUsers =
    kHeader +
    "[HKEY_USERS\\.Default\\Software\\VB and VBA Program Settings\\Zorvik\\Setting]\n\"PATH\"=\"x\"\n\n";

const Shown kConfirm{u"「Zorvik」の情報を削除しますか？", zv::kYesNo, u"削除"};
const Shown kDone{u"削除しました。\r\n「Zorvik」のフォルダを削除して下さい。", zv::kOkOnly, u"削除完了"};
const Shown kNothing{u"「Zorvik」の情報は登録されていません。\r\n指定のキーがない", zv::kOkOnly, u"削除"};
const Shown kFailed{u"「Zorvik」の情報を削除できませんでした。\r\nエラーで終了", zv::kOkOnly, u"削除"};

struct RemoveCase {
    const char* label;
    std::optional<std::string> before;  // HKEY_CURRENT_USER's file; none: no file
    std::deque<int> answers;
    Outcome outcome;
    std::vector<Shown> shown;
    std::optional<std::string> after;  // expected file afterwards; none: no file
    bool checkAfter = true;
};

void PrintTo(const RemoveCase& c, std::ostream* os) { *os << c.label; }

const RemoveCase kRemoveCases[] = {
    {"NoTouchesNothing", kWith, {zv::kNo}, Outcome::Declined, {kConfirm}, kWith},
    {"YesRemovesKeyAndSettingOnly", kWith, {zv::kYes}, Outcome::Removed, {kConfirm, kDone}, kWithout},
    {"NothingStored", kWithout, {zv::kYes}, Outcome::NothingStored, {kConfirm, kNothing}, kWithout},
    {"NoRegistryYet", std::nullopt, {zv::kYes}, Outcome::NothingStored, {kConfirm, kNothing}, std::nullopt},
    {"DamagedRegistry", "garbage\n", {zv::kYes}, Outcome::Failed, {kConfirm, kFailed}, "garbage\n"},
    {"SubKeyTheListingCannotHold",
     kWith + "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Zorvik\\" + Repeat("長", 128) +
         "]\n\n",
     {zv::kYes},
     Outcome::Failed,
     {kConfirm, kFailed},
     std::nullopt,
     false},
};

class SettingsRemoval : public testing::TestWithParam<RemoveCase> {};

TEST_P(SettingsRemoval, ReportsTheTrueOutcome) {
    TempConfigHome home;
    const auto& c = GetParam();
    if (c.before) home.Write("HKEY_CURRENT_USER", *c.before);
    home.Write("HKEY_USERS", kUsers);

    FakeMessages messages(c.answers);
    SettingsRemover remover(messages);
    EXPECT_EQ(remover.Run(), c.outcome);
    EXPECT_EQ(messages.shown, c.shown);
    if (c.checkAfter) {
        EXPECT_EQ(std::filesystem::exists(home.File("HKEY_CURRENT_USER")), c.after.has_value());
        if (c.after) {
            EXPECT_EQ(home.Read("HKEY_CURRENT_USER"), *c.after);
        }
    }
    EXPECT_EQ(home.Read("HKEY_USERS"), kUsers);
}

INSTANTIATE_TEST_SUITE_P(SettingsRemover, SettingsRemoval, testing::ValuesIn(kRemoveCases),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
