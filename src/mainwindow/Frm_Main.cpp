// Frm_Main: construction, the engine's view of the controls, and the two runs.

#include "Frm_Main.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QToolButton>

#include "DigitKeyFilter.h"
#include "DirListBox.h"
#include "FileListBox.h"
#include "Frm_Wait.h"
#include "dialogs/QtHelp.h"
#include "shared/qt/QtStrings.h"

// Resources live in a static library: registered by name, outside any namespace.
static void InitZvnumResources() { Q_INIT_RESOURCE(zvnum); }

namespace zv {

namespace {
TwipScale ScaleOfPrimaryScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return TwipScale(screen ? screen->logicalDotsPerInch() : 96.0);
}
}  // namespace

Frm_Main::Frm_Main(Services services, const QString& startFolder, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint),
      services_(services),
      scale_(ScaleOfPrimaryScreen()) {
    InitZvnumResources();
    setObjectName(QStringLiteral("Frm_Main"));
    BuildLayout();

    wait_ = std::make_unique<Frm_Wait>(this, scale_);
    engine_ = std::make_unique<ConversionEngine>(EnginePorts{*this, services_.messages, services_.events,
                                                             services_.clock, services_.files, *wait_, *this,
                                                             services_.journals});

    connect(Cmd_Test, &QPushButton::clicked, this, &Frm_Main::Cmd_Test_Click);
    connect(Cmd_Run, &QPushButton::clicked, this, &Frm_Main::Cmd_Run_Click);
    connect(Cmd_Undo, &QToolButton::clicked, this, &Frm_Main::Cmd_Undo_Click);
    auto* undoKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this);
    undoKey->setObjectName(QStringLiteral("Key_Undo"));
    connect(undoKey, &QShortcut::activated, this, &Frm_Main::Cmd_Undo_Click);
    for (int i = 0; i < 2; ++i) {
        connect(Chk_syori[i], &QCheckBox::toggled, this, [this, i] { Chk_syori_Click(i); });
    }
    ConnectNumberingControls();
    ConnectFilePanel();
    ConnectDialogButtons();

    ShowStartFolder(startFolder);
    SetTimeStampToNow();
    DisableConversion();
    ApplyUndoButton();
}

Frm_Main::~Frm_Main() = default;

// ---- The engine's view of the controls -------------------------------------

QWidget* Frm_Main::Control(std::string_view name) const {
    return findChild<QWidget*>(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
}

std::u16string Frm_Main::Text(std::string_view control) const {
    if (control == "F_Dir") return qt::ToU16(SourceFolder());
    if (control == "A_Dir") return qt::ToU16(A_Dir->path());
    QWidget* w = Control(control);
    if (auto* t = qobject_cast<QLineEdit*>(w)) return qt::ToU16(t->text());
    if (auto* l = qobject_cast<QLabel*>(w)) return qt::ToU16(l->text());
    if (auto* c = qobject_cast<QComboBox*>(w)) return qt::ToU16(c->currentText());
    return {};
}

void Frm_Main::SetText(std::string_view control, const std::u16string& text) {
    QWidget* w = Control(control);
    if (auto* t = qobject_cast<QLineEdit*>(w)) {
        t->setText(qt::ToQString(text));
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(qt::ToQString(text));
    }
}

int Frm_Main::Value(std::string_view control) const {
    QWidget* w = Control(control);
    if (auto* o = qobject_cast<QRadioButton*>(w)) return o->isChecked() ? -1 : 0;
    if (auto* c = qobject_cast<QCheckBox*>(w)) return c->isChecked() ? 1 : 0;
    return 0;
}

void Frm_Main::SetFocus(std::string_view control) {
    if (QWidget* w = Control(control)) w->setFocus(Qt::OtherFocusReason);
}

bool Frm_Main::IsVisible(std::string_view control) const {
    // The control's own setting, whether or not the window is on screen yet.
    QWidget* w = Control(control);
    return w && w->isVisibleTo(this);
}

int Frm_Main::FileCount() const { return F_File->listCount(); }

// The real name, not the shown one: it is the name that addresses the file.
std::u16string Frm_Main::FileName(int index) const { return qt::ToU16(F_File->list(index)); }

bool Frm_Main::FileSelected(int index) const { return F_File->selected(index); }

// ---- Results -----------------------------------------------------------------

void Frm_Main::ClearResults() { Lst_Kekka->clear(); }

void Frm_Main::AddResult(const std::u16string& name) { Lst_Kekka->addItem(qt::ToQString(name)); }

void Frm_Main::RefreshResults() { Lst_Kekka->repaint(); }

// ---- Runs ----------------------------------------------------------------------

void Frm_Main::Cmd_Test_Click() {
    RunGuarded([this] { engine_->TestRun(); });
}

void Frm_Main::Cmd_Run_Click() {
    RunGuarded([this] { engine_->RealRun(); });
}

void Frm_Main::Cmd_Undo_Click() {
    if (!Cmd_Undo->isEnabled()) return;  // Ctrl+Z with nothing to take back
    RunGuarded([this] { engine_->UndoLastRun(); });
}

void Frm_Main::RecoverInterruptedRuns() {
    RunGuarded([this] { engine_->RecoverInterruptedRuns(); });
}

void Frm_Main::ApplyUndoButton() { Cmd_Undo->setEnabled(!running_ && engine_->CanUndo()); }

// The runs pump window events once per file, and the engine reads the
// settings from the controls file by file. So while a run works, the window
// takes no input: a second click cannot start a run inside the running one,
// and nothing typed can change the names half way through the table. The
// run buttons go off as well, to show it; whatever the run does to the ready
// state decides what they come back to.
void Frm_Main::RunGuarded(const std::function<void()>& run) {
    if (running_) return;
    running_ = true;
    ApplyRunButtons();
    Cmd_Undo->setEnabled(false);
    qApp->installEventFilter(this);
    const auto finish = [this] {
        qApp->removeEventFilter(this);
        wait_->Close();
        running_ = false;
        ApplyRunButtons();
        ApplyUndoButton();
    };
    try {
        run();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void Frm_Main::ApplyRunButtons() {
    Cmd_Test->setEnabled(ready_ && !running_);
    Cmd_Run->setEnabled(ready_ && !running_);
}

void Frm_Main::closeEvent(QCloseEvent* event) {
    // The engine works on this window's controls: the window stays until the
    // run is over.
    if (running_) {
        event->ignore();
        return;
    }
    wait_->Close();
    if (loaded_) Form_Unload();
    QWidget::closeEvent(event);
}

bool Frm_Main::eventFilter(QObject* watched, QEvent* event) {
    if (running_ && IsUserInput(event->type())) {
        auto* target = qobject_cast<QWidget*>(watched);
        if (target && target->window() == this) return true;
    }
    if (watched == Lbl_up && event->type() == QEvent::MouseButtonDblClick && Lbl_up->isEnabled()) {
        Lbl_up_DblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool Frm_Main::IsUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::InputMethod:
        case QEvent::Drop:
        case QEvent::DragEnter:
        case QEvent::DragMove:
            return true;
        default:
            return false;
    }
}

}  // namespace zv
