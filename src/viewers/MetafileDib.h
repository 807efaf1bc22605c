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
    // Header, colour table and rows in one block, as WMF does.
    static std::optional<MetafileDib> DecodePacked(MetafileBytes packed);
};

}  // namespace zv
