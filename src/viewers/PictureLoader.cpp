#include "viewers/PictureLoader.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include "viewers/ImageViewLayout.h"
#include "viewers/MetafileLoader.h"

namespace zv {

std::optional<PictureLoader::Picture> PictureLoader::Load(const QString& path, double dotsPerInch) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    // Pictures of more than this are not previews; refuse rather than swap.
    constexpr qint64 kMaxFileSize = 512LL * 1024 * 1024;
    if (file.size() > kMaxFileSize) return std::nullopt;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) return std::nullopt;
    return FromData(data, path, dotsPerInch);
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
