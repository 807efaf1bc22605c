// Frm_Main: the source and destination lists. For now they show the start
// folder only: the drive and folder lists name it and the file list holds its
// files; choosing other drives and folders comes with the file panel.

#include <QComboBox>
#include <QDir>
#include <QListWidget>

#include "Frm_Main.h"
#include "shared/qt/QtStrings.h"

namespace zv {

void Frm_Main::ConnectFilePanel() {
    connect(F_File, &QListWidget::itemSelectionChanged, this, &Frm_Main::F_File_Click);
}

void Frm_Main::ShowStartFolder(const QString& folder) {
    const QString path = QDir(folder.isEmpty() ? QDir::currentPath() : folder).absolutePath();
    sourceFolder_ = path;
    destinationFolder_ = path;
    const QString root = QDir(path).rootPath();
    for (QComboBox* drive : {F_Drive, A_Drive}) {
        drive->clear();
        drive->addItem(QDir::toNativeSeparators(root));
    }
    for (QListWidget* dir : {F_Dir, A_Dir}) {
        dir->clear();
        dir->addItem(QDir::toNativeSeparators(path));
        dir->setCurrentRow(0);
    }
    RefreshFileList();
}

bool Frm_Main::RefreshFileList() {
    F_File->clear();
    if (!QDir(sourceFolder_).exists()) return false;
    for (const std::u16string& name : services_.files.ListFiles(qt::ToU16(sourceFolder_))) {
        F_File->addItem(qt::ToQString(name));
    }
    return true;
}

void Frm_Main::F_File_Click() {
    for (int i = 0; i < F_File->count(); ++i) {
        if (F_File->item(i)->isSelected()) {
            EnableConversion();
            return;
        }
    }
    DisableConversion();
}

}  // namespace zv
