#include "viewer/qteventpump.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMetaObject>

namespace orvenda {
namespace {

TEST(QtEventPump, RunsPendingEventsAndReturnsWithoutOne) {
  QtEventPump pump;
  bool ran = false;
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [&ran] { ran = true; }, Qt::QueuedConnection);
  pump.ProcessEvents();
  EXPECT_TRUE(ran);
  // With nothing pending it returns after its short wait rather than blocking.
  QElapsedTimer timer;
  timer.start();
  for (int i = 0; i < 5; ++i) pump.ProcessEvents();
  EXPECT_LT(timer.elapsed(), 5000);
}

}  // namespace
}  // namespace orvenda
