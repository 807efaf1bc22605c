#pragma once
// Reads an EMF or WMF file into a picture: its natural size from the header
// and its drawing rendered at that size.

#include <QByteArray>
#include <QDeadlineTimer>
#include <QImage>
#include <QSizeF>
#include <memory>
#include <optional>

#include "viewers/MetafileDc.h"

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

    // A metafile being drawn: the records are played in as many slices as
    // the caller likes, so a picture of many costly records never holds up
    // the window for long, and stopping it is dropping it.
    class Drawing {
      public:
        virtual ~Drawing() = default;
        QSizeF Twips() const { return twips_; }
        // The canvas as drawn so far (it changes as Continue draws on).
        const QImage& Image() const { return image_; }
        // Plays records until the picture is done or the deadline passes.
        virtual MetafilePlay Continue(const QDeadlineTimer& deadline) = 0;

      protected:
        QSizeF twips_;
        QImage image_;
    };

    // Which kind of metafile the bytes hold, by their signature.
    static Kind Detect(const QByteArray& data);

    // Reads the header and sets up a canvas of the natural size at
    // dotsPerInch, cut to maxCanvas (the part that can be shown); nothing is
    // drawn yet. nullptr when the data is no metafile or its header is broken.
    static std::unique_ptr<Drawing> Start(const QByteArray& data, double dotsPerInch, QSize maxCanvas);

    // The whole drawing at once. nullopt when the data is no metafile, is
    // broken or is cut short.
    static std::optional<Picture> Load(const QByteArray& data, double dotsPerInch, int maxCanvasSide = 4096);
};

}  // namespace zv
