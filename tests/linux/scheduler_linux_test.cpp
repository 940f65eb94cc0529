// Timers on the Qt main loop: who owns them once their handle is gone.
#include "platform/linux_services/scheduler_linux.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include "dbusmock_bus.h"

namespace {

qsizetype pendingTimers() { return QCoreApplication::instance()->findChildren<QTimer*>().size(); }

void deleteWhatWasLeftToDelete() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

TEST(LinuxScheduler, TimersBelongToTheApplicationSoNoneOutlivesIt) {
  ensureCoreApplication();
  LinuxScheduler scheduler;
  deleteWhatWasLeftToDelete();
  const auto before = pendingTimers();

  // A dropped handle does not cancel: the timer still fires, then is freed.
  int fired = 0;
  scheduler.after(0.01, [&] { ++fired; });
  EXPECT_EQ(pendingTimers(), before + 1) << "held by the application, so quitting frees it";
  ASSERT_TRUE(waitUntil([&] { return fired == 1; }));
  deleteWhatWasLeftToDelete();
  EXPECT_EQ(pendingTimers(), before);

  // Pending timers whose handles are gone stay the application's until it ends.
  scheduler.after(3600, [] {});
  scheduler.every(3600, [] {});
  EXPECT_EQ(pendingTimers(), before + 2);

  auto repeating = scheduler.every(0.01, [&] { ++fired; });
  ASSERT_TRUE(waitUntil([&] { return fired >= 3; }));
  repeating->cancel();
  deleteWhatWasLeftToDelete();
  EXPECT_EQ(pendingTimers(), before + 2) << "a cancelled timer is freed";
  const int firedAtCancel = fired;
  waitUntil([] { return false; }, 0.05);
  EXPECT_EQ(fired, firedAtCancel);
}

}  // namespace
