// Control-Alt-Super-L grabbed on an X server's root window, with the variants that NumLock and
// CapsLock add to the modifier state, on a connection of its own watched by the main loop.
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/interfaces/hot_keys.h"

struct xcb_connection_t;
class QSocketNotifier;

class X11KeyGrab : public QObject, public HotKeyRegistration {
  Q_OBJECT

 public:
  // None when the display cannot be reached or another client holds the combination.
  static std::unique_ptr<X11KeyGrab> grab(const std::string& display, std::function<void()> action);
  ~X11KeyGrab() override;

 private:
  X11KeyGrab(xcb_connection_t* connection, std::uint32_t root, std::function<void()> action);
  bool grabAll();
  void ungrabAll();
  void readEvents();

  xcb_connection_t* connection_;
  std::uint32_t root_;
  std::function<void()> action_;
  std::vector<std::uint8_t> keycodes_;
  std::uint16_t numLockMask_ = 0;
  std::vector<std::uint16_t> grabbedMasks_;
  std::uint32_t lastReleaseTime_ = 0;
  std::unique_ptr<QSocketNotifier> notifier_;
};
