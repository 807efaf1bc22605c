#include "SystemBeep.h"

#include <QApplication>

namespace zv::qt {

namespace {
std::function<void()>& Hook() {
    static std::function<void()> hook;
    return hook;
}
}  // namespace

void SystemBeep() {
    if (Hook()) {
        Hook()();
    } else {
        QApplication::beep();
    }
}

void SetBeepHook(std::function<void()> hook) { Hook() = std::move(hook); }

}  // namespace zv::qt
