#include "viewers/MetafileDc.h"

#include <unicode/ucnv.h>

#include <QFontMetricsF>
#include <QLineF>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <memory>

namespace zv {
namespace {

// Canvas coordinates beyond this are garbage from a broken file, not drawing.
constexpr double kCoordinateLimit = 1e7;
constexpr size_t kMaxSavedStates = 4096;
constexpr int kMaxClipElements = 20000;
constexpr int kMaxTextLength = 8192;
constexpr int kMaxPathElements = 200000;

// Every figure of a path closed, as filling closes them before it strokes.
QPainterPath Closed(const QPainterPath& path) {
    QPainterPath closed;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
            case QPainterPath::MoveToElement:
                if (i > 0) closed.closeSubpath();
                closed.moveTo(e);
                break;
            case QPainterPath::LineToElement:
                closed.lineTo(e);
                break;
            case QPainterPath::CurveToElement:
                if (i + 2 < path.elementCount())
                    closed.cubicTo(e, path.elementAt(i + 1), path.elementAt(i + 2));
                i += 2;
                break;
            default:
                break;
        }
    }
    closed.closeSubpath();
    return closed;
}

bool Usable(const QTransform& t) {
    const double v[] = {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()};
    return std::all_of(std::begin(v), std::end(v),
                       [](double x) { return std::isfinite(x) && std::abs(x) < 1e12; });
}

bool SaneBounds(const QRectF& r) {
    return std::isfinite(r.left()) && std::isfinite(r.top()) && std::isfinite(r.right()) &&
           std::isfinite(r.bottom()) && std::abs(r.left()) < kCoordinateLimit &&
           std::abs(r.right()) < kCoordinateLimit && std::abs(r.top()) < kCoordinateLimit &&
           std::abs(r.bottom()) < kCoordinateLimit;
}

double Scale(const QTransform& t) { return std::sqrt(std::abs(t.determinant())); }

const char* ConverterFor(int charset) {
    switch (charset) {
        case 0:
            return "windows-1252";  // ANSI
        case 2:
            return "ISO-8859-1";  // SYMBOL: glyph indices, shown as Latin-1
        case 77:
            return "macintosh";
        case 128:
            return "windows-31j";  // SHIFTJIS
        case 129:
            return "windows-949";  // HANGUL
        case 130:
            return "ibm-1361";  // JOHAB
        case 134:
            return "GBK";  // GB2312
        case 136:
            return "Big5";  // CHINESEBIG5
        case 161:
            return "windows-1253";
        case 162:
            return "windows-1254";
        case 163:
            return "windows-1258";
        case 177:
            return "windows-1255";
        case 178:
            return "windows-1256";
        case 186:
            return "windows-1257";
        case 204:
            return "windows-1251";
        case 222:
            return "windows-874";
        case 238:
            return "windows-1250";
        // DEFAULT and OEM mean the system's own code page, Shift-JIS here.
        default:
            return "windows-31j";
    }
}

}  // namespace

MetafileDc::MetafileDc(QPainter& painter, const QTransform& deviceToCanvas, QSize canvas,
                       double devicePixelsPerMm)
    : painter_(painter),
      deviceToCanvas_(deviceToCanvas),
      canvas_(canvas),
      devicePixelsPerMm_(devicePixelsPerMm) {
    state_.font.face = QStringLiteral("Sans Serif");
}

QString MetafileDc::DecodeText(const char* bytes, size_t length, int charset) {
    if (!bytes || length == 0) return {};
    length = std::min<size_t>(length, kMaxTextLength);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, void (*)(UConverter*)> conv(ucnv_open(ConverterFor(charset), &status),
                                                            ucnv_close);
    if (U_FAILURE(status) || !conv) return QString::fromLatin1(bytes, qsizetype(length));
    std::u16string out(length * 2 + 2, u'\0');
    status = U_ZERO_ERROR;
    const int32_t n = ucnv_toUChars(conv.get(), reinterpret_cast<UChar*>(out.data()), int32_t(out.size()),
                                    bytes, int32_t(length), &status);
    if (U_FAILURE(status)) return QString::fromLatin1(bytes, qsizetype(length));
    return QString(reinterpret_cast<const QChar*>(out.data()), n);
}

// ---------------------------------------------------------------- state

void MetafileDc::SaveState() {
    if (saved_.size() < kMaxSavedStates) saved_.push_back(state_);
}

void MetafileDc::RestoreState(int which) {
    size_t target;
    if (which < 0) {
        const size_t back = size_t(-int64_t(which));
        if (back > saved_.size()) return;
        target = saved_.size() - back;
    } else {
        if (which == 0 || size_t(which) > saved_.size()) return;
        target = size_t(which) - 1;
    }
    state_ = saved_[target];
    saved_.resize(target);
}

QTransform MetafileDc::PageTransform() const {
    double sx = 1, sy = 1;
    const State& s = state_;
    if (windowFit_) {
        sx = s.windowExt.width() != 0 ? windowFit_->width() / s.windowExt.width() : 1;
        sy = s.windowExt.height() != 0 ? windowFit_->height() / s.windowExt.height() : 1;
        return QTransform::fromTranslate(-s.windowOrg.x(), -s.windowOrg.y()) * QTransform::fromScale(sx, sy);
    }
    auto fixed = [&](double unitsPerMm) {
        sx = devicePixelsPerMm_ / unitsPerMm;
        sy = -sx;
    };
    switch (s.mapMode) {
        case kLoMetric:
            fixed(10);
            break;
        case kHiMetric:
            fixed(100);
            break;
        case kLoEnglish:
            fixed(100 / 25.4);
            break;
        case kHiEnglish:
            fixed(1000 / 25.4);
            break;
        case kTwips:
            fixed(1440 / 25.4);
            break;
        case kIsotropic:
        case kAnisotropic:
            sx = s.windowExt.width() != 0 ? s.viewportExt.width() / s.windowExt.width() : 1;
            sy = s.windowExt.height() != 0 ? s.viewportExt.height() / s.windowExt.height() : 1;
            if (s.mapMode == kIsotropic) {
                const double m = std::min(std::abs(sx), std::abs(sy));
                sx = std::copysign(m, sx);
                sy = std::copysign(m, sy);
            }
            break;
        default:
            break;
    }
    return QTransform::fromTranslate(-s.windowOrg.x(), -s.windowOrg.y()) * QTransform::fromScale(sx, sy) *
           QTransform::fromTranslate(s.viewportOrg.x(), s.viewportOrg.y());
}

QTransform MetafileDc::LogicalToCanvas() const { return state_.world * PageTransform() * deviceToCanvas_; }

// ---------------------------------------------------------------- objects

QPen MetafileDc::MakePen(uint32_t style, double width, QColor color) {
    QPen pen(color);
    // QPen takes widths below 32768; SafePen narrows them further to the canvas.
    pen.setWidthF(std::isfinite(width) ? std::clamp(width, 0.0, 32767.0) : 0.0);
    switch (style & 0x0F) {
        case 1:
            pen.setStyle(Qt::DashLine);
            break;
        case 2:
            pen.setStyle(Qt::DotLine);
            break;
        case 3:
            pen.setStyle(Qt::DashDotLine);
            break;
        case 4:
            pen.setStyle(Qt::DashDotDotLine);
            break;
        case 5:
            pen.setStyle(Qt::NoPen);
            break;
        default:
            pen.setStyle(Qt::SolidLine);
            break;
    }
    switch (style & 0x0F00) {
        case 0x100:
            pen.setCapStyle(Qt::SquareCap);
            break;
        case 0x200:
            pen.setCapStyle(Qt::FlatCap);
            break;
        default:
            pen.setCapStyle(Qt::RoundCap);
            break;
    }
    switch (style & 0xF000) {
        case 0x1000:
            pen.setJoinStyle(Qt::BevelJoin);
            break;
        case 0x2000:
            pen.setJoinStyle(Qt::MiterJoin);
            break;
        default:
            pen.setJoinStyle(Qt::RoundJoin);
            break;
    }
    return pen;
}

QBrush MetafileDc::MakeBrush(uint32_t style, QColor color, uint32_t hatch) {
    switch (style) {
        case 1:
            return QBrush(Qt::NoBrush);
        case 2: {
            static const Qt::BrushStyle kHatch[] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                                    Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
            return QBrush(color, hatch < 6 ? kHatch[hatch] : Qt::SolidPattern);
        }
        default:
            return QBrush(color);
    }
}

void MetafileDc::Select(const Object& object) {
    switch (object.kind) {
        case Object::kPen:
            state_.pen = object.pen;
            break;
        case Object::kBrush:
            state_.brush = object.brush;
            break;
        case Object::kFont:
            state_.font = object.font;
            break;
        default:
            break;
    }
}

// ---------------------------------------------------------------- drawing

QPen MetafileDc::SafePen(const QTransform& t, const QRectF& bounds) const {
    QPen pen = state_.pen;
    if (pen.style() == Qt::NoPen) return pen;
    // Qt measures the reach from the corner's point, half the miter's length.
    pen.setMiterLimit(state_.miterLimit / 2);
    // The stretch along the longer axis decides how wide the stroke gets.
    const double scale = std::max(std::hypot(t.m11(), t.m12()), std::hypot(t.m21(), t.m22()));
    const double maxWidth = 2.0 * (canvas_.width() + canvas_.height()) + 2;
    if (pen.widthF() * scale > maxWidth && scale > 0) pen.setWidthF(std::min(maxWidth / scale, 32767.0));
    if (pen.widthF() * scale < 1.0) {
        // A zero or hair-thin pen still draws one device pixel, as GDI does.
        pen.setCosmetic(true);
        pen.setWidthF(1.0);
    }
    if (pen.style() != Qt::SolidLine) {
        // Dashes along a line far longer than the canvas cost time for nothing.
        const double dashWidth = std::max(1.0, pen.isCosmetic() ? 1.0 : pen.widthF() * scale);
        if ((bounds.width() + bounds.height()) / dashWidth > 20000) pen.setStyle(Qt::SolidLine);
    }
    return pen;
}

void MetafileDc::ApplyClip() {
    painter_.resetTransform();
    if (state_.clip) {
        painter_.setClipPath(*state_.clip);
    } else {
        painter_.setClipping(false);
    }
}

void MetafileDc::AddToPath(const QPainterPath& shape) {
    if (path_.elementCount() + shape.elementCount() > kMaxPathElements) return;
    path_.addPath(shape);
    havePath_ = true;
    // A figure of its own (a polyline) may still be carried on from its end.
    figureEnd_.reset();
    if (shape.elementCount() > 0) {
        const QPainterPath::Element last = shape.elementAt(shape.elementCount() - 1);
        const QPainterPath::Element first = shape.elementAt(0);
        if (QPointF(last) != QPointF(first) || shape.elementCount() == 1) figureEnd_ = QPointF(last);
    }
}

void MetafileDc::DrawFromCurrent(const QPainterPath& shape) {
    if (!inPath_) {
        Draw(shape, false, true);
        return;
    }
    if (figureEnd_ && *figureEnd_ == state_.current &&
        path_.elementCount() + shape.elementCount() <= kMaxPathElements) {
        path_.connectPath(shape);  // its first point is where the figure ends
        havePath_ = true;
        figureEnd_ = shape.currentPosition();
        return;
    }
    AddToPath(shape);
    figureEnd_ = shape.currentPosition();
}

void MetafileDc::Draw(const QPainterPath& shape, bool fill, bool stroke) {
    if (inPath_) {
        AddToPath(shape);
        return;
    }
    if (state_.ropNop) return;
    const QTransform t = LogicalToCanvas();
    if (!Usable(t)) return;
    const QRectF bounds = t.mapRect(shape.controlPointRect());
    if (!SaneBounds(bounds)) return;
    ApplyClip();
    painter_.setTransform(t);
    painter_.setBackgroundMode(state_.bkMode == kOpaque ? Qt::OpaqueMode : Qt::TransparentMode);
    painter_.setBackground(state_.bkColor);
    if (fill && state_.brush.style() != Qt::NoBrush) {
        QPainterPath filled = shape;
        filled.setFillRule(state_.fillRule);
        const QRectF canvas(QPointF(-2, -2), QSizeF(canvas_) + QSizeF(4, 4));
        if (state_.brush.style() == Qt::SolidPattern && !canvas.contains(bounds) &&
            bounds.width() * bounds.height() > 4 * canvas.width() * canvas.height()) {
            // A shape far larger than the canvas costs the painter its whole
            // size; only the part on the canvas is filled.
            QPainterPath onCanvas;
            onCanvas.addRect(canvas);
            painter_.resetTransform();
            painter_.fillPath(t.map(filled).intersected(onCanvas), state_.brush);
            painter_.setTransform(t);
        } else {
            painter_.fillPath(filled, state_.brush);
        }
    }
    if (stroke) {
        const QPen pen = SafePen(t, bounds);
        if (pen.style() != Qt::NoPen) painter_.strokePath(shape, pen);
    }
}

void MetafileDc::LineTo(QPointF p) {
    QPainterPath path(state_.current);
    path.lineTo(p);
    DrawFromCurrent(path);
    state_.current = p;
}

void MetafileDc::Polyline(const QPolygonF& points) {
    if (points.size() < 2) return;
    QPainterPath path;
    path.addPolygon(points);
    Draw(path, false, true);
}

void MetafileDc::PolylineTo(const QPolygonF& points) {
    if (points.isEmpty()) return;
    QPainterPath path(state_.current);
    for (const QPointF& p : points) path.lineTo(p);
    DrawFromCurrent(path);
    state_.current = points.last();
}

void MetafileDc::Polygon(const QPolygonF& points) {
    if (points.size() < 2) return;
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    Draw(path, true, true);
}

void MetafileDc::PolyPolygon(const std::vector<QPolygonF>& polygons) {
    QPainterPath path;
    for (const QPolygonF& polygon : polygons) {
        if (polygon.size() < 2) continue;
        path.addPolygon(polygon);
        path.closeSubpath();
    }
    Draw(path, true, true);
}

void MetafileDc::PolyBezier(const QPolygonF& points, bool fromCurrent) {
    QPainterPath path;
    qsizetype i = 0;
    if (fromCurrent) {
        path.moveTo(state_.current);
    } else {
        if (points.isEmpty()) return;
        path.moveTo(points[0]);
        i = 1;
    }
    for (; i + 2 < points.size(); i += 3) path.cubicTo(points[i], points[i + 1], points[i + 2]);
    if (fromCurrent) {
        DrawFromCurrent(path);
        state_.current = path.currentPosition();
    } else {
        Draw(path, false, true);
    }
}

void MetafileDc::Rectangle(QRectF r) {
    QPainterPath path;
    path.addRect(r.normalized());
    Draw(path, true, true);
}

void MetafileDc::RoundRect(QRectF r, QSizeF corner) {
    QPainterPath path;
    path.addRoundedRect(r.normalized(), std::abs(corner.width()) / 2, std::abs(corner.height()) / 2);
    Draw(path, true, true);
}

void MetafileDc::Ellipse(QRectF r) {
    QPainterPath path;
    path.addEllipse(r.normalized());
    Draw(path, true, true);
}

void MetafileDc::Arc(QRectF box, QPointF start, QPointF end, int kind) {
    box = box.normalized();
    if (box.width() <= 0 || box.height() <= 0) return;
    const QPointF c = box.center();
    const double rx = box.width() / 2, ry = box.height() / 2;
    // Angles of the radials as the ellipse parameter Qt's arcTo expects.
    auto angle = [&](QPointF p) {
        return qRadiansToDegrees(std::atan2(-(p.y() - c.y()) / ry, (p.x() - c.x()) / rx));
    };
    const double a0 = angle(start);
    double sweep = angle(end) - a0;
    if (state_.clockwise) {
        while (sweep >= 0) sweep -= 360;
    } else {
        while (sweep <= 0) sweep += 360;
    }
    QPainterPath path;
    if (kind == 2) {
        path.moveTo(c);
        path.arcTo(box, a0, sweep);
        path.closeSubpath();
    } else if (kind == 3) {
        path.moveTo(state_.current);
        path.arcTo(box, a0, sweep);
    } else {
        path.arcMoveTo(box, a0);
        path.arcTo(box, a0, sweep);
        if (kind == 1) path.closeSubpath();
    }
    if (kind == 3) {
        DrawFromCurrent(path);
        state_.current = path.currentPosition();
    } else {
        Draw(path, kind == 1 || kind == 2, true);
    }
}

void MetafileDc::AngleArc(QPointF center, double radius, double startDeg, double sweepDeg) {
    if (!std::isfinite(startDeg) || !std::isfinite(sweepDeg)) return;
    sweepDeg = std::clamp(sweepDeg, -3600.0, 3600.0);
    const QRectF box(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius);
    QPainterPath path(state_.current);
    path.arcTo(box, std::fmod(startDeg, 360.0), sweepDeg);
    DrawFromCurrent(path);
    state_.current = path.currentPosition();
}

void MetafileDc::SetPixel(QPointF p, QColor c) {
    const QTransform t = LogicalToCanvas();
    if (!Usable(t) || state_.ropNop || inPath_) return;
    const QPointF d = t.map(p);
    if (!SaneBounds(QRectF(d, QSizeF(1, 1)))) return;
    ApplyClip();
    painter_.fillRect(QRectF(std::floor(d.x()), std::floor(d.y()), 1, 1), c);
}

void MetafileDc::FillRectangle(QRectF r, const QBrush& brush) {
    FillPolygon(QPolygonF(r.normalized()), brush);
}

void MetafileDc::PatternBlit(QRectF r, uint32_t rop) {
    switch (rop) {
        case 0x00000042:  // BLACKNESS
            FillRectangle(r, QBrush(Qt::black));
            break;
        case 0x00FF0062:  // WHITENESS
            FillRectangle(r, QBrush(Qt::white));
            break;
        case 0x00AA0029:  // the destination kept
        case 0x00550009:  // DSTINVERT: left alone; the canvas under it is not yet the ground it inverts
            break;
        default:
            FillRectangle(r, state_.brush);
            break;
    }
}

void MetafileDc::FillPolygon(const QPolygonF& points, const QBrush& brush) {
    const QBrush keep = state_.brush;
    state_.brush = brush;
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    Draw(path, true, false);
    state_.brush = keep;
}

void MetafileDc::Text(QPointF reference, const QString& text, std::optional<QRectF> opaqueRect,
                      bool clipToRect, const std::vector<double>& advances) {
    if (inPath_ || state_.ropNop) return;
    const bool updateCp = state_.textAlign & 1;
    if (updateCp) reference = state_.current;
    const QTransform t = LogicalToCanvas();
    if (!Usable(t)) return;
    // The opaque rectangle takes the background colour whatever the background mode.
    if (opaqueRect) FillRectangle(*opaqueRect, QBrush(state_.bkColor));
    if (text.isEmpty()) return;

    const MetafileFont& f = state_.font;
    const double yScale = std::hypot(t.m21(), t.m22());
    const double xScale = std::hypot(t.m11(), t.m12());
    double pixels = f.height == 0 ? 16 * Scale(deviceToCanvas_) : std::abs(f.height) * yScale;
    if (f.height > 0) pixels *= 0.8;  // a cell height includes the internal leading
    if (!std::isfinite(pixels) || pixels < 0.5) return;
    pixels = std::min(pixels, 4.0 * (canvas_.height() + canvas_.width()) + 8);

    QFont font(f.face.isEmpty() ? QStringLiteral("Sans Serif") : f.face);
    font.setPixelSize(std::max(1, int(std::lround(pixels))));
    font.setWeight(QFont::Weight(std::clamp(f.weight == 0 ? 400 : f.weight, 1, 1000)));
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);
    if (f.width != 0 && xScale > 0) {
        // A font narrowed or widened from its face's own proportions.
        const double natural = QFontMetricsF(font).averageCharWidth();
        if (natural > 0)
            font.setStretch(
                std::clamp(int(std::lround(100 * std::abs(f.width) * xScale / natural)), 1, 4000));
    }
    const QString shown = text.left(kMaxTextLength);
    const QFontMetricsF metrics(font);
    // Where each character starts, in pixels along the baseline: the
    // recorded advances when the file gives them (they keep the producer's
    // layout whatever font stands in here), else the font's own.
    const bool spaced = advances.size() >= size_t(shown.size()) && xScale > 0 &&
                        std::all_of(advances.begin(), advances.begin() + shown.size(), [](double a) {
                            return std::isfinite(a) && std::abs(a) < kCoordinateLimit;
                        });
    double width = 0;
    std::vector<double> starts;
    if (spaced) {
        starts.reserve(size_t(shown.size()));
        for (qsizetype i = 0; i < shown.size(); ++i) {
            starts.push_back(width);
            width += advances[size_t(i)] * xScale;
        }
        if (!std::isfinite(width) || std::abs(width) > kCoordinateLimit) return;
    } else {
        width = metrics.horizontalAdvance(shown);
    }

    double dx = 0, dy = 0;
    switch (state_.textAlign & 6) {
        case 2:
            dx = -width;
            break;
        case 6:
            dx = -width / 2;
            break;
        default:
            break;
    }
    switch (state_.textAlign & 24) {
        case 24:
            break;  // baseline
        case 8:
            dy = -metrics.descent();
            break;
        default:
            dy = metrics.ascent();
            break;
    }
    const QPointF at = t.map(reference);
    if (!SaneBounds(QRectF(at, QSizeF(1, 1)))) return;

    ApplyClip();
    if (clipToRect && opaqueRect) {
        QPainterPath clip;
        clip.addPolygon(t.map(QPolygonF(opaqueRect->normalized())));
        painter_.setClipPath(clip, state_.clip ? Qt::IntersectClip : Qt::ReplaceClip);
    }
    painter_.translate(at);
    // The angle is counter-clockwise as seen on the page, whatever way the y axis runs.
    // A world transform that turns the page turns its text with it.
    // (Mirroring mapping modes alone leave text upright.)
    const bool turns = t.m12() != 0 || t.m21() != 0;
    painter_.rotate((turns ? qRadiansToDegrees(std::atan2(t.m12(), t.m11())) : 0) - f.escapement / 10.0);
    painter_.setFont(font);
    // The background mode decides alone whether the text cell is filled; the
    // painter's own mode may still be left from the last shape.
    painter_.setBackgroundMode(Qt::TransparentMode);
    if (state_.bkMode == kOpaque && !opaqueRect) {
        painter_.fillRect(QRectF(dx, dy - metrics.ascent(), width, metrics.height()), state_.bkColor);
    }
    painter_.setPen(state_.textColor);
    if (spaced) {
        for (qsizetype i = 0; i < shown.size(); ++i) {
            // A surrogate pair is one character drawn at its first half's place.
            const bool pair = shown[i].isHighSurrogate() && i + 1 < shown.size();
            painter_.drawText(QPointF(dx + starts[size_t(i)], dy), shown.mid(i, pair ? 2 : 1));
            if (pair) ++i;
        }
    } else {
        painter_.drawText(QPointF(dx, dy), shown);
    }

    if (updateCp && xScale > 0) state_.current.rx() += width / xScale;
}

void MetafileDc::Image(QRectF destination, const QImage& image, QRectF source, double opacity) {
    if (inPath_ || state_.ropNop || image.isNull()) return;
    if (source.width() == 0 || source.height() == 0) source = QRectF(image.rect());
    if (source.width() == 0 || source.height() == 0) return;
    const QTransform t = LogicalToCanvas();
    if (!Usable(t)) return;
    const double sx = destination.width() / source.width();
    const double sy = destination.height() / source.height();
    const QTransform placement(sx, 0, 0, sy, destination.x() - source.x() * sx,
                               destination.y() - source.y() * sy);
    const QTransform full = placement * t;
    if (!Usable(full) || !SaneBounds(full.mapRect(source))) return;
    ApplyClip();
    painter_.setTransform(full);
    painter_.setOpacity(std::clamp(opacity, 0.0, 1.0));
    painter_.drawImage(source.topLeft(), image, source);
    painter_.setOpacity(1.0);
}

// ---------------------------------------------------------------- paths

void MetafileDc::BeginPath() {
    AbortPath();
    inPath_ = true;
}

void MetafileDc::AbortPath() {
    path_ = QPainterPath();
    inPath_ = false;
    havePath_ = false;
    figureEnd_.reset();
}

void MetafileDc::FillPath(bool fill, bool stroke) {
    inPath_ = false;
    // Filling closes every open figure, and the outline then follows the closed figures.
    if (havePath_) Draw(fill ? Closed(path_) : path_, fill, stroke);
    AbortPath();
}

void MetafileDc::SelectClipPath(int mode) {
    inPath_ = false;
    const QTransform t = LogicalToCanvas();
    if (havePath_ && Usable(t)) {
        QPainterPath p = t.map(path_);
        p.setFillRule(state_.fillRule);
        CombineClip(p, mode);
    }
    AbortPath();
}

// ---------------------------------------------------------------- clipping

void MetafileDc::CombineClip(const QPainterPath& canvasPath, int mode) {
    if (!SaneBounds(canvasPath.controlPointRect())) return;
    QPainterPath everything;
    everything.addRect(QRectF(QPointF(0, 0), QSizeF(canvas_)));
    const QPainterPath base = state_.clip ? *state_.clip : everything;
    QPainterPath result;
    switch (mode) {
        case 1:
            result = base.intersected(canvasPath);
            break;
        case 2:
            result = base.united(canvasPath);
            break;
        case 3:
            result = base.united(canvasPath).subtracted(base.intersected(canvasPath));
            break;
        case 4:
            result = base.subtracted(canvasPath);
            break;
        default:
            result = canvasPath;
            break;
    }
    // A file that keeps carving its clip region must not make each step slower.
    if (result.elementCount() > kMaxClipElements) {
        QPainterPath box;
        box.addRect(result.boundingRect());
        result = box;
    }
    state_.clip = result;
}

void MetafileDc::IntersectClip(QRectF r) {
    const QTransform t = LogicalToCanvas();
    if (!Usable(t)) return;
    QPainterPath p;
    p.addPolygon(t.map(QPolygonF(r.normalized())));
    p.closeSubpath();
    CombineClip(p, 1);
}

void MetafileDc::ExcludeClip(QRectF r) {
    const QTransform t = LogicalToCanvas();
    if (!Usable(t)) return;
    QPainterPath p;
    p.addPolygon(t.map(QPolygonF(r.normalized())));
    p.closeSubpath();
    CombineClip(p, 4);
}

void MetafileDc::OffsetClip(QPointF logicalOffset) {
    if (!state_.clip) return;
    const QTransform t = LogicalToCanvas();
    if (!Usable(t)) return;
    const QPointF d = t.map(logicalOffset) - t.map(QPointF(0, 0));
    if (!SaneBounds(QRectF(d, QSizeF(1, 1)))) return;
    state_.clip = state_.clip->translated(d);
}

void MetafileDc::SelectClipRects(const std::vector<QRectF>& deviceRects, int mode) {
    if (deviceRects.empty()) {
        if (mode == 5) state_.clip.reset();
        return;
    }
    QPainterPath p;
    for (const QRectF& r : deviceRects) p.addPolygon(deviceToCanvas_.map(QPolygonF(r.normalized())));
    p.setFillRule(Qt::WindingFill);
    CombineClip(p.simplified(), mode);
}

}  // namespace zv
