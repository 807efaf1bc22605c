#pragma once
// Plays the records of an enhanced metafile (EMF) onto a MetafileDc.

#include <QRect>
#include <QSize>
#include <optional>

#include "viewers/MetafileDc.h"

namespace zv {

class MetafileEmfPlayer {
  public:
    struct Header {
        QRect bounds;        // device pixels of the recording device
        QRect frame;         // 0.01 mm
        QSize devicePixels;  // reference device size
        QSize deviceMillimeters;
        uint32_t handles = 0;
    };

    // The header record, when the data starts with a sound one.
    static std::optional<Header> ReadHeader(MetafileBytes file);

    // Plays every record. False when a record is broken or the file ends
    // before its end-of-file record; what was drawn until then stays drawn.
    static bool Play(MetafileBytes file, MetafileDc& dc);
};

}  // namespace zv
