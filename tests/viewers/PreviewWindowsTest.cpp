// The previews a double-click opens: which one, the text viewer (raw text or
// RTF by the extension) and the image viewer, whose window is the picture plus
// 150 x 450 twips, each side cut to the screen only when strictly larger; and
// the picture loader behind it, on every sample picture (read in place, skipped
// without them) and on bitmaps and photos made here.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QScreen>
#include <array>
#include <chrono>
#include <cmath>
#include <optional>
#include <set>

#include "MetafileBuilder.h"
#include "TestFiles.h"
#include "shared/Valiable.h"
#include "viewers/Frm_ImageView.h"
#include "viewers/Frm_TextView.h"
#include "viewers/ImageViewLayout.h"
#include "viewers/PictureLoader.h"
#include "viewers/PreviewDispatch.h"

namespace {

// Exactly one thing opens, with the whole path already stored for it (the
// separator never doubled). Only the last four characters, folded to upper
// case but not in width, pick it.
TEST(PreviewDispatch, DoubleClickOpensWhatTheExtensionSays) {
    const std::pair<const char16_t*, const char*> cases[] = {
        {u"A.TXT", "text"},  {u"b.rtf", "text"},  {u"c.gif", "image"}, {u"c.Bmp", "image"},
        {u"c.jpg", "image"}, {u"c.ico", "image"}, {u"c.CUR", "image"}, {u"c.wmf", "image"},
        {u"c.emf", "image"}, {u"d.wav", "wav"},   {u"e.mid", "midi"},  {u"f.doc", ""},
        {u"x.jpeg", ""},     {u"README", ""},     {u"x.ｔｘｔ", ""}};
    bool root = false;
    for (const auto& [name, expected] : cases) {
        root = !root;  // every other folder ends in the separator
        const std::u16string folder = root ? u"C:\\" : u"C:\\Data";
        const std::u16string path = (root ? u"C:\\" : u"C:\\Data\\") + std::u16string(name);
        zvtest::FakeMessageBox boxes;
        zv::PreviewDispatch dispatch(boxes, u'\\');
        std::string opened;
        auto open = [&](const char* what) { return [&, what] { opened += what; }; };
        dispatch.openTextView = open("text");
        dispatch.openImageView = open("image");
        dispatch.openMidiPlayer = open("midi");
        dispatch.playWav = [&](const std::u16string& p) { return opened += "wav", p == path; };
        Valiable::PreviewFilePath = u"stale";
        dispatch.F_File_DblClick(folder, name);
        EXPECT_EQ(Valiable::PreviewFilePath, path);
        EXPECT_EQ(opened, expected) << zvtest::Utf8(name);
        EXPECT_TRUE(boxes.shown.empty());
    }
}

// Shown, the text box fills the window when it is resized; a missing file or
// a folder is reported and not shown.
TEST(TextView, ShowsTheFileAsItsExtensionSays) {
    // The file, its bytes ("/": a folder), the plain text of the box (UTF-8) and whether it begins in bold.
    const std::tuple<const char*, std::optional<std::string>, std::optional<std::string>, bool> cases[] = {
        {"A.TXT", "{\\rtf1 \\b x}", "{\\rtf1 \\b x}", false},  // RTF markup in a .TXT stays raw
        {"memo.Rtf", "{\\rtf1 {\\b x}y\\par z}", "xy\nz", true},
        {"note.rtf", "just text\r\n", "just text\n", false},
        {"empty.rtf", "", "", false},
        {"frag.rtf", "{\\pard\\b a\\par}", "a", true},
        {"vanished.txt", std::nullopt, std::nullopt, false},
        {"sub.rtf", "/", std::nullopt, false}};
    QTemporaryDir dir;
    for (const auto& [file, bytes, shown, firstCharBold] : cases) {
        SCOPED_TRACE(file);
        Valiable::PreviewFilePath = dir.filePath(file).toStdU16String();
        if (bytes == "/")
            QDir(dir.path()).mkdir(file);
        else if (bytes)
            zvtest::WriteFile(dir, file, *bytes);
        zvtest::FakeMessageBox boxes;
        zv::Frm_TextView view(boxes);
        ASSERT_EQ(view.Form_Load(), shown.has_value());
        EXPECT_EQ(boxes.shown, std::vector(shown ? 0 : 1, zvtest::kCannotShow));
        if (!shown) continue;
        EXPECT_EQ(view.windowTitle().toStdU16String(),
                  u"テキストビュアー( " + Valiable::PreviewFilePath + u" )");
        EXPECT_EQ(view.RichText1->toPlainText().toStdString(), *shown);
        EXPECT_TRUE(view.RichText1->isReadOnly());
        QTextCursor cursor(view.RichText1->document());
        cursor.movePosition(QTextCursor::NextCharacter);
        EXPECT_EQ(cursor.charFormat().fontWeight() == QFont::Bold, firstCharBold);
        view.show();
        view.resize(300, 200);
        QApplication::processEvents();
        EXPECT_EQ(view.RichText1->geometry(), view.rect());
    }
}

TEST(ImageViewLayout, WindowSize) {
    const QSizeF screen(28800, 16200);  // 1920 x 1080 pixels at 15 twips
    const std::tuple<const char*, QSizeF, std::optional<QSizeF>> cases[] = {
        {"SmallBitmap", {1500, 750}, QSizeF(1650, 1200)},  // 100 x 50 pixels
        {"OneTwipOverIsCut", {28800 - 149, 16200 - 449}, QSizeF(28800, 16200)},
        {"Overflow", {3e9, 750}, std::nullopt},
        {"NotANumber", {std::nan(""), 750}, std::nullopt}};
    for (const auto& [name, picture, window] : cases)
        EXPECT_EQ(zv::ImageViewLayout::WindowSize(picture, screen), window) << name;
}

// A picture sets the image and the window size, cut to the screen: a metafile
// whose header claims 2 m square is drawn only as far as the screen shows it.
// A broken one gives the message and the window stays, at its design size,
// with the caption and no picture.
TEST(ImageViewWindow, PictureSetsImageAndWindowSize) {
    QTemporaryDir dir;
    QImage image(100, 50, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(dir.filePath("a b.bmp"), "BMP"));
    // A .cur is an icon file whose type word says cursor.
    ASSERT_TRUE(image.scaled(32, 32).save(dir.filePath("c.ico"), "ICO"));
    std::string cursor = zvtest::ReadAll(dir.filePath("c.ico").toStdString());
    cursor[2] = 2;
    zvtest::WriteFile(dir, "c.cur", cursor);
    zvtest::WriteFile(dir, "broken.jpg", "not a jpeg at all");
    zvtest::WriteFile(dir, "big.emf",
                      zvtest::Emf(QRect(0, 0, 20000, 20000), QRect(QPoint(0, 0), QPoint(200000, 200000)), {})
                          .toStdString());
    const QSize screen = QApplication::primaryScreen()->geometry().size();
    const double t = zv::ImageViewLayout::TwipsPerPixel(QApplication::primaryScreen()->logicalDotsPerInchX());
    // The file, the picture's size in pixels (none: refused) and the window's in twips.
    const std::tuple<const char*, QSize, QSizeF> cases[] = {
        {"a b.bmp", QSize(100, 50), QSizeF(100 * t + 150, 50 * t + 450)},
        {"c.cur", QSize(32, 32), QSizeF(32 * t + 150, 32 * t + 450)},
        {"big.emf", screen, QSizeF(screen) * t},
        {"broken.jpg", QSize(), QSizeF(4680, 3195)}};  // the design size
    for (const auto& [name, size, twips] : cases) {
        SCOPED_TRACE(name);
        zvtest::FakeMessageBox messages;
        Valiable::PreviewFilePath = dir.filePath(name).toStdU16String();
        Frm_ImageView view(messages);
        view.Form_Load();
        EXPECT_EQ(messages.shown, std::vector(size.isValid() ? 0 : 1, zvtest::kCannotShow));
        EXPECT_EQ(view.windowTitle(), QStringLiteral("イメージビュアー( ") + dir.filePath(name) + " )");
        EXPECT_EQ(view.Image1->pixmap().isNull(), !size.isValid());
        EXPECT_EQ(view.WindowTwips(), twips);
        if (!size.isValid()) continue;
        EXPECT_FALSE(view.Drawing());
        EXPECT_EQ(view.Image1->size(), size);
    }
}

// Every sample picture either shows or is refused; none may crash or hang the loader.
TEST(PictureCorpus, EverySampleShowsOrIsRefusedWithinTime) {
    // Samples that hold a sound picture of their kind: these must show.
    const std::set<std::string> mustShow = {
        "pillow_drawing.emf",         "pillow_drawing.wmf",
        "tika_testEMF.emf",           "tika_testWMF.wmf",
        "tika_testWMF_charset.wmf",   "imagers_V3_R5_G6_B5.bmp",
        "imagers_V3_A1_R5_G5_B5.bmp", "imagers_V3_X8_R8_G8_B8_Top_Down.bmp"};
    if (zvtest::CorpusDir("bmp").empty()) GTEST_SKIP() << "no sample pictures";
    for (const char* kind : {"bmp", "ico", "cur", "gif", "wmf", "emf"}) {
        for (const auto& path : zvtest::FilesIn(zvtest::CorpusDir(kind))) {
            SCOPED_TRACE(path.string());
            const auto start = std::chrono::steady_clock::now();
            const auto picture = zv::PictureLoader::Load(path.u16string(), 96);
            // A preview that takes this long is as good as hung for the user.
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
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
        QByteArray bmp = "BM" + QByteArray(12, '\0') + zvtest::Dib(2, 1, bits, tail, U_BI_BITFIELDS);
        zvtest::Put(bmp, 2, uint32_t(bmp.size())), zvtest::Put(bmp, 10, 14 + 40 + 12);
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
