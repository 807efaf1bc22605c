// Every sample picture either shows or is refused; none may crash or hang the
// loader. The samples are read in place and the test skips without them.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>

#include "TestFiles.h"
#include "viewers/PictureLoader.h"

namespace {

std::vector<std::string> CorpusFiles() {
    std::vector<std::string> files;
    for (const char* kind : {"bmp", "ico", "cur", "gif", "wmf", "emf"})
        for (const auto& path : zvtest::FilesIn(zvtest::CorpusDir(kind))) files.push_back(path.string());
    if (files.empty()) files.push_back("");  // one skipped case instead of none
    return files;
}

// Samples that hold a sound picture of their kind: these must show.
bool MustShow(const std::string& path) {
    for (const char* good : {"pillow_drawing.emf", "pillow_drawing.wmf", "tika_testEMF.emf",
                             "tika_testWMF.wmf", "tika_testWMF_charset.wmf"})
        if (path.size() >= strlen(good) &&
            path.compare(path.size() - strlen(good), std::string::npos, good) == 0)
            return true;
    return false;
}

class PictureCorpus : public ::testing::TestWithParam<std::string> {};

TEST_P(PictureCorpus, ShowsOrRefusesWithinTime) {
    const std::string path = GetParam();
    if (path.empty()) GTEST_SKIP() << "no sample pictures";
    QElapsedTimer timer;
    timer.start();
    const auto picture = zv::PictureLoader::Load(std::filesystem::path(path).u16string(), 96);
    // A preview that takes this long is as good as hung for the user.
    EXPECT_LT(timer.elapsed(), 20000) << path;
    if (picture) {
        EXPECT_FALSE(picture->image.isNull()) << path;
        EXPECT_GE(picture->twips.width(), 0);
        EXPECT_GE(picture->twips.height(), 0);
    }
    if (MustShow(path)) {
        ASSERT_TRUE(picture.has_value()) << path;
        EXPECT_GT(picture->twips.width(), 0) << path;
        // A drawing that rendered to nothing means its records were lost.
        const QImage& image = picture->image;
        bool painted = false;
        for (int y = 0; y < image.height() && !painted; ++y)
            for (int x = 0; x < image.width() && !painted; ++x) painted = qAlpha(image.pixel(x, y)) != 0;
        EXPECT_TRUE(painted) << path;
    }
}

INSTANTIATE_TEST_SUITE_P(Samples, PictureCorpus, ::testing::ValuesIn(CorpusFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name =
                                 std::to_string(info.index) + "_" +
                                 QFileInfo(QString::fromStdString(info.param)).fileName().toStdString();
                             for (char& c : name)
                                 if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

}  // namespace
