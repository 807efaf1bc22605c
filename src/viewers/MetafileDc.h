#pragma once
// The drawing state a metafile's records change (pens, brushes, fonts, mapping,
// clipping, saved states) and the drawing calls both metafile players share.
// Records hand over logical coordinates; this class maps them to the canvas and
// keeps every size bounded, so no record can make the painter work for ever.

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QString>
#include <QTransform>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace zv {

// Zero bytes the loader keeps readable behind a metafile's data: libUEMF's
// checks read a header's or record's fixed fields before comparing them with
// the sizes, which must not run off the buffer.
constexpr size_t kMetafilePadding = 4096;

// Little-endian reads from a record; anything outside it reads as zero, so a
// record that lies about its contents yields harmless values instead of a
// read past the buffer.
struct MetafileBytes {
    const uint8_t* data = nullptr;
    size_t size = 0;

    bool Has(size_t offset, size_t length) const { return offset <= size && length <= size - offset; }
    uint8_t U8(size_t o) const { return Has(o, 1) ? data[o] : 0; }
    uint16_t U16(size_t o) const { return Has(o, 2) ? uint16_t(data[o] | (data[o + 1] << 8)) : 0; }
    int16_t I16(size_t o) const { return int16_t(U16(o)); }
    uint32_t U32(size_t o) const {
        return Has(o, 4) ? uint32_t(data[o]) | uint32_t(data[o + 1]) << 8 | uint32_t(data[o + 2]) << 16 |
                               uint32_t(data[o + 3]) << 24
                         : 0;
    }
    int32_t I32(size_t o) const { return int32_t(U32(o)); }
    float F32(size_t o) const {
        uint32_t bits = U32(o);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    QColor Color(size_t o) const { return QColor(U8(o), U8(o + 1), U8(o + 2)); }
    // A sub-range, empty when it does not lie wholly inside.
    MetafileBytes Slice(size_t offset, size_t length) const {
        return Has(offset, length) ? MetafileBytes{data + offset, length} : MetafileBytes{};
    }
};

// How far a player got: records remain, the end record was reached, or a
// broken record or a cut file stopped it (what was drawn stays drawn).
enum class MetafilePlay { kMore, kEnd, kBroken };

// A logical font as both metafile kinds describe it.
struct MetafileFont {
    double height = 0;      // negative: character height; positive: cell height
    double escapement = 0;  // tenths of a degree, counter-clockwise
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = 1;
    QString face;
    double width = 0;  // average character width; 0: the face's own
};

class MetafileDc {
  public:
    // Mapping modes and other GDI values the records carry.
    enum MapMode {
        kText = 1,
        kLoMetric,
        kHiMetric,
        kLoEnglish,
        kHiEnglish,
        kTwips,
        kIsotropic,
        kAnisotropic
    };
    enum { kTransparent = 1, kOpaque = 2 };

    // deviceToCanvas maps the recording device's pixels to the canvas; canvas
    // is the size of the painter's target.
    MetafileDc(QPainter& painter, const QTransform& deviceToCanvas, QSize canvas, double devicePixelsPerMm);

    // --- state the records set
    struct State {
        int mapMode = kText;
        QPointF windowOrg{0, 0};
        QSizeF windowExt{1, 1};
        QPointF viewportOrg{0, 0};
        QSizeF viewportExt{1, 1};
        QTransform world;
        QPen pen{Qt::black, 0};
        QBrush brush{Qt::white};
        MetafileFont font;
        QColor textColor{Qt::black};
        QColor bkColor{Qt::white};
        int bkMode = kOpaque;
        int textAlign = 0;
        Qt::FillRule fillRule = Qt::OddEvenFill;
        // How far a mitred corner may reach, as the miter's length over the pen's width.
        double miterLimit = 10;
        bool ropNop = false;  // R2_NOP: nothing drawn
        bool clockwise = false;
        QPointF current{0, 0};
        std::optional<QPainterPath> clip;  // in canvas pixels
    };
    State& S() { return state_; }

    void SaveState();
    // relative < 0 pops that many states; a positive value names the depth.
    void RestoreState(int which);

    // Metafiles without a reference device (WMF) map their window straight
    // onto a rectangle of this size at the device origin.
    void FitWindowTo(QSizeF size) { windowFit_ = size; }
    QTransform LogicalToCanvas() const;

    // --- objects: pens, brushes and fonts live in one table indexed by handle
    struct Object {
        enum Kind { kNone, kPen, kBrush, kFont, kOther } kind = kNone;
        QPen pen;
        QBrush brush;
        MetafileFont font;
    };
    std::vector<Object>& Objects() { return objects_; }
    void Select(const Object& object);

    static QPen MakePen(uint32_t style, double width, QColor color);
    static QBrush MakeBrush(uint32_t style, QColor color, uint32_t hatch);

    // --- drawing; coordinates are logical
    void MoveTo(QPointF p) {
        state_.current = p;
        figureEnd_.reset();  // inside a path, the next line starts a new figure
    }
    void LineTo(QPointF p);
    void Polyline(const QPolygonF& points);
    void PolylineTo(const QPolygonF& points);
    void Polygon(const QPolygonF& points);
    void PolyPolygon(const std::vector<QPolygonF>& polygons);
    void PolyBezier(const QPolygonF& points, bool fromCurrent);
    void Rectangle(QRectF r);
    void RoundRect(QRectF r, QSizeF corner);
    void Ellipse(QRectF r);
    // kind: 0 arc, 1 chord, 2 pie, 3 arc joined from the current position.
    void Arc(QRectF box, QPointF start, QPointF end, int kind);
    void AngleArc(QPointF center, double radius, double startDeg, double sweepDeg);
    void SetPixel(QPointF p, QColor c);
    void FillRectangle(QRectF r, const QBrush& brush);
    void FillPolygon(const QPolygonF& points, const QBrush& brush);
    // A blit without a source bitmap: its raster operation paints a logical
    // rectangle with the brush or a fixed colour.
    void PatternBlit(QRectF r, uint32_t rop);
    // Text at a logical reference point, aligned by the current text alignment.
    // advances, when given, are the logical distances from each character to the next.
    void Text(QPointF reference, const QString& text, std::optional<QRectF> opaqueRect, bool clipToRect,
              const std::vector<double>& advances = {});
    // An image drawn into a logical rectangle (negative extents mirror it),
    // its pixels weighted by opacity.
    void Image(QRectF destination, const QImage& image, QRectF source, double opacity = 1.0);

    // --- paths
    void BeginPath();
    void EndPath() { inPath_ = false; }
    void CloseFigure() {
        if (inPath_ || havePath_) path_.closeSubpath();
        figureEnd_.reset();
    }
    void AbortPath();
    void FillPath(bool fill, bool stroke);
    void SelectClipPath(int mode);

    // --- clipping, in logical coordinates unless named otherwise
    void IntersectClip(QRectF r);
    void ExcludeClip(QRectF r);
    void OffsetClip(QPointF logicalOffset);
    // mode: 1 and, 2 or, 3 xor, 4 diff, 5 copy; device rectangles of the
    // recording device. An empty list with copy resets clipping.
    void SelectClipRects(const std::vector<QRectF>& deviceRects, int mode);

    // Text of a code page to Unicode; the charset is a LOGFONT charset.
    static QString DecodeText(const char* bytes, size_t length, int charset);

  private:
    QTransform PageTransform() const;
    void Draw(const QPainterPath& shape, bool fill, bool stroke);
    void AddToPath(const QPainterPath& shape);
    // Lines and curves drawn from the current position: inside a path they
    // carry on the open figure, as GDI joins them into one outline.
    void DrawFromCurrent(const QPainterPath& shape);
    void ApplyClip();
    void CombineClip(const QPainterPath& canvasPath, int mode);
    QPen SafePen(const QTransform& t, const QRectF& bounds) const;

    QPainter& painter_;
    QTransform deviceToCanvas_;
    QSize canvas_;
    double devicePixelsPerMm_;
    std::optional<QSizeF> windowFit_;
    State state_;
    std::vector<State> saved_;
    std::vector<Object> objects_;
    bool inPath_ = false;
    bool havePath_ = false;
    QPainterPath path_;  // logical coordinates
    // Where the open figure of the path ends; none after a move, a close or a closed shape.
    std::optional<QPointF> figureEnd_;
};

}  // namespace zv
