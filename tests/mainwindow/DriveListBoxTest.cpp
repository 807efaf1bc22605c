#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "FakeVolumes.h"
#include "QtPrinters.h"
#include "mainwindow/DriveListBox.h"
#include "shared/FileSystem.h"

namespace zv {
namespace {

class DriveListBoxTest : public ::testing::Test {
  protected:
    DriveListBoxTest() : model("/home/u", volumes.Source(), [](const QString&) { return qint64(-1); }) {
        drives.setDriveModel(&model);
    }
    test::FakeVolumes volumes;
    DriveModel model;
    DriveListBox drives;
};

struct DriveCase {
    const char* given;
    int code;
    const char* drive;
    int changes;
};

class DriveListBoxSet : public DriveListBoxTest, public ::testing::WithParamInterface<DriveCase> {};

TEST_P(DriveListBoxSet, SelectsTheNamedDriveAndAnnouncesOnlyChanges) {
    const DriveCase& c = GetParam();
    ASSERT_EQ(drives.drive(), "/home/u");  // starts on the first drive
    QSignalSpy changes(&drives, &DriveListBox::change);
    EXPECT_EQ(drives.setDrive(QString::fromUtf8(c.given)), c.code);
    EXPECT_EQ(drives.drive(), c.drive);
    EXPECT_EQ(changes.count(), c.changes);
}

INSTANTIATE_TEST_SUITE_P(Drives, DriveListBoxSet,
                         ::testing::Values(DriveCase{"/mnt/usb [STICK]", kFsOk, "/mnt/usb [STICK]", 1},
                                           DriveCase{"/mnt/usb/music", kFsOk, "/mnt/usb [STICK]", 1},
                                           DriveCase{"/usr/share", kFsOk, "/", 1},
                                           DriveCase{"/home/u/docs", kFsOk, "/home/u", 0},
                                           DriveCase{"d:", kFsDeviceUnavailable, "/home/u", 0}));

TEST_F(DriveListBoxTest, AUserPickAnnouncesTheChangeToo) {
    QSignalSpy changes(&drives, &DriveListBox::change);
    QTest::keyClick(&drives, Qt::Key_Down);
    EXPECT_EQ(drives.drive(), "/");
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(DriveListBoxTest, HandlersNestAndFinishBeforeTheAssignmentReturns) {
    QStringList seen;
    QObject::connect(&drives, &DriveListBox::change, [&] {
        seen << "enter " + drives.drive();
        if (drives.root() == "/mnt/usb") drives.setDrive("/");  // falls back from inside the handler
        seen << "leave " + drives.drive();
    });
    drives.setDrive("/mnt/usb");
    seen << "returned";
    EXPECT_EQ(seen, (QStringList{"enter /mnt/usb [STICK]", "enter /", "leave /", "leave /", "returned"}));
}

TEST_F(DriveListBoxTest, RefreshReplacesAnUnmountedDriveByTheOneHoldingIt) {
    drives.setDrive("/mnt/usb");
    QSignalSpy changes(&drives, &DriveListBox::change);
    volumes.Unmount("/mnt/usb");
    drives.refresh();
    EXPECT_EQ(drives.count(), 2);
    EXPECT_EQ(drives.drive(), "/");
    EXPECT_EQ(changes.count(), 1);
}

}  // namespace
}  // namespace zv
