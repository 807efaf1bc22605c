// How close our metafile player comes to another renderer: each EMF of a
// folder is drawn by our player and by libemf2svg (its SVG rasterised with Qt
// Svg) at the same size, both laid on white; the figure is the share of pixels
// that still differ after a small blur. WMF files have no second renderer here,
// so only whether and how much we draw is printed for them.
//
//   zv_metafile_quality [--png DIR] [FOLDER...]   (default: the shared corpus's emf and wmf)
//
// With --png each comparison is saved as one picture, ours left, theirs right.
//
// A tool to find faults, not a pass/fail test: the other renderer has faults
// of its own.
#include <emf2svg.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "viewers/MetafileLoader.h"

namespace {

constexpr int kSide = 400;  // the longer side both renderers draw at

QImage OnWhite(const QImage& image, QSize size) {
    QImage out(size, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    p.drawImage(QRect(QPoint(0, 0), size), image);
    return out;
}

QImage Blurred(const QImage& image) {
    QImage out(image.size(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            int r = 0, g = 0, b = 0, n = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int xx = x + dx, yy = y + dy;
                    if (xx < 0 || yy < 0 || xx >= image.width() || yy >= image.height()) continue;
                    const QRgb c = image.pixel(xx, yy);
                    r += qRed(c), g += qGreen(c), b += qBlue(c), ++n;
                }
            out.setPixel(x, y, qRgb(r / n, g / n, b / n));
        }
    return out;
}

// Share of pixels (0..1) whose blurred colours differ by more than a little.
double Difference(const QImage& a, const QImage& b) {
    const QImage ba = Blurred(a), bb = Blurred(b);
    size_t differ = 0;
    for (int y = 0; y < ba.height(); ++y)
        for (int x = 0; x < ba.width(); ++x) {
            const QRgb p = ba.pixel(x, y), q = bb.pixel(x, y);
            const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                    std::abs(qBlue(p) - qBlue(q))});
            if (d > 48) ++differ;
        }
    return double(differ) / std::max<size_t>(1, size_t(ba.width()) * ba.height());
}

double Ink(const QImage& image) {
    size_t ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) ink += image.pixel(x, y) != qRgb(255, 255, 255);
    return double(ink) / std::max<size_t>(1, size_t(image.width()) * image.height());
}

std::optional<QImage> Ours(const QByteArray& data, QSize& size) {
    // First the natural size, then a resolution that fits it into kSide.
    const auto probe = zv::MetafileLoader::Load(data, 1, 1);
    if (!probe) return std::nullopt;
    const double inches = std::max(probe->twips.width(), probe->twips.height()) / 1440.0;
    const double dpi = inches > 0 ? kSide / inches : 96;
    const auto picture = zv::MetafileLoader::Load(data, dpi, kSide);
    if (!picture) return std::nullopt;
    size = picture->image.size();
    return OnWhite(picture->image, size);
}

// libemf2svg runs in a child process: it tears down fontconfig's caches when
// it finishes (under Qt's feet) and may crash on a broken file.
std::optional<QByteArray> Svg(QByteArray data, QSize size) {
    int fds[2];
    if (pipe(fds) != 0) return std::nullopt;
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        generatorOptions options{};
        options.nameSpace = const_cast<char*>("svg");
        options.svgDelimiter = true;
        options.imgWidth = size.width();
        options.imgHeight = size.height();
        char* svg = nullptr;
        size_t length = 0;
        if (!emf2svg(data.data(), size_t(data.size()), &svg, &length, &options) || !svg) _exit(1);
        for (size_t at = 0; at < length;) {
            const ssize_t n = write(fds[1], svg + at, length - at);
            if (n <= 0) _exit(1);
            at += size_t(n);
        }
        _exit(0);
    }
    close(fds[1]);
    QByteArray svg;
    char buffer[65536];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) svg.append(buffer, n);
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (child < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return svg;
}

std::optional<QImage> Theirs(const QByteArray& data, QSize size) {
    const auto svg = Svg(data, size);
    if (!svg) return std::nullopt;
    QSvgRenderer renderer(*svg);
    if (!renderer.isValid()) return std::nullopt;
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    renderer.render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList folders;
    QString pngDir;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--png" && i + 1 < argc)
            pngDir = QString::fromLocal8Bit(argv[++i]);
        else
            folders << QString::fromLocal8Bit(argv[i]);
    }
    if (folders.isEmpty()) folders << QStringLiteral(ZV_CORPUS "/emf") << QStringLiteral(ZV_CORPUS "/wmf");

    struct Row {
        QString name;
        double difference;
    };
    std::vector<Row> rows;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
            QFile file(dir.filePath(name));
            if (!file.open(QIODevice::ReadOnly)) continue;
            const QByteArray data = file.readAll();
            QSize size;
            const auto ours = Ours(data, size);
            const bool emf = zv::MetafileLoader::Detect(data) == zv::MetafileLoader::Kind::kEmf;
            if (!ours) {
                std::printf("%-48s  refused by our player\n", qPrintable(name));
                continue;
            }
            if (!emf) {
                if (!pngDir.isEmpty()) ours->save(QDir(pngDir).filePath(name + QStringLiteral(".png")));
                std::printf("%-48s  ink %5.1f%% (no second renderer for WMF)\n", qPrintable(name),
                            100 * Ink(*ours));
                continue;
            }
            const auto theirs = Theirs(data, size);
            if (!theirs) {
                std::printf("%-48s  refused by libemf2svg\n", qPrintable(name));
                continue;
            }
            const double d = Difference(*ours, *theirs);
            if (!pngDir.isEmpty()) {
                QImage pair(size.width() * 2 + 4, size.height(), QImage::Format_RGB32);
                pair.fill(Qt::red);
                QPainter p(&pair);
                p.drawImage(0, 0, *ours);
                p.drawImage(size.width() + 4, 0, *theirs);
                p.end();
                pair.save(QDir(pngDir).filePath(name + QStringLiteral(".png")));
            }
            rows.push_back({name, d});
            std::printf("%-48s  %4dx%-4d  differ %5.1f%%  ink ours %5.1f%% theirs %5.1f%%\n",
                        qPrintable(name), size.width(), size.height(), 100 * d, 100 * Ink(*ours),
                        100 * Ink(*theirs));
        }
    }
    if (rows.empty()) {
        std::printf("no EMF compared\n");
        return 0;
    }
    std::sort(rows.begin(), rows.end(),
              [](const Row& a, const Row& b) { return a.difference > b.difference; });
    const double median = rows.size() % 2
                              ? rows[rows.size() / 2].difference
                              : (rows[rows.size() / 2 - 1].difference + rows[rows.size() / 2].difference) / 2;
    std::printf("\n%zu EMF compared; median differing pixels %.2f%%\nworst ten:\n", rows.size(),
                100 * median);
    for (size_t i = 0; i < rows.size() && i < 10; ++i)
        std::printf("  %5.1f%%  %s\n", 100 * rows[i].difference, qPrintable(rows[i].name));
    return 0;
}
