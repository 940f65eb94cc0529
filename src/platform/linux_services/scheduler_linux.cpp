#include "platform/linux_services/scheduler_linux.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QTimer>
#include <cmath>

namespace {

// Refers to a QTimer on the main thread. Precise timers keep the attention signal's steps on time.
// The timer belongs to the application object, not to the handle: a timer outlives a dropped
// handle (it still fires), and whatever is still pending at quit goes with the application.
class QtTimerHandle : public TimerHandle {
 public:
  QtTimerHandle(double seconds, bool repeating, std::function<void()> fn)
      : timer_(new QTimer(QCoreApplication::instance())) {
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setSingleShot(!repeating);
    timer_->setInterval(static_cast<int>(std::lround(seconds * 1000)));
    QObject::connect(timer_, &QTimer::timeout, timer_, [timer = timer_, fn = std::move(fn), repeating] {
      fn();
      if (!repeating) timer->deleteLater();
    });
    timer_->start();
  }
  void cancel() override {
    if (timer_) {
      timer_->stop();
      timer_->deleteLater();
    }
  }

 private:
  QPointer<QTimer> timer_;
};

}  // namespace

void LinuxScheduler::post(std::function<void()> fn) {
  QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(fn), Qt::QueuedConnection);
}

std::shared_ptr<TimerHandle> LinuxScheduler::after(double seconds, std::function<void()> fn) {
  return std::make_shared<QtTimerHandle>(seconds, false, std::move(fn));
}

std::shared_ptr<TimerHandle> LinuxScheduler::every(double seconds, std::function<void()> fn) {
  return std::make_shared<QtTimerHandle>(seconds, true, std::move(fn));
}
