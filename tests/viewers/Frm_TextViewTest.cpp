#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTextBlock>
#include <fstream>

#include "FakeMessageBox.h"
#include "shared/Valiable.h"
#include "viewers/Frm_TextView.h"

namespace {

std::u16string WriteFile(const QTemporaryDir& dir, const QString& name, const std::string& bytes) {
    const QString path = dir.filePath(name);
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
    return path.toStdU16String();
}

std::string Repeat(const std::string& s, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += s;
    return out;
}

struct LoadCase {
    const char* name;
    const char* file;
    std::string bytes;
    std::string shown;  // UTF-8 plain text of the box
    bool firstCharBold;
};

class TextViewLoadTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(TextViewLoadTest, ShowsTheFileAsItsKeySays) {
    const LoadCase& c = GetParam();
    QTemporaryDir dir;
    Valiable::PreviewFilePath = WriteFile(dir, c.file, c.bytes);
    zvtest::FakeMessageBox boxes;
    zv::Frm_TextView view(boxes);
    ASSERT_TRUE(view.Form_Load());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(view.windowTitle(),
              QString::fromStdU16String(u"テキストビュアー( " + Valiable::PreviewFilePath + u" )"));
    EXPECT_EQ(view.RichText1->toPlainText().toStdString(), c.shown);
    EXPECT_TRUE(view.RichText1->isReadOnly());
    QTextCursor cursor(view.RichText1->document());
    cursor.movePosition(QTextCursor::NextCharacter);
    EXPECT_EQ(cursor.charFormat().fontWeight() == QFont::Bold, c.firstCharBold);
}

INSTANTIATE_TEST_SUITE_P(
    Files, TextViewLoadTest,
    ::testing::Values(
        LoadCase{"txt_with_rtf_markup_is_raw", "A.TXT", "{\\rtf1 \\b x}", "{\\rtf1 \\b x}", false},
        LoadCase{"lower_case_txt", "readme.txt", "\x82\xA0\r\nb", "あ\nb", false},
        LoadCase{"rtf_is_rich", "memo.Rtf", "{\\rtf1 {\\b x}y\\par z}", "xy\nz", true},
        LoadCase{"rtf_key_with_plain_content", "note.rtf", "just text\r\n", "just text\n", false},
        LoadCase{"empty_rtf", "empty.rtf", "", "", false},
        LoadCase{"rtf_fragment", "frag.rtf", "{\\pard\\b a\\par}", "a", true},
        // Long enough for the lines to be gathered into several blocks.
        LoadCase{"many_lines", "long.txt", Repeat("\x82\xA0 line\r\n\r\n", 2000), Repeat("あ line\n\n", 2000),
                 false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextView, UnreadableFileIsReportedAndNotShown) {
    QTemporaryDir dir;
    for (const std::u16string& path :
         {dir.filePath("vanished.txt").toStdU16String(), dir.path().toStdU16String() + u"/sub.rtf"}) {
        if (path.ends_with(u"sub.rtf")) QDir(dir.path()).mkdir("sub.rtf");  // a folder, not a file
        Valiable::PreviewFilePath = path;
        zvtest::FakeMessageBox boxes;
        zv::Frm_TextView view(boxes);
        EXPECT_FALSE(view.Form_Load());
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].prompt, u"このファイルは表示できません。");
        EXPECT_EQ(boxes.shown[0].title, u"読み込みエラー");
        EXPECT_EQ(boxes.shown[0].buttons, zv::kOkOnly);
    }
}

TEST(TextView, TextBoxAlwaysFillsTheWindow) {
    QTemporaryDir dir;
    Valiable::PreviewFilePath = WriteFile(dir, "a.txt", "x");
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
