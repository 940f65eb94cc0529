#include "shell/desktop_session.h"

#include <xcb/xcb.h>

#include <QDir>
#include <QFileInfo>
#include <QString>

namespace DesktopSession {

namespace {

bool waylandSocketExists() {
  QString name = qEnvironmentVariable("WAYLAND_DISPLAY");
  if (name.isEmpty()) return false;
  QString path =
      QDir::isAbsolutePath(name) ? name : qEnvironmentVariable("XDG_RUNTIME_DIR") + QLatin1Char('/') + name;
  return QFileInfo(path).exists();
}

bool xServerAnswers() {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) return false;
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  bool answers = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  return answers;
}

}  // namespace

bool available() { return waylandSocketExists() || xServerAnswers(); }

}  // namespace DesktopSession
