#pragma once
// The progress window of a run: borderless, centred over the main window, the
// phase of the run in Lbl_Now, and the wait pointer for as long as it is open.

#include <QElapsedTimer>
#include <QWidget>

#include "MainWindowRules.h"
#include "engine/RunView.h"

class QLabel;
class QFrame;
class QProgressBar;
class QPushButton;

namespace zv {

class Frm_Wait : public QWidget, public ProgressWindow {
    Q_OBJECT
  public:
    // owner: the window to centre over; the progress window itself has no
    // owner window, so it is a top-level window of its own. It is not kept
    // on top: a message box of the run (owned by the main window) must open
    // above it, or the user sees neither its text nor its button.
    explicit Frm_Wait(QWidget* owner, TwipScale scale = TwipScale());
    ~Frm_Wait() override;

    void Open() override;
    void SetPhase(const std::u16string& phase) override;
    void Close() override;
    bool IsOpen() const override { return open_; }
    // While files are written the window grows by a row that holds the bar
    // and 中止, and is centred again by the same rule.
    void ShowProgress(std::size_t done, std::size_t total, bool cancellable) override;
    bool CancelRequested() const override { return cancel_; }

    QLabel* Label1 = nullptr;   // "しばらくお待ち下さい。"
    QLabel* Lbl_Now = nullptr;  // phase
    QFrame* Shape1 = nullptr;   // decorative frame
    QProgressBar* Prg_Rows = nullptr;  // rows done of rows
    QPushButton* Cmd_Cancel = nullptr;  // "中止"

  public slots:
    void Cmd_Cancel_Click();

  private:
    void Form_Load();
    void SetHeight(int twips);
    void CentreOverOwner();
    void Form_Unload();

    QWidget* owner_;
    TwipScale scale_;
    bool open_ = false;
    bool cancel_ = false;
    QElapsedTimer shown_;  // since the bar last repainted
};

}  // namespace zv
