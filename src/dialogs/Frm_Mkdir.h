#pragma once
// The new-folder dialog: creates a folder below the main window's destination
// folder and, if asked, makes the new folder the destination.

#include <QDialog>
#include <string>

#include "shared/FileSystem.h"
#include "shared/Help.h"
#include "shared/MessageBox.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zv::dialogs {

// What the dialog needs of the main window's folder lists.
class MkdirHost {
  public:
    virtual ~MkdirHost() = default;
    // The path of the destination folder list (A_Dir).
    virtual std::u16string DestinationFolder() = 0;
    // Sets the destination folder list's path; its change handling runs.
    virtual void SetDestinationFolder(const std::u16string& path) = 0;
    // Re-reads the destination folder list, then the source folder list.
    virtual void RefreshDestinationFolders() = 0;
    virtual void RefreshSourceFolders() = 0;
};

// Help topics of the dialog's controls.
enum MkdirHelpTopic : int {
    kHelpMkdirName = 80036,
    kHelpMkdirSwitch = 80037,
    kHelpMkdirMake = 80038,
    kHelpMkdirCancel = 80039,
};

class Frm_Mkdir : public QDialog {
    Q_OBJECT
  public:
    // help may be null (no What's This texts).
    Frm_Mkdir(MkdirHost& host, FileSystem& fileSystem, MessageBoxService& messages, HelpService* help,
              QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* Label2;
    QLineEdit* Txt_NewFolder;
    QCheckBox* Chk_Cd_Nowfolder;
    QPushButton* Cmd_Make;
    QPushButton* Cmd_Cancel;

    void Cmd_Make_Click();
    void Cmd_Cancel_Click();

    // The link at the end of a What's This text opens the topic in the help window.
    static QString HelpLink(int contextId);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Form_Load();
    // Creates the folder, switches and refreshes the lists; false on any failure.
    bool CreateFolder(const std::u16string& name);
    void SetHelpTopic(QWidget* control, int contextId);

    MkdirHost& host_;
    FileSystem& fileSystem_;
    MessageBoxService& messages_;
    HelpService* help_;
};

// Com_Makefolder_Click of the main window: opens a fresh dialog modally and
// returns when it closes. True when a folder was created.
bool ShowMkdirDialog(MkdirHost& host, FileSystem& fileSystem, MessageBoxService& messages, HelpService* help,
                     QWidget* owner);

}  // namespace zv::dialogs
