#include "Frm_Wait.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "shared/qt/QtStrings.h"

namespace zv {

namespace {
constexpr int kWidthTwips = 3450;
constexpr int kHeightTwips = 915;
constexpr int kProgressRowTwips = 480;  // the bar and 中止 below the phase
}  // namespace

Frm_Wait::Frm_Wait(QWidget* owner, TwipScale scale)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), owner_(owner), scale_(scale) {
    setObjectName(QStringLiteral("Frm_Wait"));
    setAttribute(Qt::WA_ShowWithoutActivating);

    Shape1 = new QFrame(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setLineWidth(2);

    Label1 = new QLabel(QStringLiteral("しばらくお待ち下さい。"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setGeometry(scale_.ToPixels(120), scale_.ToPixels(150), scale_.ToPixels(3210),
                        scale_.ToPixels(300));

    Lbl_Now = new QLabel(QStringLiteral("変換中"), this);
    Lbl_Now->setObjectName(QStringLiteral("Lbl_Now"));
    Lbl_Now->setAlignment(Qt::AlignCenter);
    Lbl_Now->setGeometry(scale_.ToPixels(120), scale_.ToPixels(480), scale_.ToPixels(3210),
                         scale_.ToPixels(300));

    Prg_Rows = new QProgressBar(this);
    Prg_Rows->setObjectName(QStringLiteral("Prg_Rows"));
    Prg_Rows->setTextVisible(true);
    Prg_Rows->setFormat(QStringLiteral("%v / %m"));
    Prg_Rows->setGeometry(scale_.ToPixels(180), scale_.ToPixels(870), scale_.ToPixels(2160),
                          scale_.ToPixels(315));
    Cmd_Cancel = new QPushButton(QStringLiteral("中止"), this);
    Cmd_Cancel->setObjectName(QStringLiteral("Cmd_Cancel"));
    Cmd_Cancel->setToolTip(QStringLiteral("この行の後で変換処理を中止します"));
    Cmd_Cancel->setGeometry(scale_.ToPixels(2430), scale_.ToPixels(840), scale_.ToPixels(840),
                            scale_.ToPixels(375));
    connect(Cmd_Cancel, &QPushButton::clicked, this, &Frm_Wait::Cmd_Cancel_Click);
    SetHeight(kHeightTwips);
}

void Frm_Wait::SetHeight(int twips) {
    const bool withProgress = twips != kHeightTwips;
    setFixedSize(scale_.ToPixels(kWidthTwips), scale_.ToPixels(twips));
    Shape1->setGeometry(scale_.ToPixels(60), scale_.ToPixels(60), width() - 2 * scale_.ToPixels(60),
                        height() - 2 * scale_.ToPixels(60));
    Prg_Rows->setVisible(withProgress);
    Cmd_Cancel->setVisible(withProgress);
}

void Frm_Wait::ShowProgress(std::size_t done, std::size_t total, bool cancellable) {
    if (!open_) return;
    if (Prg_Rows->isHidden()) {
        SetHeight(kHeightTwips + kProgressRowTwips);
        CentreOverOwner();
    }
    Cmd_Cancel->setEnabled(cancellable && !cancel_);
    // The bar repaints at once on every change, and a repaint costs more than
    // renaming a file: a run of many thousand rows shows it every few
    // hundredths of a second, as smooth as the eye follows, and always its
    // start and its end.
    constexpr qint64 kRepaintMs = 40;
    const bool restart = Prg_Rows->maximum() != static_cast<int>(total);
    if (!restart && done != total && shown_.isValid() && shown_.elapsed() < kRepaintMs) return;
    shown_.start();
    Prg_Rows->setMaximum(static_cast<int>(total));
    Prg_Rows->setValue(static_cast<int>(done));
}

void Frm_Wait::Cmd_Cancel_Click() {
    cancel_ = true;
    Cmd_Cancel->setEnabled(false);
}

Frm_Wait::~Frm_Wait() { Close(); }

void Frm_Wait::Open() {
    if (open_) return;
    open_ = true;
    cancel_ = false;
    Form_Load();
    show();
    raise();
}

void Frm_Wait::SetPhase(const std::u16string& phase) {
    Lbl_Now->setText(qt::ToQString(phase));
    Lbl_Now->repaint();
}

void Frm_Wait::Close() {
    if (!open_) return;
    open_ = false;
    hide();
    SetHeight(kHeightTwips);
    shown_.invalidate();
    Form_Unload();
}

void Frm_Wait::Form_Load() {
    CentreOverOwner();
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void Frm_Wait::CentreOverOwner() {
    if (owner_) {
        // The owner's outer rectangle, title bar and border included.
        const QRect o = owner_->frameGeometry();
        const Point p = CentredOver(o.x(), o.y(), o.width(), o.height(), width(), height());
        move(p.x, p.y);
    }
}

void Frm_Wait::Form_Unload() { QApplication::restoreOverrideCursor(); }

}  // namespace zv
