// Frm_Main: building the controls. Positions are the designed ones in twips,
// relative to the client area or to the enclosing frame.

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>

#include "DirListBox.h"
#include "DriveListBox.h"
#include "FileListBox.h"
#include "Frm_Main.h"
#include "UpDownControl.h"

namespace zv {

namespace {

template <typename T>
T* Make(QWidget* parent, const QString& name) {
    auto* w = new T(parent);
    w->setObjectName(name);
    return w;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& caption) {
    auto* l = Make<QLabel>(parent, name);
    l->setText(caption);
    return l;
}

QCheckBox* MakeCheck(QWidget* parent, const QString& name, const QString& caption) {
    auto* c = Make<QCheckBox>(parent, name);
    c->setText(caption);
    return c;
}

QRadioButton* MakeOption(QWidget* parent, const QString& name, const QString& caption) {
    auto* o = Make<QRadioButton>(parent, name);
    o->setText(caption);
    return o;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption, const QString& tip) {
    auto* b = Make<QPushButton>(parent, name);
    b->setText(caption);
    b->setToolTip(tip);
    return b;
}

// A picture button: a 16 x 16 image, no caption.
QToolButton* MakePictureButton(QWidget* parent, const QString& name, const QString& icon,
                               const QString& tip) {
    auto* b = Make<QToolButton>(parent, name);
    b->setIcon(QIcon(icon));
    b->setIconSize(QSize(16, 16));
    b->setToolTip(tip);
    return b;
}

QLineEdit* MakeNumberBox(QWidget* parent, const QString& name, const QString& text, int maxLength) {
    auto* t = Make<QLineEdit>(parent, name);
    t->setText(text);
    t->setMaxLength(maxLength);
    // Only single-byte digits may arrive: no input method for these boxes.
    t->setAttribute(Qt::WA_InputMethodEnabled, false);
    t->setInputMethodHints(Qt::ImhDigitsOnly | Qt::ImhNoPredictiveText);
    return t;
}

void MakeBlue(QWidget* w) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, Qt::blue);
    p.setColor(QPalette::ButtonText, Qt::blue);
    p.setColor(QPalette::Text, Qt::blue);
    w->setPalette(p);
}

// White, single border, centred: the look of the two stepper captions.
void MakeValueLabel(QLabel* l) {
    l->setAlignment(Qt::AlignCenter);
    l->setFrameShape(QFrame::Box);
    l->setLineWidth(1);
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, Qt::white);
    l->setPalette(p);
}

}  // namespace

void Frm_Main::Place(QWidget* w, int left, int top, int width, int height) const {
    const int x = scale_.ToPixels(left);
    const int y = scale_.ToPixels(top);
    w->setGeometry(x, y, scale_.ToPixels(left + width) - x, scale_.ToPixels(top + height) - y);
}

// Text controls were designed for a user-interface font that is a little
// narrower than ours. A caption that does not fit gets a slightly smaller
// font rather than being cut off; drop-down lists grow to the height they
// need, around the same centre line.
void Frm_Main::PlaceText(QWidget* w, int left, int top, int width, int height) const {
    Place(w, left, top, width, height);
    if (auto* label = qobject_cast<QLabel*>(w)) {
        FitTextWidth(w, label->text(), w->width());
        return;
    }
    if (auto* option = qobject_cast<QRadioButton*>(w)) {
        const QStyle* st = w->style();
        FitTextWidth(w, option->text(),
                     w->width() - st->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, w) -
                         st->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, w));
        return;
    }
    if (auto* check = qobject_cast<QCheckBox*>(w)) {
        const QStyle* st = w->style();
        FitTextWidth(w, check->text(),
                     w->width() - st->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w) -
                         st->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w));
        return;
    }
    // Only the drop-down lists need more height than designed; a text box
    // shows its one line in the designed height.
    if (!qobject_cast<QComboBox*>(w)) return;
    const int needed = w->minimumSizeHint().height();
    QRect r = w->geometry();
    if (r.height() < needed) {
        const int grow = needed - r.height();
        r.setTop(r.top() - grow / 2);
        r.setHeight(needed);
        w->setGeometry(r);
    }
}

void Frm_Main::FitTextWidth(QWidget* w, const QString& text, int room) {
    QFont font = w->font();
    QString plain = text;
    plain.remove(QLatin1Char('&'));
    while (QFontMetrics(font).horizontalAdvance(plain) > room && font.pointSizeF() > 7.0) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    if (font != w->font()) w->setFont(font);
}

void Frm_Main::BuildLayout() {
    setWindowTitle(QStringLiteral("Zorvik"));
    // Frames carry their caption on the top border line, so the controls
    // designed just under it stay clear of the border.
    setStyleSheet(
        QStringLiteral("QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 0.5em; }"
                       "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"));
    setFixedSize(scale_.ToPixels(9570), scale_.ToPixels(5925));

    Frame1 = Make<QGroupBox>(this, QStringLiteral("Frame1"));
    Frame1->setTitle(QStringLiteral("対象ファイル"));
    Place(Frame1, 60, 60, 3255, 5475);

    Frm_Job[0] = Make<QGroupBox>(this, QStringLiteral("Frm_Job(0)"));
    Frm_Job[0]->setTitle(QStringLiteral("連番設定"));
    Place(Frm_Job[0], 3420, 60, 2715, 3015);

    Frame3 = Make<QGroupBox>(this, QStringLiteral("Frame3"));
    Frame3->setTitle(QStringLiteral("保存先"));
    Place(Frame3, 6240, 60, 3255, 3195);

    Frame4 = Make<QGroupBox>(this, QStringLiteral("Frame4"));
    Frame4->setTitle(QStringLiteral("タイムスタンプ・属性設定"));
    Place(Frame4, 3420, 3120, 2715, 2415);

    BuildFilePanelControls();
    BuildJobFrame();
    BuildDestinationFrame();
    BuildTimeStampFrame();
    BuildBottomRow();
}

void Frm_Main::BuildFilePanelControls() {
    QWidget* f = Frame1;
    F_Drive = Make<DriveListBox>(f, QStringLiteral("F_Drive"));
    PlaceText(F_Drive, 120, 240, 3015, 300);
    F_Dir = Make<DirListBox>(f, QStringLiteral("F_Dir"));
    Place(F_Dir, 120, 600, 3015, 1770);
    Label1 = MakeLabel(f, QStringLiteral("Label1"), QStringLiteral("Filter(複数の時は「；」で区切ること。)"));
    PlaceText(Label1, 120, 2400, 3015, 255);
    Cmb_Filter = Make<QComboBox>(f, QStringLiteral("Cmb_Filter"));
    Cmb_Filter->setEditable(true);
    Cmb_Filter->setInsertPolicy(QComboBox::NoInsert);
    Cmb_Filter->setEditText(QStringLiteral("*.*"));
    PlaceText(Cmb_Filter, 120, 2640, 2655, 300);
    Cmd_Newfile = MakePictureButton(f, QStringLiteral("Cmd_Newfile"), QStringLiteral(":/zvnum/refresh.svg"),
                                    QStringLiteral("最新状態に更新します"));
    Place(Cmd_Newfile, 2820, 2640, 315, 315);
    F_File = Make<FileListBox>(f, QStringLiteral("F_File"));
    Place(F_File, 120, 3000, 3015, 1890);
    Cmd_AllSelect = MakeButton(f, QStringLiteral("Cmd_AllSelect"), QStringLiteral("全選択(&S)"),
                               QStringLiteral("全ファイルを選択します"));
    Place(Cmd_AllSelect, 120, 4920, 915, 495);
    Cmd_OddSelect = MakeButton(f, QStringLiteral("Cmd_OddSelect"), QStringLiteral("奇数行選択"),
                               QStringLiteral("奇数行のみを選択します"));
    Place(Cmd_OddSelect, 1020, 4920, 1155, 255);
    Cmd_EvenSelect = MakeButton(f, QStringLiteral("Cmd_EvenSelect"), QStringLiteral("偶数行選択"),
                                QStringLiteral("偶数行のみを選択します"));
    Place(Cmd_EvenSelect, 1020, 5160, 1155, 255);
    Cmd_AllDelete = MakeButton(f, QStringLiteral("Cmd_AllDelete"), QStringLiteral("全解除(&D)"),
                               QStringLiteral("選択を解除します"));
    Place(Cmd_AllDelete, 2160, 4920, 975, 495);
}

void Frm_Main::BuildJobFrame() {
    QWidget* f = Frm_Job[0];
    Chk_syori[0] = MakeCheck(f, QStringLiteral("Chk_syori(0)"), QStringLiteral("元のファイル名に付加する"));
    PlaceText(Chk_syori[0], 120, 240, 2475, 195);
    Chk_syori[1] = MakeCheck(f, QStringLiteral("Chk_syori(1)"), QStringLiteral("文字列の置換"));
    Chk_syori[1]->setToolTip(QStringLiteral("※使用時にはヘルプの注意事項を読んで下さい"));
    PlaceText(Chk_syori[1], 120, 480, 2475, 195);
    MakeBlue(Chk_syori[0]);
    MakeBlue(Chk_syori[1]);

    Label2 = MakeLabel(f, QStringLiteral("Label2"), QStringLiteral("固定文字列（前半部）"));
    PlaceText(Label2, 120, 780, 1695, 195);
    Txt_B_text = Make<QLineEdit>(f, QStringLiteral("Txt_B_text"));
    PlaceText(Txt_B_text, 120, 960, 2475, 285);
    Label3 = MakeLabel(f, QStringLiteral("Label3"), QStringLiteral("固定文字列（後半部）"));
    PlaceText(Label3, 120, 1260, 1695, 195);
    Txt_A_text = Make<QLineEdit>(f, QStringLiteral("Txt_A_text"));
    PlaceText(Txt_A_text, 120, 1440, 2475, 285);

    Line1 = Make<QFrame>(f, QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    Place(Line1, 60, 1800 - 15, 2640 - 60, 30);

    Chk_keta_lock = MakeCheck(f, QStringLiteral("Chk_keta_lock"), QStringLiteral("桁数を固定する"));
    Chk_keta_lock->setChecked(true);
    MakeBlue(Chk_keta_lock);
    PlaceText(Chk_keta_lock, 120, 1860, 1755, 195);
    Opt_Han = MakeOption(f, QStringLiteral("Opt_Han"), QStringLiteral("半角"));
    Opt_Han->setChecked(true);
    PlaceText(Opt_Han, 1920, 1860, 675, 195);
    Opt_Zen = MakeOption(f, QStringLiteral("Opt_Zen"), QStringLiteral("全角"));
    PlaceText(Opt_Zen, 1920, 2100, 675, 195);

    Label4 = MakeLabel(f, QStringLiteral("Label4"), QStringLiteral("桁数"));
    PlaceText(Label4, 120, 2400, 375, 195);
    Lbl_keta = MakeLabel(f, QStringLiteral("Lbl_keta"), QStringLiteral("1"));
    MakeValueLabel(Lbl_keta);
    Place(Lbl_keta, 540, 2340, 435, 255);
    UpDown_Keta = Make<UpDownControl>(f, QStringLiteral("UpDown_Keta"));
    UpDown_Keta->SetRange(1, 10);
    UpDown_Keta->SetValue(1);
    Place(UpDown_Keta, 960, 2340, 240, 255);

    Label5 = MakeLabel(f, QStringLiteral("Label5"), QStringLiteral("増分"));
    PlaceText(Label5, 1380, 2400, 375, 195);
    Lbl_up = MakeLabel(f, QStringLiteral("Lbl_up"), QStringLiteral("1"));
    Lbl_up->setToolTip(QStringLiteral("ダブルクリックで、１に戻ります。"));
    MakeValueLabel(Lbl_up);
    Place(Lbl_up, 1800, 2340, 495, 255);
    UpDown_Zoubun = Make<UpDownControl>(f, QStringLiteral("UpDown_Zoubun"));
    // Only its clicks count; the value is kept off the ends so both arrows work.
    UpDown_Zoubun->SetRange(-1, 1);
    Place(UpDown_Zoubun, 2280, 2340, 240, 255);

    Label6 = MakeLabel(f, QStringLiteral("Label6"), QStringLiteral("開始番号"));
    PlaceText(Label6, 120, 2700, 735, 195);
    Txt_Startnum = MakeNumberBox(f, QStringLiteral("Txt_Startnum"), QStringLiteral("1"), 10);
    PlaceText(Txt_Startnum, 900, 2640, 1695, 285);
}

void Frm_Main::BuildDestinationFrame() {
    QWidget* f = Frame3;
    A_Drive = Make<DriveListBox>(f, QStringLiteral("A_Drive"));
    PlaceText(A_Drive, 120, 240, 2655, 300);
    Com_Makefolder =
        MakePictureButton(f, QStringLiteral("Com_Makefolder"), QStringLiteral(":/zvnum/newfolder.svg"),
                          QStringLiteral("新しいフォルダを作成します"));
    Place(Com_Makefolder, 2820, 240, 315, 315);
    A_Dir = Make<DirListBox>(f, QStringLiteral("A_Dir"));
    Place(A_Dir, 120, 600, 3015, 2190);
    Opt_Cpymov[0] = MakeOption(f, QStringLiteral("Opt_Cpymov(0)"), QStringLiteral("コピーする"));
    Opt_Cpymov[0]->setChecked(true);
    PlaceText(Opt_Cpymov[0], 180, 2880, 1215, 195);
    Opt_Cpymov[1] = MakeOption(f, QStringLiteral("Opt_Cpymov(1)"), QStringLiteral("移動する"));
    PlaceText(Opt_Cpymov[1], 1500, 2880, 1215, 195);
    Opt_Cpymov[0]->setEnabled(false);
    Opt_Cpymov[1]->setEnabled(false);
}

void Frm_Main::BuildTimeStampFrame() {
    QWidget* f = Frame4;
    Chk_DateLock = MakeCheck(f, QStringLiteral("Chk_DateLock"), QStringLiteral("日付を固定する"));
    MakeBlue(Chk_DateLock);
    PlaceText(Chk_DateLock, 120, 300, 1695, 195);
    Cmd_Now = MakeButton(f, QStringLiteral("Cmd_Now"), QStringLiteral("Now"),
                         QStringLiteral("現在の日付・時間にします"));
    Cmd_Now->setEnabled(false);
    Place(Cmd_Now, 1980, 180, 615, 315);

    struct Unit {
        QLabel** label;
        const char* name;
        const char16_t* caption;
        int left;
    };
    const Unit units[] = {
        {&Label10, "Label10", u"年", 180},  {&Label11, "Label11", u"月", 660},
        {&Label12, "Label12", u"日", 1020}, {&Label13, "Label13", u"時", 1500},
        {&Label14, "Label14", u"分", 1860}, {&Label15, "Label15", u"秒", 2220},
    };
    for (const Unit& u : units) {
        *u.label = MakeLabel(f, QString::fromLatin1(u.name), QString::fromUtf16(u.caption));
        PlaceText(*u.label, u.left, 540, 195, 195);
    }

    struct Box {
        QLineEdit** box;
        const char* name;
        const char* text;
        int maxLength;
        int left;
        int width;
    };
    const Box boxes[] = {
        {&Txt_YY, "Txt_YY", "9999", 4, 120, 495}, {&Txt_MM, "Txt_MM", "99", 2, 660, 315},
        {&Txt_DD, "Txt_DD", "99", 2, 1020, 315},  {&Txt_H, "Txt_H", "99", 2, 1500, 315},
        {&Txt_M, "Txt_M", "99", 2, 1860, 315},    {&Txt_S, "Txt_S", "99", 2, 2220, 315},
    };
    for (const Box& b : boxes) {
        *b.box = MakeNumberBox(f, QString::fromLatin1(b.name), QString::fromLatin1(b.text), b.maxLength);
        (*b.box)->setEnabled(false);
        PlaceText(*b.box, b.left, 780, b.width, 270);
    }

    Chk_Attrib = MakeCheck(f, QStringLiteral("Chk_Attrib"), QStringLiteral("属性を固定する"));
    MakeBlue(Chk_Attrib);
    PlaceText(Chk_Attrib, 120, 1140, 1755, 195);
    const char16_t* captions[] = {u"書き込み禁止", u"隠しファイル", u"システムファイル", u"アーカイブ"};
    const int widths[] = {1515, 2175, 2115, 2175};
    for (int i = 0; i < 4; ++i) {
        Chk_Att_Set[i] =
            MakeCheck(f, QStringLiteral("Chk_Att_Set(%1)").arg(i), QString::fromUtf16(captions[i]));
        Chk_Att_Set[i]->setEnabled(false);
        PlaceText(Chk_Att_Set[i], 360, 1380 + 240 * i, widths[i], 195);
    }
}

void Frm_Main::BuildBottomRow() {
    Cmd_Test = MakeButton(this, QStringLiteral("Cmd_Test"), QStringLiteral("テスト開始(&T)"),
                          QStringLiteral("変換テストを開始します"));
    Place(Cmd_Test, 8160, 3300, 1335, 315);
    Label9 = MakeLabel(this, QStringLiteral("Label9"), QStringLiteral("変換実行テスト"));
    PlaceText(Label9, 6240, 3360, 1275, 255);
    Lst_Kekka = Make<QListWidget>(this, QStringLiteral("Lst_Kekka"));
    Lst_Kekka->setSelectionMode(QAbstractItemView::SingleSelection);
    {
        QPalette p = Lst_Kekka->palette();
        p.setColor(QPalette::Base, Qt::blue);
        p.setColor(QPalette::Text, Qt::yellow);
        Lst_Kekka->setPalette(p);
    }
    Place(Lst_Kekka, 6240, 3600, 3255, 1320);
    Cmd_About =
        MakePictureButton(this, QStringLiteral("Cmd_About"), QStringLiteral(":/zvnum/information.svg"),
                          QStringLiteral("バージョン情報を表示します"));
    Place(Cmd_About, 6240, 5040, 375, 375);
    Cmd_Help = MakePictureButton(this, QStringLiteral("Cmd_Help"), QStringLiteral(":/zvnum/help.svg"),
                                 QStringLiteral("ヘルプを表示します"));
    Place(Cmd_Help, 6660, 5040, 375, 375);
    Cmd_Run = MakeButton(this, QStringLiteral("Cmd_Run"), QStringLiteral("開　　始(&R)"),
                         QStringLiteral("変換を開始します"));
    // The button row keeps its places; the start button gives up the room
    // at its right end to 元に戻す.
    Place(Cmd_Run, 7080, 5040, 1995, 375);
    Cmd_Undo = MakePictureButton(this, QStringLiteral("Cmd_Undo"), QStringLiteral(":/zvnum/undo.svg"),
                                 QStringLiteral("直前の変換処理を元に戻します (Ctrl+Z)"));
    Place(Cmd_Undo, 9120, 5040, 375, 375);
    Lbl_Msgdsp = MakeLabel(this, QStringLiteral("Lbl_Msgdsp"), QString());
    MakeBlue(Lbl_Msgdsp);
    PlaceText(Lbl_Msgdsp, 60, 5640, 9435, 255);
    Cmd_Test->setEnabled(false);
    Cmd_Run->setEnabled(false);
}

}  // namespace zv
