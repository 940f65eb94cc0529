#include "shell/application_object.h"

#include <QDBusArgument>
#include <QDBusVariant>

#include "application_adaptor.h"
#include "logo_light_adaptor.h"
#include "platform/linux/application_bus_path.h"

namespace {

// A value as it came over the bus, as a property-list value: structures and arrays become arrays,
// variants are unwrapped, and what has no equivalent becomes null.
PlistValue plistFromBus(const QVariant& value) {
  if (value.userType() == qMetaTypeId<QDBusVariant>())
    return plistFromBus(value.value<QDBusVariant>().variant());
  if (value.userType() == qMetaTypeId<QDBusArgument>()) {
    // Read through a const argument: the non-const calls are the writing ones.
    const auto argument = value.value<QDBusArgument>();
    auto items = PlistValue::array();
    if (argument.currentType() == QDBusArgument::StructureType) {
      argument.beginStructure();
      while (!argument.atEnd()) items.push_back(plistFromBus(argument.asVariant()));
      argument.endStructure();
    } else if (argument.currentType() == QDBusArgument::ArrayType) {
      argument.beginArray();
      while (!argument.atEnd()) items.push_back(plistFromBus(argument.asVariant()));
      argument.endArray();
    } else {
      return nullptr;
    }
    return items;
  }
  switch (value.typeId()) {
    case QMetaType::Bool: return value.toBool();
    case QMetaType::Double: return value.toDouble();
    case QMetaType::QString: return value.toString().toStdString();
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong: return value.toLongLong();
    default: return nullptr;
  }
}

}  // namespace

ApplicationObject::ApplicationObject(OpenHandler onOpen) : onOpen_(std::move(onOpen)) {
  new ApplicationAdaptor(this);
  new LogoLightAdaptor(this);
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

void ApplicationObject::ActivateAction(const QString& actionName, const QVariantList& parameter,
                                       const QVariantMap&) {
  if (!logoLight_.activateAction) return static_cast<void>(unavailable());
  std::vector<PlistValue> values;
  for (const auto& value : parameter) values.push_back(plistFromBus(value));
  answer(logoLight_.activateAction(actionName.toStdString(), values));
}

bool ApplicationObject::GetLogoLightStatus(QString& sentence) {
  if (!logoLight_.status) {
    sentence = unavailable();
    return false;
  }
  auto [lit, text] = logoLight_.status();
  sentence = QString::fromStdString(text);
  return lit;
}

QString ApplicationObject::ToggleLogoLight() {
  return logoLight_.toggle ? answer({logoLight_.toggle()}) : unavailable();
}
QString ApplicationObject::TurnLogoLightOn() {
  return logoLight_.turnOn ? answer({logoLight_.turnOn()}) : unavailable();
}
QString ApplicationObject::TurnLogoLightOff() {
  return logoLight_.turnOff ? answer({logoLight_.turnOff()}) : unavailable();
}

QString ApplicationObject::SetLogoLight(const QString& mode, double nits) {
  return logoLight_.set ? answer(logoLight_.set(mode.toStdString(), nits)) : unavailable();
}

QString ApplicationObject::answer(const Reply& reply) {
  if (reply.refused && calledFromDBus())
    sendErrorReply(QDBusError::InvalidArgs, QString::fromStdString(reply.text));
  return QString::fromStdString(reply.text);
}

QString ApplicationObject::unavailable() {
  if (calledFromDBus()) sendErrorReply(QDBusError::Failed, "The logo light actions are not ready yet.");
  return {};
}
