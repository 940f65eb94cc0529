#include "platform/linux_utilities/x11_connection.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

X11Connection::X11Connection(const std::string& display) {
  if (display.empty()) return;
  int screenNumber = 0;
  xcb_connection_t* connection = xcb_connect(display.c_str(), &screenNumber);
  if (xcb_connection_has_error(connection)) {
    xcb_disconnect(connection);
    return;
  }
  auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (int i = 0; i < screenNumber && screens.rem; ++i) xcb_screen_next(&screens);
  if (!screens.rem) {
    xcb_disconnect(connection);
    return;
  }
  connection_ = connection;
  root_ = screens.data->root;
  activeWindowAtom_ = atom("_NET_ACTIVE_WINDOW");
  pidAtom_ = atom("_NET_WM_PID");
}

X11Connection::~X11Connection() {
  if (connection_) xcb_disconnect(connection_);
}

std::string X11Connection::displayFromEnvironment() {
  const char* display = std::getenv("DISPLAY");
  return display ? display : "";
}

bool X11Connection::isOpen() const { return connection_ && !xcb_connection_has_error(connection_); }

std::uint32_t X11Connection::atom(const char* name) {
  auto cookie = xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection_, cookie, nullptr);
  if (!reply) return XCB_ATOM_NONE;
  std::uint32_t result = reply->atom;
  std::free(reply);
  return result;
}

std::optional<std::uint32_t> X11Connection::cardinalProperty(std::uint32_t window, std::uint32_t atom,
                                                             std::uint32_t type) {
  auto cookie = xcb_get_property(connection_, 0, window, atom, type, 0, 1);
  xcb_get_property_reply_t* reply = xcb_get_property_reply(connection_, cookie, nullptr);
  if (!reply) return std::nullopt;
  std::optional<std::uint32_t> value;
  if (reply->type == type && reply->format == 32 && xcb_get_property_value_length(reply) >= 4) {
    value = *static_cast<std::uint32_t*>(xcb_get_property_value(reply));
  }
  std::free(reply);
  return value;
}

std::optional<int> X11Connection::activeWindowPid() {
  if (!isOpen() || activeWindowAtom_ == XCB_ATOM_NONE) return std::nullopt;
  auto window = cardinalProperty(root_, activeWindowAtom_, XCB_ATOM_WINDOW);
  if (!window || *window == XCB_WINDOW_NONE) return std::nullopt;
  auto pid = cardinalProperty(*window, pidAtom_, XCB_ATOM_CARDINAL);
  if (!pid || *pid == 0) return std::nullopt;
  return static_cast<int>(*pid);
}

std::optional<bool> X11Connection::activeWindowHolds(std::uint64_t window) {
  if (!isOpen() || activeWindowAtom_ == XCB_ATOM_NONE) return std::nullopt;
  auto active = cardinalProperty(root_, activeWindowAtom_, XCB_ATOM_WINDOW);
  if (!active) return std::nullopt;
  if (*active == XCB_WINDOW_NONE || window == 0 || window > UINT32_MAX) return false;
  // Window trees are shallow; the bound only guards against a server that answers in circles.
  constexpr int kMaxDepth = 64;
  auto current = static_cast<xcb_window_t>(window);
  for (int depth = 0; depth < kMaxDepth && current != XCB_WINDOW_NONE; ++depth) {
    if (current == *active) return true;
    if (current == root_) return false;
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(connection_, xcb_query_tree(connection_, current), nullptr);
    if (!tree) return false;
    current = tree->parent;
    std::free(tree);
  }
  return false;
}

bool X11Connection::watchRootProperties() {
  if (!isOpen()) return false;
  const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
  auto cookie = xcb_change_window_attributes_checked(connection_, root_, XCB_CW_EVENT_MASK, &mask);
  xcb_generic_error_t* error = xcb_request_check(connection_, cookie);
  bool accepted = error == nullptr;
  std::free(error);
  return accepted;
}

int X11Connection::fileDescriptor() const { return connection_ ? xcb_get_file_descriptor(connection_) : -1; }

int X11Connection::takeActiveWindowChanges() {
  int changes = 0;
  if (!connection_) return 0;
  while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
    if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY &&
        reinterpret_cast<xcb_property_notify_event_t*>(event)->atom == activeWindowAtom_) {
      ++changes;
    }
    std::free(event);
  }
  return changes;
}
