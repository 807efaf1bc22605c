#pragma once
// ZVNUM's main window. It holds the job in its controls and answers the
// engine's questions about them by control name at the moment they are asked;
// the runs themselves belong to the engine.

#include <QEvent>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "MainWindowRules.h"
#include "dialogs/Frm_Mkdir.h"
#include "dialogs/SysInfo.h"
#include "engine/ConversionEngine.h"
#include "engine/JobSettings.h"
#include "engine/RunView.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace zv {

namespace dialogs {
class QtHelp;
}

class DigitKeyFilter;
class DirListBox;
class DriveListBox;
class DriveModel;
class FileListBox;
class Frm_Wait;
class UpDownControl;

class Frm_Main : public QWidget, public JobSettings, public RunView, public dialogs::MkdirHost {
    Q_OBJECT
  public:
    struct Services {
        MessageBoxService& messages;
        EventPump& events;
        Clock& clock;
        FileSystem& files;
        // The drives of the drive lists; the machine's own when not given.
        DriveModel* drives = nullptr;
        // Where real runs keep their journals; without it nothing can be
        // taken back.
        JournalStore* journals = nullptr;
    };

    // startFolder: the folder the source and destination lists open on.
    explicit Frm_Main(Services services, const QString& startFolder, QWidget* parent = nullptr);
    ~Frm_Main() override;

    // JobSettings
    std::u16string Text(std::string_view control) const override;
    void SetText(std::string_view control, const std::u16string& text) override;
    int Value(std::string_view control) const override;
    void SetFocus(std::string_view control) override;
    bool IsVisible(std::string_view control) const override;
    int FileCount() const override;
    std::u16string FileName(int index) const override;
    bool FileSelected(int index) const override;

    // RunView
    void ClearResults() override;
    void AddResult(const std::u16string& name) override;
    void RefreshResults() override;
    bool RefreshFileList() override;
    void DisableConversion() override;

    // MkdirHost: the new-folder dialog works on the destination folder list.
    std::u16string DestinationFolder() override;
    void SetDestinationFolder(const std::u16string& path) override;
    void RefreshDestinationFolders() override;
    void RefreshSourceFolders() override;

    // Start-up and shutdown (Frm_Main_Settings.cpp). Form_Load fills the
    // filter list and the time stamp, finds the help file and restores the
    // stored folders; closing a window that was loaded this way saves them
    // and closes help (Form_Unload).
    void Form_Load(const QString& programFolder);
    void Form_Unload();
    // The folder of the running program's real file, links resolved.
    static QString ProgramFolder();
    // The help file beside the program; null until Form_Load.
    dialogs::QtHelp* Help() const { return help_.get(); }

    ConversionEngine& Engine() { return *engine_; }
    Frm_Wait& WaitWindow() { return *wait_; }
    const TwipScale& Scale() const { return scale_; }
    JobMode CurrentMode() const;
    bool IsRunning() const { return running_; }

    // Frame1: source files.
    QGroupBox* Frame1 = nullptr;
    DriveListBox* F_Drive = nullptr;
    DirListBox* F_Dir = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* Cmb_Filter = nullptr;
    QToolButton* Cmd_Newfile = nullptr;
    FileListBox* F_File = nullptr;
    QPushButton* Cmd_AllSelect = nullptr;
    QPushButton* Cmd_OddSelect = nullptr;
    QPushButton* Cmd_EvenSelect = nullptr;
    QPushButton* Cmd_AllDelete = nullptr;

    // Frm_Job(0): processing settings.
    std::array<QGroupBox*, 1> Frm_Job{};
    std::array<QCheckBox*, 2> Chk_syori{};
    QLabel* Label2 = nullptr;
    QLineEdit* Txt_B_text = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Txt_A_text = nullptr;
    QFrame* Line1 = nullptr;
    QCheckBox* Chk_keta_lock = nullptr;
    QRadioButton* Opt_Han = nullptr;
    QRadioButton* Opt_Zen = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Lbl_keta = nullptr;
    UpDownControl* UpDown_Keta = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Lbl_up = nullptr;
    UpDownControl* UpDown_Zoubun = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* Txt_Startnum = nullptr;

    // Frame3: destination.
    QGroupBox* Frame3 = nullptr;
    DriveListBox* A_Drive = nullptr;
    QToolButton* Com_Makefolder = nullptr;
    DirListBox* A_Dir = nullptr;
    std::array<QRadioButton*, 2> Opt_Cpymov{};

    // Frame4: time stamp and attributes.
    QGroupBox* Frame4 = nullptr;
    QCheckBox* Chk_DateLock = nullptr;
    QPushButton* Cmd_Now = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Label14 = nullptr;
    QLabel* Label15 = nullptr;
    QLineEdit* Txt_YY = nullptr;
    QLineEdit* Txt_MM = nullptr;
    QLineEdit* Txt_DD = nullptr;
    QLineEdit* Txt_H = nullptr;
    QLineEdit* Txt_M = nullptr;
    QLineEdit* Txt_S = nullptr;
    QCheckBox* Chk_Attrib = nullptr;
    std::array<QCheckBox*, 4> Chk_Att_Set{};

    // Outside the frames.
    QPushButton* Cmd_Test = nullptr;
    QLabel* Label9 = nullptr;
    QListWidget* Lst_Kekka = nullptr;
    QToolButton* Cmd_About = nullptr;
    QToolButton* Cmd_Help = nullptr;
    QPushButton* Cmd_Run = nullptr;
    QToolButton* Cmd_Undo = nullptr;  // 元に戻す, also Ctrl+Z
    QLabel* Lbl_Msgdsp = nullptr;

  public slots:
    void Cmd_Test_Click();
    void Cmd_Run_Click();
    void Cmd_Undo_Click();
    // At start-up: the question about a run that never completed.
    void RecoverInterruptedRuns();

    void Chk_syori_Click(int index);
    void EnableConversion();

    void UpDown_Zoubun_UpClick();
    void UpDown_Zoubun_DownClick();
    void UpDown_Keta_Change(int value);
    void Lbl_up_DblClick();
    void Chk_keta_lock_Click();

    void Chk_DateLock_Click();
    void Cmd_Now_Click();
    void Chk_Attrib_Click();
    void SetTimeStampToNow();

    // Frm_Main_FilePanel.cpp
    void F_Drive_Change();
    void F_Dir_Change();
    void F_File_Click();
    void Cmb_Filter_Click();
    void Cmb_Filter_KeyPress(int keyAscii);
    void Cmd_AllSelect_Click();
    void Cmd_OddSelect_Click();
    void Cmd_EvenSelect_Click();
    void Cmd_AllDelete_Click();
    void Cmd_Newfile_Click();
    void A_Drive_Change();
    void A_Dir_Change();
    void F_File_DblClick();

    // Frm_Main_Dialogs.cpp: the buttons that open other windows.
    void Com_Makefolder_Click();
    void Cmd_About_Click();
    void Cmd_Help_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // Frm_Main_Layout.cpp
    void BuildLayout();
    void BuildFilePanelControls();
    void BuildJobFrame();
    void BuildDestinationFrame();
    void BuildTimeStampFrame();
    void BuildBottomRow();
    void Place(QWidget* w, int left, int top, int width, int height) const;
    void PlaceText(QWidget* w, int left, int top, int width, int height) const;
    static void FitTextWidth(QWidget* w, const QString& text, int room);

    // Frm_Main_Numbering.cpp
    void ConnectNumberingControls();

    // Frm_Main_Dialogs.cpp
    void ConnectDialogButtons();

    // Frm_Main_Settings.cpp
    void LoadSettings();
    void SaveSettings();

    // Frm_Main_FilePanel.cpp (the source and destination lists)
    void ConnectFilePanel();
    void ShowStartFolder(const QString& folder);
    int AssignStartFolders(const QString& drive, const QString& path);
    void ShowFreeSpace();
    void ApplyCopyMoveAvailability();
    QString SourceFolder() const;

    // Runs one of the engine's runs with the window closed to input throughout.
    void RunGuarded(const std::function<void()>& run);
    void ApplyUndoButton();
    static bool IsUserInput(QEvent::Type type);
    void ApplyRunButtons();
    QWidget* Control(std::string_view name) const;

    Services services_;
    TwipScale scale_;
    std::unique_ptr<Frm_Wait> wait_;
    std::unique_ptr<ConversionEngine> engine_;
    DigitKeyFilter* digitFilter_ = nullptr;

    // The ready state (files selected). While a run is in progress the run
    // buttons stay off and this records what they return to.
    bool ready_ = false;
    bool running_ = false;

    // Set by Form_Load; only a loaded window saves its settings when it closes.
    QString programFolder_;
    bool loaded_ = false;
    std::unique_ptr<dialogs::QtHelp> help_;
    dialogs::QtSysInfoPlatform sysInfo_;
};

}  // namespace zv
