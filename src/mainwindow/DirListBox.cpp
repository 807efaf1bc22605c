#include "DirListBox.h"

#include <QKeyEvent>
#include <QStyle>

#include "ReadableName.h"
#include "shared/FileSystem.h"

namespace zv {

namespace {
constexpr int kIndentSpaces = 2;
}

DirListBox::DirListBox(QWidget* parent)
    : QListWidget(parent), fs_(&NativeFileSystem()), model_(&DriveModel::Shared()) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);  // a folder may hold thousands of folders
    connect(this, &QListWidget::itemDoubleClicked, this, &DirListBox::OpenRow);
}

void DirListBox::setFileSystem(FileSystem* fs) { fs_ = fs; }
void DirListBox::setDriveModel(DriveModel* model) { model_ = model; }

QString DirListBox::rowPath(int row) const {
    const QListWidgetItem* it = item(row);
    return it ? it->data(kPathRole).toString() : QString();
}

bool DirListBox::Exists(const QString& folder) const { return fs_->FolderExists(ToU16(folder)); }

QString DirListBox::ExistingWithin(const QString& root, QString folder) const {
    while (FolderHolds(root, folder)) {
        if (Exists(folder)) return folder;
        if (folder == root) break;
        const qsizetype slash = folder.lastIndexOf(QLatin1Char('/'));
        folder = slash <= 0 ? QStringLiteral("/") : folder.left(slash);
    }
    return QString();
}

int DirListBox::setPath(const QString& path) {
    if (path.isEmpty()) return kFsPathNotFound;
    QString target = path;
    if (!target.startsWith(QLatin1Char('/'))) {
        if (path_.isEmpty()) return kFsPathNotFound;
        target = path_ + QLatin1Char('/') + target;
    }
    target = NormalizedFolder(target);
    const int drive = model_->Holding(target);
    if (drive >= 0 && !model_->IsReady(drive)) return kFsDeviceUnavailable;
    if (!Exists(target)) return kFsPathNotFound;
    if (target == path_) return kFsOk;
    path_ = target;
    if (drive >= 0) lastFolder_.insert(model_->At(drive).root, path_);
    Rebuild();
    emit change();
    return kFsOk;
}

int DirListBox::openDrive(const QString& driveText) {
    const int drive = model_->Find(driveText);
    if (drive < 0 || !model_->IsReady(drive)) return kFsDeviceUnavailable;
    const QString root = model_->At(drive).root;
    const QString folder = ExistingWithin(root, lastFolder_.value(root, root));
    // A mount point that no longer exists is a drive that is not there.
    if (folder.isEmpty()) return kFsDeviceUnavailable;
    return setPath(folder);
}

void DirListBox::refresh() {
    if (path_.isEmpty()) return;
    if (!Exists(path_)) {
        const int drive = model_->Holding(path_);
        QString parent = ExistingWithin(drive >= 0 ? model_->At(drive).root : QStringLiteral("/"), path_);
        if (parent.isEmpty()) parent = ExistingWithin(QStringLiteral("/"), path_);
        if (!parent.isEmpty() && setPath(parent) == kFsOk) return;  // setPath has rebuilt
    }
    Rebuild();
}

void DirListBox::Rebuild() {
    clear();
    const int drive = model_->Holding(path_);
    const QString root = drive >= 0 ? model_->At(drive).root : QStringLiteral("/");
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);

    auto add = [&](const QString& shown, const QString& full, int depth, const QIcon& icon) {
        auto* it = new QListWidgetItem(icon, QString(depth * kIndentSpaces, QLatin1Char(' ')) + shown);
        it->setData(kPathRole, full);
        it->setData(TypeAhead::kKeyRole, shown);
        addItem(it);
    };

    add(ReadableName(root), root, 0, openIcon);
    int depth = 1;
    if (path_ != root) {
        const QString rest = path_.mid(root == QLatin1String("/") ? 1 : root.size() + 1);
        QString full = root;
        for (const QString& part : rest.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
            full = full == QLatin1String("/") ? full + part : full + QLatin1Char('/') + part;
            add(ReadableName(part), full, depth++, openIcon);
        }
    }
    currentRow_ = count() - 1;
    const QString prefix = path_ == QLatin1String("/") ? path_ : path_ + QLatin1Char('/');
    for (const std::u16string& name : fs_->ListFolders(ToU16(path_))) {
        const QString sub = FromU16(name);
        add(ReadableName(sub), prefix + sub, depth, closedIcon);
    }
    setCurrentRow(currentRow_);
}

void DirListBox::OpenRow(QListWidgetItem* item) {
    if (!item) return;
    // A folder that vanished since the list was read simply does not open.
    setPath(item->data(kPathRole).toString());
}

void DirListBox::keyboardSearch(const QString& search) {
    const int row = typeAhead_.Next(*model(), currentRow(), search);
    if (row < 0) return;
    setCurrentRow(row);
    scrollToItem(item(row));
}

void DirListBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        OpenRow(currentItem());
        return;
    }
    QListWidget::keyPressEvent(event);
}

}  // namespace zv
