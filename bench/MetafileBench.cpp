// How soon the image viewer shows a metafile that is slow to draw: 2,000
// ellipses each filling the whole canvas, in a picture 20 cm wide and in one
// whose header claims 2 m. The viewer must show something within about 2 s
// and draw the rest in slices; printed: the time until the window shows a
// picture and how much of it is drawn, then the time the whole drawing takes
// at the screen's size.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <cstdio>

#include "MetafileBuilder.h"
#include "shared/MessageBox.h"
#include "shared/Valiable.h"
#include "viewers/Frm_ImageView.h"
#include "viewers/PictureLoader.h"

namespace {

class SilentMessages : public zv::MessageBoxService {
  public:
    int Show(const std::u16string&, int, const std::u16string&) override {
        ++shown;
        return zv::kOk;
    }
    int shown = 0;
};

// A square picture of the given side, 10 device pixels per millimetre.
QByteArray Ellipses(int count, int millimetres) {
    const int side = millimetres * 10;
    std::vector<char*> records;
    for (int i = 0; i < 4; ++i) {
        const uint8_t v = uint8_t(60 * i);
        records.push_back(U_EMRCREATEBRUSHINDIRECT_set(uint32_t(i + 1),
                                                       logbrush_set(U_BS_SOLID, U_RGB(v, 255 - v, 128), 0)));
    }
    for (int i = 0; i < count; ++i) {
        records.push_back(U_EMRSELECTOBJECT_set(uint32_t(i % 4 + 1)));
        records.push_back(U_EMRELLIPSE_set(U_RECTL{0, 0, side, side}));
    }
    return zvtest::Emf(QRect(0, 0, side, side),
                       QRect(QPoint(0, 0), QPoint(millimetres * 100, millimetres * 100)), records);
}

double Ink(const QImage& image) {
    size_t ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) ink += qAlpha(image.pixel(x, y)) != 0;
    return double(ink) / std::max<size_t>(1, size_t(image.width()) * image.height());
}

void Measure(QApplication& app, const QString& path, SilentMessages& messages) {
    Valiable::PreviewFilePath = path.toStdU16String();
    QElapsedTimer timer;
    timer.start();
    {
        Frm_ImageView view(messages);
        view.Form_Load();
        const double shownAfter = timer.elapsed() / 1000.0;
        const QPixmap shown = view.Image1->pixmap();
        std::printf("viewer shows a %dx%d picture after %.2f s (screen %dx%d), %.0f%% of it drawn, %s\n",
                    shown.width(), shown.height(), shownAfter, view.screen()->geometry().width(),
                    view.screen()->geometry().height(), 100 * Ink(shown.toImage()),
                    view.Drawing() ? "still drawing" : "done");
        QElapsedTimer rest;
        rest.start();
        while (view.Drawing()) app.processEvents();
        std::printf("viewer done drawing %.2f s later\n", rest.elapsed() / 1000.0);
        // Closing stops the work: a new load, closed at once.
        view.Form_Load();
        QElapsedTimer close;
        close.start();
        view.done(0);
        std::printf("closing a window still drawing: %s after %lld ms\n",
                    view.Drawing() ? "STILL DRAWING" : "stopped", static_cast<long long>(close.elapsed()));
    }

    for (const QSize screen : {QSize(1920, 1080)}) {
        timer.restart();
        const auto whole = zv::PictureLoader::Load(path.toStdU16String(), 96, screen);
        std::printf("whole drawing cut to a %dx%d screen: %.2f s (%s)\n", screen.width(), screen.height(),
                    timer.elapsed() / 1000.0, whole && whole->complete ? "complete" : "FAILED");
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    SilentMessages messages;
    for (const int millimetres : {200, 2000}) {
        const QString path = dir.filePath(QStringLiteral("ellipses%1.emf").arg(millimetres));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(Ellipses(2000, millimetres)) < 0) return 1;
        file.close();
        std::printf("2,000 full-canvas ellipses, %d mm wide: %lld bytes\n", millimetres,
                    static_cast<long long>(QFileInfo(path).size()));
        Measure(app, path, messages);
    }
    if (messages.shown) std::printf("unexpected message boxes: %d\n", messages.shown);
    return 0;
}
