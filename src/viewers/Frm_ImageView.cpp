#include "viewers/Frm_ImageView.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cmath>

#include "shared/MessageBox.h"
#include "shared/Valiable.h"
#include "viewers/ImageViewLayout.h"
#include "viewers/PictureLoader.h"

namespace {

constexpr double kDesignWidth = 4680;  // client area, twips
constexpr double kDesignHeight = 3195;
// How long the window waits for a metafile's drawing before it shows what is
// drawn so far, how long each later slice of drawing runs, and how often the
// growing picture is shown again.
constexpr int kFirstDrawMs = 1800;
constexpr int kSliceMs = 30;
constexpr int kShowEveryMs = 250;

QScreen* ScreenOf(const QWidget* w) {
    QScreen* s = w->screen();
    return s ? s : QGuiApplication::primaryScreen();
}

}  // namespace

Frm_ImageView::Frm_ImageView(zv::MessageBoxService& messages, QWidget* parent)
    : QDialog(parent), messages_(messages) {
    setWindowTitle(QStringLiteral("イメージビュアー"));
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    const double t = TwipsPerPixel();
    Image1->setGeometry(int(std::lround(15 / t)), int(std::lround(30 / t)), int(std::lround(675 / t)),
                        int(std::lround(675 / t)));
    resize(int(std::lround(kDesignWidth / t)), int(std::lround(kDesignHeight / t)));
    windowTwips_ = QSizeF(kDesignWidth, kDesignHeight);
    drawTimer_.setInterval(0);
    connect(&drawTimer_, &QTimer::timeout, this, &Frm_ImageView::DrawMore);
}

double Frm_ImageView::TwipsPerPixel() const {
    const QScreen* s = ScreenOf(this);
    return zv::ImageViewLayout::TwipsPerPixel(s ? s->logicalDotsPerInchX() : 96.0);
}

void Frm_ImageView::SetOuterSize(QSizeF twips) {
    const double t = TwipsPerPixel();
    // The outer size includes the frame; Qt sizes the inside.
    const QSize frame = frameGeometry().size() - geometry().size();
    resize(std::max(1, int(std::lround(twips.width() / t)) - frame.width()),
           std::max(1, int(std::lround(twips.height() / t)) - frame.height()));
    windowTwips_ = twips;
}

void Frm_ImageView::Form_Load() {
    loaded_ = true;
    const QString path = QString::fromStdU16String(Valiable::PreviewFilePath);
    setWindowTitle(QStringLiteral("イメージビュアー( ") + path + QStringLiteral(" )"));

    const QScreen* screen = ScreenOf(this);
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    const double t = zv::ImageViewLayout::TwipsPerPixel(dpi);
    // The picture is drawn only as far as the screen lets it be seen.
    auto picture =
        zv::PictureLoader::Open(Valiable::PreviewFilePath, dpi, screen ? screen->geometry().size() : QSize());
    zv::MetafilePlay drawn = zv::MetafilePlay::kEnd;
    if (picture && picture->drawing) drawn = picture->drawing->Continue(QDeadlineTimer(kFirstDrawMs));
    if (drawn == zv::MetafilePlay::kBroken) picture.reset();
    std::optional<QSizeF> window;
    if (picture) {
        const QSizeF screenTwips =
            screen ? QSizeF(screen->geometry().width() * t, screen->geometry().height() * t)
                   : QSizeF(1e9, 1e9);
        window = zv::ImageViewLayout::WindowSize(picture->picture.twips, screenTwips);
    }
    if (!window) {
        messages_.Show(u"このファイルは表示できません。", zv::kOkOnly, u"読み込みエラー");
        return;
    }
    SetOuterSize(*window);
    if (!picture->drawing) {
        Image1->setPixmap(QPixmap::fromImage(picture->picture.image));
        Image1->resize(picture->picture.image.size());
        return;
    }
    drawing_ = std::move(picture->drawing);
    ShowDrawn();
    // Still drawing: carry on between events. A record found broken later
    // ends the drawing; what was drawn stays shown.
    if (drawn == zv::MetafilePlay::kMore)
        drawTimer_.start();
    else
        drawing_.reset();
}

void Frm_ImageView::ShowDrawn() {
    const QImage& image = drawing_->Image();
    Image1->setPixmap(QPixmap::fromImage(image.copy()));
    Image1->resize(image.size());
    sinceShown_.start();
}

void Frm_ImageView::DrawMore() {
    if (!drawing_) return;
    const bool more = drawing_->Continue(QDeadlineTimer(kSliceMs)) == zv::MetafilePlay::kMore;
    if (!more || sinceShown_.elapsed() >= kShowEveryMs) ShowDrawn();
    if (!more) {
        drawTimer_.stop();
        drawing_.reset();
    }
}

void Frm_ImageView::done(int result) {
    drawTimer_.stop();
    drawing_.reset();
    QDialog::done(result);
}

int Frm_ImageView::exec() {
    if (!loaded_) Form_Load();
    if (const QScreen* s = ScreenOf(this)) {
        const QRect area = s->geometry();
        move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    }
    return QDialog::exec();
}
