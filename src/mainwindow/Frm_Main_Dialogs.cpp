// Frm_Main: the windows the main window opens: previews of a double-clicked
// file, the new-folder dialog, the about box and help.

#include <QToolButton>

#include "DirListBox.h"
#include "FileListBox.h"
#include "Frm_Main.h"
#include "dialogs/QtHelp.h"
#include "dialogs/frmAbout.h"
#include "shared/FileSystem.h"
#include "shared/qt/QtStrings.h"
#include "viewers/AudioOutput.h"
#include "viewers/Frm_PlaySound.h"
#include "viewers/PreviewDispatch.h"

namespace zv {

void Frm_Main::ConnectDialogButtons() {
    connect(F_File, &FileListBox::dblClick, this, &Frm_Main::F_File_DblClick);
    connect(Com_Makefolder, &QToolButton::clicked, this, &Frm_Main::Com_Makefolder_Click);
    connect(Cmd_About, &QToolButton::clicked, this, &Frm_Main::Cmd_About_Click);
    connect(Cmd_Help, &QToolButton::clicked, this, &Frm_Main::Cmd_Help_Click);
}

// The list has made the double-clicked row its current one before this runs.
void Frm_Main::F_File_DblClick() {
    const int row = F_File->listIndex();
    if (row < 0) return;
    PreviewDispatch dispatch(services_.messages, kPathSeparator);
    dispatch.openMidiPlayer = [this] {
        Frm_PlaySound player(services_.messages, AudioOutput::Instance());
        player.exec();
    };
    dispatch.F_File_DblClick(qt::ToU16(SourceFolder()), qt::ToU16(F_File->list(row)));
}

void Frm_Main::Com_Makefolder_Click() {
    dialogs::ShowMkdirDialog(*this, services_.files, services_.messages, help_.get(), this);
}

void Frm_Main::Cmd_About_Click() { dialogs::ShowAboutBox(sysInfo_, services_.messages, this); }

void Frm_Main::Cmd_Help_Click() {
    if (help_) help_->ShowContents();
}

// ---- What the new-folder dialog works on ---------------------------------

std::u16string Frm_Main::DestinationFolder() { return qt::ToU16(A_Dir->path()); }

void Frm_Main::SetDestinationFolder(const std::u16string& path) { A_Dir->setPath(qt::ToQString(path)); }

void Frm_Main::RefreshDestinationFolders() { A_Dir->refresh(); }

void Frm_Main::RefreshSourceFolders() { F_Dir->refresh(); }

}  // namespace zv
