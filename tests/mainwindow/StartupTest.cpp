// Start-up and shutdown: the folders remembered between runs, the window's
// load and unload, and the one-instance lock.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <fstream>
#include <iterator>

#include "MainWindowFixture.h"
#include "TempConfigHome.h"
#include "mainwindow/DirListBox.h"
#include "mainwindow/SingleInstance.h"
#include "shared/SettingsStore.h"

using zv::test::TempConfigHome;
using zvtest::MainWindowFixture;

namespace {

TEST(Startup, WindowNotLoadedWritesNothing) {
    TempConfigHome home;
    {
        MainWindowFixture f;
        f.window->show();
        f.window->close();
    }
    EXPECT_FALSE(std::filesystem::exists(home.File("HKEY_CURRENT_USER")));
}

// A damaged store: one question at start, nothing at exit. Yes keeps the
// damaged file under another name and the folders are stored afresh; No
// leaves it as it is.
class DamagedStore : public testing::TestWithParam<int> {};

TEST_P(DamagedStore, OneQuestionThenFreshOrUntouched) {
    const bool fresh = GetParam() == zv::kYes;
    TempConfigHome home;
    home.Write("HKEY_CURRENT_USER", "damaged\n");
    {
        MainWindowFixture f;
        f.files.folders[u"/prog"] = {};
        zv::qt::QtMessageBox::PresetAnswers({GetParam()});
        f.window->Form_Load(QStringLiteral("/prog"));
        EXPECT_EQ(f.window->F_Dir->path(), QStringLiteral("/prog"));
        f.window->show();
        f.window->close();
        const auto& shown = zv::qt::QtMessageBox::Shown();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].title, u"Zorvik");
        EXPECT_EQ(shown[0].buttons, zv::kYesNo);
    }
    const std::filesystem::path aside = home.File("HKEY_CURRENT_USER").string() + ".damaged";
    if (fresh) {
        std::ifstream in(aside, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "damaged\n");
        EXPECT_EQ(zv::GetSetting(u"Zorvik", u"Setting", u"PATH", u""), u"/prog");
    } else {
        EXPECT_EQ(home.Read("HKEY_CURRENT_USER"), "damaged\n");
        EXPECT_FALSE(std::filesystem::exists(aside));
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, DamagedStore, testing::Values(int(zv::kYes), int(zv::kNo)));

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
                         testing::Values(LockCase{"HeldByRunningInstance", Holder::Live, false},
                                         LockCase{"HeldForDays", Holder::LiveButOld, false},
                                         LockCase{"LeftByEndedProcess", Holder::EndedProcess, true},
                                         LockCase{"Released", Holder::Released, true}),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
