#include "shell/application_object.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVariant>

#include "app/published_state.h"
#include "application_adaptor.h"
#include "logo_light_adaptor.h"
#include "platform/linux_utilities/application_bus_path.h"
#include "shortcuts/named_actions.h"

namespace {

// What a desktop sends these calls is a name and a value or two. Anything far larger comes from
// no desktop, and is refused by its size before it is converted or copied.
constexpr qsizetype kMaxParameters = 64;
constexpr qsizetype kMaxNameLength = 256;
constexpr qsizetype kMaxStringLength = 4096;
// Values in a parameter, nested ones included, and how deep structures may nest.
constexpr int kMaxValues = 1024;
constexpr int kMaxDepth = 8;

// A value as it came over the bus, as a property-list value: structures and arrays become arrays,
// variants are unwrapped, and what has no equivalent becomes null. None when the value is beyond
// the bounds above; `valuesLeft` counts down across one parameter.
std::optional<PlistValue> plistFromBus(const QVariant& value, int& valuesLeft, int depth = 0) {
  if (--valuesLeft < 0 || depth > kMaxDepth) return std::nullopt;
  if (value.userType() == qMetaTypeId<QDBusVariant>())
    return plistFromBus(value.value<QDBusVariant>().variant(), valuesLeft, depth + 1);
  if (value.userType() == qMetaTypeId<QDBusArgument>()) {
    // Read through a const argument: the non-const calls are the writing ones. Elements are
    // counted as they are read, so a huge array is refused after the first values over the bound.
    const auto argument = value.value<QDBusArgument>();
    auto items = PlistValue::array();
    bool structure = argument.currentType() == QDBusArgument::StructureType;
    if (!structure && argument.currentType() != QDBusArgument::ArrayType) return nullptr;
    if (structure)
      argument.beginStructure();
    else
      argument.beginArray();
    bool within = true;
    while (within && !argument.atEnd()) {
      auto item = plistFromBus(argument.asVariant(), valuesLeft, depth + 1);
      within = item.has_value();
      if (within) items.push_back(std::move(*item));
    }
    // Closing the reader frees it, finished or not.
    if (structure)
      argument.endStructure();
    else
      argument.endArray();
    if (!within) return std::nullopt;
    return items;
  }
  switch (value.typeId()) {
    case QMetaType::Bool: return value.toBool();
    case QMetaType::Double: return value.toDouble();
    case QMetaType::QString: {
      const QString text = value.toString();
      if (text.size() > kMaxStringLength) return std::nullopt;
      return text.toStdString();
    }
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong: return value.toLongLong();
    default: return nullptr;
  }
}

// The start of an over-long name, for a refusal that quotes it.
std::string startOf(const QString& text) { return text.left(kMaxNameLength).toStdString(); }

}  // namespace

ApplicationObject::ApplicationObject(OpenHandler onOpen) : onOpen_(std::move(onOpen)) {
  new ApplicationAdaptor(this);
  new LogoLightAdaptor(this);
}

bool ApplicationObject::exportOn(QDBusConnection& bus, const std::string& identifier) {
  path_ = applicationBusPath(QString::fromStdString(identifier));
  interface_ = QString::fromStdString(identifier) + QStringLiteral(".LogoLight");
  if (!bus.registerObject(path_, this)) return false;
  bus_ = bus;
  return true;
}

void ApplicationObject::publish(const PlistDictionary& properties) {
  PlistDictionary changed = PublishedState::changes(published_, properties);
  bool first = !published_;
  published_ = properties;
  // The first values are what a reader finds; only later ones are changes to announce.
  if (first || changed.empty() || !bus_) return;
  QVariantMap values;
  for (const auto& [name, value] : changed) {
    const QString key = QString::fromStdString(name);
    if (value.is_boolean()) {
      values.insert(key, value.get<bool>());
    } else if (value.is_number()) {
      values.insert(key, value.get<double>());
    } else if (value.is_string()) {
      values.insert(key, QString::fromStdString(value.get<std::string>()));
    }
  }
  auto signal = QDBusMessage::createSignal(path_, QStringLiteral("org.freedesktop.DBus.Properties"),
                                           QStringLiteral("PropertiesChanged"));
  signal << interface_ << values << QStringList();
  bus_->send(signal);
}

QString ApplicationObject::text(const char* name) const {
  if (!published_) return {};
  auto found = published_->find(name);
  if (found == published_->end() || !found->second.is_string()) return {};
  return QString::fromStdString(found->second.get<std::string>());
}

double ApplicationObject::number(const char* name, double fallback) const {
  if (!published_) return fallback;
  auto found = published_->find(name);
  if (found == published_->end() || !found->second.is_number()) return fallback;
  return found->second.get<double>();
}

QString ApplicationObject::setting() const { return text(PublishedState::kSetting); }
double ApplicationObject::fixedNits() const { return number(PublishedState::kFixedNits, 0); }
double ApplicationObject::logoNits() const { return number(PublishedState::kLogoNits, -1); }
QString ApplicationObject::heldOffReason() const { return text(PublishedState::kHeldOffReason); }
QString ApplicationObject::dimmedReason() const { return text(PublishedState::kDimmedReason); }
bool ApplicationObject::signaling() const {
  if (!published_) return false;
  auto found = published_->find(PublishedState::kSignaling);
  return found != published_->end() && found->second.is_boolean() && found->second.get<bool>();
}
QString ApplicationObject::signalMessage() const { return text(PublishedState::kSignalMessage); }
QString ApplicationObject::signalStyle() const { return text(PublishedState::kSignalStyle); }

// A headless application has no window to raise.
void ApplicationObject::Activate(const QVariantMap&) {}

// A person opens a link or a few; thousands of URIs, or one of megabytes, come from no user.
constexpr qsizetype kMaxUris = kMaxParameters;
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
  // No action has a name this long.
  if (actionName.size() > kMaxNameLength)
    return static_cast<void>(
        answer({"Unknown action " + LogoLight::quoted(startOf(actionName)) + ".", true}));
  if (parameter.size() > kMaxParameters)
    return static_cast<void>(
        answer({"An action takes at most " + std::to_string(kMaxParameters) +
                    " parameter values; this call had " + std::to_string(parameter.size()) + ".",
                true}));
  std::vector<PlistValue> values;
  int valuesLeft = kMaxValues;
  for (const auto& value : parameter) {
    auto converted = plistFromBus(value, valuesLeft);
    if (!converted)
      return static_cast<void>(answer({"The action's parameter is too large or nested too deeply.", true}));
    values.push_back(std::move(*converted));
  }
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
  if (!logoLight_.set) return unavailable();
  // No mode has a name this long; the refusal is the one an unknown mode gets.
  if (mode.size() > kMaxNameLength) return answer(logoLight_.set(startOf(mode), nits));
  return answer(logoLight_.set(mode.toStdString(), nits));
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
