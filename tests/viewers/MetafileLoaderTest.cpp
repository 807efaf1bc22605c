// The metafile loader: pictures built here with libUEMF must show the shapes
// they hold where they hold them; sizes come from the headers; broken data is
// refused.

#include <gtest/gtest.h>

#include <QImage>
#include <functional>

#include "MetafileBuilder.h"
#include "viewers/MetafileDc.h"
#include "viewers/MetafileLoader.h"

namespace {

using zvtest::EmfBuilder;
using zvtest::WmfBuilder;

const QColor kRed(255, 0, 0), kGreen(0, 160, 0), kBlue(0, 0, 255), kWhite(255, 255, 255), kBlack(0, 0, 0);
const QColor kNothing(0, 0, 0, 0);  // transparent: nothing drawn there

struct Probe {
    QPoint at;
    QColor expected;
};

bool Near(QColor a, QColor b) {
    if (b.alpha() == 0) return a.alpha() == 0;
    return a.alpha() > 200 && std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 &&
           std::abs(a.blue() - b.blue()) < 40;
}

std::string Describe(QColor c) {
    return "rgba(" + std::to_string(c.red()) + "," + std::to_string(c.green()) + "," +
           std::to_string(c.blue()) + "," + std::to_string(c.alpha()) + ")";
}

// A 2 x 2 true-colour DIB, bottom row first: red, green / blue, white on top.
QByteArray QuadDib() {
    const char rows[16] = {0,         0, char(255), 0,         char(160), 0,         0, 0,
                           char(255), 0, 0,         char(255), char(255), char(255), 0, 0};
    return zvtest::Dib(2, 2, 24, QByteArray(rows, 16));  // BGR, rows padded to four bytes
}

// A blit of a 2 x 1 DIB over the whole 200 x 200 picture. make is one of
// libUEMF's blit makers, extra its own argument (blend, colour).
template <typename Extra, typename Make>
char* WholeBlit(QByteArray dib, Extra extra, Make make) {
    return make(U_RECTL{0, 0, 200, 200}, U_POINTL{0, 0}, U_POINTL{200, 200}, U_POINTL{0, 0}, U_POINTL{2, 1},
                xform_set(1, 0, 0, 1, 0, 0), U_RGB(0, 0, 0), U_DIB_RGB_COLORS, extra,
                reinterpret_cast<PU_BITMAPINFO>(dib.data()), uint32_t(dib.size() - 40), dib.data() + 40);
}
U_BLEND Blend(uint8_t constant, uint8_t format) { return U_BLEND{0, 0, constant, format}; }

U_RECTL R(int l, int t, int r, int b) { return U_RECTL{l, t, r, b}; }
U_RECT16 R16(int l, int t, int r, int b) { return U_RECT16{int16_t(l), int16_t(t), int16_t(r), int16_t(b)}; }
U_COLORREF C(QColor c) { return U_RGB(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue())); }

char* EmfBrush(uint32_t handle, QColor c) {
    return U_EMRCREATEBRUSHINDIRECT_set(handle, logbrush_set(U_BS_SOLID, C(c), 0));
}
char* NullPen() { return U_EMRSELECTOBJECT_set(0x80000008); }
U_POINTL P(int x, int y) { return U_POINTL{x, y}; }

// A 200 x 200 pixel picture at 254 dpi: one canvas pixel per device pixel.
EmfBuilder Emf200() { return EmfBuilder(QRect(0, 0, 200, 200), QRect(QPoint(0, 0), QPoint(2000, 2000))); }

// A path of two squares drawn as figures of lines, the inner one inside the
// outer one and turning the same way, then filled in the given fill mode.
QByteArray NestedSquares(uint32_t fillMode) {
    EmfBuilder b = Emf200();
    b.Add(NullPen())
        .Add(EmfBrush(1, kRed))
        .Add(U_EMRSELECTOBJECT_set(1))
        .Add(U_EMRSETPOLYFILLMODE_set(fillMode));
    b.Add(U_EMRBEGINPATH_set());
    for (int inset : {10, 60}) {
        const U_POINTL corners[3] = {P(200 - inset, inset), P(200 - inset, 200 - inset),
                                     P(inset, 200 - inset)};
        b.Add(U_EMRMOVETOEX_set(P(inset, inset))).Add(U_EMRLINETO_set(corners[0]));
        b.Add(U_EMRPOLYLINETO_set(R(0, 0, 0, 0), 2, corners + 1)).Add(U_EMRCLOSEFIGURE_set());
    }
    return b.Add(U_EMRENDPATH_set()).Add(U_EMRFILLPATH_set(R(0, 0, 200, 200))).Finish();
}

struct DrawCase {
    const char* name;
    std::function<QByteArray()> build;
    double dpi;
    std::vector<Probe> probes;
};

std::vector<DrawCase> DrawCases() {
    std::vector<DrawCase> cases;
    cases.push_back({"EmfAnisotropicWindowToViewport",
                     [] {
                         return Emf200()
                             .Add(U_EMRSETMAPMODE_set(U_MM_ANISOTROPIC))
                             .Add(U_EMRSETWINDOWEXTEX_set(U_SIZEL{1000, 1000}))
                             .Add(U_EMRSETVIEWPORTEXTEX_set(U_SIZEL{200, 200}))
                             .Add(NullPen())
                             .Add(EmfBrush(1, kRed))
                             .Add(U_EMRSELECTOBJECT_set(1))
                             .Add(U_EMRRECTANGLE_set(R(500, 500, 1000, 1000)))
                             .Finish();
                     },
                     254,
                     {{{150, 150}, kRed}, {{50, 50}, kNothing}, {{95, 150}, kNothing}}});
    cases.push_back({"EmfClipEndsWithRestoredState",
                     [] {
                         return Emf200()
                             .Add(NullPen())
                             .Add(EmfBrush(1, kRed))
                             .Add(EmfBrush(2, kBlue))
                             .Add(U_EMRSELECTOBJECT_set(1))
                             .Add(U_EMRSAVEDC_set())
                             .Add(U_EMRINTERSECTCLIPRECT_set(R(0, 0, 100, 200)))
                             .Add(U_EMRRECTANGLE_set(R(0, 0, 200, 100)))
                             .Add(U_EMRRESTOREDC_set(-1))
                             .Add(U_EMRSELECTOBJECT_set(2))
                             .Add(U_EMRRECTANGLE_set(R(0, 120, 200, 200)))
                             .Finish();
                     },
                     254,
                     {{{50, 50}, kRed}, {{150, 50}, kNothing}, {{150, 160}, kBlue}, {{50, 160}, kBlue}}});
    cases.push_back({"EmfStretchDibitsKeepsRowOrder",
                     [] {
                         QByteArray dib = QuadDib();
                         return Emf200()
                             .Add(U_EMRSTRETCHDIBITS_set(
                                 R(0, 0, 200, 200), U_POINTL{0, 0}, U_POINTL{200, 200}, U_POINTL{0, 0},
                                 U_POINTL{2, 2}, U_DIB_RGB_COLORS, U_SRCCOPY,
                                 reinterpret_cast<PU_BITMAPINFO>(dib.data()), 16, dib.data() + 40))
                             .Finish();
                     },
                     254,
                     {{{50, 50}, kBlue}, {{150, 50}, kWhite}, {{50, 150}, kRed}, {{150, 150}, kGreen}}});
    cases.push_back({"EmfUnknownRecordIsSkipped",
                     [] {
                         QByteArray unknown(12, '\0');
                         zvtest::Put32(unknown, 0, 200);
                         zvtest::Put32(unknown, 4, 12);
                         return Emf200()
                             .AddRaw(unknown)
                             .Add(NullPen())
                             .Add(EmfBrush(1, kGreen))
                             .Add(U_EMRSELECTOBJECT_set(1))
                             .Add(U_EMRRECTANGLE_set(R(0, 0, 100, 100)))
                             .Finish();
                     },
                     254,
                     {{{50, 50}, kGreen}, {{150, 150}, kNothing}}});

    // Paths: lines, polylines and curves from the current position make one
    // figure, which filling closes.
    cases.push_back(
        {"EmfPathFigureOfSeparateLinesIsFilled",
         [] {
             const U_POINTL curve[3] = {P(20, 180), P(20, 180), P(20, 180)};  // a straight "curve"
             return Emf200()
                 .Add(EmfBrush(1, kRed))
                 .Add(U_EMRSELECTOBJECT_set(1))
                 .Add(U_EMRBEGINPATH_set())
                 .Add(U_EMRMOVETOEX_set(P(20, 20)))
                 .Add(U_EMRLINETO_set(P(180, 20)))
                 .Add(U_EMRLINETO_set(P(180, 180)))
                 .Add(U_EMRPOLYBEZIERTO_set(R(0, 0, 0, 0), 3, curve))
                 .Add(U_EMRENDPATH_set())
                 .Add(U_EMRSTROKEANDFILLPATH_set(R(0, 0, 200, 200)))
                 .Finish();
         },
         254,
         {{{100, 100}, kRed}, {{60, 140}, kRed}, {{100, 10}, kNothing}}});
    cases.push_back({"EmfPathWindingFillsTheInnerSquare",
                     [] { return NestedSquares(U_WINDING); },
                     254,
                     {{{100, 100}, kRed}, {{30, 100}, kRed}}});
    cases.push_back({"EmfPathAlternateLeavesTheInnerSquare",
                     [] { return NestedSquares(U_ALTERNATE); },
                     254,
                     {{{100, 100}, kNothing}, {{30, 100}, kRed}}});
    cases.push_back({"EmfClipPathLimitsLaterShapes",
                     [] {
                         const U_POINTL corners[2] = {P(100, 200), P(0, 200)};
                         return Emf200()
                             .Add(NullPen())
                             .Add(EmfBrush(1, kBlue))
                             .Add(U_EMRSELECTOBJECT_set(1))
                             .Add(U_EMRBEGINPATH_set())
                             .Add(U_EMRMOVETOEX_set(P(0, 0)))
                             .Add(U_EMRLINETO_set(P(100, 0)))
                             .Add(U_EMRPOLYLINETO_set(R(0, 0, 0, 0), 2, corners))
                             .Add(U_EMRENDPATH_set())
                             .Add(U_EMRSELECTCLIPPATH_set(U_RGN_COPY))
                             .Add(U_EMRRECTANGLE_set(R(0, 0, 200, 200)))
                             .Finish();
                     },
                     254,
                     {{{20, 100}, kBlue}, {{150, 100}, kNothing}}});

    // Extended pens: a hollow brush draws no outline, a cosmetic pen is one
    // pixel wide whatever width it names.
    cases.push_back({"EmfExtendedPensHollowAndCosmetic",
                     [] {
                         const U_LOGBRUSH black = logbrush_set(U_BS_SOLID, C(kBlack), 0);
                         auto pen = [&](uint32_t handle, uint32_t style, uint32_t brushStyle) {
                             PU_EXTLOGPEN elp =
                                 extlogpen_set(style, 30, brushStyle, black.lbColor, 0, 0, nullptr);
                             char* record = U_EMREXTCREATEPEN_set(handle, nullptr, 0, nullptr, elp);
                             std::free(elp);
                             return record;
                         };
                         return Emf200()
                             .Add(U_EMRSELECTOBJECT_set(0x80000005))  // hollow brush
                             .Add(pen(1, U_PS_GEOMETRIC | U_PS_SOLID, U_BS_NULL))
                             .Add(U_EMRSELECTOBJECT_set(1))
                             .Add(U_EMRRECTANGLE_set(R(20, 20, 80, 180)))
                             .Add(pen(2, U_PS_COSMETIC | U_PS_SOLID, U_BS_SOLID))
                             .Add(U_EMRSELECTOBJECT_set(2))
                             .Add(U_EMRRECTANGLE_set(R(120, 20, 180, 180)))
                             .Finish();
                     },
                     254,
                     {{{20, 100}, kNothing}, {{128, 100}, kNothing}}});

    cases.push_back({"EmfGradientRectangleShadesAcross",
                     [] {
                         U_TRIVERTEX corners[2] = {{0, 0, 0xFF00, 0, 0, 0}, {200, 200, 0, 0, 0xFF00, 0}};
                         U_GRADIENT4 rect{0, 1};
                         return Emf200()
                             .Add(U_EMRGRADIENTFILL_set(R(0, 0, 200, 200), 2, 1, U_GRADIENT_FILL_RECT_H,
                                                        corners, reinterpret_cast<uint32_t*>(&rect)))
                             .Finish();
                     },
                     254,
                     {{{5, 100}, kRed}, {{100, 100}, QColor(128, 0, 128)}, {{195, 100}, kBlue}}});

    cases.push_back(
        {"EmfBlitsWithoutSourcePaintByTheirOperation",
         [] {
             auto blit = [](int left, uint32_t rop) {
                 return U_EMRBITBLT_set(R(0, 0, 0, 0), P(left, 0), P(50, 200), P(0, 0),
                                        xform_set(1, 0, 0, 1, 0, 0), U_RGB(0, 0, 0), U_DIB_RGB_COLORS, rop,
                                        nullptr, 0, nullptr);
             };
             return Emf200()
                 .Add(EmfBrush(1, kRed))
                 .Add(U_EMRSELECTOBJECT_set(1))
                 .Add(blit(0, U_PATCOPY))
                 .Add(blit(50, U_BLACKNESS))
                 .Add(blit(100, U_DSTINVERT))
                 .Add(blit(150, U_NOOP))
                 .Finish();
         },
         254,
         {{{25, 100}, kRed}, {{75, 100}, kBlack}, {{125, 100}, kNothing}, {{175, 100}, kNothing}}});

    // A sharp corner of a mitred pen reaches as far as the miter limit (GDI's
    // 10 unless the file sets one) lets it.
    auto sharpCorner = [](std::optional<uint32_t> miterLimit) {
        EmfBuilder b = Emf200();
        PU_EXTLOGPEN elp = extlogpen_set(U_PS_GEOMETRIC | U_PS_SOLID | U_PS_JOIN_MITER, 20, U_BS_SOLID,
                                         C(kBlack), 0, 0, nullptr);
        b.Add(U_EMREXTCREATEPEN_set(1, nullptr, 0, nullptr, elp)).Add(U_EMRSELECTOBJECT_set(1));
        std::free(elp);
        if (miterLimit) b.Add(U_EMRSETMITERLIMIT_set(*miterLimit));
        const U_POINTL v[3] = {P(90, 190), P(100, 110), P(110, 190)};  // a corner of 15 degrees
        return b.Add(U_EMRPOLYLINE_set(R(0, 0, 200, 200), 3, v)).Finish();
    };
    cases.push_back({"EmfMiterReachesAsFarAsTheDefaultLimitLets",
                     [=] { return sharpCorner(std::nullopt); },
                     254,
                     {{{100, 50}, kBlack}}});
    cases.push_back({"EmfLowMiterLimitBevelsTheCorner",
                     [=] { return sharpCorner(4); },
                     254,
                     {{{100, 50}, kNothing}, {{100, 108}, kBlack}}});

    // Text: the background mode alone decides whether a text cell is filled,
    // ETO_OPAQUE fills its rectangle in the background colour.
    cases.push_back({"EmfTransparentTextLeavesTheShapeBehindIt",
                     [] {
                         return Emf200()
                             .Add(NullPen())
                             .Add(EmfBrush(1, kWhite))
                             .Add(U_EMRSELECTOBJECT_set(1))
                             .Add(U_EMRSETBKCOLOR_set(C(kBlack)))
                             .Add(U_EMRRECTANGLE_set(R(0, 0, 200, 200)))  // drawn in opaque mode
                             .Add(U_EMRSETBKMODE_set(U_TRANSPARENT))
                             .Add(U_EMRSETTEXTCOLOR_set(C(kRed)))
                             .Add(zvtest::EmfFont(2, -100))
                             .Add(U_EMRSELECTOBJECT_set(2))
                             .Add(zvtest::EmfText(P(20, 20), u"\u2588 ", 0, R(0, 0, 0, 0)))
                             .Finish();
                     },
                     254,
                     {{{50, 70}, kRed}, {{110, 70}, kWhite}}});
    cases.push_back({"EmfOpaqueTextRectangleTakesTheBackgroundColour",
                     [] {
                         return Emf200()
                             .Add(U_EMRSETBKMODE_set(U_TRANSPARENT))
                             .Add(U_EMRSETBKCOLOR_set(C(kBlue)))
                             .Add(zvtest::EmfText(P(20, 20), u" ", U_ETO_OPAQUE, R(0, 0, 200, 100)))
                             .Finish();
                     },
                     254,
                     {{{100, 50}, kBlue}, {{100, 150}, kNothing}}});
    cases.push_back({"EmfFontWidthWidensTheCharacters",
                     [] {
                         return Emf200()
                             .Add(U_EMRSETBKMODE_set(U_TRANSPARENT))
                             .Add(U_EMRSETTEXTCOLOR_set(C(kRed)))
                             .Add(zvtest::EmfFont(1, -50, 100))
                             .Add(U_EMRSELECTOBJECT_set(1))
                             .Add(zvtest::EmfText(P(20, 20), u"\u2588", 0, R(0, 0, 0, 0), 150))
                             .Finish();
                     },
                     254,
                     {{{30, 45}, kRed}, {{100, 45}, kRed}, {{180, 45}, kNothing}}});
    cases.push_back({"EmfSmallTextOutDrawsTextAndRectangle",
                     [] {
                         const char16_t block[2] = {u'\u2588', 0};
                         return Emf200()
                             .Add(U_EMRSETBKCOLOR_set(C(kBlue)))
                             .Add(U_EMRSETTEXTCOLOR_set(C(kRed)))
                             .Add(zvtest::EmfFont(1, -100))
                             .Add(U_EMRSELECTOBJECT_set(1))
                             .Add(U_EMRSMALLTEXTOUT_set(P(20, 20), 1, U_ETO_OPAQUE, U_GM_COMPATIBLE, 1, 1,
                                                        R(0, 150, 200, 200),
                                                        reinterpret_cast<const char*>(block)))
                             .Finish();
                     },
                     254,
                     {{{40, 70}, kRed}, {{100, 175}, kBlue}, {{150, 70}, kNothing}}});

    // Blits: the blend's source alpha and constant alpha, the transparent colour.
    const char redAndClear[8] = {0, 0, char(255), char(255), 0, 0, 0, 0};  // BGRA, premultiplied
    const char redAndGreen[8] = {0, 0, char(255), 0, char(160), 0, 0, 0};  // BGR, row padded
    cases.push_back({"EmfAlphaBlendKeepsSourceAlpha",
                     [=] {
                         return Emf200()
                             .Add(WholeBlit(zvtest::Dib(2, 1, 32, QByteArray(redAndClear, 8)),
                                            Blend(255, U_AC_SRC_ALPHA), U_EMRALPHABLEND_set))
                             .Finish();
                     },
                     254,
                     {{{50, 100}, kRed}, {{150, 100}, kNothing}}});
    cases.push_back({"EmfAlphaBlendWeighsByConstantAlpha",
                     [=] {
                         return Emf200()
                             .Add(NullPen())
                             .Add(EmfBrush(1, kBlue))
                             .Add(U_EMRSELECTOBJECT_set(1))
                             .Add(U_EMRRECTANGLE_set(R(0, 0, 200, 200)))
                             .Add(WholeBlit(zvtest::Dib(2, 1, 24, QByteArray(redAndGreen, 8)), Blend(128, 0),
                                            U_EMRALPHABLEND_set))
                             .Finish();
                     },
                     254,
                     {{{50, 100}, QColor(128, 0, 127)}}});
    cases.push_back({"EmfTransparentBltLeavesOutItsColour",
                     [=] {
                         return Emf200()
                             .Add(NullPen())
                             .Add(EmfBrush(1, kBlue))
                             .Add(U_EMRSELECTOBJECT_set(1))
                             .Add(U_EMRRECTANGLE_set(R(0, 0, 200, 200)))
                             .Add(WholeBlit(zvtest::Dib(2, 1, 24, QByteArray(redAndGreen, 8)),
                                            uint32_t(160 << 8), U_EMRTRANSPARENTBLT_set))
                             .Finish();
                     },
                     254,
                     {{{50, 100}, kRed}, {{150, 100}, kBlue}}});

    // A placeable WMF of 1 x 0.5 inch drawn at 200 dpi: 200 x 100 pixels.
    auto wmf = [] {
        WmfBuilder b(QRect(QPoint(0, 0), QPoint(1000, 500)), 1000);
        b.Add(U_WMRSETWINDOWORG_set(U_POINT16{0, 0})).Add(U_WMRSETWINDOWEXT_set(U_POINT16{1000, 500}));
        return b;
    };
    auto wmfBrush = [](QColor c) { return U_WMRCREATEBRUSHINDIRECT_set(U_WLOGBRUSH{U_BS_SOLID, C(c), 0}); };
    auto wmfNullPen = [] {
        U_PEN pen{};
        pen.Style = U_PS_NULL;
        return U_WMRCREATEPENINDIRECT_set(pen);
    };
    cases.push_back({"WmfDeletedSlotIsReused",
                     [=] {
                         return wmf()
                             .Add(wmfNullPen())
                             .Add(U_WMRSELECTOBJECT_set(0))
                             .Add(wmfBrush(kRed))
                             .Add(wmfBrush(kGreen))
                             .Add(U_WMRDELETEOBJECT_set(1))
                             .Add(wmfBrush(kBlue))  // goes into slot 1
                             .Add(U_WMRSELECTOBJECT_set(1))
                             .Add(U_WMRRECTANGLE_set(R16(0, 0, 500, 500)))
                             .Add(U_WMRSELECTOBJECT_set(2))
                             .Add(U_WMRRECTANGLE_set(R16(500, 0, 1000, 500)))
                             .Finish();
                     },
                     200,
                     {{{50, 50}, kBlue}, {{150, 50}, kGreen}}});
    return cases;
}

class MetafileDrawing : public ::testing::TestWithParam<DrawCase> {};

TEST_P(MetafileDrawing, ShapesLandWhereTheRecordsPutThem) {
    const DrawCase& c = GetParam();
    const auto picture = zv::MetafileLoader::Load(c.build(), c.dpi);
    ASSERT_TRUE(picture.has_value());
    for (const Probe& p : c.probes) {
        ASSERT_TRUE(picture->image.rect().contains(p.at)) << p.at.x() << "," << p.at.y();
        const QColor got = picture->image.pixelColor(p.at);
        EXPECT_TRUE(Near(got, p.expected)) << "at " << p.at.x() << "," << p.at.y() << " got " << Describe(got)
                                           << " expected " << Describe(p.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Records, MetafileDrawing, ::testing::ValuesIn(DrawCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// ----------------------------------------------------------------- text

bool HasInk(const QImage& image, QRect area, QColor ink) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (Near(image.pixelColor(x, y), ink)) return true;
    return false;
}

TEST(MetafileText, WmfShiftJisTextIsDrawn) {
    WmfBuilder b(QRect(QPoint(0, 0), QPoint(1000, 500)), 1000);
    // A Japanese face name in Shift-JIS ("ＭＳ ゴシック") with the Shift-JIS charset.
    std::vector<char> fontBytes(sizeof(U_FONT) + 32, '\0');
    auto* font = reinterpret_cast<U_FONT*>(fontBytes.data());
    font->Height = -300;
    font->Weight = 400;
    font->CharSet = 128;
    std::strcpy(reinterpret_cast<char*>(font->FaceName),
                "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e");
    char square[] = "\x81\xa1";  // ■ in Shift-JIS
    const QByteArray data = b.Add(U_WMRSETWINDOWEXT_set(U_POINT16{1000, 500}))
                                .Add(U_WMRCREATEFONTINDIRECT_set(font))
                                .Add(U_WMRSELECTOBJECT_set(0))
                                .Add(U_WMRSETTEXTCOLOR_set(C(kRed)))
                                .Add(U_WMRSETBKMODE_set(U_TRANSPARENT))
                                .Add(U_WMRTEXTOUT_set(U_POINT16{100, 100}, square))
                                .Finish();
    const auto picture = zv::MetafileLoader::Load(data, 200);
    ASSERT_TRUE(picture.has_value());
    EXPECT_TRUE(HasInk(picture->image, QRect(20, 20, 80, 70), kRed));
}

struct DecodeCase {
    const char* bytes;
    int charset;
    const char16_t* expected;
};

class MetafileDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(MetafileDecode, BytesAreReadInTheFontsCharset) {
    const DecodeCase& c = GetParam();
    EXPECT_EQ(zv::MetafileDc::DecodeText(c.bytes, std::strlen(c.bytes), c.charset).toStdU16String(),
              std::u16string(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Charsets, MetafileDecode,
    ::testing::Values(DecodeCase{"\x82\x6c\x82\x72 \x96\xbe\x92\xa9", 128, u"ＭＳ 明朝"},  // Shift-JIS
                      DecodeCase{"\x82\x6c\x82\x72", 1, u"ＭＳ"},  // default: the system's Shift-JIS
                      DecodeCase{"caf\xe9", 0, u"café"}));         // ANSI

// ----------------------------------------------------------------- sizes

struct SizeCase {
    const char* name;
    std::function<QByteArray()> build;
    QSizeF twips;
};

class MetafileSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(MetafileSize, NaturalSizeComesFromTheHeader) {
    const auto picture = zv::MetafileLoader::Load(GetParam().build(), 96);
    ASSERT_TRUE(picture.has_value());
    EXPECT_NEAR(picture->twips.width(), GetParam().twips.width(), 0.5);
    EXPECT_NEAR(picture->twips.height(), GetParam().twips.height(), 0.5);
    EXPECT_NEAR(picture->image.width(), GetParam().twips.width() / 15, 1.0);
    EXPECT_NEAR(picture->image.height(), GetParam().twips.height() / 15, 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, MetafileSize,
    ::testing::Values(
        SizeCase{
            "EmfFrameInHundredthsOfMm",
            [] { return EmfBuilder(QRect(0, 0, 10, 10), QRect(QPoint(0, 0), QPoint(2540, 1270))).Finish(); },
            QSizeF(1440, 720)},
        SizeCase{"EmfBoundsFarFromTheOrigin",
                 [] {
                     return EmfBuilder(QRect(QPoint(1651338240, 2000000000), QPoint(1651338339, 2000000049)),
                                       QRect(0, 0, 0, 0), 10)
                         .Finish();
                 },
                 QSizeF(10 * 1440 / 25.4, 5 * 1440 / 25.4)},
        SizeCase{"WmfPlaceableOtherUnits",
                 [] { return WmfBuilder(QRect(QPoint(100, 100), QPoint(1100, 600)), 1000).Finish(); },
                 QSizeF(1440, 720)},
        SizeCase{"WmfWindowExtentInPixels",
                 [] {
                     return WmfBuilder().Add(U_WMRSETWINDOWEXT_set(U_POINT16{100, 50})).Finish();
                 },
                 QSizeF(1500, 750)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MetafileSize, CanvasIsCutToWhatIsShownButSizeIsNot) {
    const QByteArray data =
        EmfBuilder(QRect(0, 0, 10, 10), QRect(QPoint(0, 0), QPoint(254000, 254000))).Finish();
    const auto drawing = zv::MetafileLoader::Start(data, 96, QSize(500, 300));
    ASSERT_NE(drawing, nullptr);
    EXPECT_NEAR(drawing->Twips().width(), 144000, 1);
    EXPECT_EQ(drawing->Image().size(), QSize(500, 300));
}

// A drawing carried on in slices of one record each ends as the drawing made
// at once: nothing is lost or played twice between slices (objects made in
// one slice are used in the next).
TEST(MetafileSlices, DrawingInSlicesEndsAsDrawingAtOnce) {
    for (const DrawCase& c : DrawCases()) {
        const QByteArray data = c.build();
        const auto whole = zv::MetafileLoader::Load(data, c.dpi);
        ASSERT_TRUE(whole.has_value()) << c.name;
        const auto drawing = zv::MetafileLoader::Start(data, c.dpi, QSize(4096, 4096));
        ASSERT_NE(drawing, nullptr) << c.name;
        int slices = 1;
        while (drawing->Continue(QDeadlineTimer(0)) == zv::MetafilePlay::kMore) ++slices;
        EXPECT_GE(slices, 3) << c.name;  // at least a header, a record and the end
        EXPECT_EQ(drawing->Image(), whole->image) << c.name;
    }
}

// ----------------------------------------------------------------- broken data

QByteArray GoodEmf() {
    return Emf200().Add(EmfBrush(1, kRed)).Add(U_EMRRECTANGLE_set(R(0, 0, 10, 10))).Finish();
}
QByteArray GoodWmf() {
    return WmfBuilder(QRect(QPoint(0, 0), QPoint(100, 100)), 1440)
        .Add(U_WMRRECTANGLE_set(R16(0, 0, 50, 50)))
        .Finish();
}

struct BrokenCase {
    const char* name;
    std::function<QByteArray()> build;
};

class MetafileBroken : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(MetafileBroken, IsRefused) {
    EXPECT_FALSE(zv::MetafileLoader::Load(GetParam().build(), 96).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, MetafileBroken,
    ::testing::Values(BrokenCase{"Empty", [] { return QByteArray(); }},
                      BrokenCase{"EmfWithoutEndRecord", [] { return GoodEmf().chopped(20); }},
                      BrokenCase{"EmfRecordOfSizeZero",
                                 [] {
                                     QByteArray d = GoodEmf();
                                     const uint32_t headerSize = uint8_t(d[4]) | uint8_t(d[5]) << 8;
                                     zvtest::Put32(d, int(headerSize) + 4, 0);
                                     return d;
                                 }},
                      BrokenCase{"EmfRecordPastTheEnd",
                                 [] {
                                     QByteArray d = GoodEmf();
                                     const uint32_t headerSize = uint8_t(d[4]) | uint8_t(d[5]) << 8;
                                     zvtest::Put32(d, int(headerSize) + 4, 0x7FFFFFF0);
                                     return d;
                                 }},
                      BrokenCase{"WmfRecordOfSizeZero",
                                 [] {
                                     QByteArray d = GoodWmf();
                                     zvtest::Put32(d, 22 + 18, 0);
                                     return d;
                                 }},
                      BrokenCase{"WmfWithoutAnySize", [] { return WmfBuilder().Finish(); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MetafileBroken, GoodOnesOfTheSameShapeLoad) {
    // The refusals above are about the damage, not about the pictures.
    EXPECT_TRUE(zv::MetafileLoader::Load(GoodEmf(), 96).has_value());
    EXPECT_TRUE(zv::MetafileLoader::Load(GoodWmf(), 96).has_value());
}

}  // namespace
