#include "viewer/qteventpump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace orvenda {

void QtEventPump::ProcessEvents() {
  // The timer only makes sure the wait ends; any other event ends it sooner.
  QTimer wake;
  wake.setSingleShot(true);
  wake.start(kWaitMilliseconds);
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace orvenda
