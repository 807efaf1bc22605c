#include "QtEventPump.h"

#include <QCoreApplication>

namespace zv::qt {

void QtEventPump::DoEvents() {
    if (sinceLast_.isValid() && sinceLast_.elapsed() < kIntervalMs) return;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    sinceLast_.start();
}

}  // namespace zv::qt
