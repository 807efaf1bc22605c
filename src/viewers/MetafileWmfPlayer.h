#pragma once
// Plays the records of a Windows metafile (WMF, with or without the placeable
// header) onto a MetafileDc.

#include <QDeadlineTimer>
#include <QRect>
#include <memory>
#include <optional>

#include "viewers/MetafileDc.h"

namespace zv {

class MetafileWmfPlayer {
  public:
    struct Header {
        size_t recordsAt = 0;  // offset of the first record
        bool placeable = false;
        QRect bounds;          // placeable: the picture's box in logical units
        int unitsPerInch = 0;  // placeable only
        // First window origin and extent the records set, if any.
        std::optional<QPoint> windowOrg;
        std::optional<QSize> windowExt;
    };

    // The header(s) and the first window the records set; nullopt when the
    // data does not start like a WMF.
    // file must be followed by kMetafilePadding readable bytes.
    static std::optional<Header> ReadHeader(MetafileBytes file);

    // file must outlive the player.
    MetafileWmfPlayer(MetafileBytes file, const Header& header, MetafileDc& dc);
    ~MetafileWmfPlayer();

    // Plays records until the end record or until the deadline passes; the
    // next call carries on where this one stopped.
    MetafilePlay Play(const QDeadlineTimer& deadline = QDeadlineTimer(QDeadlineTimer::Forever));

  private:
    class Records;
    MetafileBytes file_;
    size_t offset_;
    std::unique_ptr<Records> records_;
};

}  // namespace zv
