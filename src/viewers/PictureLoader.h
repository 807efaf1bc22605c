#pragma once
// Loads the picture files the image viewer shows: bitmaps, JPEG, GIF, icons
// and cursors through Qt's readers, EMF and WMF through MetafileLoader.

#include <QImage>
#include <QSizeF>
#include <QString>
#include <optional>
#include <string>

namespace zv {

class PictureLoader {
  public:
    struct Picture {
        QImage image;
        QSizeF twips;  // natural size
    };

    // nullopt when the file cannot be read or its content is no picture.
    // dotsPerInch is the screen's logical resolution: raster pictures take
    // one screen pixel per image pixel.
    static std::optional<Picture> Load(const std::u16string& path, double dotsPerInch);
    static std::optional<Picture> FromData(const QByteArray& data, const QString& path, double dotsPerInch);
};

}  // namespace zv
