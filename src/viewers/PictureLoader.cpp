#include "viewers/PictureLoader.h"

#include <QBuffer>
#include <QImageReader>

#include "viewers/ImageViewLayout.h"
#include "viewers/PreviewFile.h"

namespace zv {
namespace {

// Without a screen to go by, no canvas side grows beyond this.
constexpr int kMaxCanvasSide = 4096;

std::optional<PictureLoader::Picture> ReadRaster(const QByteArray& data, const QString& path,
                                                 double dotsPerInch) {
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    // A cursor is an icon with a hot spot; the icon reader takes both.
    const bool cursor = path.endsWith(QStringLiteral(".cur"), Qt::CaseInsensitive);
    QImageReader reader(&buffer, cursor ? QByteArrayLiteral("ico") : QByteArray());
    reader.setDecideFormatFromContent(!cursor);
    QImage image;
    if (!reader.read(&image) || image.isNull()) return std::nullopt;
    const double twipsPerPixel = ImageViewLayout::TwipsPerPixel(dotsPerInch);
    return PictureLoader::Picture{image,
                                  QSizeF(image.width() * twipsPerPixel, image.height() * twipsPerPixel)};
}

}  // namespace

std::optional<PictureLoader::Opened> PictureLoader::Open(const std::u16string& path, double dotsPerInch,
                                                         QSize shownPixels) {
    if (!(dotsPerInch > 0)) return std::nullopt;
    std::string bytes;
    if (!ReadPreviewFile(path, bytes)) return std::nullopt;
    const QByteArray data = QByteArray::fromStdString(bytes);
    bytes = std::string();
    if (MetafileLoader::Detect(data) != MetafileLoader::Kind::kNone) {
        if (shownPixels.isEmpty()) shownPixels = QSize(kMaxCanvasSide, kMaxCanvasSide);
        auto drawing = MetafileLoader::Start(data, dotsPerInch,
                                             shownPixels.boundedTo(QSize(kMaxCanvasSide, kMaxCanvasSide)));
        if (!drawing) return std::nullopt;
        Opened opened{Picture{drawing->Image(), drawing->Twips(), false}, std::move(drawing)};
        return opened;
    }
    auto raster = ReadRaster(data, QString::fromStdU16String(path), dotsPerInch);
    if (!raster) return std::nullopt;
    return Opened{*raster, nullptr};
}

std::optional<PictureLoader::Picture> PictureLoader::Load(const std::u16string& path, double dotsPerInch,
                                                          QSize shownPixels, QDeadlineTimer deadline) {
    auto opened = Open(path, dotsPerInch, shownPixels);
    if (!opened) return std::nullopt;
    if (opened->drawing) {
        const MetafilePlay state = opened->drawing->Continue(deadline);
        if (state == MetafilePlay::kBroken) return std::nullopt;
        opened->picture.image = opened->drawing->Image().copy();
        opened->picture.complete = state == MetafilePlay::kEnd;
    }
    return opened->picture;
}

}  // namespace zv
