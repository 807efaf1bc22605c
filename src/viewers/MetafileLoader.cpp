#include "viewers/MetafileLoader.h"

#include <QPainter>
#include <cmath>

#include "viewers/MetafileDc.h"
#include "viewers/MetafileEmfPlayer.h"
#include "viewers/MetafileWmfPlayer.h"

namespace zv {
namespace {

constexpr double kMaxTwips = 2147483647.0;

QSize CanvasSize(QSizeF twips, double dpi, QSize maxCanvas) {
    auto side = [&](double t, int maxSide) {
        const double px = std::ceil(t * dpi / 1440.0 - 1e-6);
        // At least one pixel, so even an empty picture is played and checked.
        return int(std::clamp(px, 1.0, double(std::max(1, maxSide))));
    };
    return QSize(side(twips.width(), maxCanvas.width()), side(twips.height(), maxCanvas.height()));
}

bool SaneTwips(QSizeF t) {
    return std::isfinite(t.width()) && std::isfinite(t.height()) && t.width() >= 0 && t.height() >= 0 &&
           t.width() <= kMaxTwips && t.height() <= kMaxTwips;
}

QImage BlankCanvas(QSizeF twips, double dpi, QSize maxCanvas) {
    QImage image(CanvasSize(twips, dpi, maxCanvas), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// One metafile on its canvas, with the player that carries on drawing it.
class Playing : public MetafileLoader::Drawing {
  public:
    // data keeps kMetafilePadding zero bytes behind size bytes of metafile.
    Playing(QByteArray data, size_t size) : data_(std::move(data)), size_(size) {}
    ~Playing() override { Stop(); }

    MetafileBytes File() const { return {reinterpret_cast<const uint8_t*>(data_.constData()), size_}; }

    // The canvas for a picture of the given natural size, and the painter on it.
    MetafileDc& Begin(QSizeF twips, QImage canvas, const QTransform& deviceToCanvas,
                      double devicePixelsPerMm) {
        twips_ = twips;
        image_ = std::move(canvas);
        painter_.begin(&image_);
        painter_.setRenderHint(QPainter::Antialiasing);
        dc_.emplace(painter_, deviceToCanvas, image_.size(), devicePixelsPerMm);
        return *dc_;
    }
    void Play(std::unique_ptr<MetafileEmfPlayer> emf, std::unique_ptr<MetafileWmfPlayer> wmf) {
        emf_ = std::move(emf);
        wmf_ = std::move(wmf);
    }

    MetafilePlay Continue(const QDeadlineTimer& deadline) override {
        if (state_ != MetafilePlay::kMore) return state_;
        state_ = emf_ ? emf_->Play(deadline) : wmf_ ? wmf_->Play(deadline) : MetafilePlay::kBroken;
        if (state_ != MetafilePlay::kMore) Stop();
        return state_;
    }

  private:
    void Stop() {
        emf_.reset();
        wmf_.reset();
        dc_.reset();
        if (painter_.isActive()) painter_.end();
    }

    QByteArray data_;
    size_t size_;
    QPainter painter_;
    std::optional<MetafileDc> dc_;
    std::unique_ptr<MetafileEmfPlayer> emf_;
    std::unique_ptr<MetafileWmfPlayer> wmf_;
    MetafilePlay state_ = MetafilePlay::kMore;
};

bool StartEmf(Playing& playing, double dpi, QSize maxCanvas) {
    const MetafileBytes file = playing.File();
    const auto header = MetafileEmfPlayer::ReadHeader(file);
    if (!header) return false;
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
    if (!SaneTwips(twips)) return false;

    const QTransform deviceToCanvas = QTransform::fromScale(100 / pxPerMmX, 100 / pxPerMmY) *
                                      QTransform::fromTranslate(-frame.left(), -frame.top()) *
                                      QTransform::fromScale(dpi / 2540.0, dpi / 2540.0);
    MetafileDc& dc = playing.Begin(twips, BlankCanvas(twips, dpi, maxCanvas), deviceToCanvas, pxPerMmX);
    playing.Play(std::make_unique<MetafileEmfPlayer>(file, dc), nullptr);
    return true;
}

bool StartWmf(Playing& playing, double dpi, QSize maxCanvas) {
    const MetafileBytes file = playing.File();
    const auto header = MetafileWmfPlayer::ReadHeader(file);
    if (!header) return false;
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
        return false;
    }
    if (!SaneTwips(twips)) return false;

    MetafileDc& dc = playing.Begin(twips, BlankCanvas(twips, dpi, maxCanvas), QTransform(), 96 / 25.4);
    dc.FitWindowTo(QSizeF(twips.width() * dpi / 1440, twips.height() * dpi / 1440));
    dc.S().windowOrg = origin;
    dc.S().windowExt = extent;
    playing.Play(nullptr, std::make_unique<MetafileWmfPlayer>(file, *header, dc));
    return true;
}

}  // namespace

MetafileLoader::Kind MetafileLoader::Detect(const QByteArray& data) {
    const MetafileBytes b{reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size())};
    if (b.U32(0) == 1 && b.U32(40) == 0x464D4520) return Kind::kEmf;
    if (b.U32(0) == 0x9AC6CDD7) return Kind::kWmf;
    if ((b.U16(0) == 1 || b.U16(0) == 2) && b.U16(2) == 9) return Kind::kWmf;
    return Kind::kNone;
}

std::unique_ptr<MetafileLoader::Drawing> MetafileLoader::Start(const QByteArray& data, double dotsPerInch,
                                                               QSize maxCanvas) {
    const Kind kind = Detect(data);
    if (!(dotsPerInch > 0) || kind == Kind::kNone) return nullptr;
    QByteArray padded = data;
    padded.append(qsizetype(kMetafilePadding), '\0');
    auto playing = std::make_unique<Playing>(std::move(padded), size_t(data.size()));
    const bool started = kind == Kind::kEmf ? StartEmf(*playing, dotsPerInch, maxCanvas)
                                            : StartWmf(*playing, dotsPerInch, maxCanvas);
    if (!started) return nullptr;
    return playing;
}

std::optional<MetafileLoader::Picture> MetafileLoader::Load(const QByteArray& data, double dotsPerInch,
                                                            int maxCanvasSide) {
    if (maxCanvasSide < 1) return std::nullopt;
    auto drawing = Start(data, dotsPerInch, QSize(maxCanvasSide, maxCanvasSide));
    if (!drawing || drawing->Continue(QDeadlineTimer(QDeadlineTimer::Forever)) != MetafilePlay::kEnd)
        return std::nullopt;
    return Picture{drawing->Twips(), drawing->Image()};
}

}  // namespace zv
