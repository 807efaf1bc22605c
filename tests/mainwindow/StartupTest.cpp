// Start-up and shutdown: the folders remembered between runs, the window's
// load and unload, and the one-instance lock.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <optional>

#include "MainWindowFixture.h"
#include "TempConfigHome.h"
#include "mainwindow/DirListBox.h"
#include "mainwindow/SingleInstance.h"
#include "mainwindow/StartupSettings.h"
#include "shared/SettingsStore.h"

using zv::test::TempConfigHome;
using zvtest::MainWindowFixture;

namespace {

struct LoadCase {
    const char* label;
    std::optional<std::u16string> drive;
    std::optional<std::u16string> path;
    bool damaged;
    std::u16string expectedDrive;
    std::u16string expectedPath;
    bool fellBack;
};

void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.label; }

const LoadCase kLoadCases[] = {
    {"FirstStart", std::nullopt, std::nullopt, false, u"/prog", u"/prog", false},
    {"StoredFolder", u"/", u"/data", false, u"/", u"/data", false},
    {"StoredFolderGone", u"/", u"/gone", false, u"/prog", u"/prog", true},
    {"StoredFolderEmpty", u"/", u"", false, u"/prog", u"/prog", true},
    {"OnlyDriveStored", u"/mnt", std::nullopt, false, u"/mnt", u"/prog", false},
    {"DamagedStore", std::nullopt, std::nullopt, true, u"/prog", u"/prog", true},
};

class StartupLoad : public testing::TestWithParam<LoadCase> {};

TEST_P(StartupLoad, ChoosesTheStartFolders) {
    TempConfigHome home;
    const auto& c = GetParam();
    if (c.drive) zv::SaveSetting(u"Zorvik", u"Setting", u"DRIVE", *c.drive);
    if (c.path) zv::SaveSetting(u"Zorvik", u"Setting", u"PATH", *c.path);
    if (c.damaged) home.Write("HKEY_CURRENT_USER", "damaged\n");
    zvtest::FakeFileSystem files;
    files.folders[u"/prog"] = {};
    files.folders[u"/data"] = {};

    const zv::StartFolders start = zv::StartupSettings(files).Load(u"/prog");
    EXPECT_EQ(start.drive, c.expectedDrive);
    EXPECT_EQ(start.path, c.expectedPath);
    EXPECT_EQ(start.fellBack, c.fellBack);
    EXPECT_EQ(start.error != 0, c.damaged);
}

INSTANTIATE_TEST_SUITE_P(Startup, StartupLoad, testing::ValuesIn(kLoadCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(Startup, LoadFillsFilterTimeStampAndStoredFolder) {
    TempConfigHome home;
    zv::SaveSetting(u"Zorvik", u"Setting", u"PATH", u"/photos");
    MainWindowFixture f;
    f.files.folders[u"/prog"] = {};
    f.files.folders[u"/photos"] = {u"p1.jpg"};
    f.window->Form_Load(QStringLiteral("/prog"));

    QStringList filters;
    for (int i = 0; i < f.window->Cmb_Filter->count(); ++i) filters << f.window->Cmb_Filter->itemText(i);
    EXPECT_EQ(filters, (QStringList{"*.*", "*.BMP;*.JPG;*.WMF;*.GIF;*.ICO", "*.TXT;*.RTF", "*.WAV;*.MID"}));
    EXPECT_EQ(f.window->Cmb_Filter->currentText(), QStringLiteral("*.*"));
    QStringList stamp;
    for (auto* box : {f.window->Txt_YY, f.window->Txt_MM, f.window->Txt_DD, f.window->Txt_H, f.window->Txt_M,
                      f.window->Txt_S})
        stamp << box->text();
    EXPECT_EQ(stamp, (QStringList{"2024", "3", "7", "9", "5", "3"}));
    EXPECT_EQ(f.window->F_Dir->path(), QStringLiteral("/photos"));
    EXPECT_EQ(f.window->A_Dir->path(), QStringLiteral("/photos"));
    EXPECT_EQ(f.window->F_File->listCount(), 1);
    EXPECT_EQ(f.window->Lbl_Msgdsp->text(), QStringLiteral("ファイルを選択して下さい。"));
    EXPECT_TRUE(zv::qt::QtMessageBox::Shown().empty());
}

TEST(Startup, ClosingSavesTheFolderTheNextStartOpens) {
    TempConfigHome home;
    {
        MainWindowFixture f;
        f.files.folders[u"/prog"] = {};
        f.window->Form_Load(QStringLiteral("/data"));
        f.window->show();
        f.window->close();
    }
    long error = -1;
    EXPECT_EQ(zv::GetSetting(u"Zorvik", u"Setting", u"PATH", u"-", &error), u"/data");
    EXPECT_EQ(zv::GetSetting(u"Zorvik", u"Setting", u"DRIVE", u"-"), u"/");
    EXPECT_EQ(error, 0);

    MainWindowFixture next;
    next.files.folders[u"/prog"] = {};
    next.window->Form_Load(QStringLiteral("/prog"));
    EXPECT_EQ(next.window->F_Dir->path(), QStringLiteral("/data"));
}

TEST(Startup, WindowNotLoadedWritesNothing) {
    TempConfigHome home;
    {
        MainWindowFixture f;
        f.window->show();
        f.window->close();
    }
    EXPECT_FALSE(std::filesystem::exists(home.File("HKEY_CURRENT_USER")));
}

TEST(Startup, DamagedStoreIsReportedAndKept) {
    TempConfigHome home;
    home.Write("HKEY_CURRENT_USER", "damaged\n");
    {
        MainWindowFixture f;
        f.files.folders[u"/prog"] = {};
        f.window->Form_Load(QStringLiteral("/prog"));
        EXPECT_EQ(f.window->F_Dir->path(), QStringLiteral("/prog"));
        f.window->show();
        f.window->close();
        const auto& shown = zv::qt::QtMessageBox::Shown();
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(shown[0].title, u"Zorvik");
        EXPECT_EQ(shown[1].prompt, u"設定を保存できませんでした。");
    }
    EXPECT_EQ(home.Read("HKEY_CURRENT_USER"), "damaged\n");
}

// The one-instance lock, in a folder of the test's own.
enum class Holder { None, Live, LiveButOld, EndedProcess, Released };

struct LockCase {
    const char* label;
    Holder holder;
    bool acquired;
};

void PrintTo(const LockCase& c, std::ostream* os) { *os << c.label; }

class InstanceLock : public testing::TestWithParam<LockCase> {};

TEST_P(InstanceLock, RefusesOnlyALiveHolder) {
    TempConfigHome home;
    const QString folder = QString::fromStdString(home.Root().string());
    std::unique_ptr<zv::SingleInstance> first;
    switch (GetParam().holder) {
        case Holder::None:
            break;
        case Holder::Live:
        case Holder::LiveButOld:
        case Holder::Released:
            first = std::make_unique<zv::SingleInstance>(QStringLiteral("ZVNUM"), folder);
            ASSERT_TRUE(first->Acquire());
            if (GetParam().holder == Holder::Released) first.reset();
            if (GetParam().holder == Holder::LiveButOld) {
                QFile lock(QDir(folder).filePath("ZVNUM.lock"));
                ASSERT_TRUE(lock.open(QIODevice::ReadWrite));
                lock.setFileTime(QDateTime::currentDateTime().addDays(-3), QFileDevice::FileModificationTime);
            }
            break;
        case Holder::EndedProcess: {
            pid_t pid = fork();
            ASSERT_GE(pid, 0);
            if (pid == 0) {
                // Ends while holding the lock, as a crashed instance would.
                auto* lock = new zv::SingleInstance(QStringLiteral("ZVNUM"), folder);
                _exit(lock->Acquire() ? 0 : 1);
            }
            int status = 0;
            waitpid(pid, &status, 0);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            ASSERT_TRUE(QFile::exists(QDir(folder).filePath("ZVNUM.lock")));
            break;
        }
    }
    zv::SingleInstance second(QStringLiteral("ZVNUM"), folder);
    EXPECT_EQ(second.Acquire(), GetParam().acquired);
}

INSTANTIATE_TEST_SUITE_P(Startup, InstanceLock,
                         testing::Values(LockCase{"Free", Holder::None, true},
                                         LockCase{"HeldByRunningInstance", Holder::Live, false},
                                         LockCase{"HeldForDays", Holder::LiveButOld, false},
                                         LockCase{"LeftByEndedProcess", Holder::EndedProcess, true},
                                         LockCase{"Released", Holder::Released, true}),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
