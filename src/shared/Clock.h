#pragma once
// The local wall clock.

namespace zv {

struct LocalDateTime {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    int hour = 0;   // 0..23
    int minute = 0;
    int second = 0;
    bool operator==(const LocalDateTime&) const = default;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime Now() const = 0;
};

// The machine's clock in the user's time zone.
Clock& SystemClock();

// A clock that always answers the same time (tests, jobrun's "now").
class FixedClock final : public Clock {
public:
    explicit FixedClock(LocalDateTime t) : t_(t) {}
    LocalDateTime Now() const override { return t_; }

private:
    LocalDateTime t_;
};

}  // namespace zv
