// Frm_Main: the processing-mode pair and the ready state of the run buttons.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "Frm_Main.h"
#include "UpDownControl.h"
#include "shared/qt/QtStrings.h"

namespace zv {

JobMode Frm_Main::CurrentMode() const {
    if (Chk_syori[0]->isChecked()) return JobMode::Append;
    if (Chk_syori[1]->isChecked()) return JobMode::Replace;
    return JobMode::Numbering;
}

void Frm_Main::Chk_syori_Click(int index) {
    QWidget* numberingGroup[] = {Label4,      Label5,        Label6,        Lbl_keta, Lbl_up, Txt_Startnum,
                                 UpDown_Keta, UpDown_Zoubun, Chk_keta_lock, Opt_Han,  Opt_Zen};
    const bool modeBoxChecked = Chk_syori[0]->isChecked() || Chk_syori[1]->isChecked();
    if (modeBoxChecked) {
        for (QWidget* w : numberingGroup) w->hide();
        // The guidance follows the ready state, not the buttons: during a
        // run the buttons are held off while files are still selected.
        if (index != 0) {
            Chk_syori[0]->setEnabled(false);
            Lbl_Msgdsp->setText(qt::ToQString(GuidanceFor(JobMode::Replace, ready_)));
            Label2->setText(QStringLiteral("検索文字列"));
            Label3->setText(QStringLiteral("置換文字列"));
        } else {
            Chk_syori[1]->setEnabled(false);
            Lbl_Msgdsp->setText(qt::ToQString(GuidanceFor(JobMode::Append, ready_)));
            Label2->setText(QStringLiteral("固定文字列（前半部）"));
            Label3->setText(QStringLiteral("固定文字列（後半部）"));
        }
        return;
    }
    for (QWidget* w : numberingGroup) w->show();
    Lbl_Msgdsp->setText(qt::ToQString(GuidanceFor(JobMode::Numbering, ready_)));
    Label2->setText(QStringLiteral("固定文字列（前半部）"));
    Label3->setText(QStringLiteral("固定文字列（後半部）"));
    Chk_syori[0]->setEnabled(true);
    Chk_syori[1]->setEnabled(true);
}

void Frm_Main::EnableConversion() {
    ready_ = true;
    ApplyRunButtons();
    Lbl_Msgdsp->setText(qt::ToQString(GuidanceFor(CurrentMode(), true)));
}

void Frm_Main::DisableConversion() {
    ready_ = false;
    ApplyRunButtons();
    Lbl_Msgdsp->setText(qt::ToQString(GuidanceFor(CurrentMode(), false)));
}

}  // namespace zv
