#include "QtEventPump.h"

#include <QCoreApplication>

namespace zv::qt {

void QtEventPump::DoEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

}  // namespace zv::qt
