#pragma once
// The help window: the contents tree and keyword index of ZVNUM.chm on the
// left, the page on the right. Pages, style sheets and pictures all come out
// of the CHM; links between pages stay inside it, links to the web go to the
// desktop's browser.

#include <QTextBrowser>
#include <QWidget>
#include <memory>

#include "ChmFile.h"
#include "HelpSitemap.h"

class QListWidget;
class QListWidgetItem;
class QSplitter;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace zv::dialogs {

// A text browser whose resources are objects of a CHM ("chm:/page.htm").
class ChmBrowser : public QTextBrowser {
    Q_OBJECT
  public:
    explicit ChmBrowser(QWidget* parent = nullptr);
    void SetFile(const ChmFile* file) { file_ = file; }
    QVariant loadResource(int type, const QUrl& name) override;

    static QUrl UrlOf(const QString& objectPath);

  private:
    void FollowLink(const QUrl& link);
    const ChmFile* file_ = nullptr;
};

class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget* parent = nullptr);
    ~HelpWindow() override;

    // Loads the help file; false (and a note in the page area) when it cannot be read.
    bool OpenFile(const QString& chmPath);
    // The default topic, with the contents tab in front.
    void ShowContents();
    // The page of a context id; false when the file has none.
    bool ShowTopic(int contextId);
    // A page of the file by object path ("/index.htm").
    bool ShowPage(const QString& objectPath);

    // The object path of the page shown, or empty.
    QString CurrentPage() const;

    QTabWidget* Tab_Navi;
    QTreeWidget* Trv_Contents;
    QListWidget* Lst_Index;
    ChmBrowser* Txt_Page;

  private:
    void Trv_Contents_ItemActivated(QTreeWidgetItem* item);
    void Lst_Index_ItemActivated(QListWidgetItem* item);
    void Txt_Page_SourceChanged(const QUrl& url);
    void FillContents(const std::vector<SitemapEntry>& entries, QTreeWidgetItem* parent);
    QString PagePath(const QString& local) const;

    QSplitter* splitter_;
    std::unique_ptr<ChmFile> file_;
};

}  // namespace zv::dialogs
