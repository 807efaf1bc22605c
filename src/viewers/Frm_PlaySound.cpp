#include "viewers/Frm_PlaySound.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>

#include "shared/MessageBox.h"
#include "shared/Valiable.h"

namespace {

double TwipsPerPixel(const QWidget* w) {
    const QScreen* s = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    return 1440.0 / (s ? s->logicalDotsPerInchX() : 96.0);
}

QRect Twips(const QWidget* w, double left, double top, double width, double height) {
    const double t = TwipsPerPixel(w);
    return QRect(int(std::lround(left / t)), int(std::lround(top / t)), int(std::lround(width / t)),
                 int(std::lround(height / t)));
}

}  // namespace

Frm_PlaySound::Frm_PlaySound(zv::MessageBoxService& messages, zv::AudioOutput& output, QWidget* parent,
                             std::string soundFont)
    : QDialog(parent), messages_(messages), sequencer_(output, std::move(soundFont)) {
    setWindowTitle(QStringLiteral("MIDI プレイヤー"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(Twips(this, 0, 0, 4785, 990).size());

    Cmd_Play = new QPushButton(QStringLiteral("再生"), this);
    Cmd_Play->setObjectName(QStringLiteral("Cmd_Play"));
    Cmd_Play->setGeometry(Twips(this, 3000, 480, 855, 435));
    Cmd_Stop = new QPushButton(QStringLiteral("停止"), this);
    Cmd_Stop->setObjectName(QStringLiteral("Cmd_Stop"));
    Cmd_Stop->setGeometry(Twips(this, 3900, 480, 795, 435));
    Lbl_PlayFIle = new QLabel(QStringLiteral("Label1"), this);
    Lbl_PlayFIle->setObjectName(QStringLiteral("Lbl_PlayFIle"));
    Lbl_PlayFIle->setGeometry(Twips(this, 60, 60, 4635, 315));
    Lbl_PlayFIle->setFrameStyle(QFrame::Box | QFrame::Plain);
    Lbl_PlayFIle->setAutoFillBackground(true);
    QPalette palette = Lbl_PlayFIle->palette();
    palette.setColor(QPalette::Window, QColor(224, 224, 224));
    Lbl_PlayFIle->setPalette(palette);
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPointSizeF(9.75);
    Lbl_PlayFIle->setFont(font);
    setTabOrder(Cmd_Play, Cmd_Stop);

    connect(Cmd_Play, &QPushButton::clicked, this, &Frm_PlaySound::Cmd_Play_Click);
    connect(Cmd_Stop, &QPushButton::clicked, this, &Frm_PlaySound::Cmd_Stop_Click);
}

Frm_PlaySound::~Frm_PlaySound() { Form_Unload(); }

void Frm_PlaySound::ShowFailure() { messages_.Show(u"正常に再生できません", zv::kOkOnly, u"再生エラー"); }

void Frm_PlaySound::Form_Load() {
    loaded_ = true;
    Lbl_PlayFIle->setText(QString::fromStdU16String(Valiable::PreviewFilePath));
    // A failed open shows itself through the play that follows.
    sequencer_.Open(Valiable::PreviewFilePath);
    if (sequencer_.Play() != zv::MidiSequencer::kOk) ShowFailure();
}

void Frm_PlaySound::Cmd_Play_Click() {
    // Reopening is what brings the music back to its beginning.
    sequencer_.Close();
    sequencer_.Open(Valiable::PreviewFilePath);
    if (sequencer_.Play() != zv::MidiSequencer::kOk) ShowFailure();
}

void Frm_PlaySound::Cmd_Stop_Click() {
    if (sequencer_.Stop() != zv::MidiSequencer::kOk) ShowFailure();
}

void Frm_PlaySound::Form_Unload() {
    sequencer_.Stop();
    sequencer_.Close();
}

int Frm_PlaySound::exec() {
    if (!loaded_) Form_Load();
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) {
        move(s->geometry().center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    }
    return QDialog::exec();
}

void Frm_PlaySound::done(int result) {
    Form_Unload();
    QDialog::done(result);
}

void Frm_PlaySound::closeEvent(QCloseEvent* event) {
    Form_Unload();
    QDialog::closeEvent(event);
}
