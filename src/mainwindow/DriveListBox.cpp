#include "DriveListBox.h"

#include "shared/FileSystem.h"

namespace zv {

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent), model_(&DriveModel::Shared()) {
    setEditable(false);
    Fill(QString());
    connect(this, &QComboBox::currentIndexChanged, this, &DriveListBox::OnIndexChanged);
}

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
    const QString keep = root();
    model_->Reload();
    Fill(keep);
    // A drive that has gone is replaced by the one holding its mount point:
    // that is a change like any other.
    if (root() != keep) emit change();
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
