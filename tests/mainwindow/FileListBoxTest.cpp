#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "FakeMessageBox.h"
#include "MemoryFileSystem.h"
#include "QtPrinters.h"
#include "mainwindow/FileListBox.h"
#include "shared/FileSystem.h"

namespace zv {
namespace {

using test::FakeMessageBox;
using test::MemoryFileSystem;

class FileListBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char16_t* n : {u"e.bmp", u"a.txt", u"B.TXT", u"c.wav", u"d.MID", u"README", u".hidden"})
            fs.AddFile(std::u16string(u"/f/") + n);
        fs.AddFolder(u"/f/sub");
        fs.AddFolder(u"/empty");
        list.setFileSystem(&fs);
        list.setMessageBox(&box);
    }
    MemoryFileSystem fs;
    FakeMessageBox box;
    FileListBox list;
};

TEST_F(FileListBoxTest, MissingFolderIsRefusedAndTheListStays) {
    ASSERT_EQ(list.setPath("/f"), kFsOk);
    QSignalSpy changed(&list, &FileListBox::pathChange);
    EXPECT_EQ(list.setPath("/nowhere"), kFsPathNotFound);
    EXPECT_EQ(list.setPath("f"), kFsPathNotFound);
    EXPECT_EQ(list.setPath(""), kFsPathNotFound);
    EXPECT_EQ(list.setPath("/f/"), kFsOk);  // the same folder written differently
    EXPECT_EQ(list.path(), "/f");
    EXPECT_EQ(list.listCount(), 6);
    EXPECT_EQ(changed.count(), 0);
}

TEST_F(FileListBoxTest, ABigFolderShowsTheFirstRowsAndTellsTheUserOncePerFolder) {
    const int n = FileListBox::kMaxRows + 2;
    for (int i = 0; i < n; ++i) {
        const QString name = QString("/big/%1.dat").arg(i, 6, 10, QLatin1Char('0'));
        fs.AddFile(name.toStdU16String());
        if (i < 3) fs.AddFile(QString("/big2/%1.dat").arg(i).toStdU16String());
    }
    for (int i = 0; i < n; ++i) fs.AddFile(QString("/big2/x%1.dat").arg(i).toStdU16String());
    list.setPath("/big");
    EXPECT_EQ(list.listCount(), FileListBox::kMaxRows);
    EXPECT_TRUE(list.truncated());
    EXPECT_EQ(list.list(FileListBox::kMaxRows - 1), "032766.dat");
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].buttons, kOkOnly);
    list.refresh();
    list.setPattern("*.dat");
    EXPECT_EQ(box.shown.size(), 1u);
    list.setPattern("00000?.dat");  // a narrower pattern fits
    EXPECT_FALSE(list.truncated());
    list.setPattern("*.*");
    list.setPath("/big2");
    EXPECT_EQ(box.shown.size(), 2u);
}

}  // namespace
}  // namespace zv
