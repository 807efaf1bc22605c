#pragma once
// Plays the records of an enhanced metafile (EMF) onto a MetafileDc.

#include <QDeadlineTimer>
#include <QRect>
#include <QSize>
#include <memory>
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

    // file must start with a sound header and outlive the player.
    MetafileEmfPlayer(MetafileBytes file, MetafileDc& dc);
    ~MetafileEmfPlayer();

    // Plays records until the end record or until the deadline passes; the
    // next call carries on where this one stopped.
    MetafilePlay Play(const QDeadlineTimer& deadline = QDeadlineTimer(QDeadlineTimer::Forever));

  private:
    class Records;
    MetafileBytes file_;
    size_t offset_ = 0;
    std::unique_ptr<Records> records_;
};

}  // namespace zv
