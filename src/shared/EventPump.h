#pragma once
// Lets the window system handle what is queued (repaints, input) and returns.
// Long loops call it once per file so the windows stay alive.

namespace zv {

class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void DoEvents() = 0;
};

// For callers without a window system (jobrun, benchmarks): does nothing.
class NullEventPump final : public EventPump {
public:
    void DoEvents() override {}
};

}  // namespace zv
