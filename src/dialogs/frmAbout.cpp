#include "frmAbout.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "DialogMetrics.h"

#ifndef ZV_VERSION_MAJOR
#error "ZV_VERSION_MAJOR comes from the top CMakeLists (ZVNUM_VERSION)"
#endif

namespace zv::dialogs {

namespace {

// How to reach the people behind the program (Lbl_Owner), one per line. The
// addresses come from the build; a made-up one would send users nowhere.
constexpr char16_t kOwnerName[] = u"Zorvik 開発チーム";
constexpr char16_t kOwnerMail[] = ZV_OWNER_MAIL;
constexpr char16_t kOwnerHome[] = ZV_OWNER_HOME;
constexpr char16_t kNoMail[] = u"連絡先: このプログラムの入手先";
constexpr char16_t kNoHome[] = u"（配布元にお問い合わせ下さい）";

QFont UiFont(double points, bool bold = false) {
    QFont font = QApplication::font();
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

}  // namespace

QString VersionCaption(int major, int minor) { return QStringLiteral("ﾊﾞｰｼﾞｮﾝ %1.%2").arg(major).arg(minor); }

int ProgramMajorVersion() { return ZV_VERSION_MAJOR; }
int ProgramMinorVersion() { return ZV_VERSION_MINOR; }

frmAbout::frmAbout(SysInfoPlatform& platform, MessageBoxService& messages, QWidget* parent)
    : QDialog(parent), platform_(platform), messages_(messages) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(Twips(5355), Twips(3090));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    Place(cmdOK, 3840, 2640, 1425, 405);

    picIcon = MakeLabel(this, "picIcon", {});
    const QIcon icon = QApplication::windowIcon().isNull() ? style()->standardIcon(QStyle::SP_ComputerIcon)
                                                           : QApplication::windowIcon();
    picIcon->setPixmap(icon.pixmap(Twips(480), Twips(480)));
    Place(picIcon, 240, 345, 480, 480);

    cmdSysInfo = new QPushButton(QStringLiteral("ｼｽﾃﾑ情報(&S)..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setAutoDefault(false);
    Place(cmdSysInfo, 3840, 2220, 1425, 405);

    lblDescription =
        MakeLabel(this, "lblDescription", QStringLiteral("作者の許可なく複製・転載することを禁じます。"));
    Place(lblDescription, 945, 990, 3885, 210);

    lblDisclaimer =
        MakeLabel(this, "lblDisclaimer",
                  QStringLiteral("このソフトウェアは著作権法および国際条約により保護されています。"));
    lblDisclaimer->setFont(UiFont(8.25));
    Place(lblDisclaimer, 120, 1680, 5130, 165);

    lblTitle = MakeLabel(this, "lblTitle", {});
    lblTitle->setFont(UiFont(20.25));
    lblTitle->setStyleSheet(QStringLiteral("color: blue;"));
    Place(lblTitle, 960, 345, 1365, 480);

    lblVersion = MakeLabel(this, "lblVersion", QStringLiteral("ﾊﾞｰｼﾞｮﾝ"));
    lblVersion->setFont(UiFont(14.25, true));
    Place(lblVersion, 2340, 465, 1785, 345);

    Label1 = MakeLabel(this, "Label1", QStringLiteral("ご意見・不具合のご連絡は下記までお寄せ下さい。"));
    Place(Label1, 120, 1920, 5115, 195);

    Label2 = MakeLabel(this, "Label2", QStringLiteral("ファイル名連番ソフト"));
    Label2->setFont(UiFont(8.25));
    Place(Label2, 960, 150, 2280, 165);

    Lbl_Owner = MakeLabel(this, "Lbl_Owner", {});
    Lbl_Owner->setStyleSheet(QStringLiteral("color: blue;"));
    Lbl_Owner->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Lbl_Owner->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Place(Lbl_Owner, 180, 2400, 3555, 555);

    // An etched separator: a grey line with a white one just below it.
    Line1_1 = new QFrame(this);
    Line1_1->setObjectName(QStringLiteral("Line1_1"));
    Line1_1->setStyleSheet(QStringLiteral("background: rgb(128,128,128);"));
    Line1_1->setGeometry(Twips(60), Twips(1560), Twips(5280 - 60), 1);
    Line1_0 = new QFrame(this);
    Line1_0->setObjectName(QStringLiteral("Line1_0"));
    Line1_0->setStyleSheet(QStringLiteral("background: white;"));
    Line1_0->setGeometry(Twips(60), Twips(1560) + 1, Twips(5280 - 60), 1);

    setTabOrder(cmdOK, cmdSysInfo);

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    Form_Load();
    for (QLabel* text : {lblDescription, lblDisclaimer, lblTitle, lblVersion, Label1, Label2, Lbl_Owner})
        FitText(text);
}

void frmAbout::Form_Load() {
    setWindowTitle(QStringLiteral("Zorvikのﾊﾞｰｼﾞｮﾝ情報"));
    lblVersion->setText(VersionCaption(ProgramMajorVersion(), ProgramMinorVersion()));
    lblTitle->setText(QStringLiteral("Zorvik"));
    const std::u16string_view mail = kOwnerMail, home = kOwnerHome;
    Lbl_Owner->setText(QString::fromStdU16String(std::u16string(kOwnerName) + u"\n" +
                                                 std::u16string(mail.empty() ? kNoMail : mail) + u"\n" +
                                                 std::u16string(home.empty() ? kNoHome : home)));
}

// Esc is handled by QDialog itself (reject), so Enter, Esc and the close box
// all end the box like OK.
void frmAbout::cmdOK_Click() { accept(); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(platform_, messages_); }

void ShowAboutBox(SysInfoPlatform& platform, MessageBoxService& messages, QWidget* owner) {
    frmAbout box(platform, messages, owner);
    box.exec();
}

}  // namespace zv::dialogs
