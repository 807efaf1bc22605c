// The lists of the file selection panel on their own: the file pattern, the
// drives, the file list and the folder list, over folders in memory.

#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

#include "QtPrinters.h"
#include "engine/EngineFakes.h"
#include "mainwindow/DirListBox.h"
#include "mainwindow/DriveListBox.h"
#include "mainwindow/FileListBox.h"
#include "support/FakeMessageBox.h"

namespace zv {
namespace {

// The rows of a table, as arguments so that they pack several to a line.
template <typename... R>
auto Rows(R... rows) {
    return std::vector{rows...};
}

// "*.*" is every file, with or without an extension; case is ignored both ways,
// beyond ASCII too; "*" is anchored at both ends (and "*ab*" needs a step back
// after a false start); "?" is exactly one character, a surrogate pair counting
// as one; ";" separates, any one wildcard being enough, but the full-width "；"
// is part of the wildcard; nothing is trimmed.
TEST(FilePatternTest, ListsExactlyTheMatchingNames) {
    struct M {
        const char16_t *pattern, *name;
        bool listed;
    };
    for (const auto& [pattern, name, listed] :
         Rows(M{u"*.*", u"README", true}, M{u"a.*", u"a", true}, M{u"a.*", u"ab", false},
              M{u"*.txt", u"A.TXT", true}, M{u"Ä*", u"äpfel", true}, M{u"*.txt", u"a.txt.bak", false},
              M{u"a*b*c", u"aXcYb", false}, M{u"*ab*", u"aab", true}, M{u"?.txt", u"ab.txt", false},
              M{u"??.txt", u"a.txt", false}, M{u"?", u"\U0002000B", true}, M{u"??", u"\U0002000B", false},
              M{u"?.txt", u"\xDCFF.txt", true}, M{u"*.BMP;*.JPG", u"x.jpg", true},
              M{u"*.BMP;*.JPG", u"x.gif", false}, M{u"*.txt;", u"a.txt", true},
              M{u"*.txt；*.jpg", u"a.txt", false}, M{u"*.txt ", u"a.txt", false}, M{u"", u"a", false}))
        EXPECT_EQ(FilePattern(QString::fromUtf16(pattern)).Matches(QString::fromUtf16(name)), listed)
            << QString::fromUtf16(pattern).toStdString() << " / " << QString::fromUtf16(name).toStdString();
}

// ---- Drives ----

// A machine's mounts: those a user would pick (/bootstrap is not below /boot),
// the system's own (by file system or by place), one not ready and one
// mounted over; a test may unmount while the lists are open.
struct Machine {
    using V = VolumeInfo;
    std::vector<VolumeInfo> list =
        Rows(V{"/", "", "ext4", "/dev/sda1"}, V{"/mnt/ram", "", "tmpfs", "tmpfs"},
             V{"/mnt/data", "", "ext4", "/dev/sdb1"}, V{"/media/u/USB", "STICK", "vfat", "/dev/sdc1"},
             V{"/mnt/data", "", "ext4", "/dev/sdd1"}, V{"/snap/x/1", "", "squashfs", "/dev/loop0"},
             V{"/run/media/u/CARD", "", "exfat", "/dev/sde1"}, V{"/bootstrap", "", "ext4", "/dev/sdf1"},
             V{"/mnt/off", "", "ext4", "/dev/sdg1", true, false}, V{"/boot/efi", "", "vfat", "/dev/sda2"},
             V{"/run/user/1000/gvfs", "", "fuse.gvfsd-fuse", "gvfsd-fuse"});
    DriveModel model{"/home/u", [this] { return list; }, [](const QString&) { return qint64(42); }};
};

TEST(DriveModelTest, ListsHomeRootAndTheMountsAUserWouldPickAndNamesTheDriveOfAPath) {
    Machine m;
    QStringList texts;
    for (int i = 0; i < m.model.Count(); ++i) texts << m.model.At(i).text;
    EXPECT_EQ(texts, (QStringList{"/home/u", "/", "/bootstrap", "/media/u/USB [STICK]", "/mnt/data",
                                  "/run/media/u/CARD"}));
    for (const auto& [given, root] :
         {std::pair{"/home/u/docs/", "/home/u"}, std::pair{"/home/u2", "/"},
          std::pair{"/media/u/USB [RENAMED]", "/media/u/USB"}, std::pair{"/mnt/data/../data/x", "/mnt/data"},
          std::pair{"relative/path", ""}}) {
        const int i = m.model.Find(given);
        EXPECT_EQ(i < 0 ? QString() : m.model.At(i).root, root) << given;
    }
    // Unmounted since the list was read: not ready.
    const int usb = m.model.Find("/media/u/USB");
    EXPECT_TRUE(m.model.IsReady(usb));
    EXPECT_EQ(m.model.FreeBytes(usb), 42);
    std::erase_if(m.list, [](const VolumeInfo& v) { return v.rootPath == "/media/u/USB"; });
    EXPECT_FALSE(m.model.IsReady(usb));
    EXPECT_EQ(m.model.FreeBytes(usb), -1);  // not the figure of the volume below it
}

TEST(DriveModelTest, FreeSpaceInWholeMegabytesWithThousandsSeparators) {
    constexpr qint64 kMB = 1024 * 1024;
    for (const auto& [bytes, text] :
         {std::pair{1572864000LL, "空き容量: 1,500MB"}, std::pair{kMB / 2 - 1, "空き容量: MB"},
          std::pair{kMB / 2, "空き容量: 1MB"}, std::pair{500 * kMB, "空き容量: 500MB"},
          std::pair{1024 * 1024 * kMB, "空き容量: 1,048,576MB"},  // beyond 32 bits
          std::pair{-1LL, "空き容量: 不明"}})
        EXPECT_EQ(DriveModel::FreeSpaceText(bytes).toStdString(), text) << bytes;
}

// ---- File list ----

struct FileListBoxTest : ::testing::Test {
    FileListBoxTest() {
        list.setFileSystem(&fs);
        list.setMessageBox(&box);
    }
    zv::test::FakeFileSystem fs;
    zvtest::FakeMessageBox box;
    FileListBox list;
};

TEST_F(FileListBoxTest, MissingFolderIsRefusedAndTheListStays) {
    fs.Put(u"/f", {u"a.txt", u"B.TXT", u"README", u".hidden"});
    ASSERT_EQ(list.setPath("/f"), kFsOk);
    QSignalSpy changed(&list, &FileListBox::pathChange);
    for (const char* path : {"/nowhere", "f", ""}) EXPECT_EQ(list.setPath(path), kFsPathNotFound) << path;
    EXPECT_EQ(list.setPath("/f/"), kFsOk);  // the same folder written differently
    EXPECT_EQ(list.path(), "/f");
    EXPECT_EQ(list.listCount(), 3);
    EXPECT_EQ(changed.count(), 0);
}

TEST_F(FileListBoxTest, ABigFolderShowsTheFirstRowsAndTellsTheUserOncePerFolder) {
    const int n = FileListBox::kMaxRows + 2;
    fs.folders = {u"/big", u"/big2"};
    for (int i = 0; i < n; ++i) {
        fs.Add(QString("/big/%1.dat").arg(i, 6, 10, QLatin1Char('0')).toStdU16String());
        fs.Add(QString("/big2/x%1.dat").arg(i).toStdU16String());
    }
    list.setPath("/big");
    EXPECT_EQ(list.listCount(), FileListBox::kMaxRows);
    EXPECT_TRUE(list.truncated());
    EXPECT_EQ(list.list(FileListBox::kMaxRows - 1), "032766.dat");
    ASSERT_EQ(box.shown.size(), 1u);
    list.refresh();
    list.setPattern("*.dat");
    EXPECT_EQ(box.shown.size(), 1u);
    list.setPattern("00000?.dat");  // a narrower pattern fits
    EXPECT_FALSE(list.truncated());
    list.setPattern("*.*");
    list.setPath("/big2");
    EXPECT_EQ(box.shown.size(), 2u);
}

// ---- Folder list ----

class DirListBoxTest : public ::testing::Test {
  protected:
    DirListBoxTest() {
        for (const char16_t* f : {u"/", u"/etc", u"/home", u"/home/u", u"/home/u/a", u"/home/u/a/b",
                                  u"/home/u/a/b/x", u"/home/u/a/b/Y", u"/home/u/a/b/.hid", u"/mnt",
                                  u"/mnt/usb", u"/mnt/usb/music", u"/mnt/usb/music/jazz"})
            fs.folders.insert(f);
        dirs.setFileSystem(&fs);
        dirs.setDriveModel(&model);
    }
    QStringList Paths() const {
        QStringList out;
        for (int i = 0; i < dirs.listCount(); ++i) out << dirs.rowPath(i);
        return out;
    }
    std::vector<VolumeInfo> volumes{{"/", "", "ext4", "/dev/sda1"},
                                    {"/mnt/usb", "STICK", "vfat", "/dev/sdb1"}};
    DriveModel model{"/home/u", [this] { return volumes; }, [](const QString&) { return qint64(-1); }};
    zv::test::FakeFileSystem fs;
    DirListBox dirs;
};

TEST_F(DirListBoxTest, ShowsTheDrivesRootDownToTheFolderThenItsSubfolders) {
    ASSERT_EQ(dirs.setPath("/home/u/a/b/"), kFsOk);
    EXPECT_EQ(dirs.path(), "/home/u/a/b");
    EXPECT_EQ(Paths(),
              (QStringList{"/home/u", "/home/u/a", "/home/u/a/b", "/home/u/a/b/x", "/home/u/a/b/Y"}));
    EXPECT_EQ(dirs.currentFolderRow(), 2);
    // Each folder two spaces further in than its parent; the drive's root not at all.
    EXPECT_EQ(dirs.item(0)->text() + "|" + dirs.item(1)->text() + "|" + dirs.item(3)->text(),
              "/home/u|  a|      x");
    ASSERT_EQ(dirs.setPath("/"), kFsOk);
    EXPECT_EQ(Paths(), (QStringList{"/", "/etc", "/home", "/mnt"}));
}

TEST_F(DirListBoxTest, OpeningADriveGoesBackToItsLastFolderOrWhatIsLeftOfIt) {
    dirs.setPath("/mnt/usb/music/jazz");
    dirs.setPath("/home/u/a");
    EXPECT_EQ(dirs.openDrive("/mnt/usb [STICK]"), kFsOk);
    EXPECT_EQ(dirs.path(), "/mnt/usb/music/jazz");
    EXPECT_EQ(dirs.openDrive("/home/u"), kFsOk);
    EXPECT_EQ(dirs.path(), "/home/u/a");
    fs.folders.erase(u"/mnt/usb/music/jazz");  // deleted meanwhile: its parent stands in
    EXPECT_EQ(dirs.openDrive("/mnt/usb [STICK]"), kFsOk);
    EXPECT_EQ(dirs.path(), "/mnt/usb/music");
    // A refresh leaves a vanished folder for its parent, and says so once.
    dirs.setPath("/home/u/a/b");
    QSignalSpy changes(&dirs, &DirListBox::change);
    fs.folders.erase(u"/home/u/a/b");  // its subfolders left behind, unreachable
    dirs.refresh();
    EXPECT_EQ(dirs.path(), "/home/u/a");
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(dirs.openDrive("/"), kFsOk);  // never opened: its root
    EXPECT_EQ(dirs.path(), "/");
}

TEST_F(DirListBoxTest, DoubleClickOpensTheRowsFolder) {
    dirs.resize(300, 300);
    dirs.show();
    dirs.setPath("/home/u/a/b");
    // A real double-click: the rows are rebuilt while the click is still being handled.
    const QPoint at = dirs.visualItemRect(dirs.item(4)).center();
    QTest::mouseClick(dirs.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(dirs.viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(dirs.path(), "/home/u/a/b/Y");
}

// Typing moves to a row by its name: the folder name without its indentation,
// a drive's last folder or its label. Each case starts on /home/u/a/b in the
// folder list (rows /home/u, a, b, x, xylo, Y, 写真) or on "/" in the drive list.
TEST_F(DirListBoxTest, TypingMovesToTheRowWhoseNameStartsWithTheText) {
    fs.folders.insert({u"/home/u/a/b/xylo", u"/home/u/a/b/写真"});
    // In the drive list, else the folder list; typed; the folder path or drive
    // text landed on. Kanji come from the input method, the same letter walks
    // on, a mount path is no name.
    struct T {
        bool inDrives;
        const char *typed, *lands;
    };
    for (const auto& [inDrives, typed, lands] :
         {T{false, "y", "/home/u/a/b/Y"}, T{false, "xy", "/home/u/a/b/xylo"}, T{false, "a", "/home/u/a"},
          T{false, "q", "/home/u/a/b"}, T{false, "写", "/home/u/a/b/写真"}, T{true, "s", "/mnt/usb [STICK]"},
          T{true, "uu", "/home/u"}, T{true, "m", "/"}}) {
        SCOPED_TRACE(typed);
        DirListBox dirs;  // a fresh list each time: typed letters add up
        dirs.setFileSystem(&fs);
        dirs.setDriveModel(&model);
        DriveListBox drives;
        drives.setDriveModel(&model);
        drives.setDrive("/");
        ASSERT_EQ(dirs.setPath("/home/u/a/b"), kFsOk);
        QWidget* target = inDrives ? static_cast<QWidget*>(&drives) : &dirs;
        for (const QChar k : QString::fromUtf8(typed)) {
            if (k.unicode() < 0x80) {
                QTest::keyClick(target, char(k.unicode()));
                continue;
            }
            // Japanese comes committed by the input method.
            QInputMethodEvent commit;
            commit.setCommitString(k);
            QApplication::sendEvent(target, &commit);
        }
        EXPECT_EQ(inDrives ? drives.drive() : dirs.currentItem()->data(DirListBox::kPathRole).toString(),
                  QString::fromUtf8(lands));
        EXPECT_EQ(dirs.path(), "/home/u/a/b");  // moving is not opening
    }
}

}  // namespace
}  // namespace zv
