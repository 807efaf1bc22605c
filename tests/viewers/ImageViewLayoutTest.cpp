// The image viewer's window: picture plus 150 x 450 twips, each side cut to
// the screen only when strictly larger; and the window as it loads a file.

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>
#include <cmath>
#include <limits>

#include "MetafileBuilder.h"
#include "TestFiles.h"
#include "shared/Valiable.h"
#include "viewers/Frm_ImageView.h"
#include "viewers/ImageViewLayout.h"

namespace {

TEST(ImageViewLayout, WindowSize) {
    const QSizeF screen(28800, 16200);  // 1920 x 1080 pixels at 15 twips
    const struct {
        const char* name;
        QSizeF picture;
        std::optional<QSizeF> window;
    } cases[] = {{"SmallBitmap", {1500, 750}, QSizeF(1650, 1200)},  // 100 x 50 pixels
                 {"WiderThanScreen", {40000, 750}, QSizeF(28800, 1200)},
                 {"ExactlyScreenIsNotCut", {28800 - 150, 16200 - 450}, QSizeF(28800, 16200)},
                 {"OneTwipOverIsCut", {28800 - 149, 16200 - 449}, QSizeF(28800, 16200)},
                 {"Overflow", {std::numeric_limits<double>::infinity(), 750}, std::nullopt},
                 {"NotANumber", {std::nan(""), 750}, std::nullopt}};
    for (const auto& c : cases)
        EXPECT_EQ(zv::ImageViewLayout::WindowSize(c.picture, screen), c.window) << c.name;
}

class ImageViewWindow : public ::testing::Test {
  protected:
    void TearDown() override { Valiable::PreviewFilePath.clear(); }
    Frm_ImageView& Open(const QString& name) {
        Valiable::PreviewFilePath = dir_.filePath(name).toStdU16String();
        view_ = std::make_unique<Frm_ImageView>(messages_);
        designSize_ = view_->size();
        view_->Form_Load();
        return *view_;
    }
    double Twips() const {
        return zv::ImageViewLayout::TwipsPerPixel(view_->screen()->logicalDotsPerInchX());
    }

    QTemporaryDir dir_;
    zvtest::FakeMessageBox messages_;
    std::unique_ptr<Frm_ImageView> view_;
    QSize designSize_;
};

TEST_F(ImageViewWindow, BitmapSetsPictureAndWindowSize) {
    QImage image(100, 50, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(dir_.filePath("a b.bmp"), "BMP"));
    Frm_ImageView& view = Open("a b.bmp");
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(view.Image1->size(), QSize(100, 50));
    EXPECT_DOUBLE_EQ(view.WindowTwips().width(), 100 * Twips() + 150);
    EXPECT_DOUBLE_EQ(view.WindowTwips().height(), 50 * Twips() + 450);
    EXPECT_EQ(view.windowTitle(), QStringLiteral("イメージビュアー( ") + dir_.filePath("a b.bmp") + " )");
}

TEST_F(ImageViewWindow, BrokenPictureGivesMessageAndEmptyWindow) {
    zvtest::WriteFile(dir_, "broken.jpg", "not a jpeg at all");
    Frm_ImageView& view = Open("broken.jpg");
    EXPECT_EQ(messages_.shown, std::vector{zvtest::kCannotShow});
    // The window stays, at its design size, with the caption and no picture.
    EXPECT_EQ(view.size(), designSize_);
    EXPECT_EQ(view.WindowTwips(), QSizeF(4680, 3195));
    EXPECT_TRUE(view.Image1->pixmap().isNull());
    EXPECT_TRUE(view.windowTitle().contains(dir_.filePath("broken.jpg")));
}

TEST_F(ImageViewWindow, MetafileIsDrawnOnlyAsFarAsTheScreenShowsIt) {
    // A header claiming a picture 2 m square: the window is cut to the screen,
    // and so is the canvas it is drawn on.
    zvtest::WriteFile(dir_, "big.emf",
                      zvtest::Emf(QRect(0, 0, 20000, 20000), QRect(QPoint(0, 0), QPoint(200000, 200000)), {})
                          .toStdString());
    Frm_ImageView& view = Open("big.emf");
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_FALSE(view.Drawing());
    const QSize screen = view.screen()->geometry().size();
    EXPECT_EQ(view.Image1->pixmap().size(), screen);
    EXPECT_FLOAT_EQ(float(view.WindowTwips().width()), float(screen.width() * Twips()));
}

TEST_F(ImageViewWindow, CursorIsReadAsIcon) {
    // A .cur is an icon file whose type word says cursor.
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(dir_.filePath("c.ico"), "ICO"));
    std::string bytes = zvtest::ReadAll(dir_.filePath("c.ico").toStdString());
    bytes[2] = 2;
    zvtest::WriteFile(dir_, "c.cur", bytes);
    Frm_ImageView& view = Open("c.cur");
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(view.Image1->size(), QSize(32, 32));
}

}  // namespace
