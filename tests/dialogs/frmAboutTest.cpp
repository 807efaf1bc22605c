// The about box and the system-information launcher, over a temporary
// registry (XDG_CONFIG_HOME) and a temporary PATH.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "DialogTestSupport.h"
#include "TempConfigHome.h"
#include "dialogs/SysInfo.h"
#include "dialogs/frmAbout.h"
#include "shared/Registry.h"

namespace zv::dialogs {
namespace {

constexpr char16_t kMsinfo[] = u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const test::AskedMessage kUnavailable{u"現時点ではｼｽﾃﾑ情報を使用できません", kOkOnly, u"Zorvik"};

void SetRegValue(const std::u16string& key, const std::u16string& name, std::uint32_t type,
                 std::vector<std::uint8_t> data) {
    reg::ScopedKey handle;
    ASSERT_EQ(reg::CreateKey(reg::kLocalMachine, key, reg::kKeyAllAccess, handle.out()), reg::kSuccess);
    ASSERT_EQ(reg::SetValue(handle.get(), name, type, data), reg::kSuccess);
}
void SetRegText(const std::u16string& key, const std::u16string& name, const std::u16string& text,
                std::uint32_t type = reg::kRegSz) {
    std::vector<std::uint8_t> data;
    for (char16_t c : text + u'\0') data.insert(data.end(), {std::uint8_t(c & 0xFF), std::uint8_t(c >> 8)});
    SetRegValue(key, name, type, data);
}

// PATH pointed at a folder of its own for the life of the object.
class TempPath {
  public:
    TempPath() : old_(qgetenv("PATH")) { qputenv("PATH", dir_.path().toLocal8Bit()); }
    ~TempPath() { qputenv("PATH", old_); }
    // An executable file in the PATH folder or the given one.
    QString AddProgram(const QString& name, const QString& folder = {}) {
        const QString where = folder.isEmpty() ? dir_.path() : folder;
        QDir().mkpath(where);
        QFile program(where + u'/' + name);
        EXPECT_TRUE(program.open(QIODevice::WriteOnly) && program.write("#!/bin/sh\n") > 0);
        program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return program.fileName();
    }
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
    QtSysInfoPlatform real_;
};

TEST(frmAbout, ShowsTheBuiltVersionAndSaysWhenThereIsNoSysInfo) {
    test::TempConfigHome registry;
    TempPath path;
    test::ScriptedMessages messages;
    RecordingPlatform platform;
    frmAbout box(platform, messages);
    // The version the build was given, major and minor only.
    EXPECT_EQ(box.lblVersion->text(),
              QStringLiteral("ﾊﾞｰｼﾞｮﾝ ") + QStringLiteral(ZV_TEST_VERSION).section(u'.', 0, 1));
    EXPECT_EQ(box.Lbl_Owner->text().split(u'\n').size(), 3);
    EXPECT_FALSE(box.Lbl_Owner->text().contains(QStringLiteral("example.")));  // no made-up address
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    box.cmdSysInfo->click();
    EXPECT_EQ(messages.asked, std::vector{kUnavailable});
    EXPECT_TRUE(box.isVisible()) << "the about box stays open";
    box.cmdOK->setFocus();
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_FALSE(box.isVisible());
    EXPECT_TRUE(platform.started.empty());
}

// A string is cut at its NUL, a DWORD is its number, another type keeps the value.
TEST(SysInfo, GetKeyValueReadsByType) {
    // The value's type (0: no value) and data, the answer and the value read, which comes in as "keep".
    const std::tuple<std::uint32_t, std::vector<std::uint8_t>, bool, std::u16string> cases[] = {
        {reg::kRegSz, {'a', 0, 'b', 0, 0, 0, 'c', 0, 0, 0}, true, u"ab"},
        {reg::kRegDword, {0x05, 0x01, 0x00, 0x00}, true, u"261"},  // not the bytes as characters
        {reg::kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}, true, u"4294967295"},
        {reg::kRegBinary, {1, 2, 3}, true, u"keep"},
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
    enum Registry { kNone, kPath, kLocationWithProgram, kLocationWithoutProgram, kNotText };
    // What the registry holds, the programs on PATH and the file name of the one started (null: the message).
    const std::tuple<const char*, Registry, std::vector<const char*>, const char*> cases[] = {
        {"PathInListOrder", kNone, {"gnome-system-monitor", "hardinfo"}, "hardinfo"},
        {"RegistryPathWins", kPath, {"hardinfo"}, "msinfo32"},
        {"LocationFolderWithProgram", kLocationWithProgram, {}, "MSINFO32.EXE"},
        // The registry names a place but the program is not there: no guessing elsewhere.
        {"LocationFolderWithoutProgram", kLocationWithoutProgram, {"hardinfo"}, nullptr},
        // A value of a type that gives no text names no program.
        {"RegistryValueNotText", kNotText, {"hardinfo"}, nullptr}};
    for (const auto& [label, entry, onPath, expectedProgram] : cases) {
        SCOPED_TRACE(label);
        test::TempConfigHome registry;
        TempPath path;
        const QString tools = path.dir_.filePath("tools");
        QDir().mkpath(tools);
        if (entry == kPath) SetRegText(kMsinfo, u"PATH", path.AddProgram("msinfo32", tools).toStdU16String());
        if (entry == kLocationWithProgram) path.AddProgram("MSINFO32.EXE", tools);
        if (entry == kLocationWithProgram || entry == kLocationWithoutProgram)
            SetRegText(u"SOFTWARE\\Microsoft\\Shared Tools Location", u"MSINFO", tools.toStdU16String());
        if (entry == kNotText) SetRegText(kMsinfo, u"PATH", u"x", reg::kRegExpandSz);
        for (const char* name : onPath) path.AddProgram(name);

        test::ScriptedMessages messages;
        RecordingPlatform platform;
        const std::u16string started = StartSysInfo(platform, messages);
        if (expectedProgram) {
            EXPECT_EQ(platform.started, std::vector{started});
            EXPECT_TRUE(
                QString::fromStdU16String(started).endsWith(u'/' + QString::fromUtf8(expectedProgram)));
            EXPECT_TRUE(messages.asked.empty());
        } else {
            EXPECT_TRUE(started.empty());
            EXPECT_EQ(messages.asked, std::vector{kUnavailable});
        }
    }
}

}  // namespace
}  // namespace zv::dialogs
