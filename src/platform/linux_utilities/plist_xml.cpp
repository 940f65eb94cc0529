#include "platform/linux_utilities/plist_xml.h"

#include <QXmlStreamReader>

namespace {

std::optional<PlistValue> readValue(QXmlStreamReader& xml);

bool nextElement(QXmlStreamReader& xml) { return xml.readNextStartElement(); }

std::optional<PlistValue> readArray(QXmlStreamReader& xml) {
  PlistValue array = PlistValue::array();
  while (nextElement(xml)) {
    auto element = readValue(xml);
    if (!element) return std::nullopt;
    array.push_back(std::move(*element));
  }
  return xml.hasError() ? std::nullopt : std::optional<PlistValue>(std::move(array));
}

std::optional<PlistValue> readDictionary(QXmlStreamReader& xml) {
  PlistValue dictionary = PlistValue::object();
  while (nextElement(xml)) {
    if (xml.name() != u"key") return std::nullopt;
    std::string key = xml.readElementText().toStdString();
    if (!nextElement(xml)) return std::nullopt;
    auto element = readValue(xml);
    if (!element) return std::nullopt;
    dictionary[key] = std::move(*element);
  }
  return xml.hasError() ? std::nullopt : std::optional<PlistValue>(std::move(dictionary));
}

// Reads the element the reader stands on, leaving it on that element's end.
std::optional<PlistValue> readValue(QXmlStreamReader& xml) {
  auto name = xml.name();
  if (name == u"dict") return readDictionary(xml);
  if (name == u"array") return readArray(xml);
  if (name == u"true" || name == u"false") {
    bool value = name == u"true";
    xml.skipCurrentElement();
    return PlistValue(value);
  }
  if (name == u"integer") {
    bool ok = false;
    qlonglong value = xml.readElementText().trimmed().toLongLong(&ok);
    return ok ? std::optional<PlistValue>(static_cast<long long>(value)) : std::nullopt;
  }
  if (name == u"real") {
    bool ok = false;
    double value = xml.readElementText().trimmed().toDouble(&ok);
    return ok ? std::optional<PlistValue>(value) : std::nullopt;
  }
  if (name == u"string" || name == u"date" || name == u"data") {
    return PlistValue(xml.readElementText().toStdString());
  }
  return std::nullopt;
}

}  // namespace

namespace PlistXml {

std::optional<PlistValue> parse(const std::string& text) {
  QXmlStreamReader xml(QByteArray::fromStdString(text));
  if (!nextElement(xml) || xml.name() != u"plist") return std::nullopt;
  if (!nextElement(xml)) return std::nullopt;
  auto value = readValue(xml);
  if (!value || xml.hasError()) return std::nullopt;
  return value;
}

}  // namespace PlistXml
