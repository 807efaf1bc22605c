#include "shared/qt/QuitSignals.h"

namespace zv::qt {

// Windows ends a session through the window system, which closes the windows
// as the user does: nothing to catch here.
QuitSignals::QuitSignals(std::function<void()> onQuit, QObject* parent)
    : QObject(parent), onQuit_(std::move(onQuit)) {}

QuitSignals::~QuitSignals() = default;

}  // namespace zv::qt
