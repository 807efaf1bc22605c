#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include "FakeVolumes.h"
#include "MemoryFileSystem.h"
#include "QtPrinters.h"
#include "mainwindow/DirListBox.h"
#include "mainwindow/DriveListBox.h"
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
    EXPECT_EQ(dirs.openDrive("/"), kFsOk);  // never opened: its root
    EXPECT_EQ(dirs.path(), "/");
}

TEST_F(DirListBoxTest, DoubleClickAndEnterOpenTheRowsFolder) {
    dirs.resize(300, 300);
    dirs.show();
    dirs.setPath("/home/u/a/b");
    // A real double-click: the rows are rebuilt while the click is still being handled.
    const QPoint at = dirs.visualItemRect(dirs.item(4)).center();
    QTest::mouseClick(dirs.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(dirs.viewport(), Qt::LeftButton, {}, at);
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

// Typing moves to a row by its name: the folder name without its indentation,
// a drive's last folder or its label. Each case starts on /home/u/a/b in the
// folder list (rows /home/u, a, b, x, xylo, Y, 写真) or on "/" in the drive list.
struct TypeAheadCase {
    const char* label;
    bool drives;
    const char* typed;
    const char* lands;  // folder path, or drive text
};

class TypeAheadTest : public DirListBoxTest, public ::testing::WithParamInterface<TypeAheadCase> {};

TEST_P(TypeAheadTest, MovesToTheRowWhoseNameStartsWithTheTypedText) {
    const TypeAheadCase& c = GetParam();
    fs.AddFolder(u"/home/u/a/b/xylo");
    fs.AddFolder(u"/home/u/a/b/写真");
    DriveListBox drives;
    drives.setDriveModel(&model);
    drives.setDrive("/");
    ASSERT_EQ(dirs.setPath("/home/u/a/b"), kFsOk);
    QWidget* target = c.drives ? static_cast<QWidget*>(&drives) : &dirs;
    for (const QChar k : QString::fromUtf8(c.typed)) {
        if (k.unicode() < 0x80) {
            QTest::keyClick(target, char(k.unicode()));
            continue;
        }
        // Japanese comes committed by the input method.
        QInputMethodEvent commit;
        commit.setCommitString(k);
        QApplication::sendEvent(target, &commit);
    }
    EXPECT_EQ(c.drives ? drives.drive() : dirs.currentItem()->data(DirListBox::kPathRole).toString(),
              QString::fromUtf8(c.lands));
    EXPECT_EQ(dirs.path(), "/home/u/a/b");  // moving is not opening
}

INSTANTIATE_TEST_SUITE_P(Lists, TypeAheadTest,
                         ::testing::Values(TypeAheadCase{"IndentedNameAnyCase", false, "y", "/home/u/a/b/Y"},
                                           TypeAheadCase{"SeveralLetters", false, "xy", "/home/u/a/b/xylo"},
                                           TypeAheadCase{"WrapsToTheTop", false, "a", "/home/u/a"},
                                           TypeAheadCase{"NoMatchStays", false, "q", "/home/u/a/b"},
                                           TypeAheadCase{"KanjiFromTheInputMethod", false, "写",
                                                         "/home/u/a/b/写真"},
                                           TypeAheadCase{"DriveByLabel", true, "s", "/mnt/usb [STICK]"},
                                           TypeAheadCase{"SameLetterWalksOn", true, "uu", "/home/u"},
                                           TypeAheadCase{"MountPathIsNoName", true, "m", "/"}),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace zv
