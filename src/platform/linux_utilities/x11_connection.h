// A connection to the X server for the active window and its owner's process. Errors never end
// the process: a broken connection simply answers nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct xcb_connection_t;

class X11Connection {
 public:
  // `display` as in $DISPLAY; an empty name means there is no X server to ask.
  explicit X11Connection(const std::string& display);
  ~X11Connection();
  X11Connection(const X11Connection&) = delete;
  X11Connection& operator=(const X11Connection&) = delete;

  // $DISPLAY, or empty.
  static std::string displayFromEnvironment();

  bool isOpen() const;
  // The process that owns the window in the root's _NET_ACTIVE_WINDOW, per its _NET_WM_PID.
  std::optional<int> activeWindowPid();
  // Whether the root's _NET_ACTIVE_WINDOW is `window` or one of its ancestors (a terminal's
  // $WINDOWID may name a window inside its frame); none when no active window is named.
  std::optional<bool> activeWindowHolds(std::uint64_t window);
  // Asks for PropertyNotify on the root window; the events then arrive on `fileDescriptor()`.
  bool watchRootProperties();
  int fileDescriptor() const;
  // Drains pending events; returns how many were changes of _NET_ACTIVE_WINDOW.
  int takeActiveWindowChanges();

 private:
  std::optional<std::uint32_t> cardinalProperty(std::uint32_t window, std::uint32_t atom, std::uint32_t type);
  std::uint32_t atom(const char* name);

  xcb_connection_t* connection_ = nullptr;
  std::uint32_t root_ = 0;
  std::uint32_t activeWindowAtom_ = 0;
  std::uint32_t pidAtom_ = 0;
};
