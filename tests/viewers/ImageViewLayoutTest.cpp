// The image viewer's window: picture plus 150 x 450 twips, each side cut to
// the screen only when strictly larger; and the window as it loads a file.

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>
#include <cmath>
#include <fstream>
#include <limits>

#include "FakeMessageBox.h"
#include "MetafileBuilder.h"
#include "shared/Valiable.h"
#include "viewers/Frm_ImageView.h"
#include "viewers/ImageViewLayout.h"

namespace {

struct LayoutCase {
    const char* name;
    QSizeF picture;
    QSizeF screen;
    std::optional<QSizeF> window;
};

class ImageViewLayoutRule : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(ImageViewLayoutRule, WindowSize) {
    const LayoutCase& c = GetParam();
    const auto window = zv::ImageViewLayout::WindowSize(c.picture, c.screen);
    ASSERT_EQ(window.has_value(), c.window.has_value());
    if (window) {
        EXPECT_DOUBLE_EQ(window->width(), c.window->width());
        EXPECT_DOUBLE_EQ(window->height(), c.window->height());
    }
}

const QSizeF kScreen(28800, 16200);  // 1920 x 1080 pixels at 15 twips
constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Cases, ImageViewLayoutRule,
    ::testing::Values(
        // 100 x 50 pixels at 15 twips per pixel.
        LayoutCase{"SmallBitmap", {1500, 750}, kScreen, QSizeF(1650, 1200)},
        LayoutCase{"WiderThanScreen", {40000, 750}, kScreen, QSizeF(28800, 1200)},
        LayoutCase{"ExactlyScreenIsNotCut", {28800 - 150, 16200 - 450}, kScreen, QSizeF(28800, 16200)},
        LayoutCase{"OneTwipOverIsCut", {28800 - 149, 16200 - 449}, kScreen, QSizeF(28800, 16200)},
        LayoutCase{"Overflow", {kInf, 750}, kScreen, std::nullopt},
        LayoutCase{"NotANumber", {std::nan(""), 750}, kScreen, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// ----------------------------------------------------------------- window

class ImageViewWindow : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    void TearDown() override { Valiable::PreviewFilePath.clear(); }
    std::u16string Path(const QString& name) { return dir_.filePath(name).toStdU16String(); }
    double Twips(const Frm_ImageView& w) const {
        return zv::ImageViewLayout::TwipsPerPixel(w.screen()->logicalDotsPerInchX());
    }

    QTemporaryDir dir_;
    zvtest::FakeMessageBox messages_;
};

TEST_F(ImageViewWindow, BitmapSetsPictureAndWindowSize) {
    QImage image(100, 50, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(dir_.filePath("a b.bmp"), "BMP"));
    Valiable::PreviewFilePath = Path("a b.bmp");
    Frm_ImageView view(messages_);
    view.Form_Load();
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(view.Image1->size(), QSize(100, 50));
    const double t = Twips(view);
    EXPECT_DOUBLE_EQ(view.WindowTwips().width(), 100 * t + 150);
    EXPECT_DOUBLE_EQ(view.WindowTwips().height(), 50 * t + 450);
    EXPECT_EQ(view.windowTitle(), QStringLiteral("イメージビュアー( ") + dir_.filePath("a b.bmp") + " )");
}

TEST_F(ImageViewWindow, BrokenPictureGivesMessageAndEmptyWindow) {
    std::ofstream(dir_.filePath("broken.jpg").toStdString()) << "not a jpeg at all";
    Valiable::PreviewFilePath = Path("broken.jpg");
    Frm_ImageView view(messages_);
    const QSize designSize = view.size();
    view.Form_Load();
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].prompt, u"このファイルは表示できません。");
    EXPECT_EQ(messages_.shown[0].title, u"読み込みエラー");
    EXPECT_EQ(messages_.shown[0].buttons, zv::kOkOnly);
    // The window stays, at its design size, with the caption and no picture.
    EXPECT_EQ(view.size(), designSize);
    EXPECT_EQ(view.WindowTwips(), QSizeF(4680, 3195));
    EXPECT_TRUE(view.Image1->pixmap().isNull());
    EXPECT_TRUE(view.windowTitle().contains(dir_.filePath("broken.jpg")));
}

TEST_F(ImageViewWindow, MetafileIsDrawnOnlyAsFarAsTheScreenShowsIt) {
    // A header claiming a picture 2 m square: the window is cut to the screen,
    // and so is the canvas it is drawn on.
    const QByteArray emf =
        zvtest::EmfBuilder(QRect(0, 0, 20000, 20000), QRect(QPoint(0, 0), QPoint(200000, 200000))).Finish();
    QFile file(dir_.filePath("big.emf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(emf) == emf.size());
    file.close();
    Valiable::PreviewFilePath = Path("big.emf");
    Frm_ImageView view(messages_);
    view.Form_Load();
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_FALSE(view.Drawing());
    const QSize screen = view.screen()->geometry().size();
    EXPECT_EQ(view.Image1->pixmap().size(), screen);
    const double t = Twips(view);
    EXPECT_FLOAT_EQ(float(view.WindowTwips().width()), float(screen.width() * t));
}

TEST_F(ImageViewWindow, CursorIsReadAsIcon) {
    // A .cur is an icon file whose type word says cursor.
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(dir_.filePath("c.ico"), "ICO"));
    QFile icon(dir_.filePath("c.ico"));
    ASSERT_TRUE(icon.open(QIODevice::ReadOnly));
    QByteArray bytes = icon.readAll();
    bytes[2] = 2;
    QFile cursor(dir_.filePath("c.cur"));
    ASSERT_TRUE(cursor.open(QIODevice::WriteOnly));
    cursor.write(bytes);
    cursor.close();
    Valiable::PreviewFilePath = Path("c.cur");
    Frm_ImageView view(messages_);
    view.Form_Load();
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(view.Image1->size(), QSize(32, 32));
}

}  // namespace
