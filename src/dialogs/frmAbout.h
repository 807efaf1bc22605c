#pragma once
// The about box: name, version, notices and how to reach the team, and a
// button that starts the system's information program.

#include <QDialog>
#include <QString>

#include "SysInfo.h"
#include "shared/MessageBox.h"

class QFrame;
class QLabel;
class QPushButton;

namespace zv::dialogs {

// "ﾊﾞｰｼﾞｮﾝ " + major + "." + minor, each in plain decimal.
QString VersionCaption(int major, int minor);

// The version this program was built as.
int ProgramMajorVersion();
int ProgramMinorVersion();

class frmAbout : public QDialog {
    Q_OBJECT
  public:
    frmAbout(SysInfoPlatform& platform, MessageBoxService& messages, QWidget* parent = nullptr);

    QPushButton* cmdOK;
    QLabel* picIcon;
    QPushButton* cmdSysInfo;
    QLabel* lblDescription;
    QLabel* lblDisclaimer;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Lbl_Owner;
    QFrame* Line1_0;
    QFrame* Line1_1;

    void cmdOK_Click();
    void cmdSysInfo_Click();

  private:
    void Form_Load();

    SysInfoPlatform& platform_;
    MessageBoxService& messages_;
};

// Cmd_About_Click of the main window: a fresh about box, modal; returns when it closes.
void ShowAboutBox(SysInfoPlatform& platform, MessageBoxService& messages, QWidget* owner);

}  // namespace zv::dialogs
