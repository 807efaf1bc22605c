// The help file as built and the help window that shows it.
#include <gtest/gtest.h>

#include <QtWidgets>

#include "dialogs/QtHelp.h"

namespace zv::dialogs {
namespace {

const QString kChm = QStringLiteral(ZV_TEST_CHM);

TEST(HelpPaths, FileInTheProgramFolderAndLinksAsObjectPaths) {
    for (const char16_t* folder : {u"/opt/zorvik", u"/opt/zorvik/"})
        EXPECT_EQ(HelpFilePath(folder), u"/opt/zorvik/ZVNUM.chm");
    for (const auto& [link, object] :
         {std::pair{"a/../b.htm#part", "/b.htm"}, std::pair{"./x.htm?q=1", "/x.htm"},
          std::pair{"\\dir\\p.htm", "/dir/p.htm"}, std::pair{"../../up.htm", "/up.htm"}})
        EXPECT_EQ(ChmFile::Normalize(QString::fromUtf8(link)).toStdString(), object);
}

// Flattens a tree to "depth:name=local" lines, in order.
void Flatten(const std::vector<SitemapEntry>& entries, int depth, std::vector<std::string>& out) {
    for (const SitemapEntry& entry : entries) {
        out.push_back(std::to_string(depth) + ":" + entry.name.toStdString() + "=" +
                      entry.local.toStdString());
        Flatten(entry.children, depth + 1, out);
    }
}

TEST(HelpSitemap, EntriesAndNesting) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        // Loose HTML: upper case, single quotes, bare values, entities.
        {R"(<UL><LI><OBJECT TYPE='text/sitemap'><PARAM NAME=Name VALUE='A &amp; B &#x3042;'><PARAM NAME="Local" VALUE=x.htm></OBJECT></UL>)",
         {"0:A & B あ=x.htm"}},
        // Unbalanced closing lists do not lose entries.
        {R"(</ul></ul><ul><li><object type="text/sitemap"><param name="Name" value="N"><param name="Local" value="n.htm"></object></ul></ul>)",
         {"0:N=n.htm"}}};
    for (const auto& [html, expected] : cases) {
        std::vector<std::string> flat;
        Flatten(ParseSitemap(QString::fromUtf8(html)), 0, flat);
        EXPECT_EQ(flat, expected) << html;
    }
}

TEST(HelpWindow, MissingDamagedOrFolderGiveNoFileAndAnEmptyWindow) {
    QTemporaryDir dir;
    QFile original(kChm), junk(dir.filePath("junk.chm")), cut(dir.filePath("cut.chm"));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly) && junk.open(QIODevice::WriteOnly) &&
                cut.open(QIODevice::WriteOnly));
    junk.write(QByteArray(5000, '\x5a')), cut.write(original.read(100)), junk.close(), cut.close();
    for (const QString& path : {dir.filePath("none.chm"), junk.fileName(), cut.fileName(), dir.path()}) {
        HelpWindow window;
        EXPECT_FALSE(window.OpenFile(path)) << path.toStdString();
        window.ShowContents();  // must not crash on an empty window
        EXPECT_TRUE(window.Txt_Page->toPlainText().contains(QStringLiteral("開けません")));
    }
}

// F1 and What's This share one help window: at the contents, then at the
// topic asked for; an unknown topic leaves the page or goes to the contents.
TEST(QtHelp, OneWindowShowsContentsAndTopics) {
    QtHelp help(kChm);
    help.ShowContents();
    QPointer<HelpWindow> window = help.Window();
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->Tab_Navi->currentWidget(), window->Trv_Contents);
    EXPECT_EQ(window->CurrentPage(), QStringLiteral("/index.htm"));
    ASSERT_EQ(window->Trv_Contents->topLevelItemCount(), 1);
    EXPECT_EQ(window->Trv_Contents->topLevelItem(0)->text(0), QStringLiteral("Zorvikの使い方"));
    EXPECT_GE(window->Trv_Contents->topLevelItem(0)->childCount(), 8);
    EXPECT_TRUE(window->Txt_Page->toPlainText().contains(QStringLiteral("Zorvikは")));
    EXPECT_GE(window->Lst_Index->count(), 20);
    // The pages F1 opens for whole windows, and controls' pages.
    for (const auto& [id, page] :
         {std::pair{80010, "/preview.htm"}, std::pair{80035, "/mkdir.htm"}, std::pair{80040, "/about.htm"},
          std::pair{80038, "/mkdir_make.htm"}, std::pair{80037, "/mkdir_switch.htm"}}) {
        EXPECT_TRUE(help.ShowTopic(id)) << id;
        EXPECT_EQ(help.Window(), window.data()) << "a second request reuses the window";
        EXPECT_EQ(window->CurrentPage(), QString::fromLatin1(page));
    }
    EXPECT_FALSE(window->ShowTopic(12345));
    EXPECT_EQ(window->CurrentPage(), QStringLiteral("/mkdir_switch.htm"));
    EXPECT_FALSE(help.ShowTopic(12345));
    EXPECT_EQ(window->CurrentPage(), QStringLiteral("/index.htm"));
    emit window->Txt_Page->anchorClicked(QUrl(QStringLiteral("mkdir.htm")));  // a link on the page
    EXPECT_EQ(window->CurrentPage(), QStringLiteral("/mkdir.htm"));
    help.Close();
    EXPECT_TRUE(window.isNull());
    help.Close();  // closing twice is harmless
}

}  // namespace
}  // namespace zv::dialogs
