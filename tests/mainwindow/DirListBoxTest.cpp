#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include "FakeVolumes.h"
#include "MemoryFileSystem.h"
#include "QtPrinters.h"
#include "mainwindow/DirListBox.h"
#include "shared/FileSystem.h"

namespace zv {
namespace {

class DirListBoxTest : public ::testing::Test {
  protected:
    DirListBoxTest() : model("/home/u", volumes.Source(), [](const QString&) { return qint64(-1); }) {
        for (const char16_t* f :
             {u"/home/u/a/b/x", u"/home/u/a/b/Y", u"/home/u/a/b/.hid", u"/mnt/usb/music/jazz", u"/etc"})
            fs.AddFolder(f);
        dirs.setFileSystem(&fs);
        dirs.setDriveModel(&model);
    }
    QStringList Paths() const {
        QStringList out;
        for (int i = 0; i < dirs.listCount(); ++i) out << dirs.rowPath(i);
        return out;
    }
    test::FakeVolumes volumes;
    DriveModel model;
    test::MemoryFileSystem fs;
    DirListBox dirs;
};

TEST_F(DirListBoxTest, ShowsTheDrivesRootDownToTheFolderThenItsSubfolders) {
    ASSERT_EQ(dirs.setPath("/home/u/a/b/"), kFsOk);
    EXPECT_EQ(dirs.path(), "/home/u/a/b");
    EXPECT_EQ(Paths(),
              (QStringList{"/home/u", "/home/u/a", "/home/u/a/b", "/home/u/a/b/x", "/home/u/a/b/Y"}));
    EXPECT_EQ(dirs.currentFolderRow(), 2);
    ASSERT_EQ(dirs.setPath("/"), kFsOk);
    EXPECT_EQ(Paths(), (QStringList{"/", "/etc", "/home", "/mnt"}));
}

struct PathCase {
    const char* from;
    const char* to;
    int code;
    const char* after;
};

class DirListBoxPath : public DirListBoxTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(DirListBoxPath, OpensExistingFoldersOnlyAndAnnouncesRealChanges) {
    const PathCase& c = GetParam();
    ASSERT_EQ(dirs.setPath(c.from), kFsOk);
    QSignalSpy changes(&dirs, &DirListBox::change);
    EXPECT_EQ(dirs.setPath(QString::fromUtf8(c.to)), c.code) << c.to;
    EXPECT_EQ(dirs.path(), c.after);
    EXPECT_EQ(changes.count(), dirs.path() == c.from ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(Paths, DirListBoxPath,
                         ::testing::Values(PathCase{"/home/u/a", "b", kFsOk, "/home/u/a/b"},
                                           PathCase{"/home/u/a/b", "..", kFsOk, "/home/u/a"},
                                           PathCase{"/home/u/a", "/home/u/a/", kFsOk, "/home/u/a"},
                                           PathCase{"/home/u/a", "/home/u/zz", kFsPathNotFound, "/home/u/a"},
                                           PathCase{"/home/u/a", "", kFsPathNotFound, "/home/u/a"},
                                           PathCase{"/home/u/a", "/mnt/usb/music", kFsOk, "/mnt/usb/music"}));

TEST_F(DirListBoxTest, OpeningADriveGoesBackToItsLastFolder) {
    dirs.setPath("/mnt/usb/music/jazz");
    dirs.setPath("/home/u/a");
    EXPECT_EQ(dirs.openDrive("/mnt/usb [STICK]"), kFsOk);
    EXPECT_EQ(dirs.path(), "/mnt/usb/music/jazz");
    EXPECT_EQ(dirs.openDrive("/home/u"), kFsOk);
    EXPECT_EQ(dirs.path(), "/home/u/a");
    fs.Remove(u"/mnt/usb/music/jazz");  // deleted meanwhile: its parent stands in
    EXPECT_EQ(dirs.openDrive("/mnt/usb [STICK]"), kFsOk);
    EXPECT_EQ(dirs.path(), "/mnt/usb/music");
}

TEST_F(DirListBoxTest, AnUnmountedDriveIsUnavailableAndNothingChanges) {
    dirs.setPath("/home/u/a");
    QSignalSpy changes(&dirs, &DirListBox::change);
    volumes.Unmount("/mnt/usb");
    EXPECT_EQ(dirs.openDrive("/mnt/usb [STICK]"), kFsDeviceUnavailable);
    EXPECT_EQ(dirs.setPath("/mnt/usb/music"), kFsDeviceUnavailable);
    EXPECT_EQ(dirs.path(), "/home/u/a");
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(DirListBoxTest, DoubleClickAndEnterOpenTheRowsFolder) {
    dirs.setPath("/home/u/a/b");
    emit dirs.itemDoubleClicked(dirs.item(4));
    EXPECT_EQ(dirs.path(), "/home/u/a/b/Y");
    dirs.setCurrentRow(1);
    QTest::keyClick(&dirs, Qt::Key_Return);
    EXPECT_EQ(dirs.path(), "/home/u/a");
}

TEST_F(DirListBoxTest, RefreshLeavesAVanishedFolderForItsParent) {
    dirs.setPath("/home/u/a/b");
    fs.AddFolder(u"/home/u/a/b/new");
    dirs.refresh();
    EXPECT_TRUE(Paths().contains("/home/u/a/b/new"));
    QSignalSpy changes(&dirs, &DirListBox::change);
    fs.Remove(u"/home/u/a/b");
    dirs.refresh();
    EXPECT_EQ(dirs.path(), "/home/u/a");
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(DirListBoxTest, BadBytesInFolderNamesAreShownReadablyAndStillOpen) {
    const std::u16string bad = u"/home/u/\xDC81name";
    fs.AddFolder(bad + u"/inner");
    dirs.setPath("/home/u");
    const QString real = QString::fromStdU16String(bad);
    const int row = static_cast<int>(Paths().indexOf(real));
    ASSERT_GE(row, 0);
    EXPECT_EQ(dirs.item(row)->text().trimmed(), QString::fromUtf16(u"\uFFFDname"));
    emit dirs.itemDoubleClicked(dirs.item(row));
    EXPECT_EQ(dirs.path(), real);
    EXPECT_EQ(Paths().last(), real + "/inner");
}

}  // namespace
}  // namespace zv
