#include "shell/application_object.h"

#include "application_adaptor.h"
#include "platform/linux/application_bus_path.h"

ApplicationObject::ApplicationObject(OpenHandler onOpen) : onOpen_(std::move(onOpen)) {
  new ApplicationAdaptor(this);
}

bool ApplicationObject::exportOn(QDBusConnection& bus, const std::string& identifier) {
  return bus.registerObject(applicationBusPath(QString::fromStdString(identifier)), this);
}

// A headless application has no window to raise.
void ApplicationObject::Activate(const QVariantMap&) {}

void ApplicationObject::Open(const QStringList& uris, const QVariantMap&) {
  std::vector<std::string> urls;
  for (const auto& uri : uris) urls.push_back(uri.toStdString());
  onOpen_(urls);
}

void ApplicationObject::ActivateAction(const QString&, const QVariantList&, const QVariantMap&) {}
