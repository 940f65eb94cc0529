#include "updates/appcast.h"

#include <algorithm>

#include <pugixml.hpp>

#include "updates/version_compare.h"

namespace Appcast {

namespace {

// Feeds name these elements with the conventional prefix, which readers match literally.
constexpr const char* kVersion = "sparkle:version";
constexpr const char* kShortVersion = "sparkle:shortVersionString";
constexpr const char* kReleaseNotes = "sparkle:releaseNotesLink";
constexpr const char* kFullReleaseNotes = "sparkle:fullReleaseNotesLink";

std::string trimmed(std::string text) {
  const char* space = " \t\r\n";
  text.erase(0, text.find_first_not_of(space));
  auto end = text.find_last_not_of(space);
  text.erase(end == std::string::npos ? 0 : end + 1);
  return text;
}

std::string childText(const pugi::xml_node& item, const char* name) {
  return trimmed(item.child(name).text().as_string());
}

// The element's value, else the enclosure's attribute of the same name.
std::string elementOrEnclosure(const pugi::xml_node& item, const char* name) {
  std::string value = childText(item, name);
  if (value.empty()) value = trimmed(item.child("enclosure").attribute(name).as_string());
  return value;
}

// A link with a line break or another control character would show as extra lines wherever it is
// displayed, and no real address holds one.
bool isWebLink(const std::string& link) {
  bool control = std::any_of(link.begin(), link.end(), [](char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
  });
  return !control && (link.starts_with("https://") || link.starts_with("http://"));
}

std::variant<AppcastItem, std::string> readItem(const pugi::xml_node& node) {
  AppcastItem item;
  item.title = childText(node, "title");
  item.version = elementOrEnclosure(node, kVersion);
  if (item.version.empty()) return std::string("A release in the update feed has no version.");
  if (!Versions::isPlausible(item.version))
    return std::string("The update feed announces a version that makes no sense.");
  item.displayVersion = elementOrEnclosure(node, kShortVersion);
  if (item.displayVersion.empty() || !Versions::isPlausible(item.displayVersion))
    item.displayVersion = item.version;
  item.releaseNotesLink = childText(node, kReleaseNotes);
  if (item.releaseNotesLink.empty()) item.releaseNotesLink = childText(node, kFullReleaseNotes);
  item.downloadLink = trimmed(node.child("enclosure").attribute("url").as_string());
  if (item.downloadLink.empty()) item.downloadLink = childText(node, "link");
  if (item.downloadLink.empty()) return std::string("A release in the update feed has no download link.");
  if (!isWebLink(item.downloadLink) || (!item.releaseNotesLink.empty() && !isWebLink(item.releaseNotesLink)))
    return std::string("The update feed links to something other than a web page.");
  return item;
}

}  // namespace

std::variant<std::vector<AppcastItem>, std::string> parse(const std::string& xml) {
  pugi::xml_document document;
  // The parser expands only XML's predefined entities and character references, so a document type
  // declaration in a feed can neither pull in files nor blow up in size.
  auto result = document.load_buffer(xml.data(), xml.size());
  if (!result) return std::string("The update feed is not valid XML.");
  auto channel = document.child("rss").child("channel");
  if (!channel) return std::string("The update feed is not an RSS feed.");
  std::vector<AppcastItem> items;
  for (auto node : channel.children("item")) {
    auto item = readItem(node);
    if (auto* problem = std::get_if<std::string>(&item)) return *problem;
    items.push_back(std::get<AppcastItem>(std::move(item)));
  }
  return items;
}

std::optional<AppcastItem> newest(const std::vector<AppcastItem>& items) {
  const AppcastItem* best = nullptr;
  for (const auto& item : items)
    if (!best || Versions::compare(item.version, best->version) > 0) best = &item;
  if (!best) return std::nullopt;
  return *best;
}

}  // namespace Appcast
