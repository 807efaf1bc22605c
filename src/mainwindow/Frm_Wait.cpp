#include "Frm_Wait.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>

#include "shared/qt/QtStrings.h"

namespace zv {

namespace {
constexpr int kWidthTwips = 3450;
constexpr int kHeightTwips = 915;
}  // namespace

Frm_Wait::Frm_Wait(QWidget* owner, TwipScale scale)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      owner_(owner),
      scale_(scale) {
    setObjectName(QStringLiteral("Frm_Wait"));
    setFixedSize(scale_.ToPixels(kWidthTwips), scale_.ToPixels(kHeightTwips));
    setAttribute(Qt::WA_ShowWithoutActivating);

    Shape1 = new QFrame(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setLineWidth(2);
    Shape1->setGeometry(scale_.ToPixels(60), scale_.ToPixels(60), width() - 2 * scale_.ToPixels(60),
                        height() - 2 * scale_.ToPixels(60));

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
}

Frm_Wait::~Frm_Wait() { Close(); }

void Frm_Wait::Open() {
    if (open_) return;
    open_ = true;
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
    Form_Unload();
}

void Frm_Wait::Form_Load() {
    if (owner_) {
        // The owner's outer rectangle, title bar and border included.
        const QRect o = owner_->frameGeometry();
        const Point p = CentredOver(o.x(), o.y(), o.width(), o.height(), width(), height());
        move(p.x, p.y);
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void Frm_Wait::Form_Unload() { QApplication::restoreOverrideCursor(); }

}  // namespace zv
