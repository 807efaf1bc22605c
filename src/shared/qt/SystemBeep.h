#pragma once
// The system beep. Tests install a hook to count beeps instead of sounding them.

#include <functional>

namespace zv::qt {

void SystemBeep();

// Replaces the beep; an empty function restores the real one.
void SetBeepHook(std::function<void()> hook);

}  // namespace zv::qt
