#include "DriveListBox.h"

#include <QPointer>
#include <algorithm>
#include <utility>
#include <vector>

#include "shared/FileSystem.h"

namespace zv {

namespace {
// Every drive list alive: a model read again must reach all that show it.
std::vector<DriveListBox*>& AllLists() {
    static std::vector<DriveListBox*> lists;
    return lists;
}
}  // namespace

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent), model_(&DriveModel::Shared()) {
    setEditable(false);
    Fill(QString());
    connect(this, &QComboBox::currentIndexChanged, this, &DriveListBox::OnIndexChanged);
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

void DriveListBox::Fill(const QString& keep) {
    filling_ = true;
    clear();
    for (int i = 0; i < model_->Count(); ++i) addItem(model_->At(i).text);
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
