#include "ui/x11_panel.h"

#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <algorithm>
#include <cstring>
#include <memory>

namespace X11Panel {

namespace {

template <class T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <class T>
Reply<T> reply(T* answer) {
  return Reply<T>(answer, &std::free);
}

xcb_connection_t* connection() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

xcb_window_t root(xcb_connection_t* c) { return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root; }

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
  auto answer = reply(xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr));
  return answer ? answer->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// X11 counts device pixels; Qt's coordinates are scaled by the screen's ratio.
qreal ratio() {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->devicePixelRatio() : 1.0;
}

QRect toLogical(int x, int y, int width, int height) {
  qreal r = ratio();
  return QRectF(x / r, y / r, width / r, height / r).toAlignedRect();
}

std::optional<QRect> geometryOf(xcb_connection_t* c, xcb_window_t window) {
  auto geometry = reply(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
  if (!geometry) return std::nullopt;
  auto placed =
      reply(xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, window, root(c), 0, 0), nullptr));
  if (!placed) return std::nullopt;
  return toLogical(placed->dst_x, placed->dst_y, geometry->width, geometry->height);
}

xcb_window_t trayManager(xcb_connection_t* c) {
  xcb_atom_t selection = atom(c, "_NET_SYSTEM_TRAY_S0");
  auto owner = reply(xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr));
  return owner ? owner->owner : xcb_window_t(XCB_WINDOW_NONE);
}

}  // namespace

bool available() { return connection() != nullptr; }

std::optional<QRect> windowAt(QPoint point) {
  xcb_connection_t* c = connection();
  if (!c) return std::nullopt;
  qreal r = ratio();
  auto found = reply(xcb_translate_coordinates_reply(
      c, xcb_translate_coordinates(c, root(c), root(c), int16_t(point.x() * r), int16_t(point.y() * r)),
      nullptr));
  if (!found || found->child == XCB_WINDOW_NONE) return std::nullopt;
  return geometryOf(c, found->child);
}

std::vector<QRect> docks() {
  std::vector<QRect> result;
  xcb_connection_t* c = connection();
  if (!c) return result;
  xcb_atom_t type = atom(c, "_NET_WM_WINDOW_TYPE");
  xcb_atom_t dock = atom(c, "_NET_WM_WINDOW_TYPE_DOCK");
  auto tree = reply(xcb_query_tree_reply(c, xcb_query_tree(c, root(c)), nullptr));
  if (!tree) return result;
  xcb_window_t* children = xcb_query_tree_children(tree.get());
  for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
    auto attributes =
        reply(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, children[i]), nullptr));
    if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE) continue;
    auto types = reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, children[i], type, XCB_ATOM_ATOM, 0, 16), nullptr));
    if (!types || types->format != 32) continue;
    auto* atoms = static_cast<xcb_atom_t*>(xcb_get_property_value(types.get()));
    int count = xcb_get_property_value_length(types.get()) / 4;
    if (std::find(atoms, atoms + count, dock) == atoms + count) continue;
    if (auto rect = geometryOf(c, children[i])) result.push_back(*rect);
  }
  return result;
}

std::optional<QColor> trayForeground() {
  xcb_connection_t* c = connection();
  if (!c) return std::nullopt;
  xcb_window_t manager = trayManager(c);
  if (manager == XCB_WINDOW_NONE) return std::nullopt;
  xcb_atom_t colors = atom(c, "_NET_SYSTEM_TRAY_COLORS");
  auto value = reply(
      xcb_get_property_reply(c, xcb_get_property(c, 0, manager, colors, XCB_ATOM_CARDINAL, 0, 12), nullptr));
  if (!value || value->format != 32 || xcb_get_property_value_length(value.get()) < 12) return std::nullopt;
  // Foreground first, each channel in 16 bits.
  auto* channels = static_cast<const uint32_t*>(xcb_get_property_value(value.get()));
  return QColor::fromRgba64(quint16(channels[0]), quint16(channels[1]), quint16(channels[2]));
}

std::optional<QColor> backgroundOf(const QRect& area) {
  QScreen* screen = QGuiApplication::screenAt(area.center());
  if (!screen || area.isEmpty()) return std::nullopt;
  QRect local = area.translated(-screen->geometry().topLeft());
  QImage image = screen->grabWindow(0, local.x(), local.y(), local.width(), local.height()).toImage();
  if (image.isNull()) return std::nullopt;
  image = image.convertToFormat(QImage::Format_RGB32);
  QHash<QRgb, int> counts;
  QRgb most = 0;
  int best = 0;
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      int count = ++counts[line[x]];
      if (count > best) {
        best = count;
        most = line[x];
      }
    }
  }
  if (best == 0) return std::nullopt;
  return QColor(most);
}

TrayColorsWatch::TrayColorsWatch(QObject* parent) : QObject(parent) {
  if (!connection()) return;
  managerMessage_ = atom(connection(), "MANAGER");
  QCoreApplication::instance()->installNativeEventFilter(this);
  watchManager();
}

TrayColorsWatch::~TrayColorsWatch() {
  if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
}

void TrayColorsWatch::watchManager() {
  xcb_connection_t* c = connection();
  manager_ = trayManager(c);
  if (manager_ == XCB_WINDOW_NONE) return;
  const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  xcb_change_window_attributes(c, manager_, XCB_CW_EVENT_MASK, &mask);
  xcb_flush(c);
}

bool TrayColorsWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t") return false;
  auto* event = static_cast<xcb_generic_event_t*>(message);
  switch (event->response_type & ~0x80) {
    case XCB_PROPERTY_NOTIFY:
      if (reinterpret_cast<xcb_property_notify_event_t*>(event)->window == manager_) Q_EMIT changed();
      break;
    case XCB_DESTROY_NOTIFY:
      if (reinterpret_cast<xcb_destroy_notify_event_t*>(event)->window == manager_) {
        manager_ = 0;
        Q_EMIT changed();
      }
      break;
    case XCB_CLIENT_MESSAGE: {
      // A tray manager announces itself on the root window with MANAGER.
      auto* client = reinterpret_cast<xcb_client_message_event_t*>(event);
      if (client->type == managerMessage_ && client->window == root(connection())) {
        watchManager();
        Q_EMIT changed();
      }
      break;
    }
  }
  return false;
}

}  // namespace X11Panel
