#include "viewers/MetafileDib.h"

#include <QByteArray>
#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace zv {
namespace {

// Pictures larger than this are refused rather than decoded: a metafile of a
// few bytes must not make the viewer allocate gigabytes.
constexpr int64_t kMaxPixels = 32LL * 1024 * 1024;
constexpr int kMaxSide = 32768;

enum { kBiRgb = 0, kBiBitfields = 3, kBiJpeg = 4, kBiPng = 5 };

struct HeaderFacts {
    uint32_t headerSize = 0;
    int64_t width = 0;
    int64_t height = 0;
    int bitCount = 0;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
};

std::optional<HeaderFacts> ReadHeader(MetafileBytes info) {
    HeaderFacts h;
    h.headerSize = info.U32(0);
    if (h.headerSize == 12) {
        if (!info.Has(0, 12)) return std::nullopt;
        h.width = info.U16(4);
        h.height = info.I16(6);
        h.bitCount = info.U16(10);
    } else if (h.headerSize >= 40) {
        if (!info.Has(0, 40)) return std::nullopt;
        h.width = info.I32(4);
        h.height = info.I32(8);
        h.bitCount = info.U16(14);
        h.compression = info.U32(16);
        h.colorsUsed = info.U32(32);
    } else {
        return std::nullopt;
    }
    const int64_t w = std::llabs(h.width);
    const int64_t hh = std::llabs(h.height);
    if (w == 0 || hh == 0 || w > kMaxSide || hh > kMaxSide || w * hh > kMaxPixels) return std::nullopt;
    return h;
}

// Bytes of header, bit masks and colour table in front of the rows.
size_t InfoLength(const HeaderFacts& h) {
    size_t length = h.headerSize;
    if (h.headerSize == 40 && h.compression == kBiBitfields) length += 12;
    size_t colors = h.colorsUsed;
    if (colors == 0 && h.bitCount >= 1 && h.bitCount <= 8) colors = size_t(1) << h.bitCount;
    if (colors > 256 && h.bitCount <= 8) colors = 256;
    if (h.bitCount > 8 && h.colorsUsed > 65536) colors = 0;
    length += colors * (h.headerSize == 12 ? 3 : 4);
    return length;
}

std::optional<MetafileDib> DecodeParts(const HeaderFacts& h, MetafileBytes info, MetafileBytes bits) {
    MetafileDib dib;
    dib.bottomUp = h.height > 0;
    if (h.compression == kBiJpeg || h.compression == kBiPng) {
        dib.image = QImage::fromData(bits.data, int(bits.size));
        dib.bottomUp = false;
        return dib.image.isNull() ? std::nullopt : std::optional(dib);
    }
    // Qt reads a whole BMP file; a file header in front of the DIB makes one.
    const size_t total = 14 + info.size + bits.size;
    if (total > size_t(INT32_MAX)) return std::nullopt;
    QByteArray file(qsizetype(total), '\0');
    auto* out = reinterpret_cast<uint8_t*>(file.data());
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = uint8_t(v >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, uint32_t(total));
    put32(10, uint32_t(14 + info.size));
    std::memcpy(out + 14, info.data, info.size);
    if (bits.size) std::memcpy(out + 14 + info.size, bits.data, bits.size);
    dib.image = QImage::fromData(file, "BMP");
    if (dib.image.isNull()) return std::nullopt;
    return dib;
}

}  // namespace

std::optional<MetafileDib> MetafileDib::Decode(MetafileBytes info, MetafileBytes bits) {
    auto h = ReadHeader(info);
    if (!h || !info.data) return std::nullopt;
    return DecodeParts(*h, info, bits);
}

std::optional<MetafileDib> MetafileDib::DecodeWithAlpha(MetafileBytes info, MetafileBytes bits) {
    auto h = ReadHeader(info);
    if (!h || h->bitCount != 32 || (h->compression != kBiRgb && h->compression != kBiBitfields))
        return Decode(info, bits);
    const int width = int(std::llabs(h->width)), height = int(std::llabs(h->height));
    const size_t stride = size_t(width) * 4;
    if (!bits.Has(0, stride * size_t(height))) return std::nullopt;
    MetafileDib dib;
    dib.bottomUp = h->height > 0;
    dib.image = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    if (dib.image.isNull()) return std::nullopt;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = bits.data + stride * size_t(dib.bottomUp ? height - 1 - y : y);
        auto* out = reinterpret_cast<QRgb*>(dib.image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = row + x * 4;
            const uint8_t a = p[3];
            // A colour above its alpha is no premultiplied colour; keep it in range.
            out[x] = qRgba(std::min(p[2], a), std::min(p[1], a), std::min(p[0], a), a);
        }
    }
    return dib;
}

std::optional<MetafileDib> MetafileDib::DecodePacked(MetafileBytes packed) {
    auto h = ReadHeader(packed);
    if (!h || !packed.data) return std::nullopt;
    const size_t infoLength = InfoLength(*h);
    if (infoLength > packed.size) return std::nullopt;
    return DecodeParts(*h, packed.Slice(0, infoLength), packed.Slice(infoLength, packed.size - infoLength));
}

}  // namespace zv
