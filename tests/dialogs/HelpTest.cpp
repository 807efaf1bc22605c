// The help file as built and the help window that shows it.
#include <gtest/gtest.h>

#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <utility>

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
                         ::testing::Values(NormalizeCase{"a/../b.htm#part", "/b.htm"},
                                           NormalizeCase{"./x.htm?q=1", "/x.htm"},
                                           NormalizeCase{"\\dir\\p.htm", "/dir/p.htm"},
                                           NormalizeCase{"../../up.htm", "/up.htm"}));

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
            "loose HTML: upper case, single quotes, bare values, entities",
            R"(<UL><LI><OBJECT TYPE='text/sitemap'><PARAM NAME=Name VALUE='A &amp; B &#x3042;'><PARAM NAME="Local" VALUE=x.htm></OBJECT></UL>)",
            {"0:A & B あ=x.htm"}},
        SitemapCase{
            "unbalanced closing lists do not lose entries",
            R"(</ul></ul><ul><li><object type="text/sitemap"><param name="Name" value="N"><param name="Local" value="n.htm"></object></ul></ul>)",
            {"0:N=n.htm"}},
        SitemapCase{"empty", "", {}}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

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

TEST(HelpWindowTest, TopicByIdAndUnknownId) {
    HelpWindow window;
    ASSERT_TRUE(window.OpenFile(kChm));
    // The pages F1 opens for whole windows.
    for (const auto& [id, page] :
         {std::pair{80010, "/preview.htm"}, std::pair{80035, "/mkdir.htm"}, std::pair{80040, "/about.htm"}}) {
        EXPECT_TRUE(window.ShowTopic(id)) << id;
        EXPECT_EQ(window.CurrentPage(), QString::fromLatin1(page));
    }
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

}  // namespace
}  // namespace zv::dialogs
