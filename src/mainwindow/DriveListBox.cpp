#include "DriveListBox.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QPointer>
#include <algorithm>
#include <utility>
#include <vector>

#include "TypeAhead.h"
#include "shared/FileSystem.h"

namespace zv {

namespace {

// The names a user types to reach a drive: the last folder of its mount
// point ("usb" for /media/usb) and its label, if it has one.
QStringList SearchKeys(const Drive& drive) {
    QStringList keys{drive.root == QLatin1String("/") ? drive.root
                                                      : drive.root.section(QLatin1Char('/'), -1)};
    const QString rest = drive.text.mid(drive.root.size());
    if (rest.startsWith(QLatin1String(" [")) && rest.endsWith(QLatin1Char(']')))
        keys << rest.mid(2, rest.size() - 3);
    return keys;
}

// A character typed without Ctrl or Alt, as a list's type-ahead takes it.
bool IsSearchKey(const QKeyEvent& key) {
    return !key.text().isEmpty() && key.text().at(0).isPrint() &&
           !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

// Every drive list alive: a model read again must reach all that show it.
std::vector<DriveListBox*>& AllLists() {
    static std::vector<DriveListBox*> lists;
    return lists;
}

}  // namespace

DriveListBox::DriveListBox(QWidget* parent)
    : QComboBox(parent), model_(&DriveModel::Shared()), typeAhead_(std::make_unique<TypeAhead>()) {
    setEditable(false);
    Fill(QString());
    connect(this, &QComboBox::currentIndexChanged, this, &DriveListBox::OnIndexChanged);
    view()->installEventFilter(this);
    AllLists().push_back(this);
}

DriveListBox::~DriveListBox() { std::erase(AllLists(), this); }

void DriveListBox::setDriveModel(DriveModel* model) {
    model_ = model;
    Fill(QString());
}

QString DriveListBox::drive() const {
    const int i = currentIndex();
    return i >= 0 && i < model_->Count() ? model_->At(i).text : QString();
}

QString DriveListBox::root() const {
    const int i = currentIndex();
    return i >= 0 && i < model_->Count() ? model_->At(i).root : QString();
}

int DriveListBox::setDrive(const QString& textOrPath) {
    const int i = model_->Find(textOrPath);
    if (i < 0) return kFsDeviceUnavailable;
    setCurrentIndex(i);  // announces the change through OnIndexChanged
    return kFsOk;
}

void DriveListBox::refresh() {
    // The mount points are read before the model changes under the rows.
    std::vector<std::pair<QPointer<DriveListBox>, QString>> kept;
    kept.emplace_back(this, root());
    for (DriveListBox* list : AllLists())
        if (list != this && list->model_ == model_) kept.emplace_back(list, list->root());
    model_->Reload();
    for (auto& [list, keep] : kept) list->Fill(keep);
    // A drive that has gone is replaced by the one holding its mount point:
    // that is a change like any other. Its handlers may refresh again.
    for (auto& [list, keep] : kept)
        if (list && list->root() != keep) emit list->change();
}

void DriveListBox::showPopup() {
    // Volumes come and go while the window is open: the list is read afresh
    // each time it opens, as a drive list does.
    refresh();
    QComboBox::showPopup();
}

void DriveListBox::keyPressEvent(QKeyEvent* event) {
    if (!IsSearchKey(*event)) {
        QComboBox::keyPressEvent(event);
        return;
    }
    // Closed, the list picks the drive at once, as its arrow keys do.
    const int row = typeAhead_->Next(*model(), currentIndex(), event->text());
    if (row >= 0) setCurrentIndex(row);
}

bool DriveListBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view() && event->type() == QEvent::KeyPress) {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (IsSearchKey(key)) {
            // Open, it only moves; Enter picks.
            const int row = typeAhead_->Next(*model(), view()->currentIndex().row(), key.text());
            if (row >= 0) view()->setCurrentIndex(model()->index(row, 0));
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

void DriveListBox::Fill(const QString& keep) {
    filling_ = true;
    clear();
    for (int i = 0; i < model_->Count(); ++i) {
        addItem(model_->At(i).text);
        setItemData(i, SearchKeys(model_->At(i)), TypeAhead::kKeyRole);
    }
    const int index = keep.isEmpty() ? 0 : model_->Holding(keep);
    setCurrentIndex(index < 0 ? 0 : index);
    shown_ = currentIndex();
    filling_ = false;
}

void DriveListBox::OnIndexChanged(int index) {
    if (filling_ || index == shown_) return;
    shown_ = index;
    emit change();
}

}  // namespace zv
