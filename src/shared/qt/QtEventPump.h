#pragma once
// EventPump over the Qt event loop of the calling (user-interface) thread.

#include <QElapsedTimer>

#include "shared/EventPump.h"

namespace zv::qt {

// A run calls DoEvents once per file, tens of thousands of times a second;
// one pass through the event loop costs far more than renaming a file. So
// the loop runs at most once in each short interval: often enough for the
// windows to repaint and answer, rarely enough to cost nothing.
class QtEventPump final : public EventPump {
  public:
    static constexpr int kIntervalMs = 10;
    void DoEvents() override;

  private:
    QElapsedTimer sinceLast_;
};

}  // namespace zv::qt
