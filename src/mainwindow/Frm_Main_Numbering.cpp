// Frm_Main: numbering steppers, the digit filter of the number boxes, and the
// time-stamp and attribute switches.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "DigitKeyFilter.h"
#include "Frm_Main.h"
#include "UpDownControl.h"
#include "shared/qt/QtStrings.h"

namespace zv {

void Frm_Main::ConnectNumberingControls() {
    connect(UpDown_Zoubun, &UpDownControl::UpClick, this, &Frm_Main::UpDown_Zoubun_UpClick);
    connect(UpDown_Zoubun, &UpDownControl::DownClick, this, &Frm_Main::UpDown_Zoubun_DownClick);
    connect(UpDown_Keta, &UpDownControl::ValueChanged, this, &Frm_Main::UpDown_Keta_Change);
    // Home on the steppers: the increment goes back to 1 as by a double
    // click on its label, the digit count to its least.
    connect(UpDown_Zoubun, &UpDownControl::Reset, this, &Frm_Main::Lbl_up_DblClick);
    connect(UpDown_Keta, &UpDownControl::Reset, this,
            [this] { UpDown_Keta->SetValue(UpDown_Keta->Minimum()); });
    Lbl_up->installEventFilter(this);
    connect(Chk_keta_lock, &QCheckBox::toggled, this, &Frm_Main::Chk_keta_lock_Click);

    digitFilter_ = new DigitKeyFilter(this);
    for (QLineEdit* box : {Txt_Startnum, Txt_YY, Txt_MM, Txt_DD, Txt_H, Txt_M, Txt_S}) {
        box->installEventFilter(digitFilter_);
    }

    connect(Chk_DateLock, &QCheckBox::toggled, this, &Frm_Main::Chk_DateLock_Click);
    connect(Cmd_Now, &QPushButton::clicked, this, &Frm_Main::Cmd_Now_Click);
    connect(Chk_Attrib, &QCheckBox::toggled, this, &Frm_Main::Chk_Attrib_Click);
}

void Frm_Main::UpDown_Zoubun_UpClick() {
    const std::int16_t n = ParseCaptionInt(qt::ToU16(Lbl_up->text()));
    UpDown_Zoubun->ShowValue(QString::number(IncrementUp(n)));
}

void Frm_Main::UpDown_Zoubun_DownClick() {
    const std::int16_t n = ParseCaptionInt(qt::ToU16(Lbl_up->text()));
    UpDown_Zoubun->ShowValue(QString::number(IncrementDown(n)));
}

void Frm_Main::UpDown_Keta_Change(int value) { UpDown_Keta->ShowValue(QString::number(value)); }

void Frm_Main::Lbl_up_DblClick() { UpDown_Zoubun->ShowValue(QStringLiteral("1")); }

void Frm_Main::Chk_keta_lock_Click() {
    const bool on = Chk_keta_lock->isChecked();
    Lbl_keta->setEnabled(on);
    UpDown_Keta->setEnabled(on);
}

void Frm_Main::Chk_DateLock_Click() {
    const bool on = Chk_DateLock->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{Txt_YY, Txt_MM, Txt_DD, Txt_H, Txt_M, Txt_S, Cmd_Now}) {
        w->setEnabled(on);
    }
}

void Frm_Main::Cmd_Now_Click() { SetTimeStampToNow(); }

void Frm_Main::Chk_Attrib_Click() {
    const bool on = Chk_Attrib->isChecked();
    for (QCheckBox* box : Chk_Att_Set) box->setEnabled(on);
}

void Frm_Main::SetTimeStampToNow() {
    // One clock read per box, in this order, as the fill has always been made.
    const Clock& clock = services_.clock;
    Txt_YY->setText(QString::number(clock.Now().year));
    Txt_MM->setText(QString::number(clock.Now().month));
    Txt_DD->setText(QString::number(clock.Now().day));
    Txt_H->setText(QString::number(clock.Now().hour));
    Txt_M->setText(QString::number(clock.Now().minute));
    Txt_S->setText(QString::number(clock.Now().second));
}

}  // namespace zv
