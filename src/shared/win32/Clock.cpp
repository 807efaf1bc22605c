#include <windows.h>

#include "shared/Clock.h"

namespace zv {

namespace {

class Win32Clock final : public Clock {
public:
    LocalDateTime Now() const override {
        SYSTEMTIME st{};
        GetLocalTime(&st);
        return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
    }
};

}  // namespace

Clock& SystemClock() {
    static Win32Clock clock;
    return clock;
}

}  // namespace zv
