#include "platform/linux/application_object_linux.h"

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

// A person opens a link or a few; thousands of URIs, or one of megabytes, come from no user.
constexpr qsizetype kMaxUris = 64;
constexpr qsizetype kMaxUriLength = 64 * 1024;

void ApplicationObject::Open(const QStringList& uris, const QVariantMap&) {
  std::vector<std::string> urls;
  for (qsizetype i = 0; i < uris.size() && i < kMaxUris; ++i) {
    if (uris[i].size() <= kMaxUriLength) urls.push_back(uris[i].toStdString());
  }
  onOpen_(urls);
}

void ApplicationObject::ActivateAction(const QString&, const QVariantList&, const QVariantMap&) {}
