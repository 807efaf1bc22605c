// Frm_Main: the file selection panel. The source drive, folder and file lists
// and the destination drive and folder lists follow one another through their
// change handlers, which nest: an assignment runs the handler it causes to
// completion before it returns.

#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <functional>

#include "DirListBox.h"
#include "DriveListBox.h"
#include "FileListBox.h"
#include "Frm_Main.h"
#include "shared/FileSystem.h"
#include "shared/Valiable.h"
#include "shared/qt/QtStrings.h"

namespace zv {

namespace {

// The failures a drive list answers by going back where it came from.
bool DriveNotThere(int code) { return code == kFsDeviceUnavailable || code == kFsDiskNotReady; }

// Hands each key typed into the pattern box to Frm_Main, as a key-press event
// procedure receives it; Enter is taken here and goes no further, because the
// combo box would otherwise act on it a second time.
class KeyPressHook final : public QObject {
  public:
    KeyPressHook(QObject* parent, std::function<void(int)> handler)
        : QObject(parent), handler_(std::move(handler)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            handler_(13);
            return true;
        }
        const QString text = key->text();
        if (text.size() == 1) handler_(text.at(0).unicode());
        return false;
    }

  private:
    std::function<void(int)> handler_;
};

}  // namespace

void Frm_Main::ConnectFilePanel() {
    for (DriveListBox* d : {F_Drive, A_Drive}) {
        if (services_.drives) d->setDriveModel(services_.drives);
    }
    for (DirListBox* d : {F_Dir, A_Dir}) {
        d->setFileSystem(&services_.files);
        d->setDriveModel(F_Drive->driveModel());
    }
    F_File->setFileSystem(&services_.files);
    F_File->setMessageBox(&services_.messages);
    F_File->setPattern(Cmb_Filter->currentText());

    // Typed patterns are taken as typed: no completion from the list entries.
    Cmb_Filter->setCompleter(nullptr);
    // Keys typed into the box arrive at the combo box, which has the focus
    // and passes them on to its line edit itself: the hook sits there.
    Cmb_Filter->installEventFilter(
        new KeyPressHook(this, [this](int keyAscii) { Cmb_Filter_KeyPress(keyAscii); }));

    connect(F_Drive, &DriveListBox::change, this, &Frm_Main::F_Drive_Change);
    connect(F_Dir, &DirListBox::change, this, &Frm_Main::F_Dir_Change);
    connect(F_File, &FileListBox::click, this, &Frm_Main::F_File_Click);
    connect(Cmb_Filter, &QComboBox::activated, this, &Frm_Main::Cmb_Filter_Click);
    connect(Cmd_AllSelect, &QPushButton::clicked, this, &Frm_Main::Cmd_AllSelect_Click);
    connect(Cmd_OddSelect, &QPushButton::clicked, this, &Frm_Main::Cmd_OddSelect_Click);
    connect(Cmd_EvenSelect, &QPushButton::clicked, this, &Frm_Main::Cmd_EvenSelect_Click);
    connect(Cmd_AllDelete, &QPushButton::clicked, this, &Frm_Main::Cmd_AllDelete_Click);
    connect(Cmd_Newfile, &QToolButton::clicked, this, &Frm_Main::Cmd_Newfile_Click);
    connect(A_Drive, &DriveListBox::change, this, &Frm_Main::A_Drive_Change);
    connect(A_Dir, &DirListBox::change, this, &Frm_Main::A_Dir_Change);
}

QString Frm_Main::SourceFolder() const { return F_Dir->path(); }

void Frm_Main::ShowStartFolder(const QString& folder) {
    const QString path = QDir(folder.isEmpty() ? QDir::currentPath() : folder).absolutePath();
    AssignStartFolders(path, path);
}

// Source drive, destination drive, source folder, destination folder, file
// list: each assignment finishes, with the change handlers it sets off,
// before the next starts. The first that fails ends it and is answered; the
// lists stay as far as they got.
int Frm_Main::AssignStartFolders(const QString& drive, const QString& path) {
    for (DriveListBox* list : {F_Drive, A_Drive}) {
        int code = list->setDrive(drive);
        // A drive that is there but cannot be read is left again at once by
        // its change handler: that is a drive not ready.
        if (code == kFsOk && list->driveIndex() != list->driveModel()->Find(drive)) code = kFsDiskNotReady;
        if (code != kFsOk) return code;
    }
    if (const int code = F_Dir->setPath(path); code != kFsOk) return code;
    if (const int code = A_Dir->setPath(path); code != kFsOk) return code;
    return F_File->setPath(path);
}

// After a real run. A folder gone meanwhile lists nothing rather than names
// that no longer address files.
bool Frm_Main::RefreshFileList() {
    F_File->refresh();
    return services_.files.FolderExists(qt::ToU16(F_File->path()));
}

void Frm_Main::F_Drive_Change() {
    int code = F_Dir->openDrive(F_Drive->drive());
    if (code == kFsOk) code = A_Drive->setDrive(F_Drive->drive());
    if (DriveNotThere(code)) {
        // Both drive lists go back to the drive of the folder still shown.
        F_Drive->setDrive(F_Dir->path());
        A_Drive->setDrive(F_Dir->path());
    }
}

void Frm_Main::F_Dir_Change() {
    // Here a folder list can walk from one drive into another (a volume
    // mounted below "/", the home folder below /home): the drive list follows,
    // so it always names the volume the folder is on.
    if (F_Drive->driveModel()->Holding(F_Dir->path()) != F_Drive->driveIndex())
        F_Drive->setDrive(F_Dir->path());

    if (A_Drive->drive() != F_Drive->drive()) {
        Valiable::DestDriveSync = true;
        A_Drive->setDrive(F_Drive->drive());
        // Cleared by A_Drive_Change; if the assignment changed nothing, that
        // handler never ran and a stale flag would swallow the user's next pick.
        Valiable::DestDriveSync = false;
    }
    F_File->setPath(F_Dir->path());
    A_Dir->setPath(F_Dir->path());
    ApplyCopyMoveAvailability();
    DisableConversion();
}

void Frm_Main::F_File_Click() {
    if (F_File->selectedCount() > 0) {
        EnableConversion();
    } else {
        DisableConversion();
    }
}

void Frm_Main::Cmb_Filter_Click() {
    // The box also reports an entry as picked when it merely loses the focus
    // (to a message box of a run, say): never re-read the list under a run.
    if (running_) return;
    F_File->setPattern(Cmb_Filter->currentText());
    DisableConversion();
}

// Enter applies the typed pattern and remembers it once per exact text. The
// run buttons are left as they are (the selection is gone all the same).
// The entry becomes the current one: a box whose text matches an entry other
// than the current one picks that entry as soon as it loses the focus, which
// would read the list again and drop the selection made since.
void Frm_Main::Cmb_Filter_KeyPress(int keyAscii) {
    if (keyAscii != 13) return;
    const QString text = Cmb_Filter->currentText();
    F_File->setPattern(text);
    int entry = Cmb_Filter->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (entry < 0) {
        Cmb_Filter->addItem(text);
        entry = Cmb_Filter->count() - 1;
    }
    Cmb_Filter->setCurrentIndex(entry);
}

void Frm_Main::Cmd_AllSelect_Click() {
    if (F_File->listCount() == 0) return;
    F_File->selectRows([](int) { return true; });
    EnableConversion();
}

void Frm_Main::Cmd_OddSelect_Click() {
    if (F_File->listCount() == 0) return;
    F_File->selectRows([](int row) { return row % 2 == 0; });  // the 1st, 3rd, 5th ... row
    EnableConversion();
}

void Frm_Main::Cmd_EvenSelect_Click() {
    if (F_File->listCount() <= 1) return;
    F_File->selectRows([](int row) { return row % 2 == 1; });  // the 2nd, 4th ... row
    EnableConversion();
}

void Frm_Main::Cmd_AllDelete_Click() {
    F_File->refresh();
    DisableConversion();
}

void Frm_Main::Cmd_Newfile_Click() {
    F_Dir->refresh();
    F_File->refresh();
    A_Dir->refresh();
    DisableConversion();
    ShowFreeSpace();
}

void Frm_Main::A_Drive_Change() {
    if (Valiable::DestDriveSync) {
        Valiable::DestDriveSync = false;
        return;
    }
    const int code = A_Dir->openDrive(A_Drive->drive());
    if (DriveNotThere(code)) A_Drive->setDrive(A_Dir->path());
}

void Frm_Main::A_Dir_Change() {
    if (A_Drive->driveModel()->Holding(A_Dir->path()) != A_Drive->driveIndex())
        A_Drive->setDrive(A_Dir->path());
    ApplyCopyMoveAvailability();
}

void Frm_Main::ApplyCopyMoveAvailability() {
    const bool differ = A_Dir->path() != F_Dir->path();
    Opt_Cpymov[0]->setEnabled(differ);
    Opt_Cpymov[1]->setEnabled(differ);
}

// Free space for the user on the volumes of both drive lists. Shown only
// here: the tips stay as they are when a drive changes.
void Frm_Main::ShowFreeSpace() {
    for (DriveListBox* d : {F_Drive, A_Drive}) {
        d->setToolTip(DriveModel::FreeSpaceText(d->driveModel()->FreeBytes(d->driveIndex())));
    }
}

}  // namespace zv
