#include "viewers/PictureLoader.h"

#include <QBuffer>
#include <QImageReader>

#include "viewers/ImageViewLayout.h"
#include "viewers/MetafileLoader.h"
#include "viewers/PreviewFile.h"

namespace zv {

std::optional<PictureLoader::Picture> PictureLoader::Load(const std::u16string& path, double dotsPerInch) {
    std::string bytes;
    if (!ReadPreviewFile(path, bytes)) return std::nullopt;
    return FromData(QByteArray::fromStdString(bytes), QString::fromStdU16String(path), dotsPerInch);
}

std::optional<PictureLoader::Picture> PictureLoader::FromData(const QByteArray& data, const QString& path,
                                                              double dotsPerInch) {
    if (!(dotsPerInch > 0)) return std::nullopt;
    if (MetafileLoader::Detect(data) != MetafileLoader::Kind::kNone) {
        auto metafile = MetafileLoader::Load(data, dotsPerInch);
        if (!metafile) return std::nullopt;
        return Picture{metafile->image, metafile->twips};
    }
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
    return Picture{image, QSizeF(image.width() * twipsPerPixel, image.height() * twipsPerPixel)};
}

}  // namespace zv
