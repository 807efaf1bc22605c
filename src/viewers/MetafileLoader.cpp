#include "viewers/MetafileLoader.h"

#include <QPainter>
#include <cmath>

#include "viewers/MetafileDc.h"
#include "viewers/MetafileEmfPlayer.h"
#include "viewers/MetafileWmfPlayer.h"

namespace zv {
namespace {

constexpr double kMaxTwips = 2147483647.0;

QSize CanvasSize(QSizeF twips, double dpi, int maxSide) {
    auto side = [&](double t) {
        const double px = std::ceil(t * dpi / 1440.0 - 1e-6);
        // At least one pixel, so even an empty picture is played and checked.
        return int(std::clamp(px, 1.0, double(maxSide)));
    };
    return QSize(side(twips.width()), side(twips.height()));
}

bool SaneTwips(QSizeF t) {
    return std::isfinite(t.width()) && std::isfinite(t.height()) && t.width() >= 0 && t.height() >= 0 &&
           t.width() <= kMaxTwips && t.height() <= kMaxTwips;
}

QImage BlankCanvas(QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

std::optional<MetafileLoader::Picture> LoadEmf(const MetafileBytes& file, double dpi, int maxSide) {
    const auto header = MetafileEmfPlayer::ReadHeader(file);
    if (!header) return std::nullopt;
    double pxPerMmX = 96 / 25.4, pxPerMmY = 96 / 25.4;
    if (header->devicePixels.width() > 0 && header->deviceMillimeters.width() > 0)
        pxPerMmX = double(header->devicePixels.width()) / header->deviceMillimeters.width();
    if (header->devicePixels.height() > 0 && header->deviceMillimeters.height() > 0)
        pxPerMmY = double(header->devicePixels.height()) / header->deviceMillimeters.height();

    // The frame (0.01 mm) is the picture's size; files that leave it empty
    // still carry their bounds in device pixels.
    QRectF frame(QPointF(header->frame.left(), header->frame.top()),
                 QPointF(header->frame.right(), header->frame.bottom()));
    if (frame.width() <= 0 || frame.height() <= 0) {
        const QRect b = header->bounds;
        frame = QRectF(QPointF(b.left() * 100.0 / pxPerMmX, b.top() * 100.0 / pxPerMmY),
                       QPointF((b.right() + 1.0) * 100 / pxPerMmX, (b.bottom() + 1.0) * 100 / pxPerMmY));
    }
    frame = frame.normalized();
    const QSizeF twips(frame.width() * 1440.0 / 2540.0, frame.height() * 1440.0 / 2540.0);
    if (!SaneTwips(twips)) return std::nullopt;

    MetafileLoader::Picture picture{twips, BlankCanvas(CanvasSize(twips, dpi, maxSide))};
    const QTransform deviceToCanvas = QTransform::fromScale(100 / pxPerMmX, 100 / pxPerMmY) *
                                      QTransform::fromTranslate(-frame.left(), -frame.top()) *
                                      QTransform::fromScale(dpi / 2540.0, dpi / 2540.0);
    QPainter painter(&picture.image);
    painter.setRenderHint(QPainter::Antialiasing);
    MetafileDc dc(painter, deviceToCanvas, picture.image.size(), pxPerMmX);
    const bool complete = MetafileEmfPlayer::Play(file, dc);
    painter.end();
    if (!complete) return std::nullopt;
    return picture;
}

std::optional<MetafileLoader::Picture> LoadWmf(const MetafileBytes& file, double dpi, int maxSide) {
    const auto header = MetafileWmfPlayer::ReadHeader(file);
    if (!header) return std::nullopt;
    QPointF origin;
    QSizeF extent;
    QSizeF twips;
    if (header->placeable) {
        const double inch = header->unitsPerInch > 0 ? header->unitsPerInch : 1440;
        origin = QPointF(header->bounds.left(), header->bounds.top());
        extent = QSizeF(double(header->bounds.right()) - header->bounds.left(),
                        double(header->bounds.bottom()) - header->bounds.top());
        twips = QSizeF(std::abs(extent.width()) * 1440 / inch, std::abs(extent.height()) * 1440 / inch);
    } else if (header->windowExt) {
        // Without a placeable header nothing says how large a unit is; the
        // window is then taken in screen pixels of 1/96 inch.
        origin = header->windowOrg.value_or(QPoint(0, 0));
        extent = QSizeF(*header->windowExt);
        twips = QSizeF(std::abs(extent.width()) * 15, std::abs(extent.height()) * 15);
    } else {
        return std::nullopt;
    }
    if (!SaneTwips(twips)) return std::nullopt;

    MetafileLoader::Picture picture{twips, BlankCanvas(CanvasSize(twips, dpi, maxSide))};
    QPainter painter(&picture.image);
    painter.setRenderHint(QPainter::Antialiasing);
    MetafileDc dc(painter, QTransform(), picture.image.size(), 96 / 25.4);
    dc.FitWindowTo(QSizeF(twips.width() * dpi / 1440, twips.height() * dpi / 1440));
    dc.S().windowOrg = origin;
    dc.S().windowExt = extent;
    const bool complete = MetafileWmfPlayer::Play(file, *header, dc);
    painter.end();
    if (!complete) return std::nullopt;
    return picture;
}

}  // namespace

MetafileLoader::Kind MetafileLoader::Detect(const QByteArray& data) {
    const MetafileBytes b{reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size())};
    if (b.U32(0) == 1 && b.U32(40) == 0x464D4520) return Kind::kEmf;
    if (b.U32(0) == 0x9AC6CDD7) return Kind::kWmf;
    if ((b.U16(0) == 1 || b.U16(0) == 2) && b.U16(2) == 9) return Kind::kWmf;
    return Kind::kNone;
}

std::optional<MetafileLoader::Picture> MetafileLoader::Load(const QByteArray& data, double dotsPerInch,
                                                            int maxCanvasSide) {
    if (!(dotsPerInch > 0) || maxCanvasSide < 1) return std::nullopt;
    QByteArray padded = data;
    padded.append(qsizetype(kMetafilePadding), '\0');
    const MetafileBytes file{reinterpret_cast<const uint8_t*>(padded.constData()), size_t(data.size())};
    switch (Detect(data)) {
        case Kind::kEmf:
            return LoadEmf(file, dotsPerInch, maxCanvasSide);
        case Kind::kWmf:
            return LoadWmf(file, dotsPerInch, maxCanvasSide);
        default:
            return std::nullopt;
    }
}

}  // namespace zv
