// Start-up on real folders and drive lists: where the five lists open from
// the stored drive and folder, and the silent fallbacks when the drive or
// the folder is gone.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>

#include "QtPrinters.h"
#include "TempConfigHome.h"
#include "mainwindow/DirListBox.h"
#include "mainwindow/DriveListBox.h"
#include "mainwindow/DriveModel.h"
#include "mainwindow/FileListBox.h"
#include "mainwindow/Frm_Main.h"
#include "shared/EventPump.h"
#include "shared/FileSystem.h"
#include "shared/SettingsStore.h"
#include "shared/qt/QtMessageBox.h"

using zv::qt::QtMessageBox;

namespace {

// A home "drive" holding prog/ (the program folder) and photos/, and a
// second volume mnt/ labelled STICK holding music/.
struct Machine {
    zv::test::TempConfigHome config;
    QTemporaryDir tmp;
    QString home, prog, photos, mnt, music;
    std::vector<zv::VolumeInfo> volumes;
    std::unique_ptr<zv::DriveModel> drives;
    zv::FixedClock clock{zv::LocalDateTime{2024, 3, 7, 9, 5, 3}};
    zv::NullEventPump pump;
    QtMessageBox messages;
    std::unique_ptr<zv::Frm_Main> window;

    Machine() {
        home = tmp.path() + "/home";
        prog = home + "/prog";
        photos = home + "/photos";
        mnt = tmp.path() + "/mnt";
        music = mnt + "/music";
        for (const QString& d : {prog, photos, music}) QDir().mkpath(d);
        QFile(music + "/song.mid").open(QIODevice::WriteOnly);
        volumes = {{"/", "", "ext4", "/dev/sda1", true, true},
                   {mnt, "STICK", "vfat", "/dev/sdb1", true, true}};
        QtMessageBox::SetAnswering(true);
        QtMessageBox::ClearShown();
    }
    ~Machine() {
        window.reset();
        QtMessageBox::SetAnswering(false);
    }
    // Starts the program as it does: the lists on the program folder, then
    // Form_Load. beforeLoad runs in between, once the drives are listed.
    void Start(const std::function<void()>& beforeLoad = {}) {
        window.reset();
        drives = std::make_unique<zv::DriveModel>(
            home, [this] { return volumes; }, [](const QString&) { return qint64(1) << 30; });
        window = std::make_unique<zv::Frm_Main>(
            zv::Frm_Main::Services{messages, pump, clock, zv::NativeFileSystem(), drives.get()}, prog);
        if (beforeLoad) beforeLoad();
        window->Form_Load(prog);
    }
    QString Stick() const { return mnt + " [STICK]"; }
};

enum class Volume { Ready, NotReady, Unplugged };

struct FolderCase {
    const char* label;
    std::optional<QString> drive;  // stored; "%h" home, "%m" mnt
    std::optional<QString> path;
    Volume stick;
    QString expectedFolder;  // of all five lists
    QString expectedDrive;   // of both drive lists
};

void PrintTo(const FolderCase& c, std::ostream* os) { *os << c.label; }

QString Expand(const Machine& m, QString s) {
    return s.replace("%s", m.Stick()).replace("%h", m.home).replace("%m", m.mnt).replace("%p", m.prog);
}

class StartFolders : public testing::TestWithParam<FolderCase> {};

TEST_P(StartFolders, AllListsOpenWhereTheStoreSaysOrSilentlyInTheProgramFolder) {
    const FolderCase& c = GetParam();
    Machine m;
    if (c.drive) zv::SaveSetting(u"Zorvik", u"Setting", u"DRIVE", Expand(m, *c.drive).toStdU16String());
    if (c.path) zv::SaveSetting(u"Zorvik", u"Setting", u"PATH", Expand(m, *c.path).toStdU16String());
    if (c.stick == Volume::Unplugged) {
        m.volumes.pop_back();
        QDir(m.mnt).removeRecursively();
    }
    // Listed as a drive, but it cannot be read when the lists go to it.
    m.Start([&] {
        if (c.stick == Volume::NotReady) m.volumes[1].ready = false;
    });

    const QString folder = Expand(m, c.expectedFolder);
    const QString drive = Expand(m, c.expectedDrive);
    EXPECT_EQ(m.window->F_Drive->drive(), drive);
    EXPECT_EQ(m.window->A_Drive->drive(), drive);
    EXPECT_EQ(m.window->F_Dir->path(), folder);
    EXPECT_EQ(m.window->A_Dir->path(), folder);
    EXPECT_EQ(m.window->F_File->path(), folder);
    // Source and destination are one folder: nothing to copy or move to.
    EXPECT_FALSE(m.window->Opt_Cpymov[0]->isEnabled());
    EXPECT_FALSE(m.window->Opt_Cpymov[1]->isEnabled());
    EXPECT_TRUE(QtMessageBox::Shown().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Startup, StartFolders,
    testing::Values(FolderCase{"FirstStart", std::nullopt, std::nullopt, Volume::Ready, "%p", "%h"},
                    FolderCase{"StoredLabelChanged", "%m [OLD]", "%m/music", Volume::Ready, "%m/music", "%s"},
                    FolderCase{"StoredFolderGone", "%h", "%h/gone", Volume::Ready, "%p", "%h"},
                    FolderCase{"StoredDriveNotReady", "%s", "%m/music", Volume::NotReady, "%p", "%h"},
                    FolderCase{"StoredDriveUnplugged", "%s", "%m/music", Volume::Unplugged, "%p", "%h"}),
    [](const auto& info) { return std::string(info.param.label); });

// Whatever the destination was at the end, the next run opens source and
// destination on the source folder.
TEST(StartFolders, NextRunOpensTheSourceFolderOnBothSides) {
    Machine m;
    m.Start();
    ASSERT_EQ(m.window->F_Drive->setDrive(m.Stick()), zv::kFsOk);
    ASSERT_EQ(m.window->F_Dir->setPath(m.music), zv::kFsOk);
    ASSERT_EQ(m.window->A_Dir->setPath(m.photos), zv::kFsOk);
    ASSERT_TRUE(m.window->Opt_Cpymov[0]->isEnabled());
    m.window->show();
    m.window->close();
    EXPECT_EQ(zv::GetSetting(u"Zorvik", u"Setting", u"DRIVE", u"-"), m.Stick().toStdU16String());
    EXPECT_EQ(zv::GetSetting(u"Zorvik", u"Setting", u"PATH", u"-"), m.music.toStdU16String());

    m.Start();
    EXPECT_EQ(m.window->A_Drive->drive(), m.Stick());
    EXPECT_EQ(m.window->A_Dir->path(), m.music);
    EXPECT_EQ(m.window->F_File->listCount(), 1);
}

}  // namespace
