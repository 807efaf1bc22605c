// Every sample picture either shows or is refused; none may crash or hang the
// loader. The samples are read in place and the test skips without them.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <set>

#include "TestFiles.h"
#include "viewers/PictureLoader.h"

namespace {

TEST(PictureCorpus, EverySampleShowsOrIsRefusedWithinTime) {
    // Samples that hold a sound picture of their kind: these must show.
    const std::set<std::string> mustShow = {
        "pillow_drawing.emf",         "pillow_drawing.wmf",
        "tika_testEMF.emf",           "tika_testWMF.wmf",
        "tika_testWMF_charset.wmf",   "imagers_V3_R5_G6_B5.bmp",
        "imagers_V3_A1_R5_G5_B5.bmp", "imagers_V3_X8_R8_G8_B8_Top_Down.bmp"};
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
            if (picture) {
                EXPECT_FALSE(picture->image.isNull());
                EXPECT_GE(picture->twips.width(), 0);
                EXPECT_GE(picture->twips.height(), 0);
            }
            if (!mustShow.count(path.filename().string())) continue;
            ASSERT_TRUE(picture.has_value());
            EXPECT_GT(picture->twips.width(), 0);
            // A drawing that rendered to nothing means its records were lost.
            const QImage& image = picture->image;
            bool painted = false;
            for (int y = 0; y < image.height() && !painted; ++y)
                for (int x = 0; x < image.width() && !painted; ++x) painted = qAlpha(image.pixel(x, y)) != 0;
            EXPECT_TRUE(painted);
        }
    }
    if (samples == 0) GTEST_SKIP() << "no sample pictures";
}

// Bitmaps whose colour masks follow a plain 40-byte header (Qt's reader
// refuses them): a red and a blue pixel, 16 bits (5-6-5) and 32 bits each.
TEST(PictureLoader, BitmapsWithColourMasksShowTheirColours) {
    const struct {
        int bits;
        uint32_t red, blue;  // the two pixels
        uint32_t masks[3];
    } cases[] = {{16, 0xF800, 0x001F, {0xF800, 0x07E0, 0x001F}},
                 {32, 0xFF000000, 0x0000FF00, {0xFF000000, 0x00FF0000, 0x0000FF00}}};
    for (const auto& c : cases) {
        QByteArray bmp(14 + 40 + 12, '\0');
        auto put = [&](int at, uint32_t v, int n) {
            for (int i = 0; i < n; ++i) bmp[at + i] = char(v >> (8 * i));
        };
        bmp[0] = 'B', bmp[1] = 'M';
        put(10, 14 + 40 + 12, 4);
        put(14, 40, 4), put(18, 2, 4), put(22, 1, 4), put(26, 1, 2), put(28, uint32_t(c.bits), 2),
            put(30, 3, 4);
        for (int i = 0; i < 3; ++i) put(54 + 4 * i, c.masks[i], 4);
        QByteArray row((2 * c.bits / 8 + 3) / 4 * 4, '\0');
        for (int i = 0; i < c.bits / 8; ++i)
            row[i] = char(c.red >> (8 * i)), row[c.bits / 8 + i] = char(c.blue >> (8 * i));
        bmp += row;
        put(2, uint32_t(bmp.size()), 4);
        QTemporaryDir dir;
        const auto picture =
            zv::PictureLoader::Load(zvtest::WriteFile(dir, "masks.bmp", bmp.toStdString()), 96);
        ASSERT_TRUE(picture.has_value()) << c.bits;
        ASSERT_EQ(picture->image.size(), QSize(2, 1));
        // Five bits widen to eight with up to 7 short of full.
        for (const auto& [x, expected] : {std::pair{0, qRgb(255, 0, 0)}, std::pair{1, qRgb(0, 0, 255)}}) {
            const QRgb got = picture->image.pixel(x, 0);
            EXPECT_TRUE(qAlpha(got) == 255 && std::abs(qRed(got) - qRed(expected)) < 8 &&
                        std::abs(qGreen(got) - qGreen(expected)) < 8 &&
                        std::abs(qBlue(got) - qBlue(expected)) < 8)
                << c.bits << " bits, pixel " << x << ": " << std::hex << got;
        }
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
