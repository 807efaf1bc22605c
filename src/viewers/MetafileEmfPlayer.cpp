#include "viewers/MetafileEmfPlayer.h"

#include <uemf.h>
#include <uemf_safe.h>

#include <QLinearGradient>
#include <algorithm>
#include <cmath>

#include "viewers/MetafileDib.h"

namespace zv {
namespace {

constexpr uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr uint32_t kMaxHandles = 65536;
constexpr size_t kMaxClipRects = 2000;

QRectF RectAt(const MetafileBytes& r, size_t o) {
    return QRectF(QPointF(r.I32(o), r.I32(o + 4)), QPointF(r.I32(o + 8), r.I32(o + 12)));
}
QPointF PointAt(const MetafileBytes& r, size_t o) { return QPointF(r.I32(o), r.I32(o + 4)); }

// Points of the poly records: count at 24, 32-bit or 16-bit pairs from 28.
QPolygonF Points(const MetafileBytes& r, size_t countAt, size_t firstAt, bool small, size_t count) {
    const size_t step = small ? 4 : 8;
    count = std::min(count, (r.size > firstAt ? r.size - firstAt : 0) / step);
    QPolygonF points;
    points.reserve(qsizetype(count));
    for (size_t i = 0; i < count; ++i) {
        const size_t o = firstAt + i * step;
        points.append(small ? QPointF(r.I16(o), r.I16(o + 2)) : QPointF(r.I32(o), r.I32(o + 4)));
    }
    (void)countAt;
    return points;
}

std::vector<QPolygonF> PolyPoints(const MetafileBytes& r, bool small) {
    const size_t polys = r.U32(24);
    const size_t total = r.U32(28);
    std::vector<QPolygonF> result;
    if (!r.Has(32, polys * 4)) return result;
    const QPolygonF all = Points(r, 28, 32 + polys * 4, small, total);
    qsizetype at = 0;
    for (size_t i = 0; i < polys && at < all.size(); ++i) {
        const qsizetype n = std::min<qsizetype>(r.U32(32 + i * 4), all.size() - at);
        result.push_back(all.mid(at, n));
        at += n;
    }
    return result;
}

std::vector<QRectF> RegionRects(const MetafileBytes& region) {
    std::vector<QRectF> rects;
    const size_t count = std::min<size_t>(region.U32(8), kMaxClipRects);
    for (size_t i = 0; i < count && region.Has(32 + i * 16, 16); ++i)
        rects.push_back(RectAt(region, 32 + i * 16));
    return rects;
}

std::optional<MetafileDib> DibOf(const MetafileBytes& r, size_t offBmiAt, size_t cbBmiAt, size_t offBitsAt,
                                 size_t cbBitsAt) {
    const MetafileBytes info = r.Slice(r.U32(offBmiAt), r.U32(cbBmiAt));
    const MetafileBytes bits = r.Slice(r.U32(offBitsAt), r.U32(cbBitsAt));
    if (!info.data || info.size == 0) return std::nullopt;
    return MetafileDib::Decode(info, bits);
}

}  // namespace

class MetafileEmfPlayer::Records {
  public:
    explicit Records(MetafileDc& dc) : dc_(dc) {}

    void Record(uint32_t type, const MetafileBytes& r);
    // True for the record types Record acts on.
    static bool Draws(uint32_t type);

  private:
    // An existing object, or nullptr.
    MetafileDc::Object* Slot(uint32_t index) {
        return index < dc_.Objects().size() ? &dc_.Objects()[index] : nullptr;
    }
    // The slot a creating record fills; the table grows as handles are used.
    MetafileDc::Object* NewSlot(uint32_t index) {
        if (index >= kMaxHandles) return nullptr;
        if (index >= dc_.Objects().size()) dc_.Objects().resize(index + 1);
        return &dc_.Objects()[index];
    }
    void SelectStock(uint32_t index);
    void BitBlt(const MetafileBytes& r, bool stretch);
    void StretchDiBits(const MetafileBytes& r);
    void SetDiBitsToDevice(const MetafileBytes& r);
    void ExtTextOut(const MetafileBytes& r, bool wide);
    void SmallTextOut(const MetafileBytes& r);
    void GradientFill(const MetafileBytes& r);
    void AlphaBlend(const MetafileBytes& r);
    void TransparentBlt(const MetafileBytes& r);
    void DrawDib(const MetafileDib& dib, QRectF destination, QRectF source, double opacity = 1.0);
    void Text(QPointF reference, const QString& text, uint32_t options, const QRectF& rect,
              const std::vector<double>& advances);

    MetafileDc& dc_;
};

void MetafileEmfPlayer::Records::SelectStock(uint32_t index) {
    auto& s = dc_.S();
    switch (index & 0x7FFFFFFF) {
        case 0:
            s.brush = QBrush(Qt::white);
            break;
        case 1:
            s.brush = QBrush(QColor(192, 192, 192));
            break;
        case 2:
            s.brush = QBrush(QColor(128, 128, 128));
            break;
        case 3:
            s.brush = QBrush(QColor(64, 64, 64));
            break;
        case 4:
            s.brush = QBrush(Qt::black);
            break;
        case 5:
            s.brush = QBrush(Qt::NoBrush);
            break;
        case 6:
            s.pen = QPen(Qt::white, 0);
            break;
        case 7:
            s.pen = QPen(Qt::black, 0);
            break;
        case 8:
            s.pen = QPen(Qt::NoPen);
            break;
        case 10:
        case 11:
        case 16:
            s.font = MetafileFont{0, 0, 400, false, false, false, 1, QStringLiteral("Monospace")};
            break;
        case 12:
        case 13:
        case 14:
        case 17:
            s.font = MetafileFont{0, 0, 400, false, false, false, 1, QStringLiteral("Sans Serif")};
            break;
        default:
            break;
    }
}

void MetafileEmfPlayer::Records::DrawDib(const MetafileDib& dib, QRectF destination, QRectF source,
                                         double opacity) {
    if (dib.bottomUp) {
        // Blit source rows count from the bottom of an upside-down bitmap.
        source.moveTop(dib.image.height() - source.top() - source.height());
    }
    dc_.Image(destination, dib.image, source, opacity);
}

// The blend's source is stretched like STRETCHBLT's; its pixels carry their
// own alpha when the blend says so, and the whole is weighted by a constant.
void MetafileEmfPlayer::Records::AlphaBlend(const MetafileBytes& r) {
    const double constant = r.U8(42) / 255.0;
    const bool sourceAlpha = r.U8(43) & 0x01;  // AC_SRC_ALPHA
    const MetafileBytes info = r.Slice(r.U32(84), r.U32(88));
    const MetafileBytes bits = r.Slice(r.U32(92), r.U32(96));
    if (!info.data || info.size == 0) return;
    const auto dib = sourceAlpha ? MetafileDib::DecodeWithAlpha(info, bits) : MetafileDib::Decode(info, bits);
    if (!dib) return;
    DrawDib(*dib, QRectF(r.I32(24), r.I32(28), r.I32(32), r.I32(36)),
            QRectF(r.I32(44), r.I32(48), r.I32(100), r.I32(104)), constant);
}

// Pixels of the one colour the record names are left out.
void MetafileEmfPlayer::Records::TransparentBlt(const MetafileBytes& r) {
    auto dib = DibOf(r, 84, 88, 92, 96);
    if (!dib) return;
    const QRgb key = r.Color(40).rgb() & 0xFFFFFF;
    QImage image = dib->image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((row[x] & 0xFFFFFF) == key) row[x] = 0;
    }
    dib->image = image;
    DrawDib(*dib, QRectF(r.I32(24), r.I32(28), r.I32(32), r.I32(36)),
            QRectF(r.I32(44), r.I32(48), r.I32(100), r.I32(104)));
}

void MetafileEmfPlayer::Records::BitBlt(const MetafileBytes& r, bool stretch) {
    const QRectF dest(r.I32(24), r.I32(28), r.I32(32), r.I32(36));
    const uint32_t rop = r.U32(40);
    if (r.U32(88) == 0) {
        dc_.PatternBlit(dest, rop);
        return;
    }
    auto dib = DibOf(r, 84, 88, 92, 96);
    if (!dib) return;
    const double cxSrc = stretch ? r.I32(100) : dest.width();
    const double cySrc = stretch ? r.I32(104) : dest.height();
    DrawDib(*dib, dest, QRectF(r.I32(44), r.I32(48), cxSrc, cySrc));
}

void MetafileEmfPlayer::Records::StretchDiBits(const MetafileBytes& r) {
    auto dib = DibOf(r, 48, 52, 56, 60);
    if (!dib) return;
    DrawDib(*dib, QRectF(r.I32(24), r.I32(28), r.I32(72), r.I32(76)),
            QRectF(r.I32(32), r.I32(36), r.I32(40), r.I32(44)));
}

void MetafileEmfPlayer::Records::SetDiBitsToDevice(const MetafileBytes& r) {
    auto dib = DibOf(r, 48, 52, 56, 60);
    if (!dib) return;
    const double w = r.I32(40), h = r.I32(44);
    DrawDib(*dib, QRectF(r.I32(24), r.I32(28), w, h), QRectF(r.I32(32), r.I32(36), w, h));
}

void MetafileEmfPlayer::Records::Text(QPointF reference, const QString& text, uint32_t options,
                                      const QRectF& rect, const std::vector<double>& advances) {
    const bool opaque = options & 0x02;   // ETO_OPAQUE
    const bool clipped = options & 0x04;  // ETO_CLIPPED
    std::optional<QRectF> box;
    if ((opaque || clipped) && !rect.isNull()) box = rect;
    if (box && !opaque) {
        // Clip-only rectangle: no background fill, so draw with the clip alone.
        const auto keep = dc_.S().clip;
        dc_.IntersectClip(*box);
        dc_.Text(reference, text, std::nullopt, false, advances);
        dc_.S().clip = keep;
        return;
    }
    dc_.Text(reference, text, box, clipped, advances);
}

void MetafileEmfPlayer::Records::ExtTextOut(const MetafileBytes& r, bool wide) {
    const QPointF reference = PointAt(r, 36);
    const size_t chars = std::min<size_t>(r.U32(44), 8192);
    const size_t offString = r.U32(48);
    const uint32_t options = r.U32(52);
    QString text;
    if (wide) {
        const MetafileBytes s = r.Slice(offString, chars * 2);
        for (size_t i = 0; i + 1 < s.size; i += 2) text.append(QChar(char16_t(s.U16(i))));
    } else {
        const MetafileBytes s = r.Slice(offString, chars);
        if (s.data)
            text =
                MetafileDc::DecodeText(reinterpret_cast<const char*>(s.data), s.size, dc_.S().font.charset);
    }
    if (options & 0x10) text.clear();  // ETO_GLYPH_INDEX: font glyphs, not characters
    // The advances are kept only when there is one per character shown (a
    // multi-byte string decodes to fewer characters than it has bytes).
    std::vector<double> advances;
    const size_t step = options & 0x2000 ? 8 : 4;  // ETO_PDY: x and y pairs
    const MetafileBytes dx = r.U32(72) ? r.Slice(r.U32(72), chars * step) : MetafileBytes{};
    if (dx.data && size_t(text.size()) == chars)
        for (size_t i = 0; i < chars; ++i) advances.push_back(dx.I32(i * step));
    Text(reference, text, options, RectAt(r, 56), advances);
}

void MetafileEmfPlayer::Records::SmallTextOut(const MetafileBytes& r) {
    const size_t chars = std::min<size_t>(r.U32(16), 8192);
    const uint32_t options = r.U32(20);
    const bool noRect = options & 0x100;      // ETO_NO_RECT
    const bool smallChars = options & 0x200;  // ETO_SMALL_CHARS: the low byte of each character
    const size_t textAt = noRect ? 36 : 52;
    const QRectF rect = noRect ? QRectF() : RectAt(r, 36);
    QString text;
    const MetafileBytes s = r.Slice(textAt, chars * (smallChars ? 1 : 2));
    if (smallChars) {
        for (size_t i = 0; i < s.size; ++i) text.append(QChar(char16_t(s.U8(i))));
    } else {
        for (size_t i = 0; i + 1 < s.size; i += 2) text.append(QChar(char16_t(s.U16(i))));
    }
    if (options & 0x10) text.clear();
    Text(PointAt(r, 8), text, options, rect, {});
}

// Rectangles shade from one corner's colour to the other's, across or down;
// triangles (shaded per vertex in GDI, which Qt's brushes cannot do) take
// their vertices' mean colour.
void MetafileEmfPlayer::Records::GradientFill(const MetafileBytes& r) {
    constexpr size_t kVertexSize = 16;
    const size_t vertices = std::min<size_t>(r.U32(24), 65536);
    const size_t shapes = std::min<size_t>(r.U32(28), 65536);
    const uint32_t mode = r.U32(32);
    const size_t objectsAt = 36 + vertices * kVertexSize;
    const size_t objectSize = mode == 2 ? 12 : 8;
    if (mode > 2 || !r.Has(36, vertices * kVertexSize) || !r.Has(objectsAt, shapes * objectSize)) return;
    auto point = [&](uint32_t i) { return PointAt(r, 36 + i * kVertexSize); };
    auto color = [&](uint32_t i) {
        const size_t at = 36 + i * kVertexSize + 8;
        return QColor(r.U16(at) >> 8, r.U16(at + 2) >> 8, r.U16(at + 4) >> 8);
    };
    for (size_t k = 0; k < shapes; ++k) {
        const size_t at = objectsAt + k * objectSize;
        const uint32_t a = r.U32(at), b = r.U32(at + 4), c = mode == 2 ? r.U32(at + 8) : 0;
        if (a >= vertices || b >= vertices || c >= vertices) continue;
        if (mode == 2) {
            const QColor ca = color(a), cb = color(b), cc = color(c);
            dc_.FillPolygon(
                QPolygonF({point(a), point(b), point(c)}),
                QColor((ca.red() + cb.red() + cc.red()) / 3, (ca.green() + cb.green() + cc.green()) / 3,
                       (ca.blue() + cb.blue() + cc.blue()) / 3));
            continue;
        }
        const QRectF box = QRectF(point(a), point(b)).normalized();
        QLinearGradient gradient(
            point(a), mode == 0 ? QPointF(point(b).x(), point(a).y()) : QPointF(point(a).x(), point(b).y()));
        gradient.setColorAt(0, color(a));
        gradient.setColorAt(1, color(b));
        dc_.FillRectangle(box, QBrush(gradient));
    }
}

bool MetafileEmfPlayer::Records::Draws(uint32_t type) {
    switch (type) {
        case U_EMR_ABORTPATH:
        case U_EMR_ALPHABLEND:
        case U_EMR_ANGLEARC:
        case U_EMR_ARC:
        case U_EMR_ARCTO:
        case U_EMR_BEGINPATH:
        case U_EMR_BITBLT:
        case U_EMR_CHORD:
        case U_EMR_CLOSEFIGURE:
        case U_EMR_CREATEBRUSHINDIRECT:
        case U_EMR_CREATEDIBPATTERNBRUSHPT:
        case U_EMR_CREATEMONOBRUSH:
        case U_EMR_CREATEPALETTE:
        case U_EMR_CREATEPEN:
        case U_EMR_DELETEOBJECT:
        case U_EMR_ELLIPSE:
        case U_EMR_ENDPATH:
        case U_EMR_EXCLUDECLIPRECT:
        case U_EMR_EXTCREATEFONTINDIRECTW:
        case U_EMR_EXTCREATEPEN:
        case U_EMR_EXTSELECTCLIPRGN:
        case U_EMR_EXTTEXTOUTA:
        case U_EMR_EXTTEXTOUTW:
        case U_EMR_FILLPATH:
        case U_EMR_FILLRGN:
        case U_EMR_GRADIENTFILL:
        case U_EMR_INTERSECTCLIPRECT:
        case U_EMR_LINETO:
        case U_EMR_MODIFYWORLDTRANSFORM:
        case U_EMR_MOVETOEX:
        case U_EMR_OFFSETCLIPRGN:
        case U_EMR_PAINTRGN:
        case U_EMR_PIE:
        case U_EMR_POLYBEZIER:
        case U_EMR_POLYBEZIER16:
        case U_EMR_POLYBEZIERTO:
        case U_EMR_POLYBEZIERTO16:
        case U_EMR_POLYGON:
        case U_EMR_POLYGON16:
        case U_EMR_POLYLINE:
        case U_EMR_POLYLINE16:
        case U_EMR_POLYLINETO:
        case U_EMR_POLYLINETO16:
        case U_EMR_POLYPOLYGON:
        case U_EMR_POLYPOLYGON16:
        case U_EMR_POLYPOLYLINE:
        case U_EMR_POLYPOLYLINE16:
        case U_EMR_RECTANGLE:
        case U_EMR_RESTOREDC:
        case U_EMR_ROUNDRECT:
        case U_EMR_SAVEDC:
        case U_EMR_SCALEVIEWPORTEXTEX:
        case U_EMR_SCALEWINDOWEXTEX:
        case U_EMR_SELECTCLIPPATH:
        case U_EMR_SELECTOBJECT:
        case U_EMR_SETARCDIRECTION:
        case U_EMR_SETBKCOLOR:
        case U_EMR_SETBKMODE:
        case U_EMR_SETDIBITSTODEVICE:
        case U_EMR_SETMAPMODE:
        case U_EMR_SETMITERLIMIT:
        case U_EMR_SETPIXELV:
        case U_EMR_SETPOLYFILLMODE:
        case U_EMR_SETROP2:
        case U_EMR_SETTEXTALIGN:
        case U_EMR_SETTEXTCOLOR:
        case U_EMR_SETVIEWPORTEXTEX:
        case U_EMR_SETVIEWPORTORGEX:
        case U_EMR_SETWINDOWEXTEX:
        case U_EMR_SETWINDOWORGEX:
        case U_EMR_SETWORLDTRANSFORM:
        case U_EMR_SMALLTEXTOUT:
        case U_EMR_STRETCHBLT:
        case U_EMR_STRETCHDIBITS:
        case U_EMR_STROKEANDFILLPATH:
        case U_EMR_STROKEPATH:
        case U_EMR_TRANSPARENTBLT:
            return true;
        default:
            return false;
    }
}

void MetafileEmfPlayer::Records::Record(uint32_t type, const MetafileBytes& r) {
    auto& s = dc_.S();
    switch (type) {
        case U_EMR_POLYBEZIER:
            dc_.PolyBezier(Points(r, 24, 28, false, r.U32(24)), false);
            break;
        case U_EMR_POLYGON:
            dc_.Polygon(Points(r, 24, 28, false, r.U32(24)));
            break;
        case U_EMR_POLYLINE:
            dc_.Polyline(Points(r, 24, 28, false, r.U32(24)));
            break;
        case U_EMR_POLYBEZIERTO:
            dc_.PolyBezier(Points(r, 24, 28, false, r.U32(24)), true);
            break;
        case U_EMR_POLYLINETO:
            dc_.PolylineTo(Points(r, 24, 28, false, r.U32(24)));
            break;
        case U_EMR_POLYBEZIER16:
            dc_.PolyBezier(Points(r, 24, 28, true, r.U32(24)), false);
            break;
        case U_EMR_POLYGON16:
            dc_.Polygon(Points(r, 24, 28, true, r.U32(24)));
            break;
        case U_EMR_POLYLINE16:
            dc_.Polyline(Points(r, 24, 28, true, r.U32(24)));
            break;
        case U_EMR_POLYBEZIERTO16:
            dc_.PolyBezier(Points(r, 24, 28, true, r.U32(24)), true);
            break;
        case U_EMR_POLYLINETO16:
            dc_.PolylineTo(Points(r, 24, 28, true, r.U32(24)));
            break;
        case U_EMR_POLYPOLYLINE:
        case U_EMR_POLYPOLYLINE16:
            for (const QPolygonF& p : PolyPoints(r, type == U_EMR_POLYPOLYLINE16)) dc_.Polyline(p);
            break;
        case U_EMR_POLYPOLYGON:
        case U_EMR_POLYPOLYGON16:
            dc_.PolyPolygon(PolyPoints(r, type == U_EMR_POLYPOLYGON16));
            break;

        case U_EMR_SETWINDOWEXTEX:
            s.windowExt = QSizeF(r.I32(8), r.I32(12));
            break;
        case U_EMR_SETWINDOWORGEX:
            s.windowOrg = PointAt(r, 8);
            break;
        case U_EMR_SETVIEWPORTEXTEX:
            s.viewportExt = QSizeF(r.I32(8), r.I32(12));
            break;
        case U_EMR_SETVIEWPORTORGEX:
            s.viewportOrg = PointAt(r, 8);
            break;
        case U_EMR_SCALEVIEWPORTEXTEX:
        case U_EMR_SCALEWINDOWEXTEX: {
            QSizeF& ext = type == U_EMR_SCALEWINDOWEXTEX ? s.windowExt : s.viewportExt;
            const double xd = r.I32(12), yd = r.I32(20);
            if (xd != 0 && yd != 0) ext = QSizeF(ext.width() * r.I32(8) / xd, ext.height() * r.I32(16) / yd);
            break;
        }
        case U_EMR_SETMAPMODE:
            if (r.U32(8) >= 1 && r.U32(8) <= 8) s.mapMode = int(r.U32(8));
            break;
        case U_EMR_SETBKMODE:
            s.bkMode = int(r.U32(8));
            break;
        case U_EMR_SETMITERLIMIT: {
            // Written as an integer by some producers and as a float by others.
            const uint32_t v = r.U32(8);
            const double limit = v > 0xFFFFFF ? double(r.F32(8)) : double(v);
            if (std::isfinite(limit) && limit >= 1) s.miterLimit = std::min(limit, 1000.0);
            break;
        }
        case U_EMR_SETPOLYFILLMODE:
            s.fillRule = r.U32(8) == 2 ? Qt::WindingFill : Qt::OddEvenFill;
            break;
        case U_EMR_SETROP2:
            s.ropNop = r.U32(8) == 11;
            break;
        case U_EMR_SETTEXTALIGN:
            s.textAlign = int(r.U32(8));
            break;
        case U_EMR_SETTEXTCOLOR:
            s.textColor = r.Color(8);
            break;
        case U_EMR_SETBKCOLOR:
            s.bkColor = r.Color(8);
            break;
        case U_EMR_SETARCDIRECTION:
            s.clockwise = r.U32(8) == 2;
            break;
        case U_EMR_MOVETOEX:
            dc_.MoveTo(PointAt(r, 8));
            break;
        case U_EMR_LINETO:
            dc_.LineTo(PointAt(r, 8));
            break;
        case U_EMR_SETPIXELV:
            dc_.SetPixel(PointAt(r, 8), r.Color(16));
            break;

        case U_EMR_EXCLUDECLIPRECT:
            dc_.ExcludeClip(RectAt(r, 8));
            break;
        case U_EMR_INTERSECTCLIPRECT:
            dc_.IntersectClip(RectAt(r, 8));
            break;
        case U_EMR_OFFSETCLIPRGN:
            dc_.OffsetClip(PointAt(r, 8));
            break;
        case U_EMR_EXTSELECTCLIPRGN: {
            const uint32_t mode = r.U32(12);
            dc_.SelectClipRects(RegionRects(r.Slice(16, r.U32(8))), int(mode));
            break;
        }
        case U_EMR_SAVEDC:
            dc_.SaveState();
            break;
        case U_EMR_RESTOREDC:
            dc_.RestoreState(r.I32(8));
            break;

        case U_EMR_SETWORLDTRANSFORM:
            s.world = QTransform(r.F32(8), r.F32(12), r.F32(16), r.F32(20), r.F32(24), r.F32(28));
            break;
        case U_EMR_MODIFYWORLDTRANSFORM: {
            const QTransform x(r.F32(8), r.F32(12), r.F32(16), r.F32(20), r.F32(24), r.F32(28));
            switch (r.U32(32)) {
                case 1:
                    s.world = QTransform();
                    break;
                case 2:
                    s.world = x * s.world;
                    break;
                case 3:
                    s.world = s.world * x;
                    break;
                case 4:
                    s.world = x;
                    break;
                default:
                    break;
            }
            break;
        }

        case U_EMR_SELECTOBJECT: {
            const uint32_t index = r.U32(8);
            if (index & 0x80000000)
                SelectStock(index);
            else if (auto* o = Slot(index))
                dc_.Select(*o);
            break;
        }
        case U_EMR_CREATEPEN:
            if (auto* o = NewSlot(r.U32(8))) {
                o->kind = MetafileDc::Object::kPen;
                o->pen = MetafileDc::MakePen(r.U32(12), r.I32(16), r.Color(24));
            }
            break;
        case U_EMR_EXTCREATEPEN:
            if (auto* o = NewSlot(r.U32(8))) {
                o->kind = MetafileDc::Object::kPen;
                const uint32_t style = r.U32(28);
                // A cosmetic pen is one pixel wide whatever width it names; a
                // pen whose brush is hollow draws nothing.
                const bool geometric = style & 0x00010000;
                o->pen =
                    MetafileDc::MakePen(r.U32(36) == 1 ? 5 : style, geometric ? r.U32(32) : 0, r.Color(40));
            }
            break;
        case U_EMR_CREATEBRUSHINDIRECT:
            if (auto* o = NewSlot(r.U32(8))) {
                o->kind = MetafileDc::Object::kBrush;
                o->brush = MetafileDc::MakeBrush(r.U32(12), r.Color(16), r.U32(20));
            }
            break;
        case U_EMR_CREATEMONOBRUSH:
        case U_EMR_CREATEDIBPATTERNBRUSHPT:
            if (auto* o = NewSlot(r.U32(8))) {
                o->kind = MetafileDc::Object::kBrush;
                auto dib = DibOf(r, 16, 20, 24, 28);
                o->brush = dib ? QBrush(dib->image) : QBrush(Qt::gray);
            }
            break;
        case U_EMR_EXTCREATEFONTINDIRECTW:
            if (auto* o = NewSlot(r.U32(8))) {
                o->kind = MetafileDc::Object::kFont;
                MetafileFont& f = o->font;
                f.height = r.I32(12);
                f.width = r.I32(16);
                f.escapement = r.I32(20);
                f.weight = r.I32(28);
                f.italic = r.U8(32);
                f.underline = r.U8(33);
                f.strikeOut = r.U8(34);
                f.charset = r.U8(35);
                f.face.clear();
                for (size_t i = 0; i < 32 && r.Has(40 + i * 2, 2); ++i) {
                    const char16_t c = r.U16(40 + i * 2);
                    if (c == 0) break;
                    f.face.append(QChar(c));
                }
            }
            break;
        case U_EMR_CREATEPALETTE:
            if (auto* o = NewSlot(r.U32(8))) o->kind = MetafileDc::Object::kOther;
            break;
        case U_EMR_DELETEOBJECT:
            if (auto* o = Slot(r.U32(8))) *o = MetafileDc::Object{};
            break;

        case U_EMR_ANGLEARC:
            dc_.AngleArc(PointAt(r, 8), r.U32(16), r.F32(20), r.F32(24));
            break;
        case U_EMR_ELLIPSE:
            dc_.Ellipse(RectAt(r, 8));
            break;
        case U_EMR_RECTANGLE:
            dc_.Rectangle(RectAt(r, 8));
            break;
        case U_EMR_ROUNDRECT:
            dc_.RoundRect(RectAt(r, 8), QSizeF(r.I32(24), r.I32(28)));
            break;
        case U_EMR_ARC:
            dc_.Arc(RectAt(r, 8), PointAt(r, 24), PointAt(r, 32), 0);
            break;
        case U_EMR_CHORD:
            dc_.Arc(RectAt(r, 8), PointAt(r, 24), PointAt(r, 32), 1);
            break;
        case U_EMR_PIE:
            dc_.Arc(RectAt(r, 8), PointAt(r, 24), PointAt(r, 32), 2);
            break;
        case U_EMR_ARCTO:
            dc_.Arc(RectAt(r, 8), PointAt(r, 24), PointAt(r, 32), 3);
            break;

        case U_EMR_BEGINPATH:
            dc_.BeginPath();
            break;
        case U_EMR_ENDPATH:
            dc_.EndPath();
            break;
        case U_EMR_CLOSEFIGURE:
            dc_.CloseFigure();
            break;
        case U_EMR_FILLPATH:
            dc_.FillPath(true, false);
            break;
        case U_EMR_STROKEANDFILLPATH:
            dc_.FillPath(true, true);
            break;
        case U_EMR_STROKEPATH:
            dc_.FillPath(false, true);
            break;
        case U_EMR_ABORTPATH:
            dc_.AbortPath();
            break;
        case U_EMR_SELECTCLIPPATH:
            dc_.SelectClipPath(int(r.U32(8)));
            break;

        case U_EMR_FILLRGN:
            if (auto* o = Slot(r.U32(28)); o && o->kind == MetafileDc::Object::kBrush) {
                for (const QRectF& rect : RegionRects(r.Slice(32, r.U32(24))))
                    dc_.FillRectangle(rect, o->brush);
            }
            break;
        case U_EMR_PAINTRGN:
            for (const QRectF& rect : RegionRects(r.Slice(28, r.U32(24)))) dc_.FillRectangle(rect, s.brush);
            break;

        case U_EMR_BITBLT:
            BitBlt(r, false);
            break;
        case U_EMR_STRETCHBLT:
            BitBlt(r, true);
            break;
        case U_EMR_ALPHABLEND:
            AlphaBlend(r);
            break;
        case U_EMR_TRANSPARENTBLT:
            TransparentBlt(r);
            break;
        case U_EMR_STRETCHDIBITS:
            StretchDiBits(r);
            break;
        case U_EMR_SETDIBITSTODEVICE:
            SetDiBitsToDevice(r);
            break;
        case U_EMR_EXTTEXTOUTA:
            ExtTextOut(r, false);
            break;
        case U_EMR_EXTTEXTOUTW:
            ExtTextOut(r, true);
            break;
        case U_EMR_SMALLTEXTOUT:
            SmallTextOut(r);
            break;
        case U_EMR_GRADIENTFILL:
            GradientFill(r);
            break;
        default:
            break;  // records without a visible effect here are skipped
    }
}

std::optional<MetafileEmfPlayer::Header> MetafileEmfPlayer::ReadHeader(MetafileBytes file) {
    if (file.U32(0) != U_EMR_HEADER || !file.Has(0, 88) || file.U32(40) != kEmfSignature) return std::nullopt;
    const uint32_t size = file.U32(4);
    if (size < 88 || size % 4 != 0 || size > file.size) return std::nullopt;
    Header h;
    h.bounds = QRect(QPoint(file.I32(8), file.I32(12)), QPoint(file.I32(16), file.I32(20)));
    h.frame = QRect(QPoint(file.I32(24), file.I32(28)), QPoint(file.I32(32), file.I32(36)));
    h.handles = file.U16(56);
    h.devicePixels = QSize(file.I32(72), file.I32(76));
    h.deviceMillimeters = QSize(file.I32(80), file.I32(84));
    return h;
}

MetafileEmfPlayer::MetafileEmfPlayer(MetafileBytes file, MetafileDc& dc)
    : file_(file), records_(std::make_unique<Records>(dc)) {}

MetafileEmfPlayer::~MetafileEmfPlayer() = default;

MetafilePlay MetafileEmfPlayer::Play(const QDeadlineTimer& deadline) {
    if (offset_ == 0 && !ReadHeader(file_)) return MetafilePlay::kBroken;
    const size_t start = offset_;
    while (file_.Has(offset_, 8)) {
        // At least one record per call, so every call gets on.
        if (offset_ != start && deadline.hasExpired()) return MetafilePlay::kMore;
        const uint32_t type = file_.U32(offset_);
        const uint32_t size = file_.U32(offset_ + 4);
        if (size < 8 || size % 4 != 0 || size > file_.size - offset_) return MetafilePlay::kBroken;
        const MetafileBytes record = file_.Slice(offset_, size);
        if (type == U_EMR_EOF) return MetafilePlay::kEnd;
        // Only records we draw are checked (the check knows not every type).
        // One whose contents fail the check is left out, as a record we do not
        // know would be; the loader leaves zero padding behind the data, so the
        // check may look at a short record's fixed fields.
        if (Records::Draws(type) && U_emf_record_safe(reinterpret_cast<const char*>(record.data)))
            records_->Record(type, record);
        offset_ += size;
    }
    return MetafilePlay::kBroken;
}

}  // namespace zv
