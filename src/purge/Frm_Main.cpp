#include "purge/Frm_Main.h"

#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <cmath>

namespace zv::purge {

Frm_Main::Frm_Main(MessageBoxService& messages, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      remover_(messages) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen && screen->logicalDotsPerInch() > 0) dpi_ = screen->logicalDotsPerInch();

    setObjectName(QStringLiteral("Frm_Main"));
    setWindowTitle(QStringLiteral("「Zorvik」レジストリ削除"));
    setFixedSize(ToPixels(kWidthTwips), ToPixels(kHeightTwips));

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setText(QStringLiteral("「Zorvik」で使用している情報を削除します。"));
    QFont gothic;
    gothic.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
                        QStringLiteral("Noto Sans Mono CJK JP")});
    gothic.setStyleHint(QFont::Monospace);
    gothic.setPointSize(9);
    Label1->setFont(gothic);
    Label1->setGeometry(ToPixels(0), ToPixels(120), ToPixels(4755), ToPixels(255));

    Cmd_Exec = new QPushButton(QStringLiteral("実行(&R)"), this);
    Cmd_Exec->setObjectName(QStringLiteral("Cmd_Exec"));
    Cmd_Exec->setGeometry(ToPixels(2400), ToPixels(480), ToPixels(1035), ToPixels(375));

    Cmd_Cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    Cmd_Cancel->setObjectName(QStringLiteral("Cmd_Cancel"));
    Cmd_Cancel->setGeometry(ToPixels(3540), ToPixels(480), ToPixels(1035), ToPixels(375));

    setTabOrder(Cmd_Exec, Cmd_Cancel);
    Cmd_Exec->setFocus();

    connect(Cmd_Exec, &QPushButton::clicked, this, &Frm_Main::Cmd_Exec_Click);
    connect(Cmd_Cancel, &QPushButton::clicked, this, &Frm_Main::Cmd_Cancel_Click);

    if (screen) move(screen->availableGeometry().center() - rect().center());
}

int Frm_Main::ToPixels(int twips) const { return static_cast<int>(std::lround(twips * dpi_ / 1440.0)); }

void Frm_Main::Cmd_Exec_Click() {
    lastOutcome_ = remover_.Run();
    // Only a No keeps the window, so the user may ask again.
    if (lastOutcome_ != SettingsRemover::Outcome::Declined) close();
}

void Frm_Main::Cmd_Cancel_Click() { close(); }

}  // namespace zv::purge
