#include "xvfb_server.h"

#include <xcb/xcb.h>

#include <QDeadlineTimer>
#include <QStandardPaths>
#include <cstdlib>
#include <cstring>
#include <fstream>

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

XvfbServer::Picture XvfbServer::grab(int x, int y, int width, int height) {
  Picture picture;
  xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(client_)).data->root;
  auto* image =
      xcb_get_image_reply(client_,
                          xcb_get_image(client_, XCB_IMAGE_FORMAT_Z_PIXMAP, root, std::int16_t(x),
                                        std::int16_t(y), std::uint16_t(width), std::uint16_t(height), ~0u),
                          nullptr);
  if (!image) return picture;
  // The server's 24-bit screen comes as 32 bits a pixel, blue first.
  const auto* data = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image));
  if (xcb_get_image_data_length(image) >= width * height * 4) {
    picture.width = width;
    picture.height = height;
    picture.pixels.assign(data, data + std::size_t(width) * std::size_t(height));
    for (auto& pixel : picture.pixels) pixel &= 0xffffff;
  }
  std::free(image);
  return picture;
}

bool XvfbServer::Picture::save(const std::string& path) const {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << width << ' ' << height << "\n255\n";
  for (std::uint32_t pixel : pixels) {
    char rgb[3] = {char(pixel >> 16), char(pixel >> 8), char(pixel)};
    out.write(rgb, 3);
  }
  return bool(out);
}
