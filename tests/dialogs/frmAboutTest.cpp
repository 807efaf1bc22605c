// The about box and the system-information launcher, over a temporary
// registry (XDG_CONFIG_HOME) and a temporary PATH.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "DialogTestSupport.h"
#include "TempConfigHome.h"
#include "dialogs/SysInfo.h"
#include "dialogs/frmAbout.h"
#include "shared/Registry.h"

namespace zv::dialogs {
namespace {

using test::ScriptedMessages;
using test::TempConfigHome;

constexpr char16_t kMsinfo[] = u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr char16_t kMsinfoLocation[] = u"SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr char16_t kUnavailable[] = u"現時点ではｼｽﾃﾑ情報を使用できません";

void SetRegValue(const std::u16string& key, const std::u16string& name, std::uint32_t type,
                 const std::vector<std::uint8_t>& data) {
    reg::ScopedKey handle;
    ASSERT_EQ(reg::CreateKey(reg::kLocalMachine, key, reg::kKeyAllAccess, handle.out()), reg::kSuccess);
    ASSERT_EQ(reg::SetValue(handle.get(), name, type, data), reg::kSuccess);
}

std::vector<std::uint8_t> Utf16Data(const std::u16string& text) {
    std::vector<std::uint8_t> data;
    for (char16_t c : text) {
        data.push_back(std::uint8_t(c & 0xFF));
        data.push_back(std::uint8_t(c >> 8));
    }
    data.push_back(0);
    data.push_back(0);
    return data;
}

// PATH pointed at a folder of its own for the life of the object.
class TempPath {
  public:
    TempPath() : old_(qgetenv("PATH")) { qputenv("PATH", dir_.path().toLocal8Bit()); }
    ~TempPath() { qputenv("PATH", old_); }
    // An executable script that leaves a marker file when it runs.
    QString AddProgram(const QString& name, const QString& folder = {}) {
        const QString where = folder.isEmpty() ? dir_.path() : folder;
        QDir().mkpath(where);
        const QString path = where + u'/' + name;
        QFile script(path);
        EXPECT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(("#!/bin/sh\n: > '" + Marker(name) + "'\n").toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }
    QString Marker(const QString& name) const { return dir_.path() + QStringLiteral("/ran-") + name; }
    QString Folder() const { return dir_.path(); }

  private:
    QTemporaryDir dir_;
    QByteArray old_;
};

// The real platform, except that starting is only recorded.
class RecordingPlatform final : public SysInfoPlatform {
  public:
    bool FileExists(const std::u16string& path) override { return real_.FileExists(path); }
    std::u16string FindOnPath(const std::u16string& name) override { return real_.FindOnPath(name); }
    bool Start(const std::u16string& program) override {
        started.push_back(program);
        return !program.empty();
    }
    std::vector<std::u16string> started;

  private:
    QtSysInfoPlatform real_;
};

// ---- the about box ------------------------------------------------------------

TEST(frmAboutTest, ShowsTheBuiltVersionAndTheTeam) {
    ScriptedMessages messages;
    RecordingPlatform platform;
    frmAbout box(platform, messages);
    // The version the build was given, major and minor only.
    const QStringList parts = QStringLiteral(ZV_TEST_VERSION).split(u'.');
    ASSERT_GE(parts.size(), 2);
    EXPECT_EQ(box.lblVersion->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ %1.%2").arg(parts[0], parts[1]));
    EXPECT_EQ(box.lblVersion->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ 3.0"));
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Zorvikのﾊﾞｰｼﾞｮﾝ情報"));
    EXPECT_EQ(box.lblTitle->text(), QStringLiteral("Zorvik"));
    const QStringList owner = box.Lbl_Owner->text().split(u'\n');
    ASSERT_EQ(owner.size(), 3);
    EXPECT_FALSE(box.Lbl_Owner->text().contains(QStringLiteral("example.")));  // no made-up address
    EXPECT_TRUE(box.cmdOK->isDefault());
}

class frmAboutCloseTest : public ::testing::TestWithParam<int> {};

TEST_P(frmAboutCloseTest, KeyClosesLikeOk) {
    ScriptedMessages messages;
    RecordingPlatform platform;
    frmAbout box(platform, messages);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    box.cmdOK->setFocus();
    QTest::keyClick(&box, Qt::Key(GetParam()));
    EXPECT_FALSE(box.isVisible());
    EXPECT_TRUE(platform.started.empty());
    EXPECT_TRUE(messages.asked.empty());
}

INSTANTIATE_TEST_SUITE_P(Keys, frmAboutCloseTest, ::testing::Values(int(Qt::Key_Escape)));

TEST(frmAboutTest, SysInfoButtonWithNothingToStartShowsTheMessage) {
    TempConfigHome registry;
    TempPath path;
    ScriptedMessages messages;
    RecordingPlatform platform;
    frmAbout box(platform, messages);
    box.show();
    box.cmdSysInfo->click();
    ASSERT_EQ(messages.asked.size(), 1u);
    EXPECT_EQ(messages.asked[0].prompt, kUnavailable);
    EXPECT_EQ(messages.asked[0].buttons, kOkOnly);
    EXPECT_TRUE(platform.started.empty());
    EXPECT_TRUE(box.isVisible()) << "the about box stays open";
}

// ---- GetKeyValue --------------------------------------------------------------

struct KeyValueCase {
    const char* label;
    bool present;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
    bool answer;
    std::u16string expected;  // keyVal afterwards; it comes in as "keep"
};

class GetKeyValueTest : public ::testing::TestWithParam<KeyValueCase> {};

TEST_P(GetKeyValueTest, ReadsByType) {
    const KeyValueCase& c = GetParam();
    TempConfigHome registry;
    if (c.present) SetRegValue(kMsinfo, u"PATH", c.type, c.data);
    std::u16string value = u"keep";
    EXPECT_EQ(GetKeyValue(reg::kLocalMachine, kMsinfo, u"PATH", value), c.answer);
    EXPECT_EQ(value, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, GetKeyValueTest,
    ::testing::Values(
        KeyValueCase{"TextCutAtNul", true, reg::kRegSz, Utf16Data(std::u16string(u"ab\0cd", 5)), true, u"ab"},
        // Bytes 05 01 00 00: the number 261, however its bytes look as characters.
        KeyValueCase{"Dword", true, reg::kRegDword, {0x05, 0x01, 0x00, 0x00}, true, u"261"},
        KeyValueCase{"DwordHigh", true, reg::kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}, true, u"4294967295"},
        KeyValueCase{"OtherTypeKeepsValue", true, reg::kRegBinary, {1, 2, 3}, true, u"keep"},
        KeyValueCase{"Missing", false, 0, {}, false, u""}),
    [](const auto& info) { return std::string(info.param.label); });

// ---- StartSysInfo -------------------------------------------------------------

enum class Registry { kNone, kPath, kLocationWithProgram, kLocationWithoutProgram, kUnstartablePath };

struct LaunchCase {
    const char* label;
    Registry registry;
    std::vector<const char*> onPath;
    const char* expectedProgram;  // file name of the program started; null: the message
};

class StartSysInfoTest : public ::testing::TestWithParam<LaunchCase> {};

TEST_P(StartSysInfoTest, StartsTheRightProgramOrSaysSo) {
    const LaunchCase& c = GetParam();
    TempConfigHome registry;
    TempPath path;
    const QString tools = path.Folder() + QStringLiteral("/tools");
    switch (c.registry) {
        case Registry::kNone:
            break;
        case Registry::kPath:
            SetRegValue(kMsinfo, u"PATH", reg::kRegSz,
                        Utf16Data(path.AddProgram(QStringLiteral("msinfo32"), tools).toStdU16String()));
            break;
        case Registry::kLocationWithProgram:
            path.AddProgram(QStringLiteral("MSINFO32.EXE"), tools);
            [[fallthrough]];
        case Registry::kLocationWithoutProgram:
            QDir().mkpath(tools);
            SetRegValue(kMsinfoLocation, u"MSINFO", reg::kRegSz, Utf16Data(tools.toStdU16String()));
            break;
        case Registry::kUnstartablePath:
            SetRegValue(kMsinfo, u"PATH", reg::kRegExpandSz, Utf16Data(u"x"));
            break;
    }
    for (const char* name : c.onPath) path.AddProgram(QString::fromUtf8(name));

    ScriptedMessages messages;
    RecordingPlatform platform;
    const std::u16string started = StartSysInfo(platform, messages);
    if (c.expectedProgram) {
        ASSERT_EQ(platform.started.size(), 1u);
        EXPECT_EQ(started, platform.started[0]);
        EXPECT_TRUE(QString::fromStdU16String(started).endsWith(u'/' + QString::fromUtf8(c.expectedProgram)));
        EXPECT_TRUE(messages.asked.empty());
    } else {
        EXPECT_TRUE(started.empty());
        ASSERT_EQ(messages.asked.size(), 1u);
        EXPECT_EQ(messages.asked[0].prompt, kUnavailable);
        EXPECT_EQ(messages.asked[0].buttons, kOkOnly);
        EXPECT_EQ(messages.asked[0].title, u"Zorvik");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sources, StartSysInfoTest,
    ::testing::Values(
        LaunchCase{"PathInListOrder", Registry::kNone, {"gnome-system-monitor", "hardinfo"}, "hardinfo"},
        LaunchCase{"RegistryPathWins", Registry::kPath, {"hardinfo"}, "msinfo32"},
        LaunchCase{"LocationFolderWithProgram", Registry::kLocationWithProgram, {}, "MSINFO32.EXE"},
        // The registry names a place but the program is not there: no guessing elsewhere.
        LaunchCase{"LocationFolderWithoutProgram", Registry::kLocationWithoutProgram, {"hardinfo"}, nullptr},
        // A value of a type that gives no text names no program.
        LaunchCase{"RegistryValueNotText", Registry::kUnstartablePath, {"hardinfo"}, nullptr}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace zv::dialogs
