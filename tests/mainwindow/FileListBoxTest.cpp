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

QStringList Rows(const FileListBox& list) {
    QStringList out;
    for (int i = 0; i < list.listCount(); ++i) out << list.list(i);
    return out;
}

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

struct PatternCase {
    const char* pattern;
    QStringList rows;
};

class FileListBoxPattern : public FileListBoxTest, public ::testing::WithParamInterface<PatternCase> {};

TEST_P(FileListBoxPattern, ListsTheMatchingFilesInCaseBlindOrder) {
    ASSERT_EQ(list.setPath("/f"), kFsOk);
    list.setPattern(QString::fromUtf8(GetParam().pattern));
    EXPECT_EQ(Rows(list), GetParam().rows) << GetParam().pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FileListBoxPattern,
    ::testing::Values(PatternCase{"*.*", {"a.txt", "B.TXT", "c.wav", "d.MID", "e.bmp", "README"}},
                      PatternCase{"*.txt", {"a.txt", "B.TXT"}},
                      PatternCase{"*.WAV;*.MID", {"c.wav", "d.MID"}}, PatternCase{"*.WAV；*.MID", {}},
                      PatternCase{"*.xyz", {}},
                      PatternCase{"?.*", {"a.txt", "B.TXT", "c.wav", "d.MID", "e.bmp"}}));

TEST_F(FileListBoxTest, MissingFolderIsRefusedAndTheListStays) {
    ASSERT_EQ(list.setPath("/f"), kFsOk);
    QSignalSpy changed(&list, &FileListBox::pathChange);
    EXPECT_EQ(list.setPath("/nowhere"), kFsPathNotFound);
    EXPECT_EQ(list.path(), "/f");
    EXPECT_EQ(list.listCount(), 6);
    EXPECT_EQ(changed.count(), 0);
}

TEST_F(FileListBoxTest, PathChangeFiresOnlyForAnotherFolderButPatternAlwaysRereads) {
    QSignalSpy pathChanged(&list, &FileListBox::pathChange);
    QSignalSpy patternChanged(&list, &FileListBox::patternChange);
    list.setPath("/f");
    list.setPath("/f");
    EXPECT_EQ(pathChanged.count(), 1);
    const int reads = fs.listCalls;
    list.setPattern("*.txt");
    list.setPattern("*.txt");
    EXPECT_EQ(patternChanged.count(), 2);
    EXPECT_EQ(fs.listCalls, reads + 2);
}

TEST_F(FileListBoxTest, RefreshShowsNewFilesAndClearsTheSelection) {
    list.setPath("/f");
    list.selectRows([](int) { return true; });
    ASSERT_EQ(list.selectedCount(), 6);
    fs.AddFile(u"/f/aa.txt");
    list.refresh();
    EXPECT_EQ(list.list(1), "aa.txt");
    EXPECT_EQ(list.selectedCount(), 0);
    for (int i = 0; i < list.listCount(); ++i) EXPECT_FALSE(list.selected(i)) << i;
}

TEST_F(FileListBoxTest, SelectionMirrorFollowsEveryWayOfSelecting) {
    list.setPath("/f");
    list.selectRows([](int i) { return i % 2 == 1; });
    EXPECT_EQ(list.selectedCount(), 3);
    EXPECT_TRUE(list.selected(1));
    EXPECT_FALSE(list.selected(2));
    list.setSelected(2, true);
    list.setSelected(1, false);
    EXPECT_TRUE(list.selected(2));
    EXPECT_FALSE(list.selected(1));
    EXPECT_EQ(list.selectedCount(), 3);
    list.selectRows([](int i) { return i == 0; });  // replaces, not adds
    EXPECT_EQ(list.selectedCount(), 1);
    EXPECT_FALSE(list.selected(-1));
    EXPECT_FALSE(list.selected(99));
}

TEST_F(FileListBoxTest, ClickSignalsUserSelectionOnly) {
    list.resize(200, 200);
    list.show();
    list.setPath("/f");
    QSignalSpy clicks(&list, &FileListBox::click);
    list.selectRows([](int) { return true; });
    list.setSelected(0, false);
    EXPECT_EQ(clicks.count(), 0);
    const QRect r = list.visualRect(list.model()->index(2, 0));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_GE(clicks.count(), 1);
    EXPECT_TRUE(list.selected(2));
    EXPECT_EQ(list.selectedCount(), 1);
    EXPECT_EQ(list.fileName(), "c.wav");
}

TEST_F(FileListBoxTest, BadBytesShowAsPlaceholdersButTheRealNameIsKept) {
    const std::u16string bad = u"bad\xDC80\xDCFF.txt";
    fs.AddFile(u"/g/" + bad);
    fs.AddFile(u"/g/\U0002000B.txt");
    list.setPath("/g");
    ASSERT_EQ(list.listCount(), 2);
    const QString real =
        QString(reinterpret_cast<const QChar*>(bad.data()), static_cast<qsizetype>(bad.size()));
    EXPECT_EQ(list.list(0), real);
    EXPECT_EQ(list.shownText(0), QString::fromUtf16(u"bad\uFFFD\uFFFD.txt"));
    EXPECT_EQ(list.shownText(1), QString::fromUtf16(u"\U0002000B.txt"));  // a valid pair is shown as it is
    EXPECT_TRUE(fs.FileExists(u"/g/" + std::u16string(reinterpret_cast<const char16_t*>(list.list(0).utf16()),
                                                      static_cast<size_t>(list.list(0).size()))));
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
