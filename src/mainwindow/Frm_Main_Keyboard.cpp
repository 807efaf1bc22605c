// Frm_Main: the keyboard order and what screen readers call the controls.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "DirListBox.h"
#include "DriveListBox.h"
#include "FileListBox.h"
#include "Frm_Main.h"
#include "UpDownControl.h"

namespace zv {

void Frm_Main::ArrangeKeyboardAccess() {
    // Tab goes down each column in turn, left to right through a row: the
    // source files, then the settings and the time stamp below them, then
    // the destination and the run controls below it.
    QWidget* const order[] = {
        F_Drive,        F_Dir,          Cmb_Filter,    Cmd_Newfile,    F_File,         Cmd_AllSelect,
        Cmd_OddSelect,  Cmd_EvenSelect, Cmd_AllDelete, Chk_syori[0],   Chk_syori[1],   Txt_B_text,
        Txt_A_text,     Chk_keta_lock,  Opt_Han,       Opt_Zen,        UpDown_Keta,    UpDown_Zoubun,
        Txt_Startnum,   Chk_DateLock,   Cmd_Now,       Txt_YY,         Txt_MM,         Txt_DD,
        Txt_H,          Txt_M,          Txt_S,         Chk_Attrib,     Chk_Att_Set[0], Chk_Att_Set[1],
        Chk_Att_Set[2], Chk_Att_Set[3], A_Drive,       Com_Makefolder, A_Dir,          Opt_Cpymov[0],
        Opt_Cpymov[1],  Cmd_Test,       Lst_Kekka,     Cmd_About,      Cmd_Help,       Cmd_Run,
        Cmd_Undo};
    for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    // A label names the box it stands by; without that a box is known only
    // by the caption of its frame, which all its neighbours share.
    const std::pair<QLabel*, QWidget*> buddies[] = {
        {Label1, Cmb_Filter},    {Label2, Txt_B_text},   {Label3, Txt_A_text}, {Label4, UpDown_Keta},
        {Label5, UpDown_Zoubun}, {Label6, Txt_Startnum}, {Label9, Lst_Kekka},  {Label10, Txt_YY},
        {Label11, Txt_MM},       {Label12, Txt_DD},      {Label13, Txt_H},     {Label14, Txt_M},
        {Label15, Txt_S}};
    for (const auto& [label, box] : buddies) label->setBuddy(box);

    // Lists have no label of their own: their frame's caption and what they list.
    const auto listName = [](QGroupBox* frame, const char16_t* what) {
        return frame->title() + QString::fromUtf16(what);
    };
    F_Drive->setAccessibleName(listName(Frame1, u"のドライブ"));
    F_Dir->setAccessibleName(listName(Frame1, u"のフォルダ"));
    F_File->setAccessibleName(listName(Frame1, u"のファイル"));
    A_Drive->setAccessibleName(listName(Frame3, u"のドライブ"));
    A_Dir->setAccessibleName(listName(Frame3, u"のフォルダ"));
    Cmb_Filter->setAccessibleName(QStringLiteral("Filter"));
    Cmb_Filter->lineEdit()->setAccessibleName(QStringLiteral("Filter"));
    Lst_Kekka->setAccessibleName(Label9->text());
    // A picture button is a tab stop like the others and says what its tool tip says.
    for (QToolButton* b : {Cmd_Newfile, Com_Makefolder, Cmd_About, Cmd_Help, Cmd_Undo}) {
        b->setFocusPolicy(Qt::StrongFocus);
        b->setAccessibleName(b->toolTip());
    }

    UpDown_Keta->SetValueLabel(Lbl_keta, Label4->text(), UpDown_Keta->Minimum(), UpDown_Keta->Maximum());
    UpDown_Zoubun->SetValueLabel(Lbl_up, Label5->text(), -100, 100);
}

}  // namespace zv
