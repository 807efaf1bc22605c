#pragma once
// Device-independent bitmaps as metafiles embed them: a BITMAPINFO (header and
// colour table) followed by the pixel rows, bottom row first unless the height
// is negative.

#include <QImage>
#include <optional>

#include "viewers/MetafileDc.h"

namespace zv {

struct MetafileDib {
    QImage image;
    bool bottomUp = true;  // source rectangles of blits count rows from the bottom

    // Header (with its colour table) and pixel rows given apart, as EMF does.
    static std::optional<MetafileDib> Decode(MetafileBytes info, MetafileBytes bits);
    // A 32-bit DIB whose fourth byte is premultiplied alpha, as alpha blends
    // carry it (Qt's reader takes that byte for padding).
    static std::optional<MetafileDib> DecodeWithAlpha(MetafileBytes info, MetafileBytes bits);
    // Header, colour table and rows in one block, as WMF does.
    static std::optional<MetafileDib> DecodePacked(MetafileBytes packed);
};

}  // namespace zv
