// The about box and the system-information launcher, over a temporary
// registry (XDG_CONFIG_HOME) and a temporary PATH.
#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>
#include <set>

#include "FakeMessageBox.h"
#include "TempConfigHome.h"
#include "dialogs/frmAbout.h"

namespace zv::dialogs {
namespace {

constexpr char16_t kMsinfo[] = u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const zvtest::FakeMessageBox::Shown kUnavailable{u"現時点ではｼｽﾃﾑ情報を使用できません", kOkOnly, u"Zorvik"};

void SetRegValue(const std::u16string& key, const std::u16string& name, std::uint32_t type,
                 std::vector<std::uint8_t> data) {
    reg::ScopedKey handle;
    ASSERT_EQ(reg::CreateKey(reg::kLocalMachine, key, reg::kKeyAllAccess, handle.out()), reg::kSuccess);
    ASSERT_EQ(reg::SetValue(handle.get(), name, type, data), reg::kSuccess);
}

// Files and programs on PATH (in /bin) are made up; starting is only recorded.
class FakePlatform final : public SysInfoPlatform {
  public:
    bool FileExists(const std::u16string& path) override { return files.count(path) > 0; }
    std::u16string FindOnPath(const std::u16string& name) override {
        return FileExists(u"/bin/" + name) ? u"/bin/" + name : u"";
    }
    bool Start(const std::u16string& p) override { return started.push_back(p), !p.empty(); }
    std::set<std::u16string> files;
    std::vector<std::u16string> started;
};

TEST(frmAbout, ShowsTheBuiltVersionAndSaysWhenThereIsNoSysInfo) {
    test::TempConfigHome registry;
    zvtest::FakeMessageBox messages;
    FakePlatform platform;
    frmAbout box(platform, messages);
    // The version the build was given, major and minor only.
    EXPECT_EQ(box.lblVersion->text(),
              QStringLiteral("ﾊﾞｰｼﾞｮﾝ ") + QStringLiteral(ZV_TEST_VERSION).section(u'.', 0, 1));
    EXPECT_FALSE(box.Lbl_Owner->text().contains(QStringLiteral("example.")));  // no made-up address
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    box.cmdSysInfo->click();
    EXPECT_EQ(messages.shown, std::vector{kUnavailable});
    EXPECT_TRUE(box.isVisible()) << "the about box stays open";
    box.cmdOK->setFocus();
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_FALSE(box.isVisible());
}

// A string is cut at its NUL, a DWORD is its number.
TEST(SysInfo, GetKeyValueReadsByType) {
    // The value's type (0: no value) and data, the answer and the value read, which comes in as "keep".
    const std::tuple<std::uint32_t, std::vector<std::uint8_t>, bool, std::u16string> cases[] = {
        {reg::kRegSz, {'a', 0, 'b', 0, 0, 0, 'c', 0, 0, 0}, true, u"ab"},
        {reg::kRegDword, {0x05, 0x01, 0x00, 0x00}, true, u"261"},  // not the bytes as characters
        {reg::kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}, true, u"4294967295"},
        {0, {}, false, u""}};
    for (const auto& [type, data, answer, expected] : cases) {
        test::TempConfigHome registry;
        if (type) SetRegValue(kMsinfo, u"PATH", type, data);
        std::u16string value = u"keep";
        EXPECT_EQ(GetKeyValue(reg::kLocalMachine, kMsinfo, u"PATH", value), answer) << type;
        EXPECT_EQ(value, expected) << type;
    }
}

TEST(SysInfo, StartsTheProgramTheRegistryOrPathNamesOrSaysSo) {
    constexpr char16_t kLocation[] = u"SOFTWARE\\Microsoft\\Shared Tools Location";
    // The registry key holding an entry (null: none), the entry's type and text, the files there are and the
    // program started (empty: the message).
    const std::tuple<const char16_t*, std::uint32_t, const char16_t*, std::set<std::u16string>,
                     std::u16string>
        cases[] = {
            {nullptr, 0, u"", {u"/bin/gnome-system-monitor", u"/bin/hardinfo"}, u"/bin/hardinfo"},
            {kMsinfo, reg::kRegSz, u"/t/msinfo32", {u"/bin/hardinfo"}, u"/t/msinfo32"},
            {kLocation, reg::kRegSz, u"/t", {u"/t/MSINFO32.EXE", u"/bin/hardinfo"}, u"/t/MSINFO32.EXE"},
            // The registry names a place but the program is not there: no guessing elsewhere.
            {kLocation, reg::kRegSz, u"/t", {u"/bin/hardinfo"}, u""},
            // A value of a type that gives no text names no program.
            {kMsinfo, reg::kRegExpandSz, u"x", {u"/bin/hardinfo"}, u""}};
    for (const auto& [key, type, text, files, expected] : cases) {
        SCOPED_TRACE(testing::PrintToString(expected));
        test::TempConfigHome registry;
        std::vector<std::uint8_t> data;  // UTF-16LE with its NUL
        for (char16_t c : std::u16string(text) + u'\0')
            data.insert(data.end(), {std::uint8_t(c), std::uint8_t(c >> 8)});
        if (key) SetRegValue(key, key == kMsinfo ? u"PATH" : u"MSINFO", type, data);
        zvtest::FakeMessageBox messages;
        FakePlatform platform;
        platform.files = files;
        EXPECT_EQ(StartSysInfo(platform, messages), expected);
        if (!expected.empty()) EXPECT_EQ(platform.started, std::vector{expected});
        EXPECT_EQ(messages.shown, expected.empty() ? std::vector{kUnavailable}
                                                   : std::vector<zvtest::FakeMessageBox::Shown>{});
    }
}

}  // namespace
}  // namespace zv::dialogs
