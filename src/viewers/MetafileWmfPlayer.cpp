#include "viewers/MetafileWmfPlayer.h"

#include <uwmf.h>

#include <algorithm>
#include <set>

#include "viewers/MetafileDib.h"

namespace zv {
namespace {

constexpr uint32_t kMaxObjects = 65535;

// Record functions, as the 16-bit function number of each record.
enum : uint16_t {
    kEof = 0x0000,
    kSaveDc = 0x001E,
    kSetBkMode = 0x0102,
    kSetMapMode = 0x0103,
    kSetRop2 = 0x0104,
    kSetPolyFillMode = 0x0106,
    kRestoreDc = 0x0127,
    kSelectClipRegion = 0x012C,
    kSelectObject = 0x012D,
    kSetTextAlign = 0x012E,
    kDibCreatePatternBrush = 0x0142,
    kDeleteObject = 0x01F0,
    kSetBkColor = 0x0201,
    kSetTextColor = 0x0209,
    kSetWindowOrg = 0x020B,
    kSetWindowExt = 0x020C,
    kSetViewportOrg = 0x020D,
    kSetViewportExt = 0x020E,
    kOffsetWindowOrg = 0x020F,
    kLineTo = 0x0213,
    kMoveTo = 0x0214,
    kOffsetClipRgn = 0x0220,
    kCreatePenIndirect = 0x02FA,
    kCreateFontIndirect = 0x02FB,
    kCreateBrushIndirect = 0x02FC,
    kPolygon = 0x0324,
    kPolyline = 0x0325,
    kScaleWindowExt = 0x0410,
    kExcludeClipRect = 0x0415,
    kIntersectClipRect = 0x0416,
    kEllipse = 0x0418,
    kRectangle = 0x041B,
    kSetPixel = 0x041F,
    kTextOut = 0x0521,
    kPolyPolygon = 0x0538,
    kRoundRect = 0x061C,
    kPatBlt = 0x061D,
    kArc = 0x0817,
    kPie = 0x081A,
    kChord = 0x0830,
    kDibBitBlt = 0x0940,
    kExtTextOut = 0x0A32,
    kDibStretchBlt = 0x0B41,
    kSetDibToDev = 0x0D33,
    kStretchDib = 0x0F43,
};

// Records of the creating kind take an object slot even when we do not draw
// with what they create, so later handles still point at the right object.
bool CreatesObject(uint16_t function) {
    switch (function) {
        case 0x00F7:  // palette
        case 0x01F9:  // pattern brush
        case 0x06FF:  // region
        case 0x06FE:  // bitmap
        case 0x02FD:  // bitmap indirect
        case kDibCreatePatternBrush:
        case kCreatePenIndirect:
        case kCreateFontIndirect:
        case kCreateBrushIndirect:
            return true;
        default:
            return false;
    }
}

QRectF Rect16(const MetafileBytes& r, size_t at) {
    // bottom, right, top, left: the parameters run backwards
    return QRectF(QPointF(r.I16(at + 6), r.I16(at + 4)), QPointF(r.I16(at + 2), r.I16(at)));
}
QPointF PointYX(const MetafileBytes& r, size_t at) { return QPointF(r.I16(at + 2), r.I16(at)); }

QPolygonF PointsXY(const MetafileBytes& r, size_t at, size_t count) {
    count = std::min(count, (r.size > at ? r.size - at : 0) / 4);
    QPolygonF points;
    points.reserve(qsizetype(count));
    for (size_t i = 0; i < count; ++i) points.append(QPointF(r.I16(at + i * 4), r.I16(at + i * 4 + 2)));
    return points;
}

}  // namespace

class MetafileWmfPlayer::Records {
  public:
    explicit Records(MetafileDc& dc) : dc_(dc) {}
    void Record(uint16_t function, const MetafileBytes& r);

  private:
    MetafileDc::Object* Create();
    MetafileDc::Object* Slot(uint32_t index) {
        return index < dc_.Objects().size() ? &dc_.Objects()[index] : nullptr;
    }
    void Delete(uint32_t index);
    void Dib(const MetafileBytes& r, const char* dib, QRectF destination, QRectF source);
    std::optional<MetafileDib> DibAt(const MetafileBytes& r, const char* dib) const;
    void ExtTextOut(const MetafileBytes& r);

    MetafileDc& dc_;
    std::set<uint32_t> free_;  // freed slots below the table's end
};

MetafileDc::Object* MetafileWmfPlayer::Records::Create() {
    auto& objects = dc_.Objects();
    uint32_t index;
    if (!free_.empty()) {
        index = *free_.begin();
        free_.erase(free_.begin());
    } else {
        if (objects.size() >= kMaxObjects) return nullptr;
        index = uint32_t(objects.size());
        objects.emplace_back();
    }
    objects[index] = MetafileDc::Object{};
    objects[index].kind = MetafileDc::Object::kOther;
    return &objects[index];
}

void MetafileWmfPlayer::Records::Delete(uint32_t index) {
    auto* o = Slot(index);
    if (!o || o->kind == MetafileDc::Object::kNone) return;
    *o = MetafileDc::Object{};
    free_.insert(index);
}

std::optional<MetafileDib> MetafileWmfPlayer::Records::DibAt(const MetafileBytes& r, const char* dib) const {
    const auto* p = reinterpret_cast<const uint8_t*>(dib);
    if (!p || p < r.data || p >= r.data + r.size) return std::nullopt;
    return MetafileDib::DecodePacked(r.Slice(size_t(p - r.data), size_t(r.data + r.size - p)));
}

void MetafileWmfPlayer::Records::Dib(const MetafileBytes& r, const char* dib, QRectF destination,
                                     QRectF source) {
    auto decoded = DibAt(r, dib);
    if (!decoded) return;
    if (decoded->bottomUp) source.moveTop(decoded->image.height() - source.top() - source.height());
    dc_.Image(destination, decoded->image, source);
}

void MetafileWmfPlayer::Records::ExtTextOut(const MetafileBytes& r) {
    U_POINT16 at{};
    int16_t length = 0;
    uint16_t options = 0;
    const char* string = nullptr;
    const int16_t* dx = nullptr;
    U_RECT16 rect{};
    const auto* c = reinterpret_cast<const char*>(r.data);
    if (!U_WMREXTTEXTOUT_get(c, &at, &length, &options, &string, &dx, &rect)) return;
    const auto* p = reinterpret_cast<const uint8_t*>(string);
    QString text;
    if (p && length > 0 && p >= r.data && p < r.data + r.size) {
        const size_t n = std::min<size_t>(size_t(length), size_t(r.data + r.size - p));
        text = MetafileDc::DecodeText(string, n, dc_.S().font.charset);
    }
    // One advance per byte: they fit the characters only when each is one byte.
    std::vector<double> advances;
    const auto* d = reinterpret_cast<const uint8_t*>(dx);
    if (d && length > 0 && text.size() == length && d >= r.data &&
        d + size_t(length) * 2 <= r.data + r.size) {
        const MetafileBytes array = r.Slice(size_t(d - r.data), size_t(length) * 2);
        for (int16_t i = 0; i < length; ++i) advances.push_back(array.I16(size_t(i) * 2));
    }
    std::optional<QRectF> box;
    if (options & 0x06) box = QRectF(QPointF(rect.left, rect.top), QPointF(rect.right, rect.bottom));
    if (box && !(options & 0x02)) {
        const auto keep = dc_.S().clip;
        dc_.IntersectClip(*box);
        dc_.Text(QPointF(at.x, at.y), text, std::nullopt, false, advances);
        dc_.S().clip = keep;
        return;
    }
    dc_.Text(QPointF(at.x, at.y), text, box, options & 0x04, advances);
}

void MetafileWmfPlayer::Records::Record(uint16_t function, const MetafileBytes& r) {
    auto& s = dc_.S();
    const auto* c = reinterpret_cast<const char*>(r.data);
    switch (function) {
        case kSetBkMode:
            s.bkMode = r.U16(6);
            break;
        case kSetMapMode:
            if (r.U16(6) >= 1 && r.U16(6) <= 8) s.mapMode = r.U16(6);
            break;
        case kSetRop2:
            s.ropNop = r.U16(6) == 11;
            break;
        case kSetPolyFillMode:
            s.fillRule = r.U16(6) == 2 ? Qt::WindingFill : Qt::OddEvenFill;
            break;
        case kSetTextAlign:
            s.textAlign = r.U16(6);
            break;
        case kSetBkColor:
            s.bkColor = r.Color(6);
            break;
        case kSetTextColor:
            s.textColor = r.Color(6);
            break;
        case kSetWindowOrg:
            s.windowOrg = PointYX(r, 6);
            break;
        case kSetWindowExt:
            s.windowExt = QSizeF(r.I16(8), r.I16(6));
            break;
        case kSetViewportOrg:
            s.viewportOrg = PointYX(r, 6);
            break;
        case kSetViewportExt:
            s.viewportExt = QSizeF(r.I16(8), r.I16(6));
            break;
        case kOffsetWindowOrg:
            s.windowOrg += PointYX(r, 6);
            break;
        case kScaleWindowExt: {
            const double yd = r.I16(6), yn = r.I16(8), xd = r.I16(10), xn = r.I16(12);
            if (xd != 0 && yd != 0)
                s.windowExt = QSizeF(s.windowExt.width() * xn / xd, s.windowExt.height() * yn / yd);
            break;
        }
        case kSaveDc:
            dc_.SaveState();
            break;
        case kRestoreDc:
            dc_.RestoreState(r.I16(6));
            break;
        case kMoveTo:
            dc_.MoveTo(PointYX(r, 6));
            break;
        case kLineTo:
            dc_.LineTo(PointYX(r, 6));
            break;
        case kSetPixel:
            dc_.SetPixel(PointYX(r, 10), r.Color(6));
            break;
        case kExcludeClipRect:
            dc_.ExcludeClip(Rect16(r, 6));
            break;
        case kIntersectClipRect:
            dc_.IntersectClip(Rect16(r, 6));
            break;
        case kOffsetClipRgn:
            dc_.OffsetClip(PointYX(r, 6));
            break;
        case kSelectClipRegion:
            s.clip.reset();
            break;
        case kEllipse:
            dc_.Ellipse(Rect16(r, 6));
            break;
        case kRectangle:
            dc_.Rectangle(Rect16(r, 6));
            break;
        case kRoundRect:
            dc_.RoundRect(Rect16(r, 10), QSizeF(r.I16(8), r.I16(6)));
            break;
        case kArc:
            dc_.Arc(Rect16(r, 14), PointYX(r, 10), PointYX(r, 6), 0);
            break;
        case kChord:
            dc_.Arc(Rect16(r, 14), PointYX(r, 10), PointYX(r, 6), 1);
            break;
        case kPie:
            dc_.Arc(Rect16(r, 14), PointYX(r, 10), PointYX(r, 6), 2);
            break;
        case kPolygon:
            dc_.Polygon(PointsXY(r, 8, r.U16(6)));
            break;
        case kPolyline:
            dc_.Polyline(PointsXY(r, 8, r.U16(6)));
            break;
        case kPolyPolygon: {
            const size_t count = r.U16(6);
            if (!r.Has(8, count * 2)) break;
            size_t at = 8 + count * 2;
            std::vector<QPolygonF> polygons;
            for (size_t i = 0; i < count; ++i) {
                const size_t n = r.U16(8 + i * 2);
                polygons.push_back(PointsXY(r, at, n));
                at += n * 4;
            }
            dc_.PolyPolygon(polygons);
            break;
        }
        case kPatBlt: {
            const uint32_t rop = r.U32(6);
            const QRectF dest(r.I16(16), r.I16(14), r.I16(12), r.I16(10));
            dc_.PatternBlit(dest, rop);
            break;
        }
        case kTextOut: {
            const size_t n = r.U16(6);
            const MetafileBytes text = r.Slice(8, n);
            const size_t after = 8 + n + (n & 1);
            if (!text.data || !r.Has(after, 4)) break;
            dc_.Text(PointYX(r, after),
                     MetafileDc::DecodeText(reinterpret_cast<const char*>(text.data), n, s.font.charset),
                     std::nullopt, false);
            break;
        }
        case kExtTextOut:
            ExtTextOut(r);
            break;

        case kSelectObject:
            if (auto* o = Slot(r.U16(6))) dc_.Select(*o);
            break;
        case kDeleteObject:
            Delete(r.U16(6));
            break;
        case kCreatePenIndirect:
            if (auto* o = Create()) {
                o->kind = MetafileDc::Object::kPen;
                o->pen = MetafileDc::MakePen(r.U16(6), r.I16(8), r.Color(12));
            }
            break;
        case kCreateBrushIndirect:
            if (auto* o = Create()) {
                o->kind = MetafileDc::Object::kBrush;
                o->brush = MetafileDc::MakeBrush(r.U16(6), r.Color(8), r.U16(12));
            }
            break;
        case kCreateFontIndirect:
            if (auto* o = Create()) {
                o->kind = MetafileDc::Object::kFont;
                MetafileFont& f = o->font;
                f.height = r.I16(6);
                f.width = r.I16(8);
                f.escapement = r.I16(10);
                f.weight = r.I16(14);
                f.italic = r.U8(16);
                f.underline = r.U8(17);
                f.strikeOut = r.U8(18);
                f.charset = r.U8(19);
                // The face name is in the font's own charset, Shift-JIS for
                // Japanese faces such as "ＭＳ 明朝".
                size_t n = 0;
                while (n < 32 && r.Has(24 + n, 1) && r.U8(24 + n) != 0) ++n;
                f.face = MetafileDc::DecodeText(reinterpret_cast<const char*>(r.data + 24), n, f.charset);
            }
            break;
        case kDibCreatePatternBrush:
            if (auto* o = Create()) {
                o->kind = MetafileDc::Object::kBrush;
                auto dib = DibAt(r, c + 10);
                o->brush = dib ? QBrush(dib->image) : QBrush(Qt::gray);
            }
            break;

        case kDibBitBlt: {
            U_POINT16 dst{}, cwh{}, src{};
            uint32_t rop = 0;
            const char* dib = nullptr;
            if (!U_WMRDIBBITBLT_get(c, &dst, &cwh, &src, &rop, &dib)) break;
            const QRectF dest(dst.x, dst.y, cwh.x, cwh.y);
            if (!dib) {
                dc_.PatternBlit(dest, rop);
                break;
            }
            Dib(r, dib, dest, QRectF(src.x, src.y, cwh.x, cwh.y));
            break;
        }
        case kDibStretchBlt: {
            U_POINT16 dst{}, cDst{}, src{}, cSrc{};
            uint32_t rop = 0;
            const char* dib = nullptr;
            if (!U_WMRDIBSTRETCHBLT_get(c, &dst, &cDst, &src, &cSrc, &rop, &dib) || !dib) break;
            Dib(r, dib, QRectF(dst.x, dst.y, cDst.x, cDst.y), QRectF(src.x, src.y, cSrc.x, cSrc.y));
            break;
        }
        case kStretchDib: {
            U_POINT16 dst{}, cDst{}, src{}, cSrc{};
            uint16_t usage = 0;
            uint32_t rop = 0;
            const char* dib = nullptr;
            if (!U_WMRSTRETCHDIB_get(c, &dst, &cDst, &src, &cSrc, &usage, &rop, &dib) || !dib) break;
            Dib(r, dib, QRectF(dst.x, dst.y, cDst.x, cDst.y), QRectF(src.x, src.y, cSrc.x, cSrc.y));
            break;
        }
        case kSetDibToDev: {
            U_POINT16 dst{}, cwh{}, src{};
            uint16_t usage = 0, scans = 0, start = 0;
            const char* dib = nullptr;
            if (!U_WMRSETDIBTODEV_get(c, &dst, &cwh, &src, &usage, &scans, &start, &dib) || !dib) break;
            Dib(r, dib, QRectF(dst.x, dst.y, cwh.x, cwh.y), QRectF(src.x, src.y, cwh.x, cwh.y));
            break;
        }
        default:
            if (CreatesObject(function)) Create();
            break;  // other records have no visible effect here
    }
}

std::optional<MetafileWmfPlayer::Header> MetafileWmfPlayer::ReadHeader(MetafileBytes file) {
    if (!file.Has(0, 18)) return std::nullopt;
    const auto* c = reinterpret_cast<const char*>(file.data);
    U_WMRPLACEABLE placeable{};
    U_WMRHEADER header{};
    // The loader's padding keeps the header check's fixed-size reads inside the buffer.
    const int size = wmfheader_get(c, c + file.size + kMetafilePadding, &placeable, &header);
    if (size <= 0 || size_t(size) > file.size) return std::nullopt;
    // The plain header: type 1 or 2, nine words long, version 1 or 3.
    const size_t at = size_t(size) - 18;
    const uint16_t type = file.U16(at);
    if ((type != 1 && type != 2) || file.U16(at + 2) != 9 ||
        (file.U16(at + 4) != 0x0100 && file.U16(at + 4) != 0x0300))
        return std::nullopt;
    Header h;
    h.recordsAt = size_t(size);
    if (placeable.Key == 0x9AC6CDD7) {
        h.placeable = true;
        h.bounds = QRect(QPoint(placeable.Dst.left, placeable.Dst.top),
                         QPoint(placeable.Dst.right, placeable.Dst.bottom));
        h.unitsPerInch = placeable.Inch;
    }
    // Files that never set a window are measured by what they draw.
    std::optional<QRectF> drawn;
    double textHeight = 12;
    auto add = [&](QPointF p) {
        const QRectF point(p, QSizeF(0, 0));
        drawn = drawn ? QRectF(QPointF(std::min(drawn->left(), p.x()), std::min(drawn->top(), p.y())),
                               QPointF(std::max(drawn->right(), p.x()), std::max(drawn->bottom(), p.y())))
                      : point;
    };
    size_t offset = h.recordsAt;
    while (file.Has(offset, 6) && !(h.windowOrg && h.windowExt)) {
        const size_t recordSize = U_WMRRECSAFE_get(c + offset, c + file.size);
        if (recordSize < 6) break;
        const MetafileBytes r = file.Slice(offset, recordSize);
        const uint16_t function = r.U16(4);
        if (function == kEof) break;
        if (function == kSetWindowOrg && !h.windowOrg) h.windowOrg = QPoint(r.I16(8), r.I16(6));
        if (function == kSetWindowExt && !h.windowExt) h.windowExt = QSize(r.I16(8), r.I16(6));
        switch (function) {
            case kMoveTo:
            case kLineTo:
            case kExtTextOut:
                add(PointYX(r, 6));
                break;
            case kRectangle:
            case kEllipse:
                add(Rect16(r, 6).topLeft());
                add(Rect16(r, 6).bottomRight());
                break;
            case kPolygon:
            case kPolyline:
                for (const QPointF& p : PointsXY(r, 8, r.U16(6))) add(p);
                break;
            case kTextOut: {
                // Text reaches about half a character height per character.
                const size_t n = r.U16(6);
                const QPointF at = PointYX(r, 8 + n + (n & 1));
                add(at);
                add(at + QPointF(double(n) * textHeight * 0.6, textHeight));
                break;
            }
            case kCreateFontIndirect:
                if (r.I16(6) != 0) textHeight = std::abs(double(r.I16(6)));
                break;
            default:
                break;
        }
        offset += recordSize;
    }
    if (!h.windowExt && drawn && drawn->width() > 0 && drawn->height() > 0) {
        h.windowOrg = drawn->topLeft().toPoint();
        h.windowExt = drawn->size().toSize();
    }
    return h;
}

MetafileWmfPlayer::MetafileWmfPlayer(MetafileBytes file, const Header& header, MetafileDc& dc)
    : file_(file), offset_(header.recordsAt), records_(std::make_unique<Records>(dc)) {}

MetafileWmfPlayer::~MetafileWmfPlayer() = default;

MetafilePlay MetafileWmfPlayer::Play(const QDeadlineTimer& deadline) {
    const auto* c = reinterpret_cast<const char*>(file_.data);
    const size_t start = offset_;
    while (file_.Has(offset_, 6)) {
        // At least one record per call, so every call gets on.
        if (offset_ != start && deadline.hasExpired()) return MetafilePlay::kMore;
        const size_t size = U_WMRRECSAFE_get(c + offset_, c + file_.size);
        if (size < 6 || size > file_.size - offset_) return MetafilePlay::kBroken;
        const MetafileBytes record = file_.Slice(offset_, size);
        const uint16_t function = record.U16(4);
        if (function == kEof) return MetafilePlay::kEnd;
        records_->Record(function, record);
        offset_ += size;
    }
    return MetafilePlay::kBroken;
}

}  // namespace zv
