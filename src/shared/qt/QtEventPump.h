#pragma once
// EventPump over the Qt event loop of the calling (user-interface) thread.

#include "shared/EventPump.h"

namespace zv::qt {

class QtEventPump final : public EventPump {
  public:
    void DoEvents() override;
};

}  // namespace zv::qt
