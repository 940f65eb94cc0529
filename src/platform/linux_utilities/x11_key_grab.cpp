#include "platform/linux_utilities/x11_key_grab.h"

#include <xcb/xcb.h>

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cstdlib>

namespace {

constexpr std::uint32_t kKeysymL = 0x006c;
constexpr std::uint32_t kKeysymNumLock = 0xff7f;
constexpr std::uint16_t kBaseMask = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;  // Ctrl+Alt+Super

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

// Keycodes that produce `keysym` in the current keyboard mapping.
std::vector<std::uint8_t> keycodesFor(xcb_connection_t* c, std::uint32_t keysym) {
  const xcb_setup_t* setup = xcb_get_setup(c);
  std::uint8_t first = setup->min_keycode;
  std::uint8_t count = static_cast<std::uint8_t>(setup->max_keycode - first + 1);
  Reply<xcb_get_keyboard_mapping_reply_t> reply(
      xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, first, count), nullptr), &std::free);
  std::vector<std::uint8_t> keycodes;
  if (!reply) return keycodes;
  const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply.get());
  int perCode = reply->keysyms_per_keycode;
  for (int code = 0; code < count; ++code) {
    for (int i = 0; i < perCode; ++i) {
      if (syms[code * perCode + i] == keysym) {
        keycodes.push_back(static_cast<std::uint8_t>(first + code));
        break;
      }
    }
  }
  return keycodes;
}

// The modifier bit that NumLock sets, found in the server's modifier mapping.
std::uint16_t numLockMask(xcb_connection_t* c) {
  auto numLockCodes = keycodesFor(c, kKeysymNumLock);
  Reply<xcb_get_modifier_mapping_reply_t> reply(
      xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr), &std::free);
  if (!reply || numLockCodes.empty()) return 0;
  const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(reply.get());
  int perModifier = reply->keycodes_per_modifier;
  for (int modifier = 0; modifier < 8; ++modifier) {
    for (int i = 0; i < perModifier; ++i) {
      for (auto code : numLockCodes)
        if (codes[modifier * perModifier + i] == code) return static_cast<std::uint16_t>(1u << modifier);
    }
  }
  return 0;
}

}  // namespace

std::unique_ptr<X11KeyGrab> X11KeyGrab::grab(const std::string& display, std::function<void()> action) {
  if (display.empty()) return nullptr;
  int screenNumber = 0;
  xcb_connection_t* connection = xcb_connect(display.c_str(), &screenNumber);
  if (xcb_connection_has_error(connection)) {
    xcb_disconnect(connection);
    return nullptr;
  }
  auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (int i = 0; i < screenNumber && screens.rem; ++i) xcb_screen_next(&screens);
  if (!screens.rem) {
    xcb_disconnect(connection);
    return nullptr;
  }
  std::unique_ptr<X11KeyGrab> grab(new X11KeyGrab(connection, screens.data->root, std::move(action)));
  if (!grab->grabAll()) return nullptr;
  grab->notifier_ =
      std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(connection), QSocketNotifier::Read);
  connect(grab->notifier_.get(), &QSocketNotifier::activated, grab.get(), &X11KeyGrab::readEvents);
  return grab;
}

X11KeyGrab::X11KeyGrab(xcb_connection_t* connection, std::uint32_t root, std::function<void()> action)
    : connection_(connection), root_(root), action_(std::move(action)) {}

X11KeyGrab::~X11KeyGrab() {
  ungrabAll();
  xcb_flush(connection_);
  xcb_disconnect(connection_);
}

bool X11KeyGrab::grabAll() {
  keycodes_ = keycodesFor(connection_, kKeysymL);
  numLockMask_ = numLockMask(connection_);
  if (keycodes_.empty()) return false;
  // The grab matches the modifier state exactly, so the lock keys' bits need grabs of their own.
  for (std::uint16_t locks :
       {0, int(XCB_MOD_MASK_LOCK), int(numLockMask_), int(XCB_MOD_MASK_LOCK | numLockMask_)}) {
    std::uint16_t mask = kBaseMask | locks;
    if (std::find(grabbedMasks_.begin(), grabbedMasks_.end(), mask) != grabbedMasks_.end()) continue;
    for (auto keycode : keycodes_) {
      auto cookie = xcb_grab_key_checked(connection_, 1, root_, mask, keycode, XCB_GRAB_MODE_ASYNC,
                                         XCB_GRAB_MODE_ASYNC);
      if (xcb_generic_error_t* error = xcb_request_check(connection_, cookie)) {
        // Another client holds the combination: leave it to them entirely.
        std::free(error);
        ungrabAll();
        return false;
      }
    }
    grabbedMasks_.push_back(mask);
  }
  xcb_flush(connection_);
  return true;
}

void X11KeyGrab::ungrabAll() {
  for (auto mask : grabbedMasks_)
    for (auto keycode : keycodes_) xcb_ungrab_key(connection_, keycode, root_, mask);
  grabbedMasks_.clear();
}

void X11KeyGrab::readEvents() {
  while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
    std::uint8_t type = event->response_type & 0x7f;
    if (type == XCB_KEY_RELEASE) {
      lastReleaseTime_ = reinterpret_cast<xcb_key_release_event_t*>(event)->time;
    } else if (type == XCB_KEY_PRESS) {
      auto* press = reinterpret_cast<xcb_key_press_event_t*>(event);
      std::uint16_t state = press->state & ~(XCB_MOD_MASK_LOCK | numLockMask_);
      bool ours = state == kBaseMask &&
                  std::find(keycodes_.begin(), keycodes_.end(), press->detail) != keycodes_.end();
      // Auto-repeat sends a release and a press with the same time: act on the first press only.
      if (ours && press->time != lastReleaseTime_) QTimer::singleShot(0, this, [this] { action_(); });
    } else if (type == XCB_MAPPING_NOTIFY) {
      ungrabAll();
      grabAll();
    }
    std::free(event);
  }
}
