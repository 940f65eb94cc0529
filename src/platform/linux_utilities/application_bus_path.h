// The object path of the application on the session bus: its identifier with the dots turned into
// slashes. It carries the application's notifications and its org.freedesktop.Application object.
#pragma once

#include <QString>

inline QString applicationBusPath(const QString& identifier) {
  return "/" + QString(identifier).replace('.', '/');
}
