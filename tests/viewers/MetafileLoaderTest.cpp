// The metafile loader: pictures built here with libUEMF must show the shapes
// they hold where they hold them; sizes come from the headers; broken data is
// refused.

#include <gtest/gtest.h>

#include <QImage>
#include <memory>

#include "MetafileBuilder.h"
#include "viewers/MetafileDc.h"
#include "viewers/MetafileLoader.h"

namespace {

using zvtest::Emf;
using zvtest::Wmf;

const QColor kRed(255, 0, 0), kGreen(0, 160, 0), kBlue(0, 0, 255), kWhite(255, 255, 255), kBlack(0, 0, 0);
const QColor kNothing(0, 0, 0, 0);  // transparent: nothing drawn there

bool Near(QColor a, QColor b) {
    if (b.alpha() == 0) return a.alpha() == 0;
    return a.alpha() > 200 && std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 &&
           std::abs(a.blue() - b.blue()) < 40;
}

U_RECTL R(int l, int t, int r, int b) { return U_RECTL{l, t, r, b}; }
U_POINTL P(int x, int y) { return U_POINTL{x, y}; }
U_COLORREF C(QColor c) { return U_RGB(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue())); }
char* Sel(uint32_t handle) { return U_EMRSELECTOBJECT_set(handle); }
char* NullPen() { return Sel(0x80000008); }
char* Rect(int l, int t, int r, int b) { return U_EMRRECTANGLE_set(R(l, t, r, b)); }
char* Brush(uint32_t handle, QColor c) {
    return U_EMRCREATEBRUSHINDIRECT_set(handle, logbrush_set(U_BS_SOLID, C(c), 0));
}
char* Pen(uint32_t handle, uint32_t style, uint32_t width, uint32_t brushStyle) {
    PU_EXTLOGPEN elp = extlogpen_set(style, width, brushStyle, C(kBlack), 0, 0, nullptr);
    char* record = U_EMREXTCREATEPEN_set(handle, nullptr, 0, nullptr, elp);
    std::free(elp);
    return record;
}
// A font of the given character height in logical units (negative: without
// internal leading) and average character width (0: the face's own).
char* Font(uint32_t handle, int height, int width = 0) {
    uint16_t face[U_LF_FACESIZE] = {'S', 'a', 'n', 's', 0};
    const U_LOGFONT font = logfont_set(height, width, 0, 0, 400, 0, 0, 0, U_ANSI_CHARSET, 0, 0, 0, 0, face);
    return U_EMREXTCREATEFONTINDIRECTW_set(handle, reinterpret_cast<const char*>(&font), nullptr);
}
// EXTTEXTOUTW, every character advanced by the same width.
char* Text(U_POINTL at, std::u16string text, uint32_t options, U_RECTL rect, uint32_t advance = 60) {
    std::vector<uint32_t> dx(text.size(), advance);
    char* body = emrtext_set(at, uint32_t(text.size()), 2, text.data(), options, rect, dx.data());
    char* record =
        U_EMREXTTEXTOUTW_set(R(0, 0, 0, 0), U_GM_COMPATIBLE, 1, 1, reinterpret_cast<PU_EMRTEXT>(body));
    std::free(body);
    return record;
}

// A 200 x 200 pixel picture at 254 dpi: one canvas pixel per device pixel.
QByteArray Emf200(const std::vector<char*>& records) {
    return Emf(QRect(0, 0, 200, 200), QRect(QPoint(0, 0), QPoint(2000, 2000)), records);
}
// A placeable WMF of 1000 x 500 units at 1270 to the inch: 200 x 100 pixels.
QByteArray Wmf200(std::vector<char*> records) {
    records.insert(records.begin(),
                   {U_WMRSETWINDOWORG_set(U_POINT16{0, 0}), U_WMRSETWINDOWEXT_set(U_POINT16{1000, 500})});
    return Wmf(QRect(QPoint(0, 0), QPoint(1000, 500)), 1270, records);
}

// A blit of two pixels of a DIB (from column x on) over the whole picture;
// make is one of libUEMF's blit makers, extra its own argument (blend, colour).
template <typename Extra, typename Make>
char* WholeBlit(QByteArray dib, Extra extra, Make make, int x = 0) {
    return make(R(0, 0, 200, 200), P(0, 0), P(200, 200), P(x, 0), P(2, 1), xform_set(1, 0, 0, 1, 0, 0),
                U_RGB(0, 0, 0), U_DIB_RGB_COLORS, extra, reinterpret_cast<PU_BITMAPINFO>(dib.data()),
                uint32_t(dib.size() - 40), dib.data() + 40);
}

// The DIB (header, colour table, rows from infoBytes on) stretched over the whole picture.
char* Stretch(QByteArray& dib, int infoBytes, int width, int height) {
    return U_EMRSTRETCHDIBITS_set(R(0, 0, 200, 200), P(0, 0), P(200, 200), P(0, 0), P(width, height),
                                  U_DIB_RGB_COLORS, U_SRCCOPY, reinterpret_cast<PU_BITMAPINFO>(dib.data()),
                                  uint32_t(dib.size() - infoBytes), dib.data() + infoBytes);
}

// SETDIBTODEV, which libUEMF cannot make: width x height pixels of the DIB
// from column x on, put at the origin.
char* SetDibToDev(const QByteArray& dib, int x, int width, int height) {
    QByteArray r = QByteArray(24, '\0') + dib;
    zvtest::Put(r, 4, 0x0D33, 2), zvtest::Put(r, 8, height, 2), zvtest::Put(r, 14, x, 2);
    zvtest::Put(r, 16, height, 2), zvtest::Put(r, 18, width, 2);
    zvtest::Put(r, 0, uint32_t(r.size() / 2));
    return static_cast<char*>(std::memcpy(std::malloc(r.size()), r.data(), r.size()));
}

// A path of two squares drawn as figures of lines, the inner one inside the
// outer one and turning the same way, then filled in the given fill mode.
QByteArray NestedSquares(uint32_t fillMode) {
    std::vector<char*> r = {NullPen(), Brush(1, kRed), Sel(1), U_EMRSETPOLYFILLMODE_set(fillMode),
                            U_EMRBEGINPATH_set()};
    for (int in : {10, 60}) {
        const U_POINTL corners[3] = {P(200 - in, in), P(200 - in, 200 - in), P(in, 200 - in)};
        r.insert(r.end(), {U_EMRMOVETOEX_set(P(in, in)), U_EMRLINETO_set(corners[0]),
                           U_EMRPOLYLINETO_set(R(0, 0, 0, 0), 2, corners + 1), U_EMRCLOSEFIGURE_set()});
    }
    r.insert(r.end(), {U_EMRENDPATH_set(), U_EMRFILLPATH_set(R(0, 0, 200, 200))});
    return Emf200(r);
}

// A corner of 15 degrees drawn with a mitred pen.
QByteArray SharpCorner(std::optional<uint32_t> miterLimit) {
    const U_POINTL v[3] = {P(90, 190), P(100, 110), P(110, 190)};
    std::vector<char*> r = {Pen(1, U_PS_GEOMETRIC | U_PS_SOLID | U_PS_JOIN_MITER, 20, U_BS_SOLID), Sel(1)};
    if (miterLimit) r.push_back(U_EMRSETMITERLIMIT_set(*miterLimit));
    r.push_back(U_EMRPOLYLINE_set(R(0, 0, 200, 200), 3, v));
    return Emf200(r);
}

// Some pixel of the area (one pixel unless given) has the colour.
struct Probe {
    int x, y;
    QColor expected;
    int width = 1, height = 1;
};
// A name, the picture and what must be seen in it.
using DrawCase = std::tuple<const char*, QByteArray, std::vector<Probe>>;

std::vector<DrawCase> DrawCases() {
    const U_POINTL curve[3] = {P(20, 180), P(20, 180), P(20, 180)};  // a straight "curve"
    const U_POINTL clip[2] = {P(100, 200), P(0, 200)};
    const char16_t block[2] = {u'\u2588', 0};
    // 2 x 2 true colour, bottom row first: red, green / blue, white on top (BGR, rows padded).
    QByteArray quadDib =
        zvtest::Dib(2, 2, 24, QByteArray("\0\0\xff\0\xa0\0\0\0\xff\0\0\xff\xff\xff\0\0", 16));
    // Palette red, blue (BGRA); pixels 0, 1 in the top bits.
    QByteArray monoDib = zvtest::Dib(2, 1, 1, QByteArray("\0\0\xff\0\xff\0\0\0\x40\0\0\0", 12));
    // BGRA, premultiplied.
    const QByteArray redAndClear = zvtest::Dib(2, 1, 32, QByteArray("\0\0\xff\xff\0\0\0\0", 8));
    const QByteArray redGreenBlue = zvtest::Dib(3, 1, 24, QByteArray("\0\0\xff\0\xa0\0\xff\0\0\0\0\0", 12));
    const QByteArray redAndGreen = zvtest::Dib(2, 1, 24, QByteArray("\0\0\xff\0\xa0\0\0\0", 8));
    auto bitBlt = [](int left, uint32_t rop) {
        return U_EMRBITBLT_set(R(0, 0, 0, 0), P(left, 0), P(50, 200), P(0, 0), xform_set(1, 0, 0, 1, 0, 0),
                               U_RGB(0, 0, 0), U_DIB_RGB_COLORS, rop, nullptr, 0, nullptr);
    };
    U_TRIVERTEX gradient[2] = {{0, 0, 0xFF00, 0, 0, 0}, {200, 200, 0, 0, 0xFF00, 0}};
    U_GRADIENT4 gradientRect{0, 1};
    auto wmfBrush = [](QColor c) { return U_WMRCREATEBRUSHINDIRECT_set(U_WLOGBRUSH{U_BS_SOLID, C(c), 0}); };
    U_PEN wmfPen{U_PS_SOLID, {50, 0}, C(kRed)};  // 10 pixels wide
    // A Japanese face name in Shift-JIS ("ＭＳ ゴシック") with the Shift-JIS charset.
    char sjisFace[] = "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e";
    const std::unique_ptr<U_FONT, void (*)(void*)> sjisFont(
        U_FONT_set(-300, 0, 0, 0, 400, 0, 0, 0, 128, 0, 0, 0, 0, sjisFace), std::free);
    char sjisSquare[] = "\x81\xa1";  // ■

    return {{"AnisotropicWindowToViewport",
             Emf200({U_EMRSETMAPMODE_set(U_MM_ANISOTROPIC), U_EMRSETWINDOWEXTEX_set(U_SIZEL{1000, 1000}),
                     U_EMRSETVIEWPORTEXTEX_set(U_SIZEL{200, 200}), NullPen(), Brush(1, kRed), Sel(1),
                     Rect(500, 500, 1000, 1000)}),
             {{150, 150, kRed}, {50, 50, kNothing}, {95, 150, kNothing}}},
            {"ClipEndsWithRestoredState",
             Emf200({NullPen(), Brush(1, kRed), Brush(2, kBlue), Sel(1), U_EMRSAVEDC_set(),
                     U_EMRINTERSECTCLIPRECT_set(R(0, 0, 100, 200)), Rect(0, 0, 200, 100),
                     U_EMRRESTOREDC_set(-1), Sel(2), Rect(0, 120, 200, 200)}),
             {{50, 50, kRed}, {150, 50, kNothing}, {150, 160, kBlue}, {50, 160, kBlue}}},
            {"StretchDibitsKeepsRowOrder",
             Emf200({Stretch(quadDib, 40, 2, 2)}),
             {{50, 50, kBlue}, {150, 50, kWhite}, {50, 150, kRed}, {150, 150, kGreen}}},
            {"StretchDibitsWithoutSourceSizeTakesTheWholeBitmap",
             Emf200({Stretch(quadDib, 40, 0, 0)}),
             {{50, 50, kBlue}, {150, 150, kGreen}}},
            {"LineFromTheCurrentPositionOutsideAPath",
             Emf200({Pen(1, U_PS_GEOMETRIC | U_PS_SOLID, 20, U_BS_SOLID), Sel(1),
                     U_EMRMOVETOEX_set(P(20, 100)), U_EMRLINETO_set(P(180, 100))}),
             {{100, 100, kBlack}, {100, 50, kNothing}}},
            {"UnknownRecordIsSkipped",
             Emf200({zvtest::Raw({200, 0, 0}), NullPen(), Brush(1, kGreen), Sel(1), Rect(0, 0, 100, 100)}),
             {{50, 50, kGreen}, {150, 150, kNothing}}},
            // Lines, polylines and curves from the current position make one figure, which filling closes.
            {"PathFigureOfSeparateLinesIsFilled",
             Emf200({Brush(1, kRed), Sel(1), U_EMRBEGINPATH_set(), U_EMRMOVETOEX_set(P(20, 20)),
                     U_EMRLINETO_set(P(180, 20)), U_EMRLINETO_set(P(180, 180)),
                     U_EMRPOLYBEZIERTO_set(R(0, 0, 0, 0), 3, curve), U_EMRENDPATH_set(),
                     U_EMRSTROKEANDFILLPATH_set(R(0, 0, 200, 200))}),
             {{100, 100, kRed}, {60, 140, kRed}, {100, 10, kNothing}}},
            {"PathWindingFillsTheInnerSquare", NestedSquares(U_WINDING), {{100, 100, kRed}, {30, 100, kRed}}},
            {"PathAlternateLeavesTheInnerSquare",
             NestedSquares(U_ALTERNATE),
             {{100, 100, kNothing}, {30, 100, kRed}}},
            {"ClipPathLimitsLaterShapes",
             Emf200({NullPen(), Brush(1, kBlue), Sel(1), U_EMRBEGINPATH_set(), U_EMRMOVETOEX_set(P(0, 0)),
                     U_EMRLINETO_set(P(100, 0)), U_EMRPOLYLINETO_set(R(0, 0, 0, 0), 2, clip),
                     U_EMRENDPATH_set(), U_EMRSELECTCLIPPATH_set(U_RGN_COPY), Rect(0, 0, 200, 200)}),
             {{20, 100, kBlue}, {150, 100, kNothing}}},
            // A hollow brush draws no outline; a cosmetic pen is one pixel whatever width it names.
            {"ExtendedPensHollowAndCosmetic",
             Emf200({Sel(0x80000005), Pen(1, U_PS_GEOMETRIC | U_PS_SOLID, 30, U_BS_NULL), Sel(1),
                     Rect(20, 20, 80, 180), Pen(2, U_PS_COSMETIC | U_PS_SOLID, 30, U_BS_SOLID), Sel(2),
                     Rect(120, 20, 180, 180)}),
             {{20, 100, kNothing}, {128, 100, kNothing}}},
            {"GradientRectangleShadesAcross",
             Emf200({U_EMRGRADIENTFILL_set(R(0, 0, 200, 200), 2, 1, U_GRADIENT_FILL_RECT_H, gradient,
                                           reinterpret_cast<uint32_t*>(&gradientRect))}),
             {{5, 100, kRed}, {100, 100, QColor(128, 0, 128)}, {195, 100, kBlue}}},
            {"BlitsWithoutSourcePaintByTheirOperation",
             Emf200({Brush(1, kRed), Sel(1), bitBlt(0, U_PATCOPY), bitBlt(50, U_BLACKNESS),
                     bitBlt(100, U_DSTINVERT), bitBlt(150, U_NOOP)}),
             {{25, 100, kRed}, {75, 100, kBlack}, {125, 100, kNothing}, {175, 100, kNothing}}},
            // A sharp corner reaches as far as the miter limit (10 unless the file sets one) lets it.
            {"MiterReachesAsFarAsTheDefaultLimitLets", SharpCorner(std::nullopt), {{100, 50, kBlack}}},
            {"LowMiterLimitBevelsTheCorner", SharpCorner(4), {{100, 50, kNothing}, {100, 108, kBlack}}},
            // The background mode alone decides whether a text cell is filled;
            // ETO_OPAQUE fills its rectangle in the background colour.
            {"TransparentTextLeavesTheShapeBehindIt",
             Emf200({NullPen(), Brush(1, kWhite), Sel(1), U_EMRSETBKCOLOR_set(C(kBlack)),
                     Rect(0, 0, 200, 200),  // drawn in opaque mode
                     U_EMRSETBKMODE_set(U_TRANSPARENT), U_EMRSETTEXTCOLOR_set(C(kRed)), Font(2, -100), Sel(2),
                     Text(P(20, 20), u"\u2588 ", 0, R(0, 0, 0, 0))}),
             {{50, 70, kRed}, {110, 70, kWhite}}},
            {"OpaqueTextRectangleTakesTheBackgroundColour",
             Emf200({U_EMRSETBKMODE_set(U_TRANSPARENT), U_EMRSETBKCOLOR_set(C(kBlue)),
                     Text(P(20, 20), u" ", U_ETO_OPAQUE, R(0, 0, 200, 100))}),
             {{100, 50, kBlue}, {100, 150, kNothing}}},
            {"FontWidthWidensTheCharacters",
             Emf200({U_EMRSETBKMODE_set(U_TRANSPARENT), U_EMRSETTEXTCOLOR_set(C(kRed)), Font(1, -50, 100),
                     Sel(1), Text(P(20, 20), u"\u2588", 0, R(0, 0, 0, 0), 150)}),
             {{30, 45, kRed}, {100, 45, kRed}, {180, 45, kNothing}}},
            {"SmallTextOutDrawsTextAndRectangle",
             Emf200({U_EMRSETBKCOLOR_set(C(kBlue)), U_EMRSETTEXTCOLOR_set(C(kRed)), Font(1, -100), Sel(1),
                     U_EMRSMALLTEXTOUT_set(P(20, 20), 1, U_ETO_OPAQUE, U_GM_COMPATIBLE, 1, 1,
                                           R(0, 150, 200, 200), reinterpret_cast<const char*>(block))}),
             {{40, 70, kRed}, {100, 175, kBlue}, {150, 70, kNothing}}},
            // Blits: the blend's source alpha and constant alpha, the transparent colour.
            {"AlphaBlendKeepsSourceAlpha",
             Emf200({WholeBlit(redAndClear, U_BLEND{0, 0, 255, U_AC_SRC_ALPHA}, U_EMRALPHABLEND_set)}),
             {{50, 100, kRed}, {150, 100, kNothing}}},
            {"AlphaBlendWeighsByConstantAlpha",
             Emf200({NullPen(), Brush(1, kBlue), Sel(1), Rect(0, 0, 200, 200),
                     WholeBlit(redAndGreen, U_BLEND{0, 0, 128, 0}, U_EMRALPHABLEND_set)}),
             {{50, 100, QColor(128, 0, 127)}}},
            // From the second pixel on: green is left out, blue kept.
            {"TransparentBltLeavesOutItsColour",
             Emf200({NullPen(), Brush(1, kWhite), Sel(1), Rect(0, 0, 200, 200),
                     WholeBlit(redGreenBlue, uint32_t(160 << 8), U_EMRTRANSPARENTBLT_set, 1)}),
             {{50, 100, kWhite}, {150, 100, kBlue}}},
            {"WmfDeletedSlotIsReused",
             Wmf200({U_WMRCREATEPENINDIRECT_set(wmfPen), U_WMRSELECTOBJECT_set(0), wmfBrush(kRed),
                     wmfBrush(kGreen), U_WMRDELETEOBJECT_set(1), wmfBrush(kBlue) /* into slot 1 */,
                     U_WMRSELECTOBJECT_set(1), U_WMRRECTANGLE_set(U_RECT16{0, 0, 500, 500}),
                     U_WMRSELECTOBJECT_set(2), U_WMRRECTANGLE_set(U_RECT16{500, 0, 1000, 500})}),
             {{50, 50, kBlue}, {150, 50, kGreen}, {2, 50, kRed}}},
            {"WmfPatternBlitsPaintByTheirOperation",
             Wmf200({wmfBrush(kRed), U_WMRSELECTOBJECT_set(0),
                     U_WMRPATBLT_set(U_POINT16{0, 0}, U_POINT16{500, 500}, U_PATCOPY),
                     U_WMRPATBLT_set(U_POINT16{500, 0}, U_POINT16{500, 500}, U_BLACKNESS)}),
             {{50, 50, kRed}, {150, 50, kBlack}}},
            // One bit a pixel: the two colours of the table between the header and the rows.
            {"WmfPalettedDibTakesItsColours",
             Wmf200({U_WMRSTRETCHDIB_set(
                 U_POINT16{0, 0}, U_POINT16{1000, 500}, U_POINT16{0, 0}, U_POINT16{2, 1}, U_DIB_RGB_COLORS,
                 U_SRCCOPY, reinterpret_cast<PU_BITMAPINFO>(monoDib.data()), 4, monoDib.data() + 48)}),
             {{50, 50, kRed}, {150, 50, kBlue}}},
            // Half an inch to the unit: the right column of the bitmap fills the left half.
            {"WmfSetDibitsToDeviceTakesItsPartOfTheBitmap",
             Wmf(QRect(QPoint(0, 0), QPoint(2, 2)), 2,
                 {U_WMRSETWINDOWEXT_set(U_POINT16{2, 2}), SetDibToDev(quadDib, 1, 1, 2)}),
             {{64, 64, kWhite}, {64, 190, kGreen}, {190, 64, kNothing}}},
            {"WmfShiftJisTextIsDrawn",
             Wmf200({U_WMRCREATEFONTINDIRECT_set(sjisFont.get()), U_WMRSELECTOBJECT_set(0),
                     U_WMRSETTEXTCOLOR_set(C(kRed)), U_WMRSETBKMODE_set(U_TRANSPARENT),
                     U_WMRTEXTOUT_set(U_POINT16{100, 100}, sjisSquare)}),
             {{20, 20, kRed, 80, 70}}}};
}

// Drawn at once or in slices of one record each, the picture is the same:
// nothing is lost or played twice between slices (objects made in one slice
// are used in the next).
TEST(MetafileDrawing, ShapesLandWhereTheRecordsPutThem) {
    for (const auto& [name, data, probes] : DrawCases()) {
        SCOPED_TRACE(name);
        const auto picture = zv::MetafileLoader::Load(data, 254);
        ASSERT_TRUE(picture.has_value());
        const QImage& image = picture->image;
        for (const Probe& p : probes) {
            const QRect area(p.x, p.y, p.width, p.height);
            ASSERT_TRUE(image.rect().contains(area));
            bool found = false;
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    found |= Near(image.pixelColor(x, y), p.expected);
            EXPECT_TRUE(found) << "at " << p.x << "," << p.y << " got "
                               << image.pixelColor(p.x, p.y).name(QColor::HexArgb).toStdString();
        }
        const auto drawing = zv::MetafileLoader::Start(data, 254, QSize(4096, 4096));
        ASSERT_NE(drawing, nullptr);
        int slices = 1;
        while (drawing->Continue(QDeadlineTimer(0)) == zv::MetafilePlay::kMore) ++slices;
        EXPECT_GE(slices, 3);  // at least a header, a record and the end
        EXPECT_EQ(drawing->Image(), image);
    }
}

TEST(MetafileText, BytesAreReadInTheFontsCharset) {
    const std::tuple<const char*, int, std::u16string> cases[] = {
        {"\x82\x6c\x82\x72 \x96\xbe\x92\xa9", 128, u"ＭＳ 明朝"},  // Shift-JIS
        {"\x82\x6c\x82\x72", 1, u"ＭＳ"},                          // default: the system's Shift-JIS
        {"caf\xe9", 0, u"café"}};                                  // ANSI
    for (const auto& [bytes, charset, expected] : cases)
        EXPECT_EQ(zv::MetafileDc::DecodeText(bytes, std::strlen(bytes), charset).toStdU16String(), expected)
            << charset;
}

TEST(MetafileSize, NaturalSizeComesFromTheHeaderWhateverTheCanvas) {
    const std::tuple<const char*, QByteArray, QSizeF> cases[] = {
        {"EmfFrameInHundredthsOfMm", Emf(QRect(0, 0, 10, 10), QRect(QPoint(0, 0), QPoint(2540, 1270)), {}),
         QSizeF(1440, 720)},
        {"EmfBoundsFarFromTheOrigin",
         Emf(QRect(QPoint(1651338240, 2000000000), QPoint(1651338339, 2000000049)), QRect(0, 0, 0, 0), {}),
         QSizeF(10 * 1440 / 25.4, 5 * 1440 / 25.4)},
        {"WmfPlaceableOtherUnits", Wmf(QRect(QPoint(100, 100), QPoint(1100, 600)), 1000, {}),
         QSizeF(1440, 720)},
        {"WmfWindowExtentInPixels", Wmf(std::nullopt, 0, {U_WMRSETWINDOWEXT_set(U_POINT16{100, 50})}),
         QSizeF(1500, 750)}};
    for (const auto& [name, data, twips] : cases) {
        SCOPED_TRACE(name);
        // A canvas cut to what is shown keeps the natural size.
        const auto cut = zv::MetafileLoader::Start(data, 96, QSize(20, 10));
        ASSERT_NE(cut, nullptr);
        EXPECT_NEAR(cut->Twips().width(), twips.width(), 0.5);
        EXPECT_NEAR(cut->Twips().height(), twips.height(), 0.5);
        EXPECT_EQ(cut->Image().size(), QSize(20, 10));
    }
}

TEST(MetafileBroken, DamageIsRefusedWhereTheSameShapeIntactLoads) {
    const QByteArray emf = Emf200({Brush(1, kRed), Rect(0, 0, 10, 10)});
    const QByteArray wmf = Wmf200({U_WMRRECTANGLE_set(U_RECT16{0, 0, 50, 50})});
    EXPECT_TRUE(zv::MetafileLoader::Load(emf, 96).has_value());
    EXPECT_TRUE(zv::MetafileLoader::Load(wmf, 96).has_value());
    const int firstRecord = uint8_t(emf[4]) | uint8_t(emf[5]) << 8;  // the header's size
    const std::pair<const char*, QByteArray> broken[] = {
        {"Empty", QByteArray()},
        {"EmfWithoutEndRecord", emf.chopped(20)},
        {"EmfRecordOfSizeZero", zvtest::With(emf, firstRecord + 4, 0)},
        {"EmfRecordPastTheEnd", zvtest::With(emf, firstRecord + 4, 0x7FFFFFF0)},
        {"WmfRecordOfSizeZero", zvtest::With(wmf, 22 + 18, 0)},
        {"WmfWithoutAnySize", Wmf(std::nullopt, 0, {})}};
    for (const auto& [name, data] : broken)
        EXPECT_FALSE(zv::MetafileLoader::Load(data, 96).has_value()) << name;
}

}  // namespace
