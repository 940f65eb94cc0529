#include "xvfb_server.h"

#include <xcb/xcb.h>

#include <QDeadlineTimer>
#include <QStandardPaths>
#include <cstdlib>
#include <cstring>

XvfbServer::XvfbServer(const QString& screen) : server_(std::make_unique<QProcess>()) {
  if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) return;
  server_->start(QStringLiteral("Xvfb"),
                 {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                  QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"), screen});
  if (!server_->waitForStarted(5000)) return;
  QDeadlineTimer deadline(10000);
  while (!server_->canReadLine() && !deadline.hasExpired()) server_->waitForReadyRead(100);
  QString number = QString::fromUtf8(server_->readLine()).trimmed();
  if (number.isEmpty()) return;
  client_ = xcb_connect((QStringLiteral(":") + number).toUtf8().constData(), nullptr);
  if (xcb_connection_has_error(client_)) return;
  display_ = QStringLiteral(":") + number;
}

XvfbServer::~XvfbServer() {
  if (client_) xcb_disconnect(client_);
  server_->kill();
  server_->waitForFinished(2000);
}

std::uint32_t XvfbServer::atom(const char* name) {
  auto reply = xcb_intern_atom_reply(
      client_, xcb_intern_atom(client_, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
  std::uint32_t result = reply ? reply->atom : static_cast<std::uint32_t>(XCB_ATOM_NONE);
  std::free(reply);
  return result;
}

bool XvfbServer::activateWindowOf(std::uint32_t pid) {
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(client_)).data;
  xcb_window_t window = xcb_generate_id(client_);
  xcb_create_window(client_, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 10, 10, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
  xcb_change_property(client_, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1,
                      &pid);
  xcb_change_property(client_, XCB_PROP_MODE_REPLACE, screen->root, atom("_NET_ACTIVE_WINDOW"),
                      XCB_ATOM_WINDOW, 32, 1, &window);
  // A round trip so the server has applied everything before the test looks.
  std::free(xcb_get_input_focus_reply(client_, xcb_get_input_focus(client_), nullptr));
  active_ = window;
  return !xcb_connection_has_error(client_);
}

std::uint32_t XvfbServer::createWindowIn(std::uint32_t parent) {
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(client_)).data;
  xcb_window_t window = xcb_generate_id(client_);
  xcb_create_window(client_, XCB_COPY_FROM_PARENT, window, parent, 0, 0, 5, 5, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
  std::free(xcb_get_input_focus_reply(client_, xcb_get_input_focus(client_), nullptr));
  return xcb_connection_has_error(client_) ? 0 : window;
}

std::vector<std::string> XvfbServer::shownWindowTitles() {
  std::vector<std::string> titles;
  xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(client_)).data->root;
  auto* tree = xcb_query_tree_reply(client_, xcb_query_tree(client_, root), nullptr);
  if (!tree) return titles;
  const xcb_window_t* children = xcb_query_tree_children(tree);
  for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
    auto* attributes =
        xcb_get_window_attributes_reply(client_, xcb_get_window_attributes(client_, children[i]), nullptr);
    bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(attributes);
    if (!viewable) continue;
    auto* name = xcb_get_property_reply(
        client_, xcb_get_property(client_, 0, children[i], atom("_NET_WM_NAME"), atom("UTF8_STRING"), 0, 256),
        nullptr);
    if (name) {
      titles.emplace_back(static_cast<const char*>(xcb_get_property_value(name)),
                          xcb_get_property_value_length(name));
      std::free(name);
    }
  }
  std::free(tree);
  return titles;
}
