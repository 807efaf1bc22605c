#include "FileListBox.h"

#include <QAbstractListModel>

#include "ReadableName.h"
#include "shared/FileSystem.h"
#include "shared/MessageBox.h"

namespace zv {

// The rows of a FileListBox: real names; the shown text is made when a row is drawn.
class FileListModel final : public QAbstractListModel {
  public:
    using QAbstractListModel::QAbstractListModel;

    void Reset(std::vector<QString> names) {
        beginResetModel();
        names_ = std::move(names);
        endResetModel();
    }
    int Count() const { return static_cast<int>(names_.size()); }
    const QString& Name(int row) const { return names_[static_cast<size_t>(row)]; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : Count();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= Count()) return {};
        if (role == Qt::DisplayRole) return ReadableName(Name(index.row()));
        if (role == FileListBox::kNameRole) return Name(index.row());
        return {};
    }

  private:
    std::vector<QString> names_;
};

FileListBox::FileListBox(QWidget* parent)
    : QListView(parent), fs_(&NativeFileSystem()), model_(new FileListModel(this)) {
    setModel(model_);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);  // lays out a full list without measuring each row
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(this, &QListView::doubleClicked, this, [this] { emit dblClick(); });
}

FileListBox::~FileListBox() = default;

void FileListBox::setFileSystem(FileSystem* fs) { fs_ = fs; }
void FileListBox::setMessageBox(MessageBoxService* box) { box_ = box; }

int FileListBox::setPath(const QString& folder) {
    if (folder.isEmpty() || !fs_->FolderExists(ToU16(folder))) return kFsPathNotFound;
    if (folder == path_) return kFsOk;
    path_ = folder;
    Reload();
    emit pathChange();
    return kFsOk;
}

void FileListBox::setPattern(const QString& pattern) {
    pattern_ = FilePattern(pattern);
    Reload();
    emit patternChange();
}

void FileListBox::refresh() { Reload(); }

void FileListBox::Reload() {
    std::vector<QString> rows;
    truncated_ = false;
    if (!path_.isEmpty()) {
        const std::vector<std::u16string> names = fs_->ListFiles(ToU16(path_));
        rows.reserve(std::min(names.size(), static_cast<size_t>(kMaxRows)));
        for (const std::u16string& n : names) {
            QString name = FromU16(n);
            if (!pattern_.Matches(name)) continue;
            if (rows.size() == static_cast<size_t>(kMaxRows)) {
                truncated_ = true;
                break;
            }
            rows.push_back(std::move(name));
        }
    }
    programmatic_ = true;
    model_->Reset(std::move(rows));
    programmatic_ = false;
    sel_.assign(static_cast<size_t>(model_->Count()), 0);
    selectedCount_ = 0;
    if (truncated_ && warnedFolder_ != path_) {
        warnedFolder_ = path_;
        if (box_) {
            box_->Show(
                u"このフォルダには 32767 個を超えるファイルがあります。\r\n"
                u"先頭の 32767 個だけを表示します。",
                kOkOnly, u"ファイル数の超過");
        }
    }
}

int FileListBox::listCount() const { return model_->Count(); }

QString FileListBox::list(int row) const {
    return row >= 0 && row < model_->Count() ? model_->Name(row) : QString();
}

QString FileListBox::shownText(int row) const {
    return row >= 0 && row < model_->Count() ? ReadableName(model_->Name(row)) : QString();
}

bool FileListBox::selected(int row) const {
    return row >= 0 && static_cast<size_t>(row) < sel_.size() && sel_[static_cast<size_t>(row)] != 0;
}

void FileListBox::setSelected(int row, bool on) {
    if (row < 0 || row >= model_->Count()) return;
    const QModelIndex i = model_->index(row);
    programmatic_ = true;
    selectionModel()->select(i, on ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
    programmatic_ = false;
}

void FileListBox::selectRows(const std::function<bool(int)>& pick) {
    // Runs of picked rows become one range each, so "all" is a single range.
    QItemSelection selection;
    const int n = model_->Count();
    for (int row = 0; row < n;) {
        if (!pick(row)) {
            ++row;
            continue;
        }
        const int first = row;
        while (row < n && pick(row)) ++row;
        selection.select(model_->index(first), model_->index(row - 1));
    }
    programmatic_ = true;
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    programmatic_ = false;
}

int FileListBox::listIndex() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() : -1;
}

QString FileListBox::fileName() const { return list(listIndex()); }

void FileListBox::Mark(const QItemSelection& ranges, bool on) {
    for (const QItemSelectionRange& r : ranges) {
        for (int row = r.top(); row <= r.bottom(); ++row) {
            if (row < 0 || static_cast<size_t>(row) >= sel_.size()) continue;
            char& s = sel_[static_cast<size_t>(row)];
            if ((s != 0) == on) continue;
            s = on ? 1 : 0;
            selectedCount_ += on ? 1 : -1;
        }
    }
}

void FileListBox::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    QListView::selectionChanged(selected, deselected);
    Mark(deselected, false);
    Mark(selected, true);
    if (!programmatic_) emit click();
}

}  // namespace zv
