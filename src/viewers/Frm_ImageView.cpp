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
}

double Frm_ImageView::TwipsPerPixel() const {
    const QScreen* s = ScreenOf(this);
    return zv::ImageViewLayout::TwipsPerPixel(s ? s->logicalDotsPerInchX() : 96.0);
}

void Frm_ImageView::SetOuterSize(QSizeF twips) {
    const double t = TwipsPerPixel();
    // The outer size includes the frame; Qt sizes the inside.
    frame_ = frameGeometry().size() - geometry().size();
    resize(std::max(1, int(std::lround(twips.width() / t)) - frame_.width()),
           std::max(1, int(std::lround(twips.height() / t)) - frame_.height()));
    windowTwips_ = twips;
}

void Frm_ImageView::FitFrame() {
    if (!isVisible() || frameGeometry().size() - geometry().size() == frame_) return;
    SetOuterSize(windowTwips_);
    Centre();
}

void Frm_ImageView::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    FitFrame();
}

void Frm_ImageView::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    FitFrame();
}

void Frm_ImageView::Centre() {
    if (const QScreen* s = ScreenOf(this)) {
        const QRect area = s->geometry();
        move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    }
}

void Frm_ImageView::Form_Load() {
    loaded_ = true;
    const QString path = QString::fromStdU16String(Valiable::PreviewFilePath);
    setWindowTitle(QStringLiteral("イメージビュアー( ") + path + QStringLiteral(" )"));

    const QScreen* screen = ScreenOf(this);
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    const double t = zv::ImageViewLayout::TwipsPerPixel(dpi);
    const auto picture = zv::PictureLoader::Load(Valiable::PreviewFilePath, dpi);
    std::optional<QSizeF> window;
    if (picture) {
        const QSizeF screenTwips =
            screen ? QSizeF(screen->geometry().width() * t, screen->geometry().height() * t)
                   : QSizeF(1e9, 1e9);
        window = zv::ImageViewLayout::WindowSize(picture->twips, screenTwips);
    }
    if (!window) {
        messages_.Show(u"このファイルは表示できません。", zv::kOkOnly, u"読み込みエラー");
        return;
    }
    Image1->setPixmap(QPixmap::fromImage(picture->image));
    Image1->resize(picture->image.size());
    SetOuterSize(*window);
}

int Frm_ImageView::exec() {
    if (!loaded_) Form_Load();
    Centre();
    return QDialog::exec();
}
