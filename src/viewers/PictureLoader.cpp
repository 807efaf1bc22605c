#include "viewers/PictureLoader.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <QBuffer>
#include <QImageReader>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "viewers/ImageViewLayout.h"
#include "viewers/PreviewFile.h"

namespace zv {
namespace {

// Without a screen to go by, no canvas side grows beyond this.
constexpr int kMaxCanvasSide = 4096;

// Bitmaps of 16 or 32 bits whose colour masks follow a plain 40-byte header
// (or sit in its 52- and 56-byte extensions) are valid, and other viewers open
// them, but Qt's reader refuses them. SDL's reader takes them.
QImage ReadBitfieldBitmap(const QByteArray& data) {
    const auto u16 = [&](int at) {
        return at + 2 <= data.size() ? uint16_t(uint8_t(data[at]) | uint8_t(data[at + 1]) << 8) : 0;
    };
    const auto u32 = [&](int at) { return uint32_t(u16(at)) | uint32_t(u16(at + 2)) << 16; };
    const uint32_t headerSize = u32(14);
    const uint32_t compression = u32(30);
    const int bits = u16(28);
    const int64_t width = int32_t(u32(18)), height = std::llabs(int64_t(int32_t(u32(22))));
    // The same bounds as any bitmap a metafile holds.
    if (!data.startsWith("BM") || (headerSize != 40 && headerSize != 52 && headerSize != 56) ||
        (compression != 3 && compression != 6) || (bits != 16 && bits != 32) || width <= 0 || width > 32768 ||
        height == 0 || height > 32768 || width * height > 32LL * 1024 * 1024)
        return {};
    SDL_RWops* rw = SDL_RWFromConstMem(data.constData(), int(data.size()));
    SDL_Surface* read = rw ? SDL_LoadBMP_RW(rw, 1) : nullptr;
    if (!read) return {};
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(read, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(read);
    if (!argb) return {};
    QImage image(argb->w, argb->h, QImage::Format_ARGB32);
    for (int y = 0; !image.isNull() && y < argb->h; ++y)
        std::memcpy(image.scanLine(y), static_cast<const uint8_t*>(argb->pixels) + size_t(y) * argb->pitch,
                    size_t(argb->w) * 4);
    SDL_FreeSurface(argb);
    // A plain header is followed by three masks only: a fourth word is no
    // alpha mask. An alpha of nothing but zeros is unused, not invisible.
    bool opaque = headerSize == 40 && compression == 3;
    if (!opaque) {
        opaque = true;
        for (int y = 0; opaque && y < image.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            opaque = std::all_of(row, row + image.width(), [](QRgb p) { return qAlpha(p) == 0; });
        }
    }
    return opaque ? image.convertToFormat(QImage::Format_RGB32) : image;
}

std::optional<PictureLoader::Picture> ReadRaster(const QByteArray& data, const QString& path,
                                                 double dotsPerInch, QSize shownPixels) {
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    // A cursor is an icon with a hot spot; the icon reader takes both.
    const bool cursor = path.endsWith(QStringLiteral(".cur"), Qt::CaseInsensitive);
    QImageReader reader(&buffer, cursor ? QByteArrayLiteral("ico") : QByteArray());
    reader.setDecideFormatFromContent(!cursor);
    // A photo larger than the screen is read only as far as it shows (JPEG
    // decodes no more than that); its natural size still sizes the window.
    const QSize natural = reader.size();
    if (natural.isValid() && !shownPixels.isEmpty() &&
        (natural.width() > shownPixels.width() || natural.height() > shownPixels.height()))
        reader.setClipRect(QRect(QPoint(0, 0), natural.boundedTo(shownPixels)));
    QImage image;
    if (!reader.read(&image) || image.isNull()) image = ReadBitfieldBitmap(data);
    if (image.isNull()) return std::nullopt;
    const QSize size = reader.clipRect().isNull() ? image.size() : natural;
    const double twipsPerPixel = ImageViewLayout::TwipsPerPixel(dotsPerInch);
    return PictureLoader::Picture{image, QSizeF(size.width() * twipsPerPixel, size.height() * twipsPerPixel)};
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
    auto raster = ReadRaster(data, QString::fromStdU16String(path), dotsPerInch, shownPixels);
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
