// Every sample picture either shows or is refused; none may crash or hang the
// loader. The samples are read in place and the test skips without them.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QImage>
#include <array>
#include <set>

#include "MetafileBuilder.h"
#include "TestFiles.h"
#include "viewers/PictureLoader.h"

namespace {

TEST(PictureCorpus, EverySampleShowsOrIsRefusedWithinTime) {
    // Samples that hold a sound picture of their kind: these must show.
    const std::set<std::string> mustShow = {
        "pillow_drawing.emf", "pillow_drawing.wmf", "tika_testEMF.emf", "tika_testWMF.wmf",
        "tika_testWMF_charset.wmf", "imagers_V3_R5_G6_B5.bmp", "imagers_V3_A1_R5_G5_B5.bmp",
        "imagers_V3_X8_R8_G8_B8_Top_Down.bmp"};
    int samples = 0;
    for (const char* kind : {"bmp", "ico", "cur", "gif", "wmf", "emf"}) {
        for (const auto& path : zvtest::FilesIn(zvtest::CorpusDir(kind))) {
            SCOPED_TRACE(path.string());
            ++samples;
            QElapsedTimer timer;
            timer.start();
            const auto picture = zv::PictureLoader::Load(path.u16string(), 96);
            // A preview that takes this long is as good as hung for the user.
            EXPECT_LT(timer.elapsed(), 20000);
            EXPECT_TRUE(!picture || (!picture->image.isNull() && picture->twips.width() >= 0 &&
                                     picture->twips.height() >= 0));
            if (!mustShow.count(path.filename().string())) continue;
            ASSERT_TRUE(picture.has_value());
            EXPECT_GT(picture->twips.width(), 0);
            // A drawing that rendered to nothing means its records were lost.
            QImage blank(picture->image.size(), QImage::Format_ARGB32_Premultiplied);
            blank.fill(Qt::transparent);
            EXPECT_NE(picture->image.convertToFormat(QImage::Format_ARGB32_Premultiplied), blank);
        }
    }
    if (samples == 0) GTEST_SKIP() << "no sample pictures";
}

// Bitmaps whose colour masks follow a plain 40-byte header (Qt's reader
// refuses them): a red and a blue pixel, 16 bits (5-6-5) and 32 bits each.
TEST(PictureLoader, BitmapsWithColourMasksShowTheirColours) {
    using Masks = std::array<uint32_t, 3>;
    for (const auto& [bits, masks] : {std::pair{16, Masks{0xF800, 0x07E0, 0x001F}},
                                      std::pair{32, Masks{0xFF000000, 0x00FF0000, 0x0000FF00}}}) {
        QByteArray tail(12 + (2 * bits / 8 + 3) / 4 * 4, '\0');  // the masks, then the row
        for (int i = 0; i < 3; ++i) zvtest::Put(tail, 4 * i, masks[i]);
        zvtest::Put(tail, 12, masks[0], bits / 8), zvtest::Put(tail, 12 + bits / 8, masks[2], bits / 8);
        QByteArray bmp = "BM" + QByteArray(12, '\0') + zvtest::Dib(2, 1, bits, tail);
        zvtest::Put(bmp, 2, uint32_t(bmp.size())), zvtest::Put(bmp, 10, 14 + 40 + 12);
        zvtest::Put(bmp, 14 + 16, 3);  // the masks' compression
        QTemporaryDir dir;
        const auto picture =
            zv::PictureLoader::Load(zvtest::WriteFile(dir, "masks.bmp", bmp.toStdString()), 96);
        ASSERT_TRUE(picture.has_value()) << bits;
        ASSERT_EQ(picture->image.size(), QSize(2, 1));
        // Opaque; five bits widen to eight with up to 7 short of full.
        for (const auto& [x, expected] : {std::pair{0, qRgb(255, 0, 0)}, std::pair{1, qRgb(0, 0, 255)}})
            EXPECT_EQ(picture->image.pixel(x, 0) | 0x070707u, expected | 0x070707u)
                << bits << " bits, pixel " << x;
    }
}

// A photo larger than what is shown is read only that far (the reader keeps
// a large one within its memory limit), and still reports its natural size.
TEST(PictureLoader, PhotoIsReadOnlyAsFarAsItShows) {
    QImage photo(400, 300, QImage::Format_RGB32);
    photo.fill(Qt::green);
    QTemporaryDir dir;
    ASSERT_TRUE(photo.save(dir.filePath("p.jpg"), "JPEG"));
    const auto picture = zv::PictureLoader::Load(dir.filePath("p.jpg").toStdU16String(), 96, QSize(100, 50));
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->image.size(), QSize(100, 50));
    EXPECT_EQ(picture->twips, QSizeF(400 * 15, 300 * 15));
}

}  // namespace
