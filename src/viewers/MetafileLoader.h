#pragma once
// Reads an EMF or WMF file into a picture: its natural size from the header
// and its drawing rendered at that size.

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <optional>

namespace zv {

class MetafileLoader {
  public:
    enum class Kind { kNone, kEmf, kWmf };

    struct Picture {
        QSizeF twips;  // natural size, 1/1440 inch
        // The drawing at dotsPerInch; when the natural size is larger than the
        // canvas limit only its top left part is rendered (the viewer cuts a
        // picture at the screen's edge anyway).
        QImage image;
    };

    // Which kind of metafile the bytes hold, by their signature.
    static Kind Detect(const QByteArray& data);

    // nullopt when the data is no metafile, is broken or is cut short.
    static std::optional<Picture> Load(const QByteArray& data, double dotsPerInch, int maxCanvasSide = 4096);
};

}  // namespace zv
