// The text viewer: the file's extension decides between raw text and RTF.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "TestFiles.h"
#include "shared/Valiable.h"
#include "viewers/Frm_TextView.h"

namespace {

TEST(TextView, ShowsTheFileAsItsExtensionSays) {
    const std::string many = QByteArray("\x82\xA0 line\r\n\r\n").repeated(2000).toStdString();
    const struct {
        const char* file;
        std::string bytes;
        std::string shown;  // UTF-8 plain text of the box
        bool firstCharBold;
    } cases[] = {{"A.TXT", "{\\rtf1 \\b x}", "{\\rtf1 \\b x}", false},  // RTF markup in a .TXT stays raw
                 {"readme.txt", "\x82\xA0\r\nb", "あ\nb", false},
                 {"memo.Rtf", "{\\rtf1 {\\b x}y\\par z}", "xy\nz", true},
                 {"note.rtf", "just text\r\n", "just text\n", false},
                 {"empty.rtf", "", "", false},
                 {"frag.rtf", "{\\pard\\b a\\par}", "a", true},
                 // Long enough for the lines to be gathered into several blocks.
                 {"long.txt", many, QString("あ line\n\n").repeated(2000).toStdString(), false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        QTemporaryDir dir;
        Valiable::PreviewFilePath = zvtest::WriteFile(dir, c.file, c.bytes);
        zvtest::FakeMessageBox boxes;
        zv::Frm_TextView view(boxes);
        ASSERT_TRUE(view.Form_Load());
        EXPECT_TRUE(boxes.shown.empty());
        EXPECT_EQ(view.windowTitle().toStdU16String(),
                  u"テキストビュアー( " + Valiable::PreviewFilePath + u" )");
        EXPECT_EQ(view.RichText1->toPlainText().toStdString(), c.shown);
        EXPECT_TRUE(view.RichText1->isReadOnly());
        QTextCursor cursor(view.RichText1->document());
        cursor.movePosition(QTextCursor::NextCharacter);
        EXPECT_EQ(cursor.charFormat().fontWeight() == QFont::Bold, c.firstCharBold);
    }
}

TEST(TextView, UnreadableFileIsReportedAndNotShown) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("sub.rtf");  // a folder, not a file
    for (const char* name : {"vanished.txt", "sub.rtf"}) {
        Valiable::PreviewFilePath = dir.filePath(name).toStdU16String();
        zvtest::FakeMessageBox boxes;
        zv::Frm_TextView view(boxes);
        EXPECT_FALSE(view.Form_Load());
        EXPECT_EQ(boxes.shown, std::vector{zvtest::kCannotShow}) << name;
    }
}

TEST(TextView, TextBoxAlwaysFillsTheWindow) {
    QTemporaryDir dir;
    Valiable::PreviewFilePath = zvtest::WriteFile(dir, "a.txt", "x");
    zvtest::FakeMessageBox boxes;
    zv::Frm_TextView view(boxes);
    ASSERT_TRUE(view.Form_Load());
    view.show();
    for (QSize size : {QSize(300, 200), QSize(800, 600), QSize(120, 90), QSize(556, 334)}) {
        view.resize(size);
        QApplication::processEvents();
        EXPECT_EQ(view.RichText1->geometry(), view.rect()) << size.width() << "x" << size.height();
    }
    view.showMinimized();
    QApplication::processEvents();
    view.showNormal();
    QApplication::processEvents();
    EXPECT_EQ(view.RichText1->geometry(), view.rect());
}

}  // namespace
