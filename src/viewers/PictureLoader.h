#pragma once
// Loads the picture files the image viewer shows: bitmaps, JPEG, GIF, icons
// and cursors through Qt's readers, EMF and WMF through MetafileLoader.

#include <QDeadlineTimer>
#include <QImage>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "viewers/MetafileLoader.h"

namespace zv {

class PictureLoader {
  public:
    struct Picture {
        QImage image;
        QSizeF twips;  // natural size
        // False when a metafile's drawing was not done by the deadline: the
        // image then holds what was drawn until then.
        bool complete = true;
    };

    // A picture on its way: a bitmap comes whole; a metafile comes with its
    // natural size and an empty canvas that drawing->Continue draws on.
    struct Opened {
        Picture picture;
        std::unique_ptr<MetafileLoader::Drawing> drawing;
    };

    // nullopt when the file cannot be read or its content is no picture.
    // dotsPerInch is the screen's logical resolution: raster pictures take
    // one screen pixel per image pixel. shownPixels is the most of the
    // picture that can be seen (the viewer cuts its window at the screen's
    // size); a metafile is drawn only that far. Empty: a fixed limit.
    static std::optional<Opened> Open(const std::u16string& path, double dotsPerInch, QSize shownPixels = {});

    // The picture as the image viewer shows it, drawn without a window: a
    // metafile is drawn until it is done or the deadline passes.
    static std::optional<Picture> Load(const std::u16string& path, double dotsPerInch, QSize shownPixels = {},
                                       QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever));
};

}  // namespace zv
