// The help file as built and the help window that shows it.
#include <gtest/gtest.h>

#include <QImage>
#include <QListWidget>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <set>

#include "dialogs/ChmFile.h"
#include "dialogs/HelpSitemap.h"
#include "dialogs/HelpWindow.h"
#include "dialogs/QtHelp.h"
#include "shared/Help.h"

namespace zv::dialogs {
namespace {

const QString kChm = QStringLiteral(ZV_TEST_CHM);

// ---- help file path ---------------------------------------------------------

struct HelpPathCase {
    const char16_t* programFolder;
    const char16_t* expected;
};

class HelpPathTest : public ::testing::TestWithParam<HelpPathCase> {};

TEST_P(HelpPathTest, HelpFileLiesInTheProgramFolder) {
    EXPECT_EQ(HelpFilePath(GetParam().programFolder), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Folders, HelpPathTest,
                         ::testing::Values(HelpPathCase{u"/", u"/ZVNUM.chm"},
                                           HelpPathCase{u"/opt/zorvik", u"/opt/zorvik/ZVNUM.chm"},
                                           HelpPathCase{u"/opt/zorvik/", u"/opt/zorvik/ZVNUM.chm"}));

// ---- links inside the file ----------------------------------------------------

struct NormalizeCase {
    const char* link;
    const char* object;
};

class NormalizeTest : public ::testing::TestWithParam<NormalizeCase> {};

TEST_P(NormalizeTest, LinkBecomesObjectPath) {
    EXPECT_EQ(ChmFile::Normalize(QString::fromUtf8(GetParam().link)).toStdString(), GetParam().object);
}

INSTANTIATE_TEST_SUITE_P(Links, NormalizeTest,
                         ::testing::Values(NormalizeCase{"index.htm", "/index.htm"},
                                           NormalizeCase{"a/../b.htm#part", "/b.htm"},
                                           NormalizeCase{"./x.htm?q=1", "/x.htm"},
                                           NormalizeCase{"\\dir\\p.htm", "/dir/p.htm"},
                                           NormalizeCase{"../../up.htm", "/up.htm"},
                                           NormalizeCase{"/dir//deep/./p.htm", "/dir/deep/p.htm"}));

// ---- contents and index files -------------------------------------------------

// Flattens a tree to "depth:name=local" lines, in order.
void Flatten(const std::vector<SitemapEntry>& entries, int depth, std::vector<std::string>& out) {
    for (const SitemapEntry& entry : entries) {
        out.push_back(std::to_string(depth) + ":" + entry.name.toStdString() + "=" +
                      entry.local.toStdString());
        Flatten(entry.children, depth + 1, out);
    }
}

struct SitemapCase {
    const char* label;
    const char* html;
    std::vector<std::string> expected;
};

class SitemapTest : public ::testing::TestWithParam<SitemapCase> {};

TEST_P(SitemapTest, EntriesAndNesting) {
    std::vector<std::string> flat;
    Flatten(ParseSitemap(QString::fromUtf8(GetParam().html)), 0, flat);
    EXPECT_EQ(flat, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SitemapTest,
    ::testing::Values(
        SitemapCase{
            "nested",
            R"(<ul><li><object type="text/sitemap"><param name="Name" value="Top"><param name="Local" value="a.htm"></object>
                       <ul><li><object type="text/sitemap"><param name="Name" value="Child"><param name="Local" value="b.htm"></object>
                           <ul><li><object type="text/sitemap"><param name="Name" value="Grand"><param name="Local" value="c.htm"></object></ul>
                           <li><object type="text/sitemap"><param name="Name" value="Child2"><param name="Local" value="d.htm"></object>
                       </ul>
                       <li><object type="text/sitemap"><param name="Name" value="Top2"><param name="Local" value="e.htm"></object></ul>)",
            {"0:Top=a.htm", "1:Child=b.htm", "2:Grand=c.htm", "1:Child2=d.htm", "0:Top2=e.htm"}},
        SitemapCase{
            "loose HTML: upper case, single quotes, bare values, entities",
            R"(<UL><LI><OBJECT TYPE='text/sitemap'><PARAM NAME=Name VALUE='A &amp; B &#x3042;'><PARAM NAME="Local" VALUE=x.htm></OBJECT></UL>)",
            {"0:A & B あ=x.htm"}},
        SitemapCase{"site properties are not entries",
                    R"(<object type="text/site properties"><param name="ImageType" value="Folder"></object>
                       <ul><li><object type="text/sitemap"><param name="Name" value="Only"><param name="Local" value="o.htm"></object></ul>)",
                    {"0:Only=o.htm"}},
        SitemapCase{
            "a keyword with two pages shows the first",
            R"(<ul><li><object type="text/sitemap"><param name="Name" value="K"><param name="Local" value="1.htm"><param name="Name" value="K2"><param name="Local" value="2.htm"></object></ul>)",
            {"0:K=1.htm"}},
        SitemapCase{
            "unbalanced closing lists do not lose entries",
            R"(</ul></ul><ul><li><object type="text/sitemap"><param name="Name" value="N"><param name="Local" value="n.htm"></object></ul></ul>)",
            {"0:N=n.htm"}},
        SitemapCase{"empty", "", {}}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(HelpTextTest, ShiftJisPageWithMetaIsDecoded) {
    QStringEncoder encoder("Shift_JIS");
    if (!encoder.isValid()) GTEST_SKIP() << "no Shift-JIS codec in this Qt";
    const QByteArray bytes =
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">"
        "</head><body>" +
        QByteArray(encoder.encode(QStringLiteral("連番"))) + "</body></html>";
    EXPECT_TRUE(DecodeHelpText(bytes).contains(QStringLiteral("連番")));
}

// ---- the built help file ------------------------------------------------------

class BuiltHelpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        file_ = ChmFile::Open(kChm);
        ASSERT_TRUE(file_) << "help file not built: " << kChm.toStdString();
    }
    std::unique_ptr<ChmFile> file_;
};

TEST_F(BuiltHelpTest, NamesContentsIndexAndStartPage) {
    EXPECT_TRUE(file_->Contains(file_->ContentsFile())) << file_->ContentsFile().toStdString();
    EXPECT_TRUE(file_->Contains(file_->IndexFile())) << file_->IndexFile().toStdString();
    EXPECT_EQ(file_->DefaultTopic(), QStringLiteral("/index.htm"));
}

// Every page the contents and the index name is in the file, and so is every
// page, picture and style sheet those pages link to.
TEST_F(BuiltHelpTest, NoBrokenLinks) {
    std::set<QString> pages;
    std::vector<std::string> flat;
    for (const QString& sitemap : {file_->ContentsFile(), file_->IndexFile()}) {
        const auto entries = ParseSitemap(DecodeHelpText(file_->Read(sitemap).value_or(QByteArray())));
        std::vector<SitemapEntry> stack(entries.begin(), entries.end());
        while (!stack.empty()) {
            SitemapEntry entry = std::move(stack.back());
            stack.pop_back();
            pages.insert(ChmFile::Normalize(entry.local));
            for (auto& child : entry.children) stack.push_back(child);
        }
    }
    ASSERT_GE(pages.size(), 10u);
    static const QRegularExpression link(QStringLiteral("(?:href|src)=\"([^\"#:]+)[^\"]*\""));
    for (const QString& page : pages) {
        const auto html = file_->Read(page);
        ASSERT_TRUE(html) << "missing page " << page.toStdString();
        auto it = link.globalMatch(QString::fromUtf8(*html));
        while (it.hasNext()) {
            const QString target = ChmFile::Normalize(QStringLiteral("/") + it.next().captured(1));
            EXPECT_TRUE(file_->Contains(target)) << page.toStdString() << " -> " << target.toStdString();
        }
    }
}

struct TopicCase {
    int contextId;
    const char* page;
    const char* heading;
};

class ContextIdTest : public BuiltHelpTest, public ::testing::WithParamInterface<TopicCase> {};

TEST_P(ContextIdTest, IdOpensItsTopic) {
    const auto page = file_->TopicForContextId(quint32(GetParam().contextId));
    ASSERT_TRUE(page);
    EXPECT_EQ(page->toStdString(), GetParam().page);
    EXPECT_TRUE(QString::fromUtf8(file_->Read(*page).value_or(QByteArray()))
                    .contains(QString::fromUtf8(GetParam().heading)));
}

INSTANTIATE_TEST_SUITE_P(NewFolderDialog, ContextIdTest,
                         ::testing::Values(TopicCase{80036, "/mkdir_name.htm", "フォルダ名"},
                                           TopicCase{80037, "/mkdir_switch.htm",
                                                     "作成後新しいフォルダを指定する"},
                                           TopicCase{80038, "/mkdir_make.htm", "作成ボタン"},
                                           TopicCase{80039, "/mkdir_cancel.htm", "キャンセルボタン"}));

TEST_F(BuiltHelpTest, UnknownIdHasNoTopic) {
    EXPECT_FALSE(file_->TopicForContextId(80035));
    EXPECT_FALSE(file_->TopicForContextId(0));
}

// ---- files that are not help files --------------------------------------------

TEST(BadHelpFileTest, MissingDamagedAndFolderGiveNoFile) {
    QTemporaryDir dir;
    QFile junk(dir.filePath(QStringLiteral("junk.chm")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(5000, '\x5a'));
    junk.close();
    QFile truncated(dir.filePath(QStringLiteral("cut.chm")));
    QFile original(kChm);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    ASSERT_TRUE(truncated.open(QIODevice::WriteOnly));
    truncated.write(original.read(100));
    truncated.close();
    for (const QString& path :
         {dir.filePath(QStringLiteral("none.chm")), junk.fileName(), truncated.fileName(), dir.path()}) {
        EXPECT_FALSE(ChmFile::Open(path)) << path.toStdString();
        HelpWindow window;
        EXPECT_FALSE(window.OpenFile(path));
        window.ShowContents();  // must not crash on an empty window
        EXPECT_TRUE(window.Txt_Page->toPlainText().contains(QStringLiteral("開けません")));
    }
}

// ---- the help window ----------------------------------------------------------

TEST(HelpWindowTest, StartsAtContentsWithTreeAndIndex) {
    HelpWindow window;
    ASSERT_TRUE(window.OpenFile(kChm));
    window.ShowContents();
    EXPECT_EQ(window.Tab_Navi->currentWidget(), window.Trv_Contents);
    EXPECT_EQ(window.CurrentPage(), QStringLiteral("/index.htm"));
    ASSERT_EQ(window.Trv_Contents->topLevelItemCount(), 1);
    QTreeWidgetItem* top = window.Trv_Contents->topLevelItem(0);
    EXPECT_EQ(top->text(0), QStringLiteral("Zorvikの使い方"));
    EXPECT_GE(top->childCount(), 8);
    EXPECT_TRUE(window.Txt_Page->toPlainText().contains(QStringLiteral("Zorvikは")));
    EXPECT_GE(window.Lst_Index->count(), 20);
}

TEST(HelpWindowTest, TreeAndIndexOpenTheirPages) {
    HelpWindow window;
    ASSERT_TRUE(window.OpenFile(kChm));
    window.ShowContents();
    QTreeWidgetItem* replace = nullptr;
    for (QTreeWidgetItemIterator it(window.Trv_Contents); *it; ++it)
        if ((*it)->text(0) == QStringLiteral("置換モードと注意事項")) replace = *it;
    ASSERT_TRUE(replace);
    emit window.Trv_Contents->itemActivated(replace, 0);
    EXPECT_EQ(window.CurrentPage(), QStringLiteral("/replace.htm"));
    EXPECT_TRUE(window.Txt_Page->toPlainText().contains(QStringLiteral("使用時の注意事項")));

    const auto found = window.Lst_Index->findItems(QStringLiteral("タイムスタンプ"), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    emit window.Lst_Index->itemActivated(found.front());
    EXPECT_EQ(window.CurrentPage(), QStringLiteral("/timestamp.htm"));
    // The tree follows the page, however it was reached.
    ASSERT_TRUE(window.Trv_Contents->currentItem());
    EXPECT_EQ(window.Trv_Contents->currentItem()->text(0), QStringLiteral("タイムスタンプと属性"));
}

TEST(HelpWindowTest, LinksStayInsideTheFileAndPicturesLoad) {
    HelpWindow window;
    ASSERT_TRUE(window.OpenFile(kChm));
    window.ShowContents();
    emit window.Txt_Page->anchorClicked(QUrl(QStringLiteral("checks.htm")));
    EXPECT_EQ(window.CurrentPage(), QStringLiteral("/checks.htm"));
    emit window.Txt_Page->anchorClicked(QUrl(QStringLiteral("replace.htm#caution")));
    EXPECT_EQ(window.CurrentPage(), QStringLiteral("/replace.htm"));

    const QVariant picture =
        window.Txt_Page->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("zorvik.png")));
    EXPECT_FALSE(QImage::fromData(picture.toByteArray()).isNull());
    EXPECT_FALSE(window.Txt_Page->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("none.png")))
                     .isValid());
}

TEST(HelpWindowTest, TopicByIdAndUnknownId) {
    HelpWindow window;
    ASSERT_TRUE(window.OpenFile(kChm));
    ASSERT_TRUE(window.ShowTopic(80037));
    EXPECT_EQ(window.CurrentPage(), QStringLiteral("/mkdir_switch.htm"));
    EXPECT_TRUE(window.Txt_Page->toPlainText().contains(QStringLiteral("作成後新しいフォルダを指定する")));
    EXPECT_FALSE(window.ShowTopic(12345));
    EXPECT_EQ(window.CurrentPage(), QStringLiteral("/mkdir_switch.htm"));
}

TEST(QtHelpTest, OpensOneWindowAndClosesIt) {
    QtHelp help(kChm);
    EXPECT_EQ(help.Window(), nullptr);
    help.ShowContents();
    QPointer<HelpWindow> first = help.Window();
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(help.ShowTopic(80038));
    EXPECT_EQ(help.Window(), first.data()) << "a second request reuses the window";
    EXPECT_EQ(first->CurrentPage(), QStringLiteral("/mkdir_make.htm"));
    help.Close();
    EXPECT_TRUE(first.isNull());
    help.Close();  // closing twice is harmless
}

TEST(QtHelpTest, WhatsThisTextIsTheTopicBody) {
    QtHelp help(kChm);
    const QString text = QString::fromStdU16String(help.TopicText(80036));
    EXPECT_TRUE(text.contains(QStringLiteral("フォルダ名")));
    EXPECT_FALSE(text.contains(QStringLiteral("<head"), Qt::CaseInsensitive));
    EXPECT_TRUE(help.TopicText(1).empty());
    QtHelp missing(QStringLiteral("/nonexistent/ZVNUM.chm"));
    EXPECT_TRUE(missing.TopicText(80036).empty());
}

}  // namespace
}  // namespace zv::dialogs
