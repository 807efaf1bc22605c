// Frm_Main: start-up and shutdown, and the folders remembered between runs.

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QTimer>

#include "DriveListBox.h"
#include "Frm_Main.h"
#include "StartupSettings.h"
#include "dialogs/QtHelp.h"
#include "shared/Help.h"
#include "shared/qt/QtStrings.h"

namespace zv {

namespace {

constexpr char16_t kTitle[] = u"Zorvik";
constexpr char16_t kLoadFailed[] =
    u"保存されている設定を読み込めませんでした。\r\nプログラムのフォルダから始めます。";
constexpr char16_t kSaveFailed[] = u"設定を保存できませんでした。";

}  // namespace

QString Frm_Main::ProgramFolder() {
    const QFileInfo program(QCoreApplication::applicationFilePath());
    const QString real = program.canonicalFilePath();
    return QFileInfo(real.isEmpty() ? program.absoluteFilePath() : real).absolutePath();
}

void Frm_Main::Form_Load(const QString& programFolder) {
    programFolder_ = programFolder;
    help_ = std::make_unique<dialogs::QtHelp>(qt::ToQString(HelpFilePath(qt::ToU16(programFolder_))));
    Frm_Job[0]->raise();
    Cmb_Filter->clear();
    Cmb_Filter->addItems({QStringLiteral("*.*"), QStringLiteral("*.BMP;*.JPG;*.WMF;*.GIF;*.ICO"),
                          QStringLiteral("*.TXT;*.RTF"), QStringLiteral("*.WAV;*.MID")});
    Cmb_Filter->setEditText(QStringLiteral("*.*"));
    SetTimeStampToNow();
    LoadSettings();
    Lbl_Msgdsp->setText(QStringLiteral("ファイルを選択して下さい。"));
    loaded_ = true;
    // Asked once the window is on screen, so the question has its window.
    if (services_.journals) QTimer::singleShot(0, this, &Frm_Main::RecoverInterruptedRuns);
}

void Frm_Main::Form_Unload() {
    SaveSettings();
    // The help window has no owner: left open, it would keep the program running.
    if (help_) help_->Close();
    loaded_ = false;
}

void Frm_Main::LoadSettings() {
    StartupSettings settings(services_.files);
    const StartFolders start = settings.Load(qt::ToU16(programFolder_));
    // A damaged store is not overwritten later either: the user is told once
    // and the program starts in its own folder.
    if (start.error != 0) services_.messages.Show(kLoadFailed, kOkOnly, kTitle);
    const int code = AssignStartFolders(qt::ToQString(start.drive), qt::ToQString(start.path));
    // A folder that went away after it was found: all five lists start over
    // in the program folder. A drive gone or not ready ends the restoring
    // silently; the lists keep what they show.
    if (code == kFsPathNotFound) AssignStartFolders(programFolder_, programFolder_);
}

void Frm_Main::SaveSettings() {
    StartupSettings settings(services_.files);
    if (settings.Save(qt::ToU16(F_Drive->currentText()), qt::ToU16(SourceFolder())) != 0)
        services_.messages.Show(kSaveFailed, kOkOnly, kTitle);
}

}  // namespace zv
