#include "HelpWindow.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QListWidget>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>

namespace zv::dialogs {

namespace {
constexpr int kPageRole = Qt::UserRole + 1;
const QString kScheme = QStringLiteral("chm");
}  // namespace

ChmBrowser::ChmBrowser(QWidget* parent) : QTextBrowser(parent) {
    // Qt would treat the chm scheme as external; links are followed here.
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &ChmBrowser::FollowLink);
}

QUrl ChmBrowser::UrlOf(const QString& objectPath) {
    QUrl url;
    url.setScheme(kScheme);
    url.setPath(ChmFile::Normalize(objectPath));
    const qsizetype hash = objectPath.indexOf(u'#');
    if (hash >= 0) url.setFragment(objectPath.mid(hash + 1));
    return url;
}

QVariant ChmBrowser::loadResource(int type, const QUrl& name) {
    if (!file_) return {};
    QUrl url = name;
    if (url.isRelative()) url = source().resolved(url);
    if (url.scheme() != kScheme) return {};
    const auto data = file_->Read(ChmFile::Normalize(url.path()));
    if (!data) return {};
    if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource)
        return DecodeHelpText(*data);
    return *data;
}

void ChmBrowser::FollowLink(const QUrl& link) {
    const QUrl target = link.isRelative() ? source().resolved(link) : link;
    if (target.scheme() == kScheme) {
        if (target.path() == source().path() && target.hasFragment())
            scrollToAnchor(target.fragment());
        else
            setSource(target, QTextDocument::HtmlResource);
        return;
    }
    QDesktopServices::openUrl(target);
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Zorvik ヘルプ"));
    resize(760, 520);

    Tab_Navi = new QTabWidget;
    Tab_Navi->setObjectName(QStringLiteral("Tab_Navi"));
    Trv_Contents = new QTreeWidget;
    Trv_Contents->setObjectName(QStringLiteral("Trv_Contents"));
    Trv_Contents->setHeaderHidden(true);
    Lst_Index = new QListWidget;
    Lst_Index->setObjectName(QStringLiteral("Lst_Index"));
    Tab_Navi->addTab(Trv_Contents, QStringLiteral("目次"));
    Tab_Navi->addTab(Lst_Index, QStringLiteral("キーワード"));

    Txt_Page = new ChmBrowser;
    Txt_Page->setObjectName(QStringLiteral("Txt_Page"));

    splitter_ = new QSplitter;
    splitter_->addWidget(Tab_Navi);
    splitter_->addWidget(Txt_Page);
    splitter_->setStretchFactor(1, 3);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter_);

    connect(Trv_Contents, &QTreeWidget::itemActivated, this, &HelpWindow::Trv_Contents_ItemActivated);
    connect(Trv_Contents, &QTreeWidget::itemClicked, this, &HelpWindow::Trv_Contents_ItemActivated);
    connect(Lst_Index, &QListWidget::itemActivated, this, &HelpWindow::Lst_Index_ItemActivated);
    connect(Lst_Index, &QListWidget::itemClicked, this, &HelpWindow::Lst_Index_ItemActivated);
    connect(Txt_Page, &QTextBrowser::sourceChanged, this, &HelpWindow::Txt_Page_SourceChanged);
}

HelpWindow::~HelpWindow() {
    // The browser reads from the file while it is torn down.
    Txt_Page->SetFile(nullptr);
}

bool HelpWindow::OpenFile(const QString& chmPath) {
    Txt_Page->SetFile(nullptr);
    Trv_Contents->clear();
    Lst_Index->clear();
    file_ = ChmFile::Open(chmPath);
    if (!file_) {
        Txt_Page->setPlainText(
            QStringLiteral("ヘルプファイル %1 を開けません。").arg(QFileInfo(chmPath).absoluteFilePath()));
        return false;
    }
    Txt_Page->SetFile(file_.get());
    if (!file_->Title().isEmpty()) setWindowTitle(file_->Title());
    if (const auto hhc = file_->Read(file_->ContentsFile()); hhc && !file_->ContentsFile().isEmpty())
        FillContents(ParseSitemap(DecodeHelpText(*hhc)), nullptr);
    Trv_Contents->expandToDepth(0);
    if (const auto hhk = file_->Read(file_->IndexFile()); hhk && !file_->IndexFile().isEmpty()) {
        std::vector<SitemapEntry> entries = ParseSitemap(DecodeHelpText(*hhk));
        for (const SitemapEntry& entry : entries) {
            auto* item = new QListWidgetItem(entry.name, Lst_Index);
            item->setData(kPageRole, PagePath(entry.local));
        }
    }
    return true;
}

void HelpWindow::FillContents(const std::vector<SitemapEntry>& entries, QTreeWidgetItem* parent) {
    for (const SitemapEntry& entry : entries) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(Trv_Contents);
        item->setText(0, entry.name);
        item->setData(0, kPageRole, PagePath(entry.local));
        FillContents(entry.children, item);
    }
}

QString HelpWindow::PagePath(const QString& local) const {
    if (local.isEmpty()) return {};
    // Links of the contents file are relative to the folder that holds it.
    const QString base = file_ ? file_->ContentsFile() : QString();
    QString folder = base.left(base.lastIndexOf(u'/') + 1);
    const qsizetype hash = local.indexOf(u'#');
    const QString page = ChmFile::Normalize(local.startsWith(u'/') ? local : folder + local);
    return hash >= 0 ? page + local.mid(hash) : page;
}

void HelpWindow::ShowContents() {
    Tab_Navi->setCurrentWidget(Trv_Contents);
    if (!file_) return;
    QString start = file_->DefaultTopic();
    if (start.isEmpty() && Trv_Contents->topLevelItemCount() > 0)
        start = Trv_Contents->topLevelItem(0)->data(0, kPageRole).toString();
    if (!start.isEmpty()) ShowPage(start);
}

bool HelpWindow::ShowTopic(int contextId) {
    if (!file_ || contextId < 0) return false;
    const auto page = file_->TopicForContextId(quint32(contextId));
    return page && ShowPage(*page);
}

bool HelpWindow::ShowPage(const QString& objectPath) {
    if (!file_ || !file_->Contains(ChmFile::Normalize(objectPath))) return false;
    Txt_Page->setSource(ChmBrowser::UrlOf(objectPath), QTextDocument::HtmlResource);
    return true;
}

QString HelpWindow::CurrentPage() const {
    const QUrl url = Txt_Page->source();
    return url.scheme() == kScheme ? url.path() : QString();
}

void HelpWindow::Trv_Contents_ItemActivated(QTreeWidgetItem* item) {
    if (item) ShowPage(item->data(0, kPageRole).toString());
}

void HelpWindow::Lst_Index_ItemActivated(QListWidgetItem* item) {
    if (item) ShowPage(item->data(kPageRole).toString());
}

void HelpWindow::Txt_Page_SourceChanged(const QUrl& url) {
    // Keep the contents tree on the page shown, whichever way it was reached.
    const QString page = url.path();
    for (QTreeWidgetItemIterator it(Trv_Contents); *it; ++it) {
        if (ChmFile::Normalize((*it)->data(0, kPageRole).toString()) == page) {
            QSignalBlocker block(Trv_Contents);
            Trv_Contents->setCurrentItem(*it);
            break;
        }
    }
}

}  // namespace zv::dialogs
